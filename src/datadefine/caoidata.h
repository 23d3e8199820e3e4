// Areas of interest: table b_aoi_data, one row per named map rectangle of a
// project. A project's whole extent is the area named "Global".
#pragma once

#include "datadefine/tabledata.h"
#include "strataloom/iaoidata.h"

class CAOIData : public strataloom::TableData<IAOIData> {
  public:
    int LoadAOI(const char* name, AOIRecord& record) override;
    int GetAOINames(const char* unused, NameList& names) override;
    int LoadProjectAOIs(const char* project, std::vector<AOIRecord>& records) override;
    int IsAOIExist(const char* name) override;
    int SaveGlobalAOI(const char* project, const BasicProjectRecord& header) override;
    int SaveAOI(const char* project, const AOIRecord& record) override;
    int DeleteAOI(const char* name) override;
    virtual ClassEntry* GetClassEntry();
};
