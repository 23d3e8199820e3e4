// 2D seismic line coordinates: table s_linecoor2d_data, one row per common
// depth point (CDP) of a line. The table holds no project: the project
// arguments below are only checked for emptiness, or not used at all.
#pragma once

#include "strataloom/idatabase.h"

// One surveyed point of a 2D seismic line.
struct LineCoor2DRecord {
    std::string LineName;
    // The point's CDP label.
    std::string CDP;
    // Map coordinates and elevation of the point; -99999.0 when not given.
    double XCoor = -99999.0;
    double YCoor = -99999.0;
    double Elevation = -99999.0;
};

// Every operation returns 1 on success and 0 on failure. Lists and sequences
// passed in are only appended to; what was appended before a failure stays.
// Points come back in the order the database returns them.
class ILineCoor2DData : public IDataBase {
  public:
    // Appends the name of every stored line, each once. The first argument is
    // not used. 0 also when there is none.
    virtual int GetLineNames(const char* unused, NameList& names) = 0;
    // Appends every point of the line; 0 when it has none.
    virtual int LoadLineData(const char* line, std::vector<LineCoor2DRecord>& records) = 0;
    // Fills record with the line's first point; 0 and record untouched when
    // the line has none.
    virtual int LoadLinePoint(const char* line, LineCoor2DRecord& record) = 0;
    // Appends every point of every line. The first argument is not used.
    virtual int LoadAllLinesData(const char* unused, std::vector<LineCoor2DRecord>& records) = 0;
    // 1 when the line has at least one point. The first argument is not used.
    virtual int IsLineDataExist(const char* unused, const char* line) = 0;
    // Replaces every stored point of the record's line by this one point. An
    // empty line name is refused with a message. The first argument is not
    // used.
    virtual int SaveLinePoint(const char* unused, const LineCoor2DRecord& record) = 0;
    // Appends the line name of every stored point of the records' lines (a
    // line of three points is named three times). The first argument is not
    // used.
    virtual int GetLinesWithData(const char* unused, const std::vector<LineCoor2DRecord>& records,
                                 NameList& names) = 0;
    // Replaces every stored point of the records' lines by the records, in
    // their order, all or nothing. An empty project name is refused with a
    // message.
    virtual int SaveLinesData(const char* project,
                              const std::vector<LineCoor2DRecord>& records) = 0;
    // Deletes every point of the line. Empty names are refused with a
    // message; 1 otherwise, whether or not the line had points.
    virtual int DeleteLineData(const char* project, const char* line) = 0;
    // Deletes every point of the named lines. An empty project name is
    // refused with a message; 1 otherwise.
    virtual int DeleteLinesData(const char* project, const NameList& lines) = 0;
    // Deletes every point of every line, not only of the project. An empty
    // project name is refused with a message; 1 otherwise.
    virtual int DeleteAllLinesData(const char* project) = 0;
};
