// Named well lists: one row per member well of table b_welllist_data. A list
// exists while it has at least one member.
#pragma once

#include "strataloom/idatabase.h"

struct WellListRecord {
    std::string WellName;
    int WellNumber = 0;
};

struct WellListSet {
    std::string WellListName;
    std::vector<WellListRecord> Records;
};

class IWellListData : public IDataBase {
  public:
    virtual int GetWellListNames(NameList& names) = 0;
    virtual int LoadWellList(const char* name, WellListSet& set) = 0;
    // Replaces every member of the list; a set without records removes it.
    virtual int SaveWellList(const WellListSet& set) = 0;
    virtual int DeleteWellList(const char* name) = 0;
    virtual int IsWellListExist(const char* name) = 0;
};
