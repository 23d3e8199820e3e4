// The database session against real project databases.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <thread>

#include "dbaccess/connection.h"
#include "dbaccess/connectionregistry.h"
#include "dbaccess/dbwritescope.h"
#include "dbaccess/dialect.h"
#include "dbaccess/failure.h"
#include "dbaccess/readscope.h"
#include "dbaccess/sqltext.h"
#include "strataloom/imarkerdata.h"
#include "support/projectdb.h"
#include "support/statementlog.h"

namespace {

// A table opened whole, for adding rows.
constexpr auto WholeTable = &strataloom::db::Statement::WholeTable;

using strataloom::db::AdaptStatement;
using testsupport::ProjectDbTest;

class SessionTest : public ProjectDbTest {
  protected:
    void InsertMarker(const char* well, const char* marker, double top) {
        Exec(std::string("insert into w_marker_data (WellName, MarkerName, TopDepth) values ('") +
             well + "', '" + marker + "', " + std::to_string(top) + ")");
    }
};

TEST_P(SessionTest, GetDataResultsAreRowsNoRowOrFailed) {
    InsertMarker("W1", "M1", 100.0);
    CDbManage session(Connect().c_str());
    EXPECT_EQ(0, session.GetDataFromDB("select * from w_marker_data"));
    EXPECT_EQ(1, session.GetDataFromDB("select * from w_marker_data where WellName='none'"));
    EXPECT_EQ(2, session.GetDataFromDB("select * from no_such_table"));
    EXPECT_EQ(2, session.GetDataFromDB("selec broken"));
    EXPECT_EQ(0, session.GetDataFromDB(WholeTable("w_marker_data")));
    EXPECT_EQ(1, session.GetDataFromDB(WholeTable("w_well_data")));
    EXPECT_EQ(2, session.GetDataFromDB(WholeTable("no_such_table")));
}

// A statement whose values do not match the engine's markers (here one hides
// in a comment) fails with the reason on every engine, and a delete so
// built removes nothing.
TEST_P(SessionTest, ValuesThatDoNotMatchTheMarkersFailTheStatement) {
    using strataloom::db::Statement;
    InsertMarker("W1", "M1", 100.0);
    InsertMarker("W2", "M2", 200.0);
    const Statement hidden =
        "delete from w_marker_data -- where WellName=" + Statement::Value("W1") +
        "\n where WellName=" + Statement::Value("W2");
    ASSERT_EQ(2u, hidden.Values().size());
    {
        CDbManage session(Connect().c_str());
        EXPECT_FALSE(session.ExecuteSQL(hidden));
        EXPECT_NE(std::string::npos,
                  strataloom::db::LastFailure().find("delete from w_marker_data"))
            << strataloom::db::LastFailure();
        const Statement select =
            "select * from w_marker_data -- WellName=" + Statement::Value("W1") + "\n";
        EXPECT_EQ(CDbManage::kFailed, session.GetDataFromDB(select));
    }
    EXPECT_EQ("2", QueryText("select count(*) as c from w_marker_data"));
}

TEST_P(SessionTest, CursorStandsOnTheFirstRowAndReadWalksEveryRow) {
    for (int i = 0; i < 3; ++i) InsertMarker("W1", ("M" + std::to_string(i)).c_str(), i * 10.0);
    CDbManage session(Connect().c_str());
    ASSERT_EQ(0, session.GetDataFromDB("select * from w_marker_data order by TopDepth"));
    EXPECT_EQ(3, session.GetRecordCount());
    std::string name;
    ASSERT_TRUE(session.GetFieldValue("MarkerName", name));
    EXPECT_EQ("M0", name);
    std::vector<std::string> seen;
    while (session.Read()) {
        ASSERT_TRUE(session.GetFieldValue("markername", name));
        seen.push_back(name);
    }
    EXPECT_EQ((std::vector<std::string>{"M0", "M1", "M2"}), seen);
    EXPECT_FALSE(session.GetFieldValue("MarkerName", name));
    EXPECT_FALSE(session.Read());
}

TEST_P(SessionTest, ColumnsMatchWithoutRegardToCaseAndUnknownColumnsFail) {
    InsertMarker("W1", "M1", 12.5);
    CDbManage session(Connect().c_str());
    ASSERT_EQ(0,
              session.GetDataFromDB("select WellName as AliasName, TopDepth from w_marker_data"));
    std::string text;
    double depth = 0;
    EXPECT_TRUE(session.GetFieldValue("aliasname", text));
    EXPECT_EQ("W1", text);
    EXPECT_TRUE(session.GetFieldValue("TOPDEPTH", depth));
    EXPECT_EQ(12.5, depth);
    EXPECT_FALSE(session.GetFieldValue("WellName", text));
}

// Fields located for a list of names are kept per kind of result: a result
// whose columns stand elsewhere (another statement, the table made anew)
// finds them where they are now, and a name asked for through a buffer that
// holds another name by now is the new name.
TEST_P(SessionTest, FieldsFollowTheColumnsOfEachResult) {
    InsertMarker("W1", "M1", 12.5);
    static const std::vector<const char*> names{"MarkerName", "TopDepth", "NoSuch"};
    const auto read = [&](const char* query, std::vector<int> expected) {
        CDbManage session(Connect().c_str());
        ASSERT_EQ(0, session.GetDataFromDB(query)) << query;
        const std::vector<CDbManage::Field>& fields = session.LocateAll(names);
        ASSERT_EQ(3u, fields.size());
        for (std::size_t i = 0; i < expected.size(); ++i) {
            EXPECT_EQ(expected[i], fields[i].index) << query << ": " << names[i];
        }
        EXPECT_EQ(-1, fields[2].index);
        std::string marker;
        double depth = 0;
        EXPECT_TRUE(session.GetFieldValue(fields[0], marker));
        EXPECT_TRUE(session.GetFieldValue(fields[1], depth));
        EXPECT_FALSE(session.GetFieldValue(fields[2], marker));
        EXPECT_EQ("M1", marker);
        EXPECT_EQ(12.5, depth);
    };
    read("select MarkerName, TopDepth from w_marker_data", {0, 1, -1});
    read("select TopDepth, WellName, MarkerName from w_marker_data", {2, 0, -1});
    read("select MarkerName, TopDepth from w_marker_data", {0, 1, -1});
    read("select * from w_marker_data", {});  // where the schema has them
    {
        CDbManage session(Connect().c_str());
        ASSERT_EQ(0, session.GetDataFromDB("select * from w_marker_data"));
        char name[16] = "MarkerName";
        std::string text;
        EXPECT_TRUE(session.GetFieldValue(name, text));
        EXPECT_EQ("M1", text);
        std::snprintf(name, sizeof name, "WellName");
        EXPECT_TRUE(session.GetFieldValue(name, text));
        EXPECT_EQ("W1", text);
    }
    // A table made anew under a kept statement: the project file prepares it
    // again, "*" now standing for other columns. (The server refuses such a
    // statement with a reason of its own.)
    if (OnServer()) return;
    Exec("drop table w_marker_data");
    Exec(
        "create table w_marker_data (TopDepth float, WellName varchar(64), MarkerName "
        "varchar(64))");
    InsertMarker("W1", "M1", 12.5);
    read("select MarkerName, TopDepth from w_marker_data", {0, 1, -1});
    read("select * from w_marker_data", {2, 0, -1});
}

TEST_P(SessionTest, ValuesConvertBetweenOverloads) {
    CDbManage writer(Connect().c_str());
    ASSERT_NE(2, writer.GetDataFromDB(WholeTable("w_well_data")));
    writer.AddNew();
    writer.SetFieldValue("WellName", "W1");
    writer.SetFieldValue("WellFlag", 'Y');
    writer.SetFieldValue("WellSymbol", 42);
    writer.SetFieldValue("Kb", 1.5f);
    writer.SetFieldValue("WellDepth", 3000.125);
    ASSERT_TRUE(writer.SaveData());

    CDbManage session(Connect().c_str());
    ASSERT_EQ(0, session.GetDataFromDB("select * from w_well_data"));
    char flag = 0;
    int symbol = 0;
    float kb = 0;
    double depth = 0;
    std::string symbolText, missing = "x";
    int nullNumber = 7;
    EXPECT_TRUE(session.GetFieldValue("WellFlag", flag));
    EXPECT_EQ('Y', flag);
    EXPECT_TRUE(session.GetFieldValue("WellSymbol", symbol));
    EXPECT_EQ(42, symbol);
    EXPECT_TRUE(session.GetFieldValue("WellSymbol", symbolText));
    EXPECT_EQ("42", symbolText);
    EXPECT_TRUE(session.GetFieldValue("Kb", kb));
    EXPECT_EQ(1.5f, kb);
    EXPECT_TRUE(session.GetFieldValue("WellDepth", depth));
    EXPECT_EQ(3000.125, depth);
    EXPECT_TRUE(session.GetFieldValue("WellType", missing));
    EXPECT_EQ("", missing);
    EXPECT_TRUE(session.GetFieldValue("Ekb", nullNumber));
    EXPECT_EQ(0, nullNumber);
    EXPECT_EQ(1, Count("w_well_data where WellFlag in ('X','Y')"));
}

TEST_P(SessionTest, ZeroCharacterIsStoredOnEveryEngineAndReadsBackAsZero) {
    CDbManage writer(Connect().c_str());
    ASSERT_NE(2, writer.GetDataFromDB(WholeTable("w_well_data")));
    writer.AddNew();
    writer.SetFieldValue("WellName", "W1");
    writer.SetFieldValue("WellFlag", '\0');
    ASSERT_TRUE(writer.SaveData());
    CDbManage session(Connect().c_str());
    ASSERT_EQ(0, session.GetDataFromDB("select * from w_well_data"));
    char flag = 'x';
    EXPECT_TRUE(session.GetFieldValue("WellFlag", flag));
    EXPECT_EQ('\0', flag);
}

TEST_P(SessionTest, SaveDataStoresEveryPendingRowOrNone) {
    CDbManage session(Connect().c_str());
    EXPECT_TRUE(session.SaveData());  // nothing pending
    ASSERT_EQ(1, session.GetDataFromDB(WholeTable("w_marker_data")));
    for (int i = 0; i < 5; ++i) {
        session.AddNew();
        session.SetFieldValue("WellName", "W1");
        session.SetFieldValue("MarkerName", ("M" + std::to_string(i)).c_str());
        if (i % 2) session.SetFieldValue("TopDepth", i * 1.0);  // two column sets
    }
    ASSERT_TRUE(session.SaveData());
    EXPECT_EQ(5, Count("w_marker_data"));
    EXPECT_EQ(2, Count("w_marker_data where TopDepth is not null"));

    session.AddNew();
    session.SetFieldValue("WellName", "W2");
    session.AddNew();
    session.SetFieldValue("NoSuchColumn", "x");
    EXPECT_FALSE(session.SaveData());
    EXPECT_EQ(5, Count("w_marker_data"));

    RefuseInsertsWhere("w_marker_data", "MarkerName", "bad");
    for (const char* name : {"ok1", "bad", "ok2"}) {
        session.AddNew();
        session.SetFieldValue("MarkerName", name);
    }
    EXPECT_FALSE(session.SaveData());
    EXPECT_EQ(5, Count("w_marker_data"));
}

// A save whose rows go to the table as they are added: they land with the
// write that commits them, and a refused row, a failing row or another
// session's statement run between the rows fails that write with every row
// in it. The saving session's own statement runs after the row before it.
TEST_P(SessionTest, RowsStoredAsAddedLandOnlyWithTheWriteThatCommits) {
    const auto saveMarkers = [&](const char* well, const std::function<void(CDbManage&)>& rows) {
        DbWriteScope scope(Connect());
        EXPECT_TRUE(scope.Active());
        CDbManage session(Connect().c_str());
        EXPECT_NE(CDbManage::kFailed, session.GetDataFromDB(WholeTable("w_marker_data")));
        session.StoreRowsAsAdded();
        for (int i = 0; i < 3; ++i) {
            session.AddNew();
            session.SetFieldValue("WellName", well);
            session.SetFieldValue("MarkerName", "M" + std::to_string(i));
            session.SetFieldValue("TopDepth", 100.0 + i);
        }
        rows(session);
        return session.SaveData() && scope.Commit();
    };
    EXPECT_TRUE(saveMarkers("W1", [](CDbManage&) {}));
    EXPECT_EQ(3, Count("w_marker_data where WellName='W1'"));
    EXPECT_EQ(1, Count("w_marker_data where WellName='W1' and TopDepth=102"));

    EXPECT_FALSE(saveMarkers("W2", [](CDbManage& session) {
        session.AddNew();
        session.SetFieldValue("MarkerName", std::string("zero\0byte", 9));
    }));
    RefuseInsertsWhere("w_marker_data", "MarkerName", "bad");
    EXPECT_FALSE(saveMarkers("W3", [](CDbManage& session) {
        session.AddNew();
        session.SetFieldValue("MarkerName", "bad");
        session.AddNew();
        session.SetFieldValue("MarkerName", "after");
    }));
    EXPECT_FALSE(saveMarkers("W4", [&](CDbManage&) {
        CDbManage other(Connect().c_str());
        EXPECT_FALSE(other.ExecuteSQL("delete from w_well_data"));
    }));
    EXPECT_EQ(3, Count("w_marker_data"));
    // The delete finds the row made before it, and not the one made after.
    EXPECT_TRUE(saveMarkers("W5", [](CDbManage& session) {
        session.AddNew();
        session.SetFieldValue("WellName", "W5");
        session.SetFieldValue("MarkerName", "gone");
        EXPECT_TRUE(
            session.ExecuteSQL("delete from w_marker_data where MarkerName='gone' or "
                               "MarkerName='M2'"));
        session.AddNew();
        session.SetFieldValue("WellName", "W5");
        session.SetFieldValue("MarkerName", "kept");
    }));
    EXPECT_EQ(3, Count("w_marker_data where WellName='W5'"));
    EXPECT_EQ(0, Count("w_marker_data where MarkerName='gone'"));
    EXPECT_EQ(1, Count("w_marker_data where MarkerName='kept'"));
}

TEST_P(SessionTest, AddNewWithoutAnOpenTableFailsTheSave) {
    CDbManage session(Connect().c_str());
    session.AddNew();
    session.SetFieldValue("WellName", "W1");
    EXPECT_FALSE(session.SaveData());
}

TEST_P(SessionTest, ExecuteSqlKeepsTheOpenResultSet) {
    InsertMarker("W1", "M1", 1.0);
    InsertMarker("W2", "M2", 2.0);
    CDbManage session(Connect().c_str());
    ASSERT_EQ(0, session.GetDataFromDB("select * from w_marker_data order by WellName"));
    EXPECT_TRUE(session.ExecuteSQL("delete from w_marker_data"));
    EXPECT_FALSE(session.ExecuteSQL("delete from no_such_table"));
    int rows = 0;
    while (session.Read()) ++rows;
    EXPECT_EQ(2, rows);
    EXPECT_EQ(0, Count("w_marker_data"));
}

TEST_P(SessionTest, DialectOfTheHostApplicationRunsOnTheEngine) {
    InsertMarker("W1", "M1", 1.0);
    InsertMarker("W1", "M1", 1.0);
    InsertMarker("W2", "M2", 2.0);
    CDbManage session(Connect().c_str());
    ASSERT_EQ(0, session.GetDataFromDB("select all distinct MarkerName from w_marker_data"));
    EXPECT_EQ(2, session.GetRecordCount());
    EXPECT_EQ(1, session.GetDataFromDB("select * from w_marker_data where WellName in ()"));
    EXPECT_EQ(1, session.GetDataFromDB("select * from w_marker_data where WellName in (  )"));
    EXPECT_TRUE(session.ExecuteSQL("delete from w_marker_data where WellName in ()"));
    EXPECT_EQ(3, Count("w_marker_data"));
    EXPECT_TRUE(session.ExecuteSQL("delete * from w_marker_data where WellName='W1'"));
    EXPECT_EQ(1, Count("w_marker_data"));
}

TEST(DialectTest, RewritesOnlyOutsideQuotedText) {
    EXPECT_EQ("delete from t", AdaptStatement("delete * from t"));
    EXPECT_EQ("DELETE FROM t", AdaptStatement("DELETE  *\tFROM t"));
    EXPECT_EQ("select distinct a from t", AdaptStatement("select all distinct a from t"));
    EXPECT_EQ("select * from t where a in (NULL)", AdaptStatement("select * from t where a in ()"));
    EXPECT_EQ("x in (NULL) and y in ('a')", AdaptStatement("x in (  ) and y in ('a')"));
    for (const char* unchanged :
         {"select * from t where a='delete * from t'", "select * from t where a='in ()'",
          "select \"in ()\" from t", "select * from t where main () ", "select all a from t",
          "select * from t where a='it''s in ()'"}) {
        EXPECT_EQ(unchanged, AdaptStatement(unchanged));
    }
}

TEST(SqlTextTest, QuotesAreDoubledAndNullIsEmpty) {
    EXPECT_EQ("O''Brien''s", strataloom::SqlText("O'Brien's"));
    EXPECT_EQ("", strataloom::SqlText(static_cast<const char*>(nullptr)));
    EXPECT_EQ("100%s", strataloom::SqlText(std::string("100%s")));
}

TEST_P(SessionTest, MissingDatabaseIsNeverCreated) {
    const std::string missing = Connect() + "-absent.mdb";
    CDbManage session(missing.c_str());
    EXPECT_EQ(2, session.GetDataFromDB("select 1"));
    EXPECT_EQ(2, session.GetDataFromDB(WholeTable("w_well_data")));
    EXPECT_FALSE(session.ExecuteSQL("delete from w_well_data"));
    session.AddNew();
    EXPECT_FALSE(session.SaveData());
    EXPECT_FALSE(std::filesystem::exists(missing));
    if (!OnServer()) {
        CDbManage prefixed(("sqlite:" + Connect()).c_str());
        EXPECT_EQ(1, prefixed.GetDataFromDB(WholeTable("w_well_data")));
    }
    CDbManage server("postgresql://localhost/none");
    EXPECT_EQ(2, server.GetDataFromDB("select 1"));
}

TEST_P(SessionTest, NestedSessionsShareOneConnectionAndSeeEachOthersWrites) {
    InsertMarker("W1", "M1", 1.0);
    CDbManage outer(Connect().c_str());
    ASSERT_EQ(0, outer.GetDataFromDB(WholeTable("w_marker_data")));
    {
        CDbManage inner(Connect().c_str());
        ASSERT_EQ(0, inner.GetDataFromDB("select * from w_marker_data"));
        EXPECT_TRUE(inner.ExecuteSQL("delete from w_marker_data where WellName='W1'"));
    }
    outer.AddNew();
    outer.SetFieldValue("WellName", "W1");
    outer.SetFieldValue("MarkerName", "M2");
    EXPECT_TRUE(outer.SaveData());
    EXPECT_EQ("M2", QueryText("select MarkerName as c from w_marker_data"));
}

TEST_P(SessionTest, StatementTraceRecordsTheTextsAsBuilt) {
    testsupport::StatementLog trace;
    {
        CDbManage session(Connect().c_str());
        session.GetDataFromDB(WholeTable("w_marker_data"));
        session.ExecuteSQL("delete * from w_marker_data");
        session.AddNew();
        session.SetFieldValue("WellName", "W1");
        session.SaveData();
    }
    EXPECT_EQ((std::vector<std::string>{"w_marker_data", "delete * from w_marker_data",
                                        "SaveData w_marker_data 1"}),
              trace.texts);
}

// The trace file is whatever the environment names when an operation starts:
// a host may name one, name another or remove it between operations.
TEST_P(SessionTest, TraceFollowsTheEnvironmentBetweenOperations) {
    auto markers = Create<IMarkerData>("IMarkerData");
    ASSERT_TRUE(markers);
    const std::string first = (Dir() / "first.log").string();
    const std::string second = (Dir() / "second.log").string();
    const auto contents = [](const std::string& path) {
        std::ifstream file(path);
        return std::string(std::istreambuf_iterator<char>(file), {});
    };
    markers->IsWellDataExist("W0");
    ::setenv("STRATALOOM_SQL_TRACE", first.c_str(), 1);
    markers->IsWellDataExist("W1");
    ::setenv("STRATALOOM_SQL_TRACE", second.c_str(), 1);
    markers->IsWellDataExist("W2");
    ::setenv("STRATALOOM_SQL_TRACE_OTHER", "x", 1);  // the list of variables grows
    ::unsetenv("STRATALOOM_SQL_TRACE");
    markers->IsWellDataExist("W3");
    ::setenv("STRATALOOM_SQL_TRACE", first.c_str(), 1);
    markers->IsWellDataExist("W4");
    ::unsetenv("STRATALOOM_SQL_TRACE");
    ::unsetenv("STRATALOOM_SQL_TRACE_OTHER");
    markers->IsWellDataExist("W5");
    const std::string one = contents(first);
    const std::string two = contents(second);
    EXPECT_NE(std::string::npos, one.find("'W1'")) << one;
    EXPECT_NE(std::string::npos, one.find("'W4'")) << one;
    EXPECT_NE(std::string::npos, two.find("'W2'")) << two;
    for (const char* absent : {"'W0'", "'W3'", "'W5'"}) {
        EXPECT_EQ(std::string::npos, (one + two).find(absent)) << absent;
    }
    EXPECT_EQ(std::string::npos, one.find("'W2'"));
    EXPECT_EQ(std::string::npos, two.find("'W1'"));
}

// A read of one statement is a snapshot by itself and needs no transaction;
// inside an outer read it still joins the outer snapshot.
TEST_P(SessionTest, OneStatementReadBeginsATransactionOnlyInsideAnOuterRead) {
    InsertMarker("W1", "M1", 100.0);
    const auto connection = strataloom::db::AcquireConnection(Connect());
    ASSERT_TRUE(connection);
    {
        DbReadScope one(ReadStatements::One);
        CDbManage session(Connect().c_str());
        ASSERT_EQ(0, session.GetDataFromDB("select * from w_marker_data"));
        EXPECT_FALSE(connection->Reading());
    }
    {
        DbReadScope outer;
        DbReadScope one(ReadStatements::One);
        CDbManage session(Connect().c_str());
        ASSERT_EQ(0, session.GetDataFromDB("select * from w_marker_data"));
        EXPECT_TRUE(connection->Reading());
    }
    EXPECT_FALSE(connection->Reading());
}

TEST_P(SessionTest, WritersInTwoThreadsBothLand) {
    auto writeRows = [this](const char* well) {
        for (int i = 0; i < 20; ++i) {
            CDbManage session(Connect().c_str());
            ASSERT_NE(2, session.GetDataFromDB(WholeTable("w_marker_data")));
            session.AddNew();
            session.SetFieldValue("WellName", well);
            ASSERT_TRUE(session.SaveData());
        }
    };
    std::thread first(writeRows, "A");
    std::thread second(writeRows, "B");
    first.join();
    second.join();
    EXPECT_EQ(40, Count("w_marker_data"));
}

STRATALOOM_ENGINES(SessionTest);

}  // namespace
