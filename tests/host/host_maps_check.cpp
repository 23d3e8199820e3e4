// A host built against the public headers alone: loads the module with
// dlopen and runs every operation of the map-polyline, structure, 2D line,
// 3D grid and seismic-body interfaces on a copy of the template, answering
// the overwrite question of the polylines both ways. With
// STRATALOOM_TEST_SERVER set, it does the same on a database it creates on
// that server with CreateSqlServerDatabase.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "host/hostmodule.h"

namespace fs = std::filesystem;

namespace {

// The host's box: questions get the answer set last; every box is counted.
int g_answer = IDNO;
int g_boxes = 0;
std::string g_lastText;

int AnsweringBox(const char* text, const char*, unsigned int) {
    ++g_boxes;
    g_lastText = text ? text : "";
    return g_answer;
}

void* QuietWaitBegin(const char*) {
    return nullptr;
}
void QuietWaitEnd(void*) {}

std::vector<double> Values(std::size_t count, double base) {
    std::vector<double> values;
    for (std::size_t i = 0; i < count; ++i) values.push_back(base + i);
    return values;
}

CSRecord Line(const char* marker, const char* name, char type, std::size_t vertices) {
    CSRecord line;
    line.MarkerName = marker;
    line.CSName = name;
    line.CSType = type;
    line.Xcoor = Values(vertices, 100.0);
    line.Ycoor = Values(vertices, 200.0);
    line.Depth = Values(vertices, -300.0);
    line.TurnPoint1 = 1;
    return line;
}

void RunPolylines(host::Module& module, host::Checks& check, const std::string& db,
                  const std::string& on) {
    auto lines = module.Create<ICSData>("ICSData", db);
    if (!lines) return check(false, "ICSData created" + on);
    NameList names;
    std::vector<CSRecord> loaded;
    CSRecord one;
    check(lines->SaveCS(Line("H1", "F1", '0', 4)) == 1 && g_boxes == 0, "polylines SaveCS" + on);
    check(lines->SaveCSList({Line("H1", "F2", '3', 5), Line("H2", "F3", '4', 3)}) == 1 &&
              g_boxes == 0,
          "polylines SaveCSList" + on);

    g_answer = IDNO;
    check(lines->SaveCS(Line("H1", "F1", '1', 9)) == 0 && g_boxes == 1 &&
              g_lastText == "\"H1\"中已经存在F1,是否覆盖?",
          "polylines SaveCS answered No" + on);
    check(lines->SaveCSList({Line("H1", "F1", '1', 9), Line("H1", "F2", '1', 9)}) == 0 &&
              g_boxes == 2 && g_lastText == "已经存在\"F1\",\"F2\",\n是否覆盖?",
          "polylines SaveCSList answered No" + on);
    check(lines->LoadCS("H1", "F1", one) == 1 && one.CSType == '0' && one.Xcoor.size() == 4,
          "polylines LoadCS after No" + on);
    g_answer = IDYES;
    check(lines->SaveCS(Line("H1", "F1", '1', 6)) == 1 && g_boxes == 3,
          "polylines SaveCS answered Yes" + on);
    check(lines->SaveCSList({Line("H1", "F2", '3', 7)}) == 1 && g_boxes == 4,
          "polylines SaveCSList answered Yes" + on);
    check(lines->LoadCS("H1", "F1", one) == 1 && one.CSType == '1' && one.Depth.size() == 6,
          "polylines LoadCS after Yes" + on);

    check(lines->GetMarkerNamesOfTypes012(names) == 1 && names == NameList{"H1"},
          "polylines GetMarkerNamesOfTypes012" + on);
    names.clear();
    check(lines->GetMarkerNamesOfTypes34(names) == 1 && names.size() == 2,
          "polylines GetMarkerNamesOfTypes34" + on);
    names.clear();
    check(lines->GetCSNames(2, names) == 1 && names == NameList{"F3"}, "polylines GetCSNames" + on);
    names.clear();
    check(lines->GetMarkerCSNames("H1", 1, names) == 1 && names == NameList{"F2"},
          "polylines GetMarkerCSNames" + on);
    check(lines->LoadAllCS(-1, loaded) == 1 && loaded.size() == 2, "polylines LoadAllCS" + on);
    loaded.clear();
    check(lines->LoadCSByNames("H1", 0, {"F1", "F2"}, loaded) == 1 && loaded.size() == 1 &&
              loaded[0].Ycoor.size() == 6,
          "polylines LoadCSByNames" + on);
    loaded.clear();
    check(lines->LoadMarkerCS("H1", 3, loaded) == 1 && loaded.size() == 1 &&
              loaded[0].Xcoor.size() == 7,
          "polylines LoadMarkerCS" + on);
    check(lines->IsMarkerCSExist("H2") == 1 && lines->IsCSExist("H2", "F3") == 1,
          "polylines IsMarkerCSExist and IsCSExist" + on);
    check(lines->DeleteCS("H2", "F3") == 1 && lines->IsCSExist("H2", "F3") == 0,
          "polylines DeleteCS" + on);
    check(lines->DeleteMarkerCS("H1", 1) == 1 && lines->IsCSExist("H1", "F2") == 0,
          "polylines DeleteMarkerCS" + on);
    check(lines->Reserved(nullptr, nullptr) == 0, "polylines slot 16" + on);
    check(lines->DeleteCSByType(0) == 1 && lines->IsMarkerCSExist("H1") == 0,
          "polylines DeleteCSByType" + on);
    std::vector<CSPoint> points(10);
    lines->ReleasePointList(points);
    lines->ClearCSRecord(one);
    check(points.empty() && one.CSName.empty() && one.Xcoor.empty() && one.MarkerName == "H1",
          "polylines ReleasePointList and ClearCSRecord" + on);
    check(g_boxes == 4, "polylines asked nothing else" + on);
}

StructureRecord Surface(const char* marker, std::size_t points) {
    StructureRecord surface;
    surface.MarkerName = marker;
    surface.Xcoor = Values(points, 1.0);
    surface.Ycoor = Values(points, 2.0);
    surface.Depth = Values(points, 3.0);
    return surface;
}

void RunStructures(host::Module& module, host::Checks& check, const std::string& db,
                   const std::string& on) {
    auto structures = module.Create<IStructureData>("IStructureData", db);
    if (!structures) return check(false, "IStructureData created" + on);
    NameList names;
    StructureRecord one;
    std::vector<StructureRecord> loaded;
    check(structures->SaveStructureData("P", Surface("H1", 5)) == 1,
          "structures SaveStructureData" + on);
    StructureRecord h2 = Surface("H2", 4);
    h2.ProjectName = "P";
    check(structures->SaveStructuresData("", {h2}) == 1, "structures SaveStructuresData" + on);
    check(structures->GetStructureMarkerNames("P", names) == 1 && names.size() == 2,
          "structures GetStructureMarkerNames" + on);
    check(structures->LoadStructureData("H1", one) == 1 && one.Depth.size() == 5,
          "structures LoadStructureData" + on);
    check(structures->LoadProjectStructureData("P", loaded) == 1 && loaded.size() == 2 &&
              loaded[0].ProjectName == "P",
          "structures LoadProjectStructureData" + on);
    check(structures->IsStructureDataExist("P", "H2") == 1, "structures IsStructureDataExist" + on);
    names.clear();
    check(structures->GetStructuresWithData("", {h2}, names) == 1 && names == NameList{"H2"},
          "structures GetStructuresWithData" + on);
    check(structures->DeleteStructureData("H1") == 1 &&
              structures->IsStructureDataExist("P", "H1") == 0,
          "structures DeleteStructureData" + on);
    check(structures->DeleteStructuresData({"H2"}) == 1 &&
              structures->IsStructureDataExist("P", "H2") == 0,
          "structures DeleteStructuresData" + on);
    // Without well markers of that name nothing of the project goes.
    check(structures->SaveStructureData("P", Surface("H3", 3)) == 1 &&
              structures->DeleteProjectStructureData("P") == 1 &&
              structures->IsStructureDataExist("P", "H3") == 1,
          "structures DeleteProjectStructureData" + on);
}

LineCoor2DRecord Point(const char* line, const char* cdp, double x) {
    LineCoor2DRecord point;
    point.LineName = line;
    point.CDP = cdp;
    point.XCoor = x;
    point.YCoor = x + 1.0;
    point.Elevation = 10.0;
    return point;
}

void RunLines(host::Module& module, host::Checks& check, const std::string& db,
              const std::string& on) {
    auto lines = module.Create<ILineCoor2DData>("ILineCoor2DData", db);
    if (!lines) return check(false, "ILineCoor2DData created" + on);
    NameList names;
    LineCoor2DRecord one;
    std::vector<LineCoor2DRecord> loaded;
    check(lines->SaveLinesData(
              "P", {Point("L1", "1", 1.0), Point("L1", "2", 2.0), Point("L2", "1", 3.0)}) == 1,
          "2D lines SaveLinesData" + on);
    check(lines->SaveLinePoint("", Point("L3", "9", 9.0)) == 1, "2D lines SaveLinePoint" + on);
    check(lines->GetLineNames("", names) == 1 && names.size() == 3, "2D lines GetLineNames" + on);
    check(lines->LoadLineData("L1", loaded) == 1 && loaded.size() == 2,
          "2D lines LoadLineData" + on);
    check(lines->LoadLinePoint("L3", one) == 1 && one.CDP == "9" && one.XCoor == 9.0,
          "2D lines LoadLinePoint" + on);
    loaded.clear();
    check(lines->LoadAllLinesData("", loaded) == 1 && loaded.size() == 4,
          "2D lines LoadAllLinesData" + on);
    check(lines->IsLineDataExist("", "L2") == 1, "2D lines IsLineDataExist" + on);
    names.clear();
    check(lines->GetLinesWithData("", {Point("L1", "", 0.0)}, names) == 1 && names.size() == 2,
          "2D lines GetLinesWithData" + on);
    check(lines->DeleteLineData("P", "L1") == 1 && lines->IsLineDataExist("", "L1") == 0,
          "2D lines DeleteLineData" + on);
    check(lines->DeleteLinesData("P", {"L2"}) == 1 && lines->IsLineDataExist("", "L2") == 0,
          "2D lines DeleteLinesData" + on);
    check(lines->DeleteAllLinesData("P") == 1 && lines->IsLineDataExist("", "L3") == 0,
          "2D lines DeleteAllLinesData" + on);
}

LineGrid3DRecord Grid(const char* name, int lineNo) {
    LineGrid3DRecord grid;
    grid.LineGrid3DName = name;
    grid.LineNo1 = lineNo;
    grid.CDPNo3 = 500;
    grid.Xcoor2 = 1234.5;
    return grid;
}

void RunGrids(host::Module& module, host::Checks& check, const std::string& db,
              const std::string& on) {
    auto grids = module.Create<ILineGrid3DData>("ILineGrid3DData", db);
    if (!grids) return check(false, "ILineGrid3DData created" + on);
    NameList names;
    LineGrid3DRecord one;
    std::vector<LineGrid3DRecord> loaded;
    check(grids->SaveGridData(Grid("G1", 1)) == 1, "3D grids SaveGridData" + on);
    check(grids->SaveGridsData("P", {Grid("G2", 2), Grid("G3", 3)}) == 1,
          "3D grids SaveGridsData" + on);
    check(grids->GetGridNames(names) == 1 && names.size() == 3, "3D grids GetGridNames" + on);
    check(grids->LoadGridData("G2", one) == 1 && one.LineNo1 == 2 && one.Xcoor2 == 1234.5,
          "3D grids LoadGridData" + on);
    check(grids->LoadAllGridsData(loaded) == 1 && loaded.size() == 3,
          "3D grids LoadAllGridsData" + on);
    // Grids stored here are not yet registered by the seismic loaders.
    check(grids->IsGridDataExist("G1") == 0, "3D grids IsGridDataExist" + on);
    names.clear();
    check(grids->GetGridsWithData({Grid("G1", 0), Grid("G9", 0)}, names) == 1 &&
              names == NameList{"G1"},
          "3D grids GetGridsWithData" + on);
    check(grids->DeleteGridData("G1") == 1, "3D grids DeleteGridData" + on);
    check(grids->DeleteGridsData("P", {"G2"}) == 1, "3D grids DeleteGridsData" + on);
    names.clear();
    check(grids->GetGridNames(names) == 1 && names == NameList{"G3"},
          "3D grids deleted what they named" + on);
    names.clear();
    check(grids->DeleteAllGridsData("P") == 1 && grids->GetGridNames(names) == 0,
          "3D grids DeleteAllGridsData" + on);
}

void RunBodies(host::Module& module, host::Checks& check, const std::string& db,
               const std::string& on) {
    auto bodies = module.Create<IEarthShockBodyData>("IEarthShockBodyData", db);
    if (!bodies) return check(false, "IEarthShockBodyData created" + on);
    std::vector<EarthShockBodyRecord> points(3);
    points[1].LineNumber = 7;
    points[2].X = 1.5f;
    std::vector<EarthShockBodyRecord> loaded;
    check(
        bodies->SaveBodyPoints({points[0], points[1]}) == 0 && bodies->SaveBodyPoints(points) == 1,
        "seismic bodies SaveBodyPoints" + on);
    check(bodies->LoadBodyPoints(loaded) == 1 && loaded.size() == 3,
          "seismic bodies LoadBodyPoints" + on);
    loaded.clear();
    check(bodies->DeleteBodyPoints() == 1 && bodies->LoadBodyPoints(loaded) == 0,
          "seismic bodies DeleteBodyPoints" + on);
}

void RunAll(host::Module& module, host::Checks& check, const std::string& db,
            const std::string& on) {
    g_boxes = 0;
    RunPolylines(module, check, db, on);
    RunStructures(module, check, db, on);
    RunLines(module, check, db, on);
    RunGrids(module, check, db, on);
    RunBodies(module, check, db, on);
    check(g_boxes == 4, "no box but the overwrite questions" + on);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: host_maps_check MODULE TEMPLATE\n");
        return 2;
    }
    const std::string id = std::to_string(::getpid());
    const fs::path dir = fs::temp_directory_path() / ("strataloom-maps-" + id);
    fs::remove_all(dir);
    fs::create_directories(dir);
    const std::string db = (dir / "Maps.mdb").string();
    fs::copy_file(argv[2], db);

    host::Checks check;
    {
        host::Module module(argv[1]);
        if (!module.Loaded()) return 1;
        reinterpret_cast<MessageBoxHandler (*)(MessageBoxHandler)>(
            module.Symbol("SetMessageBoxHandler"))(&AnsweringBox);
        reinterpret_cast<void (*)(WaitDialogBeginHandler, WaitDialogEndHandler)>(
            module.Symbol("SetWaitDialogHandlers"))(&QuietWaitBegin, &QuietWaitEnd);
        RunAll(module, check, db, "");

        const char* server = std::getenv("STRATALOOM_TEST_SERVER");
        if (server && *server) {
            auto projects = module.Create<IBasicProjectData>("IBasicProjectData", "");
            const std::string name = "strataloom_maps" + id;
            check(projects && projects->CreateSqlServerDatabase(name.c_str(), server) == 1,
                  "CreateSqlServerDatabase");
            RunAll(module, check, std::string(server) + " dbname=" + name, " on the server");
        } else {
            std::printf("skip server part: STRATALOOM_TEST_SERVER is not set\n");
        }
    }
    fs::remove_all(dir);
    return check.Finish();
}
