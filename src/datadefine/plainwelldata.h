// The well-bore tables that keep a plain list of records per well
// (perforations, drilling and sidewall cores...) answer one interface shape:
// list the project's wells, load a well or the whole project, tell which
// wells have rows, replace one or several wells and delete a well, several
// wells or a project, each on the statements of the table's WellTable. A
// member derives from PlainWellData<IInterface, Rows>, writes LoadWellData
// with its own select (ordered or not) and overrides what it does its own way.
#pragma once

#include <vector>

#include "datadefine/perwell.h"

namespace strataloom {

template <class Interface, class Rows>
class PlainWellData : public PerWellData<Interface, Rows> {
  public:
    using Set = typename Rows::Set;

    int GetWellNamesWithData(const char* project, NameList& names) override {
        return this->ListWellsWithData(project, names);
    }

    int LoadProjectData(const char* project, std::vector<Set>& sets) override {
        return this->LoadProjectWells(project, sets);
    }

    int GetWellsWithData(const std::vector<Set>& sets, NameList& names) override {
        return this->ListStoredWells(sets, names);
    }

    int SaveWellData(const Set& set) override {
        if (set.WellName == "") return RefuseEmptyWellName();
        return this->ReplaceWell(set);
    }

    // Without sets there is no well to replace: 0, and nothing is touched.
    int SaveWellsData(const char*, const std::vector<Set>& sets) override {
        if (sets.empty()) return 0;
        return this->ReplaceWells(sets);
    }

    int DeleteWellData(const char* well) override {
        if (IsEmptyText(well)) return RefuseEmptyWellName();
        return this->DeleteWellRows(well);
    }

    int DeleteWellsData(const NameList& names) override {
        if (names.empty()) return 0;
        return this->DeleteWellsRows(names);
    }

    int DeleteProjectData(const char* project) override {
        if (IsEmptyText(project)) return RefuseEmptyProjectName();
        return this->DeleteProjectRows(project);
    }

    int IsWellDataExist(const char* well) override {
        if (IsEmptyText(well)) return RefuseEmptyWellName();
        return this->HasWellRows(well);
    }
};

}  // namespace strataloom
