// What a host relies on when things go wrong, on both engines: the reason of
// every failure, writes that cannot write failing whole, values the engine
// cannot keep refused, every value it can keep read back as saved, and reads
// that see one state of the database while other hosts write.
#include <sqlite3.h>

#include <cmath>
#include <functional>
#include <limits>
#include <thread>

#include "dbaccess/connectionregistry.h"
#include "dbaccess/sessionlimits.h"
#include "support/projectdb.h"
#include "support/statementlog.h"
#include "support/versions.h"

namespace {

using strataloom::db::ScopedLimits;
using strataloom::db::SessionLimits;
using testsupport::ProjectDbTest;

MarkerSet Markers(const std::string& well, const std::string& prefix, int count) {
    MarkerSet set;
    set.WellName = well;
    for (int i = 0; i < count; ++i) {
        MarkerRecord marker;
        marker.MarkerName = prefix + std::to_string(i);
        marker.TopDepth = 100.0 * i;
        marker.BottomDepth = 100.0 * i + 50.0;
        set.Records.push_back(marker);
    }
    return set;
}

// The prefixes of a well's marker names, as one text ("AAAAA").
std::string MarkerVersion(IMarkerData& markers, const char* well) {
    MarkerSet set;
    if (!markers.LoadWellData(well, set)) return "(none)";
    std::string prefixes;
    for (const MarkerRecord& record : set.Records) prefixes += record.MarkerName.substr(0, 1);
    return prefixes;
}

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

SessionLimits ShortLockWait() {
    SessionLimits limits;
    limits.lockWait = std::chrono::milliseconds(300);
    return limits;
}

class ReliabilityTest : public ProjectDbTest {
  protected:
    void SetUp() override {
        ProjectDbTest::SetUp();
        markers = Create<IMarkerData>("IMarkerData");
        wells = Create<IBasicWellData>("IBasicWellData");
        ASSERT_TRUE(markers && wells);
    }
    std::string DatabaseName() const { return Connect().substr(Connect().rfind("dbname=") + 7); }
    // Makes every delete from table fail, as a table the engine cannot write.
    void RefuseDeletesFrom(const std::string& table) {
        if (!OnServer()) {
            Exec("create trigger keep_" + table + " before delete on " + table +
                 " begin select raise(abort, 'deletes refused'); end");
            return;
        }
        Exec(
            "create function keep_rows() returns trigger language plpgsql as $$ begin raise "
            "exception 'deletes refused'; end $$");
        Exec("create trigger keep_" + table + " before delete on " + table +
             " for each row execute function keep_rows()");
    }
    std::unique_ptr<IMarkerData> markers;
    std::unique_ptr<IBasicWellData> wells;
};

TEST_P(ReliabilityTest, EveryFailureLeavesItsReasonAndSuccessClearsIt) {
    testsupport::StatementLog trace;
    BasicWellRecord record;
    record.WellName = "W1";
    ASSERT_EQ(1, wells->SaveWell("P", record));
    EXPECT_STREQ("", StrataloomLastError());

    EXPECT_EQ(0, wells->LoadWell("Nowhere", record));
    const std::string noWell = StrataloomLastError();
    EXPECT_TRUE(Contains(noWell, "no row")) << noWell;
    EXPECT_TRUE(Contains(noWell, "in: select * from w_well_data where WellName='Nowhere'"))
        << noWell;

    auto elsewhere = Create<IBasicWellData>("IBasicWellData");
    std::string missing;
    if (OnServer()) {
        missing = testsupport::WithDatabase(testsupport::TestServerConnect(), "no_such_project");
    } else {
        missing = (Dir() / "Missing.mdb").string();
    }
    elsewhere->SetConnectString(missing.c_str());
    EXPECT_EQ(0, elsewhere->LoadWell("W1", record));
    const std::string noDatabase = StrataloomLastError();
    EXPECT_TRUE(Contains(noDatabase, OnServer() ? "no_such_project" : "Missing.mdb")) << noDatabase;
    EXPECT_TRUE(Contains(noDatabase, OnServer() ? "does not exist" : "No such file")) << noDatabase;

    elsewhere->SetConnectString("host=127.0.0.1 port=1 dbname=x connect_timeout=2");
    EXPECT_EQ(0, elsewhere->LoadWell("W1", record));
    const std::string noServer = StrataloomLastError();
    EXPECT_TRUE(Contains(noServer, "127.0.0.1")) << noServer;

    BasicWellRecord unnamed;
    EXPECT_EQ(0, wells->SaveWell("P", unnamed));
    const std::string unnamedReason = "the well name is empty (box: \"井名称不能为空！\")";
    EXPECT_EQ(unnamedReason, StrataloomLastError());

    EXPECT_NE(noWell, noDatabase);
    EXPECT_NE(noDatabase, noServer);
    ASSERT_EQ(1, wells->LoadWell("W1", record));
    EXPECT_STREQ("", StrataloomLastError());
    // The trace carries the same reasons.
    EXPECT_EQ((std::vector<std::string>{noWell, noDatabase, noServer, unnamedReason}),
              trace.failures);
}

// A read takes a table its connection checked before as it is: the trace
// still shows the table check, and a table dropped since fails the read
// through its own statement, with the engine's reason.
TEST_P(ReliabilityTest, ReadOfAKnownTableStillShowsItsCheckAndFailsOnceTheTableIsGone) {
    BasicWellRecord record;
    record.WellName = "W1";
    ASSERT_EQ(1, wells->SaveWell("P", record));
    {
        testsupport::StatementLog trace;
        EXPECT_EQ(1, wells->IsWellExist("P", "W1"));
        EXPECT_EQ((std::vector<std::string>{
                      "w_well_data",
                      "select WellName from  w_well_data where WellName='W1' and ProjectName='P'"}),
                  trace.texts);
    }
    Exec("drop table w_well_data");
    EXPECT_EQ(0, wells->IsWellExist("P", "W1"));
    const std::string reason = StrataloomLastError();
    EXPECT_TRUE(Contains(reason, "w_well_data")) << reason;
    EXPECT_EQ(0, wells->SaveWell("P", record));
}

TEST_P(ReliabilityTest, WritesWhoseStatementsFailChangeNothing) {
    ASSERT_EQ(1, markers->SaveWellData(Markers("W1", "A", 5)));
    RefuseDeletesFrom("w_marker_data");
    // A delete the engine refuses is not a delete that found nothing.
    EXPECT_EQ(0, markers->DeleteWellData("W1"));
    EXPECT_TRUE(Contains(StrataloomLastError(), "deletes refused")) << StrataloomLastError();
    EXPECT_EQ(0, markers->SaveWellData(Markers("W1", "B", 3)));
    EXPECT_EQ(0, markers->DeleteWellsData(NameList{"W1"}));
    EXPECT_EQ("AAAAA", MarkerVersion(*markers, "W1"));
    // A delete that finds nothing is no failure.
    Exec(OnServer() ? "drop trigger keep_w_marker_data on w_marker_data"
                    : "drop trigger keep_w_marker_data");
    EXPECT_EQ(1, markers->DeleteWellData("Nowhere"));
}

TEST_P(ReliabilityTest, ProjectThatCannotBeWrittenFailsDeletes) {
    ASSERT_EQ(1, markers->SaveWellData(Markers("W1", "A", 5)));
    if (OnServer()) {
        ASSERT_TRUE(testsupport::RunOnServer("ALTER DATABASE " + DatabaseName() +
                                             " SET default_transaction_read_only = on"));
        strataloom::db::ReleaseIdleConnections();
    } else {
        // The session of this thread is the module's: it reads only from now on.
        Exec("PRAGMA query_only = 1");
    }
    EXPECT_EQ(0, markers->DeleteWellData("W1"));
    EXPECT_TRUE(Contains(StrataloomLastError(), "read")) << StrataloomLastError();
    EXPECT_EQ(0, markers->SaveWellData(Markers("W1", "B", 2)));
    EXPECT_EQ("AAAAA", MarkerVersion(*markers, "W1"));
}

TEST_P(ReliabilityTest, RefusedCommitKeepsTheOldRows) {
    ASSERT_EQ(1, markers->SaveWellData(Markers("W1", "A", 5)));
    if (OnServer()) {
        // Checked only when the transaction commits.
        Exec(
            "create function late_refusal() returns trigger language plpgsql as $$ begin if "
            "NEW.MarkerName = 'B0' then raise exception 'refused at commit'; end if; return "
            "NEW; end $$");
        Exec(
            "create constraint trigger late after insert on w_marker_data deferrable "
            "initially deferred for each row execute function late_refusal()");
        EXPECT_EQ(0, markers->SaveWellData(Markers("W1", "B", 3)));
        EXPECT_TRUE(Contains(StrataloomLastError(), "refused at commit"));
    } else {
        // A reader in another connection keeps the commit from taking the file.
        ScopedLimits shortWait(ShortLockWait());
        sqlite3* reader = nullptr;
        ASSERT_EQ(SQLITE_OK, sqlite3_open(Connect().c_str(), &reader));
        ASSERT_EQ(SQLITE_OK, sqlite3_exec(reader, "BEGIN; SELECT count(*) FROM w_marker_data;",
                                          nullptr, nullptr, nullptr));
        EXPECT_EQ(0, markers->SaveWellData(Markers("W1", "B", 3)));
        EXPECT_TRUE(Contains(StrataloomLastError(), "COMMIT")) << StrataloomLastError();
        sqlite3_exec(reader, "COMMIT", nullptr, nullptr, nullptr);
        sqlite3_close(reader);
    }
    EXPECT_EQ("AAAAA", MarkerVersion(*markers, "W1"));
    EXPECT_STREQ("", StrataloomLastError());
}

TEST_P(ReliabilityTest, TextHoldingAZeroByteIsRefused) {
    ASSERT_EQ(1, markers->SaveWellData(Markers("W1", "A", 5)));
    MarkerSet named = Markers("W1", "B", 5);
    named.WellName = std::string("W1\0B", 4);
    EXPECT_EQ(0, markers->SaveWellData(named));
    EXPECT_EQ(0, markers->SaveWellData(named));
    EXPECT_TRUE(Contains(StrataloomLastError(), "zero byte")) << StrataloomLastError();
    MarkerSet described = Markers("W1", "B", 2);
    described.Records[1].Description = std::string("a\0b", 3);
    EXPECT_EQ(0, markers->SaveWellData(described));
    EXPECT_EQ(5, Count("w_marker_data"));
    EXPECT_EQ("AAAAA", MarkerVersion(*markers, "W1"));

    // Whole statements that hold one are refused too.
    CDbManage session(Connect().c_str());
    const std::string name = std::string("W1") + '\0' + "x'";
    EXPECT_EQ(CDbManage::kFailed,
              session.GetDataFromDB("select * from w_marker_data where WellName='" + name));
    EXPECT_FALSE(session.ExecuteSQL("delete from w_marker_data where WellName='" + name));
    EXPECT_EQ(5, Count("w_marker_data"));
}

TEST_P(ReliabilityTest, NaNReadsBackAsNaN) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    BasicWellRecord record;
    record.WellName = "W1";
    record.Kb = nan;
    record.WellDepth = nan;
    record.Well_EW = std::numeric_limits<double>::infinity();
    ASSERT_EQ(1, wells->SaveWell("P", record));
    BasicWellRecord loaded;
    ASSERT_EQ(1, wells->LoadWell("W1", loaded));
    EXPECT_TRUE(std::isnan(loaded.Kb));
    EXPECT_TRUE(std::isnan(loaded.WellDepth));
    EXPECT_EQ(std::numeric_limits<double>::infinity(), loaded.Well_EW);
    EXPECT_EQ(0.0, loaded.Ekb);

    MarkerSet picks = Markers("W1", "A", 2);
    picks.Records[0].TopDepth = nan;
    ASSERT_EQ(1, markers->SaveWellData(picks));
    MarkerSet loadedPicks;
    ASSERT_EQ(1, markers->LoadWellData("W1", loadedPicks));
    ASSERT_EQ(2u, loadedPicks.Records.size());
    EXPECT_EQ(1, std::isnan(loadedPicks.Records[0].TopDepth) +
                     std::isnan(loadedPicks.Records[1].TopDepth));

    auto logs = Create<ILogData>("ILogData");
    LogCurveSet curves = testsupport::VersionedCurves("W1", 0, 4);
    curves.NullValue = nan;
    ASSERT_EQ(1, logs->SaveCurves(curves));
    LogCurveSet loadedCurves;
    ASSERT_EQ(1, logs->LoadWellData("W1", loadedCurves));
    EXPECT_TRUE(std::isnan(loadedCurves.NullValue));
    EXPECT_EQ(std::vector<double>(4, 0.0), loadedCurves.Records.at(0).CurveValue);
}

TEST_P(ReliabilityTest, EveryCharacterRoundTripsAndIsStoredAlikeOnBothEngines) {
    auto projects = Create<IBasicProjectData>("IBasicProjectData");
    for (int code : {0, 1, int{'1'}, int{'Y'}, 127, 128, 0xE9, 255}) {
        const char c = static_cast<char>(code);
        BasicWellRecord record;
        record.WellName = "W1";
        record.WellFlag = c;
        ASSERT_EQ(1, wells->SaveWell("P", record)) << code << StrataloomLastError();
        BasicWellRecord loaded;
        ASSERT_EQ(1, wells->LoadWell("W1", loaded));
        EXPECT_EQ(c, loaded.WellFlag) << code;

        BasicProjectRecord project;
        project.ProjectName = "P";
        project.AutoCalcMinMax = c;
        ASSERT_EQ(1, projects->SaveProject(project)) << code;
        BasicProjectRecord loadedProject;
        ASSERT_EQ(1, projects->LoadProject("P", loadedProject));
        EXPECT_EQ(c, loadedProject.AutoCalcMinMax) << code;
    }
    EXPECT_EQ("\xC3\xBF", QueryText("select WellFlag as c from w_well_data"));
    BasicWellRecord unset;
    unset.WellName = "W2";
    unset.WellFlag = '\0';
    ASSERT_EQ(1, wells->SaveWell("P", unset));
    EXPECT_EQ("", QueryText("select WellFlag as c from w_well_data where WellName='W2'"));
}

TEST_P(ReliabilityTest, ValueLargerThanTheEngineTakesFailsTheSave) {
    auto logs = Create<ILogData>("ILogData");
    ASSERT_EQ(1, logs->SaveCurves(testsupport::VersionedCurves("W1", 1, 10)));
    SessionLimits small;
    small.largestValue = 1024;
    ScopedLimits limits(small);
    EXPECT_EQ(0, logs->SaveCurves(testsupport::VersionedCurves("W1", 2, 200)));
    EXPECT_TRUE(Contains(StrataloomLastError(), "1616 bytes")) << StrataloomLastError();
    LogCurveSet loaded;
    ASSERT_EQ(1, logs->LoadWellData("W1", loaded));
    EXPECT_EQ(1, testsupport::VersionOf(loaded, 10));
}

// Runs write on another thread when this thread is about to run statement,
// and waits for it: the write lands between two statements of one read.
class WriteBetweenStatements {
  public:
    WriteBetweenStatements(std::string statement, std::function<void()> write)
        : statement_(std::move(statement)),
          write_(std::move(write)),
          reader_(std::this_thread::get_id()) {
        strataloom::db::SetTraceListener([this](const std::string& text) {
            if (text != statement_ || std::this_thread::get_id() != reader_ || done_) return;
            done_ = true;
            std::thread(write_).join();
        });
    }
    ~WriteBetweenStatements() { strataloom::db::SetTraceListener({}); }
    bool Done() const { return done_; }

  private:
    std::string statement_;
    std::function<void()> write_;
    std::thread::id reader_;
    bool done_ = false;
};

TEST_P(ReliabilityTest, CurveAndItsDepthCurveComeFromOneState) {
    auto logs = Create<ILogData>("ILogData");
    ASSERT_EQ(1, logs->SaveCurves(testsupport::VersionedCurves("W1", 1, 50)));
    // On the embedded engine the writer waits for the reader and gives up.
    ScopedLimits shortWait(ShortLockWait());
    LogCurveSet loaded;
    {
        WriteBetweenStatements writer(
            "select * from w_log_data where WellName='W1' and CurveName='DEPT'", [this] {
                Create<ILogData>("ILogData")->SaveCurves(testsupport::VersionedCurves("W1", 4, 50));
            });
        ASSERT_EQ(1, logs->LoadCurve("W1", "C1", loaded));
        EXPECT_TRUE(writer.Done());
    }
    ASSERT_EQ(2u, loaded.Records.size());
    EXPECT_EQ(loaded.Records[0].CurveValue, loaded.Records[1].CurveValue);
    EXPECT_EQ(loaded.Records[0].Measure, loaded.Records[1].Measure);
}

TEST_P(ReliabilityTest, ProjectLoadComesFromOneState) {
    auto logs = Create<ILogData>("ILogData");
    BasicWellRecord header;
    for (const char* well : {"W1", "W2"}) {
        header.WellName = well;
        ASSERT_EQ(1, wells->SaveWell("P", header));
        ASSERT_EQ(1, logs->SaveCurves(testsupport::VersionedCurves(well, 1, 20)));
    }
    ScopedLimits shortWait(ShortLockWait());
    std::vector<LogCurveSet> loaded;
    {
        WriteBetweenStatements writer("select * from w_log_data where WellName='W2'", [this] {
            Create<ILogData>("ILogData")
                ->SaveWellsCurves("", {testsupport::VersionedCurves("W1", 2, 20),
                                       testsupport::VersionedCurves("W2", 2, 20)});
        });
        ASSERT_EQ(1, logs->LoadProjectData("P", loaded));
        EXPECT_TRUE(writer.Done());
    }
    ASSERT_EQ(2u, loaded.size());
    const int first = testsupport::VersionOf(loaded[0], 20);
    EXPECT_GE(first, 1);
    EXPECT_EQ(first, testsupport::VersionOf(loaded[1], 20));
}

STRATALOOM_ENGINES(ReliabilityTest);

}  // namespace
