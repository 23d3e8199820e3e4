// Drilling cores: colour codes over the whole 32-bit range, and a project
// load that stops at the first well it cannot load.
#include <limits>

#include "datadefine/ctakecoredata.h"
#include "support/projectdb.h"

namespace {

using testsupport::ProjectDbTest;

TakeCoreRecord Core(const std::string& name, int color) {
    TakeCoreRecord record;
    record.CoreName = name;
    record.TopDepth = 1000.125;
    record.BottomDepth = 1009.75;
    record.CoreLength = 8.5;
    record.CoreDrill = 9.625;
    record.GainRate = 0.883116883116883;
    record.Color = color;
    record.LithName = "sandstone";
    record.OilBearingClass = "oil-stained";
    record.LithDescription = "fine grained, 含油";
    record.Remark = "box 3 of 7";
    return record;
}

TakeCoreSet Cores(const std::string& well, std::vector<TakeCoreRecord> records) {
    TakeCoreSet set;
    set.WellName = well;
    set.Records = std::move(records);
    return set;
}

// Loads well B as if its rows could not be read; through the interface, as
// the project load calls it.
class FailingOnWellB : public CTakeCoreData {
  public:
    int LoadWellData(const char* well, TakeCoreSet& set) override {
        tried.push_back(well);
        return tried.back() == "B" ? 0 : CTakeCoreData::LoadWellData(well, set);
    }
    NameList tried;
};

class TakeCoreDataTest : public ProjectDbTest {
  protected:
    void SetUp() override {
        ProjectDbTest::SetUp();
        cores = Create<ITakeCoreData>("ITakeCoreData");
        ASSERT_TRUE(cores);
    }
    std::unique_ptr<ITakeCoreData> cores;
};

TEST_P(TakeCoreDataTest, ColourCodesKeepTheirSignedValue) {
    const int colors[] = {std::numeric_limits<int>::min(), -1, 0x00FF8040,
                          std::numeric_limits<int>::max()};
    std::vector<TakeCoreRecord> records;
    for (int color : colors) records.push_back(Core("core " + std::to_string(color), color));
    ASSERT_EQ(1, cores->SaveWellData(Cores("A", records)));

    TakeCoreSet set;
    ASSERT_EQ(1, cores->LoadWellData("A", set));
    ASSERT_EQ(4u, set.Records.size());
    for (std::size_t i = 0; i < records.size(); ++i) {
        const TakeCoreRecord& loaded = set.Records[i];
        EXPECT_EQ(records[i].CoreName, loaded.CoreName);
        EXPECT_EQ(colors[i], loaded.Color) << loaded.CoreName;
        EXPECT_EQ(0.883116883116883, loaded.GainRate);
        EXPECT_EQ("fine grained, 含油", loaded.LithDescription);
    }
}

TEST_P(TakeCoreDataTest, ProjectLoadStopsAtTheFirstWellThatFails) {
    for (const char* well : {"A", "B", "C"}) {
        Exec(std::string("insert into w_well_data (ProjectName, WellName) values ('P', '") + well +
             "')");
        ASSERT_EQ(1, cores->SaveWellData(Cores(well, {Core(well, 1)})));
    }
    FailingOnWellB failing;
    failing.SetConnectString(Connect().c_str());
    std::vector<TakeCoreSet> sets;
    EXPECT_EQ(0, failing.LoadProjectData("P", sets));
    ASSERT_EQ(1u, sets.size());
    EXPECT_EQ("A", sets[0].WellName);
    EXPECT_EQ((NameList{"A", "B"}), failing.tried);
}

STRATALOOM_ENGINES(TakeCoreDataTest);

}  // namespace
