// Hosts in other processes: one killed again and again in the middle of large
// saves, and four saving the same wells at once while this one reads them. On
// both engines the database stays whole, every well holds exactly one saved
// version, and no write fails for contention alone. Each test prints its
// figures.
#include <cstdio>
#include <map>
#include <random>
#include <sstream>
#include <thread>

#include "support/childprocess.h"
#include "support/projectdb.h"
#include "support/versions.h"

namespace {

using testsupport::ChildProcess;
using testsupport::ProjectDbTest;
using testsupport::VersionedCurves;
using testsupport::VersionOf;

const std::vector<std::string> kWells = {"W1", "W2", "W3"};

struct Event {
    std::string kind;  // "saved" or "failed"
    std::string well;
    int version = 0;
};

bool ParseEvent(const std::string& line, Event& event) {
    std::istringstream in(line);
    return static_cast<bool>(in >> event.kind >> event.well >> event.version);
}

class ConcurrencyTest : public ProjectDbTest {
  protected:
    void SetUp() override {
        ProjectDbTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        logs = Create<ILogData>("ILogData");
        ASSERT_TRUE(logs);
    }
    // The version the well holds, -1 when it holds no single saved version.
    int StoredVersion(const std::string& well, int samples) {
        LogCurveSet set;
        if (!logs->LoadWellData(well.c_str(), set)) return -2;
        return VersionOf(set, samples);
    }
    bool DatabaseIntact() {
        if (OnServer()) return true;  // the server checks its own pages
        CDbManage session(Connect().c_str());
        std::string verdict;
        return session.GetDataFromDB("pragma integrity_check") == CDbManage::kRows &&
               session.GetFieldValue("integrity_check", verdict) && verdict == "ok";
    }
    const char* EngineLabel() const { return OnServer() ? "server" : "sqlite"; }
    // The deadlocks the server has found in the test's database so far.
    long long ServerDeadlocks() {
        CDbManage session(Connect().c_str());
        int count = -1;
        if (session.GetDataFromDB("select deadlocks::int as n from pg_stat_database where datname "
                                  "= current_database()") != CDbManage::kRows ||
            !session.GetFieldValue("n", count)) {
            ADD_FAILURE() << "the server's deadlock count cannot be read";
        }
        return count;
    }
    std::unique_ptr<ILogData> logs;
};

TEST_P(ConcurrencyTest, HostKilledDuringLargeSavesLeavesOldOrNewVersion) {
    constexpr int kRuns = 20;
    constexpr int kSamples = 60000;  // 4 curves of 480 KB per well and save
    std::map<std::string, int> stored;
    for (const std::string& well : kWells) {
        ASSERT_EQ(1, logs->SaveCurves(VersionedCurves(well, 0, kSamples)));
        stored[well] = 0;
    }
    std::mt19937 random(20240611);
    std::uniform_int_distribution<int> delay(30, 250);
    int kills = 0, saves = 0, failures = 0, mixed = 0, unexpected = 0;
    for (int run = 1; run <= kRuns; ++run) {
        std::string wells;
        for (const std::string& well : kWells) wells += (wells.empty() ? "" : ",") + well;
        const int first = run * 1000;
        ChildProcess host({"save-curves", Connect(), wells, std::to_string(first), "0",
                           std::to_string(kSamples)});
        std::string line;
        ASSERT_TRUE(host.ReadLine(line, std::chrono::seconds(60)));
        ASSERT_EQ("ready", line);
        std::this_thread::sleep_for(std::chrono::milliseconds(delay(random)));
        host.Kill();
        if (host.Wait() == -9) ++kills;
        // What the host reported saved before it died; the save after it was
        // the one in progress.
        std::map<std::string, int> lastSaved;
        for (const std::string& reported : host.ReadRest()) {
            Event event;
            if (!ParseEvent(reported, event)) continue;
            if (event.kind == "saved") {
                ++saves;
                lastSaved[event.well] = event.version;
            } else {
                ++failures;
            }
        }
        ASSERT_TRUE(DatabaseIntact()) << "run " << run;
        for (const std::string& well : kWells) {
            const int old = lastSaved.count(well) ? lastSaved[well] : stored[well];
            const int next = lastSaved.count(well) ? old + 1 : first;
            const int version = StoredVersion(well, kSamples);
            if (version < 0) {
                ++mixed;
            } else if (version != old && version != next) {
                ++unexpected;
            }
            stored[well] = version;
        }
    }
    std::printf(
        "crash test %s: runs %d, kills during saves %d, saves completed %d, failed saves "
        "%d, wells with a mixed version %d, wells with neither version %d\n",
        EngineLabel(), kRuns, kills, saves, failures, mixed, unexpected);
    EXPECT_EQ(kRuns, kills);
    EXPECT_EQ(0, failures);
    EXPECT_EQ(0, mixed);
    EXPECT_EQ(0, unexpected);
}

TEST_P(ConcurrencyTest, FourHostsSavingTheSameWellsNeverFailNorMix) {
    constexpr int kWriters = 4;
    // The server lets writers of the same rows race; enough of them that an
    // engine refusing one in a few hundred would show. The embedded engine
    // queues them on its file lock.
    const int versions = OnServer() ? 100 : 40;
    constexpr int kSamples = 2000;
    const std::string wells = "W1,W2";
    for (const char* well : {"W1", "W2"}) {
        ASSERT_EQ(1, logs->SaveCurves(VersionedCurves(well, 0, kSamples)));
    }
    std::vector<std::unique_ptr<ChildProcess>> hosts;
    for (int w = 1; w <= kWriters; ++w) {
        hosts.push_back(std::make_unique<ChildProcess>(
            std::vector<std::string>{"save-curves", Connect(), wells, std::to_string(w * 1000),
                                     std::to_string(versions), std::to_string(kSamples)}));
    }
    // This host reads while the others write: whole wells, and single curves
    // with their depth curve.
    int reads = 0, failedReads = 0, mixedReads = 0;
    std::atomic<bool> writing{true};
    std::thread reader([&] {
        auto curves = Create<ILogData>("ILogData");
        while (writing) {
            LogCurveSet well, curve;
            ++reads;
            if (!curves->LoadWellData("W1", well) || !curves->LoadCurve("W2", "C1", curve)) {
                ++failedReads;
                continue;
            }
            if (VersionOf(well, kSamples) < 0 || curve.Records.size() != 2 ||
                curve.Records[0].CurveValue != curve.Records[1].CurveValue) {
                ++mixedReads;
            }
        }
    });
    int saves = 0, failures = 0;
    for (auto& host : hosts) {
        for (const std::string& line : host->ReadRest()) {
            Event event;
            if (!ParseEvent(line, event)) continue;
            if (event.kind == "saved") ++saves;
            if (event.kind == "failed") {
                ++failures;
                ADD_FAILURE() << line;
            }
        }
        EXPECT_EQ(0, host->Wait());
    }
    writing = false;
    reader.join();
    int mixedWells = 0;
    for (const char* well : {"W1", "W2"}) mixedWells += StoredVersion(well, kSamples) < 0;
    std::printf(
        "contention test %s: %d writer processes, saves %d, failed saves %d, reads %d, "
        "failed reads %d, mixed reads %d, wells left mixed %d\n",
        EngineLabel(), kWriters, saves, failures, reads, failedReads, mixedReads, mixedWells);
    EXPECT_EQ(kWriters * versions * 2, saves);
    EXPECT_EQ(0, failures);
    EXPECT_EQ(0, failedReads);
    EXPECT_EQ(0, mixedReads);
    EXPECT_EQ(0, mixedWells);
}

// A text-curve save writes two tables: the curve's rows and, for a new
// curve, its code entry. Two hosts doing so on the same wells at once queue
// on both tables together, and every save lands. Two more save the same
// curves inside writes that opened another table first: one declares the
// two tables in the opposite order (the queues are still taken in one order,
// so the server never finds two writers each waiting for the other), the
// other queues on them only inside its transaction (the server then refuses
// the write that lost the race, and it starts over).
TEST_P(ConcurrencyTest, HostsSavingTextCurvesWriteBothTablesWithoutFailing) {
    constexpr int kCurves = 25;
    const long long deadlocksBefore = OnServer() ? ServerDeadlocks() : 0;
    std::vector<std::unique_ptr<ChildProcess>> hosts;
    for (const char* prefix : {"A", "B"}) {
        for (const char* mode : {"", "crossing"}) {
            std::vector<std::string> args{"save-text-curves", Connect(), "W1,W2", prefix,
                                          std::to_string(kCurves)};
            if (*mode) args.emplace_back(mode);
            hosts.push_back(std::make_unique<ChildProcess>(args));
        }
    }
    for (auto& host : hosts) {
        ASSERT_TRUE(host->Started());
        for (const std::string& line : host->ReadRest()) ADD_FAILURE() << line;
        EXPECT_EQ(0, host->Wait());
    }
    auto texts = Create<ITextData>("ITextData");
    for (const char* curve : {"A0", "A1", "B23", "B24"}) {
        TextCurveSet set;
        EXPECT_EQ(1, texts->LoadWellTextCurve("W2", curve, set)) << curve;
        EXPECT_EQ(3u, set.Records.size()) << curve;
    }
    if (OnServer()) {
        EXPECT_EQ(deadlocksBefore, ServerDeadlocks());
    }
}

STRATALOOM_ENGINES(ConcurrencyTest);

}  // namespace
