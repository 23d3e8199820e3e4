// The exact statement texts of the well headers, the lists, the areas and the
// project headers, operation by operation. The per-well family pins its own
// in its suite.
#include "strataloom/iaoidata.h"
#include "strataloom/ibasicprojectdata.h"
#include "strataloom/ibasicwelldata.h"
#include "strataloom/isectionwelllistdata.h"
#include "strataloom/iwelllistdata.h"
#include "support/projectdb.h"
#include "support/statementlog.h"

namespace {

using testsupport::ExpectStatements;
using testsupport::ProjectDbTest;

BasicWellRecord Well(const char* name) {
    BasicWellRecord record;
    record.WellName = name;
    return record;
}

class StatementTextTest : public ProjectDbTest {};

TEST_P(StatementTextTest, WellHeaders) {
    auto wells = Create<IBasicWellData>("IBasicWellData");
    ASSERT_TRUE(wells);
    NameList names;
    BasicWellRecord record;
    std::vector<BasicWellRecord> records;
    ExpectStatements({
        {"names",
         [&] { wells->GetWellNames("P1", names); },
         {"select WellName from w_well_data where ProjectName='P1'order by WellName"}},
        {"load",
         [&] { wells->LoadWell("W1", record); },
         {"select * from w_well_data where WellName='W1'"}},
        {"load project",
         [&] { wells->LoadProjectWells("P1", records); },
         {"select * from w_well_data where ProjectName='P1'"}},
        {"exists",
         [&] { wells->IsWellExist("P1", "W1"); },
         {"w_well_data",
          "select WellName from  w_well_data where WellName='W1' and "
          "ProjectName='P1'"}},
        {"save",
         [&] { wells->SaveWell("P1", Well("W1")); },
         {"w_well_data", "delete from  w_well_data where WellName='W1'", "SaveData w_well_data 1"}},
        {"existing",
         [&] {
             wells->GetExistingWells("", {Well("W1"), Well("W2")}, names);
         },
         {"w_well_data", "select WellName from  w_well_data where WellName in ('W1','W2')"}},
        {"save several",
         [&] { wells->SaveWells("P1", {Well("W1")}); },
         {"w_well_data", "w_well_data",
          "delete from  w_well_data where WellName in ('W1') AND ProjectName='P1'",
          "delete from  w_well_data where WellName in ('W1')", "SaveData w_well_data 1"}},
        {"delete",
         [&] { wells->DeleteWell("P1", "W1"); },
         {"w_well_data", "delete from w_well_data where WellName='W1' and ProjectName='P1'"}},
        {"delete several",
         [&] {
             wells->DeleteWells("P1", {"W1", "W2"});
         },
         {"w_well_data",
          "delete from  w_well_data where WellName in ('W1','W2') AND ProjectName='P1'"}},
        {"delete project",
         [&] { wells->DeleteProjectWells("P1"); },
         {"w_well_data", "delete from  w_well_data where ProjectName='P1'"}},
    });
}

TEST_P(StatementTextTest, WellListsAndSections) {
    auto lists = Create<IWellListData>("IWellListData");
    auto sections = Create<ISectionWellListData>("ISectionWellListData");
    ASSERT_TRUE(lists && sections);
    NameList names;
    WellListSet set;
    set.WellListName = "L1";
    set.Records.resize(1);
    SectionWellListRecord section{"S1", "W1,W2"};
    std::vector<SectionWellListRecord> all;
    ExpectStatements({
        {"list names",
         [&] { lists->GetWellListNames(names); },
         {"select Distinct WellListName from b_welllist_data order by WelllistName"}},
        {"load list",
         [&] { lists->LoadWellList("L1", set); },
         {"select * from b_welllist_data where WelllistName='L1'"}},
        {"save list",
         [&] { lists->SaveWellList(set); },
         {"b_welllist_data", "delete from  b_welllist_data where WellListName='L1'",
          "SaveData b_welllist_data 1"}},
        {"delete list",
         [&] { lists->DeleteWellList("L1"); },
         {"b_welllist_data", "delete from b_welllist_data where WellListName='L1'"}},
        {"list exists",
         [&] { lists->IsWellListExist("L1"); },
         {"b_welllist_data", "select WellListName from  b_welllist_data where WellListName='L1'"}},
        {"section names",
         [&] { sections->GetSectionNames(names); },
         {"select Setction_Name from b_sectionwelllist_data order by Setction_Name"}},
        {"load section",
         [&] { sections->LoadSection("S1", section); },
         {"select * from b_sectionwelllist_data where Setction_Name='S1'"}},
        {"load sections",
         [&] { sections->LoadAllSections(all); },
         {"select * from b_sectionwelllist_data"}},
        {"save section",
         [&] { sections->SaveSection(section); },
         {"b_sectionwelllist_data", "delete from b_sectionwelllist_data where Setction_Name='S1'",
          "SaveData b_sectionwelllist_data 1"}},
        {"save sections",
         [&] { sections->SaveSections({section}); },
         {"b_sectionwelllist_data", "delete from  b_sectionwelllist_data where Setction_Name='S1'",
          "SaveData b_sectionwelllist_data 1"}},
        {"delete section",
         [&] { sections->DeleteSection("S1"); },
         {"b_sectionwelllist_data", "delete from b_sectionwelllist_data where Setction_Name='S1'"}},
        {"delete sections",
         [&] { sections->DeleteAllSections(); },
         {"b_sectionwelllist_data", "delete from  b_sectionwelllist_data"}},
    });
}

TEST_P(StatementTextTest, AreasAndProjectHeaders) {
    auto areas = Create<IAOIData>("IAOIData");
    auto projects = Create<IBasicProjectData>("IBasicProjectData");
    ASSERT_TRUE(areas && projects);
    NameList names;
    AOIRecord area;
    area.AOIName = "A1";
    std::vector<AOIRecord> all;
    BasicProjectRecord header;
    header.ProjectName = "P1";
    ExpectStatements({
        {"load area",
         [&] { areas->LoadAOI("A1", area); },
         {"select * from b_aoi_data where AOIName='A1'"}},
        {"area names", [&] { areas->GetAOINames("", names); }, {"select AOIName from b_aoi_data"}},
        {"load project areas",
         [&] { areas->LoadProjectAOIs("P1", all); },
         {"select * from b_aoi_data where ProjectName='P1'"}},
        {"area exists",
         [&] { areas->IsAOIExist("A1"); },
         {"b_aoi_data", "select AOIName from b_aoi_data where AOIName='A1'"}},
        {"save global",
         [&] { areas->SaveGlobalAOI("P1", header); },
         {"b_aoi_data", "SaveData b_aoi_data 1"}},
        {"save area",
         [&] { areas->SaveAOI("P1", area); },
         {"b_aoi_data", "delete from b_aoi_data where AOIName='A1'", "SaveData b_aoi_data 1"}},
        {"delete area",
         [&] { areas->DeleteAOI("A1"); },
         {"b_aoi_data", "delete from b_aoi_data where AOIName='A1'"}},
        {"load project",
         [&] { projects->LoadProject("P1", header); },
         {"select * from b_project_data where ProjectName='P1'"}},
        {"project exists",
         [&] { projects->IsProjectExist("P1"); },
         {"b_project_data", "select ProjectName from b_project_data where ProjectName='P1'"}},
        {"save project",
         [&] { projects->SaveProject(header); },
         {"b_project_data", "delete from b_project_data where ProjectName='P1'",
          "SaveData b_project_data 1"}},
        {"delete project",
         [&] { projects->DeleteProject("P1"); },
         {"b_project_data", "delete from b_project_data where ProjectName='P1'"}},
    });
}

STRATALOOM_ENGINES(StatementTextTest);

}  // namespace
