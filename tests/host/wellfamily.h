// What the well-bore checks share: the operations every per-well interface
// of the usual shape has, run on wells W1 and W2 of project P, whose headers
// the check has stored (SaveProjectWells).
#pragma once

#include <string>
#include <type_traits>
#include <vector>

#include "host/hostmodule.h"

namespace host {

// Whether the interface loads whole projects (markers load every well instead).
template <class Interface, class = void>
struct HasProjectLoad : std::false_type {};
template <class Interface>
struct HasProjectLoad<Interface, std::void_t<decltype(&Interface::LoadProjectData)>>
    : std::true_type {};

// The saves and loads: well W1, then W1 and W2 at once, the wells with data,
// the load of W1 and, where the interface has one, the project load. holds
// tells whether a set loaded for a well holds what make gave for it.
template <class Interface, class Set>
void RunUsualSavesAndLoads(Interface& object, Set (*make)(const char*), bool (*holds)(const Set&),
                           const std::string& what, Checks& check, const std::string& on) {
    NameList names;
    Set set;
    check(object.SaveWellData(make("W1")) == 1, what + " SaveWellData" + on);
    check(object.SaveWellsData("", {make("W1"), make("W2")}) == 1, what + " SaveWellsData" + on);
    check(object.GetWellNamesWithData("P", names) == 1 && names == NameList{"W1", "W2"},
          what + " GetWellNamesWithData" + on);
    check(object.LoadWellData("W1", set) == 1 && set.WellName == "W1" && holds(set),
          what + " LoadWellData" + on);
    if constexpr (HasProjectLoad<Interface>::value) {
        std::vector<Set> sets;
        check(object.LoadProjectData("P", sets) == 1 && sets.size() == 2 &&
                  sets[1].WellName == "W2" && holds(sets[1]),
              what + " LoadProjectData" + on);
    }
}

// What follows once W1 and W2 have two rows each: existence, the stored
// wells, the deletes of a well, of wells and of project P, and the box that
// refuses a set without a well name.
template <class Interface, class Set>
void RunUsualTail(Interface& object, Set (*make)(const char*), const std::string& what,
                  Checks& check, const std::string& on) {
    NameList names;
    check(object.IsWellDataExist("W1") == 1, what + " IsWellDataExist" + on);
    check(object.GetWellsWithData({make("W2"), make("W3")}, names) == 1 &&
              names == NameList{"W2", "W2"},
          what + " GetWellsWithData" + on);
    check(object.DeleteWellData("W1") == 1 && object.IsWellDataExist("W1") == 0,
          what + " DeleteWellData" + on);
    check(object.DeleteWellsData({"W2"}) == 1 && object.IsWellDataExist("W2") == 0,
          what + " DeleteWellsData" + on);
    check(object.SaveWellData(make("W1")) == 1 && object.DeleteProjectData("P") == 1 &&
              object.IsWellDataExist("W1") == 0,
          what + " DeleteProjectData" + on);
    const int boxes = Module::BoxesShown();
    check(object.SaveWellData(make("")) == 0 && Module::BoxesShown() == boxes + 1,
          what + " refuses a set without a well name" + on);
}

// Both, on a new object of the interface.
template <class Interface, class Set>
void RunUsualOperations(Module& module, Checks& check, const std::string& db,
                        const char* interfaceName, const std::string& what, const std::string& on,
                        Set (*make)(const char*), bool (*holds)(const Set&)) {
    auto object = module.Create<Interface>(interfaceName, db);
    if (!object) return check(false, what + " created" + on);
    RunUsualSavesAndLoads(*object, make, holds, what, check, on);
    RunUsualTail(*object, make, what, check, on);
}

}  // namespace host
