// The host program's data commands on a project database of each engine,
// run on the tour's data the way the program runs them: by name, with
// their arguments, to their exit code and output.
#include "formats/hostcommands.h"

#include <filesystem>
#include <sstream>

#include "formats/las.h"
#include "formatstest.h"
#include "frame/cdatafactory.h"
#include "support/projectdb.h"

namespace {

using formatstest::DemoPath;
using strataloom::formats::CommandIo;
using strataloom::formats::FindFormatCommand;
using strataloom::formats::ProgressReporter;
using testsupport::ProjectDbTest;

class RecordingProgress : public ProgressReporter {
  public:
    void Show(std::size_t done, std::size_t total, const std::string& item) override {
        calls += "show " + std::to_string(done) + "/" + std::to_string(total) + " " +
                 item.substr(item.rfind('/') + 1) + "; ";
    }
    void Clear() override { calls += "clear; "; }
    std::string calls;
};

struct Outcome {
    int code = -1;
    std::string out;
    std::string err;
};

Outcome RunCommand(IDataFactory& factory, const std::string& name, std::vector<std::string> args,
                   ProgressReporter* progress = nullptr,
                   std::function<std::string()> reason = nullptr) {
    std::ostringstream out;
    std::ostringstream err;
    CommandIo io{out, err, progress, std::move(reason)};
    const auto* command = FindFormatCommand(name);
    Outcome run;
    if (command) run.code = command->run(factory, args, io);
    run.out = out.str();
    run.err = err.str();
    return run;
}

bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

class HostCommandsTest : public ProjectDbTest {
  protected:
    Outcome Command(const std::string& name, std::vector<std::string> args,
                    ProgressReporter* progress = nullptr) {
        args.insert(args.begin(), Connect());
        return RunCommand(factory, name, std::move(args), progress);
    }
    CDataFactory factory;
};

TEST_P(HostCommandsTest, TheTourThroughEveryCommand) {
    RecordingProgress progress;
    const std::string missing = (Dir() / "missing.las").string();
    Outcome run = Command(
        "import-las",
        {"--project", "Demo", DemoPath("DEMO-1.las"), DemoPath("DEMO-2.las"), missing}, &progress);
    EXPECT_EQ(1, run.code);  // the project is unknown: nothing is imported
    EXPECT_TRUE(Has(run.err, "project Demo is not in")) << run.err;
    EXPECT_EQ(0, Count("w_well_data"));
    run = Command("import-las",
                  {"--project", "Demo", "--create-project", DemoPath("DEMO-1.las"),
                   DemoPath("DEMO-2.las"), missing},
                  &progress);
    EXPECT_EQ(1, run.code);  // one file of three failed
    EXPECT_TRUE(Has(run.out, "Project Demo created, depths in m\n")) << run.out;
    EXPECT_TRUE(Has(run.out,
                    "DEMO-1.las: well DEMO-1, 5 curves x 1200 depth steps imported, "
                    "well header created, 5 added\n"))
        << run.out;
    EXPECT_TRUE(Has(run.out, "\n2 of 3 files imported\n")) << run.out;
    EXPECT_TRUE(Has(run.err, missing + ": error: cannot open")) << run.err;
    EXPECT_EQ(
        "show 0/3 DEMO-1.las; clear; show 1/3 DEMO-2.las; clear; show 2/3 missing.las; clear; ",
        progress.calls);

    run = Command("wells", {"--project", "Demo"});
    EXPECT_EQ(0, run.code);
    EXPECT_TRUE(
        Has(run.out, "DEMO-1    -         512430   4412875  1         0           112.5  105  -"))
        << run.out;

    run = Command("curves", {"DEMO-1"});
    EXPECT_EQ(0, run.code);
    EXPECT_TRUE(Has(run.out, "Well DEMO-1, null value -999.25\n")) << run.out;
    EXPECT_TRUE(Has(run.out, "GR     GAPI  DEPT        1200")) << run.out;

    run = Command("import-tops", {DemoPath("tops.csv")});
    EXPECT_EQ(0, run.code) << run.err;
    EXPECT_TRUE(Has(run.out, "tops.csv: markers of 2 wells imported (9 rows, 9 added)\n"))
        << run.out;
    run = Command("markers", {"DEMO-1"});
    EXPECT_TRUE(Has(run.out, "Gas Sand        1700  1750    gas-bearing sand")) << run.out;

    run = Command("import-deviation", {DemoPath("deviation.csv")});
    EXPECT_EQ(0, run.code) << run.err;
    EXPECT_TRUE(
        Has(run.out, "deviation.csv: deviation surveys of 2 wells imported (25 rows, 2 added)"))
        << run.out;
    auto surveys = Create<IDeviateData>("IDeviateData");
    DeviateRecord survey;
    ASSERT_EQ(1, surveys->LoadWellData("DEMO-1", survey));
    ASSERT_EQ(22u, survey.Md.size());
    EXPECT_EQ(512430.0, survey.Xcoor[0]);
    EXPECT_EQ(800.0, survey.Tvd[8]);                          // vertical down to 800 m
    EXPECT_GT(survey.Xoffset.back(), survey.Yoffset.back());  // heading 60°: more east than north
    EXPECT_EQ(survey.Tvd.back() - 112.5, survey.Tvdss.back());

    run = Command("info", {"--project", "Demo"});
    EXPECT_EQ(0, run.code);
    for (const char* row :
         {"b_project_data  1     project header", "w_well_data     2     wells",
          "w_log_data      10    log curves                       2",
          "w_marker_data   9     markers", "w_deviate_well  2     deviation surveys"}) {
        EXPECT_TRUE(Has(run.out, row)) << row << "\n" << run.out;
    }

    const std::string las = (Dir() / "DEMO-1.las").string();
    run = Command("export-las", {"DEMO-1", "-o", las});
    EXPECT_EQ(0, run.code) << run.err;
    EXPECT_EQ(
        "Well DEMO-1: 5 curves x 1200 depth steps of depth curve DEPT written to " + las + "\n",
        run.out);
    strataloom::formats::LasFile exported;
    strataloom::formats::Diagnostics diagnostics(las);
    ASSERT_TRUE(strataloom::formats::ReadLasFile(las, exported, diagnostics));
    EXPECT_EQ("512430.0", exported.WellItem("X")->value);  // as the file wrote it
    EXPECT_EQ("KELLY BUSHING ELEVATION", exported.WellItem("EKB")->description);
    EXPECT_EQ(-999.25, exported.curves[4].values[780]);  // the washout stays null

    // A depth range in feet of a metre project: the header goes along, the
    // range is read in the unit written.
    run = Command("export-las", {"DEMO-1", "-o", "-", "--unit", "ft", "--depth", "4921:4923"});
    EXPECT_EQ(0, run.code) << run.err;
    EXPECT_TRUE(Has(run.err,
                    "5 curves x 2 depth steps of depth curve DEPT written to standard "
                    "output, depths converted from m to ft\n"))
        << run.err;
    strataloom::formats::LasFile part;
    ASSERT_TRUE(strataloom::formats::ParseLas(run.out, part, diagnostics)) << diagnostics.Error();
    EXPECT_EQ("4921.25984", part.WellItem("STRT")->value);
    EXPECT_EQ("FT", part.WellItem("STOP")->unit);
    EXPECT_EQ("KELLY BUSHING ELEVATION", part.WellItem("EKB")->description);
    EXPECT_EQ(2u, part.Rows());

    const std::string svg = (Dir() / "demo.svg").string();
    run = Command("plot", {"DEMO-1", "--curves", "GR,ILD", "-o", svg});
    EXPECT_EQ(0, run.code) << run.err;
    EXPECT_EQ("Plot of well DEMO-1 (depths 1500 to 2099.5): " + svg + "\n", run.out);
    std::string picture;
    std::string reason;
    ASSERT_TRUE(strataloom::formats::ReadWholeFile(svg, picture, reason));
    std::size_t tracks = 0;
    std::size_t markers = 0;
    for (std::size_t at = 0; (at = picture.find("<g class=\"track\"", at)) != std::string::npos;
         ++at) {
        ++tracks;
    }
    for (std::size_t at = 0; (at = picture.find("class=\"marker\"", at)) != std::string::npos;
         ++at) {
        ++markers;
    }
    EXPECT_EQ(2u, tracks);
    EXPECT_EQ(5u, markers);
}

TEST_P(HostCommandsTest, AFileThatCannotBeReadChangesNothing) {
    const std::string csv = (Dir() / "tops.csv").string();
    std::string reason;
    ASSERT_TRUE(
        strataloom::formats::WriteWholeFile(csv, "well,marker,top\nA,M1,100\nB,M2,lots\n", reason));
    const Outcome run = Command("import-tops", {csv});
    EXPECT_EQ(1, run.code);
    EXPECT_EQ(csv + ":3: error: expected a number for the top depth, found 'lots'\n", run.err);
    EXPECT_EQ("", run.out);
    EXPECT_EQ(0, Count("w_marker_data"));

    const std::string survey = (Dir() / "survey.csv").string();
    ASSERT_TRUE(strataloom::formats::WriteWholeFile(
        survey, "well,md,inc,azi\nNOHEAD,0,0,0\nNOHEAD,10,1,0\nNOHEAD,20,2,0\n", reason));
    const Outcome orphan = Command("import-deviation", {survey});
    EXPECT_EQ(1, orphan.code);
    EXPECT_TRUE(Has(orphan.out,
                    "(0 rows, 3 rows refused)\n  well NOHEAD: 3 rows refused, the "
                    "database has no such well\n"))
        << orphan.out;
    EXPECT_EQ(0, Count("w_deviate_well"));
}

TEST_P(HostCommandsTest, ThePlotTakesTheCurveDictionarysScaleAndTheWellsDepthUnit) {
    const std::string las = (Dir() / "dict.las").string();
    std::string text =
        "~Version\n VERS. 2.0 :\n WRAP. NO :\n~Well\n WELL. D-1 :\n~Curve\n DEPT.FT :\n"
        " RDEEP.RES :\n GR.GAPI :\n~A\n";
    for (int i = 0; i < 50; ++i) {
        text += std::to_string(3000 + i) + " " + std::to_string(1 + i) + " " +
                std::to_string(40 + i) + "\n";
    }
    std::string reason;
    ASSERT_TRUE(strataloom::formats::WriteWholeFile(las, text, reason));
    // A project in feet, so that the file's depths are stored as written.
    ASSERT_EQ(
        0, Command("import-las", {"--project", "P", "--create-project", "--depth-unit", "ft", las})
               .code);
    auto dictionary = Create<ICurveDictionary>("ICurveDictionary");
    CurveDictionaryRecord entry;
    entry.CurveName = "RDEEP";
    entry.CoorType = 1;  // a logarithmic track
    entry.LeftValue = 0.2;
    entry.RightValue = 2000.0;
    ASSERT_EQ(1, dictionary->SaveEntry(entry));

    const Outcome run = Command("plot", {"D-1", "-o", "-", "--scale", "GR=0:150"});
    ASSERT_EQ(0, run.code) << run.err;
    EXPECT_TRUE(Has(run.err, "Plot of well D-1 (depths 3000 to 3049): standard output")) << run.err;
    EXPECT_TRUE(Has(run.out,
                    "data-curve=\"RDEEP\" data-unit=\"RES\" data-scale=\"logarithmic\" "
                    "data-min=\"0.2\" data-max=\"2000\""))
        << run.out.substr(0, 2000);
    EXPECT_TRUE(Has(run.out,
                    "data-curve=\"GR\" data-unit=\"GAPI\" data-scale=\"linear\" "
                    "data-min=\"0\" data-max=\"150\""));
    EXPECT_TRUE(Has(run.out, ">Depth (FT)</text>"));
}

TEST_P(HostCommandsTest, ProjectsListsEveryProjectOfEitherTableWithItsWells) {
    Exec("insert into b_project_data (ProjectName) values ('Demo')");
    Exec("insert into b_project_data (ProjectName) values ('Leer Ü')");
    Exec("insert into b_project_data (ProjectName) values ('')");
    for (const char* row :
         {"'Demo', 'W 1'", "'Demo', 'W2'", "'Nord \"3\", Öl', 'N1'", "NULL, 'Orphan'"}) {
        Exec(std::string("insert into w_well_data (ProjectName, WellName) values (") + row + ")");
    }
    // A project with wells and no header is listed, marked; nameless rows are not.
    const Outcome run = Command("projects", {"--format", "csv"});
    EXPECT_EQ(0, run.code) << run.err;
    EXPECT_EQ(
        "Project,Header,Wells\r\nDemo,yes,2\r\nLeer Ü,yes,0\r\n\"Nord \"\"3\"\", Öl\",no,1\r\n",
        run.out);

    Exec("drop table w_well_data");
    const Outcome damaged = Command("projects", {});
    EXPECT_EQ(1, damaged.code);
    EXPECT_TRUE(Has(damaged.err, "cannot list the projects of " + Connect() + ": ")) << damaged.err;
    EXPECT_TRUE(Has(damaged.err, "w_well_data")) << damaged.err;
}

// delete-well removes every row of the well in every table of well data, in
// one transaction: another well stays whole, a removal refused half-way
// removes nothing, and the check finds nothing left behind.
TEST_P(HostCommandsTest, DeleteWellRemovesEveryRowOfTheWellAndNothingElse) {
    Exec("insert into b_project_data (ProjectName) values ('P')");
    for (const std::string well : {"A", "B"}) {
        const std::string name = "'" + well + "'";
        Exec("insert into w_well_data (ProjectName, WellName) values ('P', " + name + ")");
        LogCurveSet curves{well, -999.25, {{"DEPT", "m", 0, {1, 2, 3}}, {"GR", "", 0, {7, 8, 9}}}};
        ASSERT_EQ(1, Create<ILogData>("ILogData")->SaveCurves(curves));
        for (const char* table :
             {"w_text_data (WellName, TextCurveName)", "w_takecore_data (WellName, CoreName)",
              "w_oiltest_data (WellName, XH)", "w_interpret_data (WellName, InterpretName)",
              "w_pic_data (WellName, FileName)", "w_las_header (WellName, Mnemonic)"}) {
            Exec(std::string("insert into ") + table + " values (" + name + ", 'x')");
        }
    }
    Exec("insert into w_takecore_data (WellName, CoreName) values ('A', 'y')");
    const std::vector<std::string> tables = {
        "w_well_data",    "w_log_data",       "w_text_data", "w_takecore_data",
        "w_oiltest_data", "w_interpret_data", "w_pic_data",  "w_las_header"};
    const auto rowsOf = [&](const std::string& well) {
        long rows = 0;
        for (const std::string& table : tables)
            rows += Count(table + " where WellName = '" + well + "'");
        return rows;
    };
    ASSERT_EQ(10, rowsOf("A"));

    // Refused in the last table of well A: nothing of A is removed.
    RefuseDeletesWhere("w_las_header", "WellName", "A");
    const Outcome refused = Command("delete-well", {"A", "--project", "P"});
    EXPECT_EQ(1, refused.code);
    EXPECT_TRUE(Has(refused.err,
                    "the well A was not deleted, nothing was: cannot remove the "
                    "rows of w_las_header"))
        << refused.err;
    EXPECT_EQ(10, rowsOf("A"));
    Exec(OnServer() ? "drop trigger refuse_delete_w_las_header on w_las_header"
                    : "drop trigger refuse_delete_w_las_header");

    const Outcome run = Command("delete-well", {"A", "--project", "P"});
    EXPECT_EQ(0, run.code) << run.err;
    EXPECT_TRUE(Has(run.out,
                    "Deleting well A: its header in project P, 2 curves, 0 markers, "
                    "no deviation survey\n  w_well_data: 1 row\n  w_log_data: 2 rows\n"))
        << run.out;
    EXPECT_TRUE(Has(run.out, "  w_takecore_data: 2 rows\n")) << run.out;
    EXPECT_TRUE(Has(run.out,
                    "Well A deleted: 10 rows from 8 tables\n"
                    "Its picture files in the project's pic folder are kept\n"))
        << run.out;
    EXPECT_EQ(0, rowsOf("A"));
    EXPECT_EQ(9, rowsOf("B"));
    const Outcome check = Command("check", {});
    EXPECT_EQ(0, check.code) << check.out << check.err;

    const Outcome again = Command("delete-well", {"A", "--project", "P"});
    EXPECT_EQ(1, again.code);
    EXPECT_TRUE(Has(again.err, "there is no well A in ")) << again.err;
}

STRATALOOM_ENGINES(HostCommandsTest);

TEST(HostCommands, BadUsageIsTwoAndFailuresOneWithTheModulesReason) {
    CDataFactory factory;
    for (const auto& [name, args] : std::vector<std::pair<std::string, std::vector<std::string>>>{
             {"plot", {"db"}},
             {"plot", {"db", "W", "--colour", "red"}},
             {"import-las", {"db", "a.las"}},
             {"export-las", {"db", "W", "-o"}},
             {"export-las", {"db", "W", "-o", "-", "--depth", "2000:1000"}},
             {"export-las", {"db", "W", "--depth", "1000:2000", "--unit", "yd"}},
             {"import-las", {"db", "--project", "P", "--replace", "--depth-unit", "ft", "a.las"}},
             {"import-tops", {"db", "--replace=yes", "t.csv"}},
             {"wells", {}}}) {
        const Outcome run = RunCommand(factory, name, args);
        EXPECT_EQ(2, run.code) << name;
        EXPECT_EQ(0u, run.err.find("strataloom: ")) << run.err;
    }
    testsupport::TempDir dir;
    const std::string absent = (dir.Path() / "absent.mdb").string();
    testsupport::BoxCapture boxes;
    const Outcome run = RunCommand(factory, "curves", {absent, "W"}, nullptr,
                                   [] { return std::string("no such file"); });
    EXPECT_EQ(1, run.code);
    EXPECT_EQ("strataloom: cannot open the project database " + absent + ": no such file\n",
              run.err);
    // The listing of projects only reads: a missing project file is not made.
    const Outcome projects = RunCommand(factory, "projects", {absent});
    EXPECT_EQ(1, projects.code);
    EXPECT_EQ("strataloom: cannot list the projects of " + absent + ": no such project file\n",
              projects.err);
    EXPECT_FALSE(std::filesystem::exists(absent));

    const auto* plot = FindFormatCommand("plot");
    ASSERT_TRUE(plot);
    EXPECT_EQ(nullptr, FindFormatCommand("demo"));
    EXPECT_TRUE(plot->parse({"db", "W", "--curves=GR,RT"}, std::cerr));
    EXPECT_TRUE(strataloom::formats::WantsHelp({"db", "--help"}));
    std::ostringstream help;
    std::ostringstream noErrors;
    CommandIo io{help, noErrors, nullptr, nullptr};
    EXPECT_EQ(0, strataloom::formats::RunFormatCommand(*plot, factory, {"--help"}, io));
    EXPECT_EQ("", noErrors.str());
    EXPECT_EQ(0u,
              help.str().find("usage: strataloom plot DB WELL [--curves A,B,...] [--depth FROM:TO] "
                              "[--scale CURVE=MIN:MAX,...] [-o FILE.svg]\n\n"));
    EXPECT_EQ(17u, strataloom::formats::FormatCommands().size());
}

TEST(ProgressBar, DrawsOnlyOnATerminal) {
    std::ostringstream terminal;
    strataloom::formats::TerminalProgressBar bar(terminal, true);
    bar.Show(2, 4, "c.las");
    bar.Clear();
    EXPECT_EQ("\r\033[K[===============>              ] 3/4  c.las\r\033[K", terminal.str());
    // A single large file shows how far reading it has come.
    std::ostringstream one;
    strataloom::formats::TerminalProgressBar single(one, true);
    single.Show(0, 1, "big.las");
    single.Within(0.5, "reading");
    EXPECT_EQ(
        "\r\033[K[>                             ] 1/1  big.las"
        "\r\033[K[===============>              ] 1/1  big.las (reading 50%)",
        one.str());
    std::ostringstream file;
    strataloom::formats::TerminalProgressBar quiet(file, false);
    quiet.Show(0, 4, "a.las");
    quiet.Clear();
    EXPECT_EQ("", file.str());
}

}  // namespace
