// What several hosts sharing one project database rely on, on both engines,
// and what only the server engine does: databases created on the server, text
// it refuses, and failed statements inside a transaction.
#include <libpq-fe.h>
#include <unistd.h>

#include <thread>

#include "dbaccess/connectionregistry.h"
#include "dbaccess/dbwritescope.h"
#include "dbaccess/postgres/pgconnection.h"
#include "support/projectdb.h"

namespace {

// A table opened whole, for adding rows.
constexpr auto WholeTable = &strataloom::db::Statement::WholeTable;

using testsupport::ProjectDbTest;

MarkerSet Markers(const std::string& well, const std::string& prefix, int count) {
    MarkerSet set;
    set.WellName = well;
    for (int i = 0; i < count; ++i) {
        MarkerRecord marker;
        marker.MarkerName = prefix + std::to_string(i);
        marker.TopDepth = 1000.0 + i;
        marker.BottomDepth = 1001.0 + i;
        set.Records.push_back(marker);
    }
    return set;
}

LogCurveSet Curves(const std::string& well, double value, int samples) {
    LogCurveSet set;
    set.WellName = well;
    for (const char* name : {"DEPT", "GR", "RT"}) {
        LogCurveRecord curve;
        curve.CurveName = name;
        curve.DepthCurve = 0;
        curve.CurveValue.assign(static_cast<std::size_t>(samples), value);
        set.Records.push_back(curve);
    }
    return set;
}

// Whether a loaded marker set is exactly one of the versions that were saved.
bool IsOneVersion(const MarkerSet& loaded) {
    if (loaded.Records.empty()) return false;
    const char prefix = loaded.Records.front().MarkerName[0];
    const std::size_t expected = prefix == 'A' ? 5 : 7;
    if (loaded.Records.size() != expected) return false;
    for (const MarkerRecord& r : loaded.Records) {
        if (r.MarkerName[0] != prefix) return false;
    }
    return true;
}

class SharedDatabaseTest : public ProjectDbTest {};

TEST_P(SharedDatabaseTest, TwoHostsReplacingOneWellsMarkersLeaveOneVersion) {
    auto seed = Create<IMarkerData>("IMarkerData");
    ASSERT_EQ(1, seed->SaveWellData(Markers("W1", "A", 5)));
    auto writer = [this](const char* prefix, int count) {
        auto markers = Create<IMarkerData>("IMarkerData");
        for (int i = 0; i < 15; ++i)
            EXPECT_EQ(1, markers->SaveWellData(Markers("W1", prefix, count)));
    };
    bool everyLoadWasOneVersion = true;
    std::thread a(writer, "A", 5), b(writer, "B", 7);
    std::thread reader([&] {
        auto markers = Create<IMarkerData>("IMarkerData");
        for (int i = 0; i < 30; ++i) {
            MarkerSet loaded;
            if (markers->LoadWellData("W1", loaded) && !IsOneVersion(loaded)) {
                everyLoadWasOneVersion = false;
            }
        }
    });
    a.join();
    b.join();
    reader.join();
    EXPECT_TRUE(everyLoadWasOneVersion);
    MarkerSet final;
    ASSERT_EQ(1, seed->LoadWellData("W1", final));
    EXPECT_TRUE(IsOneVersion(final)) << final.Records.size() << " rows";
}

TEST_P(SharedDatabaseTest, TwoHostsReplacingOneWellsCurvesLeaveOneVersion) {
    auto writer = [this](double value) {
        auto logs = Create<ILogData>("ILogData");
        for (int i = 0; i < 10; ++i) EXPECT_EQ(1, logs->SaveCurves(Curves("W1", value, 50)));
    };
    std::thread a(writer, 1.0), b(writer, 2.0);
    a.join();
    b.join();
    auto logs = Create<ILogData>("ILogData");
    LogCurveSet loaded;
    ASSERT_EQ(1, logs->LoadWellData("W1", loaded));
    ASSERT_EQ(3u, loaded.Records.size());
    const double version = loaded.Records[0].CurveValue.at(0);
    for (const LogCurveRecord& curve : loaded.Records) {
        ASSERT_EQ(50u, curve.CurveValue.size());
        EXPECT_EQ(version, curve.CurveValue.front()) << curve.CurveName;
    }
}

TEST_P(SharedDatabaseTest, FailedStatementInsideAWriteKeepsTheRestOfIt) {
    DbWriteScope scope(Connect());
    ASSERT_TRUE(scope.Active());
    CDbManage session(Connect().c_str());
    ASSERT_NE(2, session.GetDataFromDB(WholeTable("w_marker_data")));
    EXPECT_FALSE(session.ExecuteSQL("delete from no_such_table"));
    EXPECT_EQ(2, session.GetDataFromDB("select * from no_such_table"));
    ASSERT_NE(2, session.GetDataFromDB(WholeTable("w_marker_data")));
    session.AddNew();
    session.SetFieldValue("WellName", "W1");
    EXPECT_TRUE(session.SaveData());
    EXPECT_TRUE(scope.Commit());
    EXPECT_EQ(1, Count("w_marker_data"));
}

TEST_P(SharedDatabaseTest, InnerWriteThatFailsUndoesTheWholeOperation) {
    {
        DbWriteScope outer(Connect());
        CDbManage session(Connect().c_str());
        ASSERT_NE(2, session.GetDataFromDB(WholeTable("w_marker_data")));
        session.AddNew();
        session.SetFieldValue("WellName", "W1");
        ASSERT_TRUE(session.SaveData());
        {
            DbWriteScope inner(Connect());
            EXPECT_TRUE(inner.Active());
            EXPECT_FALSE(inner.Outermost());
        }  // ends without committing
        EXPECT_FALSE(outer.Commit());
    }
    EXPECT_EQ(0, Count("w_marker_data"));
}

STRATALOOM_ENGINES(SharedDatabaseTest);

// Runs on the server engine only.
class ServerOnlyTest : public ProjectDbTest {};

TEST_P(ServerOnlyTest, TextTheServerCannotStoreFailsTheSaveAndKeepsTheOldRows) {
    auto markers = Create<IMarkerData>("IMarkerData");
    ASSERT_EQ(1, markers->SaveWellData(Markers("W1", "A", 5)));
    MarkerSet bad = Markers("W1", "B", 2);
    bad.Records[1].Description = "\xff\xfe not text";
    EXPECT_EQ(0, markers->SaveWellData(bad));
    bad.Records[1].Description = std::string("zero\0byte", 9);
    EXPECT_EQ(0, markers->SaveWellData(bad));
    MarkerSet loaded;
    ASSERT_EQ(1, markers->LoadWellData("W1", loaded));
    EXPECT_TRUE(IsOneVersion(loaded));
    EXPECT_EQ('A', loaded.Records[0].MarkerName[0]);
}

// The calls a host makes most take one round trip each once the connection
// knows the table: no table check and no transaction of their own.
TEST_P(ServerOnlyTest, ExistenceTestsTakeOneRoundTrip) {
    auto markers = Create<IMarkerData>("IMarkerData");
    ASSERT_EQ(1, markers->SaveWellData(Markers("W1", "A", 5)));
    ASSERT_EQ(1, markers->IsWellDataExist("W1"));
    for (const char* well : {"W1", "W2"}) {
        const unsigned long before = strataloom::db::ServerRoundTrips();
        EXPECT_EQ(std::string(well) == "W1" ? 1 : 0, markers->IsWellDataExist(well));
        EXPECT_EQ(1u, strataloom::db::ServerRoundTrips() - before) << well;
    }
}

// A one-row save takes its writers' queue, begins and checks the table in
// one round trip, and deletes, inserts, commits and lets the queue go in a
// second; what it stored is there, once.
TEST_P(ServerOnlyTest, OneRowSavesTakeTwoRoundTrips) {
    auto wells = Create<IBasicWellData>("IBasicWellData");
    auto dictionary = Create<ICurveDictionary>("ICurveDictionary");
    BasicWellRecord well;
    well.WellName = "W1";
    well.Kb = 12.5;
    CurveDictionaryRecord entry;
    entry.CurveName = "GR";
    entry.CurveUnit = "API";
    ASSERT_EQ(1, wells->SaveWell("P", well));  // the connection learns the tables
    ASSERT_EQ(1, dictionary->SaveEntry(entry));
    for (int round = 0; round < 2; ++round) {
        well.Kb += 1.0;
        entry.RightValue = 150.0 + round;
        unsigned long before = strataloom::db::ServerRoundTrips();
        EXPECT_EQ(1, wells->SaveWell("P", well));
        EXPECT_GE(2u, strataloom::db::ServerRoundTrips() - before);
        before = strataloom::db::ServerRoundTrips();
        EXPECT_EQ(1, dictionary->SaveEntry(entry));
        EXPECT_GE(2u, strataloom::db::ServerRoundTrips() - before);
    }
    std::vector<BasicWellRecord> stored;
    ASSERT_EQ(1, wells->LoadProjectWells("P", stored));
    ASSERT_EQ(1u, stored.size());
    EXPECT_EQ(14.5, stored[0].Kb);
    CurveDictionaryRecord loaded;
    ASSERT_EQ(1, dictionary->LoadEntry("GR", loaded));
    EXPECT_EQ(151.0, loaded.RightValue);
    EXPECT_EQ("API", loaded.CurveUnit);
}

// A row the server refuses ends the write at its COMMIT, where the row went
// with it: the save fails whole, with the server's reason, and the version
// before stays.
TEST_P(ServerOnlyTest, ARowRefusedAtTheCommitFailsTheSaveWhole) {
    auto wells = Create<IBasicWellData>("IBasicWellData");
    BasicWellRecord well;
    well.WellName = "W1";
    well.Kb = 1.0;
    ASSERT_EQ(1, wells->SaveWell("P", well));
    PGconn* admin = PQconnectdb(Connect().c_str());
    PQclear(PQexec(admin, "ALTER TABLE w_well_data ADD CONSTRAINT kb_below CHECK (Kb < 100)"));
    PQfinish(admin);
    well.Kb = 200.0;
    EXPECT_EQ(0, wells->SaveWell("P", well));
    EXPECT_NE(std::string::npos, std::string(StrataloomLastError()).find("SQLSTATE 23514"))
        << StrataloomLastError();
    std::vector<BasicWellRecord> stored;
    ASSERT_EQ(1, wells->LoadProjectWells("P", stored));
    ASSERT_EQ(1u, stored.size());
    EXPECT_EQ(1.0, stored[0].Kb);
    well.Kb = 50.0;  // the connection serves the next save as before
    EXPECT_EQ(1, wells->SaveWell("P", well)) << StrataloomLastError();
}

TEST_P(ServerOnlyTest, CreatedDatabaseServesWellsMarkersAndCurves) {
    const std::string name = "strataloom_created_" + std::to_string(::getpid());
    auto projects = Create<IBasicProjectData>("IBasicProjectData");
    ASSERT_EQ(1, projects->CreateSqlServerDatabase(name.c_str(), Connect().c_str()));
    ASSERT_FALSE(Boxes().empty());
    EXPECT_EQ("数据库创建成功结束！", Boxes().back().text);
    EXPECT_EQ(0, projects->CreateSqlServerDatabase(name.c_str(), Connect().c_str()));
    {
        const std::string created = testsupport::WithDatabase(Connect(), name);
        CDataFactory factory;
        std::unique_ptr<IBasicWellData> wells(
            dynamic_cast<IBasicWellData*>(factory.CreateObject("IBasicWellData")));
        std::unique_ptr<IMarkerData> markers(
            dynamic_cast<IMarkerData*>(factory.CreateObject("IMarkerData")));
        std::unique_ptr<ILogData> logs(dynamic_cast<ILogData*>(factory.CreateObject("ILogData")));
        for (IDataBase* object :
             {static_cast<IDataBase*>(wells.get()), static_cast<IDataBase*>(markers.get()),
              static_cast<IDataBase*>(logs.get())}) {
            object->SetConnectString(created.c_str());
        }
        BasicWellRecord well;
        well.WellName = "W1";
        EXPECT_EQ(1, wells->SaveWell("P", well));
        EXPECT_EQ(1, markers->SaveWellData(Markers("W1", "A", 5)));
        EXPECT_EQ(1, logs->SaveCurves(Curves("W1", 3.0, 100)));
        NameList names;
        EXPECT_EQ(1, markers->GetWellNamesWithData("P", names));
        EXPECT_EQ(NameList{"W1"}, names);
        LogCurveSet curves;
        EXPECT_EQ(1, logs->LoadWellData("W1", curves));
        EXPECT_EQ(3u, curves.Records.size());
    }
    strataloom::db::ReleaseIdleConnections();
    EXPECT_TRUE(testsupport::RunOnServer("DROP DATABASE " + name + " WITH (FORCE)"));
}

INSTANTIATE_TEST_SUITE_P(Engines, ServerOnlyTest, ::testing::Values(testsupport::Engine::Server),
                         testsupport::EngineName);

}  // namespace
