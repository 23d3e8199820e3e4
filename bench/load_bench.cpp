// Many hosts on one server: host processes, each loading the module with
// dlopen as a host does and working on its own connection, read and save the
// same wells of one server database at once for a bounded time.
//
// Each host mixes whole-well reads, single curves, marker reads, small calls
// (IsWellExist, IsWellDataExist, LoadEntry) and saves of curves and markers on
// wells every other host reads and saves too. Every save carries a generation
// number in all it writes (the unit label of every curve, every sample of the
// curves that are not depth curves, every marker's description) and a sample
// or marker count that follows from it, so a read that shows parts of two
// saves is seen.
//
// The run reports operations per second, p50/p99 latency per kind, failures
// with their reasons, mixed reads, the server connections held per host
// (sampled from pg_stat_activity while the hosts run) and each host's peak
// memory. With --restart-at the server is restarted in the middle by
// --restart-command, and failures are listed by time relative to it.

#include <dlfcn.h>
#include <libpq-fe.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <map>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "dbaccess/postgres/pghandles.h"
#include "formats/listing.h"
#include "strataloom/strataloom.h"

namespace {

using strataloom::formats::JsonString;

// ---------------------------------------------------------------- options

struct Options {
    int hosts = 32;
    double seconds = 60.0;
    int wells = 24;
    int samples = 2000;
    double thinkMs = 0.0;
    // A host that has just seen a failure waits this long before its next
    // call, as one whose user reads the error would, instead of spinning.
    double failurePauseMs = 100.0;
    double restartAt = -1.0;  // seconds after the start; negative: no restart
    std::string restartCommand;
    std::string server;  // key=value string of the maintenance database
    std::string module = STRATALOOM_MODULE_PATH;
    std::string serverData;  // the server's data directory, to read its processes
    std::string json;        // file for the machine-readable report; "-": standard output
    bool keep = false;
    // Worker side.
    int worker = -1;
    std::string connect;
    std::string out;
    long long startNs = 0;
};

const char kUsage[] =
    "usage: strataloom_load_bench [--hosts N] [--seconds S] [--wells N] [--samples N]\n"
    "         [--think-ms MS] [--failure-pause-ms MS] [--restart-at S --restart-command CMD]\n"
    "         [--json FILE|-] [--server CONNECTION] [--server-data DIR] [--module PATH] [--keep]\n"
    "  CONNECTION: key=value string of the server's maintenance database; default\n"
    "  STRATALOOM_BENCH_SERVER, else STRATALOOM_TEST_SERVER. DIR: the server's data\n"
    "  directory, to read the CPU time and memory of its processes.\n"
    "Exit status: 0 when nothing failed outside a restart, no read was mixed, every\n"
    "host finished and none held more than one connection; 1 otherwise; 2 on bad\n"
    "usage or a failed set-up; 77 when no server is given and none is required\n"
    "(STRATALOOM_REQUIRE_SERVER unset).\n";

bool ParseOptions(int argc, char** argv, Options& options) {
    if (const char* env = std::getenv("STRATALOOM_BENCH_SERVER")) options.server = env;
    if (options.server.empty()) {
        if (const char* env = std::getenv("STRATALOOM_TEST_SERVER")) options.server = env;
    }
    auto number = [](auto& field) {
        return [&field](const std::string& value) { field = std::stod(value); };
    };
    auto text = [](std::string& field) {
        return [&field](const std::string& value) { field = value; };
    };
    const std::map<std::string, std::function<void(const std::string&)>> setters = {
        {"--hosts", number(options.hosts)},
        {"--seconds", number(options.seconds)},
        {"--wells", number(options.wells)},
        {"--samples", number(options.samples)},
        {"--think-ms", number(options.thinkMs)},
        {"--failure-pause-ms", number(options.failurePauseMs)},
        {"--restart-at", number(options.restartAt)},
        {"--restart-command", text(options.restartCommand)},
        {"--server", text(options.server)},
        {"--module", text(options.module)},
        {"--json", text(options.json)},
        {"--server-data", text(options.serverData)},
        {"--worker", number(options.worker)},
        {"--connect", text(options.connect)},
        {"--out", text(options.out)},
        {"--start-ns",
         [&options](const std::string& value) { options.startNs = std::stoll(value); }},
    };
    for (int i = 1; i < argc; ++i) {
        const std::string key = argv[i];
        if (key == "--keep") {
            options.keep = true;
            continue;
        }
        const auto setter = setters.find(key);
        if (setter == setters.end() || i + 1 >= argc) return false;
        try {
            setter->second(argv[++i]);
        } catch (const std::exception&) {
            return false;
        }
    }
    if (options.hosts < 1 || options.seconds <= 0 || options.wells < 1 || options.samples < 2) {
        return false;
    }
    return options.restartAt < 0 || !options.restartCommand.empty();
}

// ------------------------------------------------------------------ clocks

long long NowNs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

void SleepSeconds(double seconds) {
    if (seconds <= 0) return;
    timespec pause{};
    pause.tv_sec = static_cast<time_t>(seconds);
    pause.tv_nsec = static_cast<long>((seconds - static_cast<double>(pause.tv_sec)) * 1e9);
    while (nanosleep(&pause, &pause) != 0 && errno == EINTR) {
    }
}

std::string LoadAverage() {
    std::ifstream file("/proc/loadavg");
    std::string one, five, fifteen;
    file >> one >> five >> fifteen;
    return one + " " + five + " " + fifteen;
}

// ------------------------------------------------------------- the module

// The boxes and wait windows of a host without a screen: nothing is shown,
// questions are answered No; every failure's reason comes from
// StrataloomLastError instead.
int AnswerQuietly(const char*, const char*, unsigned int type) {
    return type == MB_YESNO ? IDNO : IDOK;
}
void* BeginNoWindow(const char*) {
    return nullptr;
}
void EndNoWindow(void*) {}

// The module loaded as a host loads it, with the data objects one host uses.
class Module {
  public:
    bool Load(const std::string& path, std::string& error) {
        handle_ = dlopen(path.c_str(), RTLD_NOW);
        if (!handle_) {
            error = dlerror();
            return false;
        }
        create_ = reinterpret_cast<CreateDataFactoryObjectFunc>(
            dlsym(handle_, "CreateDataFactoryObject"));
        destroy_ = reinterpret_cast<DeleteDataFactoryFunc>(dlsym(handle_, "DeleteDataFactory"));
        lastError_ =
            reinterpret_cast<StrataloomLastErrorFunc>(dlsym(handle_, "StrataloomLastError"));
        if (!create_ || !destroy_ || !lastError_) {
            error = "the module lacks an entry point";
            return false;
        }
        InstallQuietHooks();
        factory_ = create_();
        return factory_ != nullptr;
    }

    ~Module() {
        if (factory_) destroy_(factory_);
        // The handle stays open: data objects may still be destroyed after us.
    }

    template <class Interface>
    std::unique_ptr<Interface> Object(const char* name, const std::string& connect) {
        std::unique_ptr<IDataBase> object(factory_->CreateObject(name));
        auto* typed = dynamic_cast<Interface*>(object.get());
        if (!typed) return nullptr;
        object.release();
        typed->SetConnectString(connect.c_str());
        return std::unique_ptr<Interface>(typed);
    }

    std::string LastError() const {
        const char* text = lastError_();
        return text && *text ? text : "answered 0 and gave no reason";
    }

  private:
    void InstallQuietHooks() {
        using SetBoxes = MessageBoxHandler (*)(MessageBoxHandler);
        using SetWindows = void (*)(WaitDialogBeginHandler, WaitDialogEndHandler);
        if (auto set = reinterpret_cast<SetBoxes>(dlsym(handle_, "SetMessageBoxHandler"))) {
            set(&AnswerQuietly);
        }
        if (auto set = reinterpret_cast<SetWindows>(dlsym(handle_, "SetWaitDialogHandlers"))) {
            set(&BeginNoWindow, &EndNoWindow);
        }
    }

    void* handle_ = nullptr;
    CreateDataFactoryObjectFunc create_ = nullptr;
    DeleteDataFactoryFunc destroy_ = nullptr;
    StrataloomLastErrorFunc lastError_ = nullptr;
    IDataFactory* factory_ = nullptr;
};

struct Objects {
    std::unique_ptr<ILogData> logs;
    std::unique_ptr<IMarkerData> markers;
    std::unique_ptr<IBasicWellData> wells;
    std::unique_ptr<ICurveDictionary> dictionary;
    std::unique_ptr<IBasicProjectData> projects;

    bool Make(Module& module, const std::string& connect) {
        logs = module.Object<ILogData>("ILogData", connect);
        markers = module.Object<IMarkerData>("IMarkerData", connect);
        wells = module.Object<IBasicWellData>("IBasicWellData", connect);
        dictionary = module.Object<ICurveDictionary>("ICurveDictionary", connect);
        projects = module.Object<IBasicProjectData>("IBasicProjectData", connect);
        return logs && markers && wells && dictionary && projects;
    }
};

// --------------------------------------------------------- the saved data

const char kProject[] = "LOADTEST";
const char* const kCurveNames[] = {"DEPT", "GR", "RHOB", "NPHI", "DT", "SP"};
constexpr int kCurves = 6;
const char* const kDictionaryNames[] = {"GR", "RHOB", "NPHI", "DT", "SP"};

std::string WellName(int index) {
    char name[16];
    std::snprintf(name, sizeof name, "LW%03d", index);
    return name;
}

std::string GenerationLabel(long long generation) {
    return "G" + std::to_string(generation);
}

// A save's sample count and marker count follow from its generation, so a
// depth curve of one save beside a curve of another shows.
int SampleCount(int base, long long generation) {
    return base + static_cast<int>(generation % 61);
}
int MarkerCount(long long generation) {
    return 4 + static_cast<int>(generation % 5);
}

// A fraction in [0, 0.5) that varies from sample to sample, so that the
// stored values compress no better than measured ones; a sample's whole part
// is its save's generation.
double Jitter(int curve, int sample) {
    const std::uint32_t mixed = (static_cast<std::uint32_t>(sample) * 2654435761u) ^
                                (static_cast<std::uint32_t>(curve) * 40503u);
    return static_cast<double>(mixed % 1000003u) / 2000006.0;
}

LogCurveSet MakeCurves(const std::string& well, int base, long long generation) {
    LogCurveSet set;
    set.WellName = well;
    set.NullValue = -999.25;
    const int samples = SampleCount(base, generation);
    for (int c = 0; c < kCurves; ++c) {
        LogCurveRecord record;
        record.CurveName = kCurveNames[c];
        record.Measure = GenerationLabel(generation);
        record.DepthCurve = 0;
        record.CurveValue.resize(static_cast<std::size_t>(samples));
        for (int i = 0; i < samples; ++i) {
            record.CurveValue[static_cast<std::size_t>(i)] =
                c == 0 ? 1000.0 + 0.125 * i : static_cast<double>(generation) + Jitter(c, i);
        }
        set.Records.push_back(std::move(record));
    }
    return set;
}

MarkerSet MakeMarkers(const std::string& well, long long generation) {
    MarkerSet set;
    set.WellName = well;
    for (int m = 0; m < MarkerCount(generation); ++m) {
        set.Records.push_back({"M" + std::to_string(m), 1000.0 + 50.0 * m, 1020.0 + 50.0 * m,
                               GenerationLabel(generation)});
    }
    return set;
}

// Empty when the curves read are of one save; else what disagrees.
std::string CurveMix(const LogCurveSet& set, std::size_t expectedCurves, int base) {
    if (set.Records.size() != expectedCurves) {
        return std::to_string(set.Records.size()) + " curves read, " +
               std::to_string(expectedCurves) + " saved together";
    }
    const std::string& label = set.Records.front().Measure;
    const long long generation = std::atoll(label.c_str() + (label.empty() ? 0 : 1));
    const std::size_t samples = static_cast<std::size_t>(SampleCount(base, generation));
    for (const LogCurveRecord& record : set.Records) {
        if (record.Measure != label)
            return record.CurveName + " of " + record.Measure + " beside " + label;
        if (record.CurveValue.size() != samples) {
            return record.CurveName + " has " + std::to_string(record.CurveValue.size()) +
                   " samples, save " + label + " wrote " + std::to_string(samples);
        }
        if (record.CurveName == "DEPT") continue;
        for (double value : record.CurveValue) {
            if (std::floor(value) != static_cast<double>(generation)) {
                return record.CurveName + " holds a sample of save " +
                       std::to_string(static_cast<long long>(value)) + " under label " + label;
            }
        }
    }
    return "";
}

std::string MarkerMix(const MarkerSet& set) {
    if (set.Records.empty()) return "no markers read";
    const std::string& label = set.Records.front().Description;
    const long long generation = std::atoll(label.c_str() + (label.empty() ? 0 : 1));
    if (static_cast<int>(set.Records.size()) != MarkerCount(generation)) {
        return std::to_string(set.Records.size()) + " markers read, save " + label + " wrote " +
               std::to_string(MarkerCount(generation));
    }
    for (const MarkerRecord& record : set.Records) {
        if (record.Description != label)
            return "marker of " + record.Description + " beside " + label;
    }
    return "";
}

// ------------------------------------------------------------- operations

enum Kind {
    kReadWell,
    kReadCurve,
    kReadMarkers,
    kWellExists,
    kMarkersExist,
    kDictionaryEntry,
    kSaveCurves,
    kSaveMarkers,
    kKinds
};
const char* const kKindNames[] = {"read well (LoadWellData)",
                                  "read curve (LoadCurve)",
                                  "read markers (LoadWellData)",
                                  "IsWellExist",
                                  "IsWellDataExist",
                                  "LoadEntry",
                                  "save curves (SaveCurves)",
                                  "save markers (SaveWellData)"};
const char* const kKindKeys[] = {"read_well",   "read_curve",    "read_markers",
                                 "well_exists", "markers_exist", "dictionary_entry",
                                 "save_curves", "save_markers"};
// Share of each kind in a host's mix, in percent.
const int kKindWeights[] = {20, 20, 10, 10, 10, 10, 12, 8};

struct Outcome {
    bool ok = true;
    std::string failure;  // the module's reason
    std::string mixed;    // what showed two saves
};

class Host {
  public:
    Host(Module& module, Objects& objects, int id, int wells, int samples)
        : module_(module),
          objects_(objects),
          id_(id),
          wells_(wells),
          samples_(samples),
          random_(static_cast<unsigned>(id) * 7919u + 17u) {}

    Kind PickKind() {
        int roll = std::uniform_int_distribution<int>(0, 99)(random_);
        for (int k = 0; k < kKinds; ++k) {
            roll -= kKindWeights[k];
            if (roll < 0) return static_cast<Kind>(k);
        }
        return kReadWell;
    }

    Outcome Run(Kind kind) {
        const std::string well = WellName(std::uniform_int_distribution<int>(1, wells_)(random_));
        switch (kind) {
            case kReadWell:
                return ReadWell(well);
            case kReadCurve:
                return ReadCurve(well);
            case kReadMarkers:
                return ReadMarkers(well);
            case kWellExists:
                return Answer(objects_.wells->IsWellExist(kProject, well.c_str()));
            case kMarkersExist:
                return Answer(objects_.markers->IsWellDataExist(well.c_str()));
            case kDictionaryEntry:
                return DictionaryEntry();
            case kSaveCurves:
                return Answer(
                    objects_.logs->SaveCurves(MakeCurves(well, samples_, NextGeneration())));
            case kSaveMarkers:
                return Answer(objects_.markers->SaveWellData(MakeMarkers(well, NextGeneration())));
            default:
                return Answer(0);
        }
    }

  private:
    long long NextGeneration() { return static_cast<long long>(id_) * 1000000LL + ++saves_; }

    Outcome Answer(int result) {
        Outcome outcome;
        if (!result) {
            outcome.ok = false;
            outcome.failure = module_.LastError();
        }
        return outcome;
    }

    Outcome ReadWell(const std::string& well) {
        LogCurveSet set;
        Outcome outcome = Answer(objects_.logs->LoadWellData(well.c_str(), set));
        if (outcome.ok) outcome.mixed = CurveMix(set, kCurves, samples_);
        return outcome;
    }

    Outcome ReadCurve(const std::string& well) {
        LogCurveSet set;
        const char* curve =
            kCurveNames[std::uniform_int_distribution<int>(1, kCurves - 1)(random_)];
        Outcome outcome = Answer(objects_.logs->LoadCurve(well.c_str(), curve, set));
        if (outcome.ok) outcome.mixed = CurveMix(set, 2, samples_);
        return outcome;
    }

    Outcome ReadMarkers(const std::string& well) {
        MarkerSet set;
        Outcome outcome = Answer(objects_.markers->LoadWellData(well.c_str(), set));
        if (outcome.ok) outcome.mixed = MarkerMix(set);
        return outcome;
    }

    Outcome DictionaryEntry() {
        CurveDictionaryRecord record;
        const char* name = kDictionaryNames[std::uniform_int_distribution<int>(0, 4)(random_)];
        return Answer(objects_.dictionary->LoadEntry(name, record));
    }

    Module& module_;
    Objects& objects_;
    int id_;
    int wells_;
    int samples_;
    long long saves_ = 0;
    std::mt19937 random_;
};

// The host's result file holds one line per operation, times in microseconds
// from the common start:
//   op KIND START LATENCY          a call that succeeded
//   fail KIND START LATENCY REASON
//   mixed KIND START LATENCY DETAIL
// then "done" when the host ran to its end, or only "setup REASON" when it
// could not start.
std::string OneLine(std::string text) {
    std::replace(text.begin(), text.end(), '\n', ' ');
    return text;
}

int RunWorker(const Options& options) {
    std::ofstream out(options.out);
    Module module;
    Objects objects;
    std::string error;
    if (!module.Load(options.module, error) || !objects.Make(module, options.connect)) {
        out << "setup " << OneLine(error.empty() ? "the factory gave no data object" : error)
            << "\n";
        return 1;
    }
    Host worker(module, objects, options.worker, options.wells, options.samples);
    while (NowNs() < options.startNs) SleepSeconds(0.001);
    const long long end = options.startNs + static_cast<long long>(options.seconds * 1e9);
    for (long long start = NowNs(); start < end; start = NowNs()) {
        const Kind kind = worker.PickKind();
        const Outcome outcome = worker.Run(kind);
        const long long finish = NowNs();
        const long long startUs = (start - options.startNs) / 1000;
        const long long latencyUs = (finish - start) / 1000;
        if (!outcome.ok) {
            out << "fail " << kind << ' ' << startUs << ' ' << latencyUs << ' '
                << OneLine(outcome.failure) << '\n';
        } else if (!outcome.mixed.empty()) {
            out << "mixed " << kind << ' ' << startUs << ' ' << latencyUs << ' '
                << OneLine(outcome.mixed) << '\n';
        } else {
            out << "op " << kind << ' ' << startUs << ' ' << latencyUs << '\n';
        }
        const double pause = (outcome.ok ? options.thinkMs : options.failurePauseMs) / 1000.0;
        SleepSeconds(std::min(pause, static_cast<double>(end - finish) / 1e9));
    }
    out << "done\n";
    return out ? 0 : 1;
}

// ------------------------------------------------------------- the server

using Conn = strataloom::db::PgConn;
using Result = strataloom::db::PgResult;

// A later keyword overrides an earlier one in a key=value string.
std::string WithKeyword(const std::string& connect, const std::string& key,
                        const std::string& value) {
    return connect + " " + key + "=" + value;
}

Conn Connect(const std::string& connect, std::string& error) {
    Conn connection(PQconnectdb(WithKeyword(connect, "connect_timeout", "2").c_str()));
    if (!connection || PQstatus(connection.get()) != CONNECTION_OK) {
        error = connection ? PQerrorMessage(connection.get()) : "out of memory";
        return nullptr;
    }
    return connection;
}

bool Execute(PGconn* connection, const std::string& sql, std::string& error) {
    Result result(PQexec(connection, sql.c_str()));
    const ExecStatusType status = PQresultStatus(result.get());
    if (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK) return true;
    error = PQresultErrorMessage(result.get());
    return false;
}

std::string ShowSetting(PGconn* connection, const char* name) {
    Result result(PQexec(connection, (std::string("SHOW ") + name).c_str()));
    if (PQresultStatus(result.get()) != PGRES_TUPLES_OK || PQntuples(result.get()) != 1) return "?";
    return PQgetvalue(result.get(), 0, 0);
}

// The application name of host N's connections is this prefix and N.
const std::string kHostPrefix = "strataloom_load_host";

// The server connections of the run's database, sampled while the hosts work:
// the most any one host (application name) held at once, and the most in all.
class ConnectionSampler {
  public:
    ConnectionSampler(std::string server, std::string database)
        : server_(std::move(server)), database_(std::move(database)) {}

    void Sample() {
        if (!connection_ || PQstatus(connection_.get()) != CONNECTION_OK) {
            std::string ignored;
            connection_ = Connect(
                WithKeyword(server_, "application_name", "strataloom_load_monitor"), ignored);
            if (!connection_) {
                ++missed_;
                return;
            }
        }
        const char* values[] = {database_.c_str()};
        Result result(PQexecParams(connection_.get(),
                                   "select coalesce(application_name, ''), count(*) from "
                                   "pg_stat_activity where datname = $1 group by 1",
                                   1, nullptr, values, nullptr, nullptr, 0));
        if (PQresultStatus(result.get()) != PGRES_TUPLES_OK) {
            ++missed_;
            connection_.reset();
            return;
        }
        ++samples_;
        int total = 0;
        for (int row = 0; row < PQntuples(result.get()); ++row) {
            const std::string name = PQgetvalue(result.get(), row, 0);
            const int count = std::atoi(PQgetvalue(result.get(), row, 1));
            if (name.rfind(kHostPrefix, 0) == 0) total += count;
            int& most = mostPerName_[name];
            most = std::max(most, count);
        }
        mostInAll_ = std::max(mostInAll_, total);
        sumInAll_ += total;
    }

    int Samples() const { return samples_; }
    int Missed() const { return missed_; }
    int MostInAll() const { return mostInAll_; }
    double MeanInAll() const { return samples_ ? static_cast<double>(sumInAll_) / samples_ : 0.0; }
    // The most connections one host held at once, and how many hosts were seen.
    int MostPerHost(int& hostsSeen) const {
        int most = 0;
        hostsSeen = 0;
        for (const auto& [name, count] : mostPerName_) {
            if (name.rfind(kHostPrefix, 0) != 0) continue;
            ++hostsSeen;
            most = std::max(most, count);
        }
        return most;
    }

  private:
    std::string server_;
    std::string database_;
    Conn connection_;
    std::map<std::string, int> mostPerName_;
    int mostInAll_ = 0;
    long sumInAll_ = 0;
    int samples_ = 0;
    int missed_ = 0;
};

// The server's processes, read from /proc when its data directory is given:
// the CPU time the server spent (the postmaster, the backends it has reaped,
// and its living children) and its memory (proportional set sizes summed
// over the postmaster and its children, so shared buffers count once).
class ServerProcesses {
  public:
    explicit ServerProcesses(const std::string& dataDirectory) {
        if (dataDirectory.empty()) return;
        std::ifstream pidFile(dataDirectory + "/postmaster.pid");
        pidFile >> postmaster_;
        if (!pidFile) postmaster_ = -1;
        cpuAtStart_ = CpuSeconds();
    }

    bool Known() const { return postmaster_ > 0; }

    void SampleMemory() {
        if (!Known()) return;
        double total = Kilobytes(postmaster_, "Pss:");
        for (long child : Children()) total += Kilobytes(child, "Pss:");
        mostPssMb_ = std::max(mostPssMb_, total / 1024.0);
    }

    // Negative when the server is unknown or was restarted meanwhile.
    double CpuSecondsSinceStart() const {
        if (!Known() || !std::filesystem::exists("/proc/" + std::to_string(postmaster_))) return -1;
        return CpuSeconds() - cpuAtStart_;
    }
    double MostPssMb() const { return mostPssMb_; }

  private:
    // The fields of /proc/PID/stat after the command name.
    static std::vector<std::string> StatFields(long pid) {
        std::ifstream file("/proc/" + std::to_string(pid) + "/stat");
        std::string line;
        std::getline(file, line);
        std::vector<std::string> fields;
        const std::size_t close = line.rfind(')');
        if (close == std::string::npos) return fields;
        std::istringstream rest(line.substr(close + 1));
        for (std::string field; rest >> field;) fields.push_back(field);
        return fields;
    }

    // utime, stime (and with children, cutime and cstime), in seconds.
    static double Ticks(const std::vector<std::string>& fields, bool withReaped) {
        if (fields.size() < 15) return 0.0;
        double ticks = std::stod(fields[11]) + std::stod(fields[12]);
        if (withReaped) ticks += std::stod(fields[13]) + std::stod(fields[14]);
        return ticks / static_cast<double>(sysconf(_SC_CLK_TCK));
    }

    std::vector<long> Children() const {
        std::vector<long> children;
        for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
            const std::string name = entry.path().filename().string();
            if (name.find_first_not_of("0123456789") != std::string::npos) continue;
            const std::vector<std::string> fields = StatFields(std::stol(name));
            if (fields.size() > 1 && std::stol(fields[1]) == postmaster_) {
                children.push_back(std::stol(name));
            }
        }
        return children;
    }

    double CpuSeconds() const {
        double seconds = Ticks(StatFields(postmaster_), true);
        for (long child : Children()) seconds += Ticks(StatFields(child), false);
        return seconds;
    }

    static double Kilobytes(long pid, const char* field) {
        std::ifstream file("/proc/" + std::to_string(pid) + "/smaps_rollup");
        for (std::string line; std::getline(file, line);) {
            if (line.rfind(field, 0) == 0) return std::atof(line.c_str() + std::strlen(field));
        }
        return 0.0;
    }

    long postmaster_ = -1;
    double cpuAtStart_ = 0.0;
    double mostPssMb_ = 0.0;
};

// ------------------------------------------------------------------ set-up

// The run's database, made through the module from the server backup as a
// team makes it, filled with the wells, and dropped at the end.
class LoadDatabase {
  public:
    explicit LoadDatabase(const Options& options)
        : server_(options.server), name_("strataloom_load" + std::to_string(::getpid())) {}

    ~LoadDatabase() {
        if (!made_ || keep_) return;
        std::string ignored;
        if (Conn admin = Connect(server_, ignored)) {
            Execute(admin.get(), "DROP DATABASE IF EXISTS " + name_ + " WITH (FORCE)", ignored);
        }
    }

    void Keep() { keep_ = true; }
    const std::string& Name() const { return name_; }
    std::string ConnectString() const { return WithKeyword(server_, "dbname", name_); }

    bool Make(Module& module, const Options& options, std::string& error) {
        Objects objects;
        const std::string connect =
            WithKeyword(ConnectString(), "application_name", "strataloom_load_setup");
        if (!objects.Make(module, connect)) {
            error = "the factory gave no data object";
            return false;
        }
        made_ = objects.projects->CreateSqlServerDatabase(name_.c_str(), server_.c_str()) == 1;
        if (!made_) {
            error = "CreateSqlServerDatabase: " + module.LastError();
            return false;
        }
        if (!Fill(objects, options)) {
            error = module.LastError();
            return false;
        }
        return true;
    }

  private:
    static bool Fill(Objects& objects, const Options& options) {
        BasicProjectRecord project;
        project.ProjectName = kProject;
        project.Description = "many hosts on one server";
        std::vector<BasicWellRecord> headers;
        std::vector<LogCurveSet> curves;
        std::vector<MarkerSet> markers;
        for (int w = 1; w <= options.wells; ++w) {
            BasicWellRecord header;
            header.WellName = WellName(w);
            headers.push_back(header);
            curves.push_back(MakeCurves(header.WellName, options.samples, w));
            markers.push_back(MakeMarkers(header.WellName, w));
        }
        std::vector<CurveDictionaryRecord> entries;
        for (const char* name : kDictionaryNames) {
            CurveDictionaryRecord entry;
            entry.CurveName = name;
            entry.DisplayName = name;
            entries.push_back(entry);
        }
        return objects.projects->SaveProject(project) &&
               objects.wells->SaveWells(kProject, headers) &&
               objects.logs->SaveWellsCurves(nullptr, curves) &&
               objects.markers->SaveWellsData(nullptr, markers) &&
               objects.dictionary->SaveEntries(entries);
    }

    std::string server_;
    std::string name_;
    bool made_ = false;
    bool keep_ = false;
};

// ------------------------------------------------------------------ hosts

struct HostProcess {
    pid_t pid = -1;
    std::string out;
    bool exited = false;
    bool killed = false;
    int status = 0;
    double peakRssMb = 0.0;
    double cpuSeconds = 0.0;
};

pid_t StartHost(const Options& options, int id, const std::string& connect, long long startNs,
                const std::string& out) {
    const std::string self = "/proc/self/exe";
    std::vector<std::string> args = {
        "strataloom_load_bench",
        "--worker",
        std::to_string(id),
        "--connect",
        WithKeyword(connect, "application_name", kHostPrefix + std::to_string(id)),
        "--start-ns",
        std::to_string(startNs),
        "--seconds",
        std::to_string(options.seconds),
        "--wells",
        std::to_string(options.wells),
        "--samples",
        std::to_string(options.samples),
        "--think-ms",
        std::to_string(options.thinkMs),
        "--failure-pause-ms",
        std::to_string(options.failurePauseMs),
        "--module",
        options.module,
        "--out",
        out};
    const pid_t pid = fork();
    if (pid != 0) return pid;
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    execv(self.c_str(), argv.data());
    std::_Exit(127);
}

double Seconds(const timeval& time) {
    return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_usec) / 1e6;
}

// Collects every host that has ended; the number still running.
int ReapHosts(std::vector<HostProcess>& hosts) {
    int running = 0;
    for (HostProcess& host : hosts) {
        if (host.exited) continue;
        rusage usage{};
        int status = 0;
        const pid_t done = wait4(host.pid, &status, WNOHANG, &usage);
        if (done != host.pid) {
            ++running;
            continue;
        }
        host.exited = true;
        host.status = status;
        host.peakRssMb = static_cast<double>(usage.ru_maxrss) / 1024.0;
        host.cpuSeconds = Seconds(usage.ru_utime) + Seconds(usage.ru_stime);
    }
    return running;
}

struct Restart {
    double begin = -1.0;  // seconds after the start
    double end = -1.0;
    int status = 0;
};

struct RunState {
    std::vector<HostProcess> hosts;
    Restart restart;
    double wallSeconds = 0.0;
};

// Runs the hosts to their end, sampling the server's connections and
// restarting the server when asked; hosts still running long after their time
// are killed and counted as hung.
void Supervise(const Options& options, long long startNs, ConnectionSampler& sampler,
               ServerProcesses& server, RunState& state) {
    const double hangAfter = options.seconds + 60.0;
    bool restartPending = options.restartAt >= 0;
    for (long round = 0;;) {
        const double now = static_cast<double>(NowNs() - startNs) / 1e9;
        if (restartPending && now >= options.restartAt) {
            restartPending = false;
            state.restart.begin = now;
            state.restart.status = std::system(options.restartCommand.c_str());
            state.restart.end = static_cast<double>(NowNs() - startNs) / 1e9;
        }
        if (now >= 0 && now <= options.seconds) {
            sampler.Sample();
            if (++round % 4 == 0) server.SampleMemory();
        }
        if (ReapHosts(state.hosts) == 0) break;
        if (now > hangAfter) {
            for (HostProcess& host : state.hosts) {
                if (host.exited) continue;
                host.killed = true;
                kill(host.pid, SIGKILL);
            }
        }
        SleepSeconds(0.25);
    }
    state.wallSeconds = static_cast<double>(NowNs() - startNs) / 1e9;
}

// -------------------------------------------------------------- the report

struct Event {
    int host = 0;
    int kind = 0;
    double start = 0.0;    // seconds after the start
    double latency = 0.0;  // seconds
    std::string text;
};

struct Figures {
    long long ops[kKinds] = {};             // every operation, failed ones included
    std::vector<double> latencies[kKinds];  // milliseconds, operations that succeeded
    long long failedByKind[kKinds] = {};
    long long mixedByKind[kKinds] = {};
    std::vector<Event> failures;
    std::vector<Event> mixed;
    std::vector<std::string> hostProblems;  // hosts that did not finish their run
};

void ReadHostFile(int id, const HostProcess& host, Figures& figures) {
    std::ifstream in(host.out);
    std::string line;
    bool done = false;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string tag;
        Event event;
        long long startUs = 0, latencyUs = 0;
        fields >> tag;
        if (tag == "done") {
            done = true;
            continue;
        }
        if (tag == "setup") {
            figures.hostProblems.push_back("host " + std::to_string(id) + ": " + line.substr(6));
            continue;
        }
        fields >> event.kind >> startUs >> latencyUs;
        if (!fields || event.kind < 0 || event.kind >= kKinds) continue;
        std::getline(fields >> std::ws, event.text);
        event.host = id;
        event.start = static_cast<double>(startUs) / 1e6;
        event.latency = static_cast<double>(latencyUs) / 1e6;
        ++figures.ops[event.kind];
        if (tag != "fail") {
            figures.latencies[event.kind].push_back(static_cast<double>(latencyUs) / 1e3);
        }
        if (tag == "fail") {
            ++figures.failedByKind[event.kind];
            figures.failures.push_back(event);
        } else if (tag == "mixed") {
            ++figures.mixedByKind[event.kind];
            figures.mixed.push_back(event);
        }
    }
    if (host.killed) {
        figures.hostProblems.push_back("host " + std::to_string(id) + " hung: killed " +
                                       "60 s after its time");
    } else if (!done) {
        figures.hostProblems.push_back("host " + std::to_string(id) + " ended early (status " +
                                       std::to_string(host.status) + ")");
    }
}

double Percentile(std::vector<double> values, double share) {
    if (values.empty()) return 0.0;
    std::sort(values.begin(), values.end());
    const auto index =
        static_cast<std::size_t>(share * static_cast<double>(values.size() - 1) + 0.5);
    return values[std::min(index, values.size() - 1)];
}

double MedianOf(std::vector<double> values) {
    return Percentile(std::move(values), 0.5);
}

// Where an operation lies against the restart: before it, overlapping it, after.
const char* RestartPhase(const Event& event, const Restart& restart) {
    if (restart.begin < 0) return "no restart";
    if (event.start + event.latency < restart.begin) return "before";
    if (event.start > restart.end) return "after";
    return "during";
}

struct Summary {
    std::string database;
    std::string settings;  // the server's settings that matter for the load
    std::string loadBefore;
    std::string loadAfter;
    int mostPerHost = 0;
    int hostsSeen = 0;
    int mostInAll = 0;
    double meanInAll = 0.0;
    int samples = 0;
    int missedSamples = 0;
    std::vector<double> peakRssMb;
    std::vector<double> cpuSeconds;
    double serverCpuSeconds = -1.0;  // negative: not known
    double serverPssMb = 0.0;
    double walMb = -1.0;        // write-ahead log written during the run; negative: not known
    double temporaryMb = -1.0;  // temporary files of the run's database; negative: not known
};

long long Count(const Figures& figures) {
    long long total = 0;
    for (long long ops : figures.ops) total += ops;
    return total;
}

void PrintKinds(const Figures& figures, double seconds) {
    std::printf("(latency of the operations that succeeded)\n");
    std::printf("%-30s %8s %9s %9s %9s %7s %6s\n", "operation", "ops", "ops/s", "p50 ms", "p99 ms",
                "failed", "mixed");
    std::vector<double> all;
    for (int k = 0; k < kKinds; ++k) {
        const auto& latencies = figures.latencies[k];
        all.insert(all.end(), latencies.begin(), latencies.end());
        std::printf("%-30s %8lld %9.1f %9.2f %9.2f %7lld %6lld\n", kKindNames[k], figures.ops[k],
                    static_cast<double>(figures.ops[k]) / seconds, Percentile(latencies, 0.5),
                    Percentile(latencies, 0.99), figures.failedByKind[k], figures.mixedByKind[k]);
    }
    std::printf("%-30s %8lld %9.1f %9.2f %9.2f %7zu %6zu\n", "all", Count(figures),
                static_cast<double>(Count(figures)) / seconds, Percentile(all, 0.5),
                Percentile(all, 0.99), figures.failures.size(), figures.mixed.size());
}

// The reasons, without the database and statement they name, and how often
// each was given.
void PrintReasons(const std::vector<Event>& events, const Restart& restart) {
    std::map<std::string, std::map<std::string, int>> reasons;
    for (const Event& event : events) {
        const std::string reason = event.text.substr(0, event.text.find(" [database"));
        ++reasons[reason][RestartPhase(event, restart)];
    }
    std::printf("\nreasons:\n");
    for (const auto& [reason, phases] : reasons) {
        std::string counts;
        for (const auto& [phase, count] : phases) {
            counts += (counts.empty() ? "" : ", ") + std::to_string(count) + " " + phase;
        }
        std::printf("  %s: %s\n", counts.c_str(), reason.c_str());
    }
}

void PrintEvents(const char* title, const std::vector<Event>& events, const Restart& restart) {
    if (events.empty()) return;
    PrintReasons(events, restart);
    std::printf("\n%s (%zu):\n", title, events.size());
    for (const Event& event : events) {
        std::printf("  t=%7.3f s", event.start);
        if (restart.begin >= 0) {
            std::printf(" (restart%+8.3f s, %s)", event.start - restart.begin,
                        RestartPhase(event, restart));
        }
        std::printf(" host %2d %s, %.0f ms: %s\n", event.host, kKindNames[event.kind],
                    event.latency * 1e3, event.text.c_str());
    }
}

void PrintReport(const Options& options, const Figures& figures, const Summary& summary,
                 const RunState& state) {
    std::printf(
        "Many hosts on one server: %d hosts x %.0f s, %d wells of %d curves x %d-%d samples "
        "and 4-8 markers, think time %.0f ms\n",
        options.hosts, options.seconds, options.wells, kCurves, options.samples,
        options.samples + 60, options.thinkMs);
    std::printf("server: %s; database %s\n", summary.settings.c_str(), summary.database.c_str());
    std::printf("load average (1 5 15 min) before: %s, after: %s\n\n", summary.loadBefore.c_str(),
                summary.loadAfter.c_str());
    PrintKinds(figures, options.seconds);
    std::printf(
        "\nfailed operations: %zu (goal 0)   mixed reads: %zu (goal 0)   hosts not finished: "
        "%zu\n",
        figures.failures.size(), figures.mixed.size(), figures.hostProblems.size());
    std::printf(
        "server connections (%d samples, %d missed): at most %d per host (goal <= 1), "
        "%d hosts seen, %d at once in all (mean %.1f)\n",
        summary.samples, summary.missedSamples, summary.mostPerHost, summary.hostsSeen,
        summary.mostInAll, summary.meanInAll);
    std::printf("peak memory per host (RSS, MB): min %.1f, median %.1f, max %.1f\n",
                *std::min_element(summary.peakRssMb.begin(), summary.peakRssMb.end()),
                MedianOf(summary.peakRssMb),
                *std::max_element(summary.peakRssMb.begin(), summary.peakRssMb.end()));
    double cpu = 0.0;
    for (double seconds : summary.cpuSeconds) cpu += seconds;
    std::printf("host CPU time: %.1f s in all, median %.2f s per host; wall %.1f s\n", cpu,
                MedianOf(summary.cpuSeconds), state.wallSeconds);
    if (summary.walMb >= 0) {
        std::printf(
            "server write-ahead log: %.0f MB written (%.1f MB/s); temporary files: %.1f MB\n",
            summary.walMb, summary.walMb / state.wallSeconds, summary.temporaryMb);
    }
    if (summary.serverCpuSeconds >= 0) {
        std::printf("server CPU time: %.1f s\n", summary.serverCpuSeconds);
    }
    if (summary.serverPssMb > 0) {
        std::printf(
            "server memory: at most %.1f MB (PSS of its processes, shared buffers "
            "counted once)\n",
            summary.serverPssMb);
    }
    if (state.restart.begin >= 0) {
        int phases[3] = {};
        for (const Event& event : figures.failures) {
            const std::string phase = RestartPhase(event, state.restart);
            ++phases[phase == "before" ? 0 : phase == "during" ? 1 : 2];
        }
        std::printf(
            "server restart: began t=%.3f s, server back t=%.3f s (command status %d); "
            "failures before %d, during %d, after %d (goal: after 0)\n",
            state.restart.begin, state.restart.end, state.restart.status, phases[0], phases[1],
            phases[2]);
    }
    for (const std::string& problem : figures.hostProblems) std::printf("  %s\n", problem.c_str());
    PrintEvents("failed operations", figures.failures, state.restart);
    PrintEvents("mixed reads", figures.mixed, state.restart);
}

void WriteEvents(std::ostream& out, const std::vector<Event>& events, const Restart& restart) {
    out << "[";
    for (std::size_t i = 0; i < events.size(); ++i) {
        const Event& event = events[i];
        out << (i ? ",\n    " : "\n    ") << "{\"host\": " << event.host << ", \"kind\": \""
            << kKindKeys[event.kind] << "\", \"t\": " << event.start
            << ", \"latency_ms\": " << event.latency * 1e3;
        if (restart.begin >= 0) {
            out << ", \"after_restart_s\": " << event.start - restart.begin << ", \"phase\": \""
                << RestartPhase(event, restart) << "\"";
        }
        out << ", \"reason\": " << JsonString(event.text) << "}";
    }
    out << "]";
}

void WriteJson(std::ostream& out, const Options& options, const Figures& figures,
               const Summary& summary, const RunState& state) {
    out << "{\n  \"hosts\": " << options.hosts << ", \"seconds\": " << options.seconds
        << ", \"wells\": " << options.wells << ", \"samples\": " << options.samples
        << ", \"think_ms\": " << options.thinkMs
        << ",\n  \"server\": " << JsonString(summary.settings)
        << ", \"load_before\": " << JsonString(summary.loadBefore)
        << ", \"load_after\": " << JsonString(summary.loadAfter) << ",\n  \"kinds\": {";
    for (int k = 0; k < kKinds; ++k) {
        const auto& latencies = figures.latencies[k];
        out << (k ? ",\n    " : "\n    ") << "\"" << kKindKeys[k]
            << "\": {\"ops\": " << figures.ops[k]
            << ", \"ops_per_s\": " << static_cast<double>(figures.ops[k]) / options.seconds
            << ", \"p50_ms\": " << Percentile(latencies, 0.5)
            << ", \"p99_ms\": " << Percentile(latencies, 0.99)
            << ", \"failed\": " << figures.failedByKind[k]
            << ", \"mixed\": " << figures.mixedByKind[k] << "}";
    }
    out << "},\n  \"ops\": " << Count(figures)
        << ", \"ops_per_s\": " << static_cast<double>(Count(figures)) / options.seconds
        << ", \"failed\": " << figures.failures.size() << ", \"mixed\": " << figures.mixed.size()
        << ", \"hosts_not_finished\": " << figures.hostProblems.size()
        << ",\n  \"connections\": {\"most_per_host\": " << summary.mostPerHost
        << ", \"hosts_seen\": " << summary.hostsSeen << ", \"most_in_all\": " << summary.mostInAll
        << ", \"mean_in_all\": " << summary.meanInAll << ", \"samples\": " << summary.samples
        << ", \"missed_samples\": " << summary.missedSamples << "},\n  \"peak_rss_mb\": [";
    for (std::size_t i = 0; i < summary.peakRssMb.size(); ++i) {
        out << (i ? ", " : "") << summary.peakRssMb[i];
    }
    out << "],\n  \"host_cpu_s\": [";
    for (std::size_t i = 0; i < summary.cpuSeconds.size(); ++i) {
        out << (i ? ", " : "") << summary.cpuSeconds[i];
    }
    out << "],\n  \"wall_s\": " << state.wallSeconds
        << ", \"server_cpu_s\": " << summary.serverCpuSeconds
        << ", \"server_pss_mb\": " << summary.serverPssMb << ", \"wal_mb\": " << summary.walMb
        << ", \"temporary_mb\": " << summary.temporaryMb;
    if (state.restart.begin >= 0) {
        out << ",\n  \"restart\": {\"begin_s\": " << state.restart.begin
            << ", \"end_s\": " << state.restart.end << ", \"status\": " << state.restart.status
            << "}";
    }
    out << ",\n  \"failures\": ";
    WriteEvents(out, figures.failures, state.restart);
    out << ",\n  \"mixed_reads\": ";
    WriteEvents(out, figures.mixed, state.restart);
    out << "\n}\n";
}

// The run passes when nothing failed outside a restart, no read was mixed,
// every host finished and no host held more than one connection.
bool Passed(const Figures& figures, const Summary& summary, const RunState& state) {
    for (const Event& event : figures.failures) {
        if (std::string(RestartPhase(event, state.restart)) != "during") return false;
    }
    return figures.mixed.empty() && figures.hostProblems.empty() && summary.mostPerHost <= 1;
}

// ------------------------------------------------------------- the run

class ScratchDir {
  public:
    ScratchDir() {
        char pattern[] = "/tmp/strataloom-load-XXXXXX";
        if (mkdtemp(pattern)) path_ = pattern;
    }
    ~ScratchDir() {
        if (path_.empty()) return;
        for (const std::string& file : files_) std::remove(file.c_str());
        rmdir(path_.c_str());
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    bool Ready() const { return !path_.empty(); }
    std::string File(const std::string& name) {
        files_.push_back(path_ + "/" + name);
        return files_.back();
    }

  private:
    std::string path_;
    std::vector<std::string> files_;
};

std::string ServerSettings(const std::string& server) {
    std::string ignored;
    Conn connection = Connect(server, ignored);
    if (!connection) return "settings not read: " + ignored;
    std::string text;
    for (const char* name : {"server_version", "max_connections", "shared_buffers", "work_mem"}) {
        text +=
            std::string(text.empty() ? "" : " ") + name + "=" + ShowSetting(connection.get(), name);
    }
    return text;
}

// The server's write-ahead log position in bytes; negative when not read.
// The one number a query of the server answers; negative when not read.
double ServerNumber(const std::string& server, const std::string& sql) {
    std::string ignored;
    Conn connection = Connect(server, ignored);
    if (!connection) return -1.0;
    Result result(PQexec(connection.get(), sql.c_str()));
    if (PQresultStatus(result.get()) != PGRES_TUPLES_OK || PQntuples(result.get()) != 1)
        return -1.0;
    return std::atof(PQgetvalue(result.get(), 0, 0));
}

double WalPosition(const std::string& server) {
    return ServerNumber(server, "select pg_wal_lsn_diff(pg_current_wal_lsn(), '0/0')");
}

// Bytes the run's database wrote to temporary files: sorts and hashes that
// did not fit in work_mem.
double TemporaryBytes(const std::string& server, const std::string& database) {
    return ServerNumber(
        server, "select temp_bytes from pg_stat_database where datname = '" + database + "'");
}

int RunCoordinator(const Options& options) {
    Module module;
    std::string error;
    if (!module.Load(options.module, error)) {
        std::fprintf(stderr, "cannot load the module %s: %s\n", options.module.c_str(),
                     error.c_str());
        return 2;
    }
    LoadDatabase database(options);
    if (options.keep) database.Keep();
    if (!database.Make(module, options, error)) {
        std::fprintf(stderr, "set-up failed: %s\n", error.c_str());
        return 2;
    }
    ScratchDir scratch;
    if (!scratch.Ready()) {
        std::fprintf(stderr, "cannot make a temporary directory\n");
        return 2;
    }
    Summary summary;
    summary.database = database.Name();
    summary.settings = ServerSettings(options.server);
    const double walBefore = WalPosition(options.server);
    summary.loadBefore = LoadAverage();
    ConnectionSampler sampler(options.server, database.Name());
    ServerProcesses server(options.serverData);
    RunState state;
    // The hosts load the module first and then start together.
    const long long startNs = NowNs() + 2000000000LL;
    for (int id = 1; id <= options.hosts; ++id) {
        HostProcess host;
        host.out = scratch.File("host" + std::to_string(id));
        host.pid = StartHost(options, id, database.ConnectString(), startNs, host.out);
        if (host.pid < 0) {
            std::fprintf(stderr, "cannot start host %d\n", id);
            host.exited = true;
        }
        state.hosts.push_back(host);
    }
    Supervise(options, startNs, sampler, server, state);
    // The backends end with the hosts' connections; give the server a moment
    // to reap them, so that their CPU time is counted.
    if (server.Known()) SleepSeconds(1.0);
    summary.serverCpuSeconds = server.CpuSecondsSinceStart();
    summary.serverPssMb = server.MostPssMb();
    summary.loadAfter = LoadAverage();
    const double walAfter = WalPosition(options.server);
    if (walBefore >= 0 && walAfter >= 0) summary.walMb = (walAfter - walBefore) / 1048576.0;
    summary.temporaryMb = TemporaryBytes(options.server, database.Name()) / 1048576.0;
    Figures figures;
    for (std::size_t i = 0; i < state.hosts.size(); ++i) {
        ReadHostFile(static_cast<int>(i + 1), state.hosts[i], figures);
        summary.peakRssMb.push_back(state.hosts[i].peakRssMb);
        summary.cpuSeconds.push_back(state.hosts[i].cpuSeconds);
    }
    auto byTime = [](const Event& a, const Event& b) { return a.start < b.start; };
    std::sort(figures.failures.begin(), figures.failures.end(), byTime);
    std::sort(figures.mixed.begin(), figures.mixed.end(), byTime);
    summary.mostPerHost = sampler.MostPerHost(summary.hostsSeen);
    summary.mostInAll = sampler.MostInAll();
    summary.meanInAll = sampler.MeanInAll();
    summary.samples = sampler.Samples();
    summary.missedSamples = sampler.Missed();
    PrintReport(options, figures, summary, state);
    if (options.json == "-") {
        WriteJson(std::cout, options, figures, summary, state);
    } else if (!options.json.empty()) {
        std::ofstream out(options.json);
        WriteJson(out, options, figures, summary, state);
    }
    return Passed(figures, summary, state) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    if (options.worker >= 0) return RunWorker(options);
    if (options.server.empty()) {
        std::fputs("no server: set STRATALOOM_BENCH_SERVER or pass --server\n", stderr);
        const char* required = std::getenv("STRATALOOM_REQUIRE_SERVER");
        return required && *required && std::string(required) != "0" ? 2 : 77;
    }
    return RunCoordinator(options);
}
