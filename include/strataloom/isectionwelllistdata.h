// Cross-section well line-ups: one row per section of table
// b_sectionwelllist_data, holding the section's well combination as one text.
#pragma once

#include "strataloom/idatabase.h"

struct SectionWellListRecord {
    std::string Setction_Name;
    std::string Section_WellList;
};

class ISectionWellListData : public IDataBase {
  public:
    virtual int GetSectionNames(NameList& names) = 0;
    virtual int LoadSection(const char* name, SectionWellListRecord& record) = 0;
    virtual int LoadAllSections(std::vector<SectionWellListRecord>& records) = 0;
    virtual int SaveSection(const SectionWellListRecord& record) = 0;
    virtual int SaveSections(const std::vector<SectionWellListRecord>& records) = 0;
    virtual int DeleteSection(const char* name) = 0;
    virtual int DeleteAllSections() = 0;
};
