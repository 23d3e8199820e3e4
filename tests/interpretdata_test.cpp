// Log interpretation results against a real project database: what is their
// own beside the family suite, the 64-bit values at the ends of their range.
#include <cfloat>

#include "strataloom/iinterpretdata.h"
#include "support/projectdb.h"

namespace {

using testsupport::ProjectDbTest;

class InterpretDataTest : public ProjectDbTest {
  protected:
    void SetUp() override {
        ProjectDbTest::SetUp();
        results = Create<IInterpretData>("IInterpretData");
        ASSERT_TRUE(results);
    }
    std::unique_ptr<IInterpretData> results;
};

TEST_P(InterpretDataTest, ValuesAtTheEndsOfTheirRangeKeepEveryBit) {
    const std::vector<double> values{DBL_MAX, -DBL_MAX, DBL_MIN,    4.9406564584124654e-324,
                                     0.1,     1.0 / 3,  -7.25e-300, 123456789.123456789};
    InterpretSet set;
    set.WellName = "W";
    for (double value : values) {
        InterpretRecord record;
        record.InterpretName = std::to_string(set.Records.size());
        record.TopDepth = value;
        record.IrresibleWaterSaturation = -value;
        record.ReservoirTemperatureGrad = value / 7;
        set.Records.push_back(record);
    }
    ASSERT_EQ(1, results->SaveWellData(set));
    InterpretSet loaded;
    ASSERT_EQ(1, results->LoadWellData("W", loaded));
    ASSERT_EQ(values.size(), loaded.Records.size());
    for (const InterpretRecord& record : loaded.Records) {
        const InterpretRecord& saved = set.Records.at(std::stoul(record.InterpretName));
        EXPECT_EQ(saved.TopDepth, record.TopDepth) << record.InterpretName;
        EXPECT_EQ(saved.IrresibleWaterSaturation, record.IrresibleWaterSaturation)
            << record.InterpretName;
        EXPECT_EQ(saved.ReservoirTemperatureGrad, record.ReservoirTemperatureGrad)
            << record.InterpretName;
    }
}

STRATALOOM_ENGINES(InterpretDataTest);

}  // namespace
