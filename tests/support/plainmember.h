// A family member of the plain shape (perforations, drilling and sidewall
// cores...): one set of records per well, loaded well by well or for a whole
// project, saved one well or several at once. Its profile gives the record's
// fields and the statement texts of its table; the refusals, the calls and
// the order of the statements are the same for every such member.
#pragma once

#include "support/family.h"

namespace testsupport {

// The statement texts of a plain member, exactly as its table's operations
// must run them, for the arguments named.
struct PlainTexts {
    std::string wellsWithData;  // GetWellNamesWithData("P1")
    std::string loadWell;       // LoadWellData("W1")
    std::string storedWells;    // GetWellsWithData of wells W1 and W2
    std::string exists;         // IsWellDataExist("W1")
    std::string deleteWell;     // delete of well W9
    std::string deleteWells;    // delete of the wells {W9}
    std::string deleteProject;  // DeleteProjectData("P9")
};

template <class Interface, class Set>
class PlainMember : public StandardMember<Interface, Set> {
    using Base = StandardMember<Interface, Set>;

  public:
    PlainMember(std::string name, const char* interfaceName, std::string table,
                typename Base::Fields fields, PlainTexts texts)
        : Base(std::move(name), interfaceName, std::move(table), fields),
          texts_(std::move(texts)) {}

    int LoadProject(const std::string& project, std::vector<std::string>& described) override {
        std::vector<Set> sets(1);
        sets[0].WellName = "mine";
        const int result = this->Object().LoadProjectData(project.c_str(), sets);
        described.clear();
        for (const Set& set : sets) {
            described.push_back("well " + set.WellName);
            const std::vector<std::string> fields = this->Describe(set);
            described.insert(described.end(), fields.begin(), fields.end());
        }
        return result;
    }
    int SaveWells(const NameList& wells, const std::vector<int>& records, int seed) override {
        std::vector<Set> sets;
        for (std::size_t i = 0; i < wells.size(); ++i) {
            sets.push_back(this->Filled(wells[i], records[i], seed + 10 * static_cast<int>(i)));
        }
        return this->Object().SaveWellsData("", sets);
    }
    int DeleteWells(const NameList& wells) override {
        return this->Object().DeleteWellsData(wells);
    }

    std::vector<Refusal> Refusals() override {
        Interface& object = this->Object();
        const char* well = "井名称不能为空！";
        return {
            {"exists", [&object] { return object.IsWellDataExist(""); }, well},
            {"save", [&object] { return object.SaveWellData(Set()); }, well},
            {"delete well", [&object] { return object.DeleteWellData(""); }, well},
            {"delete null well", [&object] { return object.DeleteWellData(nullptr); }, well},
            {"delete project", [&object] { return object.DeleteProjectData(""); },
             "工区名称不能为空！"},
        };
    }

    std::vector<Statements> ExactStatements() override {
        Interface& object = this->Object();
        const std::string table = this->Table();
        const PlainTexts& t = texts_;
        return {
            {"wells with data",
             [&object] {
                 NameList names;
                 object.GetWellNamesWithData("P1", names);
             },
             {t.wellsWithData}},
            {"load well",
             [&object] {
                 Set set;
                 object.LoadWellData("W1", set);
             },
             {t.loadWell}},
            {"load project",
             [&object] {
                 std::vector<Set> sets;
                 object.LoadProjectData("P1", sets);
             },
             {t.wellsWithData, t.loadWell}},
            {"stored wells",
             [&object] {
                 NameList names;
                 object.GetWellsWithData(Base::SetsOf({"W1", "W2"}), names);
             },
             {table, t.storedWells}},
            {"exists", [&object] { object.IsWellDataExist("W1"); }, {table, t.exists}},
            {"save well",
             [this, &object] { object.SaveWellData(this->Filled("W9", 1, 1)); },
             {table, t.deleteWell, "SaveData " + table + " 1"}},
            {"save wells",
             [&object] { object.SaveWellsData("", Base::SetsOf({"W9"})); },
             {table, table, t.deleteWells, "SaveData " + table + " 0"}},
            {"delete well", [&object] { object.DeleteWellData("W9"); }, {table, t.deleteWell}},
            {"delete wells", [&object] { object.DeleteWellsData({"W9"}); }, {table, t.deleteWells}},
            {"delete project",
             [&object] { object.DeleteProjectData("P9"); },
             {table, t.deleteProject}},
        };
    }

  private:
    PlainTexts texts_;
};

}  // namespace testsupport
