// The curve dictionary: table w_curve_dictionary, one entry per curve name,
// shared by every well and project; aliases read from w_curvealias_data.
#pragma once

#include "datadefine/tabledata.h"
#include "strataloom/icurvedictionary.h"

class CCurveDictionary : public strataloom::TableData<ICurveDictionary> {
  public:
    int GetEntryNames(NameList& names) override;
    int GetDisplayNames(NameList& names) override;
    int LoadEntry(const char* name, CurveDictionaryRecord& record) override;
    int LoadEntryByAlias(const char* name, CurveDictionaryRecord& record) override;
    int LoadAllEntries(std::vector<CurveDictionaryRecord>& records) override;
    int IsEntryExist(const char* name) override;
    int SaveEntry(const CurveDictionaryRecord& record) override;
    int SaveEntries(const std::vector<CurveDictionaryRecord>& records) override;
    int DeleteEntry(const char* name) override;
    int DeleteEntries(NameList names) override;
    int DeleteAllEntries(const char* project) override;
    virtual ClassEntry* GetClassEntry();
};
