// Small-layer markers against a real project database.
#include <algorithm>

#include "strataloom/ismallmarkerdata.h"
#include "support/projectdb.h"

namespace {

using testsupport::ProjectDbTest;

SmallMarkerRecord Layer(const std::string& name, float top) {
    SmallMarkerRecord record;
    record.SmallMarkerName = name;
    record.TopDepth = top;
    record.BottomDepth = top + 2.5f;
    return record;
}

SmallMarkerSet Layers(const std::string& well, std::vector<SmallMarkerRecord> records) {
    SmallMarkerSet set;
    set.WellName = well;
    set.Records = std::move(records);
    return set;
}

class SmallMarkerDataTest : public ProjectDbTest {
  protected:
    void SetUp() override {
        ProjectDbTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        layers = Create<ISmallMarkerData>("ISmallMarkerData");
        ASSERT_TRUE(layers);
    }
    void AddWell(const std::string& project, const std::string& well) {
        Exec("insert into w_well_data (ProjectName, WellName) values ('" + project + "', '" + well +
             "')");
    }
    std::unique_ptr<ISmallMarkerData> layers;
};

TEST_P(SmallMarkerDataTest, NumbersComeBackAtSinglePrecision) {
    SmallMarkerRecord record = Layer("s", 1234.5f);
    const double precise = 1234.56789012345;
    record.BottomDepth = static_cast<float>(precise);
    record.SandHeight = 0.1f;
    record.SandEffTop = -3.25e-7f;
    record.SandEffHeight1 = 16777217.0f;  // rounds to the nearest float on the way in
    record.SandEffHeight2 = 3.4e38f;
    ASSERT_EQ(1, layers->SaveWellData(Layers("W", {record})));
    SmallMarkerSet set;
    ASSERT_EQ(1, layers->LoadWellData("W", set));
    ASSERT_EQ(1u, set.Records.size());
    const SmallMarkerRecord& loaded = set.Records[0];
    EXPECT_EQ(1234.5f, loaded.TopDepth);
    EXPECT_EQ(static_cast<float>(precise), loaded.BottomDepth);
    EXPECT_NE(precise, static_cast<double>(loaded.BottomDepth));
    EXPECT_EQ(0.1f, loaded.SandHeight);
    EXPECT_EQ(-3.25e-7f, loaded.SandEffTop);
    EXPECT_EQ(16777216.0f, loaded.SandEffHeight1);
    EXPECT_EQ(3.4e38f, loaded.SandEffHeight2);
}

TEST_P(SmallMarkerDataTest, ProjectLoadTakesTheProjectsWellsWithLayersInNameOrder) {
    AddWell("P1", "B");
    AddWell("P1", "A");
    AddWell("P1", "C");
    AddWell("P2", "D");
    ASSERT_EQ(1, layers->SaveWellData(Layers("B", {Layer("b", 1.0f)})));
    ASSERT_EQ(1, layers->SaveWellData(Layers("A", {Layer("a1", 1.0f), Layer("a2", 2.0f)})));
    ASSERT_EQ(1, layers->SaveWellData(Layers("D", {Layer("d", 1.0f)})));

    std::vector<SmallMarkerSet> sets(1);
    ASSERT_EQ(1, layers->LoadProjectData("P1", sets));
    ASSERT_EQ(3u, sets.size());
    EXPECT_EQ("A", sets[1].WellName);
    EXPECT_EQ(2u, sets[1].Records.size());
    EXPECT_EQ("B", sets[2].WellName);
    // A project without such wells loads nothing and is no failure.
    EXPECT_EQ(1, layers->LoadProjectData("none", sets));
    EXPECT_EQ(3u, sets.size());
    // A table that cannot be read is a failure, not a project without layers.
    Exec("drop table w_smallmarker_data");
    EXPECT_EQ(0, layers->LoadProjectData("none", sets));
    EXPECT_EQ(3u, sets.size());
}

TEST_P(SmallMarkerDataTest, LayerNamesOfAProjectAreGatedByItsWells) {
    ASSERT_EQ(1, layers->SaveWellData(Layers("A", {Layer("s1", 1.0f), Layer("s1", 2.0f)})));
    ASSERT_EQ(1, layers->SaveWellData(Layers("Loose", {Layer("s2", 1.0f)})));
    NameList names;
    EXPECT_EQ(0, layers->GetSmallMarkerNames("P1", names));
    EXPECT_TRUE(names.empty());

    AddWell("P1", "A");
    ASSERT_EQ(1, layers->GetSmallMarkerNames("P1", names));
    std::sort(names.begin(), names.end());
    EXPECT_EQ((NameList{"s1", "s2"}), names);
    NameList wellNames;
    ASSERT_EQ(1, layers->GetWellSmallMarkerNames("A", wellNames));
    EXPECT_EQ((NameList{"s1", "s1"}), wellNames);
}

TEST_P(SmallMarkerDataTest, MultiWellSaveIsAllOrNothing) {
    ASSERT_EQ(1, layers->SaveWellsData(
                     "", {Layers("A", {Layer("a", 1.0f)}), Layers("B", {Layer("b", 1.0f)})}));
    EXPECT_EQ(0, layers->SaveWellsData("", {}));
    EXPECT_EQ(0, layers->DeleteWellsData({}));
    EXPECT_EQ(2, Count("w_smallmarker_data"));

    RefuseInsertsWhere("w_smallmarker_data", "SmallMarkerName", "bad");
    EXPECT_EQ(0, layers->SaveWellsData(
                     "", {Layers("A", {Layer("new", 1.0f)}), Layers("B", {Layer("bad", 1.0f)})}));
    EXPECT_EQ(1, Count("w_smallmarker_data where WellName='A' and SmallMarkerName='a'"));
    EXPECT_EQ(1, Count("w_smallmarker_data where WellName='B' and SmallMarkerName='b'"));

    // Sets without records clear their wells.
    ASSERT_EQ(1, layers->SaveWellsData("", {Layers("A", {}), Layers("B", {})}));
    EXPECT_EQ(0, Count("w_smallmarker_data"));
}

STRATALOOM_ENGINES(SmallMarkerDataTest);

}  // namespace
