// Seismic bodies against a real project database.
#include "strataloom/iearthshockbodydata.h"
#include "support/projectdb.h"
#include "support/statementlog.h"

namespace {

using testsupport::ProjectDbTest;
using testsupport::StatementLog;

std::vector<EarthShockBodyRecord> Body(int seed, std::size_t count = 3) {
    std::vector<EarthShockBodyRecord> points;
    for (std::size_t i = 0; i < count; ++i) {
        EarthShockBodyRecord point;
        point.LineNumber = seed * 10 + static_cast<int>(i);
        point.CDPNumber = seed * 100 + static_cast<int>(i);
        // Map coordinates need more digits than a float holds.
        point.X = 20500000.37f + static_cast<float>(i);
        point.Y = 4400000.61f - static_cast<float>(i);
        points.push_back(point);
    }
    return points;
}

void ExpectSamePoints(const std::vector<EarthShockBodyRecord>& expected,
                      const std::vector<EarthShockBodyRecord>& actual) {
    ASSERT_EQ(expected.size(), actual.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(expected[i].LineNumber, actual[i].LineNumber) << i;
        EXPECT_EQ(expected[i].CDPNumber, actual[i].CDPNumber) << i;
        EXPECT_EQ(expected[i].X, actual[i].X) << i;
        EXPECT_EQ(expected[i].Y, actual[i].Y) << i;
    }
}

class EarthShockBodyDataTest : public ProjectDbTest {
  protected:
    void SetUp() override {
        ProjectDbTest::SetUp();
        bodies = Create<IEarthShockBodyData>("IEarthShockBodyData");
        ASSERT_TRUE(bodies);
    }
    std::unique_ptr<IEarthShockBodyData> bodies;
};

TEST_P(EarthShockBodyDataTest, OnlyThreePointsAreSaved) {
    StatementLog log;
    EXPECT_EQ(0, bodies->SaveBodyPoints(Body(1, 2)));
    EXPECT_EQ(0, bodies->SaveBodyPoints(Body(1, 4)));
    EXPECT_EQ(0, bodies->SaveBodyPoints({}));
    EXPECT_TRUE(log.texts.empty());
    EXPECT_EQ(0, Count("b_earthshockbody_data"));
    ASSERT_EQ(1, bodies->SaveBodyPoints(Body(1)));
    EXPECT_EQ(3, Count("b_earthshockbody_data"));
    EXPECT_TRUE(Boxes().empty());
}

TEST_P(EarthShockBodyDataTest, SavesAddToTheBodyUntilItIsDeleted) {
    std::vector<EarthShockBodyRecord> loaded;
    EXPECT_EQ(0, bodies->LoadBodyPoints(loaded));
    ASSERT_EQ(1, bodies->SaveBodyPoints(Body(1)));
    ASSERT_EQ(1, bodies->SaveBodyPoints(Body(2)));
    ASSERT_EQ(1, bodies->LoadBodyPoints(loaded));
    std::vector<EarthShockBodyRecord> both = Body(1);
    for (const EarthShockBodyRecord& point : Body(2)) both.push_back(point);
    ExpectSamePoints(both, loaded);

    ASSERT_EQ(1, bodies->DeleteBodyPoints());
    EXPECT_EQ(0, Count("b_earthshockbody_data"));
    EXPECT_EQ(1, bodies->DeleteBodyPoints());
    ASSERT_EQ(1, bodies->SaveBodyPoints(Body(3)));
    loaded.clear();
    ASSERT_EQ(1, bodies->LoadBodyPoints(loaded));
    ExpectSamePoints(Body(3), loaded);
}

TEST_P(EarthShockBodyDataTest, FailedSaveAddsNoPoint) {
    // The second point of the second body is refused by the table.
    Exec("drop table b_earthshockbody_data");
    Exec("create table b_earthshockbody_data (LineNumber INTEGER CHECK (LineNumber <> 21), "
         "CDPNumber INTEGER, X REAL, Y REAL)");
    ASSERT_EQ(1, bodies->SaveBodyPoints(Body(1)));
    EXPECT_EQ(0, bodies->SaveBodyPoints(Body(2)));
    EXPECT_EQ(3, Count("b_earthshockbody_data"));
}

TEST_P(EarthShockBodyDataTest, EveryStatementKeepsItsText) {
    StatementLog log;
    std::vector<EarthShockBodyRecord> loaded;
    bodies->SaveBodyPoints(Body(1));
    bodies->LoadBodyPoints(loaded);
    bodies->DeleteBodyPoints();
    const std::vector<std::string> expected{
        "b_earthshockbody_data",
        "SaveData b_earthshockbody_data 3",
        "select * from b_earthshockbody_data",
        "b_earthshockbody_data",
        "delete from b_earthshockbody_data",
    };
    EXPECT_EQ(expected, log.texts);
}

STRATALOOM_ENGINES(EarthShockBodyDataTest);

}  // namespace
