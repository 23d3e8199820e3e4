// Well markers against a real project database.
#include <algorithm>

#include "strataloom/imarkerdata.h"
#include "support/projectdb.h"
#include "support/statementlog.h"

namespace {

using testsupport::ProjectDbTest;
using testsupport::StatementLog;

MarkerRecord Marker(const std::string& name, double top, double bottom = 0.0) {
    MarkerRecord record;
    record.MarkerName = name;
    record.TopDepth = top;
    record.BottomDepth = bottom;
    record.Description = name + " pick";
    return record;
}

MarkerSet Markers(const std::string& well, std::vector<MarkerRecord> records) {
    MarkerSet set;
    set.WellName = well;
    set.Records = std::move(records);
    return set;
}

class MarkerDataTest : public ProjectDbTest {
  protected:
    void SetUp() override {
        ProjectDbTest::SetUp();
        markers = Create<IMarkerData>("IMarkerData");
        ASSERT_TRUE(markers);
    }
    void AddWell(const std::string& project, const std::string& well) {
        Exec("insert into w_well_data (ProjectName, WellName) values ('" + project + "', '" + well +
             "')");
    }
    std::unique_ptr<IMarkerData> markers;
};

TEST_P(MarkerDataTest, WellLoadSortsByTopAndLeavesSetAloneWithoutRows) {
    MarkerSet set = Markers("keep", {Marker("old", 1.0)});
    EXPECT_EQ(0, markers->LoadWellData("W1", set));
    EXPECT_EQ("keep", set.WellName);
    ASSERT_EQ(1u, set.Records.size());

    ASSERT_EQ(1, markers->SaveWellData(
                     Markers("W1", {Marker("deep", 2000.5, 2010.25), Marker("shallow", 100.0)})));
    ASSERT_EQ(1, markers->LoadWellData("W1", set));
    EXPECT_EQ("W1", set.WellName);
    ASSERT_EQ(3u, set.Records.size());
    EXPECT_EQ("old", set.Records[0].MarkerName);
    EXPECT_EQ("shallow", set.Records[1].MarkerName);
    EXPECT_EQ("deep", set.Records[2].MarkerName);
    EXPECT_EQ(2000.5, set.Records[2].TopDepth);
    EXPECT_EQ(2010.25, set.Records[2].BottomDepth);
    EXPECT_EQ("deep pick", set.Records[2].Description);
}

TEST_P(MarkerDataTest, AllWellsLoadGroupsRowsByWell) {
    ASSERT_EQ(1, markers->SaveWellData(Markers("A", {Marker("a2", 20.0), Marker("a1", 10.0)})));
    ASSERT_EQ(1, markers->SaveWellData(Markers("B", {Marker("b1", 5.0)})));
    std::vector<MarkerSet> sets;
    ASSERT_EQ(1, markers->LoadAllWellsData("ignored", sets));
    ASSERT_EQ(2u, sets.size());
    EXPECT_EQ("A", sets[0].WellName);
    ASSERT_EQ(2u, sets[0].Records.size());
    EXPECT_EQ("a1", sets[0].Records[0].MarkerName);
    EXPECT_EQ("a2", sets[0].Records[1].MarkerName);
    EXPECT_EQ("B", sets[1].WellName);
    ASSERT_EQ(1u, sets[1].Records.size());

    // Loading again: A starts a new set after B.
    ASSERT_EQ(1, markers->LoadAllWellsData("", sets));
    ASSERT_EQ(4u, sets.size());
    EXPECT_EQ("A", sets[2].WellName);
    EXPECT_EQ(2u, sets[2].Records.size());

    // A caller's last set of the first row's well takes that well's rows.
    std::vector<MarkerSet> mine{Markers("A", {Marker("mine", 1.0)})};
    ASSERT_EQ(1, markers->LoadAllWellsData("", mine));
    ASSERT_EQ(2u, mine.size());
    EXPECT_EQ(3u, mine[0].Records.size());

    Exec("delete from w_marker_data");
    std::vector<MarkerSet> none;
    EXPECT_EQ(0, markers->LoadAllWellsData("", none));
    EXPECT_TRUE(none.empty());
}

TEST_P(MarkerDataTest, StoredWellsAreListedOncePerRowWithExactInLists) {
    ASSERT_EQ(1, markers->SaveWellData(
                     Markers("A", {Marker("m1", 1.0), Marker("m2", 2.0), Marker("m3", 3.0)})));
    StatementLog log;
    NameList names;
    ASSERT_EQ(1, markers->GetWellsWithData({Markers("A", {}), Markers("C", {})}, names));
    EXPECT_EQ((NameList{"A", "A", "A"}), names);
    EXPECT_TRUE(log.Has("select WellName from  w_marker_data where WellName in ('A','C')"));
    NameList none;
    EXPECT_EQ(0, markers->GetWellsWithData({Markers("C", {})}, none));
    EXPECT_TRUE(none.empty());
    EXPECT_TRUE(log.Has("select WellName from  w_marker_data where WellName in ('C')"));
}

TEST_P(MarkerDataTest, StatementsKeepTheirExactText) {
    StatementLog log;
    NameList names;
    MarkerSet set;
    std::vector<MarkerSet> sets;
    markers->GetWellNamesWithData("P1", names);
    markers->GetMarkerNames("P1", names);
    markers->GetWellMarkerNames("W1", names);
    markers->LoadMarkersByName("P1", "M1", sets);
    markers->LoadWellData("W1", set);
    markers->IsWellDataExist("W1");
    markers->DeleteWellData("W1");
    markers->DeleteWellsData(NameList{"W1"});
    markers->DeleteProjectData("P1");
    markers->SaveWellData(Markers("W1", {Marker("M1", 1.0)}));
    markers->SaveWellsData("", {Markers("W1", {Marker("M1", 1.0)})});
    const std::vector<std::string> expected{
        "select w_well_data.wellname from w_well_data where w_well_data.ProjectName = 'P1' and "
        "exists( select w_marker_data.wellname from w_marker_data where w_well_data.wellname = "
        "w_marker_data.wellname )  order by w_well_data.wellname ",
        "select distinct w_marker_data.MarkerName from w_marker_data where exists( select "
        "w_well_data.wellname from w_well_data where w_well_data.ProjectName = 'P1' )",
        "select MarkerName from w_marker_data where WellName='W1'",
        "select distinct * from w_marker_data where w_marker_data.MarkerName = 'M1'and exists( "
        "select w_well_data.wellname from w_well_data where w_well_data.ProjectName = 'P1' )",
        "select * from w_marker_data where WellName='W1' order by TopDepth",
        "w_marker_data",
        "select * from  w_marker_data where WellName='W1'",
        "w_marker_data",
        "delete from  w_marker_data where WellName='W1'",
        "w_marker_data",
        "delete from  w_marker_data where WellName in ('W1')",
        "w_marker_data",
        "delete from w_marker_data where exists( select w_well_data.wellname from w_well_data "
        "where w_well_data.wellname = w_marker_data.wellname and  w_well_data.ProjectName = "
        "'P1' )",
        "w_marker_data",
        "delete from  w_marker_data where WellName='W1'",
        "SaveData w_marker_data 1",
        // The multi-well save checks the table before its delete runs.
        "w_marker_data",
        "w_marker_data",
        "delete from  w_marker_data where WellName in ('W1')",
        "SaveData w_marker_data 1",
    };
    EXPECT_EQ(expected, log.texts);
}

TEST_P(MarkerDataTest, ProjectGatesMarkerNamesAndPicksByName) {
    ASSERT_EQ(1, markers->SaveWellData(Markers("A", {Marker("top", 1.0), Marker("top", 9.0)})));
    ASSERT_EQ(1, markers->SaveWellData(Markers("B", {Marker("base", 2.0)})));
    NameList names;
    std::vector<MarkerSet> sets;
    EXPECT_EQ(0, markers->GetMarkerNames("Empty", names));
    EXPECT_EQ(0, markers->LoadMarkersByName("Empty", "top", sets));
    EXPECT_TRUE(names.empty());
    EXPECT_TRUE(sets.empty());

    AddWell("P1", "A");
    ASSERT_EQ(1, markers->GetMarkerNames("P1", names));
    std::sort(names.begin(), names.end());
    EXPECT_EQ((NameList{"base", "top"}), names);
    ASSERT_EQ(1, markers->LoadMarkersByName("P1", "top", sets));
    ASSERT_EQ(2u, sets.size());
    for (const MarkerSet& set : sets) {
        EXPECT_EQ("A", set.WellName);
        ASSERT_EQ(1u, set.Records.size());
        EXPECT_EQ("top", set.Records[0].MarkerName);
    }
    NameList wellMarkers;
    ASSERT_EQ(1, markers->GetWellMarkerNames("A", wellMarkers));
    EXPECT_EQ((NameList{"top", "top"}), wellMarkers);
}

TEST_P(MarkerDataTest, MultiWellSaveAndDeleteEdgeCases) {
    ASSERT_EQ(1, markers->SaveWellData(Markers("A", {Marker("m", 1.0)})));
    EXPECT_EQ(0, markers->SaveWellsData("", {}));
    EXPECT_EQ(0, markers->DeleteWellsData(NameList{}));
    EXPECT_EQ(1, Count("w_marker_data"));

    // Sets without records clear their wells.
    EXPECT_EQ(1, markers->SaveWellsData("", {Markers("A", {}), Markers("B", {})}));
    EXPECT_EQ(0, Count("w_marker_data"));
    EXPECT_EQ(0, markers->IsWellDataExist("A"));

    ASSERT_EQ(1, markers->SaveWellsData(
                     "", {Markers("A", {Marker("a", 1.0)}), Markers("B", {Marker("b", 2.0)})}));
    EXPECT_EQ(1, markers->IsWellDataExist("B"));
    EXPECT_EQ(1, markers->DeleteWellsData(NameList{"A", "B"}));
    EXPECT_EQ(0, Count("w_marker_data"));
}

TEST_P(MarkerDataTest, FailedInsertKeepsTheReplacedRows) {
    ASSERT_EQ(1, markers->SaveWellsData(
                     "", {Markers("A", {Marker("a", 1.0)}), Markers("B", {Marker("b", 2.0)})}));
    RefuseInsertsWhere("w_marker_data", "MarkerName", "bad");
    EXPECT_EQ(0, markers->SaveWellData(Markers("A", {Marker("new", 5.0), Marker("bad", 6.0)})));
    EXPECT_EQ(0, markers->SaveWellsData(
                     "", {Markers("A", {Marker("new", 5.0)}), Markers("B", {Marker("bad", 6.0)})}));
    EXPECT_EQ(2, Count("w_marker_data"));
    EXPECT_EQ(1, Count("w_marker_data where WellName='A' and MarkerName='a'"));
    EXPECT_EQ(1, Count("w_marker_data where WellName='B' and MarkerName='b'"));
}

TEST_P(MarkerDataTest, ProjectDeleteLeavesOtherProjectsRows) {
    AddWell("P1", "A");
    AddWell("P1", "B");
    AddWell("P2", "C");
    for (const char* well : {"A", "B", "C", "Loose"}) {
        ASSERT_EQ(1, markers->SaveWellData(Markers(well, {Marker("m", 1.0), Marker("n", 2.0)})));
    }
    NameList wells;
    ASSERT_EQ(1, markers->GetWellNamesWithData("P1", wells));
    EXPECT_EQ((NameList{"A", "B"}), wells);
    EXPECT_EQ(1, markers->DeleteProjectData("P1"));
    EXPECT_EQ(0, Count("w_marker_data where WellName in ('A','B')"));
    EXPECT_EQ(2, Count("w_marker_data where WellName='C'"));
    EXPECT_EQ(2, Count("w_marker_data where WellName='Loose'"));
}

TEST_P(MarkerDataTest, EmptyNamesAreRefusedBeforeAnyStatement) {
    ASSERT_EQ(1, markers->SaveWellData(Markers("A", {Marker("m", 1.0)})));
    StatementLog log;
    EXPECT_EQ(0, markers->IsWellDataExist(""));
    EXPECT_EQ(0, markers->SaveWellData(Markers("", {Marker("m", 1.0)})));
    EXPECT_EQ(0, markers->DeleteWellData(nullptr));
    EXPECT_EQ(0, markers->DeleteProjectData(""));
    EXPECT_TRUE(log.texts.empty());
    ASSERT_EQ(4u, Boxes().size());
    EXPECT_EQ("井名称不能为空！", Boxes()[0].text);
    EXPECT_EQ("井名称不能为空！", Boxes()[1].text);
    EXPECT_EQ("井名称不能为空！", Boxes()[2].text);
    EXPECT_EQ("工区名称不能为空！", Boxes()[3].text);
    EXPECT_EQ(unsigned(MB_OK), Boxes()[3].type);
    EXPECT_EQ(1, Count("w_marker_data"));
}

TEST_P(MarkerDataTest, QuotedNamesRoundTrip) {
    const std::string odd = "O'Hara's well";
    ASSERT_EQ(1, markers->SaveWellData(Markers(odd, {Marker("it's", 1.0)})));
    MarkerSet set;
    ASSERT_EQ(1, markers->LoadWellData(odd.c_str(), set));
    EXPECT_EQ(odd, set.WellName);
    EXPECT_EQ("it's", set.Records.at(0).MarkerName);
    EXPECT_EQ(1, markers->DeleteWellsData(NameList{odd}));
    EXPECT_EQ(0, Count("w_marker_data"));
}

STRATALOOM_ENGINES(MarkerDataTest);

}  // namespace
