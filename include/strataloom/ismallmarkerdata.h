// Small-layer markers: the small layers picked in wells, each named with the
// middle layer and the marker it belongs to, table w_smallmarker_data. Depths
// and thicknesses are single-precision: a value comes back as the nearest float.
#pragma once

#include "strataloom/idatabase.h"

// One small layer of a well.
struct SmallMarkerRecord {
    std::string SmallMarkerName;
    std::string MiddleMarkerName;  // the middle layer the small layer belongs to
    std::string MarkerName;        // the marker it belongs to (plain text, not checked)
    float TopDepth = 0.0f;         // depth of the top, in the well's depth unit
    float BottomDepth = 0.0f;      // depth of the bottom, same unit
    float SandHeight = 0.0f;       // sand thickness
    std::string SandHeightType;    // how the sand thickness was found
    float SandEffTop = 0.0f;       // depth of the top of the effective sand
    float SandEffHeight1 = 0.0f;   // effective sand thickness, first reading
    float SandEffHeight2 = 0.0f;   // effective sand thickness, second reading
    std::string DcjsConclusion;    // interpretation conclusion of the layer
    std::string SmallMarkerDescription;
};

// The small layers of one well.
struct SmallMarkerSet {
    std::string WellName;
    std::vector<SmallMarkerRecord> Records;
};

// Every operation returns 1 on success and 0 on failure. Lists and vectors
// are only appended to; what was appended before a failure stays. An empty
// well or project name where one is required is shown in a message box and
// gives 0 with nothing read or changed.
class ISmallMarkerData : public IDataBase {
  public:
    // Appends the project's wells that have small layers, in well-name order.
    virtual int GetWellNamesWithData(const char* project, NameList& names) = 0;
    // Appends every distinct small-layer name of the table, in no set order,
    // when the project has at least one well; nothing (and 0) otherwise.
    virtual int GetSmallMarkerNames(const char* project, NameList& names) = 0;
    // Appends the well's small-layer names, once per stored row.
    virtual int GetWellSmallMarkerNames(const char* well, NameList& names) = 0;
    // Appends the well's small layers to the set's Records, in stored order,
    // and names the set after the well; 0 with the set untouched when the well
    // has none.
    virtual int LoadWellData(const char* well, SmallMarkerSet& set) = 0;
    // Appends one set per well of the project that has small layers, in
    // well-name order. 1 without appending anything when no well of the
    // project has any; 0 when the wells cannot be listed, or at the first well
    // that cannot be loaded, the sets before it kept.
    virtual int LoadProjectData(const char* project, std::vector<SmallMarkerSet>& sets) = 0;
    // 1 when the well has at least one small layer. Refuses an empty name.
    virtual int IsWellDataExist(const char* well) = 0;
    // Replaces the well's small layers by the set's records. Refuses a set
    // without a well name. Nothing changes unless every row is stored.
    virtual int SaveWellData(const SmallMarkerSet& set) = 0;
    // Appends the name of each given well once per small layer it has.
    virtual int GetWellsWithData(const std::vector<SmallMarkerSet>& sets, NameList& names) = 0;
    // Replaces the small layers of every well of sets, all or nothing. The
    // first argument is not used; an empty vector gives 0 and changes nothing.
    virtual int SaveWellsData(const char* unused, const std::vector<SmallMarkerSet>& sets) = 0;
    // Deletes the well's small layers. Refuses an empty name.
    virtual int DeleteWellData(const char* well) = 0;
    // Deletes the small layers of the wells; an empty list gives 0.
    virtual int DeleteWellsData(const NameList& names) = 0;
    // Deletes the small layers of every well of the project, and no others.
    // Refuses an empty project name.
    virtual int DeleteProjectData(const char* project) = 0;
};
