// 2D seismic line coordinates: table s_linecoor2d_data, one row per CDP point
// of a line, kept under the line's name.
#pragma once

#include "datadefine/tabledata.h"
#include "strataloom/ilinecoor2ddata.h"

class CLineCoor2DData : public strataloom::TableData<ILineCoor2DData> {
  public:
    int GetLineNames(const char* unused, NameList& names) override;
    int LoadLineData(const char* line, std::vector<LineCoor2DRecord>& records) override;
    int LoadLinePoint(const char* line, LineCoor2DRecord& record) override;
    int LoadAllLinesData(const char* unused, std::vector<LineCoor2DRecord>& records) override;
    int IsLineDataExist(const char* unused, const char* line) override;
    int SaveLinePoint(const char* unused, const LineCoor2DRecord& record) override;
    int GetLinesWithData(const char* unused, const std::vector<LineCoor2DRecord>& records,
                         NameList& names) override;
    int SaveLinesData(const char* project, const std::vector<LineCoor2DRecord>& records) override;
    int DeleteLineData(const char* project, const char* line) override;
    int DeleteLinesData(const char* project, const NameList& lines) override;
    int DeleteAllLinesData(const char* project) override;
    virtual ClassEntry* GetClassEntry();
};
