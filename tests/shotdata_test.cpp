// Perforations: their dates and 32-bit columns, and the order of a well's load.
#include <cmath>
#include <limits>

#include "strataloom/ishotdata.h"
#include "support/projectdb.h"

namespace {

using testsupport::ProjectDbTest;

ShotRecord Shot(const std::string& date, double top) {
    ShotRecord record;
    record.ShotDate = date;
    record.TopDepth = top;
    record.BottomDepth = top + 2.5;
    record.Method = "method at " + std::to_string(top);
    return record;
}

ShotSet Shots(const std::string& well, std::vector<ShotRecord> records) {
    ShotSet set;
    set.WellName = well;
    set.Records = std::move(records);
    return set;
}

class ShotDataTest : public ProjectDbTest {
  protected:
    void SetUp() override {
        ProjectDbTest::SetUp();
        shots = Create<IShotData>("IShotData");
        ASSERT_TRUE(shots);
    }
    std::unique_ptr<IShotData> shots;
};

TEST_P(ShotDataTest, EmptyDateIsLeftUnsetByTheWellSaveAndWrittenByTheMultiWellSave) {
    ASSERT_EQ(1, shots->SaveWellData(Shots("A", {Shot("", 10.0), Shot("2021-05-06", 20.0)})));
    EXPECT_EQ(1, Count("w_shot_data where WellName='A' and ShotDate is null"));
    EXPECT_EQ(1, Count("w_shot_data where WellName='A' and ShotDate='2021-05-06'"));

    ASSERT_EQ(1, shots->SaveWellsData("", {Shots("B", {Shot("", 10.0), Shot("1999", 20.0)})}));
    EXPECT_EQ(1, Count("w_shot_data where WellName='B' and ShotDate=''"));
    EXPECT_EQ(0, Count("w_shot_data where WellName='B' and ShotDate is null"));

    // Either way an empty date reads back as the empty text.
    for (const char* well : {"A", "B"}) {
        ShotSet set;
        ASSERT_EQ(1, shots->LoadWellData(well, set)) << well;
        ASSERT_EQ(2u, set.Records.size()) << well;
        EXPECT_EQ("", set.Records[0].ShotDate) << well;
        EXPECT_EQ("method at 10.000000", set.Records[0].Method) << well;
        EXPECT_FALSE(set.Records[1].ShotDate.empty()) << well;
    }
}

TEST_P(ShotDataTest, WellLoadSortsByTopDepthAndKeepsEveryBitOfTheFloatColumns) {
    // Floats a short decimal form would not bring back.
    const float rates[] = {std::nextafter(1.0f, 2.0f), 0.1f, std::numeric_limits<float>::lowest()};
    const float wjymd[] = {std::numeric_limits<float>::denorm_min(), -16777215.0f,
                           std::numeric_limits<float>::max()};
    std::vector<ShotRecord> records{Shot("c", 300.0), Shot("a", 100.0), Shot("b", 200.0)};
    for (std::size_t i = 0; i < records.size(); ++i) {
        records[i].ShotRate = rates[i];
        records[i].WJYMD = wjymd[i];
    }
    ASSERT_EQ(1, shots->SaveWellData(Shots("A", records)));

    ShotSet set;
    ASSERT_EQ(1, shots->LoadWellData("A", set));
    ASSERT_EQ(3u, set.Records.size());
    EXPECT_EQ("a", set.Records[0].ShotDate);
    EXPECT_EQ("b", set.Records[1].ShotDate);
    EXPECT_EQ("c", set.Records[2].ShotDate);
    EXPECT_EQ(rates[1], set.Records[0].ShotRate);
    EXPECT_EQ(wjymd[1], set.Records[0].WJYMD);
    EXPECT_EQ(rates[2], set.Records[1].ShotRate);
    EXPECT_EQ(wjymd[2], set.Records[1].WJYMD);
    EXPECT_EQ(rates[0], set.Records[2].ShotRate);
    EXPECT_EQ(wjymd[0], set.Records[2].WJYMD);
}

STRATALOOM_ENGINES(ShotDataTest);

}  // namespace
