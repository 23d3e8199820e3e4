// The per-well table family under one suite: each member (markers, small
// layers, cores...) states its profile, the suite runs what they all share on
// every engine. A profile is written from what the member must do (its table,
// its record fields, its messages and statement texts), never from the code.
#pragma once

#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "support/projectdb.h"

namespace testsupport {

// Visits the fields of a record one by one, in the record's order.
class FieldVisitor {
  public:
    virtual ~FieldVisitor() = default;
    virtual void Text(std::string& field) = 0;
    virtual void Double(double& field) = 0;
    virtual void Float(float& field) = 0;
    virtual void Int(int& field) = 0;
    virtual void Char(char& field) = 0;
    virtual void Array(std::vector<double>& field) = 0;

    FieldVisitor& operator()(std::string& field) { return Text(field), *this; }
    FieldVisitor& operator()(double& field) { return Double(field), *this; }
    FieldVisitor& operator()(float& field) { return Float(field), *this; }
    FieldVisitor& operator()(int& field) { return Int(field), *this; }
    FieldVisitor& operator()(char& field) { return Char(field), *this; }
    FieldVisitor& operator()(std::vector<double>& field) { return Array(field), *this; }
};

// Gives every field a value of its own: texts with a quote, a percent sign
// and Chinese characters, doubles with all their digits, floats that a double
// column must hand back exactly. Values grow with the seed, so records filled
// with growing seeds sort by their depths in the order they were made.
class Filler : public FieldVisitor {
  public:
    explicit Filler(int seed) : seed_(seed) {}
    void Text(std::string& field) override {
        field = "T" + std::to_string(seed_) + "." + std::to_string(next_++) + " O'Neil 100% 井";
    }
    void Double(double& field) override { field = seed_ * 1000.0 + next_++ + 0.1234567890123; }
    void Float(float& field) override { field = static_cast<float>(seed_ * 100 + next_++) + 0.3f; }
    void Int(int& field) override { field = seed_ * 1000 + next_++; }
    void Char(char& field) override { field = static_cast<char>('A' + next_++ % 26); }
    void Array(std::vector<double>& field) override {
        const double base = seed_ * 1000.0 + next_++;
        field = {base + 0.5, base + 1.25, base + 2.125};
    }

  private:
    int seed_;
    int next_ = 0;
};

// Writes every field as text, exactly (doubles and floats to their last bit).
class Describer : public FieldVisitor {
  public:
    std::vector<std::string> fields;
    void Text(std::string& field) override { fields.push_back("text " + field); }
    void Double(double& field) override { fields.push_back("double " + Number(field, 17)); }
    void Float(float& field) override { fields.push_back("float " + Number(field, 9)); }
    void Int(int& field) override { fields.push_back("int " + std::to_string(field)); }
    void Char(char& field) override { fields.push_back("char " + std::to_string(field)); }
    void Array(std::vector<double>& field) override {
        std::string text = "array";
        for (double value : field) text += " " + Number(value, 17);
        fields.push_back(text);
    }

  private:
    static std::string Number(double value, int digits) {
        char text[64];
        std::snprintf(text, sizeof text, "%.*g", digits, value);
        return text;
    }
};

// An operation the member refuses before any statement runs, with the text
// of the box the user sees.
struct Refusal {
    std::string what;
    std::function<int()> call;
    std::string message;
};

// An operation and the statement texts it must run, in order.
struct Statements {
    std::string what;
    std::function<void()> call;
    std::vector<std::string> texts;
};

// One member of the family as the shared suite drives it.
class FamilyMember {
  public:
    virtual ~FamilyMember() = default;
    virtual std::string Name() const = 0;
    virtual std::string Table() const = 0;
    // Creates the member's object on the database.
    virtual void Attach(ProjectDb& db) = 0;
    virtual void Detach() = 0;

    // Saves a well with `records` records, each field a value of its own.
    virtual int SaveWell(const std::string& well, int records, int seed) = 0;
    // Loads the well and describes the loaded records' fields, record after record.
    virtual int LoadWell(const std::string& well, std::vector<std::string>& described) = 0;
    // What LoadWell describes after SaveWell(well, records, seed).
    virtual std::vector<std::string> Expected(int records, int seed) const = 0;

    virtual int WellsWithData(const std::string& project, NameList& names) = 0;
    // The stored wells among wells, once per row (GetWellsWithData).
    virtual int StoredWells(const NameList& wells, NameList& names) = 0;
    virtual int DeleteProject(const std::string& project) = 0;
    virtual int DeleteWell(const std::string& well) = 0;

    virtual std::vector<Refusal> Refusals() = 0;
    virtual std::vector<Statements> ExactStatements() = 0;

    // The hooks below answer -1 (or nothing) for a member that has no such
    // operation or whose profile does not say; the cases using them skip it.

    // Saves a well with one record as a new record holds it, and describes
    // that record.
    virtual int SaveFreshRecord(const std::string&, std::vector<std::string>&) { return -1; }
    // One "Column <condition>" per field of the record SaveWell(well, 1, seed)
    // stores, holding when the field's value is in the column of its name.
    virtual std::vector<std::string> ColumnChecks(int) const { return {}; }
    // Saves wells[i] with `records` records of seed + 100 * i in one call.
    virtual int SaveWells(const NameList&, int, int) { return -1; }
    virtual int DeleteWells(const NameList&) { return -1; }
    // Loads the project, the object's own LoadWellData failing for the well
    // `failing`; each set loaded appears as "<well> <number of records>".
    virtual int LoadProject(const std::string&, const std::string&, NameList&) { return -1; }
};

// Writes for each field a condition on the column of its name that holds
// when the column has the field's value.
class ColumnCondition : public FieldVisitor {
  public:
    explicit ColumnCondition(std::vector<std::string> columns) : columns_(std::move(columns)) {}
    // The conditions, and one that cannot hold for each column without a field.
    std::vector<std::string> Conditions() const {
        std::vector<std::string> conditions = conditions_;
        for (std::size_t i = conditions.size(); i < columns_.size(); ++i) {
            conditions.push_back(columns_[i] + " is not a field");
        }
        return conditions;
    }
    void Text(std::string& field) override { Add("= '" + Quoted(field) + "'"); }
    // Neighbouring fields differ by at least 1: the column proves itself
    // without depending on how an engine parses a long literal.
    void Double(double& field) override { Near(field); }
    void Float(float& field) override { Near(field); }
    void Int(int& field) override { Add("= " + std::to_string(field)); }
    void Char(char& field) override { Add("= '" + Quoted(std::string(1, field)) + "'"); }
    void Array(std::vector<double>&) override { Add(""); }

  private:
    void Near(double value) {
        char text[64];
        std::snprintf(text, sizeof text, "between %.17g and %.17g", value - 0.001, value + 0.001);
        Add(text);
    }
    void Add(const std::string& condition) {
        const std::size_t i = conditions_.size();
        const std::string column = i < columns_.size() ? columns_[i] : "(no column)";
        conditions_.push_back(condition.empty() ? "" : column + " " + condition);
    }
    static std::string Quoted(const std::string& text) {
        std::string quoted;
        for (char c : text) quoted += c == '\'' ? std::string("''") : std::string(1, c);
        return quoted;
    }
    std::vector<std::string> columns_;
    std::vector<std::string> conditions_;
};

// Registers a member for the suite while the test program loads.
const std::vector<FamilyMember*>& FamilyMembers();
void AddFamilyMember(std::unique_ptr<FamilyMember> member);

// A member whose interface has the family's usual operations: one set of
// records per well, saved and loaded whole.
template <class Interface, class Set>
class StandardMember : public FamilyMember {
  public:
    using Record = typename decltype(Set::Records)::value_type;
    using Fields = void (*)(Record&, FieldVisitor&);

    StandardMember(std::string name, const char* interfaceName, std::string table, Fields fields)
        : name_(std::move(name)),
          interface_(interfaceName),
          table_(std::move(table)),
          fields_(fields) {}

    std::string Name() const override { return name_; }
    std::string Table() const override { return table_; }
    void Attach(ProjectDb& db) override { object_ = db.Create<Interface>(interface_); }
    void Detach() override { object_.reset(); }

    int SaveWell(const std::string& well, int records, int seed) override {
        return object_->SaveWellData(Filled(well, records, seed));
    }
    int LoadWell(const std::string& well, std::vector<std::string>& described) override {
        Set set;
        const int result = object_->LoadWellData(well.c_str(), set);
        described = Describe(set);
        return result;
    }
    std::vector<std::string> Expected(int records, int seed) const override {
        return Describe(Filled("", records, seed));
    }
    int WellsWithData(const std::string& project, NameList& names) override {
        return object_->GetWellNamesWithData(project.c_str(), names);
    }
    int StoredWells(const NameList& wells, NameList& names) override {
        return object_->GetWellsWithData(SetsOf(wells), names);
    }
    int DeleteProject(const std::string& project) override {
        return object_->DeleteProjectData(project.c_str());
    }
    int DeleteWell(const std::string& well) override {
        return object_->DeleteWellData(well.c_str());
    }
    int SaveFreshRecord(const std::string& well, std::vector<std::string>& described) override {
        Set set;
        set.WellName = well;
        set.Records.resize(1);
        described = Describe(set);
        return object_->SaveWellData(set);
    }
    std::vector<std::string> ColumnChecks(int seed) const override {
        if (Columns().empty()) return {};
        ColumnCondition conditions(Columns());
        Set set = Filled("", 1, seed);
        fields_(set.Records[0], conditions);
        return conditions.Conditions();
    }
    // The columns the record's fields are stored in, in the record's order.
    virtual std::vector<std::string> Columns() const { return {}; }

  protected:
    Interface& Object() { return *object_; }

    Set Filled(const std::string& well, int records, int seed) const {
        Set set;
        set.WellName = well;
        for (int i = 0; i < records; ++i) {
            Record record;
            Filler filler(seed + i);
            fields_(record, filler);
            set.Records.push_back(record);
        }
        return set;
    }
    static std::vector<Set> SetsOf(const NameList& wells) {
        std::vector<Set> sets(wells.size());
        for (std::size_t i = 0; i < wells.size(); ++i) sets[i].WellName = wells[i];
        return sets;
    }
    std::vector<std::string> Describe(Set set) const {
        Describer describer;
        for (Record& record : set.Records) fields_(record, describer);
        return describer.fields;
    }

  private:
    std::string name_;
    const char* interface_;
    std::string table_;
    Fields fields_;
    std::unique_ptr<Interface> object_;
};

// A standard member whose interface also loads whole projects and saves
// several wells at once. Class is its data class: the project load must go
// through the object's own LoadWellData, which a test makes fail for a well.
template <class Interface, class Set, class Class>
class ProjectLoadingMember : public StandardMember<Interface, Set> {
  public:
    using StandardMember<Interface, Set>::StandardMember;

    void Attach(ProjectDb& db) override {
        StandardMember<Interface, Set>::Attach(db);
        connect_ = db.Connect();
    }
    int SaveWells(const NameList& wells, int records, int seed) override {
        std::vector<Set> sets;
        for (std::size_t i = 0; i < wells.size(); ++i) {
            sets.push_back(this->Filled(wells[i], records, seed + 100 * static_cast<int>(i)));
        }
        return this->Object().SaveWellsData("", sets);
    }
    int DeleteWells(const NameList& wells) override {
        return this->Object().DeleteWellsData(wells);
    }
    // The family's usual refusals: empty well names and an empty project name.
    std::vector<Refusal> Refusals() override {
        Interface& m = this->Object();
        const char* well = "井名称不能为空！";
        return {
            {"exists", [&m] { return m.IsWellDataExist(""); }, well},
            {"save", [&m] { return m.SaveWellData(Set()); }, well},
            {"delete well", [&m] { return m.DeleteWellData(""); }, well},
            {"delete project", [&m] { return m.DeleteProjectData(""); }, "工区名称不能为空！"},
        };
    }
    // Every usual operation on project P1 and its well W1 (P9 and W9 for the
    // deletes), with the texts the profile gives for it.
    std::vector<Statements> ExactStatements() override {
        std::map<std::string, std::vector<std::string>> texts = Texts();
        std::vector<Statements> statements;
        for (auto& [what, call] : UsualCalls()) {
            const auto found = texts.find(what);
            statements.push_back({what, call,
                                  found == texts.end()
                                      ? std::vector<std::string>{"(no texts given)"}
                                      : found->second});
            if (found != texts.end()) texts.erase(found);
        }
        for (const auto& unknown : texts) {
            statements.push_back({unknown.first, [] {}, {"(no such operation)"}});
        }
        return statements;
    }
    // The statement texts of each operation of UsualCalls, by its name.
    virtual std::map<std::string, std::vector<std::string>> Texts() const = 0;

    int LoadProject(const std::string& project, const std::string& failing,
                    NameList& loaded) override {
        FailingLoads object(failing);
        object.SetConnectString(connect_.c_str());
        std::vector<Set> sets;
        Interface& asHost = object;
        const int result = asHost.LoadProjectData(project.c_str(), sets);
        for (const Set& set : sets) {
            loaded.push_back(set.WellName + " " + std::to_string(set.Records.size()));
        }
        return result;
    }

  private:
    std::vector<std::pair<std::string, std::function<void()>>> UsualCalls() {
        Interface& m = this->Object();
        const auto sets = [this](const NameList& wells) { return this->SetsOf(wells); };
        return {
            {"wells with data",
             [&m] {
                 NameList names;
                 m.GetWellNamesWithData("P1", names);
             }},
            {"load well",
             [&m] {
                 Set set;
                 m.LoadWellData("W1", set);
             }},
            {"load project",
             [&m] {
                 std::vector<Set> loaded;
                 m.LoadProjectData("P1", loaded);
             }},
            {"stored wells",
             [&m, sets] {
                 NameList names;
                 m.GetWellsWithData(sets({"W1", "W2"}), names);
             }},
            {"save well",
             [&m] {
                 Set set;
                 set.WellName = "W1";
                 set.Records.resize(1);
                 m.SaveWellData(set);
             }},
            {"save wells", [&m, sets] { m.SaveWellsData("", sets({"W1"})); }},
            {"delete well", [&m] { m.DeleteWellData("W9"); }},
            {"delete wells", [&m] { m.DeleteWellsData({"W9"}); }},
            {"delete project", [&m] { m.DeleteProjectData("P9"); }},
            {"exists", [&m] { m.IsWellDataExist("W1"); }},
        };
    }

    class FailingLoads : public Class {
      public:
        explicit FailingLoads(std::string failing) : failing_(std::move(failing)) {}
        int LoadWellData(const char* well, Set& set) override {
            return failing_ == well ? 0 : Class::LoadWellData(well, set);
        }

      private:
        std::string failing_;
    };
    std::string connect_;
};

}  // namespace testsupport

// Adds the member that expression makes to the family suite.
#define STRATALOOM_FAMILY_MEMBER(Tag, expression)                                \
    namespace {                                                                  \
    const bool g_member##Tag = (testsupport::AddFamilyMember(expression), true); \
    }
