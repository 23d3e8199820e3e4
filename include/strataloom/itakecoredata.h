// Drilling cores: the cores cut while drilling wells, any number per well, in
// table w_takecore_data. The module gives no value a meaning and computes
// none (GainRate is not derived from the lengths): every field is stored and
// handed back as it was given, depths and lengths in the project's units.
#pragma once

#include "strataloom/idatabase.h"

// One core of a well.
struct TakeCoreRecord {
    std::string CoreName;
    double TopDepth = 0.0;     // top of the cored interval
    double BottomDepth = 0.0;  // bottom of the cored interval
    double CoreLength = 0.0;   // length of core recovered
    double CoreDrill = 0.0;    // the CoreDrill value of the core
    double GainRate = 0.0;     // recovery rate, as the project records it
    int Color = 0;             // colour code, an opaque 32-bit value
    std::string LithName;      // lithology name
    std::string OilBearingClass;
    std::string LithDescription;  // lithology description
    std::string Remark;
};

// The drilling cores of one well.
struct TakeCoreSet {
    std::string WellName;
    std::vector<TakeCoreRecord> Records;
};

// Every operation returns 1 on success and 0 on failure. An empty well or
// project name where one is required is refused with a message box before
// anything is read or written. List operations only append to the caller's
// list, also when they fail; loads only append records and sets. Every write
// is all-or-nothing: a save or delete that returns 0 has changed nothing.
class ITakeCoreData : public IDataBase {
  public:
    // Appends the project's wells that have cores, in well-name order, each
    // once. 0 when there is none.
    virtual int GetWellNamesWithData(const char* project, NameList& names) = 0;
    // Appends the well's cores to set.Records in the order the database
    // keeps them, behind the records the set already holds, and names the set
    // after the well. 0 when the well has none: the set is left as it was.
    virtual int LoadWellData(const char* well, TakeCoreSet& set) = 0;
    // Appends one set per well of the project that has cores, in well-name
    // order. 1 with nothing appended for a project without any; 0 at the
    // first well that cannot be loaded, the sets before it kept.
    virtual int LoadProjectData(const char* project, std::vector<TakeCoreSet>& sets) = 0;
    // Appends the WellName of the given sets once per stored core (a well
    // with five cores is listed five times). Only the sets' WellName is used.
    virtual int GetWellsWithData(const std::vector<TakeCoreSet>& sets, NameList& names) = 0;
    // Replaces the well's cores by the set's records; a set without records
    // takes them all away.
    virtual int SaveWellData(const TakeCoreSet& set) = 0;
    // Replaces the cores of every well of sets, all at once. The first
    // argument (a project name) is not used. 0 for an empty vector, which
    // changes nothing.
    virtual int SaveWellsData(const char* unused, const std::vector<TakeCoreSet>& sets) = 0;
    // Deletes the well's cores; 1 also when it had none.
    virtual int DeleteWellData(const char* well) = 0;
    // Deletes the cores of the named wells; 0 for an empty list.
    virtual int DeleteWellsData(const NameList& names) = 0;
    // Deletes the cores of every well of the project, and no other.
    virtual int DeleteProjectData(const char* project) = 0;
    // 1 when the well has at least one core, 0 otherwise.
    virtual int IsWellDataExist(const char* well) = 0;
};
