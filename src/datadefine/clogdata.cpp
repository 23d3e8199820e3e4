#include "datadefine/clogdata.h"

#include <algorithm>
#include <cstdio>
#include <numeric>
#include <utility>

#include "dbaccess/valuearray.h"
#include "strataloom/logsamples.h"

using namespace strataloom;

STRATALOOM_REGISTER_CLASS(CLogData, "ILogData")

namespace {

const char kTable[] = "w_log_data";
// Written from the record's DepthCurve position; read back by name and
// turned into a position again by the loads that link curves.
const char kDepthCurveName[] = "DepthCurveName";
// The columns of a curve's own fields, named once for the column table and
// the reads that take them one by one.
const char kCurveName[] = "CurveName";
const char kMeasure[] = "Measure";
const char kCurveValue[] = "CurveValue";

std::vector<ColumnShape> LogShapes() {
    return ShapesOf({{kDepthCurveName, ColumnKind::Text}}, LogRows::SetColumns(),
                    LogRows::CurveColumns());
}
const MappedTable g_mapped(kTable, &LogShapes);

Statement CurveSelect(const char* well, const std::string& curve) {
    return "select * from w_log_data where " + WellIs(well) + " and CurveName=" + Quoted(curve);
}

// The name written as a curve's depth curve: that of the record its position
// designates, or none when the position leads nowhere.
std::string DepthCurveNameOf(const LogCurveSet& set, const LogCurveRecord& record) {
    if (record.DepthCurve < 0 || static_cast<std::size_t>(record.DepthCurve) >= set.Records.size())
        return std::string();
    return set.Records[static_cast<std::size_t>(record.DepthCurve)].CurveName;
}

void WriteCurveRow(CDbManage& session, const LogCurveSet& set, const LogCurveRecord& record) {
    session.AddNew();
    LogRows::SetColumns().Write(session, set);
    LogRows::CurveColumns().Write(session, record);
    session.SetFieldValue(kDepthCurveName, DepthCurveNameOf(set, record));
}

// A curve row as the linking loads read it: the set's null value, the curve,
// then the name of its depth curve.
bool ReadCurveRow(CDbManage& session, LogCurveSet& set, LogCurveRecord& record,
                  std::string& depthCurve) {
    return LogRows::SetColumns().Read(session, set, KeyColumns::Skip) &&
           LogRows::CurveColumns().Read(session, record) &&
           session.GetFieldValue(kDepthCurveName, depthCurve);
}

// Reads a row as ReadCurveRow does, except that a curve that is not its own
// depth curve reads its samples with the row's null value as NaN.
bool ReadCurveRowNullsAsNaN(CDbManage& session, LogCurveSet& set, LogCurveRecord& record,
                            std::string& depthCurve) {
    if (!session.GetFieldValue(kDepthCurveName, depthCurve) ||
        !session.GetFieldValue(kCurveName, record.CurveName)) {
        return false;
    }
    if (record.CurveName == depthCurve) return ReadCurveRow(session, set, record, depthCurve);
    return LogRows::SetColumns().Read(session, set, KeyColumns::Skip) &&
           session.GetFieldValue(kMeasure, record.Measure) &&
           ReadDoubleArrayFieldNullsAsNaN(kCurveValue, set.NullValue, record.CurveValue, session);
}

// A depth curve names itself; one that does not is reported in debug builds only.
void CheckNamesItself(const LogCurveRecord& depth, const std::string& named) {
#ifndef NDEBUG
    if (depth.CurveName != named) {
        std::fprintf(stderr,
                     "datadefine/clogdata: assertion failed: depth curve '%s' names '%s' as its "
                     "depth curve\n",
                     depth.CurveName.c_str(), named.c_str());
    }
#else
    (void)depth;
    (void)named;
#endif
}

// The records from first on, ordered by curve name and, within a name, by
// position: the positions of a name are one ascending run, found by a
// binary search. Nothing is copied or allocated per name.
class CurvePositions {
  public:
    using Run = std::pair<const int*, const int*>;

    CurvePositions(const std::vector<LogCurveRecord>& records, std::size_t first)
        : byName_{records}, order_(records.size() - first) {
        std::iota(order_.begin(), order_.end(), static_cast<int>(first));
        std::stable_sort(order_.begin(), order_.end(), byName_);
    }

    // The positions of name, ascending; an empty run when no record has it.
    Run Of(const std::string& name) const {
        const auto run = std::equal_range(order_.begin(), order_.end(), name, byName_);
        return {order_.data() + (run.first - order_.begin()),
                order_.data() + (run.second - order_.begin())};
    }

    // Calls visit(run) for the positions of each name in turn.
    template <class Visit>
    void ForEachName(Visit&& visit) const {
        const int* begin = order_.data();
        const int* end = begin + order_.size();
        while (begin != end) {
            const int* next = std::upper_bound(begin, end, byName_.Name(*begin), byName_);
            visit(Run{begin, next});
            begin = next;
        }
    }

  private:
    struct ByName {
        const std::vector<LogCurveRecord>& records;
        const std::string& Name(int at) const {
            return records[static_cast<std::size_t>(at)].CurveName;
        }
        bool operator()(int a, int b) const { return Name(a) < Name(b); }
        bool operator()(int a, const std::string& name) const { return Name(a) < name; }
        bool operator()(const std::string& name, int a) const { return name < Name(a); }
    };
    ByName byName_;
    std::vector<int> order_;
};

// The last position of run at or before limit; -1 when there is none.
int LastUpTo(CurvePositions::Run run, int limit) {
    const int* after = std::upper_bound(run.first, run.second, limit);
    return after == run.first ? -1 : *(after - 1);
}

// Links each curve loaded from first on to its depth curve among the curves
// of the same load, as a scan of the records from first on finds them: per
// curve name (each links records of its own name only, so the order of the
// names does not matter), the scan stops at the first place where both the
// curve and its depth curve have been met, and takes the last record of each
// name met until then (the last of each name when one of them is missing).
// depthNames holds the depth-curve name read with each record from first on;
// the last record of a name gives the name's. Records present before first
// keep their links. A well of thousands of curves links in time close to
// proportional to its curves.
void LinkDepthCurves(std::vector<LogCurveRecord>& records, std::size_t first,
                     const std::vector<std::string>& depthNames) {
    const CurvePositions positions(records, first);
    positions.ForEachName([&](CurvePositions::Run curves) {
        const std::size_t last = static_cast<std::size_t>(*(curves.second - 1)) - first;
        const CurvePositions::Run depths = positions.Of(depthNames[last]);
        int curveAt = *(curves.second - 1);
        int depthAt = -1;
        if (depths.first != depths.second) {
            // Where the scan stops: both names met.
            const int stop = std::max(*curves.first, *depths.first);
            curveAt = LastUpTo(curves, stop);
            depthAt = LastUpTo(depths, stop);
        }
        records[static_cast<std::size_t>(curveAt)].DepthCurve = depthAt;
    });
}

bool ReadCurveAndDepthNames(CDbManage& session, std::string& curve, std::string& depth) {
    return session.GetFieldValue(kCurveName, curve) &&
           session.GetFieldValue(kDepthCurveName, depth);
}

NameList CurveNamesOf(const LogCurveSet& set) {
    NameList names;
    names.reserve(set.Records.size());
    for (const LogCurveRecord& record : set.Records) names.push_back(record.CurveName);
    return names;
}

// Reads the current result, the well's rows that name depthCurve as their
// depth curve: used tells whether one of them is neither the curve nor the
// depth curve itself. False when a read fails.
bool OthersUseDepthCurve(CDbManage& session, const std::string& curve,
                         const std::string& depthCurve, bool& used) {
    used = false;
    while (session.Read()) {
        std::string name;
        if (!session.GetFieldValue(kCurveName, name)) return false;
        if (name != curve && name != depthCurve) used = true;
    }
    return true;
}

// Whether the set's well or one of its curves is named with a zero byte.
bool NamesHoldZeroByte(const LogCurveSet& set) {
    return HoldsZeroByte(set.WellName) || HoldsZeroByte(set.Records, &LogCurveRecord::CurveName);
}

}  // namespace

const strataloom::WellTable& LogRows::Table() {
    static const strataloom::WellTable table(kTable);
    return table;
}

const ColumnTable<LogCurveSet>& LogRows::SetColumns() {
    static const ColumnTable<LogCurveSet> columns{
        {"WellName", &LogCurveSet::WellName, ColumnUse::Key},
        {"NullValue", &LogCurveSet::NullValue},
    };
    return columns;
}

const ColumnTable<LogCurveRecord>& LogRows::CurveColumns() {
    static const ColumnTable<LogCurveRecord> columns{
        {kCurveName, &LogCurveRecord::CurveName},
        {kMeasure, &LogCurveRecord::Measure},
        {kCurveValue, &LogCurveRecord::CurveValue},
    };
    return columns;
}

void LogRows::WriteRows(CDbManage& session, const LogCurveSet& set) {
    for (const LogCurveRecord& record : set.Records) WriteCurveRow(session, set, record);
}

int CLogData::GetWellNamesWithData(const char* project, NameList& names) {
    return ListWellsWithData(project, names);
}

int CLogData::GetCurveNames(const char* well, NameList& curveNames, NameList& depthCurveNames) {
    return Read([&](CDbManage& session) {
        // No blank between the closing quote and "order".
        const Statement sql = "select CurveName, DepthCurveName from w_log_data where " +
                              WellIs(well) + "order by CurveName";
        return ForEachRow(session, sql, [&] {
            std::string curve, depth;
            if (!ReadCurveAndDepthNames(session, curve, depth)) return false;
            // Both lists grow together, so they stay parallel.
            curveNames.push_back(std::move(curve));
            depthCurveNames.push_back(std::move(depth));
            return true;
        });
    });
}

int CLogData::GetDepthCurveNames(const char* well, NameList& names) {
    return Read([&](CDbManage& session) {
        const Statement sql =
            "select CurveName, DepthCurveName from w_log_data where " + WellIs(well);
        return ForEachRow(session, sql, [&] {
            std::string curve, depth;
            if (!ReadCurveAndDepthNames(session, curve, depth)) return false;
            if (curve == depth) names.push_back(std::move(curve));
            return true;
        });
    });
}

int CLogData::LoadDepthCurves(const char* well, LogCurveSet& set) {
    return Read([&](CDbManage& session) {
        const Statement sql = "select NullValue, CurveValue from w_log_data where " + WellIs(well) +
                              " and CurveName = DepthCurveName ";
        // Only the values are filled; names and links stay empty.
        return ForEachRow(session, sql, [&] {
            LogCurveRecord record;
            if (!session.GetFieldValue("NullValue", set.NullValue)) return false;
            if (!ReadDoubleArrayField(kCurveValue, record.CurveValue, session)) return false;
            set.Records.push_back(std::move(record));
            return true;
        });
    });
}

int CLogData::LoadCurve(const char* well, const char* curve, LogCurveSet& set) {
    return Read([&](CDbManage& session) {
        if (session.GetDataFromDB(CurveSelect(well, strataloom::TextOrEmpty(curve))) !=
            CDbManage::kRows) {
            return 0;
        }
        set.WellName = strataloom::TextOrEmpty(well);
        LogCurveRecord requested;
        std::string depthCurve;
        if (!ReadCurveRow(session, set, requested, depthCurve)) return 0;
        if (session.GetDataFromDB(CurveSelect(well, depthCurve)) != CDbManage::kRows) {
            return 0;
        }
        LogCurveRecord depth;
        if (!ReadCurveRow(session, set, depth, depthCurve)) return 0;
        CheckNamesItself(depth, depthCurve);
        // Depth curve first, then the curve, both linked to the depth curve.
        // Records present on entry keep their own links.
        const int depthAt = static_cast<int>(set.Records.size());
        depth.DepthCurve = depthAt;
        requested.DepthCurve = depthAt;
        set.Records.push_back(std::move(depth));
        set.Records.push_back(std::move(requested));
        return 1;
    });
}

int CLogData::LoadWellData(const char* well, LogCurveSet& set) {
    return LoadWellRows(well, set, ReadCurveRow);
}

int CLogData::LoadWellDataNullsAsNaN(const char* well, LogCurveSet& set) {
    return LoadWellRows(well, set, ReadCurveRowNullsAsNaN);
}

int CLogData::LoadWellRows(const char* well, LogCurveSet& set, RowReader readRow) {
    return ReadOne([&](CDbManage& session) {
        const Statement sql = "select * from w_log_data where " + WellIs(well);
        if (session.GetDataFromDB(sql) != CDbManage::kRows) return 0;
        set.WellName = strataloom::TextOrEmpty(well);
        const std::size_t first = set.Records.size();
        std::vector<std::string> depthNames;
        while (session.Read()) {
            LogCurveRecord record;
            std::string depthCurve;
            if (!readRow(session, set, record, depthCurve)) return 0;
            depthNames.push_back(std::move(depthCurve));
            set.Records.push_back(std::move(record));
        }
        LinkDepthCurves(set.Records, first, depthNames);
        return 1;
    });
}

int CLogData::LoadProjectData(const char* project, std::vector<LogCurveSet>& sets) {
    return Read([&](CDbManage& session) {
        const Statement sql =
            "select WellName from w_well_data where ProjectName=" + Quoted(project);
        // Every well of the project is loaded; one without curves ends the load with 0.
        return ForEachRow(session, sql, [&] {
            std::string well;
            if (!session.GetFieldValue("WellName", well)) return false;
            LogCurveSet set;
            ILogData& self = *this;
            if (!self.LoadWellData(well.c_str(), set)) return false;
            sets.push_back(std::move(set));
            return true;
        });
    });
}

int CLogData::GetExistingCurveNames(const LogCurveSet& set, NameList& names) {
    if (NamesHoldZeroByte(set)) return strataloom::RefuseZeroByteName();
    const Statement sql = "select CurveName from w_log_data where " + WellIs(set.WellName) +
                          " and CurveName in ( " + InList(CurveNamesOf(set)) + " )";
    return ListNamesInTable(kTable, sql, kCurveName, names);
}

int CLogData::SaveCurves(const LogCurveSet& set) {
    if (NamesHoldZeroByte(set)) return strataloom::RefuseZeroByteName();
    if (set.WellName == "") return strataloom::RefuseEmptyWellName();
    if (set.Records.empty()) return Decline("the curve set holds no curve");
    // The object's own DeleteCurves runs first, then the session of the inserts opens.
    return Atomic(ConnectString(), [&] {
        ILogData& self = *this;
        if (!self.DeleteCurves(set.WellName.c_str(), CurveNamesOf(set))) return 0;
        return Write(kTable, [&](CDbManage& session) {
            session.StoreRowsAsAdded();
            LogRows::WriteRows(session, set);
            return session.SaveData() ? 1 : 0;
        });
    });
}

int CLogData::SaveWellsCurves(const char*, const std::vector<LogCurveSet>& sets) {
    if (std::any_of(sets.begin(), sets.end(), NamesHoldZeroByte)) {
        return strataloom::RefuseZeroByteName();
    }
    return Write(kTable, [&](CDbManage& session) {
        // Curve by curve: the stored curve goes, the new one takes its place.
        for (const LogCurveSet& set : sets) {
            for (const LogCurveRecord& record : set.Records) {
                const Statement sql = "delete * from  w_log_data where " + WellIs(set.WellName) +
                                      " and CurveName=" + Quoted(record.CurveName);
                session.ExecuteSQL(sql);
                WriteCurveRow(session, set, record);
            }
        }
        return session.SaveData() ? 1 : 0;
    });
}

int CLogData::DeleteCurve(const char* well, const char* curve) {
    if (IsEmptyText(well)) return strataloom::RefuseEmptyWellName();
    return Write(kTable, [&](CDbManage& session) {
        const std::string name = strataloom::TextOrEmpty(curve);
        const Statement depthSql = "select DepthCurveName from w_log_data where " + WellIs(well) +
                                   " and CurveName=" + Quoted(name);
        std::string depthCurve;
        if (session.GetDataFromDB(depthSql) != CDbManage::kRows ||
            !session.GetFieldValue("DepthCurveName", depthCurve)) {
            return 0;
        }
        const Statement usersSql = "select * from w_log_data where " + WellIs(well) +
                                   " and DepthCurveName=" + Quoted(depthCurve);
        bool used = false;
        if (session.GetDataFromDB(usersSql) != CDbManage::kRows ||
            !OthersUseDepthCurve(session, name, depthCurve, used)) {
            return 0;
        }
        const Statement deleteCurve =
            "delete from  w_log_data where " + WellIs(well) + " and CurveName=" + Quoted(name);
        session.ExecuteSQL(deleteCurve);
        // The depth curve goes with its last user; never a curve the name
        // does not designate, nor the deleted curve a second time.
        if (!depthCurve.empty() && depthCurve != name && !used) {
            const Statement deleteDepth = "delete from  w_log_data where " + WellIs(well) +
                                          " and CurveName=" + Quoted(depthCurve);
            session.ExecuteSQL(deleteDepth);
        }
        return 1;
    });
}

int CLogData::DeleteCurves(const char* well, const NameList& curves) {
    if (IsEmptyText(well)) return strataloom::RefuseEmptyWellName();
    if (curves.empty()) return Decline("no curve name was given");
    return RunDelete(kTable, "delete from  w_log_data where CurveName in ( " + InList(curves) +
                                 " ) AND " + WellIs(well));
}

int CLogData::DeleteWellData(const char* well) {
    if (IsEmptyText(well)) return strataloom::RefuseEmptyWellName();
    return DeleteWellRows(well);
}

// An empty list is sent as it is: the statement deletes nothing and 1 is returned.
int CLogData::DeleteWellsData(const NameList& names) {
    return DeleteWellsRows(names);
}

int CLogData::DeleteProjectData(const char* project) {
    if (IsEmptyText(project)) return strataloom::RefuseEmptyProjectName();
    return DeleteProjectRows(project);
}

namespace {

void NullsToNaNFrom(LogCurveSet& set, std::size_t first) {
    for (std::size_t i = first; i < set.Records.size(); ++i) {
        LogCurveRecord& record = set.Records[i];
        if (record.DepthCurve != static_cast<int>(i)) NullsToNaN(record.CurveValue, set.NullValue);
    }
}

}  // namespace

int StrataloomLoadWellDataNullsAsNaN(ILogData* logs, const char* well, LogCurveSet* set) {
    if (!logs || !set) return Decline("no log data object or no curve set was given");
    if (auto* own = dynamic_cast<CLogData*>(logs)) return own->LoadWellDataNullsAsNaN(well, *set);
    const std::size_t first = set->Records.size();
    if (!logs->LoadWellData(well, *set)) return 0;
    NullsToNaNFrom(*set, first);
    return 1;
}

void StrataloomNullsToNaN(LogCurveSet* set) {
    if (set) NullsToNaNFrom(*set, 0);
}
