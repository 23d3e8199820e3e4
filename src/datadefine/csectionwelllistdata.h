// Cross-section well line-ups: table b_sectionwelllist_data, one row per
// section holding its well combination as one text, stored unchanged.
#pragma once

#include "datadefine/tabledata.h"
#include "strataloom/isectionwelllistdata.h"

class CSectionWellListData : public strataloom::TableData<ISectionWellListData> {
  public:
    int GetSectionNames(NameList& names) override;
    int LoadSection(const char* name, SectionWellListRecord& record) override;
    int LoadAllSections(std::vector<SectionWellListRecord>& records) override;
    int SaveSection(const SectionWellListRecord& record) override;
    int SaveSections(const std::vector<SectionWellListRecord>& records) override;
    int DeleteSection(const char* name) override;
    int DeleteAllSections() override;
    virtual ClassEntry* GetClassEntry();
};
