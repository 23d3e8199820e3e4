// 3D seismic survey grids against a real project database.
#include <algorithm>

#include "strataloom/ilinegrid3ddata.h"
#include "support/projectdb.h"
#include "support/statementlog.h"

namespace {

using testsupport::ProjectDbTest;
using testsupport::StatementLog;

// Every value of the grid its own, so a column read into the wrong field shows.
LineGrid3DRecord Grid(const std::string& name, int seed = 1) {
    LineGrid3DRecord grid;
    grid.LineGrid3DName = name;
    grid.LineNo1 = 100 * seed + 1;
    grid.CDPNo1 = 100 * seed + 2;
    grid.Xcoor1 = 20500000.25 + seed;
    grid.Ycoor1 = 4400000.5 + seed;
    grid.LineNo2 = 100 * seed + 3;
    grid.CDPNo2 = 100 * seed + 4;
    grid.Xcoor2 = 20501000.125 + seed;
    grid.Ycoor2 = 4400100.0625 + seed;
    grid.LineNo3 = 100 * seed + 5;
    grid.CDPNo3 = 100 * seed + 6;
    grid.Xcoor3 = 20502000.0 + seed + 1e-7;
    grid.Ycoor3 = 4400200.0 + seed - 1e-7;
    return grid;
}

void ExpectSameGrid(const LineGrid3DRecord& e, const LineGrid3DRecord& a) {
    EXPECT_EQ(e.LineGrid3DName, a.LineGrid3DName);
    EXPECT_EQ((std::vector<int>{e.LineNo1, e.CDPNo1, e.LineNo2, e.CDPNo2, e.LineNo3, e.CDPNo3}),
              (std::vector<int>{a.LineNo1, a.CDPNo1, a.LineNo2, a.CDPNo2, a.LineNo3, a.CDPNo3}));
    EXPECT_EQ((std::vector<double>{e.Xcoor1, e.Ycoor1, e.Xcoor2, e.Ycoor2, e.Xcoor3, e.Ycoor3}),
              (std::vector<double>{a.Xcoor1, a.Ycoor1, a.Xcoor2, a.Ycoor2, a.Xcoor3, a.Ycoor3}));
}

class LineGrid3DDataTest : public ProjectDbTest {
  protected:
    void SetUp() override {
        ProjectDbTest::SetUp();
        grids = Create<ILineGrid3DData>("ILineGrid3DData");
        ASSERT_TRUE(grids);
    }
    std::vector<std::string> BoxTexts() {
        std::vector<std::string> texts;
        for (const testsupport::Box& box : Boxes()) texts.push_back(box.text);
        return texts;
    }
    std::unique_ptr<ILineGrid3DData> grids;
};

TEST_P(LineGrid3DDataTest, SaveReplacesTheGridAndEveryValueRoundTrips) {
    ASSERT_EQ(1, grids->SaveGridData(Grid("G1", 1)));
    ASSERT_EQ(1, grids->SaveGridData(Grid("G2", 2)));
    ASSERT_EQ(1, grids->SaveGridData(Grid("G1", 3)));
    EXPECT_EQ(2, Count("s_linegrid3d_data"));
    LineGrid3DRecord loaded;
    ASSERT_EQ(1, grids->LoadGridData("G1", loaded));
    ExpectSameGrid(Grid("G1", 3), loaded);

    LineGrid3DRecord kept = Grid("keep", 7);
    EXPECT_EQ(0, grids->LoadGridData("G9", kept));
    ExpectSameGrid(Grid("keep", 7), kept);

    std::vector<LineGrid3DRecord> all;
    ASSERT_EQ(1, grids->LoadAllGridsData(all));
    ASSERT_EQ(2u, all.size());
    std::sort(all.begin(), all.end(), [](const LineGrid3DRecord& a, const LineGrid3DRecord& b) {
        return a.LineGrid3DName < b.LineGrid3DName;
    });
    ExpectSameGrid(Grid("G1", 3), all[0]);
    ExpectSameGrid(Grid("G2", 2), all[1]);

    // A new record stores zeros, not whatever memory held.
    LineGrid3DRecord fresh;
    fresh.LineGrid3DName = "Fresh";
    ASSERT_EQ(1, grids->SaveGridData(fresh));
    EXPECT_EQ(1, Count("s_linegrid3d_data where LineGrid3DName='Fresh' and LineNo3=0 and "
                       "Ycoor3=0"));
}

TEST_P(LineGrid3DDataTest, ExistenceIsAnsweredFromTheGridRegister) {
    ASSERT_EQ(1, grids->SaveGridData(Grid("Stored")));
    EXPECT_EQ(0, grids->IsGridDataExist("Stored"));
    Exec("insert into b_LineGrid3D_data (LineGrid3DName) values ('Registered')");
    EXPECT_EQ(1, grids->IsGridDataExist("Registered"));
    Exec("insert into b_LineGrid3D_data (LineGrid3DName) values ('Stored')");
    EXPECT_EQ(1, grids->IsGridDataExist("Stored"));
    ASSERT_EQ(1, grids->DeleteGridData("Stored"));
    EXPECT_EQ(1, grids->IsGridDataExist("Stored"));
    EXPECT_EQ(0, Count("s_linegrid3d_data"));
    EXPECT_EQ(0, grids->IsGridDataExist("Other"));
}

TEST_P(LineGrid3DDataTest, ListSaveAndDeletesReachEveryNamedGrid) {
    ASSERT_EQ(1, grids->SaveGridsData("P", {Grid("G1"), Grid("G2"), Grid("G3"), Grid("G4")}));
    ASSERT_EQ(1, grids->SaveGridsData("P", {Grid("G2", 5), Grid("G5", 5)}));
    EXPECT_EQ(5, Count("s_linegrid3d_data"));
    LineGrid3DRecord g2;
    ASSERT_EQ(1, grids->LoadGridData("G2", g2));
    ExpectSameGrid(Grid("G2", 5), g2);

    NameList stored;
    ASSERT_EQ(1, grids->GetGridsWithData({Grid("G5"), Grid("G9"), Grid("G1")}, stored));
    std::sort(stored.begin(), stored.end());
    EXPECT_EQ((NameList{"G1", "G5"}), stored);

    ASSERT_EQ(1, grids->DeleteGridsData("P", {"G1", "G2", "G3"}));
    NameList names;
    ASSERT_EQ(1, grids->GetGridNames(names));
    std::sort(names.begin(), names.end());
    EXPECT_EQ((NameList{"G4", "G5"}), names);
    ASSERT_EQ(1, grids->DeleteAllGridsData("AnyProject"));
    EXPECT_EQ(0, Count("s_linegrid3d_data"));
    EXPECT_TRUE(Boxes().empty());
}

TEST_P(LineGrid3DDataTest, RefusalsAndFailedSavesAreTold) {
    ASSERT_EQ(1, grids->SaveGridData(Grid("G1", 1)));
    RefuseInsertsWhere("s_linegrid3d_data", "LineGrid3DName", "bad");
    StatementLog log;
    EXPECT_EQ(0, grids->SaveGridData(Grid("", 2)));
    EXPECT_EQ(0, grids->SaveGridsData("", {Grid("G1", 2)}));
    EXPECT_EQ(0, grids->DeleteGridData(""));
    EXPECT_EQ(0, grids->DeleteGridsData("", {"G1"}));
    EXPECT_EQ(0, grids->DeleteAllGridsData(nullptr));
    EXPECT_TRUE(log.texts.empty());
    EXPECT_EQ(0, grids->SaveGridData(Grid("bad")));
    EXPECT_EQ(0, grids->SaveGridsData("P", {Grid("G1", 4), Grid("bad")}));
    const std::vector<std::string> expected{"三维地震测网数据名称不能为空！",
                                            "工区名称不能为空！",
                                            "LineGrid3D区域名不能为空！",
                                            "工区名称不能为空！",
                                            "工区名称不能为空！",
                                            "保存数据库出错！"};
    EXPECT_EQ(expected, BoxTexts());
    LineGrid3DRecord g1;
    ASSERT_EQ(1, grids->LoadGridData("G1", g1));
    ExpectSameGrid(Grid("G1", 1), g1);
    EXPECT_EQ(1, Count("s_linegrid3d_data"));

    Capture().Clear();
    Exec("drop table s_linegrid3d_data");
    EXPECT_EQ(0, grids->SaveGridData(Grid("G1")));
    EXPECT_EQ(std::vector<std::string>{"三维地震测网数据表为空！"}, BoxTexts());
    EXPECT_EQ(0, grids->IsGridDataExist("G1"));
}

TEST_P(LineGrid3DDataTest, EveryStatementKeepsItsText) {
    StatementLog log;
    NameList names;
    LineGrid3DRecord one;
    std::vector<LineGrid3DRecord> all;
    grids->GetGridNames(names);
    grids->LoadGridData("G1", one);
    grids->LoadAllGridsData(all);
    grids->IsGridDataExist("G1");
    grids->GetGridsWithData({Grid("G1"), Grid("G2")}, names);
    grids->SaveGridData(Grid("G1"));
    grids->SaveGridsData("P", {Grid("G1"), Grid("G2")});
    grids->DeleteGridData("G1");
    grids->DeleteGridsData("P", {"G1", "G2", "G3"});
    grids->DeleteAllGridsData("P");
    const std::vector<std::string> expected{
        "select LineGrid3DName from s_linegrid3d_data",
        "select * from s_linegrid3d_data where LineGrid3DName='G1'",
        "select * from s_linegrid3d_data ",
        "s_linegrid3d_data",
        "select LineGrid3DName from b_LineGrid3D_data where LineGrid3DName='G1'",
        "s_linegrid3d_data",
        "select LineGrid3DName from  s_linegrid3d_data where LineGrid3DName in ('G1','G2')",
        "s_linegrid3d_data",
        "delete from s_linegrid3d_data where LineGrid3DName='G1'",
        "SaveData s_linegrid3d_data 1",
        "s_linegrid3d_data",
        "s_linegrid3d_data",
        "delete from  s_linegrid3d_data where LineGrid3DName in ('G1','G2')",
        "SaveData s_linegrid3d_data 2",
        "s_linegrid3d_data",
        "delete from s_linegrid3d_data where LineGrid3DName='G1'",
        "s_linegrid3d_data",
        "delete from  s_linegrid3d_data where LineGrid3DName in ('G1','G2','G3')",
        "s_linegrid3d_data",
        "delete from  s_linegrid3d_data",
    };
    EXPECT_EQ(expected, log.texts);
}

STRATALOOM_ENGINES(LineGrid3DDataTest);

}  // namespace
