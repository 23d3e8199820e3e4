// Structure data against a real project database.
#include <algorithm>

#include "strataloom/istructuredata.h"
#include "support/projectdb.h"
#include "support/statementlog.h"

namespace {

using testsupport::ProjectDbTest;
using testsupport::StatementLog;

std::vector<double> Values(std::size_t count, double base) {
    std::vector<double> values;
    for (std::size_t i = 0; i < count; ++i) values.push_back(base - 0.5 * i - 1e-12);
    return values;
}

StructureRecord Surface(const std::string& project, const std::string& marker,
                        std::size_t points = 4) {
    StructureRecord surface;
    surface.ProjectName = project;
    surface.MarkerName = marker;
    surface.Xcoor = Values(points, 20500000.0);
    surface.Ycoor = Values(points, 4400000.0);
    surface.Depth = Values(points, -2100.0);
    return surface;
}

void ExpectSameArrays(const StructureRecord& expected, const StructureRecord& actual) {
    EXPECT_EQ(expected.Xcoor, actual.Xcoor);
    EXPECT_EQ(expected.Ycoor, actual.Ycoor);
    EXPECT_EQ(expected.Depth, actual.Depth);
}

class StructureDataTest : public ProjectDbTest {
  protected:
    void SetUp() override {
        ProjectDbTest::SetUp();
        structures = Create<IStructureData>("IStructureData");
        ASSERT_TRUE(structures);
    }
    std::string ProjectOf(const std::string& marker) {
        return QueryText("select ProjectName as c from s_structure_data where MarkerName='" +
                         marker + "'");
    }
    std::unique_ptr<IStructureData> structures;
};

TEST_P(StructureDataTest, MarkerHasOneSurfaceWhateverTheProject) {
    ASSERT_EQ(1, structures->SaveStructureData("P1", Surface("P1", "H1")));
    // The record's own project is not the one stored.
    ASSERT_EQ(1, structures->SaveStructureData("P2", Surface("P1", "H1", 6)));
    EXPECT_EQ(1, Count("s_structure_data"));
    EXPECT_EQ("P2", ProjectOf("H1"));
    EXPECT_EQ(0, structures->IsStructureDataExist("P1", "H1"));
    EXPECT_EQ(1, structures->IsStructureDataExist("P2", "H1"));

    StructureRecord loaded;
    loaded.ProjectName = "untouched";
    ASSERT_EQ(1, structures->LoadStructureData("H1", loaded));
    EXPECT_EQ("untouched", loaded.ProjectName);
    EXPECT_EQ("H1", loaded.MarkerName);
    ExpectSameArrays(Surface("", "H1", 6), loaded);

    StructureRecord kept = Surface("keep", "keep", 5);
    EXPECT_EQ(0, structures->LoadStructureData("H9", kept));
    EXPECT_EQ("keep", kept.MarkerName);
    EXPECT_EQ(5u, kept.Depth.size());
}

TEST_P(StructureDataTest, ProjectLoadNamesTheProjectSoASaveKeepsTheRowsThere) {
    ASSERT_EQ(1, structures->SaveStructureData("P1", Surface("", "H1", 3)));
    ASSERT_EQ(1, structures->SaveStructureData("P1", Surface("", "H2", 5)));
    ASSERT_EQ(1, structures->SaveStructureData("P2", Surface("", "H3")));
    std::vector<StructureRecord> loaded;
    ASSERT_EQ(1, structures->LoadProjectStructureData("P1", loaded));
    ASSERT_EQ(2u, loaded.size());
    std::sort(loaded.begin(), loaded.end(), [](const StructureRecord& a, const StructureRecord& b) {
        return a.MarkerName < b.MarkerName;
    });
    EXPECT_EQ("P1", loaded[0].ProjectName);
    EXPECT_EQ("P1", loaded[1].ProjectName);
    ExpectSameArrays(Surface("", "H1", 3), loaded[0]);
    ExpectSameArrays(Surface("", "H2", 5), loaded[1]);

    ASSERT_EQ(1, structures->SaveStructuresData("", loaded));
    EXPECT_EQ(2, Count("s_structure_data where ProjectName='P1'"));
    EXPECT_EQ(1, Count("s_structure_data where ProjectName='P2'"));

    NameList markers;
    ASSERT_EQ(1, structures->GetStructureMarkerNames("P1", markers));
    std::sort(markers.begin(), markers.end());
    EXPECT_EQ((NameList{"H1", "H2"}), markers);
    EXPECT_EQ(0, structures->LoadProjectStructureData("P9", loaded));
    EXPECT_EQ(2u, loaded.size());
}

TEST_P(StructureDataTest, ArraysOfEveryLengthRoundTrip) {
    for (std::size_t count : {0u, 1u, 2u, 3u, 17u, 1000u}) {
        const std::string marker = "H" + std::to_string(count);
        ASSERT_EQ(1, structures->SaveStructureData("P", Surface("P", marker, count)));
        StructureRecord loaded;
        ASSERT_EQ(1, structures->LoadStructureData(marker.c_str(), loaded)) << count;
        ExpectSameArrays(Surface("P", marker, count), loaded);
    }
    // An empty array leaves its columns unset.
    EXPECT_EQ(1, Count("s_structure_data where Xcoor is null and Depth is null"));
}

TEST_P(StructureDataTest, ListSaveReplacesEveryMarkerAllOrNothing) {
    ASSERT_EQ(1, structures->SaveStructureData("P1", Surface("", "H1", 3)));
    ASSERT_EQ(1, structures->SaveStructureData("P1", Surface("", "H2", 3)));
    ASSERT_EQ(1, structures->SaveStructuresData("ignored",
                                                {Surface("P1", "H1", 8), Surface("P3", "H4", 8)}));
    EXPECT_EQ(3, Count("s_structure_data"));
    EXPECT_EQ("P3", ProjectOf("H4"));
    NameList stored;
    ASSERT_EQ(1, structures->GetStructuresWithData(
                     "", {Surface("", "H1"), Surface("", "H9"), Surface("", "H4")}, stored));
    std::sort(stored.begin(), stored.end());
    EXPECT_EQ((NameList{"H1", "H4"}), stored);

    RefuseInsertsWhere("s_structure_data", "MarkerName", "bad");
    EXPECT_EQ(0,
              structures->SaveStructuresData("", {Surface("P1", "H2", 9), Surface("P1", "bad")}));
    StructureRecord h2;
    ASSERT_EQ(1, structures->LoadStructureData("H2", h2));
    EXPECT_EQ(3u, h2.Depth.size());
    EXPECT_EQ(3, Count("s_structure_data"));
}

TEST_P(StructureDataTest, ProjectDeleteTakesOnlyMarkersPickedInWells) {
    Exec("insert into w_marker_data (WellName, MarkerName) values ('W1', 'Picked')");
    ASSERT_EQ(1, structures->SaveStructureData("P1", Surface("", "Picked")));
    ASSERT_EQ(1, structures->SaveStructureData("P1", Surface("", "Unpicked")));
    ASSERT_EQ(1, structures->SaveStructureData("P2", Surface("", "Other")));
    Exec("insert into w_marker_data (WellName, MarkerName) values ('W2', 'Other')");
    ASSERT_EQ(1, structures->DeleteProjectStructureData("P1"));
    EXPECT_EQ(0, structures->IsStructureDataExist("P1", "Picked"));
    EXPECT_EQ(1, structures->IsStructureDataExist("P1", "Unpicked"));
    EXPECT_EQ(1, structures->IsStructureDataExist("P2", "Other"));
}

TEST_P(StructureDataTest, EveryStatementKeepsItsText) {
    StatementLog log;
    NameList names;
    StructureRecord one;
    std::vector<StructureRecord> all;
    structures->GetStructureMarkerNames("P", names);
    structures->SaveStructureData("P", Surface("", "H1"));
    structures->LoadStructureData("H1", one);
    structures->LoadProjectStructureData("P", all);
    structures->IsStructureDataExist("P", "H1");
    structures->GetStructuresWithData("", {Surface("", "H1"), Surface("", "H2")}, names);
    structures->SaveStructuresData("", {});
    structures->DeleteStructureData("H1");
    structures->DeleteStructuresData({"H1", "H2"});
    structures->DeleteProjectStructureData("P");
    const std::vector<std::string> expected{
        "select distinct s_structure_data.markername from s_structure_data where ProjectName = "
        "'P'",
        "s_structure_data",
        "delete from  s_structure_data where MarkerName='H1'",
        "SaveData s_structure_data 1",
        "select * from s_structure_data where MarkerName='H1'",
        "select * from s_structure_data where ProjectName='P'",
        "select * from s_structure_data where MarkerName='H1'",
        "s_structure_data",
        "select * from  s_structure_data where MarkerName='H1' and ProjectName='P'",
        "s_structure_data",
        "select MarkerName from  s_structure_data where MarkerName in ('H1','H2')",
        // An empty save still runs the delete, with an empty list.
        "s_structure_data",
        "delete from  s_structure_data where MarkerName in ()",
        "s_structure_data",
        "SaveData s_structure_data 0",
        "s_structure_data",
        "delete from s_structure_data where MarkerName='H1'",
        "s_structure_data",
        "delete from  s_structure_data where MarkerName in ('H1','H2')",
        "delete from s_structure_data where exists( select w_marker_data.markername from "
        "w_marker_data where w_marker_data.markername = s_structure_data.markername and  "
        "s_structure_data.ProjectName = 'P' )",
    };
    EXPECT_EQ(expected, log.texts);
}

TEST_P(StructureDataTest, EmptyNamesAreRefused) {
    ASSERT_EQ(1, structures->SaveStructureData("P", Surface("P", "H1")));
    StatementLog log;
    EXPECT_EQ(0, structures->SaveStructureData("P", Surface("P", "")));
    EXPECT_EQ(0, structures->DeleteStructureData(""));
    EXPECT_EQ(0, structures->DeleteProjectStructureData(""));
    EXPECT_TRUE(log.texts.empty());
    ASSERT_EQ(3u, Boxes().size());
    EXPECT_EQ("层名称不能为空！", Boxes()[0].text);
    EXPECT_EQ("层名称不能为空！", Boxes()[1].text);
    EXPECT_EQ("工区名称不能为空！", Boxes()[2].text);
    EXPECT_EQ(1, Count("s_structure_data"));
    // An empty list is not refused.
    EXPECT_EQ(1, structures->DeleteStructuresData({}));
}

STRATALOOM_ENGINES(StructureDataTest);

}  // namespace
