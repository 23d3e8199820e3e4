// Sidewall cores: the samples taken from the wall of wells, each at a single
// depth, any number per well, in table w_lateralcore_data. The module gives
// no value a meaning: every field is stored and handed back as it was given,
// depths in the project's depth unit.
#pragma once

#include "strataloom/idatabase.h"

// One sidewall core of a well.
struct LateralCoreRecord {
    std::string LateralCoreName;
    double Depth = 0.0;    // depth the sample was taken at
    int Color = 0;         // colour code, an opaque 32-bit value
    std::string LithName;  // lithology name
    std::string OilBearingClass;
    std::string LithDescription;  // lithology description
    std::string Remark;
};

// The sidewall cores of one well.
struct LateralCoreSet {
    std::string WellName;
    std::vector<LateralCoreRecord> Records;
};

// Every operation returns 1 on success and 0 on failure. An empty well or
// project name where one is required is refused with a message box before
// anything is read or written. List operations only append to the caller's
// list, also when they fail; loads only append records and sets. Every write
// is all-or-nothing: a save or delete that returns 0 has changed nothing.
class ILateralCoreData : public IDataBase {
  public:
    // Appends the project's wells that have sidewall cores, in well-name
    // order, each once. 0 when there is none.
    virtual int GetWellNamesWithData(const char* project, NameList& names) = 0;
    // Appends the well's sidewall cores to set.Records in the order the
    // database keeps them, behind the records the set already holds, and
    // names the set after the well. 0 when the well has none: the set is left
    // as it was.
    virtual int LoadWellData(const char* well, LateralCoreSet& set) = 0;
    // Appends one set per well of the project that has sidewall cores, in
    // well-name order. 1 with nothing appended for a project without any; 0
    // at the first well that cannot be loaded, the sets before it kept.
    virtual int LoadProjectData(const char* project, std::vector<LateralCoreSet>& sets) = 0;
    // Appends the WellName of the given sets once per stored sidewall core (a
    // well with five is listed five times). Only the sets' WellName is used.
    virtual int GetWellsWithData(const std::vector<LateralCoreSet>& sets, NameList& names) = 0;
    // Replaces the well's sidewall cores by the set's records; a set without
    // records takes them all away.
    virtual int SaveWellData(const LateralCoreSet& set) = 0;
    // Replaces the sidewall cores of every well of sets, all at once. The
    // first argument is not used. 0 for an empty vector, which changes
    // nothing.
    virtual int SaveWellsData(const char* unused, const std::vector<LateralCoreSet>& sets) = 0;
    // Deletes the well's sidewall cores; 1 also when it had none.
    virtual int DeleteWellData(const char* well) = 0;
    // Deletes the sidewall cores of the named wells; 0 for an empty list.
    virtual int DeleteWellsData(const NameList& names) = 0;
    // Deletes the sidewall cores of every well of the project, and no other.
    virtual int DeleteProjectData(const char* project) = 0;
    // 1 when the well has at least one sidewall core, 0 otherwise.
    virtual int IsWellDataExist(const char* well) = 0;
};
