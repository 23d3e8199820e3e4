// An import stopped by SIGINT or SIGTERM at random moments: every well of
// its files is either as it was or fully imported, the files imported are
// named, and the exit code is 130. The import runs in a child process (the
// host program's command, on a project file the parent has not opened),
// which the parent interrupts and then inspects.
#include "formats/interrupt.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <random>
#include <sstream>

#include "formats/hostcommands.h"
#include "formats/las.h"
#include "formats/owntables.h"
#include "formats/text.h"
#include "frame/cdatafactory.h"
#include "support/projectdb.h"

namespace {

using namespace strataloom::formats;

constexpr int kWells = 5;
constexpr int kCurves = 8;
constexpr int kRows = 3000;

std::string WellName(int i) {
    return "SIG-" + std::to_string(i);
}

std::vector<std::string> WriteFiles(const std::filesystem::path& dir) {
    std::vector<std::string> paths;
    for (int w = 0; w < kWells; ++w) {
        LasFile las;
        las.wellItems.push_back({"WELL", "", WellName(w), "WELL"});
        las.wellItems.push_back({"EKB", "M", "30", "KELLY BUSHING"});
        las.curves.resize(kCurves);
        for (int c = 0; c < kCurves; ++c) {
            las.curves[c].header = {c == 0 ? "DEPT" : "C" + std::to_string(c), "M", "", ""};
            for (int r = 0; r < kRows; ++r) {
                las.curves[c].values.push_back(c == 0 ? 1000.0 + r * 0.125 : r * 0.5 + c);
            }
        }
        paths.push_back((dir / (WellName(w) + ".las")).string());
        std::string reason;
        EXPECT_TRUE(WriteWholeFile(paths.back(), WriteLas(las), reason)) << reason;
    }
    return paths;
}

// Runs import-las on connect in a child process; its output goes to log.
pid_t StartImport(const std::string& connect, const std::vector<std::string>& files,
                  const std::string& log) {
    const pid_t child = fork();
    if (child != 0) return child;
    std::ostringstream out;
    CommandIo io{out, out, nullptr, nullptr};
    std::vector<std::string> args = {connect, "--project", "P"};
    args.insert(args.end(), files.begin(), files.end());
    CDataFactory factory;
    const int code = FindFormatCommand("import-las")->run(factory, args, io);
    std::ofstream(log) << out.str();
    _exit(code);
}

std::string Count(OwnTables& tables, const std::string& table, const std::string& well) {
    std::vector<OwnTables::Row> rows;
    EXPECT_TRUE(tables.Run("select count(*) from " + table + " where WellName = ?", {well}, &rows))
        << tables.Failure();
    return rows.empty() ? "?" : rows[0][0];
}

// Whether the well is absent (false) or complete (true); a test failure
// for anything in between.
bool WellState(const std::string& connect, const std::string& well) {
    OwnTables tables(connect);
    std::string reason;
    EXPECT_TRUE(tables.Open(reason)) << reason;
    const std::string headers = Count(tables, "w_well_data", well);
    const std::string curves = Count(tables, "w_log_data", well);
    const std::string items = Count(tables, "w_las_header", well);
    if (headers == "0" && curves == "0" && items == "0") return false;
    EXPECT_EQ("1", headers) << well;
    EXPECT_EQ(std::to_string(kCurves), curves) << well;
    // STRT, STOP, STEP, NULL, WELL, EKB and the ~C lines
    EXPECT_EQ(std::to_string(kCurves + 6), items) << well;
    return true;
}

TEST(InterruptedImport, EveryWellIsAsItWasOrComplete) {
    testsupport::ProjectDb base;
    base.Open(testsupport::Engine::Sqlite);
    const std::vector<std::string> files = WriteFiles(base.Dir());
    {
        // The project, made once; each round imports into a copy of it.
        auto projects = base.Create<IBasicProjectData>("IBasicProjectData");
        BasicProjectRecord header;
        header.ProjectName = "P";
        ASSERT_EQ(1, projects->SaveProject(header));
    }
    const std::string log = (base.Dir() / "import.log").string();
    auto copyProject = [&](int round) {
        const std::string path = (base.Dir() / ("round" + std::to_string(round) + ".mdb")).string();
        std::filesystem::copy_file(base.Connect(), path);
        return path;
    };

    // How long the whole import takes here, to interrupt it anywhere in it.
    const auto start = std::chrono::steady_clock::now();
    int status = 0;
    waitpid(StartImport(copyProject(-1), files, log), &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    const auto whole = std::chrono::duration_cast<std::chrono::microseconds>(
                           std::chrono::steady_clock::now() - start)
                           .count();

    std::mt19937 random(20261207);
    int interrupted = 0;
    int partly = 0;
    for (int round = 0; round < 24; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        const std::string connect = copyProject(round);
        const pid_t child = StartImport(connect, files, log);
        usleep(static_cast<useconds_t>(std::uniform_int_distribution<long>(0, whole)(random)));
        kill(child, round % 2 ? SIGTERM : SIGINT);
        ASSERT_EQ(child, waitpid(child, &status, 0));
        // The signal may come before the import listens for it (the child
        // then dies of it) or after it ended (0); else the import stops.
        const bool stopped = WIFEXITED(status) && WEXITSTATUS(status) == kExitInterrupted;
        EXPECT_TRUE(stopped || (WIFEXITED(status) && WEXITSTATUS(status) == 0) ||
                    WIFSIGNALED(status))
            << status;
        std::string printed;
        std::string reason;
        ReadWholeFile(log, printed, reason);
        const std::size_t closing = printed.find("strataloom: interrupted: ");
        const std::string named = closing == std::string::npos ? "" : printed.substr(closing);
        int complete = 0;
        for (int w = 0; w < kWells; ++w) {
            const std::string well = WellName(w);
            const bool done = WellState(connect, well);
            complete += done;
            // A stopped import names exactly the files it imported.
            if (stopped) {
                EXPECT_EQ(done, named.find(well + ".las") != std::string::npos) << printed;
            }
        }
        if (stopped) {
            ++interrupted;
            EXPECT_NE(std::string::npos,
                      printed.find("strataloom: interrupted: " + std::to_string(complete) + " of " +
                                   std::to_string(kWells) + " files imported"))
                << printed;
            partly += complete > 0 && complete < kWells;
        }
        std::remove(log.c_str());
    }
    EXPECT_GT(interrupted, 0);
    RecordProperty("interrupted", interrupted);
    RecordProperty("partly", partly);
}

}  // namespace
