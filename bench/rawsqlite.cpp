#include "rawsqlite.h"

#include <sqlite3.h>

#include <cstring>

#include "sqliteutil.h"

namespace bench {

namespace {

const char kInsertCurve[] =
    "insert into w_log_data (WellName, CurveName, Measure, DepthCurveName, NullValue, "
    "CurveValue) values (?, ?, ?, ?, ?, ?)";
const char kSelectCurves[] =
    "select CurveName, Measure, DepthCurveName, NullValue, CurveValue from w_log_data "
    "where WellName = ?";
const char kSelectProjectWells[] = "select WellName from w_well_data where ProjectName = ?";
const char kInsertMarker[] =
    "insert into w_marker_data (WellName, MarkerName, TopDepth, BottomDepth, Description) "
    "values (?, ?, ?, ?, ?)";
const char kSelectMarkers[] =
    "select WellName, MarkerName, TopDepth, BottomDepth, Description from w_marker_data "
    "order by WellName, TopDepth";
const char kSelectWellMarkers[] = "select * from w_marker_data where WellName = ?";
const char kSelectWell[] =
    "select WellName from w_well_data where WellName = ? and ProjectName = ?";
const char kSelectHeaders[] =
    "select WellName, WellType, Well_EW, Well_SN, WellFlag, WellSymbol, Kb, Ekb, WellDepth "
    "from w_well_data where ProjectName = ?";
const char kInsertHeader[] =
    "insert into w_well_data (ProjectName, WellName, WellType, Well_EW, Well_SN, WellFlag, "
    "WellSymbol, Kb, Ekb, WellDepth) values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)";
const char kDeleteCurve[] = "delete from w_log_data where WellName = ? and CurveName = ?";
const char kSelectEntry[] = "select * from w_curve_dictionary where CurveName = ?";

class RawSqlite : public RawEngine {
  public:
    explicit RawSqlite(sqlite3* handle) : handle_(handle) {}

    bool Prepare() {
        return Prepare(kInsertCurve, insertCurve_) && Prepare(kSelectCurves, selectCurves_) &&
               Prepare(kSelectProjectWells, selectWells_) &&
               Prepare(kInsertMarker, insertMarker_) && Prepare(kSelectMarkers, selectMarkers_) &&
               Prepare(kSelectWellMarkers, selectWellMarkers_) &&
               Prepare(kSelectWell, selectWell_) && Prepare(kSelectHeaders, selectHeaders_) &&
               Prepare(kInsertHeader, insertHeader_) && Prepare(kDeleteCurve, deleteCurve_) &&
               Prepare(kSelectEntry, selectEntry_);
    }

    bool SaveCurves(const LogCurveSet& set) override {
        if (!Exec("BEGIN IMMEDIATE")) return false;
        const bool done = Exec("delete from w_log_data where WellName = " + Quoted(set.WellName) +
                               " and CurveName in (" + QuotedList(CurveNamesOf(set)) + ")") &&
                          InsertCurves(set);
        return Finish(done);
    }

    bool LoadWell(const std::string& well, RawWell& out) override {
        out.name = well;
        sqlite3_stmt* select = selectCurves_.get();
        sqlite3_reset(select);
        BindText(select, 1, well);
        int step;
        while ((step = sqlite3_step(select)) == SQLITE_ROW) {
            RawCurve curve;
            curve.name = ColumnText(select, 0);
            curve.measure = ColumnText(select, 1);
            curve.depthCurve = ColumnText(select, 2);
            curve.nullValue = sqlite3_column_double(select, 3);
            const void* blob = sqlite3_column_blob(select, 4);
            const auto bytes = static_cast<std::size_t>(sqlite3_column_bytes(select, 4));
            curve.values.resize(bytes / sizeof(double));
            if (blob) std::memcpy(curve.values.data(), blob, curve.values.size() * sizeof(double));
            out.curves.push_back(std::move(curve));
        }
        sqlite3_reset(select);
        return step == SQLITE_DONE;
    }

    bool LoadProject(const std::string& project, std::vector<RawWell>& out) override {
        sqlite3_stmt* wells = selectWells_.get();
        sqlite3_reset(wells);
        BindText(wells, 1, project);
        int step;
        while ((step = sqlite3_step(wells)) == SQLITE_ROW) {
            RawWell well;
            if (!LoadWell(ColumnText(wells, 0), well)) break;
            out.push_back(std::move(well));
        }
        sqlite3_reset(wells);
        return step == SQLITE_DONE;
    }

    bool SaveMarkers(const std::vector<MarkerSet>& sets) override {
        if (!Exec("BEGIN IMMEDIATE")) return false;
        const bool done = Exec("delete from w_marker_data where WellName in (" +
                               QuotedList(WellNamesOf(sets)) + ")") &&
                          InsertMarkers(sets);
        return Finish(done);
    }

    bool LoadMarkers(std::vector<RawMarkerWell>& out) override {
        sqlite3_stmt* select = selectMarkers_.get();
        sqlite3_reset(select);
        int step;
        while ((step = sqlite3_step(select)) == SQLITE_ROW) {
            const auto* well = reinterpret_cast<const char*>(sqlite3_column_text(select, 0));
            const auto length = static_cast<std::size_t>(sqlite3_column_bytes(select, 0));
            if (out.empty() ||
                out.back().name.compare(0, std::string::npos, well ? well : "", length) != 0) {
                out.emplace_back();
                out.back().name = ColumnText(select, 0);
            }
            RawMarker marker;
            marker.name = ColumnText(select, 1);
            marker.top = sqlite3_column_double(select, 2);
            marker.bottom = sqlite3_column_double(select, 3);
            marker.description = ColumnText(select, 4);
            out.back().markers.push_back(std::move(marker));
        }
        sqlite3_reset(select);
        return step == SQLITE_DONE;
    }

    bool HasMarkers(const std::string& well, bool& found) override {
        sqlite3_stmt* select = selectWellMarkers_.get();
        BindText(select, 1, well);
        const int step = sqlite3_step(select);
        sqlite3_reset(select);
        found = step == SQLITE_ROW;
        return step == SQLITE_ROW || step == SQLITE_DONE;
    }

    bool HasWell(const std::string& project, const std::string& well, bool& found) override {
        sqlite3_stmt* select = selectWell_.get();
        BindText(select, 1, well);
        BindText(select, 2, project);
        const int step = sqlite3_step(select);
        sqlite3_reset(select);
        found = step == SQLITE_ROW;
        return step == SQLITE_ROW || step == SQLITE_DONE;
    }

    bool LoadDictionaryEntry(const std::string& name, CurveDictionaryRecord& out,
                             bool& found) override {
        sqlite3_stmt* select = selectEntry_.get();
        BindText(select, 1, name);
        const int step = sqlite3_step(select);
        found = step == SQLITE_ROW;
        if (found) {
            out.CurveName = ColumnText(select, 0);
            out.DisplayName = ColumnText(select, 1);
            out.CurveUnit = ColumnText(select, 2);
            out.LeftValue = sqlite3_column_double(select, 3);
            out.RightValue = sqlite3_column_double(select, 4);
            out.CurveType = sqlite3_column_int(select, 5);
            out.Color = sqlite3_column_int(select, 6);
            out.CurveWidth = sqlite3_column_double(select, 7);
            out.CoorType = sqlite3_column_int(select, 8);
        }
        sqlite3_reset(select);
        return step == SQLITE_ROW || step == SQLITE_DONE;
    }

    bool LoadWellHeaders(const std::string& project, std::vector<BasicWellRecord>& out) override {
        sqlite3_stmt* select = selectHeaders_.get();
        BindText(select, 1, project);
        int step;
        while ((step = sqlite3_step(select)) == SQLITE_ROW) {
            BasicWellRecord well;
            well.WellName = ColumnText(select, 0);
            well.WellType = ColumnText(select, 1);
            well.Well_EW = sqlite3_column_double(select, 2);
            well.Well_SN = sqlite3_column_double(select, 3);
            const auto* flag = sqlite3_column_text(select, 4);
            well.WellFlag = flag ? static_cast<char>(flag[0]) : '\0';
            well.WellSymbol = sqlite3_column_int(select, 5);
            well.Kb = sqlite3_column_double(select, 6);
            well.Ekb = sqlite3_column_double(select, 7);
            well.WellDepth = sqlite3_column_double(select, 8);
            out.push_back(std::move(well));
        }
        sqlite3_reset(select);
        return step == SQLITE_DONE;
    }

    bool SaveWellHeaders(const std::string& project,
                         const std::vector<BasicWellRecord>& wells) override {
        if (!Exec("BEGIN IMMEDIATE")) return false;
        NameList names;
        for (const BasicWellRecord& well : wells) names.push_back(well.WellName);
        bool done = Exec("delete from w_well_data where WellName in (" + QuotedList(names) + ")");
        sqlite3_stmt* insert = insertHeader_.get();
        for (std::size_t i = 0; done && i < wells.size(); ++i) {
            const BasicWellRecord& well = wells[i];
            BindText(insert, 1, project);
            BindText(insert, 2, well.WellName);
            BindText(insert, 3, well.WellType);
            sqlite3_bind_double(insert, 4, well.Well_EW);
            sqlite3_bind_double(insert, 5, well.Well_SN);
            sqlite3_bind_text(insert, 6, &well.WellFlag, 1, SQLITE_STATIC);
            sqlite3_bind_int(insert, 7, well.WellSymbol);
            sqlite3_bind_double(insert, 8, well.Kb);
            sqlite3_bind_double(insert, 9, well.Ekb);
            sqlite3_bind_double(insert, 10, well.WellDepth);
            done = sqlite3_step(insert) == SQLITE_DONE;
            sqlite3_reset(insert);
        }
        return Finish(done);
    }

    bool SaveCurvesOneByOne(const std::vector<LogCurveSet>& sets) override {
        if (!Exec("BEGIN IMMEDIATE")) return false;
        bool done = true;
        sqlite3_stmt* remove = deleteCurve_.get();
        for (const LogCurveSet& set : sets) {
            for (std::size_t i = 0; done && i < set.Records.size(); ++i) {
                BindText(remove, 1, set.WellName);
                BindText(remove, 2, set.Records[i].CurveName);
                done = sqlite3_step(remove) == SQLITE_DONE;
                sqlite3_reset(remove);
                done = done && InsertCurve(set, set.Records[i]);
            }
        }
        return Finish(done);
    }

    bool Exec(const std::string& sql) override {
        return sqlite3_exec(handle_.get(), sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
    }

    std::string LastError() const override { return sqlite3_errmsg(handle_.get()); }

  private:
    bool Prepare(const char* sql, Statement& statement) {
        return bench::Prepare(handle_.get(), sql, statement);
    }

    // Commits when every step went through, else rolls back.
    bool Finish(bool done) {
        if (done && Exec("COMMIT")) return true;
        Exec("ROLLBACK");
        return false;
    }

    bool InsertCurves(const LogCurveSet& set) {
        for (const LogCurveRecord& record : set.Records) {
            if (!InsertCurve(set, record)) return false;
        }
        return true;
    }

    bool InsertCurve(const LogCurveSet& set, const LogCurveRecord& record) {
        sqlite3_stmt* insert = insertCurve_.get();
        const std::string depthCurve = DepthCurveNameOf(set, record);
        BindText(insert, 1, set.WellName);
        BindText(insert, 2, record.CurveName);
        BindText(insert, 3, record.Measure);
        BindText(insert, 4, depthCurve);
        sqlite3_bind_double(insert, 5, set.NullValue);
        if (record.CurveValue.empty()) {
            sqlite3_bind_null(insert, 6);
        } else {
            sqlite3_bind_blob(insert, 6, record.CurveValue.data(),
                              static_cast<int>(record.CurveValue.size() * sizeof(double)),
                              SQLITE_STATIC);
        }
        const bool stored = sqlite3_step(insert) == SQLITE_DONE;
        sqlite3_reset(insert);
        return stored;
    }

    bool InsertMarkers(const std::vector<MarkerSet>& sets) {
        sqlite3_stmt* insert = insertMarker_.get();
        for (const MarkerSet& set : sets) {
            for (const MarkerRecord& record : set.Records) {
                sqlite3_reset(insert);
                BindText(insert, 1, set.WellName);
                BindText(insert, 2, record.MarkerName);
                sqlite3_bind_double(insert, 3, record.TopDepth);
                sqlite3_bind_double(insert, 4, record.BottomDepth);
                BindText(insert, 5, record.Description);
                if (sqlite3_step(insert) != SQLITE_DONE) return false;
            }
        }
        sqlite3_reset(insert);
        return true;
    }

    // The statements are finalised before the connection closes.
    Database handle_;
    Statement insertCurve_;
    Statement selectCurves_;
    Statement selectWells_;
    Statement insertMarker_;
    Statement selectMarkers_;
    Statement selectWellMarkers_;
    Statement selectWell_;
    Statement selectHeaders_;
    Statement insertHeader_;
    Statement deleteCurve_;
    Statement selectEntry_;
};

}  // namespace

std::unique_ptr<RawEngine> OpenRawSqlite(const std::string& path, std::string& error) {
    sqlite3* handle = nullptr;
    if (sqlite3_open_v2(path.c_str(), &handle, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX,
                        nullptr) != SQLITE_OK) {
        error = handle ? sqlite3_errmsg(handle) : "cannot open " + path;
        sqlite3_close_v2(handle);
        return nullptr;
    }
    auto engine = std::make_unique<RawSqlite>(handle);
    sqlite3_busy_timeout(handle, 10000);
    // The module's settings: the rollback journal, synchronous commits.
    engine->Exec("PRAGMA journal_mode=DELETE");
    if (!engine->Prepare()) {
        error = engine->LastError();
        return nullptr;
    }
    return engine;
}

}  // namespace bench
