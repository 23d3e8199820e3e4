// Arrays of doubles through a real byte-array column.
#include "dbaccess/valuearray.h"

#include <cmath>
#include <cstring>
#include <limits>

#include "support/projectdb.h"

namespace {

// A table opened whole, for adding rows.
constexpr auto WholeTable = &strataloom::db::Statement::WholeTable;

using testsupport::ProjectDbTest;

class ValueArrayTest : public ProjectDbTest {
  protected:
    // Stores values as the samples of one curve row and returns a session on it.
    void StoreCurve(const std::vector<double>& values) {
        CDbManage session(Connect().c_str());
        ASSERT_NE(2, session.GetDataFromDB(WholeTable("w_log_data")));
        session.AddNew();
        session.SetFieldValue("WellName", "W1");
        WriteDoubleArrayField("CurveValue", values, session);
        ASSERT_TRUE(session.SaveData());
    }
    void StoreRawBytes(const std::string& bytes) {
        CDbManage session(Connect().c_str());
        ASSERT_NE(2, session.GetDataFromDB(WholeTable("w_log_data")));
        session.AddNew();
        session.SetFieldValue("WellName", "W1");
        session.SetFieldValue("CurveValue", DbVariant::FromBytes(bytes.data(), bytes.size()));
        ASSERT_TRUE(session.SaveData());
    }
    int Load(std::vector<double>& values) {
        CDbManage session(Connect().c_str());
        if (session.GetDataFromDB("select * from w_log_data") != 0) return -1;
        return ReadDoubleArrayField("CurveValue", values, session);
    }
};

TEST_P(ValueArrayTest, RoundTripIsBitExact) {
    const std::vector<double> values = {0.0,
                                        -0.0,
                                        1.0 / 3.0,
                                        -99999.0,
                                        std::numeric_limits<double>::denorm_min(),
                                        std::numeric_limits<double>::max(),
                                        std::numeric_limits<double>::infinity(),
                                        std::numeric_limits<double>::quiet_NaN()};
    StoreCurve(values);
    std::vector<double> loaded(10, 7.0);
    ASSERT_EQ(1, Load(loaded));
    ASSERT_EQ(values.size(), loaded.size());
    EXPECT_EQ(0, std::memcmp(values.data(), loaded.data(), values.size() * sizeof(double)));
    EXPECT_EQ("64", QueryText("select length(CurveValue) as c from w_log_data"));
}

TEST_P(ValueArrayTest, OneAndTwoValuesReadBack) {
    StoreCurve({1.0, 2.0});
    std::vector<double> loaded = {9.0, 9.0, 9.0};
    ASSERT_EQ(1, Load(loaded));
    EXPECT_EQ((std::vector<double>{1.0, 2.0}), loaded);
    Exec("delete from w_log_data");
    StoreCurve({-0.5});
    ASSERT_EQ(1, Load(loaded));
    EXPECT_EQ(std::vector<double>{-0.5}, loaded);
}

TEST_P(ValueArrayTest, LessThanOneWholeValueLeavesTheVectorAsItWas) {
    StoreRawBytes("\x01\x02\x03\x04\x05");
    std::vector<double> loaded = {9.0, 9.0};
    ASSERT_EQ(1, Load(loaded));
    EXPECT_EQ((std::vector<double>{9.0, 9.0}), loaded);
}

TEST_P(ValueArrayTest, ThreeValuesReadBackExactly) {
    StoreCurve({1.5, 2.5, 3.5});
    std::vector<double> loaded;
    ASSERT_EQ(1, Load(loaded));
    EXPECT_EQ((std::vector<double>{1.5, 2.5, 3.5}), loaded);
}

TEST_P(ValueArrayTest, TrailingBytesBeyondWholeValuesAreDropped) {
    std::vector<double> three = {4.0, 5.0, 6.0};
    std::string bytes(reinterpret_cast<const char*>(three.data()), 24);
    bytes += '\x7f';
    StoreRawBytes(bytes);
    std::vector<double> loaded(10, 1.0);
    ASSERT_EQ(1, Load(loaded));
    EXPECT_EQ(three, loaded);
}

TEST_P(ValueArrayTest, EmptyVectorLeavesTheColumnUnset) {
    StoreCurve({});
    EXPECT_EQ(1, Count("w_log_data where CurveValue is null"));
    std::vector<double> loaded = {1.0};
    ASSERT_EQ(1, Load(loaded));
    EXPECT_EQ(std::vector<double>{1.0}, loaded);
}

TEST_P(ValueArrayTest, MissingColumnFailsAndLeavesTheVector) {
    StoreCurve({1.0, 2.0, 3.0});
    CDbManage session(Connect().c_str());
    ASSERT_EQ(0, session.GetDataFromDB("select WellName from w_log_data"));
    std::vector<double> loaded = {8.0};
    EXPECT_EQ(0, ReadDoubleArrayField("CurveValue", loaded, session));
    EXPECT_EQ(std::vector<double>{8.0}, loaded);
}

TEST_P(ValueArrayTest, ArrayAlsoHeldByAVariantStaysIntactForIt) {
    StoreCurve({1.5, 2.5, 3.5});
    CDbManage session(Connect().c_str());
    ASSERT_EQ(0, session.GetDataFromDB("select * from w_log_data"));
    DbVariant held;
    ASSERT_TRUE(session.GetFieldValue("CurveValue", held));
    std::vector<double> loaded;
    ASSERT_EQ(1, ReadDoubleArrayField("CurveValue", loaded, session));
    EXPECT_EQ((std::vector<double>{1.5, 2.5, 3.5}), loaded);
    ASSERT_EQ(24, held.Size());
    double copy[3];
    VariantToDoubleArray(held, held.Size(), copy);
    EXPECT_EQ(3.5, copy[2]);
}

TEST(VariantConversionTest, ConvertsCountTimesEightBytesAndNoMore) {
    const double values[] = {1.0, 2.0, 3.0};
    DbVariant variant;
    DoubleArrayToVariant(values, 3, variant);
    ASSERT_EQ(24, variant.Size());
    double out[4] = {0, 0, 0, 42.0};
    VariantToDoubleArray(variant, 24, out);
    EXPECT_EQ(3.0, out[2]);
    EXPECT_EQ(42.0, out[3]);
    VariantToDoubleArray(variant, 1000, out);  // never reads past the variant
    EXPECT_EQ(42.0, out[3]);
}

STRATALOOM_ENGINES(ValueArrayTest);

}  // namespace
