// Well-bore data through the module against the same work written by hand on
// the engine's own client library, in one run:
//
//   bulk pairs    log curves of one well saved and loaded, a project's wells
//                 loaded, the markers of many wells saved and loaded;
//   small calls   the existence tests and the dictionary entry load a host
//                 calls most, 4,000 calls, and one-row saves of a well header;
//   growth        per-item cost of the well and curve operations at 100,
//                 1,000 and 10,000 wells and 400 and 4,000 curves per well;
//   server bulk   the markers of 2,000 wells saved through the module, row
//                 at a time by hand, and by the server's own bulk load;
//   memory        peak growth of the process during the largest saves,
//                 beside the size of the data saved.
//
// Every timed side runs in rounds (module, baselines, module...), and the
// tables give the median round of each side: wall time, and CPU time of the
// calling thread, which shows what the work itself costs on a shared machine.
//
// The embedded engine always runs, on copies of the template project
// database. The server engine runs when STRATALOOM_BENCH_SERVER holds a
// key=value connection string ("host=... port=... user=... dbname=..."):
// databases are made for the run from the server backup script and dropped
// at the end. --only=TEXT runs the cases whose name holds TEXT; --only=memory
// measures the peak memory alone.

#include <malloc.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "benchutil.h"
#include "dbaccess/connectionregistry.h"
#include "dbaccess/postgres/pgconnection.h"
#include "rawserver.h"
#include "rawsqlite.h"
#include "workload.h"

namespace fs = std::filesystem;

namespace {

using bench::CreateObject;
using bench::KeepAlive;
using bench::Median;
using bench::Seconds;
using Call = std::function<bool()>;

// The goals the tables are held against.
constexpr double kBulkRatio = 1.25;      // bulk pairs, module/raw
constexpr double kSmallRatio = 1.25;     // small reads, module/raw in CPU time
constexpr double kSaveRoundTrips = 2.0;  // one-row save on the server
constexpr double kPerWellRatio = 1.1;    // LoadProjectWells, SaveWells per well
constexpr double kFlatGrowth = 1.2;      // per-curve cost, 4,000 against 400 curves
constexpr double kMarkerPeakMb = 20.0;   // SaveWellsData of 10,000 wells
constexpr double kCurvePeakShare = 0.2;  // SaveWellsCurves of 160 MB, share of the data
constexpr double kServerBulkSpeedup = 5.0;
constexpr double kServerBulkToCopy = 2.0;

// ---------------------------------------------------------------- timing

struct Times {
    double wall = 0.0;  // seconds per call
    double cpu = 0.0;
};

// Times iterations calls; false when one of them failed.
bool TimeCalls(const Call& call, int iterations, Times& per) {
    const double wall = Seconds(CLOCK_MONOTONIC);
    const double cpu = Seconds(CLOCK_THREAD_CPUTIME_ID);
    for (int i = 0; i < iterations; ++i) {
        if (!call()) return false;
    }
    per.wall = (Seconds(CLOCK_MONOTONIC) - wall) / iterations;
    per.cpu = (Seconds(CLOCK_THREAD_CPUTIME_ID) - cpu) / iterations;
    return true;
}

enum class Group { Bulk, Small, Growth, ServerBulk };

struct Side {
    std::string name;
    Call call;
    std::vector<Times> rounds;
    bool failed = false;
    double roundTrips = -1.0;  // per call, server only

    Times Middle() const {
        std::vector<double> wall, cpu;
        for (const Times& t : rounds) {
            wall.push_back(t.wall);
            cpu.push_back(t.cpu);
        }
        return {Median(wall), Median(cpu)};
    }
};

// One measured piece of work: the module's side first, then its baselines.
struct Case {
    std::string engine;
    Group group;
    std::string what;
    std::string size;
    double items = 1.0;  // items per call, for per-item figures
    int iterations = 1;
    int rounds = 5;
    std::vector<Side> sides;

    std::string Key() const { return engine + "/" + what + "/" + size; }
    bool Ran() const { return !sides.empty() && !sides[0].rounds.empty(); }
    bool Failed() const {
        return std::any_of(sides.begin(), sides.end(), [](const Side& s) { return s.failed; });
    }
};

void RunCase(Case& c, bool server) {
    std::fprintf(stderr, "%-7s %-40s %s\n", c.engine.c_str(), c.what.c_str(), c.size.c_str());
    for (Side& side : c.sides) side.failed = !side.call();  // warm-up, untimed
    for (int round = 0; round < c.rounds; ++round) {
        for (Side& side : c.sides) {
            if (side.failed) continue;
            const unsigned long tripsBefore = strataloom::db::ServerRoundTrips();
            Times times;
            if (!TimeCalls(side.call, c.iterations, times)) {
                side.failed = true;
                continue;
            }
            side.rounds.push_back(times);
            if (server && &side == &c.sides[0]) {
                side.roundTrips =
                    static_cast<double>(strataloom::db::ServerRoundTrips() - tripsBefore) /
                    c.iterations;
            }
        }
    }
}

// ---------------------------------------------------------------- memory

long StatusKilobytes(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string prefix = std::string(field) + ":";
    while (std::getline(status, line)) {
        if (line.rfind(prefix, 0) == 0) return std::atol(line.c_str() + prefix.size());
    }
    return -1;
}

// Peak growth of the process while call runs, in MB; negative when the
// kernel does not let the peak be reset.
double PeakGrowthMb(const Call& call, bool& ok) {
    malloc_trim(0);
    std::ofstream reset("/proc/self/clear_refs");
    reset << "5" << std::flush;
    if (!reset) return -1.0;
    const long before = StatusKilobytes("VmRSS");
    ok = call();
    const long peak = StatusKilobytes("VmHWM");
    return (peak - before) / 1024.0;
}

struct MemoryCase {
    std::string engine;
    std::string what;
    double dataMb = 0.0;
    double moduleMb = -1.0;
    double rawMb = -1.0;
    bool failed = false;
    double goalMb = 0.0;
};

// ---------------------------------------------------------------- engines

// One database of one engine: the module's objects and the baseline on it.
struct Engine {
    std::string label;
    std::string connect;
    std::unique_ptr<bench::BenchServerDatabase> serverDatabase;
    std::unique_ptr<bench::RawEngine> raw;
    std::unique_ptr<ILogData> logs;
    std::unique_ptr<IMarkerData> markers;
    std::unique_ptr<IBasicWellData> wells;
    std::unique_ptr<ICurveDictionary> dictionary;

    ~Engine() {
        logs.reset();
        markers.reset();
        wells.reset();
        dictionary.reset();
        raw.reset();
        strataloom::db::ReleaseIdleConnections();
    }
};

// A directory under the system's temporary folder, removed with its content.
class ScratchDir {
  public:
    ScratchDir() {
        std::string pattern = (fs::temp_directory_path() / "strataloom-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data())) path_ = pattern;
    }
    ~ScratchDir() {
        std::error_code ignored;
        if (!path_.empty()) fs::remove_all(path_, ignored);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    const fs::path& Path() const { return path_; }

  private:
    fs::path path_;
};

struct Places {
    const ScratchDir* dir = nullptr;
    const char* server = nullptr;  // null: the embedded engine
};

// A fresh database named name on the engine places says, with the module's
// objects and the baseline attached.
std::unique_ptr<Engine> OpenEngine(const Places& places, const std::string& name,
                                   std::string& error) {
    auto engine = std::make_unique<Engine>();
    if (places.server) {
        engine->label = "server";
        engine->serverDatabase = std::make_unique<bench::BenchServerDatabase>(
            places.server, STRATALOOM_SERVER_BACKUP, "_" + name);
        if (!engine->serverDatabase->Ready()) {
            error = engine->serverDatabase->Error();
            return nullptr;
        }
        engine->connect = engine->serverDatabase->Connect();
        engine->raw = bench::OpenRawServer(engine->connect, error);
    } else {
        engine->label = "sqlite";
        const fs::path database = places.dir->Path() / (name + ".mdb");
        std::error_code copyError;
        if (!fs::copy_file(STRATALOOM_TEMPLATE_PATH, database, copyError)) {
            error = "cannot copy the template: " + copyError.message();
            return nullptr;
        }
        engine->connect = database.string();
        engine->raw = bench::OpenRawSqlite(engine->connect, error);
    }
    if (!engine->raw) return nullptr;
    engine->logs = CreateObject<ILogData>("ILogData", engine->connect);
    engine->markers = CreateObject<IMarkerData>("IMarkerData", engine->connect);
    engine->wells = CreateObject<IBasicWellData>("IBasicWellData", engine->connect);
    engine->dictionary = CreateObject<ICurveDictionary>("ICurveDictionary", engine->connect);
    if (!engine->logs || !engine->markers || !engine->wells || !engine->dictionary) {
        error =
            "the data factory gave no ILogData, IMarkerData, IBasicWellData or ICurveDictionary";
        return nullptr;
    }
    return engine;
}

// ---------------------------------------------------------------- checks

bool SameCurves(const LogCurveSet& set, const bench::RawWell& well) {
    if (set.WellName != well.name || set.Records.size() != well.curves.size()) return false;
    for (std::size_t i = 0; i < well.curves.size(); ++i) {
        const LogCurveRecord& record = set.Records[i];
        const bench::RawCurve& curve = well.curves[i];
        if (record.CurveName != curve.name || record.Measure != curve.measure ||
            bench::DepthCurveNameOf(set, record) != curve.depthCurve ||
            record.CurveValue != curve.values || set.NullValue != curve.nullValue) {
            return false;
        }
    }
    return true;
}

bool SameMarkers(const std::vector<MarkerSet>& sets,
                 const std::vector<bench::RawMarkerWell>& wells) {
    if (sets.size() != wells.size()) return false;
    for (std::size_t w = 0; w < sets.size(); ++w) {
        if (sets[w].WellName != wells[w].name ||
            sets[w].Records.size() != wells[w].markers.size()) {
            return false;
        }
        for (std::size_t m = 0; m < wells[w].markers.size(); ++m) {
            const MarkerRecord& record = sets[w].Records[m];
            const bench::RawMarker& marker = wells[w].markers[m];
            if (record.MarkerName != marker.name || record.TopDepth != marker.top ||
                record.BottomDepth != marker.bottom || record.Description != marker.description) {
                return false;
            }
        }
    }
    return true;
}

bool SameHeaders(const std::vector<BasicWellRecord>& a, const std::vector<BasicWellRecord>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].WellName != b[i].WellName || a[i].WellType != b[i].WellType ||
            a[i].Well_EW != b[i].Well_EW || a[i].Well_SN != b[i].Well_SN ||
            a[i].WellFlag != b[i].WellFlag || a[i].WellSymbol != b[i].WellSymbol ||
            a[i].Kb != b[i].Kb || a[i].Ekb != b[i].Ekb || a[i].WellDepth != b[i].WellDepth) {
            return false;
        }
    }
    return true;
}

bool SameEntry(const CurveDictionaryRecord& a, const CurveDictionaryRecord& b) {
    return a.CurveName == b.CurveName && a.DisplayName == b.DisplayName &&
           a.CurveUnit == b.CurveUnit && a.LeftValue == b.LeftValue &&
           a.RightValue == b.RightValue && a.CurveType == b.CurveType && a.Color == b.Color &&
           a.CurveWidth == b.CurveWidth && a.CoorType == b.CoorType;
}

// ---------------------------------------------------------------- sections

// The data every section works on; built once.
struct Data {
    bench::Workload pairs = bench::MakeWorkload();
    std::vector<MarkerSet> smallMarkers =
        bench::MakeMarkerWells("SM", bench::kSmallWells, bench::kSmallMarkers);
    std::vector<BasicWellRecord> smallWells = bench::MakeWellHeaders("SW", bench::kSmallWells);
    std::vector<CurveDictionaryRecord> smallEntries =
        bench::MakeDictionary("CD", bench::kSmallWells);
    std::map<int, std::vector<BasicWellRecord>> growthWells;
    std::map<int, std::vector<MarkerSet>> growthMarkers;
    std::map<int, std::vector<LogCurveSet>> growthCurves;

    Data() {
        for (int wells : bench::kGrowthWells) {
            const std::string n = std::to_string(wells);
            growthWells[wells] = bench::MakeWellHeaders("G" + n + "-", wells);
            growthMarkers[wells] = bench::MakeMarkerWells("K" + n + "-", wells, 20);
        }
        for (int curves : bench::kGrowthCurves) {
            growthCurves[curves] = {bench::MakeCurveSet("C" + std::to_string(curves), curves,
                                                        bench::kGrowthSamples, curves)};
        }
    }
};

Side MakeSide(std::string name, Call call) {
    Side side;
    side.name = std::move(name);
    side.call = std::move(call);
    return side;
}

Case MakeCase(const Engine& engine, Group group, std::string what, std::string size, double items,
              int iterations, int rounds) {
    Case c;
    c.engine = engine.label;
    c.group = group;
    c.what = std::move(what);
    c.size = std::move(size);
    c.items = items;
    c.iterations = iterations;
    c.rounds = rounds;
    return c;
}

bool SeedPairs(Engine& engine, const bench::Workload& data, std::string& error) {
    bench::RawEngine& raw = *engine.raw;
    bool done = raw.SaveCurves(data.saveWell);
    std::string headers = "insert into w_well_data (ProjectName, WellName) values ";
    for (std::size_t i = 0; done && i < data.projectWells.size(); ++i) {
        if (i) headers += ",";
        headers += "(" + bench::Quoted(data.project) + "," +
                   bench::Quoted(data.projectWells[i].WellName) + ")";
        done = raw.SaveCurves(data.projectWells[i]);
    }
    done = done && raw.Exec(headers) && raw.SaveMarkers(data.markerWells);
    if (!done) {
        error = "seeding failed: " + raw.LastError();
        return false;
    }
    // Before anything is timed, both sides read the seeded data back alike.
    LogCurveSet set;
    bench::RawWell well;
    std::vector<LogCurveSet> sets;
    std::vector<bench::RawWell> wells;
    std::vector<MarkerSet> markerSets;
    std::vector<bench::RawMarkerWell> markerWells;
    if (!engine.logs->LoadWellData(data.saveWell.WellName.c_str(), set) ||
        !raw.LoadWell(data.saveWell.WellName, well) || !SameCurves(set, well) ||
        !engine.logs->LoadProjectData(data.project.c_str(), sets) ||
        !raw.LoadProject(data.project, wells) || sets.size() != wells.size() ||
        !engine.markers->LoadAllWellsData("", markerSets) || !raw.LoadMarkers(markerWells) ||
        !SameMarkers(markerSets, markerWells)) {
        error = "the module and the baseline read the seeded data differently";
        return false;
    }
    for (std::size_t i = 0; i < sets.size(); ++i) {
        if (!SameCurves(sets[i], wells[i])) {
            error = "the module and the baseline load well " + wells[i].name + " differently";
            return false;
        }
    }
    return true;
}

void AddPairs(Engine& e, const Data& data, bool server, std::vector<Case>& cases) {
    const bench::Workload& d = data.pairs;
    auto add = [&](const char* what, const char* size, int embedded, int onServer, Call module,
                   Call raw) {
        Case c = MakeCase(e, Group::Bulk, what, size, 1, server ? onServer : embedded, 5);
        c.sides.push_back(MakeSide("module", std::move(module)));
        c.sides.push_back(MakeSide("raw", std::move(raw)));
        cases.push_back(std::move(c));
    };
    add(
        "SaveCurves", "40x20000", 8, 6, [&e, &d] { return e.logs->SaveCurves(d.saveWell) == 1; },
        [&e, &d] { return e.raw->SaveCurves(d.saveWell); });
    add(
        "LoadWellData", "40x20000", 80, 30,
        [&e, &d] {
            LogCurveSet set;
            const int loaded = e.logs->LoadWellData(d.saveWell.WellName.c_str(), set);
            KeepAlive(set);
            return loaded == 1;
        },
        [&e, &d] {
            bench::RawWell well;
            const bool loaded = e.raw->LoadWell(d.saveWell.WellName, well);
            KeepAlive(well);
            return loaded;
        });
    add(
        "LoadProjectData", "100x10x5000", 8, 5,
        [&e, &d] {
            std::vector<LogCurveSet> sets;
            const int loaded = e.logs->LoadProjectData(d.project.c_str(), sets);
            KeepAlive(sets);
            return loaded == 1;
        },
        [&e, &d] {
            std::vector<bench::RawWell> wells;
            const bool loaded = e.raw->LoadProject(d.project, wells);
            KeepAlive(wells);
            return loaded;
        });
    add(
        "SaveWellsData", "2000x20", 3, 1,
        [&e, &d] { return e.markers->SaveWellsData("", d.markerWells) == 1; },
        [&e, &d] { return e.raw->SaveMarkers(d.markerWells); });
    add(
        "LoadAllWellsData", "2000x20", 10, 8,
        [&e] {
            std::vector<MarkerSet> sets;
            const int loaded = e.markers->LoadAllWellsData("", sets);
            KeepAlive(sets);
            return loaded == 1;
        },
        [&e] {
            std::vector<bench::RawMarkerWell> wells;
            const bool loaded = e.raw->LoadMarkers(wells);
            KeepAlive(wells);
            return loaded;
        });
    if (!server) return;
    Case bulk = MakeCase(e, Group::ServerBulk, "SaveWellsData", "2000x20", 1, 1, 5);
    bulk.sides.push_back(
        MakeSide("module", [&e, &d] { return e.markers->SaveWellsData("", d.markerWells) == 1; }));
    bulk.sides.push_back(
        MakeSide("row at a time", [&e, &d] { return e.raw->SaveMarkers(d.markerWells); }));
    bulk.sides.push_back(
        MakeSide("bulk load", [&e, &d] { return e.raw->BulkLoadMarkers(d.markerWells); }));
    cases.push_back(std::move(bulk));
}

bool SeedSmall(Engine& e, const Data& data, std::string& error) {
    if (!e.raw->SaveMarkers(data.smallMarkers) ||
        !e.raw->SaveWellHeaders("Small", data.smallWells) ||
        !e.raw->Exec(bench::DictionaryInsert(data.smallEntries))) {
        error = "seeding failed: " + e.raw->LastError();
        return false;
    }
    // Both sides read the same entry.
    const CurveDictionaryRecord& last = data.smallEntries.back();
    CurveDictionaryRecord module, hand;
    bool found = false;
    if (e.dictionary->LoadEntry(last.CurveName.c_str(), module) != 1 ||
        !e.raw->LoadDictionaryEntry(last.CurveName, hand, found) || !found ||
        !SameEntry(module, last) || !SameEntry(hand, last)) {
        error = "the module and the baseline read the dictionary entry differently";
        return false;
    }
    return true;
}

void AddSmallCalls(Engine& e, const Data& data, std::vector<Case>& cases) {
    const int calls = bench::kSmallCalls;
    const std::string size = std::to_string(bench::kSmallWells) + "x" +
                             std::to_string(bench::kSmallMarkers) + ", " + std::to_string(calls) +
                             " calls";
    // Every call asks for a well that has rows, the wells in turn.
    const auto& markers = data.smallMarkers;
    const auto& wells = data.smallWells;
    Case exists = MakeCase(e, Group::Small, "IMarkerData::IsWellDataExist", size, calls, 1, 7);
    exists.sides.push_back(MakeSide("module", [&e, &markers, calls] {
        for (int i = 0; i < calls; ++i) {
            const MarkerSet& set = markers[static_cast<std::size_t>(i) % markers.size()];
            if (e.markers->IsWellDataExist(set.WellName.c_str()) != 1) return false;
        }
        return true;
    }));
    exists.sides.push_back(MakeSide("raw", [&e, &markers, calls] {
        for (int i = 0; i < calls; ++i) {
            bool found = false;
            const MarkerSet& set = markers[static_cast<std::size_t>(i) % markers.size()];
            if (!e.raw->HasMarkers(set.WellName, found) || !found) return false;
        }
        return true;
    }));
    cases.push_back(std::move(exists));

    Case well = MakeCase(e, Group::Small, "IBasicWellData::IsWellExist", size, calls, 1, 7);
    well.sides.push_back(MakeSide("module", [&e, &wells, calls] {
        for (int i = 0; i < calls; ++i) {
            const BasicWellRecord& w = wells[static_cast<std::size_t>(i) % wells.size()];
            if (e.wells->IsWellExist("Small", w.WellName.c_str()) != 1) return false;
        }
        return true;
    }));
    well.sides.push_back(MakeSide("raw", [&e, &wells, calls] {
        for (int i = 0; i < calls; ++i) {
            bool found = false;
            const BasicWellRecord& w = wells[static_cast<std::size_t>(i) % wells.size()];
            if (!e.raw->HasWell("Small", w.WellName, found) || !found) return false;
        }
        return true;
    }));
    cases.push_back(std::move(well));

    const auto& entries = data.smallEntries;
    const std::string entrySize =
        std::to_string(entries.size()) + " entries, " + std::to_string(calls) + " calls";
    Case entry = MakeCase(e, Group::Small, "ICurveDictionary::LoadEntry", entrySize, calls, 1, 7);
    entry.sides.push_back(MakeSide("module", [&e, &entries, calls] {
        for (int i = 0; i < calls; ++i) {
            const CurveDictionaryRecord& wanted =
                entries[static_cast<std::size_t>(i) % entries.size()];
            CurveDictionaryRecord record;
            if (e.dictionary->LoadEntry(wanted.CurveName.c_str(), record) != 1) return false;
            KeepAlive(record);
        }
        return true;
    }));
    entry.sides.push_back(MakeSide("raw", [&e, &entries, calls] {
        for (int i = 0; i < calls; ++i) {
            const CurveDictionaryRecord& wanted =
                entries[static_cast<std::size_t>(i) % entries.size()];
            CurveDictionaryRecord record;
            bool found = false;
            if (!e.raw->LoadDictionaryEntry(wanted.CurveName, record, found) || !found)
                return false;
            KeepAlive(record);
        }
        return true;
    }));
    cases.push_back(std::move(entry));

    // One well header replaced per call, against one delete and one insert
    // in one transaction by hand.
    const int saves = 200;
    Case save =
        MakeCase(e, Group::Small, "IBasicWellData::SaveWell", "1 row, 200 calls", saves, 1, 7);
    save.sides.push_back(MakeSide("module", [&e, &wells, saves] {
        for (int i = 0; i < saves; ++i) {
            const BasicWellRecord& w = wells[static_cast<std::size_t>(i) % wells.size()];
            if (e.wells->SaveWell("Small", w) != 1) return false;
        }
        return true;
    }));
    save.sides.push_back(MakeSide("raw", [&e, &wells, saves] {
        for (int i = 0; i < saves; ++i) {
            const BasicWellRecord& w = wells[static_cast<std::size_t>(i) % wells.size()];
            if (!e.raw->SaveWellHeaders("Small", {w})) return false;
        }
        return true;
    }));
    cases.push_back(std::move(save));
}

bool SeedGrowth(Engine& e, const Data& data, std::string& error) {
    bench::RawEngine& raw = *e.raw;
    for (const auto& [count, wells] : data.growthWells) {
        if (!raw.SaveWellHeaders("G" + std::to_string(count), wells) ||
            !raw.SaveMarkers(data.growthMarkers.at(count))) {
            error = "seeding failed: " + raw.LastError();
            return false;
        }
    }
    for (const auto& [count, sets] : data.growthCurves) {
        if (!raw.SaveCurvesOneByOne(sets)) {
            error = "seeding failed: " + raw.LastError();
            return false;
        }
    }
    // Both sides read the same headers.
    const auto& first = *data.growthWells.begin();
    std::vector<BasicWellRecord> module, hand;
    const std::string project = "G" + std::to_string(first.first);
    if (!e.wells->LoadProjectWells(project.c_str(), module) ||
        !raw.LoadWellHeaders(project, hand) || !SameHeaders(module, hand) ||
        !SameHeaders(hand, first.second)) {
        error = "the module and the baseline read the well headers differently";
        return false;
    }
    return true;
}

// Iterations for a call over count items: enough for about 20 ms of work at
// the smaller sizes, one at the largest.
int IterationsFor(int count, int perThousand) {
    return std::max(1, perThousand * 1000 / std::max(count, 1) / 10);
}

void AddGrowth(Engine& e, const Data& data, bool server, std::vector<Case>& cases) {
    const int rounds = 3;
    for (const auto& [count, wellsRef] : data.growthWells) {
        const auto& wells = wellsRef;
        const std::string project = "G" + std::to_string(count);
        const std::string size = std::to_string(count) + " wells";
        Case load = MakeCase(e, Group::Growth, "LoadProjectWells per well", size, count,
                             IterationsFor(count, server ? 20 : 60), rounds);
        load.sides.push_back(MakeSide("module", [&e, project] {
            std::vector<BasicWellRecord> records;
            const int loaded = e.wells->LoadProjectWells(project.c_str(), records);
            KeepAlive(records);
            return loaded == 1;
        }));
        load.sides.push_back(MakeSide("raw", [&e, project] {
            std::vector<BasicWellRecord> records;
            const bool loaded = e.raw->LoadWellHeaders(project, records);
            KeepAlive(records);
            return loaded;
        }));
        cases.push_back(std::move(load));

        Case save = MakeCase(e, Group::Growth, "SaveWells per well", size, count,
                             IterationsFor(count, server ? 5 : 10), rounds);
        save.sides.push_back(MakeSide("module", [&e, project, &wells] {
            return e.wells->SaveWells(project.c_str(), wells);
        }));
        save.sides.push_back(MakeSide(
            "raw", [&e, project, &wells] { return e.raw->SaveWellHeaders(project, wells); }));
        cases.push_back(std::move(save));

        const auto& sets = data.growthMarkers.at(count);
        Case markers = MakeCase(e, Group::Growth, "SaveWellsData per well (20 markers)", size,
                                count, IterationsFor(count, server ? 1 : 3), rounds);
        markers.sides.push_back(
            MakeSide("module", [&e, &sets] { return e.markers->SaveWellsData("", sets) == 1; }));
        markers.sides.push_back(MakeSide("raw", [&e, &sets] { return e.raw->SaveMarkers(sets); }));
        cases.push_back(std::move(markers));
    }
    for (const auto& [count, setsRef] : data.growthCurves) {
        const auto& sets = setsRef;
        const std::string size = std::to_string(count) + " curves";
        Case save = MakeCase(e, Group::Growth, "SaveWellsCurves per curve", size, count,
                             count < 1000 ? 5 : 1, rounds);
        save.sides.push_back(
            MakeSide("module", [&e, &sets] { return e.logs->SaveWellsCurves("", sets) == 1; }));
        save.sides.push_back(
            MakeSide("raw", [&e, &sets] { return e.raw->SaveCurvesOneByOne(sets); }));
        cases.push_back(std::move(save));

        const std::string well = sets.front().WellName;
        Case load = MakeCase(e, Group::Growth, "LoadWellData per curve", size, count,
                             count < 1000 ? 20 : 2, rounds);
        load.sides.push_back(MakeSide("module", [&e, well] {
            LogCurveSet set;
            const int loaded = e.logs->LoadWellData(well.c_str(), set);
            KeepAlive(set);
            return loaded == 1;
        }));
        load.sides.push_back(MakeSide("raw", [&e, well] {
            bench::RawWell loaded;
            const bool ok = e.raw->LoadWell(well, loaded);
            KeepAlive(loaded);
            return ok;
        }));
        cases.push_back(std::move(load));
    }
}

// Peak growth of the largest saves, each run once before it is measured so
// that it replaces stored rows, as a host's repeated save does.
void MeasureMemory(Engine& e, std::vector<MemoryCase>& results) {
    {
        const std::vector<MarkerSet> sets =
            bench::MakeMarkerWells("MM", bench::kMemoryMarkerWells, 20);
        MemoryCase m;
        m.engine = e.label;
        m.what = "SaveWellsData " + std::to_string(bench::kMemoryMarkerWells) + "x20";
        m.dataMb = bench::DataBytes(sets) / 1048576.0;
        m.goalMb = kMarkerPeakMb;
        bool ok = e.markers->SaveWellsData("", sets) == 1 && e.raw->SaveMarkers(sets);
        bool moduleOk = false, rawOk = false;
        m.moduleMb =
            PeakGrowthMb([&] { return e.markers->SaveWellsData("", sets) == 1; }, moduleOk);
        m.rawMb = PeakGrowthMb([&] { return e.raw->SaveMarkers(sets); }, rawOk);
        m.failed = !(ok && moduleOk && rawOk);
        results.push_back(m);
    }
    {
        std::vector<LogCurveSet> sets;
        for (int w = 0; w < bench::kMemoryCurveWells; ++w) {
            sets.push_back(bench::MakeCurveSet(bench::Numbered("MC", w, 4), bench::kMemoryCurves,
                                               bench::kMemorySamples, w));
        }
        MemoryCase m;
        m.engine = e.label;
        m.what = "SaveWellsCurves " + std::to_string(bench::kMemoryCurveWells) + "x" +
                 std::to_string(bench::kMemoryCurves) + "x" + std::to_string(bench::kMemorySamples);
        m.dataMb = bench::DataBytes(sets) / 1048576.0;
        m.goalMb = kCurvePeakShare * m.dataMb;
        bool ok = e.logs->SaveWellsCurves("", sets) == 1 && e.raw->SaveCurvesOneByOne(sets);
        bool moduleOk = false, rawOk = false;
        m.moduleMb = PeakGrowthMb([&] { return e.logs->SaveWellsCurves("", sets) == 1; }, moduleOk);
        m.rawMb = PeakGrowthMb([&] { return e.raw->SaveCurvesOneByOne(sets); }, rawOk);
        m.failed = !(ok && moduleOk && rawOk);
        results.push_back(m);
    }
}

// ---------------------------------------------------------------- tables

std::string Figure(double value, double scale, int decimals = 2) {
    if (value < 0) return "-";
    char text[32];
    std::snprintf(text, sizeof text, "%.*f", decimals, value * scale);
    return text;
}

std::string Ratio(double a, double b) {
    if (a < 0 || b <= 0) return "-";
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", a / b);
    return text;
}

void PrintTimedHeader(const char* title, const char* unit) {
    std::printf("\n%s (%s; median round; cpu: the calling thread)\n", title, unit);
    std::printf("%-7s %-36s %-22s %10s %10s %10s %10s %6s %6s  %s\n", "engine", "operation", "size",
                "module", "mod cpu", "raw", "raw cpu", "wall x", "cpu x", "note");
}

void PrintTimedRow(const Case& c, double scale, const std::string& note) {
    const Times module = c.sides[0].Middle();
    const Times raw = c.sides[1].Middle();
    const std::string failed = c.Failed() ? " FAILED" : "";
    std::printf("%-7s %-36s %-22s %10s %10s %10s %10s %6s %6s  %s%s\n", c.engine.c_str(),
                c.what.c_str(), c.size.c_str(), Figure(module.wall, scale).c_str(),
                Figure(module.cpu, scale).c_str(), Figure(raw.wall, scale).c_str(),
                Figure(raw.cpu, scale).c_str(), Ratio(module.wall, raw.wall).c_str(),
                Ratio(module.cpu, raw.cpu).c_str(), note.c_str(), failed.c_str());
}

// The ratio a goal is held against: CPU time on the embedded engine, wall
// time on the server, whose work the client's CPU time does not show.
double GoalRatio(const Case& c) {
    const Times module = c.sides[0].Middle();
    const Times raw = c.sides[1].Middle();
    if (c.engine == "server") return raw.wall > 0 ? module.wall / raw.wall : -1.0;
    return raw.cpu > 0 ? module.cpu / raw.cpu : -1.0;
}

struct Goal {
    std::string text;
    bool reached;
};

void Verdict(std::vector<Goal>& goals, const std::string& text, bool reached) {
    goals.push_back({text, reached});
}

std::string Fixed(double value, int decimals = 2) {
    char text[32];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

void PrintBulk(const std::vector<Case>& cases) {
    PrintTimedHeader("Bulk pairs", "ms per call");
    for (const Case& c : cases) {
        if (c.group != Group::Bulk || !c.Ran()) continue;
        const double ratio = GoalRatio(c);
        PrintTimedRow(c, 1e3, ratio > kBulkRatio ? "above 1.25" : "");
    }
}

// Small reads are held to their CPU ratio on both engines (the client's own
// cost: a read's wall time on the server is mostly the server's); one-row
// saves on the server to their round trips.
void PrintSmall(const std::vector<Case>& cases, std::vector<Goal>& goals) {
    PrintTimedHeader("Small calls", "us per call");
    for (const Case& c : cases) {
        if (c.group != Group::Small || !c.Ran()) continue;
        const Times module = c.sides[0].Middle();
        const Times raw = c.sides[1].Middle();
        const double ratio = raw.cpu > 0 ? module.cpu / raw.cpu : -1.0;
        const bool save = c.what.find("Save") != std::string::npos;
        const double trips = c.sides[0].roundTrips >= 0 ? c.sides[0].roundTrips / c.items : -1.0;
        std::string note = save ? "" : "goal <= " + Fixed(kSmallRatio);
        if (trips >= 0) {
            note +=
                std::string(note.empty() ? "" : ", ") + Fixed(trips, 1) + " round trips per call";
        }
        PrintTimedRow(c, 1e6 / c.items, note);
        if (save && trips >= 0) {
            Verdict(goals,
                    c.engine + " " + c.what + ": " + Fixed(trips, 1) +
                        " round trips per call, goal <= " + Fixed(kSaveRoundTrips, 0),
                    !c.Failed() && trips <= kSaveRoundTrips);
        } else if (!save) {
            Verdict(goals,
                    c.engine + " " + c.what + ": " + Fixed(ratio) +
                        "x raw (cpu), goal <= " + Fixed(kSmallRatio),
                    !c.Failed() && ratio >= 0 && ratio <= kSmallRatio);
        }
    }
}

void PrintGrowth(const std::vector<Case>& cases, std::vector<Goal>& goals) {
    PrintTimedHeader("Growth", "us per item: per well or per curve");
    std::map<std::string, const Case*> smallest;  // engine/what -> first size
    for (const Case& c : cases) {
        if (c.group != Group::Growth || !c.Ran()) continue;
        const std::string key = c.engine + "/" + c.what;
        if (!smallest.count(key)) smallest[key] = &c;
        const Case& base = *smallest[key];
        const double perItem = c.sides[0].Middle().cpu / c.items;
        const double basePerItem = base.sides[0].Middle().cpu / base.items;
        const double wallItem = c.sides[0].Middle().wall / c.items;
        const double baseWallItem = base.sides[0].Middle().wall / base.items;
        const double growth =
            c.engine == "server" ? wallItem / baseWallItem : perItem / basePerItem;
        std::string note = "growth " + Fixed(growth) + " (vs " + base.size + ")";
        PrintTimedRow(c, 1e6 / c.items, note);
        const double ratio = GoalRatio(c);
        const std::string basis = c.engine == "server" ? "wall" : "cpu";
        if (c.what == "LoadProjectWells per well" || c.what == "SaveWells per well") {
            Verdict(goals,
                    c.engine + " " + c.what + " at " + c.size + ": " + Fixed(ratio) + "x raw (" +
                        basis + "), goal <= 1.1",
                    !c.Failed() && ratio >= 0 && ratio <= kPerWellRatio);
        }
        if ((c.what == "SaveWellsCurves per curve" || c.what == "LoadWellData per curve") &&
            &base != &c) {
            Verdict(goals,
                    c.engine + " " + c.what + ": cost per curve at " + c.size + " is " +
                        Fixed(growth) + "x that at " + base.size + " (" + basis + "), goal <= 1.2",
                    !c.Failed() && growth <= kFlatGrowth);
        }
    }
}

void PrintServerBulk(const std::vector<Case>& cases, std::vector<Goal>& goals) {
    bool header = false;
    for (const Case& c : cases) {
        if (c.group != Group::ServerBulk || !c.Ran()) continue;
        if (!header) {
            std::printf("\nServer bulk save (ms per call, wall; median round)\n");
            std::printf("%-7s %-36s %-10s %10s %14s %10s %16s %13s\n", "engine", "operation",
                        "size", "module", "row at a time", "bulk load", "row/module",
                        "module/bulk");
            header = true;
        }
        const double module = c.sides[0].Middle().wall;
        const double rows = c.sides[1].Middle().wall;
        const double copy = c.sides[2].Middle().wall;
        std::printf("%-7s %-36s %-10s %10s %14s %10s %16s %13s%s\n", c.engine.c_str(),
                    c.what.c_str(), c.size.c_str(), Figure(module, 1e3).c_str(),
                    Figure(rows, 1e3).c_str(), Figure(copy, 1e3).c_str(),
                    Ratio(rows, module).c_str(), Ratio(module, copy).c_str(),
                    c.Failed() ? " FAILED" : "");
        const bool ok = !c.Failed() && module > 0;
        Verdict(goals,
                "server SaveWellsData 2000x20: " + Ratio(rows, module) +
                    "x faster than row at a time, goal >= 5",
                ok && rows / module >= kServerBulkSpeedup);
        Verdict(goals,
                "server SaveWellsData 2000x20: " + Ratio(module, copy) +
                    "x the server's bulk load, goal <= 2",
                ok && module / copy <= kServerBulkToCopy);
    }
}

void PrintMemory(const std::vector<MemoryCase>& results, std::vector<Goal>& goals) {
    if (results.empty()) return;
    std::printf("\nPeak memory (growth of the process while the save runs, MB)\n");
    std::printf("%-7s %-36s %10s %10s %10s %10s\n", "engine", "operation", "data", "module", "raw",
                "goal");
    for (const MemoryCase& m : results) {
        std::printf("%-7s %-36s %10.1f %10s %10s %10s%s\n", m.engine.c_str(), m.what.c_str(),
                    m.dataMb, Figure(m.moduleMb, 1.0, 1).c_str(), Figure(m.rawMb, 1.0, 1).c_str(),
                    ("<= " + Fixed(m.goalMb, 1)).c_str(), m.failed ? " FAILED" : "");
        Verdict(goals,
                m.engine + " " + m.what + ": +" + Fixed(m.moduleMb, 1) + " MB for " +
                    Fixed(m.dataMb, 1) + " MB of data, goal <= " + Fixed(m.goalMb, 1) + " MB",
                !m.failed && m.moduleMb >= 0 && m.moduleMb <= m.goalMb);
    }
}

void PrintGoals(const std::vector<Goal>& goals) {
    std::printf("\nGoals\n");
    for (const Goal& goal : goals) {
        std::printf("  %-13s %s\n", goal.reached ? "reached" : "NOT reached", goal.text.c_str());
    }
}

// ---------------------------------------------------------------- main

struct Options {
    std::string only;
    bool memory = true;
};

Options ReadOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.rfind("--only=", 0) == 0) options.only = arg.substr(7);
        if (arg == "--no-memory") options.memory = false;
    }
    return options;
}

bool Wanted(const Options& options, const Case& c) {
    return options.only.empty() || c.Key().find(options.only) != std::string::npos;
}

// Runs every section on one engine: each on a database of its own, so that
// no section's rows change another's timings.
bool RunEngine(const Places& places, const Data& data, const Options& options,
               std::vector<Case>& cases, std::vector<MemoryCase>& memory) {
    const bool server = places.server != nullptr;
    const char* label = server ? "server" : "sqlite";
    std::string error;
    struct Section {
        const char* name;
        std::function<bool(Engine&, std::string&)> seed;
        std::function<void(Engine&, std::vector<Case>&)> add;
    };
    const Section sections[] = {
        {"pairs", [&](Engine& e, std::string& why) { return SeedPairs(e, data.pairs, why); },
         [&](Engine& e, std::vector<Case>& out) { AddPairs(e, data, server, out); }},
        {"small", [&](Engine& e, std::string& why) { return SeedSmall(e, data, why); },
         [&](Engine& e, std::vector<Case>& out) { AddSmallCalls(e, data, out); }},
        {"growth", [&](Engine& e, std::string& why) { return SeedGrowth(e, data, why); },
         [&](Engine& e, std::vector<Case>& out) { AddGrowth(e, data, server, out); }},
    };
    const bool memoryOnly = options.only == "memory";
    if (options.memory && (options.only.empty() || memoryOnly)) {
        std::fprintf(stderr, "%-7s memory\n", label);
        auto engine = OpenEngine(places, "memory", error);
        if (!engine) {
            std::fprintf(stderr, "%s: memory not measured: %s\n", label, error.c_str());
            return false;
        }
        MeasureMemory(*engine, memory);
    }
    for (const Section& section : sections) {
        if (memoryOnly) break;
        std::vector<Case> planned;
        auto engine = OpenEngine(places, section.name, error);
        if (!engine) {
            std::fprintf(stderr, "%s: %s not run: %s\n", label, section.name, error.c_str());
            return false;
        }
        section.add(*engine, planned);
        planned.erase(std::remove_if(planned.begin(), planned.end(),
                                     [&](const Case& c) { return !Wanted(options, c); }),
                      planned.end());
        if (planned.empty()) continue;
        if (!section.seed(*engine, error)) {
            std::fprintf(stderr, "%s: %s not run: %s\n", label, section.name, error.c_str());
            return false;
        }
        for (Case& c : planned) {
            RunCase(c, server);
            cases.push_back(std::move(c));
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    const Options options = ReadOptions(argc, argv);
    const Data data;
    std::vector<Case> cases;
    std::vector<MemoryCase> memory;
    int status = 0;

    ScratchDir dir;
    if (dir.Path().empty()) {
        std::fprintf(stderr, "sqlite: not run: no scratch directory\n");
        return 1;
    }
    if (!RunEngine(Places{&dir, nullptr}, data, options, cases, memory)) status = 1;
    const char* server = std::getenv("STRATALOOM_BENCH_SERVER");
    if (server && *server) {
        if (!RunEngine(Places{&dir, server}, data, options, cases, memory)) status = 1;
    }

    std::vector<Goal> goals;
    PrintBulk(cases);
    PrintSmall(cases, goals);
    PrintGrowth(cases, goals);
    PrintServerBulk(cases, goals);
    PrintMemory(memory, goals);
    PrintGoals(goals);
    if (!server || !*server) {
        std::printf(
            "server skipped: set STRATALOOM_BENCH_SERVER to a connection string "
            "(\"host=... port=... user=... dbname=...\") to run it\n");
    }
    return status;
}
