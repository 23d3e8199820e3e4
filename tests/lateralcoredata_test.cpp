// Sidewall cores: what a well's load does to the caller's set.
#include "strataloom/ilateralcoredata.h"
#include "support/projectdb.h"

namespace {

using testsupport::ProjectDbTest;

LateralCoreRecord Sample(const std::string& name, double depth) {
    LateralCoreRecord record;
    record.LateralCoreName = name;
    record.Depth = depth;
    record.Color = -7;
    return record;
}

class LateralCoreDataTest : public ProjectDbTest {
  protected:
    void SetUp() override {
        ProjectDbTest::SetUp();
        cores = Create<ILateralCoreData>("ILateralCoreData");
        ASSERT_TRUE(cores);
    }
    std::unique_ptr<ILateralCoreData> cores;
};

TEST_P(LateralCoreDataTest, WellLoadAppendsBehindTheCallersRecordsAndLeavesTheSetWithoutRows) {
    LateralCoreSet stored;
    stored.WellName = "A";
    stored.Records = {Sample("s1", 1520.5), Sample("s2", 1498.25)};
    ASSERT_EQ(1, cores->SaveWellData(stored));

    LateralCoreSet set;
    set.WellName = "keep";
    set.Records = {Sample("mine", 1.0)};
    EXPECT_EQ(0, cores->LoadWellData("B", set));
    EXPECT_EQ("keep", set.WellName);
    ASSERT_EQ(1u, set.Records.size());

    // Samples come as stored: no order by depth.
    ASSERT_EQ(1, cores->LoadWellData("A", set));
    EXPECT_EQ("A", set.WellName);
    ASSERT_EQ(3u, set.Records.size());
    EXPECT_EQ("mine", set.Records[0].LateralCoreName);
    EXPECT_EQ("s1", set.Records[1].LateralCoreName);
    EXPECT_EQ(1520.5, set.Records[1].Depth);
    EXPECT_EQ(-7, set.Records[1].Color);
    EXPECT_EQ("s2", set.Records[2].LateralCoreName);
}

STRATALOOM_ENGINES(LateralCoreDataTest);

}  // namespace
