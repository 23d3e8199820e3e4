// Deviation surveys: one row per well in table w_deviate_well, nine parallel
// arrays of survey-station values.
#pragma once

#include "strataloom/idatabase.h"

// The survey of one well. Element i of every array describes station i.
struct DeviateRecord {
    std::string WellName;
    std::vector<double> Md;
    std::vector<double> Azimuth;
    std::vector<double> Inclination;
    std::vector<double> Xoffset;
    std::vector<double> Yoffset;
    std::vector<double> Xcoor;
    std::vector<double> Ycoor;
    std::vector<double> Tvd;
    std::vector<double> Tvdss;
};

class IDeviateData : public IDataBase {
  public:
    virtual int GetWellNamesWithData(const char* project, NameList& names) = 0;
    virtual int LoadWellData(const char* well, DeviateRecord& record) = 0;
    // The first argument is not used: every survey of the table is loaded.
    virtual int LoadAllWellsData(const char* unused, std::vector<DeviateRecord>& records) = 0;
    virtual int IsWellDataExist(const char* well) = 0;
    virtual int SaveWellData(const DeviateRecord& record) = 0;
    // The first argument is not used.
    virtual int GetWellsWithData(const char* unused, const std::vector<DeviateRecord>& records,
                                 NameList& names) = 0;
    // The first argument is not used.
    virtual int SaveWellsData(const char* unused, const std::vector<DeviateRecord>& records) = 0;
    virtual int DeleteWellData(const char* well) = 0;
    virtual int DeleteWellsData(NameList names) = 0;
    virtual int DeleteProjectData(const char* project) = 0;
};
