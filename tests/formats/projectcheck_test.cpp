// The check of a project database on each engine: nothing in a project made
// by imports, each problem with its rows in a project broken on purpose,
// --fix removing only what needs no guess, and the exit codes.
#include "formats/projectcheck.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "formatstest.h"
#include "frame/cdatafactory.h"
#include "support/projectdb.h"

namespace {

using formatstest::DemoPath;
using strataloom::formats::CheckFinding;
using strataloom::formats::CheckProblem;
using strataloom::formats::CommandIo;
using strataloom::formats::FindFormatCommand;

struct Outcome {
    int code = -1;
    std::string out;
    std::string err;
};

Outcome Command(const std::string& name, const std::vector<std::string>& args) {
    CDataFactory factory;
    std::ostringstream out;
    std::ostringstream err;
    CommandIo io{out, err, nullptr, nullptr};
    Outcome run;
    if (const auto* command = FindFormatCommand(name)) run.code = command->run(factory, args, io);
    run.out = out.str();
    run.err = err.str();
    return run;
}

bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

std::string FileBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

class ProjectCheckTest : public testsupport::ProjectDbTest {
  protected:
    // The tour's wells imported: a project made the ordinary way.
    void ImportDemoProject() {
        const Outcome las =
            Command("import-las", {Connect(), "--project", "Test", "--create-project",
                                   DemoPath("DEMO-1.las"), DemoPath("DEMO-2.las")});
        ASSERT_EQ(0, las.code) << las.err;
        ASSERT_EQ(0, Command("import-tops", {Connect(), DemoPath("tops.csv")}).code);
        ASSERT_EQ(0, Command("import-deviation", {Connect(), DemoPath("deviation.csv")}).code);
    }

    Outcome Check(std::vector<std::string> args = {}) {
        args.insert(args.begin(), Connect());
        return Command("check", args);
    }

    std::vector<CheckFinding> Findings(const std::string& project = "") {
        strataloom::formats::CheckOptions options;
        options.connect = Connect();
        options.project = project;
        strataloom::formats::CheckResult result;
        std::string reason;
        EXPECT_TRUE(strataloom::formats::CheckDatabase(options, result, reason)) << reason;
        return result.findings;
    }

    // The byte array of hex in the engine's SQL.
    std::string Bytes(const std::string& hex) const {
        return OnServer() ? "decode('" + hex + "', 'hex')" : "X'" + hex + "'";
    }

    void SaveMarkers(const std::string& well, std::vector<MarkerRecord> records) {
        MarkerSet set{well, std::move(records)};
        ASSERT_EQ(1, Create<IMarkerData>("IMarkerData")->SaveWellData(set));
    }

    // Orphans of the well GHOST, which has no header, in three tables.
    void SaveRowsOfWellWithoutHeader() {
        SaveMarkers("GHOST", {{"Top A", 100, 110, ""}});
        LogCurveSet curves{
            "GHOST", -999.25, {{"DEPT", "m", 0, {1, 2, 3}}, {"GR", "", 0, {7, 8, 9}}}};
        ASSERT_EQ(1, Create<ILogData>("ILogData")->SaveCurves(curves));
        Exec(
            "insert into w_takecore_data (WellName, CoreName, TopDepth, BottomDepth) values "
            "('GHOST', 'Core 1', 100, 105)");
    }
};

const char kOrphan[] = "1 row of a well that has no header";

// The finding of that problem and those rows ("" when there is none): its detail.
std::string Detail(const std::vector<CheckFinding>& findings, CheckProblem problem,
                   const std::string& table, const std::string& well, const std::string& name) {
    for (const CheckFinding& finding : findings) {
        if (finding.problem == problem && finding.table == table && finding.well == well &&
            finding.name == name) {
            return finding.detail;
        }
    }
    return "";
}

TEST_P(ProjectCheckTest, AProjectMadeByImportsHasNoProblem) {
    ImportDemoProject();
    Outcome run = Check();
    EXPECT_EQ(0, run.code) << run.out << run.err;
    EXPECT_EQ("No problems found in " + Connect() + "\n", run.out);
    run = Check({"--project", "Test", "--format", "json"});
    EXPECT_EQ(0, run.code) << run.err;
    EXPECT_EQ("[]\n", run.out);
    run = Check({"--project", "Tset"});
    EXPECT_EQ(2, run.code);
    EXPECT_TRUE(Has(run.err, "strataloom: check: there is no project Tset in the ")) << run.err;
}

TEST_P(ProjectCheckTest, EveryProblemIsFoundWithItsRows) {
    ImportDemoProject();
    SaveRowsOfWellWithoutHeader();
    // A well of a project without a header, its curves, markers and survey broken.
    BasicWellRecord lost;
    lost.WellName = "LOST";
    lost.WellDepth = 1000;
    ASSERT_EQ(1, Create<IBasicWellData>("IBasicWellData")->SaveWell("Nowhere", lost));
    LogCurveSet curves{"LOST",
                       -999.25,
                       {{"MD", "m", 0, {10, 30, 20, 40}},
                        {"SHORT", "", 0, {1, 2}},
                        {"FREE", "", -1, {1, 2, 3, 4}},
                        {"ODD", "", 0, {1, 2, 3, 4}}}};
    ASSERT_EQ(1, Create<ILogData>("ILogData")->SaveCurves(curves));
    Exec("update w_log_data set CurveValue = " + Bytes("000000000000f03f00") +
         " where WellName = 'LOST' and CurveName = 'ODD'");
    Exec("delete from w_log_data where WellName = 'DEMO-2' and CurveName = 'DEPT'");
    SaveMarkers("LOST", {{"Deep", 900, 1200, ""}, {"Air", -5, 10, ""}, {"Fine", 0, 1000, ""}});
    DeviateRecord survey;
    survey.WellName = "LOST";
    survey.Md = {0, 100, 200};
    survey.Tvd = {0, 100};
    ASSERT_EQ(1, Create<IDeviateData>("IDeviateData")->SaveWellData(survey));
    Exec("insert into w_well_data (ProjectName, WellName) values ('Test', 'DEMO-1')");
    Exec("drop table b_meta_comb");
    Exec("alter table w_text_data drop column Remark");

    const std::string file = OnServer() ? "" : FileBytes(Connect());
    const auto findings = Findings();
    const std::vector<CheckFinding> expected = {
        {CheckProblem::kMissingTable, "b_meta_comb", "", "", "the database has no such table"},
        {CheckProblem::kMissingColumns, "w_text_data", "", "Remark", "the table lacks 1 column"},
        {CheckProblem::kRowsWithoutHeader, "w_marker_data", "GHOST", "Top A", kOrphan},
        {CheckProblem::kRowsWithoutHeader, "w_log_data", "GHOST", "DEPT", kOrphan},
        {CheckProblem::kRowsWithoutHeader, "w_log_data", "GHOST", "GR", kOrphan},
        {CheckProblem::kRowsWithoutHeader, "w_takecore_data", "GHOST", "Core 1", kOrphan},
        {CheckProblem::kWellWithoutProject, "w_well_data", "LOST", "Nowhere",
         "project Nowhere has no project header"},
        {CheckProblem::kDuplicateKey, "w_well_data", "DEMO-1", "", "2 rows with the same WellName"},
        {CheckProblem::kNoDepthCurve, "w_log_data", "LOST", "FREE",
         "the curve names no depth curve"},
        {CheckProblem::kNoDepthCurve, "w_log_data", "DEMO-2", "GR",
         "its depth curve DEPT is not stored"},
        {CheckProblem::kSampleCount, "w_log_data", "LOST", "SHORT",
         "2 samples, its depth curve MD 4 samples"},
        {CheckProblem::kSampleCount, "w_log_data", "LOST", "ODD",
         "1 sample, its depth curve MD 4 samples"},
        {CheckProblem::kNotMonotonic, "w_log_data", "LOST", "MD",
         "sample 3 of 4 (20) does not go on from 30"},
        {CheckProblem::kMarkerDepth, "w_marker_data", "LOST", "Deep",
         "bottom 1200 below the total depth 1000"},
        {CheckProblem::kMarkerDepth, "w_marker_data", "LOST", "Air",
         "top -5 above the depth reference"},
        {CheckProblem::kSurveyLengths, "w_deviate_well", "LOST", "", "stations: Md 3, Tvd 2"},
        {CheckProblem::kPartialValues, "w_log_data", "LOST", "ODD",
         "CurveValue: 9 bytes, not whole 8-byte values"},
    };
    for (const CheckFinding& finding : expected) {
        EXPECT_EQ(finding.detail,
                  Detail(findings, finding.problem, finding.table, finding.well, finding.name))
            << finding.table << " " << finding.well << " " << finding.name;
    }
    // Nothing else: the wells imported are sound, and so is the marker Fine.
    EXPECT_EQ(20u, findings.size());
    if (!OnServer()) {
        EXPECT_EQ(file, FileBytes(Connect()));  // only read
    }

    // The project's wells alone: the rows of no project are not looked at.
    const auto inProject = Findings("Test");
    EXPECT_EQ(
        "", Detail(inProject, CheckProblem::kRowsWithoutHeader, "w_marker_data", "GHOST", "Top A"));
    EXPECT_EQ("", Detail(inProject, CheckProblem::kSampleCount, "w_log_data", "LOST", "SHORT"));
    EXPECT_NE("", Detail(inProject, CheckProblem::kNoDepthCurve, "w_log_data", "DEMO-2", "GR"));
    EXPECT_EQ(7u, inProject.size());  // the 2 tables, DEMO-1's headers, DEMO-2's 4 curves

    const Outcome run = Check({"--format", "json"});
    EXPECT_EQ(1, run.code);
    EXPECT_TRUE(Has(run.out,
                    "{\"problem\": \"rows of a well without header\", \"table\": "
                    "\"w_marker_data\", \"well\": \"GHOST\", \"name\": \"Top A\", \"detail\": \"1 "
                    "row of a well that has no header\", \"fix\": \"--fix removes\"}"))
        << run.out;
    EXPECT_TRUE(Has(run.out,
                    "\"well\": \"LOST\", \"name\": \"MD\", \"detail\": \"sample 3 of 4 "
                    "(20) does not go on from 30\", \"fix\": \"not fixable\"}"))
        << run.out;

    // --fix removes the orphans alone; everything else is left as it is.
    const Outcome fix = Check({"--fix", "--format", "json"});
    EXPECT_EQ(1, fix.code) << fix.err;
    EXPECT_TRUE(Has(fix.out,
                    "\"well\": \"GHOST\", \"name\": \"Core 1\", \"detail\": \"1 row of a "
                    "well that has no header\", \"fix\": \"removed\"}"))
        << fix.out;
    EXPECT_EQ(0, Count("w_takecore_data where WellName = 'GHOST'"));
    EXPECT_EQ(0, Count("w_log_data where WellName = 'GHOST'"));
    EXPECT_EQ(3, Count("w_marker_data where WellName = 'LOST'"));
    EXPECT_EQ(16u, Findings().size());
}

TEST_P(ProjectCheckTest, FixRemovesTheRowsOfWellsWithoutHeaderAndTheSecondCheckIsClean) {
    ImportDemoProject();
    SaveRowsOfWellWithoutHeader();
    SaveMarkers("DEMO-1", {{"Kept", 1000, 1010, ""}});
    Outcome run = Check();
    EXPECT_EQ(1, run.code);
    EXPECT_TRUE(Has(run.out, "4 problems found")) << run.out;
    run = Check({"--fix"});
    EXPECT_EQ(0, run.code) << run.out << run.err;
    EXPECT_TRUE(Has(run.out,
                    "rows of a well without header  w_marker_data    GHOST  Top A   1 "
                    "row of a well that has no header  removed\n"))
        << run.out;
    EXPECT_TRUE(Has(run.out, "4 problems found in " + Connect() + ", 4 fixed\n")) << run.out;
    run = Check();
    EXPECT_EQ(0, run.code) << run.out;
    EXPECT_EQ(1, Count("w_marker_data where WellName = 'DEMO-1'"));
}

TEST_P(ProjectCheckTest, AFixThatFailsRemovesNothing) {
    ImportDemoProject();
    SaveRowsOfWellWithoutHeader();
    RefuseDeletesWhere("w_takecore_data", "WellName", "GHOST");  // the last table mended
    const Outcome run = Check({"--fix"});
    EXPECT_EQ(1, run.code);
    EXPECT_TRUE(Has(run.err,
                    "strataloom: check: nothing was fixed: cannot remove the rows of "
                    "wells without a header from w_takecore_data: "))
        << run.err;
    EXPECT_TRUE(Has(run.out, "4 problems found in " + Connect() + ", 0 fixed\n")) << run.out;
    EXPECT_EQ(2, Count("w_log_data where WellName = 'GHOST'"));
    EXPECT_EQ(1, Count("w_marker_data where WellName = 'GHOST'"));
}

STRATALOOM_ENGINES(ProjectCheckTest);

TEST(ProjectCheck, BadUsageAndDatabasesThatCannotBeOpenedExitWithTwo) {
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {}, {"a.mdb", "b.mdb"}, {"a.mdb", "--format", "xml"}, {"a.mdb", "--fixes"}}) {
        const Outcome run = Command("check", args);
        EXPECT_EQ(2, run.code) << args.size();
        EXPECT_EQ(0u, run.err.find("strataloom: ")) << run.err;
    }
    testsupport::TempDir dir;
    const std::string absent = (dir.Path() / "absent.mdb").string();
    Outcome run = Command("check", {absent, "--fix"});
    EXPECT_EQ(2, run.code);
    EXPECT_EQ("strataloom: check: there is no project file " + absent + "\n", run.err);
    EXPECT_FALSE(std::filesystem::exists(absent));  // never made by a check

    const std::string text = (dir.Path() / "text.mdb").string();
    std::ofstream(text) << "not a database\n";
    run = Command("check", {text});
    EXPECT_EQ(2, run.code);
    EXPECT_TRUE(Has(run.err, "cannot read the project file " + text + ": file is not a database"))
        << run.err;
    EXPECT_EQ("not a database\n", FileBytes(text));
}

}  // namespace
