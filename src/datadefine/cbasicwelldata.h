// Well headers: table w_well_data, one row per well. Well names are unique
// across the whole database: the well-bore tables know no project.
#pragma once

#include "datadefine/tabledata.h"
#include "strataloom/ibasicwelldata.h"

class CBasicWellData : public strataloom::TableData<IBasicWellData> {
  public:
    int GetWellNames(const char* project, NameList& names) override;
    int LoadWell(const char* well, BasicWellRecord& record) override;
    int LoadProjectWells(const char* project, std::vector<BasicWellRecord>& records) override;
    int IsWellExist(const char* project, const char* well) override;
    int SaveWell(const char* project, const BasicWellRecord& record) override;
    int GetExistingWells(const char* unused, const std::vector<BasicWellRecord>& records,
                         NameList& names) override;
    int SaveWells(const char* project, const std::vector<BasicWellRecord>& records) override;
    int DeleteWell(const char* project, const char* well) override;
    int DeleteWells(const char* project, const NameList& names) override;
    int DeleteProjectWells(const char* project) override;
    virtual ClassEntry* GetClassEntry();
};
