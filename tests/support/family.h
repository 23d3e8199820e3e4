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
#include "support/statementlog.h"

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

// Gives every field the value a new record holds when its type names none:
// zero, the empty text, the empty array.
class Zeroer : public FieldVisitor {
  public:
    void Text(std::string& field) override { field.clear(); }
    void Double(double& field) override { field = 0.0; }
    void Float(float& field) override { field = 0.0f; }
    void Int(int& field) override { field = 0; }
    void Char(char& field) override { field = 0; }
    void Array(std::vector<double>& field) override { field.clear(); }
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

// An operation the member refuses before any statement runs, with the text
// of the box the user sees.
struct Refusal {
    std::string what;
    std::function<int()> call;
    std::string message;
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
    // Saves a well with one record as a new record holds it, and describes
    // that record.
    virtual int SaveFreshRecord(const std::string& well, std::vector<std::string>& described) = 0;
    // What a new record holds, described: each field's initial value as the
    // record's definition gives it, else zero or empty.
    virtual std::vector<std::string> InitialValues() const = 0;
    // One "Column <condition>" per field of the record SaveWell(well, 1, seed)
    // stores, holding when the field's value is in the column of its name.
    virtual std::vector<std::string> ColumnChecks(int seed) const = 0;

    virtual int WellsWithData(const std::string& project, NameList& names) = 0;
    // The stored wells among wells, once per row (GetWellsWithData).
    virtual int StoredWells(const NameList& wells, NameList& names) = 0;
    // False for a member whose StoredWells names each well once, however
    // many rows it has.
    virtual bool ListsEveryStoredRow() const { return true; }
    virtual int DeleteProject(const std::string& project) = 0;
    virtual int DeleteWell(const std::string& well) = 0;

    virtual std::vector<Refusal> Refusals() = 0;
    virtual std::vector<Statements> ExactStatements() = 0;

    // The shared cases that need an operation, or a behaviour of it, that
    // not every member has.
    enum class Case {
        ProjectLoad,          // LoadProjectData takes the wells with rows through LoadWellData
        MultiWellSave,        // SaveWellsData and DeleteWellsData replace and delete wells at once
        EmptyMultiWellCalls,  // both give 0 for no wells, before any statement
    };
    // Why the member cannot run the case, as its profile states it; empty
    // when it can. The suite skips the case for it with that reason.
    virtual std::string CannotRun(Case) const { return ""; }

    // The operations of those cases. A member that runs a case overrides
    // them; left as they are, they answer kUnsupported, which fails the case.
    static constexpr int kUnsupported = -1;
    // Loads the project (LoadProjectData) into a vector holding a set of the
    // caller's, well "mine", the object's own LoadWellData failing for the
    // well `failing`, and describes every set: "well " + its name, then its
    // records' fields.
    virtual int LoadProject(const std::string&, const std::string&, std::vector<std::string>&) {
        return kUnsupported;
    }
    // Replaces the wells at once (SaveWellsData): wells[i] gets records[i]
    // records, seeded seed + 10 * i.
    virtual int SaveWells(const NameList&, const std::vector<int>&, int) { return kUnsupported; }
    // Deletes the wells at once (DeleteWellsData).
    virtual int DeleteWells(const NameList&) { return kUnsupported; }
};

// Registers a member for the suite while the test program loads.
const std::vector<FamilyMember*>& FamilyMembers();
void AddFamilyMember(std::unique_ptr<FamilyMember> member);

// A member whose rows travel as sets of records of one type, one set per
// well: makes and describes such sets for the suite, and saves and loads
// them through the member's own SaveSet and LoadSet.
template <class Interface, class Set>
class RecordSetMember : public FamilyMember {
  public:
    using Record = typename decltype(Set::Records)::value_type;
    using Fields = void (*)(Record&, FieldVisitor&);

    RecordSetMember(std::string name, const char* interfaceName, std::string table, Fields fields)
        : name_(std::move(name)),
          interface_(interfaceName),
          table_(std::move(table)),
          fields_(fields) {}

    std::string Name() const override { return name_; }
    std::string Table() const override { return table_; }
    void Attach(ProjectDb& db) override { object_ = db.Create<Interface>(interface_); }
    void Detach() override { object_.reset(); }

    int SaveWell(const std::string& well, int records, int seed) override {
        return SaveSet(Filled(well, records, seed));
    }
    int LoadWell(const std::string& well, std::vector<std::string>& described) override {
        Set set;
        const int result = LoadSet(well, set);
        described = Describe(set);
        return result;
    }
    std::vector<std::string> Expected(int records, int seed) const override {
        return Describe(Filled("", records, seed));
    }
    int SaveFreshRecord(const std::string& well, std::vector<std::string>& described) override {
        Set set;
        set.WellName = well;
        set.Records.resize(1);
        described = Describe(set);
        return SaveSet(set);
    }
    std::vector<std::string> InitialValues() const override {
        Set set;
        set.Records.resize(1);
        Zeroer zeroer;
        fields_(set.Records[0], zeroer);
        return Describe(set);
    }
    std::vector<std::string> ColumnChecks(int seed) const override {
        ColumnCondition conditions(Columns());
        Set set = Filled("", 1, seed);
        fields_(set.Records[0], conditions);
        return conditions.Conditions();
    }
    // The columns the record's fields are stored in, in the record's order.
    virtual std::vector<std::string> Columns() const = 0;

  protected:
    // The member's own save of a set as its well's rows, and load of a well.
    virtual int SaveSet(const Set& set) = 0;
    virtual int LoadSet(const std::string& well, Set& set) = 0;

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

// The multi-well save of an interface, with or without the project argument
// it does not use.
template <class Interface, class Set>
auto SaveWellsOf(Interface& object, const std::vector<Set>& sets)
    -> decltype(object.SaveWellsData("", sets)) {
    return object.SaveWellsData("", sets);
}
template <class Interface, class Set>
auto SaveWellsOf(Interface& object, const std::vector<Set>& sets)
    -> decltype(object.SaveWellsData(sets)) {
    return object.SaveWellsData(sets);
}

// A member whose interface has the family's usual operations: one set of
// records per well, listed, loaded, tested, replaced and deleted whole, one
// well or several at once. Its profile gives the statement texts of each
// usual operation by name (Texts) and its own operations besides.
template <class Interface, class Set>
class StandardMember : public RecordSetMember<Interface, Set> {
  public:
    using RecordSetMember<Interface, Set>::RecordSetMember;

    int WellsWithData(const std::string& project, NameList& names) override {
        return this->Object().GetWellNamesWithData(project.c_str(), names);
    }
    int StoredWells(const NameList& wells, NameList& names) override {
        return this->Object().GetWellsWithData(this->SetsOf(wells), names);
    }
    int DeleteProject(const std::string& project) override {
        return this->Object().DeleteProjectData(project.c_str());
    }
    int DeleteWell(const std::string& well) override {
        return this->Object().DeleteWellData(well.c_str());
    }
    int SaveWells(const NameList& wells, const std::vector<int>& records, int seed) override {
        std::vector<Set> sets;
        for (std::size_t i = 0; i < wells.size(); ++i) {
            sets.push_back(this->Filled(wells[i], records[i], seed + 10 * static_cast<int>(i)));
        }
        return SaveWellsOf(this->Object(), sets);
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
            {"delete null well", [&m] { return m.DeleteWellData(nullptr); }, well},
            {"delete project", [&m] { return m.DeleteProjectData(""); }, "工区名称不能为空！"},
        };
    }

    // The member's own operations first, on the well W1 of project P1 that
    // the case saved, then every usual operation on P1 and W1 (P9 and W9,
    // W8 for the deletes), each with the texts Texts gives for it.
    std::vector<Statements> ExactStatements() override {
        std::vector<Statements> statements = OwnStatements();
        std::map<std::string, std::vector<std::string>> texts = Texts();
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
    // The statement texts of each usual operation, by the name of its call.
    virtual std::map<std::string, std::vector<std::string>> Texts() const = 0;
    // The operations the member has besides the usual ones, with their texts.
    virtual std::vector<Statements> OwnStatements() { return {}; }

  protected:
    int SaveSet(const Set& set) override { return this->Object().SaveWellData(set); }
    int LoadSet(const std::string& well, Set& set) override {
        return this->Object().LoadWellData(well.c_str(), set);
    }

    using Calls = std::vector<std::pair<std::string, std::function<void()>>>;
    virtual Calls UsualCalls() {
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
            {"save wells", [&m, sets] { SaveWellsOf(m, sets({"W1"})); }},
            {"delete well", [&m] { m.DeleteWellData("W9"); }},
            {"delete wells",
             [&m] {
                 m.DeleteWellsData({"W9", "W8"});
             }},
            {"delete project", [&m] { m.DeleteProjectData("P9"); }},
            {"exists", [&m] { m.IsWellDataExist("W1"); }},
        };
    }
};

// A standard member whose interface also loads whole projects, well by well
// through the object's own LoadWellData. Class is its data class: the suite
// makes that load fail for a well of its choice.
template <class Interface, class Set, class Class>
class ProjectLoadingMember : public StandardMember<Interface, Set> {
  public:
    using StandardMember<Interface, Set>::StandardMember;

    void Attach(ProjectDb& db) override {
        StandardMember<Interface, Set>::Attach(db);
        connect_ = db.Connect();
    }
    int LoadProject(const std::string& project, const std::string& failing,
                    std::vector<std::string>& described) override {
        FailingLoads object(failing);
        object.SetConnectString(connect_.c_str());
        std::vector<Set> sets(1);
        sets[0].WellName = "mine";
        Interface& asHost = object;
        const int result = asHost.LoadProjectData(project.c_str(), sets);
        described.clear();
        for (const Set& set : sets) {
            described.push_back("well " + set.WellName);
            const std::vector<std::string> fields = this->Describe(set);
            described.insert(described.end(), fields.begin(), fields.end());
        }
        return result;
    }

  protected:
    typename StandardMember<Interface, Set>::Calls UsualCalls() override {
        auto calls = StandardMember<Interface, Set>::UsualCalls();
        Interface& m = this->Object();
        calls.insert(calls.begin() + 2, {"load project", [&m] {
                                             std::vector<Set> sets;
                                             m.LoadProjectData("P1", sets);
                                         }});
        return calls;
    }

  private:
    // The member's class, whose LoadWellData fails for one well.
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
