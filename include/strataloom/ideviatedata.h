// Deviation surveys: one row per well in table w_deviate_well, nine parallel
// arrays of survey-station values. Conventions of every interface (results,
// output, writes, units): see idatabase.h.
//
// What must be filled: Md decides whether a survey is stored at all (a record
// with an empty Md stores nothing, and saving it deletes the well's survey).
// The other arrays may be left empty (they then read back empty). The module
// computes nothing from the arrays and checks no relation between them, not
// even equal lengths: fill every array you use with one value per station.
// Arrays of any length round-trip, one or two stations included.
#pragma once

#include "strataloom/idatabase.h"

// The survey of one well. Element i of every array describes station i, in
// the order of increasing measured depth.
struct DeviateRecord {
    std::string WellName;
    std::vector<double> Md;           // measured depth along the hole (depth unit)
    std::vector<double> Azimuth;      // direction of the hole from north (degrees)
    std::vector<double> Inclination;  // angle of the hole from the vertical (degrees)
    std::vector<double> Xoffset;      // east-west offset from the well head (map units)
    std::vector<double> Yoffset;      // south-north offset from the well head (map units)
    std::vector<double> Xcoor;        // east-west map coordinate of the station (map units)
    std::vector<double> Ycoor;        // south-north map coordinate of the station (map units)
    std::vector<double> Tvd;          // true vertical depth below the depth reference (depth unit)
    std::vector<double> Tvdss;        // true vertical depth below sea level (depth unit)
};

class IDeviateData : public IDataBase {
  public:
    // Appends the names of the project's wells that have a survey, in name order.
    virtual int GetWellNamesWithData(const char* project, NameList& names) = 0;
    // Sets record.WellName (also when the well has no survey: then 0) and
    // fills the nine arrays from the well's survey.
    virtual int LoadWellData(const char* well, DeviateRecord& record) = 0;
    // Fills records with every survey of the table, one per well: the vector
    // is resized to the number of surveys. 0 when there is none (records
    // untouched). The first argument is not used.
    virtual int LoadAllWellsData(const char* unused, std::vector<DeviateRecord>& records) = 0;
    // 1 when the well has a survey; 0 when not.
    virtual int IsWellDataExist(const char* well) = 0;
    // Replaces the well's survey; with an empty Md only deletes it. 0 after a
    // box when the well name is empty.
    virtual int SaveWellData(const DeviateRecord& record) = 0;
    // Appends the names of the records' wells that have a survey. The first
    // argument is not used.
    virtual int GetWellsWithData(const char* unused, const std::vector<DeviateRecord>& records,
                                 NameList& names) = 0;
    // Replaces the surveys of every record's well at once; records with an
    // empty Md delete their well's survey. The first argument is not used.
    virtual int SaveWellsData(const char* unused, const std::vector<DeviateRecord>& records) = 0;
    // Deletes the well's survey. 0 after a box when the name is empty.
    virtual int DeleteWellData(const char* well) = 0;
    // Deletes the surveys of the named wells.
    virtual int DeleteWellsData(NameList names) = 0;
    // Deletes the surveys of the project's wells, and no other. 0 after a box
    // when the project name is empty.
    virtual int DeleteProjectData(const char* project) = 0;
};
