// LAS import through the formats library on a made-up file of 100,000 depth
// steps and 20 curves: the time to read the file into memory, to parse it,
// and to import it (read, parse and save through ILogData), beside
// SaveWellsCurves of the same arrays alone. Each step runs five times; the
// table gives the median wall and CPU time of each (the machine may be
// shared: CPU time shows what the work itself costs).
//
// Goals: parsing at 100 MB/s or more; the import within 1.5 times parse + save.

#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "dbaccess/connectionregistry.h"
#include "formats/las.h"
#include "formats/lasimport.h"
#include "formats/lasmapping.h"
#include "formats/projectdata.h"
#include "formats/text.h"
#include "frame/cdatafactory.h"

namespace fs = std::filesystem;
using namespace strataloom::formats;

namespace {

constexpr std::size_t kRows = 100000;
constexpr std::size_t kCurves = 20;
constexpr int kRounds = 5;
constexpr double kParseGoal = 100.0;  // MB/s
constexpr double kImportGoal = 1.5;   // import / (parse + save)

struct Times {
    double wall = 0.0;  // milliseconds
    double cpu = 0.0;
};

double Clock(clockid_t clock) {
    timespec now{};
    clock_gettime(clock, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

Times Once(const std::function<void()>& work) {
    const double wall = Clock(CLOCK_MONOTONIC);
    const double cpu = Clock(CLOCK_PROCESS_CPUTIME_ID);
    work();
    return {Clock(CLOCK_MONOTONIC) - wall, Clock(CLOCK_PROCESS_CPUTIME_ID) - cpu};
}

Times Median(std::vector<Times> runs) {
    auto middle = [&](auto field) {
        std::vector<double> values;
        for (const Times& t : runs) values.push_back(t.*field);
        std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
        return values[values.size() / 2];
    };
    return {middle(&Times::wall), middle(&Times::cpu)};
}

// A well of 20 curves as logging tools give them: 4 decimals, a few nulls.
LasFile MakeWell() {
    LasFile las;
    las.wellItems.push_back({"WELL", "", "BENCH-1", "WELL"});
    std::mt19937_64 random(42);
    std::normal_distribution<double> noise(0.0, 1.0);
    las.curves.resize(kCurves);
    for (std::size_t c = 0; c < kCurves; ++c) {
        las.curves[c].header.mnemonic = c == 0 ? "DEPT" : "C" + std::to_string(c);
        las.curves[c].header.unit = c == 0 ? "M" : "UNIT";
        las.curves[c].values.reserve(kRows);
    }
    for (std::size_t row = 0; row < kRows; ++row) {
        las.curves[0].values.push_back(1000.0 + row * 0.125);
        for (std::size_t c = 1; c < kCurves; ++c) {
            const double value = std::round((50.0 * c + 10.0 * noise(random)) * 1e4) / 1e4;
            las.curves[c].values.push_back(row % 997 == c ? -999.25 : value);
        }
    }
    return las;
}

void Fail(const std::string& what) {
    std::fprintf(stderr, "las_import_bench: %s\n", what.c_str());
    std::exit(1);
}

void PrintRow(const char* step, const Times& t, double megabytes = 0.0) {
    std::printf("%-32s %10.1f %10.1f", step, t.wall, t.cpu);
    if (megabytes > 0) std::printf(" %10.1f", megabytes / (t.cpu / 1e3));
    std::printf("\n");
}

}  // namespace

int main() {
    const fs::path dir =
        fs::temp_directory_path() / ("strataloom-las-bench-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const fs::path database = dir / "Bench.mdb";
    fs::copy_file(STRATALOOM_TEMPLATE_PATH, database);
    const std::string file = (dir / "bench.las").string();
    std::string reason;
    if (!WriteWholeFile(file, WriteLas(MakeWell()), reason)) Fail(reason);
    const double megabytes = fs::file_size(file) / 1e6;

    CDataFactory factory;
    {
        ProjectData data(factory, database.string());
        if (!data.Open(reason)) Fail(reason);

        std::string text;
        LasFile las;
        LasImportSummary summary;
        std::vector<Times> read, parse, save, import;
        // One import first, so that every timed round replaces a stored well.
        Diagnostics first(file);
        if (!ImportLasFile(data, "Bench", file, summary, first)) Fail(first.Error());
        for (int round = 0; round < kRounds; ++round) {
            read.push_back(Once([&] {
                if (!ReadWholeFile(file, text, reason)) Fail(reason);
            }));
            parse.push_back(Once([&] {
                Diagnostics diagnostics(file);
                if (!ParseLas(text, las, diagnostics)) Fail(diagnostics.Error());
            }));
            const std::vector<LogCurveSet> sets = {LasToCurves(las, "BENCH-1")};
            save.push_back(Once([&] {
                if (!data.Logs().SaveWellsCurves("", sets)) Fail("SaveWellsCurves failed");
            }));
            import.push_back(Once([&] {
                Diagnostics diagnostics(file);
            if (!ImportLasFile(data, "Bench", file, summary, diagnostics)) {
                Fail(diagnostics.Error());
            }
        }));
    }
    const Times r = Median(read), p = Median(parse), s = Median(save), i = Median(import);
    const Times ps{p.wall + s.wall, p.cpu + s.cpu};
    std::printf("LAS file: %zu depth steps x %zu curves, %.1f MB; median of %d rounds\n", kRows,
                kCurves, megabytes, kRounds);
    std::printf("%-32s %10s %10s %10s\n", "step", "wall ms", "cpu ms", "MB/s (cpu)");
    PrintRow("read into memory", r, megabytes);
    PrintRow("parse", p, megabytes);
    PrintRow("save (SaveWellsCurves alone)", s);
    PrintRow("parse + save", ps);
    PrintRow("import (read, parse, save)", i, megabytes);
    std::printf("parse: %.0f MB/s wall, %.0f MB/s cpu (goal: %.0f MB/s or more)\n",
                megabytes / (p.wall / 1e3), megabytes / (p.cpu / 1e3), kParseGoal);
    std::printf("import / (parse + save): %.2f wall, %.2f cpu (goal: within %.1f)\n",
                i.wall / ps.wall, i.cpu / ps.cpu, kImportGoal);
}
strataloom::db::ReleaseIdleConnections();
fs::remove_all(dir);
return 0;
}
