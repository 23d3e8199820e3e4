// Well-bore data through the module against the same work written by hand on
// the engine's own client library: log curves of one well saved and loaded,
// a project's wells loaded, and the markers of many wells saved and loaded.
// Each pair runs on the same data in the same database; the table at the end
// gives the time of each side and their ratio.
//
// The embedded engine always runs, on a copy of the template project
// database. The server engine runs when STRATALOOM_BENCH_SERVER holds a
// key=value connection string ("host=... port=... user=... dbname=..."): a
// database is made for the run from the server backup script and dropped at
// the end.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "dbaccess/connectionregistry.h"
#include "frame/cdatafactory.h"
#include "rawserver.h"
#include "rawsqlite.h"
#include "workload.h"

namespace fs = std::filesystem;

namespace {

// Above this module/raw ratio a pair is flagged in the table.
constexpr double kRatioTarget = 1.25;
// Rounds per pair: module, raw, module, raw...
constexpr int kRounds = 5;

enum class Pair { SaveCurves, LoadWell, LoadProject, SaveMarkers, LoadMarkers };

struct PairPlan {
    Pair pair;
    const char* name;
    // Timed calls per side and round.
    int embeddedIterations;
    int serverIterations;
};

const PairPlan kPlans[] = {
    {Pair::SaveCurves, "save 40x20000", 8, 6},
    {Pair::LoadWell, "load 40x20000", 80, 30},
    {Pair::LoadProject, "project 100x10x5000", 8, 5},
    {Pair::SaveMarkers, "marker save 2000x20", 3, 1},
    {Pair::LoadMarkers, "marker load 2000x20", 10, 8},
};

// One engine under test: the module's objects and the baseline on the same database.
struct Engine {
    std::string label;
    std::string connect;
    std::unique_ptr<bench::RawEngine> raw;
    std::unique_ptr<ILogData> logs;
    std::unique_ptr<IMarkerData> markers;
};

template <class Interface>
std::unique_ptr<Interface> CreateObject(const char* interfaceName, const std::string& connect) {
    CDataFactory factory;
    std::unique_ptr<IDataBase> object(factory.CreateObject(interfaceName));
    auto* typed = dynamic_cast<Interface*>(object.get());
    if (!typed) return nullptr;
    object.release();
    std::unique_ptr<Interface> result(typed);
    result->SetConnectString(connect.c_str());
    return result;
}

bool AttachModule(Engine& engine, std::string& error) {
    engine.logs = CreateObject<ILogData>("ILogData", engine.connect);
    engine.markers = CreateObject<IMarkerData>("IMarkerData", engine.connect);
    if (engine.logs && engine.markers) return true;
    error = "the data factory gave no ILogData or IMarkerData";
    return false;
}

// Fills the database through the baseline: the curves of the single well,
// the project's well headers and their curves, the marker wells.
bool Seed(bench::RawEngine& raw, const bench::Workload& data, std::string& error) {
    bool done = raw.SaveCurves(data.saveWell);
    std::string headers = "insert into w_well_data (ProjectName, WellName) values ";
    for (std::size_t i = 0; done && i < data.projectWells.size(); ++i) {
        if (i) headers += ",";
        headers += "(" + bench::Quoted(data.project) + "," +
                   bench::Quoted(data.projectWells[i].WellName) + ")";
        done = raw.SaveCurves(data.projectWells[i]);
    }
    done = done && raw.Exec(headers) && raw.SaveMarkers(data.markerWells);
    if (!done) error = "seeding failed: " + raw.LastError();
    return done;
}

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

// Before anything is timed: both sides read the seeded data back alike.
bool SameAnswers(Engine& engine, const bench::Workload& data, std::string& error) {
    LogCurveSet set;
    bench::RawWell well;
    if (!engine.logs->LoadWellData(data.saveWell.WellName.c_str(), set) ||
        !engine.raw->LoadWell(data.saveWell.WellName, well) || !SameCurves(set, well) ||
        well.curves.size() != data.saveWell.Records.size()) {
        error = "the module and the baseline load the single well differently";
        return false;
    }
    std::vector<LogCurveSet> sets;
    std::vector<bench::RawWell> wells;
    if (!engine.logs->LoadProjectData(data.project.c_str(), sets) ||
        !engine.raw->LoadProject(data.project, wells) || sets.size() != wells.size() ||
        wells.size() != data.projectWells.size()) {
        error = "the module and the baseline load the project differently";
        return false;
    }
    for (std::size_t i = 0; i < sets.size(); ++i) {
        if (!SameCurves(sets[i], wells[i])) {
            error = "the module and the baseline load well " + wells[i].name + " differently";
            return false;
        }
    }
    std::vector<MarkerSet> markerSets;
    std::vector<bench::RawMarkerWell> markerWells;
    if (!engine.markers->LoadAllWellsData("", markerSets) ||
        !engine.raw->LoadMarkers(markerWells) || !SameMarkers(markerSets, markerWells) ||
        markerWells.size() != data.markerWells.size()) {
        error = "the module and the baseline load the markers differently";
        return false;
    }
    return true;
}

// One call of one side of a pair; false when it failed.
std::function<bool()> ModuleCall(Engine& engine, const bench::Workload& data, Pair pair) {
    switch (pair) {
        case Pair::SaveCurves:
            return [&] { return engine.logs->SaveCurves(data.saveWell) == 1; };
        case Pair::LoadWell:
            return [&] {
                LogCurveSet set;
                const int loaded = engine.logs->LoadWellData(data.saveWell.WellName.c_str(), set);
                benchmark::DoNotOptimize(set);
                return loaded == 1;
            };
        case Pair::LoadProject:
            return [&] {
                std::vector<LogCurveSet> sets;
                const int loaded = engine.logs->LoadProjectData(data.project.c_str(), sets);
                benchmark::DoNotOptimize(sets);
                return loaded == 1;
            };
        case Pair::SaveMarkers:
            return [&] { return engine.markers->SaveWellsData("", data.markerWells) == 1; };
        case Pair::LoadMarkers:
            return [&] {
                std::vector<MarkerSet> sets;
                const int loaded = engine.markers->LoadAllWellsData("", sets);
                benchmark::DoNotOptimize(sets);
                return loaded == 1;
            };
    }
    return [] { return false; };
}

std::function<bool()> RawCall(Engine& engine, const bench::Workload& data, Pair pair) {
    switch (pair) {
        case Pair::SaveCurves:
            return [&] { return engine.raw->SaveCurves(data.saveWell); };
        case Pair::LoadWell:
            return [&] {
                bench::RawWell well;
                const bool loaded = engine.raw->LoadWell(data.saveWell.WellName, well);
                benchmark::DoNotOptimize(well);
                return loaded;
            };
        case Pair::LoadProject:
            return [&] {
                std::vector<bench::RawWell> wells;
                const bool loaded = engine.raw->LoadProject(data.project, wells);
                benchmark::DoNotOptimize(wells);
                return loaded;
            };
        case Pair::SaveMarkers:
            return [&] { return engine.raw->SaveMarkers(data.markerWells); };
        case Pair::LoadMarkers:
            return [&] {
                std::vector<bench::RawMarkerWell> wells;
                const bool loaded = engine.raw->LoadMarkers(wells);
                benchmark::DoNotOptimize(wells);
                return loaded;
            };
    }
    return [] { return false; };
}

// The benchmarks whose operation returned failure: the table shows no time for them.
std::set<std::string>& FailedBenchmarks() {
    static std::set<std::string> failed;
    return failed;
}

// Runs the call once per iteration; in the first round also once untimed
// before, so that no side pays for a cold start.
void RunSide(benchmark::State& state, const std::string& name, bool warmUp,
             const std::function<bool()>& call) {
    bool ok = !warmUp || call();
    for (auto _ : state) {
        if (!ok) break;
        ok = call();
    }
    if (ok) return;
    FailedBenchmarks().insert(name);
    state.SkipWithError("the operation returned failure");
}

std::string BenchName(const Engine& engine, const PairPlan& plan, const char* side) {
    return engine.label + "/" + plan.name + "/" + side;
}

void RegisterSide(const std::string& name, int iterations, bool warmUp,
                  std::function<bool()> call) {
    benchmark::RegisterBenchmark(
        name.c_str(),
        [name, warmUp, call](benchmark::State& state) { RunSide(state, name, warmUp, call); })
        ->Iterations(iterations)
        ->UseRealTime()
        ->Unit(benchmark::kMillisecond);
}

// Each pair runs in rounds, module then raw, so that whatever the engine does
// in the background (checkpoints, vacuum) falls on both sides alike; the
// table takes the median round of each side.
void RegisterPairs(Engine& engine, const bench::Workload& data, bool server) {
    for (const PairPlan& plan : kPlans) {
        const int iterations = server ? plan.serverIterations : plan.embeddedIterations;
        for (int round = 0; round < kRounds; ++round) {
            const bool warmUp = round == 0;
            RegisterSide(BenchName(engine, plan, "module"), iterations, warmUp,
                         ModuleCall(engine, data, plan.pair));
            RegisterSide(BenchName(engine, plan, "raw"), iterations, warmUp,
                         RawCall(engine, data, plan.pair));
        }
    }
}

// Keeps the wall time per call of every benchmark run, for the table.
class PairReporter : public benchmark::ConsoleReporter {
  public:
    explicit PairReporter(OutputOptions options) : ConsoleReporter(options) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.iterations <= 0) continue;
            seconds_[run.run_name.function_name].push_back(run.real_accumulated_time /
                                                           static_cast<double>(run.iterations));
        }
    }

    // The median over rounds, in milliseconds; negative when it did not run.
    double Milliseconds(const std::string& name) const {
        auto found = seconds_.find(name);
        if (found == seconds_.end() || found->second.empty()) return -1.0;
        std::vector<double> values = found->second;
        std::sort(values.begin(), values.end());
        return 1000.0 * values[values.size() / 2];
    }

  private:
    std::map<std::string, std::vector<double>> seconds_;
};

std::string Shown(const std::string& name, double milliseconds) {
    if (FailedBenchmarks().count(name)) return "failed";
    if (milliseconds < 0) return "-";
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", milliseconds);
    return text;
}

void PrintTable(const std::vector<Engine*>& engines, const PairReporter& reporter) {
    std::printf("\n%-8s %-22s %12s %12s %8s\n", "engine", "pair", "module ms", "raw ms", "ratio");
    for (const Engine* engine : engines) {
        for (const PairPlan& plan : kPlans) {
            const std::string moduleName = BenchName(*engine, plan, "module");
            const std::string rawName = BenchName(*engine, plan, "raw");
            const double module = reporter.Milliseconds(moduleName);
            const double raw = reporter.Milliseconds(rawName);
            if (module < 0 && raw < 0) continue;  // filtered out
            if (FailedBenchmarks().count(moduleName) || FailedBenchmarks().count(rawName) ||
                module < 0 || raw <= 0) {
                std::printf("%-8s %-22s %12s %12s\n", engine->label.c_str(), plan.name,
                            Shown(moduleName, module).c_str(), Shown(rawName, raw).c_str());
                continue;
            }
            const double ratio = module / raw;
            std::printf("%-8s %-22s %12.2f %12.2f %8.2f%s\n", engine->label.c_str(), plan.name,
                        module, raw, ratio, ratio > kRatioTarget ? "  above target" : "");
        }
    }
    std::printf("target: module/raw within %.2f\n", kRatioTarget);
}

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

bool PrepareEngine(Engine& engine, const bench::Workload& data, std::string& error) {
    return AttachModule(engine, error) && Seed(*engine.raw, data, error) &&
           SameAnswers(engine, data, error);
}

bool PrepareEmbedded(Engine& engine, const ScratchDir& dir, const bench::Workload& data,
                     std::string& error) {
    if (dir.Path().empty()) {
        error = "no scratch directory";
        return false;
    }
    const fs::path database = dir.Path() / "Projects.mdb";
    std::error_code copyError;
    if (!fs::copy_file(STRATALOOM_TEMPLATE_PATH, database, copyError)) {
        error = "cannot copy the template: " + copyError.message();
        return false;
    }
    engine.label = "sqlite";
    engine.connect = database.string();
    engine.raw = bench::OpenRawSqlite(engine.connect, error);
    return engine.raw && PrepareEngine(engine, data, error);
}

bool PrepareServer(Engine& engine, const bench::BenchServerDatabase& database,
                   const bench::Workload& data, std::string& error) {
    if (!database.Ready()) {
        error = database.Error();
        return false;
    }
    engine.label = "server";
    engine.connect = database.Connect();
    engine.raw = bench::OpenRawServer(engine.connect, error);
    return engine.raw && PrepareEngine(engine, data, error);
}

// Closes the module's objects and its idle connections before the database goes.
void Release(Engine& engine) {
    engine.logs.reset();
    engine.markers.reset();
    engine.raw.reset();
    strataloom::db::ReleaseIdleConnections();
}

// Colours only on a terminal, and never when the caller turned them off.
benchmark::ConsoleReporter::OutputOptions ConsoleOptions(int argc, char** argv) {
    bool color = ::isatty(STDOUT_FILENO) != 0;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--benchmark_color=false" || arg == "--benchmark_color=no") color = false;
    }
    return color ? benchmark::ConsoleReporter::OO_ColorTabular
                 : benchmark::ConsoleReporter::OO_Tabular;
}

}  // namespace

int main(int argc, char** argv) {
    const auto consoleOptions = ConsoleOptions(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    const bench::Workload data = bench::MakeWorkload();
    std::vector<Engine*> engines;
    int status = 0;

    ScratchDir dir;
    Engine embedded;
    std::string error;
    if (PrepareEmbedded(embedded, dir, data, error)) {
        RegisterPairs(embedded, data, false);
        engines.push_back(&embedded);
    } else {
        std::fprintf(stderr, "sqlite: not run: %s\n", error.c_str());
        status = 1;
    }

    const char* serverConnect = std::getenv("STRATALOOM_BENCH_SERVER");
    std::unique_ptr<bench::BenchServerDatabase> serverDatabase;
    Engine server;
    if (serverConnect && *serverConnect) {
        serverDatabase =
            std::make_unique<bench::BenchServerDatabase>(serverConnect, STRATALOOM_SERVER_BACKUP);
        if (PrepareServer(server, *serverDatabase, data, error)) {
            RegisterPairs(server, data, true);
            engines.push_back(&server);
        } else {
            std::fprintf(stderr, "server: not run: %s\n", error.c_str());
            status = 1;
        }
    }

    PairReporter reporter(consoleOptions);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    PrintTable(engines, reporter);
    if (!serverConnect || !*serverConnect) {
        std::printf(
            "server pairs skipped: set STRATALOOM_BENCH_SERVER to a connection string "
            "(\"host=... port=... user=... dbname=...\") to run them\n");
    }
    benchmark::Shutdown();

    Release(server);
    Release(embedded);
    serverDatabase.reset();
    return status;
}
