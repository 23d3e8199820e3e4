// Named well lists: one row per member well of table b_welllist_data. A list
// exists while it has at least one member; lists belong to no project.
// Conventions of every interface (results, output, writes): see idatabase.h.
#pragma once

#include "strataloom/idatabase.h"

// One member of a list.
struct WellListRecord {
    std::string WellName;  // a well's name; not checked against the well headers
    int WellNumber = 0;    // a number the application keeps with the member
};

// A list and its members, in row order.
struct WellListSet {
    std::string WellListName;
    std::vector<WellListRecord> Records;
};

class IWellListData : public IDataBase {
  public:
    // Appends every list's name once, in name order. 0 when there is no list.
    virtual int GetWellListNames(NameList& names) = 0;
    // Sets set.WellListName and appends the list's members to set.Records. 0
    // when the list does not exist: the set is untouched.
    virtual int LoadWellList(const char* name, WellListSet& set) = 0;
    // Replaces every member of the list; a set without records removes it.
    // 0 after a message box when the list name is empty.
    virtual int SaveWellList(const WellListSet& set) = 0;
    // Removes the list. 0 after a message box when the name is empty.
    virtual int DeleteWellList(const char* name) = 0;
    // 1 when the list has a member; 0 when not.
    virtual int IsWellListExist(const char* name) = 0;
};
