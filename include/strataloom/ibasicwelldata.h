// Well headers: one row per well of table w_well_data. Conventions of every
// interface (results, output, writes, units): see idatabase.h.
//
// Well names are unique across the whole database: the well-bore tables (log
// curves, markers, surveys...) carry only the well's name, and saving a header
// replaces any header of that name, whatever its project. A well belongs to
// the project named when its header was last saved.
#pragma once

#include "strataloom/idatabase.h"

// The header of one well. The module stores every field as given and attaches
// no meaning of its own to WellType, WellFlag and WellSymbol. -99999.0 marks a
// coordinate or depth that has no value.
struct BasicWellRecord {
    std::string WellName;       // the well's name: the key of every well-bore table
    std::string WellType;       // the application's kind of well ("oil", "gas", "water"...)
    double Well_SN = -99999.0;  // well head, south-north map coordinate (map Y), map units
    double Well_EW = -99999.0;  // well head, east-west map coordinate (map X), map units
    char WellFlag = '1';        // the application's one-character state of the well
    int WellSymbol = 0;         // number of the map symbol the application draws the well with
    double Kb = 0.0;            // kelly bushing: elevation of the point the well's measured depths
                                // start from (depth unit)
    double Ekb = 0.0;           // a second elevation the application keeps beside Kb (depth unit;
                                // the LAS import of the formats library stores the ground
                                // elevation here); stored as given
    double WellDepth = -99999.0;  // total depth of the well, measured from the depth
                                  // reference (depth unit)
};

class IBasicWellData : public IDataBase {
  public:
    // Appends the names of the project's wells, in name order. 0 when the
    // project has no wells.
    virtual int GetWellNames(const char* project, NameList& names) = 0;
    // Fills record from the header of well (WellName from the argument). 0 when
    // there is none: the record is untouched.
    virtual int LoadWell(const char* well, BasicWellRecord& record) = 0;
    // Appends the headers of the project's wells, in the database's order. 0
    // when the project has no wells.
    virtual int LoadProjectWells(const char* project, std::vector<BasicWellRecord>& records) = 0;
    // 1 when the well's header exists under this project; 0 when not (also
    // when it exists under another project).
    virtual int IsWellExist(const char* project, const char* well) = 0;
    // Replaces the header of record.WellName, which then belongs to project (a
    // header of that name under another project moves). 0 after a message box
    // when the well name is empty.
    virtual int SaveWell(const char* project, const BasicWellRecord& record) = 0;
    // Appends the names of the records' wells that have a header, under any
    // project. The first argument is not used; sibling operations take the
    // project here.
    virtual int GetExistingWells(const char* unused, const std::vector<BasicWellRecord>& records,
                                 NameList& names) = 0;
    // Replaces the headers of every record's well at once; they belong to
    // project. An empty vector changes nothing and returns 1. 0 after a message
    // box when the project name is empty.
    virtual int SaveWells(const char* project, const std::vector<BasicWellRecord>& records) = 0;
    // Deletes the well's header under this project; its well-bore data stays.
    // 0 after a message box when either name is empty.
    virtual int DeleteWell(const char* project, const char* well) = 0;
    // Deletes the headers of the named wells under this project; an empty list
    // returns 1. 0 after a message box when the project name is empty.
    virtual int DeleteWells(const char* project, const NameList& names) = 0;
    // Deletes every well header of the project; well-bore data stays. 0 after
    // a message box when the project name is empty.
    virtual int DeleteProjectWells(const char* project) = 0;
};
