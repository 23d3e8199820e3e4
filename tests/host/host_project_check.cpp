// A host built against the public headers alone: loads the module with
// dlopen, creates a project directory with CreateProjectFiles, and runs every
// operation of the project, list, marker, deviation-survey and log-curve
// interfaces on it. With STRATALOOM_TEST_SERVER set, it also creates a
// database on that server with CreateSqlServerDatabase and stores and loads
// wells, markers and curves there.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "host/hostmodule.h"

namespace fs = std::filesystem;

namespace {

MarkerSet Markers(const char* well) {
    MarkerSet set;
    set.WellName = well;
    set.Records = {{"M2", 1200.0, 1210.0, "sand"}, {"M1", 1100.0, 1150.0, "shale"}};
    return set;
}

DeviateRecord Survey(const char* well) {
    DeviateRecord survey;
    survey.WellName = well;
    for (std::vector<double>* array :
         {&survey.Md, &survey.Azimuth, &survey.Inclination, &survey.Xoffset, &survey.Yoffset,
          &survey.Xcoor, &survey.Ycoor, &survey.Tvd, &survey.Tvdss}) {
        *array = {0.0, 100.0, 200.0, 300.0};
    }
    return survey;
}

LogCurveSet Curves(const char* well) {
    LogCurveSet set;
    set.WellName = well;
    set.NullValue = -999.25;
    set.Records.resize(2);
    set.Records[0].CurveName = "DEPT";
    set.Records[0].DepthCurve = 0;
    set.Records[0].CurveValue = {1000.0, 1000.5, 1001.0};
    set.Records[1].CurveName = "GR";
    set.Records[1].Measure = "API";
    set.Records[1].DepthCurve = 0;
    set.Records[1].CurveValue = {45.0, 60.5, 80.25};
    return set;
}

void RunMarkers(host::Module& module, host::Checks& check, const std::string& db,
                const std::string& on) {
    auto markers = module.Create<IMarkerData>("IMarkerData", db);
    if (!markers) return check(false, "IMarkerData created" + on);
    NameList names;
    MarkerSet set;
    std::vector<MarkerSet> sets;
    check(markers->SaveWellData(Markers("W1")) == 1, "markers SaveWellData" + on);
    check(markers->SaveWellsData("", {Markers("W1"), Markers("W2")}) == 1,
          "markers SaveWellsData" + on);
    check(markers->GetWellNamesWithData("P", names) == 1 && names == NameList{"W1", "W2"},
          "markers GetWellNamesWithData" + on);
    names.clear();
    check(markers->GetMarkerNames("P", names) == 1 && names.size() == 2,
          "markers GetMarkerNames" + on);
    names.clear();
    check(markers->GetWellMarkerNames("W1", names) == 1 && names.size() == 2,
          "markers GetWellMarkerNames" + on);
    check(markers->LoadMarkersByName("P", "M1", sets) == 1 && sets.size() == 2,
          "markers LoadMarkersByName" + on);
    check(markers->LoadWellData("W1", set) == 1 && set.Records.size() == 2 &&
              set.Records[0].MarkerName == "M1",
          "markers LoadWellData" + on);
    sets.clear();
    check(markers->LoadAllWellsData("", sets) == 1 && sets.size() == 2,
          "markers LoadAllWellsData" + on);
    check(markers->IsWellDataExist("W1") == 1, "markers IsWellDataExist" + on);
    names.clear();
    check(markers->GetWellsWithData({Markers("W2")}, names) == 1 && names.size() == 2,
          "markers GetWellsWithData" + on);
    check(markers->DeleteWellData("W1") == 1 && markers->IsWellDataExist("W1") == 0,
          "markers DeleteWellData" + on);
    check(markers->DeleteWellsData({"W2"}) == 1 && markers->IsWellDataExist("W2") == 0,
          "markers DeleteWellsData" + on);
    check(markers->SaveWellData(Markers("W1")) == 1 && markers->DeleteProjectData("P") == 1 &&
              markers->IsWellDataExist("W1") == 0,
          "markers DeleteProjectData" + on);
}

void RunSurveys(host::Module& module, host::Checks& check, const std::string& db,
                const std::string& on) {
    auto surveys = module.Create<IDeviateData>("IDeviateData", db);
    if (!surveys) return check(false, "IDeviateData created" + on);
    NameList names;
    DeviateRecord survey;
    std::vector<DeviateRecord> all;
    check(surveys->SaveWellData(Survey("W1")) == 1, "surveys SaveWellData" + on);
    check(surveys->SaveWellsData("", {Survey("W1"), Survey("W2")}) == 1,
          "surveys SaveWellsData" + on);
    check(surveys->GetWellNamesWithData("P", names) == 1 && names.size() == 2,
          "surveys GetWellNamesWithData" + on);
    check(surveys->LoadWellData("W1", survey) == 1 && survey.Tvdss.size() == 4,
          "surveys LoadWellData" + on);
    check(surveys->LoadAllWellsData("", all) == 1 && all.size() == 2,
          "surveys LoadAllWellsData" + on);
    check(surveys->IsWellDataExist("W2") == 1, "surveys IsWellDataExist" + on);
    names.clear();
    check(surveys->GetWellsWithData("", {Survey("W2")}, names) == 1 && names == NameList{"W2"},
          "surveys GetWellsWithData" + on);
    check(surveys->DeleteWellData("W1") == 1 && surveys->IsWellDataExist("W1") == 0,
          "surveys DeleteWellData" + on);
    check(surveys->DeleteWellsData({"W2"}) == 1 && surveys->IsWellDataExist("W2") == 0,
          "surveys DeleteWellsData" + on);
    check(surveys->SaveWellData(Survey("W1")) == 1 && surveys->DeleteProjectData("P") == 1 &&
              surveys->IsWellDataExist("W1") == 0,
          "surveys DeleteProjectData" + on);
}

void RunCurves(host::Module& module, host::Checks& check, const std::string& db,
               const std::string& on) {
    auto logs = module.Create<ILogData>("ILogData", db);
    if (!logs) return check(false, "ILogData created" + on);
    NameList names, depthNames;
    LogCurveSet set;
    std::vector<LogCurveSet> sets;
    check(logs->SaveCurves(Curves("W1")) == 1, "curves SaveCurves" + on);
    check(logs->SaveWellsCurves("", {Curves("W1"), Curves("W2")}) == 1,
          "curves SaveWellsCurves" + on);
    check(logs->GetWellNamesWithData("P", names) == 1 && names.size() == 2,
          "curves GetWellNamesWithData" + on);
    names.clear();
    check(logs->GetCurveNames("W1", names, depthNames) == 1 && names.size() == 2,
          "curves GetCurveNames" + on);
    names.clear();
    check(logs->GetDepthCurveNames("W1", names) == 1 && names == NameList{"DEPT"},
          "curves GetDepthCurveNames" + on);
    check(logs->LoadDepthCurves("W1", set) == 1 && set.Records.size() == 1,
          "curves LoadDepthCurves" + on);
    set = LogCurveSet();
    check(logs->LoadCurve("W1", "GR", set) == 1 && set.Records.size() == 2,
          "curves LoadCurve" + on);
    set = LogCurveSet();
    check(logs->LoadWellData("W1", set) == 1 && set.Records.size() == 2 &&
              set.Records[1].CurveValue.size() == 3 && set.Records[1].DepthCurve == 0,
          "curves LoadWellData" + on);
    check(logs->LoadProjectData("P", sets) == 1 && sets.size() == 2, "curves LoadProjectData" + on);
    names.clear();
    check(logs->GetExistingCurveNames(Curves("W1"), names) == 1 && names.size() == 2,
          "curves GetExistingCurveNames" + on);
    check(logs->DeleteCurve("W1", "GR") == 1, "curves DeleteCurve" + on);
    check(logs->DeleteCurves("W2", {"GR"}) == 1, "curves DeleteCurves" + on);
    check(logs->DeleteWellData("W1") == 1, "curves DeleteWellData" + on);
    check(logs->DeleteWellsData({"W2"}) == 1, "curves DeleteWellsData" + on);
    names.clear();
    check(logs->SaveCurves(Curves("W1")) == 1 && logs->DeleteProjectData("P") == 1 &&
              logs->GetWellNamesWithData("P", names) == 0,
          "curves DeleteProjectData" + on);
}

void RunWellbore(host::Module& module, host::Checks& check, const std::string& db,
                 const std::string& on) {
    check(host::SaveProjectWells(module, db, "P", {"W1", "W2"}), "wells SaveWells" + on);
    RunMarkers(module, check, db, on);
    RunSurveys(module, check, db, on);
    RunCurves(module, check, db, on);
}

void RunProjectLists(host::Module& module, host::Checks& check, const std::string& db) {
    auto projects = module.Create<IBasicProjectData>("IBasicProjectData", db);
    BasicProjectRecord header;
    header.ProjectName = "P";
    header.EWmin = 1.0;
    header.EWmax = 2.0;
    BasicProjectRecord loaded;
    check(projects && projects->SaveProject(header) == 1 && projects->IsProjectExist("P") == 1 &&
              projects->LoadProject("P", loaded) == 1 && loaded.EWmax == 2.0,
          "project header saved and loaded");

    auto lists = module.Create<IWellListData>("IWellListData", db);
    WellListSet list{"L1", {{"W1", 1}, {"W2", 2}}};
    WellListSet loadedList;
    NameList names;
    check(lists && lists->SaveWellList(list) == 1 && lists->IsWellListExist("L1") == 1 &&
              lists->LoadWellList("L1", loadedList) == 1 && loadedList.Records.size() == 2 &&
              lists->GetWellListNames(names) == 1 && lists->DeleteWellList("L1") == 1,
          "well lists");

    auto sections = module.Create<ISectionWellListData>("ISectionWellListData", db);
    SectionWellListRecord section{"S1", "W1,W2"}, loadedSection;
    std::vector<SectionWellListRecord> allSections;
    names.clear();
    check(
        sections && sections->SaveSection(section) == 1 && sections->SaveSections({section}) == 1 &&
            sections->LoadSection("S1", loadedSection) == 1 &&
            sections->LoadAllSections(allSections) == 1 && sections->GetSectionNames(names) == 1 &&
            sections->DeleteSection("S1") == 1 && sections->DeleteAllSections() == 1,
        "section well lists");

    auto areas = module.Create<IAOIData>("IAOIData", db);
    AOIRecord area;
    area.AOIName = "A1";
    area.Xmin = 10.0;
    AOIRecord loadedArea;
    std::vector<AOIRecord> projectAreas;
    names.clear();
    check(areas && areas->SaveGlobalAOI("P", header) == 1 && areas->SaveAOI("P", area) == 1 &&
              areas->IsAOIExist("A1") == 1 && areas->LoadAOI("A1", loadedArea) == 1 &&
              loadedArea.Xmin == 10.0 && areas->LoadProjectAOIs("P", projectAreas) == 1 &&
              projectAreas.size() == 2 && areas->GetAOINames("", names) == 1 &&
              areas->DeleteAOI("A1") == 1,
          "areas of interest");
    check(projects && projects->DeleteProject("P") == 1 && projects->IsProjectExist("P") == 0,
          "project header deleted");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: host_project_check MODULE TEMPLATE_DIR\n");
        return 2;
    }
    host::Checks check;
    host::Module module(argv[1]);
    if (!module.Loaded()) return 1;
    check(module.QuietHooks(), "host hooks found");

    const std::string id = std::to_string(::getpid());
    const fs::path parent = fs::temp_directory_path() / ("strataloom-project-" + id);
    fs::create_directories(parent);
    auto projects = module.Create<IBasicProjectData>("IBasicProjectData", "");
    check(projects && projects->CreateProjectFiles("Field", parent.c_str(), argv[2]) == 1,
          "CreateProjectFiles");
    const std::string db = (parent / "Field" / "Field.mdb").string();
    RunProjectLists(module, check, db);
    RunWellbore(module, check, db, "");

    const char* server = std::getenv("STRATALOOM_TEST_SERVER");
    if (server && *server) {
        const std::string name = "strataloom_host" + id;
        check(projects->CreateSqlServerDatabase(name.c_str(), server) == 1,
              "CreateSqlServerDatabase");
        RunWellbore(module, check, std::string(server) + " dbname=" + name, " on the server");
    } else {
        std::printf("skip server part: STRATALOOM_TEST_SERVER is not set\n");
    }
    projects.reset();
    fs::remove_all(parent);
    return check.Finish();
}
