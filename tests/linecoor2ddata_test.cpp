// 2D seismic line coordinates against a real project database.
#include <algorithm>

#include "strataloom/ilinecoor2ddata.h"
#include "support/projectdb.h"
#include "support/statementlog.h"

namespace {

using testsupport::ProjectDbTest;
using testsupport::StatementLog;

LineCoor2DRecord Point(const std::string& line, int cdp) {
    LineCoor2DRecord point;
    point.LineName = line;
    point.CDP = "CDP" + std::to_string(cdp);
    point.XCoor = 20500000.125 + cdp;
    point.YCoor = 4400000.5 - cdp;
    point.Elevation = 12.75 + 1e-9 * cdp;
    return point;
}

std::vector<LineCoor2DRecord> Points(const std::string& line, int count, int first = 1) {
    std::vector<LineCoor2DRecord> points;
    for (int cdp = first; cdp < first + count; ++cdp) points.push_back(Point(line, cdp));
    return points;
}

void ExpectSamePoint(const LineCoor2DRecord& expected, const LineCoor2DRecord& actual) {
    EXPECT_EQ(expected.LineName, actual.LineName);
    EXPECT_EQ(expected.CDP, actual.CDP);
    EXPECT_EQ(expected.XCoor, actual.XCoor);
    EXPECT_EQ(expected.YCoor, actual.YCoor);
    EXPECT_EQ(expected.Elevation, actual.Elevation);
}

class LineCoor2DDataTest : public ProjectDbTest {
  protected:
    void SetUp() override {
        ProjectDbTest::SetUp();
        lines = Create<ILineCoor2DData>("ILineCoor2DData");
        ASSERT_TRUE(lines);
    }
    std::unique_ptr<ILineCoor2DData> lines;
};

TEST_P(LineCoor2DDataTest, ListSaveReplacesTheLinesItNamesInItsOrder) {
    ASSERT_EQ(1, lines->SaveLinesData("P", Points("L1", 5)));
    ASSERT_EQ(1, lines->SaveLinesData("P", Points("L3", 2)));
    std::vector<LineCoor2DRecord> update = Points("L2", 3);
    for (const LineCoor2DRecord& point : Points("L1", 2, 10)) update.push_back(point);
    ASSERT_EQ(1, lines->SaveLinesData("P", update));
    EXPECT_EQ(7, Count("s_linecoor2d_data"));

    std::vector<LineCoor2DRecord> l1;
    ASSERT_EQ(1, lines->LoadLineData("L1", l1));
    ASSERT_EQ(2u, l1.size());
    ExpectSamePoint(Point("L1", 10), l1[0]);
    ExpectSamePoint(Point("L1", 11), l1[1]);

    NameList stored;
    ASSERT_EQ(1, lines->GetLinesWithData("", {Point("L2", 0), Point("L9", 0)}, stored));
    EXPECT_EQ((NameList{"L2", "L2", "L2"}), stored);
    NameList all;
    ASSERT_EQ(1, lines->GetLineNames("", all));
    std::sort(all.begin(), all.end());
    EXPECT_EQ((NameList{"L1", "L2", "L3"}), all);

    std::vector<LineCoor2DRecord> every;
    ASSERT_EQ(1, lines->LoadAllLinesData("", every));
    EXPECT_EQ(7u, every.size());
}

TEST_P(LineCoor2DDataTest, PointSaveLeavesTheLineAsThatPoint) {
    ASSERT_EQ(1, lines->SaveLinesData("P", Points("L1", 500)));
    ASSERT_EQ(1, lines->SaveLinesData("P", Points("L2", 3)));
    LineCoor2DRecord bare;
    bare.LineName = "L1";
    ASSERT_EQ(1, lines->SaveLinePoint("", bare));
    EXPECT_EQ(1, Count("s_linecoor2d_data where LineName='L1'"));
    EXPECT_EQ(3, Count("s_linecoor2d_data where LineName='L2'"));

    // A point saved with no coordinates keeps the null value.
    LineCoor2DRecord loaded = Point("stale", 9);
    ASSERT_EQ(1, lines->LoadLinePoint("L1", loaded));
    ExpectSamePoint(bare, loaded);
    EXPECT_EQ(-99999.0, loaded.Elevation);

    LineCoor2DRecord kept = Point("keep", 4);
    EXPECT_EQ(0, lines->LoadLinePoint("L9", kept));
    ExpectSamePoint(Point("keep", 4), kept);
    std::vector<LineCoor2DRecord> none(1);
    EXPECT_EQ(0, lines->LoadLineData("L9", none));
    EXPECT_EQ(1u, none.size());
}

TEST_P(LineCoor2DDataTest, DeletesReachTheirRows) {
    ASSERT_EQ(1, lines->SaveLinesData("P", Points("L1", 3)));
    ASSERT_EQ(1, lines->SaveLinesData("P", Points("L2", 3)));
    ASSERT_EQ(1, lines->SaveLinesData("P", Points("L3", 3)));
    ASSERT_EQ(1, lines->SaveLinesData("P", Points("L4", 3)));
    ASSERT_EQ(1, lines->DeleteLineData("P", "L1"));
    EXPECT_EQ(0, lines->IsLineDataExist("", "L1"));
    EXPECT_EQ(1, lines->IsLineDataExist("", "L2"));
    ASSERT_EQ(1, lines->DeleteLinesData("P", {"L2", "L3"}));
    EXPECT_EQ(3, Count("s_linecoor2d_data"));
    EXPECT_EQ(1, lines->DeleteLinesData("P", {}));
    ASSERT_EQ(1, lines->DeleteAllLinesData("Another"));
    EXPECT_EQ(0, Count("s_linecoor2d_data"));
    EXPECT_EQ(1, lines->DeleteLineData("P", "L1"));
}

TEST_P(LineCoor2DDataTest, FailedListSaveKeepsTheOldPoints) {
    ASSERT_EQ(1, lines->SaveLinesData("P", Points("L1", 4)));
    RefuseInsertsWhere("s_linecoor2d_data", "LineName", "bad");
    std::vector<LineCoor2DRecord> update = Points("L1", 2, 20);
    update.push_back(Point("bad", 1));
    EXPECT_EQ(0, lines->SaveLinesData("P", update));
    std::vector<LineCoor2DRecord> l1;
    ASSERT_EQ(1, lines->LoadLineData("L1", l1));
    ASSERT_EQ(4u, l1.size());
    ExpectSamePoint(Point("L1", 1), l1[0]);
    EXPECT_EQ(0, lines->SaveLinePoint("", Point("bad", 1)));
    EXPECT_TRUE(Boxes().empty());
}

TEST_P(LineCoor2DDataTest, EmptyNamesAreRefusedOnceAndChangeNothing) {
    ASSERT_EQ(1, lines->SaveLinesData("P", Points("L1", 2)));
    StatementLog log;
    EXPECT_EQ(0, lines->SaveLinePoint("P", Point("", 1)));
    EXPECT_EQ(0, lines->SaveLinesData("", Points("L1", 1)));
    EXPECT_EQ(0, lines->DeleteLineData("", "L1"));
    EXPECT_EQ(0, lines->DeleteLineData("P", nullptr));
    EXPECT_EQ(0, lines->DeleteLinesData("", {"L1"}));
    EXPECT_EQ(0, lines->DeleteAllLinesData(""));
    EXPECT_TRUE(log.texts.empty());
    std::vector<std::string> texts;
    for (const testsupport::Box& box : Boxes()) texts.push_back(box.text);
    const std::vector<std::string> expected{
        "测线名称不能为空！",           "工区名称不能为空！", "工区名称\\测网名称不能为空！",
        "工区名称\\测网名称不能为空！", "工区名称不能为空！", "工区名称不能为空！"};
    EXPECT_EQ(expected, texts);
    EXPECT_EQ(2, Count("s_linecoor2d_data"));
}

TEST_P(LineCoor2DDataTest, EveryStatementKeepsItsText) {
    StatementLog log;
    NameList names;
    std::vector<LineCoor2DRecord> points;
    LineCoor2DRecord one;
    lines->GetLineNames("", names);
    lines->LoadLineData("L1", points);
    lines->LoadLinePoint("L1", one);
    lines->LoadAllLinesData("", points);
    lines->IsLineDataExist("", "L1");
    lines->SaveLinePoint("", Point("L1", 1));
    lines->GetLinesWithData("", {Point("L1", 1), Point("L1", 2), Point("L2", 1)}, names);
    lines->SaveLinesData("P", {Point("L1", 1), Point("L2", 1)});
    lines->DeleteLineData("P", "L1");
    lines->DeleteLinesData("P", {"a", "b", "c"});
    lines->DeleteAllLinesData("P");
    const std::vector<std::string> expected{
        "select distinct LineName from s_linecoor2d_data",
        "select * from s_linecoor2d_data where LineName='L1'",
        "select * from s_linecoor2d_data where LineName='L1'",
        "select * from s_linecoor2d_data",
        "s_linecoor2d_data",
        "select LineName from  s_linecoor2d_data where LineName='L1'",
        "s_linecoor2d_data",
        "delete from  s_linecoor2d_data where LineName='L1'",
        "SaveData s_linecoor2d_data 1",
        "s_linecoor2d_data",
        "select LineName from  s_linecoor2d_data where LineName in ('L1','L1','L2')",
        // The list save opens its table, then deletes through the object's own delete.
        "s_linecoor2d_data",
        "s_linecoor2d_data",
        "delete from  s_linecoor2d_data where LineName in ('L1','L2')",
        "SaveData s_linecoor2d_data 2",
        "s_linecoor2d_data",
        "delete from s_linecoor2d_data where LineName='L1'",
        "s_linecoor2d_data",
        "delete from  s_linecoor2d_data where LineName in ('a','b','c')",
        "s_linecoor2d_data",
        "delete from  s_linecoor2d_data",
    };
    EXPECT_EQ(expected, log.texts);
}

STRATALOOM_ENGINES(LineCoor2DDataTest);

}  // namespace
