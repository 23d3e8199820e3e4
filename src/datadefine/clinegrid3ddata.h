// 3D seismic survey grids: table s_linegrid3d_data, one row per grid with its
// three reference points, kept under the grid's name.
#pragma once

#include "datadefine/tabledata.h"
#include "strataloom/ilinegrid3ddata.h"

class CLineGrid3DData : public strataloom::TableData<ILineGrid3DData> {
  public:
    int GetGridNames(NameList& names) override;
    int LoadGridData(const char* grid, LineGrid3DRecord& record) override;
    int LoadAllGridsData(std::vector<LineGrid3DRecord>& records) override;
    int IsGridDataExist(const char* grid) override;
    int GetGridsWithData(const std::vector<LineGrid3DRecord>& records, NameList& names) override;
    int SaveGridData(const LineGrid3DRecord& record) override;
    int SaveGridsData(const char* project, const std::vector<LineGrid3DRecord>& records) override;
    int DeleteGridData(const char* grid) override;
    int DeleteGridsData(const char* project, const NameList& grids) override;
    int DeleteAllGridsData(const char* project) override;
    virtual ClassEntry* GetClassEntry();
};
