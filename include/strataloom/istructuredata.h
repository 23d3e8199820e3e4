// Structure data: the depth surface of a marker (a horizon), table
// s_structure_data, one row per marker holding three parallel arrays.
#pragma once

#include "strataloom/idatabase.h"

// A point carried with a structure record; nothing stores it.
struct StructurePoint {
    double X = 0.0;
    double Y = 0.0;
    double Z = 0.0;
};

// The structure data of one marker. Element i of the three arrays describes
// one point of the surface. The marker name is the key: a marker has one
// row, whatever the project.
struct StructureRecord {
    std::string ProjectName;
    std::string MarkerName;
    // Map coordinates of the points.
    std::vector<double> Xcoor;
    std::vector<double> Ycoor;
    // Depth of the surface at each point.
    std::vector<double> Depth;
    // Travels with the record when it is copied; never stored or loaded.
    std::vector<StructurePoint> Points;
};

// Every operation returns 1 on success and 0 on failure. Lists and sequences
// passed in are only appended to; what was appended before a failure stays.
// Arrays of any length round-trip, one or two values included.
class IStructureData : public IDataBase {
  public:
    // Appends the names of the project's markers with structure data; 0 also
    // when there is none.
    virtual int GetStructureMarkerNames(const char* project, NameList& names) = 0;
    // Fills the marker's name and arrays into record (its ProjectName is left
    // as it is); 0 when the marker has no row.
    virtual int LoadStructureData(const char* marker, StructureRecord& record) = 0;
    // Appends one record per row of the project, its ProjectName the
    // project's; 0 also when there is none.
    virtual int LoadProjectStructureData(const char* project,
                                         std::vector<StructureRecord>& records) = 0;
    // 1 when the project holds structure data of the marker.
    virtual int IsStructureDataExist(const char* project, const char* marker) = 0;
    // Stores the record under the given project (the record's ProjectName is
    // not used), replacing the marker's row of any project. An empty marker
    // name is refused with a message.
    virtual int SaveStructureData(const char* project, const StructureRecord& record) = 0;
    // Appends one name per stored row of the records' markers. The first
    // argument is not used.
    virtual int GetStructuresWithData(const char* unused,
                                      const std::vector<StructureRecord>& records,
                                      NameList& names) = 0;
    // Replaces the rows of every record's marker by the records, each stored
    // under its own ProjectName, all or nothing. The first argument is not
    // used.
    virtual int SaveStructuresData(const char* unused,
                                   const std::vector<StructureRecord>& records) = 0;
    // Deletes the marker's row; an empty name is refused with a message.
    virtual int DeleteStructureData(const char* marker) = 0;
    // Deletes the rows of the named markers; an empty list deletes nothing.
    virtual int DeleteStructuresData(NameList markers) = 0;
    // Deletes the project's rows whose marker is picked in some well (has a
    // row in the well markers); other rows stay. An empty project name is
    // refused with a message.
    virtual int DeleteProjectStructureData(const char* project) = 0;
};
