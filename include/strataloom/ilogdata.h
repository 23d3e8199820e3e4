// Log curves: one row per curve and well in table w_log_data, the samples of
// a curve kept whole in one column.
#pragma once

#include "strataloom/idatabase.h"

// One curve of a well.
struct LogCurveRecord {
    std::string CurveName;
    std::string Measure;
    // Position in the same set's Records of the curve that gives this curve's
    // depths; -1 for none. A depth curve designates itself.
    int DepthCurve = -1;
    std::vector<double> CurveValue;
};

// The curves of one well.
struct LogCurveSet {
    std::string WellName;
    double NullValue = 0.0;
    std::vector<LogCurveRecord> Records;
};

class ILogData : public IDataBase {
  public:
    virtual int GetWellNamesWithData(const char* project, NameList& names) = 0;
    virtual int GetCurveNames(const char* well, NameList& curveNames,
                              NameList& depthCurveNames) = 0;
    virtual int GetDepthCurveNames(const char* well, NameList& names) = 0;
    virtual int LoadDepthCurves(const char* well, LogCurveSet& set) = 0;
    virtual int LoadCurve(const char* well, const char* curve, LogCurveSet& set) = 0;
    virtual int LoadWellData(const char* well, LogCurveSet& set) = 0;
    virtual int LoadProjectData(const char* project, std::vector<LogCurveSet>& sets) = 0;
    virtual int GetExistingCurveNames(const LogCurveSet& set, NameList& names) = 0;
    virtual int SaveCurves(const LogCurveSet& set) = 0;
    // The first argument is not used.
    virtual int SaveWellsCurves(const char* unused, const std::vector<LogCurveSet>& sets) = 0;
    virtual int DeleteCurve(const char* well, const char* curve) = 0;
    virtual int DeleteCurves(const char* well, const NameList& curves) = 0;
    virtual int DeleteWellData(const char* well) = 0;
    virtual int DeleteWellsData(const NameList& names) = 0;
    virtual int DeleteProjectData(const char* project) = 0;
};
