// Log curves: table w_log_data, one row per curve and well. A row whose
// DepthCurveName is its own CurveName is a depth curve; every other row names
// the depth curve of the same well that gives its samples' depths.
#pragma once

#include "datadefine/perwell.h"
#include "strataloom/ilogdata.h"

// A w_log_data row: the set's columns (well name, null value), the curve's,
// and the name of its depth curve, which the curve record holds as a
// position in its set. Rows are written curve by curve.
struct LogRows {
    using Set = LogCurveSet;
    static const strataloom::WellTable& Table();
    static const strataloom::ColumnTable<LogCurveSet>& SetColumns();
    static const strataloom::ColumnTable<LogCurveRecord>& CurveColumns();
    static void WriteRows(CDbManage& session, const LogCurveSet& set);
};

class CLogData : public strataloom::PerWellData<ILogData, LogRows> {
  public:
    int GetWellNamesWithData(const char* project, NameList& names) override;
    int GetCurveNames(const char* well, NameList& curveNames, NameList& depthCurveNames) override;
    int GetDepthCurveNames(const char* well, NameList& names) override;
    int LoadDepthCurves(const char* well, LogCurveSet& set) override;
    int LoadCurve(const char* well, const char* curve, LogCurveSet& set) override;
    int LoadWellData(const char* well, LogCurveSet& set) override;
    int LoadProjectData(const char* project, std::vector<LogCurveSet>& sets) override;
    int GetExistingCurveNames(const LogCurveSet& set, NameList& names) override;
    int SaveCurves(const LogCurveSet& set) override;
    int SaveWellsCurves(const char* unused, const std::vector<LogCurveSet>& sets) override;
    int DeleteCurve(const char* well, const char* curve) override;
    int DeleteCurves(const char* well, const NameList& curves) override;
    int DeleteWellData(const char* well) override;
    int DeleteWellsData(const NameList& names) override;
    int DeleteProjectData(const char* project) override;
    virtual ClassEntry* GetClassEntry();

    // LoadWellData with every sample equal to the null value, in each curve
    // that is not a depth curve, read as NaN while it is copied.
    int LoadWellDataNullsAsNaN(const char* well, LogCurveSet& set);

  private:
    // Reads the current row into the set's columns and the record, and names
    // its depth curve; false when a column cannot be read.
    using RowReader = bool (*)(CDbManage& session, LogCurveSet& set, LogCurveRecord& record,
                               std::string& depthCurve);
    int LoadWellRows(const char* well, LogCurveSet& set, RowReader readRow);
};
