// Cross-section well line-ups: one row per section of table
// b_sectionwelllist_data, holding the section's well combination as one text.
// Conventions of every interface (results, output, writes): see idatabase.h.
#pragma once

#include "strataloom/idatabase.h"

// One cross-section.
struct SectionWellListRecord {
    std::string Setction_Name;     // the section's name (the column is spelt so)
    std::string Section_WellList;  // the wells shown in the section, in the application's
                                   // own notation; stored and returned unchanged
};

class ISectionWellListData : public IDataBase {
  public:
    // Appends every section's name, in name order.
    virtual int GetSectionNames(NameList& names) = 0;
    // Fills record from the section's row (Setction_Name from the argument).
    // 0 when there is none: the record is untouched.
    virtual int LoadSection(const char* name, SectionWellListRecord& record) = 0;
    // Appends every section, in the database's order.
    virtual int LoadAllSections(std::vector<SectionWellListRecord>& records) = 0;
    // Replaces the section's row. 0 after a message box when the name or the
    // well combination is empty.
    virtual int SaveSection(const SectionWellListRecord& record) = 0;
    // Replaces the rows of every record's section at once; texts are not
    // checked.
    virtual int SaveSections(const std::vector<SectionWellListRecord>& records) = 0;
    // Deletes the section. 0 after a message box when the name is empty.
    virtual int DeleteSection(const char* name) = 0;
    // Deletes every section.
    virtual int DeleteAllSections() = 0;
};
