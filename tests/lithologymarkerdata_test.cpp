// Lithology markers against a real project database.
#include "strataloom/ilithologymarkerdata.h"
#include "support/projectdb.h"

namespace {

using testsupport::ProjectDbTest;

LithMarkerRecord Interval(const std::string& name, float top) {
    LithMarkerRecord record;
    record.LithMarkerName = name;
    record.TopDepth = top;
    record.BottomDepth = top + 1.5f;
    record.LithName = "sandstone";
    return record;
}

LithMarkerSet Intervals(const std::string& well, std::vector<LithMarkerRecord> records) {
    LithMarkerSet set;
    set.WellName = well;
    set.Records = std::move(records);
    return set;
}

class LithologyMarkerDataTest : public ProjectDbTest {
  protected:
    void SetUp() override {
        ProjectDbTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        liths = Create<ILithologyMarkerData>("ILithologyMarkerData");
        ASSERT_TRUE(liths);
    }
    void AddWell(const std::string& project, const std::string& well) {
        Exec("insert into w_well_data (ProjectName, WellName) values ('" + project + "', '" + well +
             "')");
    }
    std::unique_ptr<ILithologyMarkerData> liths;
};

TEST_P(LithologyMarkerDataTest, WellLoadSortsByTopAtSinglePrecision) {
    const double precise = 2345.678901234;
    ASSERT_EQ(1, liths->SaveWellData(Intervals("W", {Interval("deep", static_cast<float>(precise)),
                                                     Interval("top", 1234.5f)})));
    LithMarkerSet set;
    ASSERT_EQ(1, liths->LoadWellData("W", set));
    ASSERT_EQ(2u, set.Records.size());
    EXPECT_EQ("top", set.Records[0].LithMarkerName);
    EXPECT_EQ(1234.5f, set.Records[0].TopDepth);
    EXPECT_EQ(1236.0f, set.Records[0].BottomDepth);
    EXPECT_EQ(static_cast<float>(precise), set.Records[1].TopDepth);
    EXPECT_EQ("sandstone", set.Records[1].LithName);
}

TEST_P(LithologyMarkerDataTest, ProjectLoadStopsAtTheFirstWellWithoutIntervals) {
    AddWell("P1", "A");
    AddWell("P1", "B");
    AddWell("P1", "C");
    for (const char* well : {"A", "B", "C"}) {
        ASSERT_EQ(1, liths->SaveWellData(Intervals(well, {Interval(well, 1.0f)})));
    }
    std::vector<LithMarkerSet> sets;
    ASSERT_EQ(1, liths->LoadProjectData("P1", sets));
    ASSERT_EQ(3u, sets.size());
    EXPECT_EQ("A", sets[0].WellName);
    EXPECT_EQ("B", sets[1].WellName);
    EXPECT_EQ("C", sets[2].WellName);

    ASSERT_EQ(1, liths->DeleteWellData("B"));
    sets.clear();
    EXPECT_EQ(0, liths->LoadProjectData("P1", sets));
    ASSERT_EQ(1u, sets.size());
    EXPECT_EQ("A", sets[0].WellName);
    EXPECT_EQ(0, liths->LoadProjectData("none", sets));
    EXPECT_EQ(1, liths->LoadWellsData({}, sets));
    EXPECT_EQ(1u, sets.size());
}

TEST_P(LithologyMarkerDataTest, EmptyNamesAndListsAreTakenAsTheyCome) {
    Exec("insert into w_lith_marker_data (WellName, LithMarkerName) values ('', 'nameless')");
    ASSERT_EQ(1, liths->SaveWellData(Intervals("A", {Interval("a", 1.0f)})));
    EXPECT_EQ(1, liths->IsWellDataExist(""));
    EXPECT_EQ(1, liths->SaveWellsData({}));
    EXPECT_EQ(1, liths->DeleteWellsData({}));
    EXPECT_EQ(2, Count("w_lith_marker_data"));
    EXPECT_EQ(1, liths->DeleteProjectData(""));
    EXPECT_EQ(1, liths->DeleteWellData(nullptr));
    EXPECT_EQ(0, liths->IsWellDataExist(""));
    EXPECT_EQ(1, Count("w_lith_marker_data"));
    EXPECT_TRUE(Boxes().empty());
}

TEST_P(LithologyMarkerDataTest, ProjectSaveReplacesItsWellsAllOrNothing) {
    ASSERT_EQ(1, liths->SaveWellData(Intervals("A", {Interval("a", 1.0f)})));
    ASSERT_EQ(1, liths->SaveWellData(Intervals("B", {Interval("b", 1.0f)})));
    ASSERT_EQ(1, liths->SaveWellData(Intervals("C", {Interval("c", 1.0f)})));

    RefuseInsertsWhere("w_lith_marker_data", "LithMarkerName", "bad");
    EXPECT_EQ(0, liths->SaveProjectData("", {Intervals("A", {Interval("new", 1.0f)}),
                                             Intervals("B", {Interval("bad", 1.0f)})}));
    EXPECT_EQ(0,
              liths->SaveWellsData({Intervals("A", {}), Intervals("B", {Interval("bad", 1.0f)})}));
    EXPECT_EQ(3, Count("w_lith_marker_data"));
    EXPECT_EQ(1, Count("w_lith_marker_data where WellName='A' and LithMarkerName='a'"));

    ASSERT_EQ(
        1, liths->SaveProjectData("", {Intervals("A", {Interval("a1", 1.0f), Interval("a2", 2.0f)}),
                                       Intervals("B", {})}));
    EXPECT_EQ(2, Count("w_lith_marker_data where WellName='A'"));
    EXPECT_EQ(0, liths->IsWellDataExist("B"));
    EXPECT_EQ(1, liths->IsWellDataExist("C"));
}

STRATALOOM_ENGINES(LithologyMarkerDataTest);

}  // namespace
