// Areas of interest: named map rectangles of a project, one row each in table
// b_aoi_data. X runs east-west, Y south-north.
#pragma once

#include "strataloom/ibasicprojectdata.h"
#include "strataloom/idatabase.h"

// -99999.0 marks a bound that has no value.
struct AOIRecord {
    std::string AOIName;
    std::string ProjectName;
    double Xmin = -99999.0;
    double Xmax = -99999.0;
    double Ymin = -99999.0;
    double Ymax = -99999.0;
};

class IAOIData : public IDataBase {
  public:
    virtual int LoadAOI(const char* name, AOIRecord& record) = 0;
    // The first argument is not used; sibling operations take the project here.
    virtual int GetAOINames(const char* unused, NameList& names) = 0;
    virtual int LoadProjectAOIs(const char* project, std::vector<AOIRecord>& records) = 0;
    virtual int IsAOIExist(const char* name) = 0;
    // Stores the project's whole extent as the area "Global".
    virtual int SaveGlobalAOI(const char* project, const BasicProjectRecord& header) = 0;
    // Stores the area under project, taking it from any other project.
    virtual int SaveAOI(const char* project, const AOIRecord& record) = 0;
    virtual int DeleteAOI(const char* name) = 0;
};
