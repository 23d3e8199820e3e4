// Areas of interest against a real project database.
#include "strataloom/iaoidata.h"
#include "support/projectdb.h"

namespace {

using testsupport::ProjectDbTest;

AOIRecord Area(const std::string& name, double xmin = 1.0) {
    AOIRecord area;
    area.AOIName = name;
    area.ProjectName = "ignored";
    area.Xmin = xmin;
    area.Xmax = xmin + 10.0;
    area.Ymin = 100.5;
    area.Ymax = 200.25;
    return area;
}

class AOIDataTest : public ProjectDbTest {
  protected:
    void SetUp() override {
        ProjectDbTest::SetUp();
        areas = Create<IAOIData>("IAOIData");
        ASSERT_TRUE(areas);
    }
    std::unique_ptr<IAOIData> areas;
};

TEST_P(AOIDataTest, GlobalAreaTakesXFromEastWestAndYFromSouthNorth) {
    BasicProjectRecord header;
    header.EWmin = 20500000.5;
    header.EWmax = 20600000.5;
    header.SNmin = 4400000.25;
    header.SNmax = 4500000.25;
    ASSERT_EQ(1, areas->SaveGlobalAOI("P1", header));
    ASSERT_EQ(1, areas->SaveGlobalAOI("P1", header));
    EXPECT_EQ(2, Count("b_aoi_data where AOIName='Global' and ProjectName='P1'"));
    AOIRecord global;
    ASSERT_EQ(1, areas->LoadAOI("Global", global));
    EXPECT_EQ("P1", global.ProjectName);
    EXPECT_EQ(20500000.5, global.Xmin);
    EXPECT_EQ(20600000.5, global.Xmax);
    EXPECT_EQ(4400000.25, global.Ymin);
    EXPECT_EQ(4500000.25, global.Ymax);
}

TEST_P(AOIDataTest, SavingANameOfAnotherProjectMovesTheArea) {
    ASSERT_EQ(1, areas->SaveAOI("P1", Area("A1", 1.0)));
    ASSERT_EQ(1, areas->SaveAOI("P2", Area("A1", 5.0)));
    EXPECT_EQ(1, Count("b_aoi_data"));
    AOIRecord loaded;
    ASSERT_EQ(1, areas->LoadAOI("A1", loaded));
    EXPECT_EQ("A1", loaded.AOIName);
    EXPECT_EQ("P2", loaded.ProjectName);
    EXPECT_EQ(5.0, loaded.Xmin);
    EXPECT_EQ(15.0, loaded.Xmax);
    EXPECT_EQ(100.5, loaded.Ymin);
    EXPECT_EQ(200.25, loaded.Ymax);
}

TEST_P(AOIDataTest, NamesCoverEveryProjectAndProjectLoadsAppend) {
    NameList names{"already"};
    EXPECT_EQ(0, areas->GetAOINames("P1", names));
    ASSERT_EQ(1, areas->SaveAOI("P1", Area("A1")));
    ASSERT_EQ(1, areas->SaveAOI("P2", Area("O'Brien's %s")));
    ASSERT_EQ(1, areas->SaveGlobalAOI("P2", BasicProjectRecord()));
    ASSERT_EQ(1, areas->GetAOINames("P1", names));
    std::sort(names.begin() + 1, names.end());
    EXPECT_EQ((NameList{"already", "A1", "Global", "O'Brien's %s"}), names);

    std::vector<AOIRecord> p2(1);
    ASSERT_EQ(1, areas->LoadProjectAOIs("P2", p2));
    ASSERT_EQ(3u, p2.size());
    for (std::size_t i = 1; i < p2.size(); ++i) EXPECT_EQ("P2", p2[i].ProjectName);
    std::vector<AOIRecord> none;
    EXPECT_EQ(0, areas->LoadProjectAOIs("P3", none));
    EXPECT_TRUE(none.empty());
    EXPECT_EQ(1, areas->IsAOIExist("O'Brien's %s"));
    EXPECT_EQ(0, areas->IsAOIExist("A2"));
}

TEST_P(AOIDataTest, AreaWithoutARowKeepsItsInitialValues) {
    AOIRecord record;
    EXPECT_EQ(0, areas->LoadAOI("Nowhere", record));
    EXPECT_EQ("", record.AOIName);
    EXPECT_EQ("", record.ProjectName);
    EXPECT_EQ(-99999.0, record.Xmin);
    EXPECT_EQ(-99999.0, record.Xmax);
    EXPECT_EQ(-99999.0, record.Ymin);
    EXPECT_EQ(-99999.0, record.Ymax);
}

TEST_P(AOIDataTest, DeleteRemovesTheAreaOfEveryProject) {
    ASSERT_EQ(1, areas->SaveAOI("P1", Area("A1")));
    ASSERT_EQ(1, areas->SaveAOI("P1", Area("A2")));
    EXPECT_EQ(1, areas->DeleteAOI("A1"));
    EXPECT_EQ(0, areas->IsAOIExist("A1"));
    EXPECT_EQ(1, areas->IsAOIExist("A2"));
    EXPECT_TRUE(Boxes().empty());
}

TEST_P(AOIDataTest, EmptyNamesAndMissingTableAreReported) {
    EXPECT_EQ(0, areas->SaveAOI("P1", Area("")));
    EXPECT_EQ(0, areas->DeleteAOI(""));
    Exec("drop table b_aoi_data");
    EXPECT_EQ(0, areas->SaveAOI("P1", Area("A1")));
    EXPECT_EQ(0, areas->SaveGlobalAOI("P1", BasicProjectRecord()));
    EXPECT_EQ(0, areas->IsAOIExist("A1"));
    EXPECT_EQ(0, areas->DeleteAOI("A1"));
    ASSERT_EQ(3u, Boxes().size());
    EXPECT_EQ("AOI区域名不能为空！", Boxes()[0].text);
    EXPECT_EQ("(none)", Boxes()[0].caption);
    EXPECT_EQ("AOI区域名不能为空！", Boxes()[1].text);
    EXPECT_EQ("AOI区域表为空！", Boxes()[2].text);
}

TEST_P(AOIDataTest, FailedSavesKeepTheOldAreaAndSaySo) {
    ASSERT_EQ(1, areas->SaveAOI("P1", Area("A1", 1.0)));
    RefuseInsertsWhere("b_aoi_data", "ProjectName", "P2");
    EXPECT_EQ(0, areas->SaveAOI("P2", Area("A1", 5.0)));
    EXPECT_EQ(0, areas->SaveGlobalAOI("P2", BasicProjectRecord()));
    ASSERT_EQ(2u, Boxes().size());
    EXPECT_EQ("保存数据库出错！", Boxes()[0].text);
    EXPECT_EQ("保存数据库出错！", Boxes()[1].text);
    AOIRecord kept;
    ASSERT_EQ(1, areas->LoadAOI("A1", kept));
    EXPECT_EQ("P1", kept.ProjectName);
    EXPECT_EQ(1.0, kept.Xmin);
    EXPECT_EQ(1, Count("b_aoi_data"));
}

STRATALOOM_ENGINES(AOIDataTest);

}  // namespace
