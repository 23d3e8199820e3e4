#include "rawserver.h"

#include <endian.h>
#include <libpq-fe.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <sstream>

#include "dbaccess/postgres/pghandles.h"

namespace bench {

namespace {

using Conn = strataloom::db::PgConn;
using Result = strataloom::db::PgResult;

// Type identifiers of the server's built-in types.
constexpr Oid kBytea = 17;
constexpr Oid kText = 25;
constexpr Oid kFloat8 = 701;

void IgnoreNotice(void*, const char*) {}

Conn Open(const std::string& connect, std::string& error) {
    Conn connection(PQconnectdb(connect.c_str()));
    if (PQstatus(connection.get()) != CONNECTION_OK) {
        error = PQerrorMessage(connection.get());
        return nullptr;
    }
    PQsetNoticeProcessor(connection.get(), &IgnoreNotice, nullptr);
    return connection;
}

bool Succeeded(const Result& result) {
    const ExecStatusType status = PQresultStatus(result.get());
    return status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK;
}

bool Run(PGconn* connection, const std::string& sql, std::string& error) {
    Result result(PQexec(connection, sql.c_str()));
    if (Succeeded(result)) return true;
    error = PQresultErrorMessage(result.get());
    return false;
}

// A double in the server's binary form (big-endian IEEE 754).
struct Float8Parameter {
    explicit Float8Parameter(double value) {
        std::uint64_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        bits = htobe64(bits);
        std::memcpy(bytes, &bits, sizeof bits);
    }
    char bytes[8];
};

double Float8Value(const char* bytes) {
    std::uint64_t bits;
    std::memcpy(&bits, bytes, sizeof bits);
    bits = be64toh(bits);
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

int Int4Value(const char* bytes) {
    std::uint32_t bits;
    std::memcpy(&bits, bytes, sizeof bits);
    return static_cast<int>(be32toh(bits));
}

std::string Text(const PGresult* result, int row, int column) {
    return std::string(PQgetvalue(result, row, column),
                       static_cast<std::size_t>(PQgetlength(result, row, column)));
}

const char kInsertCurve[] =
    "insert into w_log_data (WellName, CurveName, Measure, DepthCurveName, NullValue, "
    "CurveValue) values ($1, $2, $3, $4, $5, $6)";
const char kSelectCurves[] =
    "select CurveName, Measure, DepthCurveName, NullValue, CurveValue from w_log_data "
    "where WellName = $1";
const char kSelectProjectWells[] = "select WellName from w_well_data where ProjectName = $1";
const char kInsertMarker[] =
    "insert into w_marker_data (WellName, MarkerName, TopDepth, BottomDepth, Description) "
    "values ($1, $2, $3, $4, $5)";
const char kSelectMarkers[] =
    "select WellName, MarkerName, TopDepth, BottomDepth, Description from w_marker_data "
    "order by WellName, TopDepth";
const char kSelectWellMarkers[] = "select * from w_marker_data where WellName = $1";
const char kSelectWell[] =
    "select WellName from w_well_data where WellName = $1 and ProjectName = $2";
const char kSelectHeaders[] =
    "select WellName, WellType, Well_EW, Well_SN, WellFlag, WellSymbol, Kb, Ekb, WellDepth "
    "from w_well_data where ProjectName = $1";
const char kInsertHeader[] =
    "insert into w_well_data (ProjectName, WellName, WellType, Well_EW, Well_SN, WellFlag, "
    "WellSymbol, Kb, Ekb, WellDepth) values ($1, $2, $3, $4, $5, $6, $7, $8, $9, $10)";
const char kDeleteCurve[] = "delete from w_log_data where WellName = $1 and CurveName = $2";
const char kSelectEntry[] = "select * from w_curve_dictionary where CurveName = $1";
const char kCopyMarkers[] =
    "copy w_marker_data (WellName, MarkerName, TopDepth, BottomDepth, Description) from stdin "
    "(format binary)";

// An integer in the server's binary form.
struct Int4Parameter {
    explicit Int4Parameter(int value) {
        const std::uint32_t bits = htobe32(static_cast<std::uint32_t>(value));
        std::memcpy(bytes, &bits, sizeof bits);
    }
    char bytes[4];
};

// The rows of a binary COPY: a header, per row its field count and each
// field as a length and bytes, a trailer.
class CopyRows {
  public:
    CopyRows() { data_.append("PGCOPY\n\377\r\n\0\0\0\0\0\0\0\0\0", 19); }
    void Row(std::int16_t fields) { Append16(fields); }
    void Text(const std::string& text) {
        Append32(static_cast<std::uint32_t>(text.size()));
        data_.append(text);
    }
    void Float8(double value) {
        Append32(8);
        data_.append(Float8Parameter(value).bytes, 8);
    }
    const std::string& Finish() {
        Append16(-1);
        return data_;
    }

  private:
    void Append16(std::int16_t value) {
        const std::uint16_t bits = htobe16(static_cast<std::uint16_t>(value));
        data_.append(reinterpret_cast<const char*>(&bits), 2);
    }
    void Append32(std::uint32_t value) {
        const std::uint32_t bits = htobe32(value);
        data_.append(reinterpret_cast<const char*>(&bits), 4);
    }
    std::string data_;
};

class RawServer : public RawEngine {
  public:
    explicit RawServer(Conn connection) : connection_(std::move(connection)) {}

    bool Prepare() {
        const Oid curveTypes[] = {kText, kText, kText, kText, kFloat8, kBytea};
        const Oid markerTypes[] = {kText, kText, kFloat8, kFloat8, kText};
        const Oid nameType[] = {kText};
        return Prepare("insert_curve", kInsertCurve, 6, curveTypes) &&
               Prepare("select_curves", kSelectCurves, 1, nameType) &&
               Prepare("select_wells", kSelectProjectWells, 1, nameType) &&
               Prepare("insert_marker", kInsertMarker, 5, markerTypes) &&
               Prepare("select_markers", kSelectMarkers, 0, nullptr) &&
               Prepare("select_well_markers", kSelectWellMarkers, 1, nameType) &&
               Prepare("select_well", kSelectWell, 0, nullptr) &&
               Prepare("select_headers", kSelectHeaders, 1, nameType) &&
               Prepare("insert_header", kInsertHeader, 0, nullptr) &&
               Prepare("delete_curve", kDeleteCurve, 0, nullptr) &&
               Prepare("select_entry", kSelectEntry, 1, nameType);
    }

    bool SaveCurves(const LogCurveSet& set) override {
        if (!Exec("BEGIN")) return false;
        const bool done = Exec("delete from w_log_data where WellName = " + Quoted(set.WellName) +
                               " and CurveName in (" + QuotedList(CurveNamesOf(set)) + ")") &&
                          InsertCurves(set);
        return Finish(done);
    }

    bool LoadWell(const std::string& well, RawWell& out) override {
        out.name = well;
        const char* values[] = {well.c_str()};
        Result result = Select("select_curves", 1, values);
        if (!result) return false;
        const PGresult* rows = result.get();
        const int count = PQntuples(rows);
        out.curves.reserve(out.curves.size() + static_cast<std::size_t>(count));
        for (int r = 0; r < count; ++r) {
            RawCurve curve;
            curve.name = Text(rows, r, 0);
            curve.measure = Text(rows, r, 1);
            curve.depthCurve = Text(rows, r, 2);
            curve.nullValue = PQgetisnull(rows, r, 3) ? 0.0 : Float8Value(PQgetvalue(rows, r, 3));
            const auto bytes = static_cast<std::size_t>(PQgetlength(rows, r, 4));
            curve.values.resize(bytes / sizeof(double));
            std::memcpy(curve.values.data(), PQgetvalue(rows, r, 4),
                        curve.values.size() * sizeof(double));
            out.curves.push_back(std::move(curve));
        }
        return true;
    }

    bool LoadProject(const std::string& project, std::vector<RawWell>& out) override {
        const char* values[] = {project.c_str()};
        Result wells = Select("select_wells", 1, values);
        if (!wells) return false;
        for (int r = 0; r < PQntuples(wells.get()); ++r) {
            RawWell well;
            if (!LoadWell(Text(wells.get(), r, 0), well)) return false;
            out.push_back(std::move(well));
        }
        return true;
    }

    bool SaveMarkers(const std::vector<MarkerSet>& sets) override {
        if (!Exec("BEGIN")) return false;
        const bool done = Exec("delete from w_marker_data where WellName in (" +
                               QuotedList(WellNamesOf(sets)) + ")") &&
                          InsertMarkers(sets);
        return Finish(done);
    }

    bool LoadMarkers(std::vector<RawMarkerWell>& out) override {
        Result result = Select("select_markers", 0, nullptr);
        if (!result) return false;
        const PGresult* rows = result.get();
        for (int r = 0; r < PQntuples(rows); ++r) {
            const char* well = PQgetvalue(rows, r, 0);
            const auto length = static_cast<std::size_t>(PQgetlength(rows, r, 0));
            if (out.empty() || out.back().name.compare(0, std::string::npos, well, length) != 0) {
                out.emplace_back();
                out.back().name.assign(well, length);
            }
            RawMarker marker;
            marker.name = Text(rows, r, 1);
            marker.top = Float8Value(PQgetvalue(rows, r, 2));
            marker.bottom = Float8Value(PQgetvalue(rows, r, 3));
            marker.description = Text(rows, r, 4);
            out.back().markers.push_back(std::move(marker));
        }
        return true;
    }

    bool HasMarkers(const std::string& well, bool& found) override {
        const char* values[] = {well.c_str()};
        Result result = Select("select_well_markers", 1, values);
        if (!result) return false;
        found = PQntuples(result.get()) > 0;
        return true;
    }

    bool HasWell(const std::string& project, const std::string& well, bool& found) override {
        const char* values[] = {well.c_str(), project.c_str()};
        Result result = Select("select_well", 2, values);
        if (!result) return false;
        found = PQntuples(result.get()) > 0;
        return true;
    }

    bool LoadDictionaryEntry(const std::string& name, CurveDictionaryRecord& out,
                             bool& found) override {
        const char* values[] = {name.c_str()};
        Result result = Select("select_entry", 1, values);
        if (!result) return false;
        const PGresult* rows = result.get();
        found = PQntuples(rows) > 0;
        if (!found) return true;
        out.CurveName = Text(rows, 0, 0);
        out.DisplayName = Text(rows, 0, 1);
        out.CurveUnit = Text(rows, 0, 2);
        out.LeftValue = Float8Value(PQgetvalue(rows, 0, 3));
        out.RightValue = Float8Value(PQgetvalue(rows, 0, 4));
        out.CurveType = Int4Value(PQgetvalue(rows, 0, 5));
        out.Color = Int4Value(PQgetvalue(rows, 0, 6));
        out.CurveWidth = Float8Value(PQgetvalue(rows, 0, 7));
        out.CoorType = Int4Value(PQgetvalue(rows, 0, 8));
        return true;
    }

    bool LoadWellHeaders(const std::string& project, std::vector<BasicWellRecord>& out) override {
        const char* values[] = {project.c_str()};
        Result result = Select("select_headers", 1, values);
        if (!result) return false;
        const PGresult* rows = result.get();
        const int count = PQntuples(rows);
        for (int r = 0; r < count; ++r) {
            BasicWellRecord well;
            well.WellName = Text(rows, r, 0);
            well.WellType = Text(rows, r, 1);
            well.Well_EW = Float8Value(PQgetvalue(rows, r, 2));
            well.Well_SN = Float8Value(PQgetvalue(rows, r, 3));
            well.WellFlag = PQgetlength(rows, r, 4) > 0 ? PQgetvalue(rows, r, 4)[0] : '\0';
            well.WellSymbol = Int4Value(PQgetvalue(rows, r, 5));
            well.Kb = Float8Value(PQgetvalue(rows, r, 6));
            well.Ekb = Float8Value(PQgetvalue(rows, r, 7));
            well.WellDepth = Float8Value(PQgetvalue(rows, r, 8));
            out.push_back(std::move(well));
        }
        return true;
    }

    bool SaveWellHeaders(const std::string& project,
                         const std::vector<BasicWellRecord>& wells) override {
        if (!Exec("BEGIN")) return false;
        NameList names;
        for (const BasicWellRecord& well : wells) names.push_back(well.WellName);
        bool done = Exec("delete from w_well_data where WellName in (" + QuotedList(names) + ")");
        const int lengths[] = {0, 0, 0, 8, 8, 1, 4, 8, 8, 8};
        const int formats[] = {0, 0, 0, 1, 1, 1, 1, 1, 1, 1};
        for (std::size_t i = 0; done && i < wells.size(); ++i) {
            const BasicWellRecord& well = wells[i];
            const Float8Parameter ew(well.Well_EW), sn(well.Well_SN), kb(well.Kb), ekb(well.Ekb),
                depth(well.WellDepth);
            const Int4Parameter symbol(well.WellSymbol);
            const char* values[] = {project.c_str(),
                                    well.WellName.c_str(),
                                    well.WellType.c_str(),
                                    ew.bytes,
                                    sn.bytes,
                                    &well.WellFlag,
                                    symbol.bytes,
                                    kb.bytes,
                                    ekb.bytes,
                                    depth.bytes};
            Result result(PQexecPrepared(connection_.get(), "insert_header", 10, values, lengths,
                                         formats, 0));
            done = Succeeded(result) || Fail(result);
        }
        return Finish(done);
    }

    bool SaveCurvesOneByOne(const std::vector<LogCurveSet>& sets) override {
        if (!Exec("BEGIN")) return false;
        bool done = true;
        for (const LogCurveSet& set : sets) {
            for (std::size_t i = 0; done && i < set.Records.size(); ++i) {
                const char* values[] = {set.WellName.c_str(), set.Records[i].CurveName.c_str()};
                Result result(PQexecPrepared(connection_.get(), "delete_curve", 2, values, nullptr,
                                             nullptr, 0));
                done = (Succeeded(result) || Fail(result)) && InsertCurve(set, set.Records[i]);
            }
        }
        return Finish(done);
    }

    bool BulkLoadMarkers(const std::vector<MarkerSet>& sets) override {
        if (!Exec("BEGIN")) return false;
        bool done = Exec("delete from w_marker_data where WellName in (" +
                         QuotedList(WellNamesOf(sets)) + ")");
        CopyRows rows;
        for (const MarkerSet& set : sets) {
            for (const MarkerRecord& record : set.Records) {
                rows.Row(5);
                rows.Text(set.WellName);
                rows.Text(record.MarkerName);
                rows.Float8(record.TopDepth);
                rows.Float8(record.BottomDepth);
                rows.Text(record.Description);
            }
        }
        done = done && CopyIn(kCopyMarkers, rows.Finish());
        return Finish(done);
    }

    bool Exec(const std::string& sql) override { return Run(connection_.get(), sql, error_); }

    std::string LastError() const override { return error_; }

  private:
    bool Prepare(const char* name, const char* sql, int count, const Oid* types) {
        Result result(PQprepare(connection_.get(), name, sql, count, types));
        return Succeeded(result) || Fail(result);
    }

    bool Fail(const Result& result) {
        error_ = PQresultErrorMessage(result.get());
        return false;
    }

    // Runs a prepared select, text parameters in, binary rows out; null, with
    // the reason kept, when it failed.
    Result Select(const char* name, int count, const char* const* values) {
        Result result(PQexecPrepared(connection_.get(), name, count, values, nullptr, nullptr, 1));
        if (Succeeded(result)) return result;
        Fail(result);
        return nullptr;
    }

    // Commits when every step went through, else rolls back.
    bool Finish(bool done) {
        if (done && Exec("COMMIT")) return true;
        Exec("ROLLBACK");
        return false;
    }

    bool CopyIn(const char* sql, const std::string& data) {
        Result started(PQexec(connection_.get(), sql));
        if (PQresultStatus(started.get()) != PGRES_COPY_IN) return Fail(started);
        if (PQputCopyData(connection_.get(), data.data(), static_cast<int>(data.size())) != 1 ||
            PQputCopyEnd(connection_.get(), nullptr) != 1) {
            error_ = PQerrorMessage(connection_.get());
            return false;
        }
        bool done = true;
        while (PGresult* raw = PQgetResult(connection_.get())) {
            Result result(raw);
            if (!Succeeded(result)) done = Fail(result);
        }
        return done;
    }

    bool InsertCurves(const LogCurveSet& set) {
        for (const LogCurveRecord& record : set.Records) {
            if (!InsertCurve(set, record)) return false;
        }
        return true;
    }

    bool InsertCurve(const LogCurveSet& set, const LogCurveRecord& record) {
        const Float8Parameter nullValue(set.NullValue);
        const std::string depthCurve = DepthCurveNameOf(set, record);
        const char* values[] = {
            set.WellName.c_str(),   record.CurveName.c_str(),
            record.Measure.c_str(), depthCurve.c_str(),
            nullValue.bytes,        reinterpret_cast<const char*>(record.CurveValue.data())};
        const int lengths[] = {0, 0, 0,
                               0, 8, static_cast<int>(record.CurveValue.size() * sizeof(double))};
        const int formats[] = {0, 0, 0, 0, 1, 1};
        if (record.CurveValue.empty()) values[5] = nullptr;
        Result result(
            PQexecPrepared(connection_.get(), "insert_curve", 6, values, lengths, formats, 0));
        return Succeeded(result) || Fail(result);
    }

    bool InsertMarkers(const std::vector<MarkerSet>& sets) {
        const int lengths[] = {0, 0, 8, 8, 0};
        const int formats[] = {0, 0, 1, 1, 0};
        for (const MarkerSet& set : sets) {
            for (const MarkerRecord& record : set.Records) {
                const Float8Parameter top(record.TopDepth);
                const Float8Parameter bottom(record.BottomDepth);
                const char* values[] = {set.WellName.c_str(), record.MarkerName.c_str(), top.bytes,
                                        bottom.bytes, record.Description.c_str()};
                Result result(PQexecPrepared(connection_.get(), "insert_marker", 5, values, lengths,
                                             formats, 0));
                if (!Succeeded(result)) return Fail(result);
            }
        }
        return true;
    }

    Conn connection_;
    std::string error_;
};

}  // namespace

BenchServerDatabase::BenchServerDatabase(std::string server, const std::string& backupScript,
                                         const std::string& suffix)
    : server_(std::move(server)), name_("strataloom_bench" + std::to_string(::getpid()) + suffix) {
    Conn admin = Open(server_, error_);
    if (!admin) return;
    Run(admin.get(), "DROP DATABASE IF EXISTS " + name_ + " WITH (FORCE)", error_);
    if (!Run(admin.get(),
             "CREATE DATABASE " + name_ +
                 " TEMPLATE template0 ENCODING 'UTF8' LC_COLLATE 'C' LC_CTYPE 'C'",
             error_)) {
        return;
    }
    // A later keyword overrides an earlier one in a key=value string.
    connect_ = server_ + " dbname=" + name_;
    std::ifstream file(backupScript);
    std::stringstream script;
    script << file.rdbuf();
    if (!file || script.str().empty()) {
        error_ = "cannot read the backup script " + backupScript;
        return;
    }
    Conn database = Open(connect_, error_);
    ready_ = database && Run(database.get(), script.str(), error_);
}

BenchServerDatabase::~BenchServerDatabase() {
    std::string ignored;
    if (Conn admin = Open(server_, ignored)) {
        Run(admin.get(), "DROP DATABASE IF EXISTS " + name_ + " WITH (FORCE)", ignored);
    }
}

std::unique_ptr<RawEngine> OpenRawServer(const std::string& connect, std::string& error) {
    Conn connection = Open(connect, error);
    if (!connection) return nullptr;
    auto engine = std::make_unique<RawServer>(std::move(connection));
    if (!engine->Prepare()) {
        error = engine->LastError();
        return nullptr;
    }
    return engine;
}

}  // namespace bench
