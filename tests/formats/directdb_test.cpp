// The formats library's raw connection on each engine: opened to read it
// changes nothing, a missing project file is not made, rows arrive as typed
// cells with every byte, a table streamed out and into another arrives
// whole, and failures name the database and the statement.
#include "formats/directdb.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "support/projectdb.h"

namespace {

using strataloom::formats::CellKind;
using strataloom::formats::DbColumn;
using strataloom::formats::DbRow;
using strataloom::formats::DbTable;
using strataloom::formats::DirectConnection;
using Access = DirectConnection::Access;

bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

class DirectDbTest : public testsupport::ProjectDbTest {
  protected:
    std::unique_ptr<DirectConnection> Open(Access access) {
        std::string reason;
        auto db = DirectConnection::Open(Connect(), access, reason);
        EXPECT_TRUE(db) << reason;
        return db;
    }

    // The columns of table as the connection describes them.
    std::vector<DbColumn> Columns(DirectConnection& db, const std::string& table) {
        std::vector<DbTable> tables;
        EXPECT_TRUE(db.Tables(tables)) << db.Failure();
        for (const DbTable& found : tables) {
            if (found.name == table) return found.columns;
        }
        ADD_FAILURE() << "no table " << table;
        return {};
    }
};

TEST_P(DirectDbTest, ReadingChangesNothingAndFailuresNameDatabaseAndStatement) {
    auto db = Open(Access::kRead);
    ASSERT_TRUE(db);
    const std::string insert = "INSERT INTO b_project_data (ProjectName) VALUES (?)";
    EXPECT_FALSE(db->Run(insert, {"P"}));
    EXPECT_TRUE(Has(db->Failure(), "[" + db->Name() + "] in: " + insert)) << db->Failure();
    EXPECT_EQ(0, Count("b_project_data"));
    // A computed number is a number, whatever type the engine gives it.
    double average = 0;
    ASSERT_TRUE(db->Each("SELECT avg(x) FROM (SELECT 2 AS x UNION ALL SELECT 3) AS t", {},
                         [&average](const DbRow& row) {
                             average = row[0].Number();
                             return true;
                         }))
        << db->Failure();
    EXPECT_EQ(2.5, average);

    if (!OnServer()) {
        const std::string absent = (Dir() / "absent.mdb").string();
        std::string reason;
        EXPECT_FALSE(DirectConnection::Open(absent, Access::kWrite, reason));
        EXPECT_EQ("there is no project file " + absent, reason);
        EXPECT_FALSE(std::filesystem::exists(absent));
    }
}

TEST_P(DirectDbTest, CellsAreTypedWithEveryByteAndTablesStreamWhole) {
    const std::string bytes = OnServer() ? "decode('00ff0041', 'hex')" : "X'00ff0041'";
    Exec(
        "INSERT INTO w_log_data (WellName, CurveName, NullValue, CurveValue) VALUES ('Ö 1', "
        "'GR', 'NaN', " +
        bytes + ")");
    Exec("INSERT INTO w_log_data (WellName, CurveName, NullValue) VALUES ('W2', 'RT', -999.25)");
    auto db = Open(Access::kWrite);
    ASSERT_TRUE(db);
    std::vector<DbColumn> columns;
    for (const DbColumn& column : Columns(*db, "w_log_data")) {
        if (column.name == "WellName" || column.name == "wellname" || column.name == "NullValue" ||
            column.name == "nullvalue" || column.name == "CurveValue" ||
            column.name == "curvevalue") {
            columns.push_back(column);
        }
    }
    ASSERT_EQ(3u, columns.size());

    std::vector<std::string> seen;
    const auto note = [&seen](const DbRow& row) {
        std::string text = row[0].Text() + "|";
        if (row[1].kind == CellKind::kReal) {
            text += std::isnan(row[1].real) ? "NaN" : row[1].Text();
        }
        text += "|" + std::string(row[2].kind == CellKind::kBytes ? "bytes " : "") +
                std::to_string(row[2].size) + (row[2].IsNull() ? " null" : "");
        if (row[2].size == 4) text += row[2].data[3] == 'A' && row[2].data[0] == 0 ? " ok" : " bad";
        seen.push_back(text);
        return true;
    };
    // The same cells through a statement and through the table's stream.
    ASSERT_TRUE(db->Each("SELECT WellName, NullValue, CurveValue FROM w_log_data ORDER BY WellName",
                         {}, note))
        << db->Failure();
    const std::vector<std::string> expected = {"W2|-999.25|0 null", "Ö 1|NaN|bytes 4 ok"};
    std::sort(seen.begin(), seen.end());
    EXPECT_EQ(expected, seen);
    seen.clear();
    ASSERT_TRUE(db->ReadTable("w_log_data", columns, note)) << db->Failure();
    std::sort(seen.begin(), seen.end());
    EXPECT_EQ(expected, seen);

    // Streamed into another table of the same columns, in one transaction.
    ASSERT_TRUE(db->Run("CREATE TABLE copied (WellName TEXT, NullValue " +
                        std::string(OnServer() ? "DOUBLE PRECISION" : "REAL") + ", CurveValue " +
                        (OnServer() ? "BYTEA" : "BLOB") + ")"))
        << db->Failure();
    std::vector<DbColumn> target = Columns(*db, "copied");
    ASSERT_TRUE(db->BeginFilling()) << db->Failure();
    ASSERT_TRUE(db->StartTable("copied", target)) << db->Failure();
    // A second connection reads while this one writes, as a copy does.
    auto source = Open(Access::kRead);
    ASSERT_TRUE(source);
    ASSERT_TRUE(source->ReadTable("w_log_data", columns,
                                  [&db](const DbRow& row) { return db->WriteRow(row); }))
        << source->Failure() << db->Failure();
    ASSERT_TRUE(db->FinishTable()) << db->Failure();
    ASSERT_TRUE(db->Commit()) << db->Failure();
    seen.clear();
    ASSERT_TRUE(db->ReadTable("copied", target, note)) << db->Failure();
    std::sort(seen.begin(), seen.end());
    EXPECT_EQ(expected, seen);
}

STRATALOOM_ENGINES(DirectDbTest);

}  // namespace
