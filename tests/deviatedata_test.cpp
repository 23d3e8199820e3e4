// Deviation surveys against a real project database.
#include <algorithm>

#include "strataloom/ideviatedata.h"
#include "support/projectdb.h"
#include "support/statementlog.h"

namespace {

using testsupport::ProjectDbTest;
using testsupport::StatementLog;

std::vector<double> Stations(std::size_t count, double base) {
    std::vector<double> values;
    for (std::size_t i = 0; i < count; ++i) values.push_back(base + 0.1 * i + 1e-13);
    return values;
}

// A survey whose nine arrays all hold count stations, each array its own values.
DeviateRecord Survey(const std::string& well, std::size_t count) {
    DeviateRecord survey;
    survey.WellName = well;
    survey.Md = Stations(count, 1000.0);
    survey.Azimuth = Stations(count, 45.0);
    survey.Inclination = Stations(count, 3.0);
    survey.Xoffset = Stations(count, -12.5);
    survey.Yoffset = Stations(count, 7.25);
    survey.Xcoor = Stations(count, 20500000.0);
    survey.Ycoor = Stations(count, 4400000.0);
    survey.Tvd = Stations(count, 990.0);
    survey.Tvdss = Stations(count, -850.0);
    return survey;
}

void ExpectSameSurvey(const DeviateRecord& expected, const DeviateRecord& actual) {
    EXPECT_EQ(expected.WellName, actual.WellName);
    EXPECT_EQ(expected.Md, actual.Md);
    EXPECT_EQ(expected.Azimuth, actual.Azimuth);
    EXPECT_EQ(expected.Inclination, actual.Inclination);
    EXPECT_EQ(expected.Xoffset, actual.Xoffset);
    EXPECT_EQ(expected.Yoffset, actual.Yoffset);
    EXPECT_EQ(expected.Xcoor, actual.Xcoor);
    EXPECT_EQ(expected.Ycoor, actual.Ycoor);
    EXPECT_EQ(expected.Tvd, actual.Tvd);
    EXPECT_EQ(expected.Tvdss, actual.Tvdss);
}

class DeviateDataTest : public ProjectDbTest {
  protected:
    void SetUp() override {
        ProjectDbTest::SetUp();
        surveys = Create<IDeviateData>("IDeviateData");
        ASSERT_TRUE(surveys);
    }
    std::unique_ptr<IDeviateData> surveys;
};

// A vertical well's survey has two stations, surface and total depth.
TEST_P(DeviateDataTest, ArraysOfEveryLengthRoundTrip) {
    for (std::size_t count : {1u, 2u, 3u, 40u}) {
        const std::string well = "W" + std::to_string(count);
        ASSERT_EQ(1, surveys->SaveWellData(Survey(well, count)));
        DeviateRecord loaded;
        ASSERT_EQ(1, surveys->LoadWellData(well.c_str(), loaded)) << count;
        ExpectSameSurvey(Survey(well, count), loaded);
    }
    EXPECT_EQ(4, Count("w_deviate_well where Md is not null and Tvdss is not null"));
}

TEST_P(DeviateDataTest, ReusedRecordKeepsNothingOfAnotherWell) {
    ASSERT_EQ(1, surveys->SaveWellData(Survey("Long", 10)));
    DeviateRecord partial = Survey("Short", 2);
    partial.Tvdss.clear();  // left unset in the row
    ASSERT_EQ(1, surveys->SaveWellData(partial));
    DeviateRecord record;
    ASSERT_EQ(1, surveys->LoadWellData("Long", record));
    ASSERT_EQ(10u, record.Md.size());
    ASSERT_EQ(1, surveys->LoadWellData("Short", record));
    EXPECT_EQ("Short", record.WellName);
    EXPECT_EQ(2u, record.Md.size());
    EXPECT_TRUE(record.Tvdss.empty());

    // A well without survey names the record but leaves its arrays.
    ASSERT_EQ(1, surveys->LoadWellData("Long", record));
    EXPECT_EQ(0, surveys->LoadWellData("None", record));
    EXPECT_EQ("None", record.WellName);
    EXPECT_EQ(10u, record.Md.size());
}

TEST_P(DeviateDataTest, AllWellsLoadResetsEveryElementItFills) {
    ASSERT_EQ(1, surveys->SaveWellData(Survey("A", 4)));
    ASSERT_EQ(1, surveys->SaveWellData(Survey("B", 2)));
    ASSERT_EQ(1, surveys->SaveWellData(Survey("C", 5)));
    std::vector<DeviateRecord> records(5, Survey("stale", 30));
    ASSERT_EQ(1, surveys->LoadAllWellsData("ignored", records));
    ASSERT_EQ(3u, records.size());
    std::sort(records.begin(), records.end(), [](const DeviateRecord& a, const DeviateRecord& b) {
        return a.WellName < b.WellName;
    });
    ExpectSameSurvey(Survey("A", 4), records[0]);
    ExpectSameSurvey(Survey("B", 2), records[1]);
    ExpectSameSurvey(Survey("C", 5), records[2]);

    Exec("delete from w_deviate_well");
    std::vector<DeviateRecord> kept(2);
    EXPECT_EQ(0, surveys->LoadAllWellsData("", kept));
    EXPECT_EQ(2u, kept.size());
}

TEST_P(DeviateDataTest, EmptyMdDeletesWithoutWritingAndUnsetArraysLoadEmpty) {
    ASSERT_EQ(1, surveys->SaveWellData(Survey("A", 5)));
    DeviateRecord noMd = Survey("A", 5);
    noMd.Md.clear();
    {
        StatementLog log;
        EXPECT_EQ(1, surveys->SaveWellData(noMd));
        // Only the delete: no row is stored, so nothing is committed as rows.
        EXPECT_EQ((std::vector<std::string>{"w_deviate_well",
                                            "delete from  w_deviate_well where WellName='A'"}),
                  log.texts);
    }
    EXPECT_EQ(0, Count("w_deviate_well"));
    EXPECT_EQ(0, surveys->IsWellDataExist("A"));

    DeviateRecord noTvdss = Survey("A", 10);
    noTvdss.Tvdss.clear();
    ASSERT_EQ(1, surveys->SaveWellData(noTvdss));
    EXPECT_EQ(1, Count("w_deviate_well where Tvdss is null"));
    DeviateRecord loaded;
    ASSERT_EQ(1, surveys->LoadWellData("A", loaded));
    ExpectSameSurvey(noTvdss, loaded);
}

TEST_P(DeviateDataTest, MultiWellSaveDeletesAllAndWritesThoseWithDepths) {
    ASSERT_EQ(1, surveys->SaveWellData(Survey("A", 3)));
    ASSERT_EQ(1, surveys->SaveWellData(Survey("B", 3)));
    ASSERT_EQ(1, surveys->SaveWellData(Survey("Other", 3)));
    DeviateRecord b = Survey("B", 7);
    b.Md.clear();
    ASSERT_EQ(1, surveys->SaveWellsData("", {Survey("A", 8), b}));
    EXPECT_EQ(2, Count("w_deviate_well"));
    EXPECT_EQ(0, Count("w_deviate_well where WellName='B'"));
    DeviateRecord a;
    ASSERT_EQ(1, surveys->LoadWellData("A", a));
    EXPECT_EQ(8u, a.Md.size());

    NameList stored;
    ASSERT_EQ(1, surveys->GetWellsWithData("", {Survey("A", 0), b, Survey("Other", 0)}, stored));
    std::sort(stored.begin(), stored.end());
    EXPECT_EQ((NameList{"A", "Other"}), stored);
    NameList none;
    EXPECT_EQ(0, surveys->GetWellsWithData("", {b}, none));
    EXPECT_TRUE(none.empty());
}

TEST_P(DeviateDataTest, FailedInsertKeepsTheReplacedSurveys) {
    ASSERT_EQ(1, surveys->SaveWellData(Survey("A", 3)));
    ASSERT_EQ(1, surveys->SaveWellData(Survey("bad", 3)));
    RefuseInsertsWhere("w_deviate_well", "WellName", "bad");
    EXPECT_EQ(0, surveys->SaveWellsData("", {Survey("A", 9), Survey("bad", 9)}));
    EXPECT_EQ(0, surveys->SaveWellData(Survey("bad", 9)));
    EXPECT_EQ(2, Count("w_deviate_well"));
    DeviateRecord a;
    ASSERT_EQ(1, surveys->LoadWellData("A", a));
    EXPECT_EQ(3u, a.Md.size());
}

TEST_P(DeviateDataTest, LoadsAndSavesKeepTheirExactText) {
    StatementLog log;
    ASSERT_EQ(1, surveys->SaveWellData(Survey("A", 3)));
    DeviateRecord one;
    std::vector<DeviateRecord> all;
    NameList stored;
    EXPECT_EQ(1, surveys->LoadWellData("A", one));
    EXPECT_EQ(1, surveys->LoadAllWellsData("", all));
    EXPECT_EQ(1, surveys->GetWellsWithData("", {Survey("A", 0), Survey("B", 0)}, stored));
    EXPECT_EQ(1, surveys->SaveWellsData("", {Survey("A", 4)}));
    const std::vector<std::string> expected{
        "w_deviate_well",
        "delete from  w_deviate_well where WellName='A'",
        "SaveData w_deviate_well 1",
        "select * from w_deviate_well where WellName='A'",
        "select * from w_deviate_well",
        "w_deviate_well",
        "select WellName from  w_deviate_well where WellName in ('A','B')",
        // The wells' surveys are deleted before the save opens its own session.
        "w_deviate_well",
        "delete from  w_deviate_well where WellName in ('A')",
        "w_deviate_well",
        "SaveData w_deviate_well 1",
    };
    EXPECT_EQ(expected, log.texts);
}

TEST_P(DeviateDataTest, DeletesAndTheirStatements) {
    Exec("insert into w_well_data (ProjectName, WellName) values ('P1', 'A')");
    Exec("insert into w_well_data (ProjectName, WellName) values ('P2', 'B')");
    for (const char* well : {"A", "B", "C", "D"})
        ASSERT_EQ(1, surveys->SaveWellData(Survey(well, 3)));
    {
        StatementLog log;
        EXPECT_EQ(1, surveys->IsWellDataExist("C"));
        EXPECT_EQ(1, surveys->DeleteWellsData(NameList{}));
        EXPECT_EQ(1, surveys->DeleteWellsData(NameList{"C", "D"}));
        EXPECT_EQ(1, surveys->DeleteProjectData("P1"));
        const std::vector<std::string> expected{
            "w_deviate_well",
            "select WellName from  w_deviate_well where WellName='C'",
            "w_deviate_well",
            "delete from  w_deviate_well where WellName in ()",
            "w_deviate_well",
            "delete from  w_deviate_well where WellName in ('C','D')",
            "delete from w_deviate_well where exists( select w_well_data.wellname from "
            "w_well_data where w_well_data.wellname = w_deviate_well.wellname and  "
            "w_well_data.ProjectName = 'P1' )",
        };
        EXPECT_EQ(expected, log.texts);
    }
    EXPECT_EQ(1, Count("w_deviate_well"));
    EXPECT_EQ(1, surveys->IsWellDataExist("B"));

    EXPECT_EQ(0, surveys->DeleteWellData(""));
    EXPECT_EQ(0, surveys->DeleteProjectData(nullptr));
    ASSERT_EQ(2u, Boxes().size());
    EXPECT_EQ("井名称不能为空！", Boxes()[0].text);
    EXPECT_EQ("工区名称不能为空！", Boxes()[1].text);
    NameList wells;
    ASSERT_EQ(1, surveys->GetWellNamesWithData("P2", wells));
    EXPECT_EQ(NameList{"B"}, wells);
}

STRATALOOM_ENGINES(DeviateDataTest);

}  // namespace
