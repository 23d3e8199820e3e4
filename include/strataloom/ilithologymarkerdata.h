// Lithology markers: the lithology intervals of wells, table
// w_lith_marker_data. Depths are single-precision: a value comes back as the
// nearest float.
#pragma once

#include "strataloom/idatabase.h"

// One lithology interval of a well.
struct LithMarkerRecord {
    std::string LithMarkerName;
    float TopDepth = 0.0f;     // depth of the top, in the well's depth unit
    float BottomDepth = 0.0f;  // depth of the bottom, same unit
    std::string LithName;      // the lithology (plain text, not checked)
    std::string LithDescription;
};

// The lithology intervals of one well.
struct LithMarkerSet {
    std::string WellName;
    std::vector<LithMarkerRecord> Records;
};

// Every operation returns 1 on success and 0 on failure. Lists and vectors
// are only appended to; what was appended before a failure stays. Only the
// single-well save checks its argument: the other operations take an empty
// name as the name of a well or project like any other.
class ILithologyMarkerData : public IDataBase {
  public:
    // Appends the project's wells that have intervals, in well-name order.
    virtual int GetWellNamesWithData(const char* project, NameList& names) = 0;
    // Appends the well's intervals to the set's Records in ascending top
    // depth and names the set after the well; 0 with the set untouched when
    // the well has none.
    virtual int LoadWellData(const char* well, LithMarkerSet& set) = 0;
    // Appends one set per name, in the order of the names; 0 at the first
    // well without intervals, the sets before it kept. An empty list gives 1.
    virtual int LoadWellsData(const NameList& names, std::vector<LithMarkerSet>& sets) = 0;
    // Loads every well of the project as LoadWellsData does, in the order the
    // well headers are stored: 0 at the first well without intervals, and 0
    // for a project without wells.
    virtual int LoadProjectData(const char* project, std::vector<LithMarkerSet>& sets) = 0;
    // 1 when the well has at least one interval.
    virtual int IsWellDataExist(const char* well) = 0;
    // Replaces the well's intervals by the set's records. Refuses (in a
    // message box) a set without a well name. Nothing changes unless every
    // row is stored.
    virtual int SaveWellData(const LithMarkerSet& set) = 0;
    // Appends the name of each given well once per interval it has.
    virtual int GetWellsWithData(const std::vector<LithMarkerSet>& sets, NameList& names) = 0;
    // Replaces the intervals of every well of sets, all or nothing.
    virtual int SaveWellsData(const std::vector<LithMarkerSet>& sets) = 0;
    // The same as SaveWellsData; the first argument is not used.
    virtual int SaveProjectData(const char* unused, const std::vector<LithMarkerSet>& sets) = 0;
    // Deletes the well's intervals.
    virtual int DeleteWellData(const char* well) = 0;
    // Deletes the intervals of the wells; an empty list deletes nothing.
    virtual int DeleteWellsData(const NameList& names) = 0;
    // Deletes the intervals of every well of the project, and no others.
    virtual int DeleteProjectData(const char* project) = 0;
};
