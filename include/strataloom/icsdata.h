// Map polylines: named lines drawn on the map of a marker (a horizon), table
// b_cs_data, one row per whole line.
#pragma once

#include "strataloom/idatabase.h"

// One polyline of a marker's map. A line is identified by its marker and its
// name together. The three arrays are parallel: element i of each describes
// vertex i.
struct CSRecord {
    std::string CSName;
    // The marker (horizon) whose map the line is drawn on.
    std::string MarkerName;
    // Type code, one character '0' to '4'. Codes '0', '1' and '2' form one
    // family, '3' and '4' another; the type filters below select by them.
    char CSType = '0';
    // Map coordinates of the vertices.
    std::vector<double> Xcoor;
    std::vector<double> Ycoor;
    // Depth of each vertex; may be empty.
    std::vector<double> Depth;
    // Vertex numbers of the line's two turn points, stored as given.
    int TurnPoint1 = 0;
    int TurnPoint2 = 0;
};

// A point of a list released by ReleasePointList.
struct CSPoint {
    double X = 0.0;
    double Y = 0.0;
};

// Type filter, the int argument named filter below:
//   0 selects type codes '0', '1' and '2';
//   1 selects code '3';
//   2 selects code '4';
//   any other value selects codes '3' and '4'.
//
// Every operation returns 1 on success and 0 on failure. Lists and sequences
// passed in are only appended to; what was appended before a failure stays.
// Arrays of any length round-trip, one or two values included.
class ICSData : public IDataBase {
  public:
    // Appends the names of the markers that have lines of codes '0' to '2'
    // (each once); 0 also when there is none.
    virtual int GetMarkerNamesOfTypes012(NameList& names) = 0;
    // The same for codes '3' and '4'.
    virtual int GetMarkerNamesOfTypes34(NameList& names) = 0;
    // Appends the names of the lines of the filter's types, each once, of
    // every marker; 0 also when there is none.
    virtual int GetCSNames(int filter, NameList& names) = 0;
    // The same for the lines of one marker.
    virtual int GetMarkerCSNames(const char* marker, int filter, NameList& names) = 0;
    // Appends every line of the filter's types; 0 also when there is none.
    virtual int LoadAllCS(int filter, std::vector<CSRecord>& records) = 0;
    // Appends the marker's lines named in names, in the order of names; a
    // name without a line of the filter's types is skipped. 1 also when none
    // is found, and at once for an empty names.
    virtual int LoadCSByNames(const char* marker, int filter, const NameList& names,
                              std::vector<CSRecord>& records) = 0;
    // Appends every line of the marker of the filter's types; 0 also when
    // there is none.
    virtual int LoadMarkerCS(const char* marker, int filter, std::vector<CSRecord>& records) = 0;
    // Fills record with one line; 0 and record untouched when there is none.
    virtual int LoadCS(const char* marker, const char* name, CSRecord& record) = 0;
    // 1 when the marker has at least one line.
    virtual int IsMarkerCSExist(const char* marker) = 0;
    // 1 when the line exists.
    virtual int IsCSExist(const char* marker, const char* name) = 0;
    // Stores the line, replacing a stored line of the same marker and name.
    // When one exists, the user is asked first (a Yes/No box, before anything
    // is written); No gives 0 and changes nothing.
    virtual int SaveCS(const CSRecord& record) = 0;
    // Stores every line of records, replacing stored ones, all or nothing.
    // When some exist, the user is asked once first with up to five of their
    // names; No gives 0 and changes nothing. An empty records gives 1.
    virtual int SaveCSList(const std::vector<CSRecord>& records) = 0;
    // Deletes the marker's lines of the filter's types; an empty marker name
    // is refused with a message. 1 when the delete ran.
    virtual int DeleteMarkerCS(const char* marker, int filter) = 0;
    // Deletes one line; empty names are refused with a message. 1 when the
    // delete ran, whether or not the line existed.
    virtual int DeleteCS(const char* marker, const char* name) = 0;
    // Kept in its place for hosts built against it: does nothing, returns 0.
    virtual int Reserved(void* first, void* second) = 0;
    // Deletes every line of the filter's types, of every marker. 1 when the
    // delete ran.
    virtual int DeleteCSByType(int filter) = 0;
    // Empties the list and gives its memory back. Touches no database.
    virtual void ReleasePointList(std::vector<CSPoint>& points) = 0;
    // Empties the name and the three arrays (their memory given back); the
    // marker, type and turn points stay. Touches no database.
    virtual void ClearCSRecord(CSRecord& record) = 0;
};
