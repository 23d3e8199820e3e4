// Log curves: one row per curve and well in table w_log_data, the samples of
// a curve kept whole in one column. Conventions of every interface (results,
// output, writes, units): see idatabase.h.
//
// A curve's samples are values at the depths that its depth curve holds, one
// depth per sample: a depth curve is a curve of the same well whose values are
// depths (in the project's depth unit), and it is its own depth curve. Curves
// of any length round-trip, one or two values included. A curve is named by
// its well and its own name.
#pragma once

#include "strataloom/idatabase.h"

// One curve of a well.
struct LogCurveRecord {
    std::string CurveName;  // the curve's name within its well ("GR", "DEPT"...)
    std::string Measure;    // the unit or kind of the values, as a label; stored as given
    // Position in the same set's Records of the curve that gives this curve's
    // depths; -1 for none. A depth curve designates itself.
    int DepthCurve = -1;
    std::vector<double> CurveValue;  // the samples, one per value of the depth curve
};

// The curves of one well.
struct LogCurveSet {
    std::string WellName;
    // The value that marks a missing sample in the well's curves. Stored with
    // every curve row and not interpreted: samples equal to it are stored and
    // returned like any other. Loads set it from the rows they read (the last
    // one wins).
    double NullValue = 0.0;
    std::vector<LogCurveRecord> Records;
};

class ILogData : public IDataBase {
  public:
    // Appends the names of the project's wells that have curves, in name order.
    virtual int GetWellNamesWithData(const char* project, NameList& names) = 0;
    // Appends each curve's name to curveNames and the name of its depth curve
    // to depthCurveNames at the same place, in curve-name order.
    virtual int GetCurveNames(const char* well, NameList& curveNames,
                              NameList& depthCurveNames) = 0;
    // Appends the names of the well's depth curves.
    virtual int GetDepthCurveNames(const char* well, NameList& names) = 0;
    // Appends the well's depth curves to set.Records, values only (no names,
    // no links); sets set.NullValue.
    virtual int LoadDepthCurves(const char* well, LogCurveSet& set) = 0;
    // Appends the curve's depth curve, then the curve, both linked to that
    // depth curve; sets set.WellName and set.NullValue. 0 when the curve or its
    // depth curve is missing: nothing is appended.
    virtual int LoadCurve(const char* well, const char* curve, LogCurveSet& set) = 0;
    // Sets set.WellName and appends every curve of the well, each linked to
    // its depth curve. 0 when the well has no curves: the set is untouched.
    virtual int LoadWellData(const char* well, LogCurveSet& set) = 0;
    // Appends one set per well of the project, as LoadWellData gives it. 0 as
    // soon as a well has no curves (the sets before it stay).
    virtual int LoadProjectData(const char* project, std::vector<LogCurveSet>& sets) = 0;
    // Appends the names of the set's curves that are stored for its well.
    virtual int GetExistingCurveNames(const LogCurveSet& set, NameList& names) = 0;
    // Replaces the well's curves of the names in the set (other stored curves
    // of the well stay); each row stores the name of its depth curve and the
    // set's NullValue. 0 without a box for a set without records; 0 after a
    // box when the well name is empty.
    virtual int SaveCurves(const LogCurveSet& set) = 0;
    // SaveCurves for several wells at once. The first argument is not used.
    virtual int SaveWellsCurves(const char* unused, const std::vector<LogCurveSet>& sets) = 0;
    // Deletes the curve, and its depth curve when no other curve of the well
    // uses it. 0 when the curve does not exist; 0 after a box when the well
    // name is empty.
    virtual int DeleteCurve(const char* well, const char* curve) = 0;
    // Deletes the named curves of the well; depth curves stay unless named.
    // 0 for an empty list; 0 after a box when the well name is empty.
    virtual int DeleteCurves(const char* well, const NameList& curves) = 0;
    // Deletes every curve of the well. 0 after a box when the name is empty.
    virtual int DeleteWellData(const char* well) = 0;
    // Deletes every curve of the named wells.
    virtual int DeleteWellsData(const NameList& names) = 0;
    // Deletes every curve of the project's wells, and no other. 0 after a box
    // when the project name is empty.
    virtual int DeleteProjectData(const char* project) = 0;
};
