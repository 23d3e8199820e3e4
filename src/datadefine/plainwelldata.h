// The well-bore tables that keep a plain list of records per well (markers,
// small layers, interpretation results, oil tests, perforations, drilling
// and sidewall cores) answer one interface shape: list the project's wells,
// load a well or the whole project, tell which wells have rows, replace one
// or several wells and delete a well, several wells or a project, each on
// the statements of the table's WellTable and with the family's argument
// checks. A member derives from PlainWellData<IInterface, Rows>, writes
// LoadWellData with its own select (ordered or not) and overrides what it
// does its own way.
#pragma once

#include <type_traits>
#include <vector>

#include "datadefine/perwell.h"

namespace strataloom {

namespace detail {

// The project load, for an interface that has one: the wells with rows,
// each through the object's own LoadWellData. Markers have none.
template <class Interface, class Rows, class = void>
class ProjectLoad : public PerWellData<Interface, Rows> {};

template <class Interface, class Rows>
class ProjectLoad<Interface, Rows, std::void_t<decltype(&Interface::LoadProjectData)>>
    : public PerWellData<Interface, Rows> {
  public:
    int LoadProjectData(const char* project, std::vector<typename Rows::Set>& sets) override {
        return this->LoadProjectWells(project, sets);
    }
};

}  // namespace detail

template <class Interface, class Rows>
class PlainWellData : public detail::ProjectLoad<Interface, Rows> {
  public:
    using Set = typename Rows::Set;

    int GetWellNamesWithData(const char* project, NameList& names) override {
        return this->ListWellsWithData(project, names);
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
        if (sets.empty()) return Decline("no well was given");
        return this->ReplaceWells(sets);
    }

    int DeleteWellData(const char* well) override {
        if (IsEmptyText(well)) return RefuseEmptyWellName();
        return this->DeleteWellRows(well);
    }

    // Without names there is no well to delete: 0, and nothing is touched.
    int DeleteWellsData(const NameList& names) override {
        if (names.empty()) return Decline("no well name was given");
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
