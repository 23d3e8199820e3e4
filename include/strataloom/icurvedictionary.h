// The curve dictionary: how a curve of a given name is presented, one entry
// per curve name, in table w_curve_dictionary. The dictionary belongs to no
// well and no project. Other names of a curve (aliases) come from table
// w_curvealias_data, which the module only reads. The module gives no
// attribute a meaning: every value is stored and handed back as it was given.
#pragma once

#include "strataloom/idatabase.h"

// One dictionary entry.
struct CurveDictionaryRecord {
    std::string CurveName;    // the entry's key: one entry per name
    std::string DisplayName;  // the name a curve of this name is shown under
    std::string CurveUnit;
    double LeftValue = 0.0;   // value at the left edge of the track
    double RightValue = 0.0;  // value at the right edge of the track
    int CurveType = 0;
    int Color = 0;            // colour of the curve line
    double CurveWidth = 0.0;  // width of the curve line
    int CoorType = 0;         // kind of scale of the track
};

// Every operation returns 1 on success and 0 on failure. List operations only
// append to the caller's list, also when they fail; the loads fill the record
// only when the entry is found and otherwise leave it as it was. Every write
// is all-or-nothing: a save or delete that returns 0 has changed nothing.
class ICurveDictionary : public IDataBase {
  public:
    // Appends every entry name once, in name order. 0 on an empty dictionary.
    virtual int GetEntryNames(NameList& names) = 0;
    // Appends every display name once, in no particular order. 0 on an empty
    // dictionary.
    virtual int GetDisplayNames(NameList& names) = 0;
    // Loads the entry of that name into record. 0 when there is none: the
    // record is left as it was, its CurveName included.
    virtual int LoadEntry(const char* name, CurveDictionaryRecord& record) = 0;
    // Loads the entry of that name, or the entry of which name is an alias;
    // when several match, the first the database returns. 0 when none
    // matches: the record is left as it was.
    virtual int LoadEntryByAlias(const char* name, CurveDictionaryRecord& record) = 0;
    // Appends every entry. 0 on an empty dictionary.
    virtual int LoadAllEntries(std::vector<CurveDictionaryRecord>& records) = 0;
    // 1 when an entry of that name exists, 0 otherwise.
    virtual int IsEntryExist(const char* name) = 0;
    // Replaces the entry of the record's CurveName by the record.
    virtual int SaveEntry(const CurveDictionaryRecord& record) = 0;
    // Replaces the entries of the records' names by the records, in order.
    virtual int SaveEntries(const std::vector<CurveDictionaryRecord>& records) = 0;
    // Deletes the entry of that name; 1 also when there was none. An empty
    // name is refused with a message box.
    virtual int DeleteEntry(const char* name) = 0;
    // Deletes the entries of the given names; 1 also for an empty list.
    virtual int DeleteEntries(NameList names) = 0;
    // Empties the whole dictionary. The project name is only checked: an
    // empty one is refused with a message box and nothing is deleted.
    virtual int DeleteAllEntries(const char* project) = 0;
};
