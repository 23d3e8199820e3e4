// The per-well table family under one suite: each member (markers, small
// layers, cores...) states its profile, the suite runs what they all share on
// every engine. A profile is written from what the member must do (its table,
// its record fields, its messages and statement texts), never from the code.
#pragma once

#include <cstdio>
#include <functional>
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
    // False for a member whose StoredWells names each well once, however
    // many rows it has.
    virtual bool ListsEveryStoredRow() const { return true; }
    virtual int DeleteProject(const std::string& project) = 0;
    virtual int DeleteWell(const std::string& well) = 0;

    virtual std::vector<Refusal> Refusals() = 0;
    virtual std::vector<Statements> ExactStatements() = 0;

    // Operations only some members have. A member without one leaves it
    // kUnsupported, and the cases that need it skip the member.
    static constexpr int kUnsupported = -1;
    // Loads the project (LoadProjectData) into a vector holding a set of the
    // caller's, well "mine", and describes every set: "well " + its name,
    // then its records' fields.
    virtual int LoadProject(const std::string&, std::vector<std::string>&) { return kUnsupported; }
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
// well: makes and describes such sets for the suite.
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

    std::vector<std::string> Expected(int records, int seed) const override {
        return Describe(Filled("", records, seed));
    }

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

// A member whose interface has the family's usual operations: one set of
// records per well, saved and loaded whole.
template <class Interface, class Set>
class StandardMember : public RecordSetMember<Interface, Set> {
  public:
    using RecordSetMember<Interface, Set>::RecordSetMember;

    int SaveWell(const std::string& well, int records, int seed) override {
        return this->Object().SaveWellData(this->Filled(well, records, seed));
    }
    int LoadWell(const std::string& well, std::vector<std::string>& described) override {
        Set set;
        const int result = this->Object().LoadWellData(well.c_str(), set);
        described = this->Describe(set);
        return result;
    }
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
};

}  // namespace testsupport

// Adds the member that expression makes to the family suite.
#define STRATALOOM_FAMILY_MEMBER(Tag, expression)                                \
    namespace {                                                                  \
    const bool g_member##Tag = (testsupport::AddFamilyMember(expression), true); \
    }
