// Project files of older builds whose tables lack the columns a load may do
// without: the load still succeeds with every column that is there.
#include "dbaccess/connectionregistry.h"
#include "strataloom/icsdata.h"
#include "strataloom/iearthshockbodydata.h"
#include "support/projectdb.h"

namespace {

using testsupport::ProjectDbTest;

class OptionalColumnsTest : public ProjectDbTest {
  protected:
    // Takes the columns out of the table, as an older project file has it.
    void DropColumns(const std::string& table, const std::vector<std::string>& columns) {
        for (const std::string& column : columns) {
            Exec("alter table " + table + " drop column " + column);
        }
        // No statement prepared against the fuller table is used again.
        strataloom::db::ReleaseIdleConnections();
    }
};

TEST_P(OptionalColumnsTest, MapLinesLoadWithoutTypeDepthsAndTurnPoints) {
    auto lines = Create<ICSData>("ICSData");
    CSRecord line;
    line.MarkerName = "T1";
    line.CSName = "fault";
    line.CSType = '3';
    line.Xcoor = {1.0, 2.0, 3.0};
    line.Ycoor = {4.0, 5.0, 6.0};
    line.Depth = {7.0, 8.0, 9.0};
    line.TurnPoint1 = 1;
    line.TurnPoint2 = 2;
    ASSERT_EQ(1, lines->SaveCS(line));
    DropColumns("b_cs_data", {"CSType", "Depth", "TurnPoint1", "TurnPoint2"});

    CSRecord loaded;
    loaded.Depth = {-1.0};
    ASSERT_EQ(1, lines->LoadCS("T1", "fault", loaded));
    EXPECT_EQ("fault", loaded.CSName);
    EXPECT_EQ(line.Xcoor, loaded.Xcoor);
    EXPECT_EQ(line.Ycoor, loaded.Ycoor);
    EXPECT_EQ('0', loaded.CSType);
    EXPECT_EQ(std::vector<double>{-1.0}, loaded.Depth);
    EXPECT_EQ(0, loaded.TurnPoint1);
    EXPECT_EQ(0, loaded.TurnPoint2);
}

TEST_P(OptionalColumnsTest, SeismicBodyLoadsWithoutItsMapCoordinates) {
    auto body = Create<IEarthShockBodyData>("IEarthShockBodyData");
    std::vector<EarthShockBodyRecord> points(3);
    for (int i = 0; i < 3; ++i) {
        points[i].LineNumber = 100 + i;
        points[i].CDPNumber = 200 + i;
        points[i].X = 1.5f + i;
        points[i].Y = 2.5f + i;
    }
    ASSERT_EQ(1, body->SaveBodyPoints(points));
    DropColumns("b_earthshockbody_data", {"X"});

    std::vector<EarthShockBodyRecord> loaded;
    ASSERT_EQ(1, body->LoadBodyPoints(loaded));
    ASSERT_EQ(3u, loaded.size());
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(100 + i, loaded[i].LineNumber);
        EXPECT_EQ(200 + i, loaded[i].CDPNumber);
        EXPECT_EQ(0.0f, loaded[i].X);
        EXPECT_EQ(2.5f + i, loaded[i].Y);
    }
}

STRATALOOM_ENGINES(OptionalColumnsTest);

}  // namespace
