// 3D seismic survey grids: table s_linegrid3d_data, one row per grid with
// three reference points that fix its position, orientation and spacing on
// the map.
#pragma once

#include "strataloom/idatabase.h"

// One survey grid: for each of its three reference points the line number,
// the CDP number and the map coordinates.
struct LineGrid3DRecord {
    std::string LineGrid3DName;
    int LineNo1 = 0;
    int CDPNo1 = 0;
    double Xcoor1 = 0.0;
    double Ycoor1 = 0.0;
    int LineNo2 = 0;
    int CDPNo2 = 0;
    double Xcoor2 = 0.0;
    double Ycoor2 = 0.0;
    int LineNo3 = 0;
    int CDPNo3 = 0;
    double Xcoor3 = 0.0;
    double Ycoor3 = 0.0;
};

// Every operation returns 1 on success and 0 on failure. Lists and sequences
// passed in are only appended to; what was appended before a failure stays.
class ILineGrid3DData : public IDataBase {
  public:
    // Appends the name of every stored grid, once per row; 0 also when there
    // is none.
    virtual int GetGridNames(NameList& names) = 0;
    // Fills record with the grid; 0 and record untouched when it has no row.
    virtual int LoadGridData(const char* grid, LineGrid3DRecord& record) = 0;
    // Appends every stored grid; 0 also when there is none.
    virtual int LoadAllGridsData(std::vector<LineGrid3DRecord>& records) = 0;
    // 1 when the grid is registered in the project's list of survey grids
    // (table b_LineGrid3D_data, kept by the programs that load seismic data),
    // whether or not this interface stored it.
    virtual int IsGridDataExist(const char* grid) = 0;
    // Appends one name per stored row of the records' grids.
    virtual int GetGridsWithData(const std::vector<LineGrid3DRecord>& records, NameList& names) = 0;
    // Stores the grid, replacing its row. An empty name, a missing table and
    // a failed save are each reported with a message.
    virtual int SaveGridData(const LineGrid3DRecord& record) = 0;
    // Replaces the rows of the records' grids by the records, all or nothing.
    // An empty project name is refused with a message.
    virtual int SaveGridsData(const char* project,
                              const std::vector<LineGrid3DRecord>& records) = 0;
    // Deletes the grid's row. An empty name is refused with a message; 1
    // otherwise.
    virtual int DeleteGridData(const char* grid) = 0;
    // Deletes the rows of the named grids. An empty project name is refused
    // with a message; 1 otherwise.
    virtual int DeleteGridsData(const char* project, const NameList& grids) = 0;
    // Deletes every grid, not only those of the project. An empty project
    // name is refused with a message; 1 otherwise.
    virtual int DeleteAllGridsData(const char* project) = 0;
};
