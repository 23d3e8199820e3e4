// Oil tests against a real project database: what is their own beside the
// family suite, the dates kept as text and the 32-bit numbers.
#include <cfloat>
#include <climits>

#include "strataloom/ioiltestdata.h"
#include "support/projectdb.h"

namespace {

using testsupport::ProjectDbTest;

class OilTestDataTest : public ProjectDbTest {
  protected:
    void SetUp() override {
        ProjectDbTest::SetUp();
        tests = Create<IOilTestData>("IOilTestData");
        ASSERT_TRUE(tests);
    }
    // Saves the records for well W and loads them back.
    std::vector<OilTestRecord> RoundTrip(std::vector<OilTestRecord> records) {
        OilTestSet set;
        set.WellName = "W";
        set.Records = std::move(records);
        EXPECT_EQ(1, tests->SaveWellData(set));
        OilTestSet loaded;
        EXPECT_EQ(1, tests->LoadWellData("W", loaded));
        return loaded.Records;
    }
    std::unique_ptr<IOilTestData> tests;
};

TEST_P(OilTestDataTest, DatesAreTextInAndOut) {
    const std::vector<std::pair<std::string, std::string>> dates{
        {"2003-07-15", "2003-07-20 16:45:00"},
        {"15/07/2003", "2003年7月20日"},
        {"", "unknown"},
    };
    std::vector<OilTestRecord> records(dates.size());
    for (std::size_t i = 0; i < dates.size(); ++i) {
        records[i].BeginDate = dates[i].first;
        records[i].FinishDate = dates[i].second;
        records[i].XH = std::to_string(i);
    }
    const std::vector<OilTestRecord> loaded = RoundTrip(records);
    ASSERT_EQ(dates.size(), loaded.size());
    for (const OilTestRecord& record : loaded) {
        const auto& date = dates.at(std::stoul(record.XH));
        EXPECT_EQ(date.first, record.BeginDate);
        EXPECT_EQ(date.second, record.FinishDate);
    }
    EXPECT_EQ("2003年7月20日",
              QueryText("select FinishDate as c from w_oiltest_data where XH = '1'"));
}

TEST_P(OilTestDataTest, LayerCountIsAnIntegerAndTheOtherNumbersKeepFloatPrecision) {
    const std::vector<float> values{0.1f,    -1.5e-7f, FLT_MAX,    -FLT_MAX,
                                    FLT_MIN, 1e-40f,   16777215.0f};
    std::vector<OilTestRecord> records;
    for (float value : values) {
        OilTestRecord record;
        record.XH = std::to_string(records.size());
        record.TopDepth = value;
        record.JY = -value;
        record.ProductDepth = value / 3.0f;
        record.LayerNum = records.size() % 2 ? INT_MAX : INT_MIN;
        records.push_back(record);
    }
    const std::vector<OilTestRecord> loaded = RoundTrip(records);
    ASSERT_EQ(records.size(), loaded.size());
    for (const OilTestRecord& record : loaded) {
        const OilTestRecord& saved = records.at(std::stoul(record.XH));
        EXPECT_EQ(saved.TopDepth, record.TopDepth) << record.XH;
        EXPECT_EQ(saved.JY, record.JY) << record.XH;
        EXPECT_EQ(saved.ProductDepth, record.ProductDepth) << record.XH;
        EXPECT_EQ(saved.LayerNum, record.LayerNum) << record.XH;
    }
}

TEST_P(OilTestDataTest, AFreshRecordStoresZerosAndEmptyTexts) {
    RoundTrip({OilTestRecord()});
    EXPECT_EQ(1, Count("w_oiltest_data where TopDepth = 0 and BottomDepth = 0 and LayerNum = 0 and "
                       "Thickness = 0 and JY = 0 and LY = 0 and JW = 0 and LW = 0 and "
                       "UnitOilProduct = 0 and UnitGasProduct = 0 and UnitWaterProduct = 0 and "
                       "TotalOilProduct = 0 and TotalGasProduct = 0 and TotalWaterProduct = 0 and "
                       "MQRGJD = 0 and ProductTime = 0 and ProductDepth = 0"));
    EXPECT_EQ(1,
              Count("w_oiltest_data where XH = '' and CW = '' and JSXH = '' and Builder = '' and "
                    "Purpose = '' and BeginDate = '' and FinishDate = '' and CSLB = '' and "
                    "Approach = '' and Method = '' and YYBHFW = '' and TYBHFW = '' and "
                    "Conclusion = ''"));
}

STRATALOOM_ENGINES(OilTestDataTest);

}  // namespace
