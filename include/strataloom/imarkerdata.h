// Well markers: named depth intervals picked in wells, table w_marker_data.
// Conventions of every interface (results, output, writes, units): see
// idatabase.h. A well may hold several picks of one marker name; nothing
// checks that the top lies above the bottom.
#pragma once

#include "strataloom/idatabase.h"

// One marker pick of a well.
struct MarkerRecord {
    std::string MarkerName;    // the marker (formation top, layer...) picked
    double TopDepth = 0.0;     // measured depth of the top of the interval (depth unit)
    double BottomDepth = 0.0;  // measured depth of its bottom (depth unit)
    std::string Description;   // free text
};

// The markers of one well.
struct MarkerSet {
    std::string WellName;
    std::vector<MarkerRecord> Records;
};

class IMarkerData : public IDataBase {
  public:
    // Appends the names of the project's wells that have markers, in name order.
    virtual int GetWellNamesWithData(const char* project, NameList& names) = 0;
    // Appends every distinct marker name of the table when the project has at
    // least one well, else nothing (0).
    virtual int GetMarkerNames(const char* project, NameList& names) = 0;
    // Appends the well's marker names, once per pick.
    virtual int GetWellMarkerNames(const char* well, NameList& names) = 0;
    // Appends one set per pick of the marker, in any well, when the project has
    // at least one well; a well with two picks gives two sets.
    virtual int LoadMarkersByName(const char* project, const char* marker,
                                  std::vector<MarkerSet>& sets) = 0;
    // Sets set.WellName and appends the well's picks, by increasing TopDepth.
    // 0 when the well has none: the set is untouched.
    virtual int LoadWellData(const char* well, MarkerSet& set) = 0;
    // Appends one set per well of the table, by well name, each with its picks
    // by increasing TopDepth. The first argument is not used: every well of
    // the table is loaded.
    virtual int LoadAllWellsData(const char* unused, std::vector<MarkerSet>& sets) = 0;
    // 1 when the well has a pick; 0 when not, and after a box when the name is
    // empty.
    virtual int IsWellDataExist(const char* well) = 0;
    // Replaces every pick of the well; a set without records deletes them.
    // 0 after a box when the well name is empty.
    virtual int SaveWellData(const MarkerSet& set) = 0;
    // Appends the names of the sets' wells that have picks, once per pick.
    virtual int GetWellsWithData(const std::vector<MarkerSet>& sets, NameList& names) = 0;
    // Replaces every pick of every set's well at once. 0 for an empty vector.
    // The first argument is not used.
    virtual int SaveWellsData(const char* unused, const std::vector<MarkerSet>& sets) = 0;
    // Deletes every pick of the well. 0 after a box when the name is empty.
    virtual int DeleteWellData(const char* well) = 0;
    // Deletes every pick of the named wells. 0 for an empty list.
    virtual int DeleteWellsData(const NameList& names) = 0;
    // Deletes the picks of the project's wells, and no other. 0 after a box
    // when the project name is empty.
    virtual int DeleteProjectData(const char* project) = 0;
};
