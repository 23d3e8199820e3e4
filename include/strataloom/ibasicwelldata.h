// Well headers: one row per well of table w_well_data.
#pragma once

#include "strataloom/idatabase.h"

// -99999.0 marks a coordinate or depth that has no value.
struct BasicWellRecord {
    std::string WellName;
    std::string WellType;
    double Well_SN = -99999.0;
    double Well_EW = -99999.0;
    char WellFlag = '1';
    int WellSymbol = 0;
    double Kb = 0.0;
    double Ekb = 0.0;
    double WellDepth = -99999.0;
};

class IBasicWellData : public IDataBase {
  public:
    virtual int GetWellNames(const char* project, NameList& names) = 0;
    virtual int LoadWell(const char* well, BasicWellRecord& record) = 0;
    virtual int LoadProjectWells(const char* project, std::vector<BasicWellRecord>& records) = 0;
    virtual int IsWellExist(const char* project, const char* well) = 0;
    virtual int SaveWell(const char* project, const BasicWellRecord& record) = 0;
    // The first argument is not used; sibling operations take the project here.
    virtual int GetExistingWells(const char* unused, const std::vector<BasicWellRecord>& records,
                                 NameList& names) = 0;
    virtual int SaveWells(const char* project, const std::vector<BasicWellRecord>& records) = 0;
    virtual int DeleteWell(const char* project, const char* well) = 0;
    virtual int DeleteWells(const char* project, const NameList& names) = 0;
    virtual int DeleteProjectWells(const char* project) = 0;
};
