// Named well lists: table b_welllist_data, one row per member of a list. Lists
// belong to no project, and member wells need no well header.
#pragma once

#include "datadefine/tabledata.h"
#include "strataloom/iwelllistdata.h"

class CWellListData : public strataloom::TableData<IWellListData> {
  public:
    int GetWellListNames(NameList& names) override;
    int LoadWellList(const char* name, WellListSet& set) override;
    int SaveWellList(const WellListSet& set) override;
    int DeleteWellList(const char* name) override;
    int IsWellListExist(const char* name) override;
    virtual ClassEntry* GetClassEntry();
};
