// What a geoscientist relies on when importing into a project that holds
// data already, on both engines: nothing lost without --replace, the whole
// LAS header back on export, depth units converted, elevations by their
// rules, tops added or updated by name and unknown wells refused.
#include <sstream>

#include "formats/depthunit.h"
#include "formats/hostcommands.h"
#include "formats/las.h"
#include "formats/lasimport.h"
#include "formats/lasmapping.h"
#include "formats/owntables.h"
#include "formats/wellcsv.h"
#include "formatstest.h"
#include "frame/cdatafactory.h"
#include "support/projectdb.h"

namespace {

using formatstest::DataPath;
using formatstest::ReadData;
using namespace strataloom::formats;
using testsupport::ProjectDbTest;

constexpr double kNoValue = -99999.0;

// The real files of the suite that hold data.
const char* const kRealFiles[] = {
    "1.2_sample.las",          "1.2_sample_curve_api.las",
    "1.2_sample_minimal.las",  "1.2_sample_wrapped.las",
    "barebones.las",           "encodings_cp1252.las",
    "encodings_utf8.las",      "mnemonic_duplicate.las",
    "null_policy_-999.25.las", "sample_2.0.las",
    "sample_2.0_based.las",    "sample_2.0_minimal.las",
    "sample_2.0_tab_dlm.las",  "sample_2.0_universal_newline.las",
    "sample_2.0_wrapped.las",  "sample_2.0_wrong_stop_value.las",
    "sample_str_in_data.las",
};

std::string Describe(const LasItem& item) {
    return item.mnemonic + "." + item.unit + " [" + item.value + "] : " + item.description;
}

// The items as a reader sees them; the depth items are written from the data.
std::vector<std::string> Items(const std::vector<LasItem>& items, bool skipDepthItems = false) {
    std::vector<std::string> out;
    for (const LasItem& item : items) {
        const std::string name = Upper(item.mnemonic);
        if (skipDepthItems &&
            (name == "STRT" || name == "STOP" || name == "STEP" || name == "NULL")) {
            continue;
        }
        out.push_back(Describe(item));
    }
    return out;
}

std::vector<std::string> CurveItems(const LasFile& las) {
    std::vector<std::string> out;
    for (const LasCurve& curve : las.curves) {
        LasItem item = curve.header;
        item.mnemonic = curve.MnemonicInFile();
        out.push_back(Describe(item));
    }
    return out;
}

class ImportRulesTest : public ProjectDbTest {
  protected:
    void SetUp() override {
        ProjectDbTest::SetUp();
        if (IsSkipped()) return;
        data = std::make_unique<ProjectData>(factory, Connect());
        std::string reason;
        ASSERT_TRUE(data->Open(reason)) << reason;
        ASSERT_TRUE(data->OpenOwnTables(reason)) << reason;
    }
    bool Import(const std::string& name, const std::string& text, LasImportSummary& summary,
                const LasImportOptions& options = {}) {
        Diagnostics diagnostics(name);
        const bool ok = ImportLas(*data, "P", text, summary, diagnostics, options);
        last = diagnostics;
        return ok;
    }
    LasFile ExportAndRead(const std::string& well, const LasExportOptions& options = {}) {
        std::string text;
        LasExportSummary summary;
        Diagnostics diagnostics("out.las");
        EXPECT_TRUE(ExportLas(*data, well, options, text, summary, diagnostics))
            << diagnostics.Error();
        LasFile las;
        EXPECT_TRUE(ParseLas(text, las, diagnostics)) << diagnostics.Error();
        return las;
    }
    int Run(const std::string& name, std::vector<std::string> args, std::string* out = nullptr) {
        args.insert(args.begin(), Connect());
        std::ostringstream printed;
        std::ostringstream errors;
        CommandIo io{printed, errors, nullptr, nullptr};
        const int code = FindFormatCommand(name)->run(factory, args, io);
        if (out) *out = printed.str() + errors.str();
        return code;
    }
    void Forget() {
        Exec("delete from w_log_data");
        Exec("delete from w_well_data");
        Exec("delete from w_las_header");
    }

    CDataFactory factory;
    std::unique_ptr<ProjectData> data;
    Diagnostics last;
};

TEST_P(ImportRulesTest, EveryRealFileReadsBackWithItsHeaderAfterImportAndExport) {
    for (const char* name : kRealFiles) {
        SCOPED_TRACE(name);
        Forget();
        const std::string text = ReadData(std::string("las/") + name);
        LasFile original;
        Diagnostics read(name);
        ASSERT_TRUE(ParseLas(text, original, read)) << read.Error();
        LasImportSummary summary;
        ASSERT_TRUE(Import(name, text, summary)) << last.Error();
        // Written in the file's own depth unit, as a user sending it back would.
        LasExportOptions own;
        LasDepthUnit(original, own.writtenUnit);
        const LasFile back = ExportAndRead(summary.well, own);

        std::vector<std::string> well = Items(back.wellItems, true);
        if (!original.WellItem("WELL")) well.erase(well.begin());  // the well's name, added
        EXPECT_EQ(Items(original.wellItems, true), well);
        EXPECT_EQ(CurveItems(original), CurveItems(back));
        EXPECT_EQ(Items(original.parameters), Items(back.parameters));
        EXPECT_EQ(Items(original.versionItems), Items(back.versionItems));
        EXPECT_EQ(original.other, back.other);
        EXPECT_EQ(original.nullValue, back.nullValue);
        ASSERT_EQ(original.curves.size(), back.curves.size());
        for (std::size_t c = 0; c < original.curves.size(); ++c) {
            EXPECT_EQ(original.curves[c].values, back.curves[c].values) << c;
        }
    }
}

TEST_P(ImportRulesTest, ALongThenAShortFileOfOneWellLosesNothingWithoutReplace) {
    // The real file, then the same well logged over fewer depths.
    const std::string longFile = ReadData("las/sample_2.0.las");
    std::string shortFile = longFile;
    shortFile.erase(shortFile.rfind("1669.750"));
    LasImportSummary summary;
    ASSERT_TRUE(Import("long.las", longFile, summary)) << last.Error();
    ASSERT_TRUE(Import("short.las", shortFile, summary)) << last.Error();
    EXPECT_EQ("DEPT:1", summary.depthCurve);
    EXPECT_EQ(8u, summary.added);
    EXPECT_EQ(0u, summary.replaced + summary.deleted);
    LogCurveSet set;
    ASSERT_EQ(1, data->Logs().LoadWellData("AAAAA_2", set));
    ASSERT_EQ(16u, set.Records.size());
    for (const LogCurveRecord& curve : set.Records) {
        const bool longRun = curve.CurveName.find(':') == std::string::npos;
        EXPECT_EQ(longRun ? 3u : 2u, curve.CurveValue.size()) << curve.CurveName;
    }
    // Each run exports with its own depths and its own header.
    LasExportOptions second;
    second.depthCurve = "DEPT:1";
    const LasFile shortBack = ExportAndRead("AAAAA_2", second);
    EXPECT_EQ(2u, shortBack.Rows());
    EXPECT_EQ("DEPT", shortBack.curves[0].header.mnemonic);
    EXPECT_EQ("DT", shortBack.curves[1].header.mnemonic);

    // --replace is today's replacement, and says what it replaced.
    LasImportOptions replace;
    replace.replace = true;
    ASSERT_TRUE(Import("short.las", shortFile, summary, replace)) << last.Error();
    EXPECT_EQ(8u, summary.replaced);
    EXPECT_EQ("DEPT: 3 samples replaced by 2", summary.changes.front());
    set = LogCurveSet();
    ASSERT_EQ(1, data->Logs().LoadWellData("AAAAA_2", set));
    for (const LogCurveRecord& curve : set.Records) {
        EXPECT_EQ(2u, curve.CurveValue.size()) << curve.CurveName;
    }
}

TEST_P(ImportRulesTest, AFileWhoseHeaderCannotBeKeptIsUndoneWhole) {
    const std::string text = ReadData("las/sample_2.0.las");
    LasImportSummary summary;
    ASSERT_TRUE(Import("s.las", text, summary)) << last.Error();
    LogCurveSet before;
    ASSERT_EQ(1, data->Logs().LoadWellData("AAAAA_2", before));
    // The curves save, then keeping the header fails: the curves go back.
    RefuseInsertsWhere("w_las_header", "Mnemonic", "ILD");
    std::string shorter = text;
    shorter.erase(shorter.rfind("1669.750"));
    LasImportOptions replace;
    replace.replace = true;
    EXPECT_FALSE(Import("short.las", shorter, summary, replace));
    EXPECT_NE(std::string::npos, last.Error().find("nothing of the file was kept")) << last.Error();
    LogCurveSet after;
    ASSERT_EQ(1, data->Logs().LoadWellData("AAAAA_2", after));
    ASSERT_EQ(before.Records.size(), after.Records.size());
    for (const LogCurveRecord& curve : after.Records) EXPECT_EQ(3u, curve.CurveValue.size());
    // A new well goes with its header.
    EXPECT_FALSE(Import("new.las", ReadData("las/1.2_sample.las"), summary));
    EXPECT_EQ(0, Count("w_well_data where WellName='ANY ET AL OIL WELL #12'"));
    EXPECT_EQ(0, Count("w_log_data where WellName='ANY ET AL OIL WELL #12'"));
}

TEST_P(ImportRulesTest, AFeetFileGoesIntoAMetreProjectConverted) {
    LasImportSummary summary;
    ASSERT_TRUE(Import("barebones.las", ReadData("las/barebones.las"), summary)) << last.Error();
    EXPECT_EQ("depths converted from ft to m", summary.conversion);
    LogCurveSet set;
    ASSERT_EQ(1, data->Logs().LoadWellData("barebones", set));
    EXPECT_EQ((std::vector<double>{60.96, 61.2648}), set.Records[0].CurveValue);
    EXPECT_EQ("M", set.Records[0].Measure);

    const LasFile metres = ExportAndRead("barebones");
    EXPECT_EQ("M", metres.curves[0].header.unit);
    EXPECT_EQ("60.96", metres.WellItem("STRT")->value);
    LasExportOptions feet;
    feet.writtenUnit = DepthUnit::kFoot;
    const LasFile back = ExportAndRead("barebones", feet);
    EXPECT_EQ("F", back.curves[0].header.unit);  // as the file wrote it
    EXPECT_EQ((std::vector<double>{200.0, 201.0}), back.curves[0].values);
    EXPECT_EQ("1", back.WellItem("STEP")->value);

    // Elevations and total depth too; curve values never.
    const std::string text =
        "~V\nVERS. 2.0 :\n~W\nWELL. F-1 :\nEKB.F 100 :\nEGL.M 25 :\nTD.FT 1000 :\n"
        "~C\nDEPT.FT :\nCALI.FT :\n~A\n1000 8.5\n1000.5 8.75\n";
    ASSERT_TRUE(Import("f.las", text, summary)) << last.Error();
    BasicWellRecord header;
    ASSERT_EQ(1, data->Wells().LoadWell("F-1", header));
    EXPECT_EQ(30.48, header.Kb);
    EXPECT_EQ(25.0, header.Ekb);  // given in metres
    EXPECT_EQ(304.8, header.WellDepth);
    set = LogCurveSet();
    ASSERT_EQ(1, data->Logs().LoadWellData("F-1", set));
    EXPECT_EQ((std::vector<double>{304.8, 304.9524}), set.Records[0].CurveValue);
    EXPECT_EQ((std::vector<double>{8.5, 8.75}), set.Records[1].CurveValue);
}

TEST_P(ImportRulesTest, ElevationsFollowTheirRulesAndANullValueIsMissing) {
    const std::string tail = "~C\nDEPT.M :\n~A\n1\n2\n";
    struct Case {
        const char* well;
        const char* items;
        double kb;
        double ground;
    };
    const Case cases[] = {
        // EKB holds the file's NULL: the next source, KB of ~P, is taken.
        {"E-1", "EKB.M -999.25 :\nEGL.M 20 :\n~P\nKB.M 35.5 :\n", 35.5, 20.0},
        {"E-2", "EREF.M 3210 :\nGL.M 3200 :\n", 3210.0, 3200.0},
        {"E-3", "EDF.M 41 :\nEREF.M 40 :\n", 41.0, kNoValue},
        {"E-4", "~P\nEPD.M 100 :\nAPD.M 5 :\nPDAT. GL :\n", 105.0, 100.0},
        {"E-5", "", kNoValue, kNoValue},  // missing, not 0
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.well);
        LasImportSummary summary;
        const std::string text = "~V\nVERS. 2.0 :\n~W\nNULL. -999.25 :\nWELL. " +
                                 std::string(c.well) + " :\n" + c.items + tail;
        ASSERT_TRUE(Import("e.las", text, summary)) << last.Error();
        BasicWellRecord header;
        ASSERT_EQ(1, data->Wells().LoadWell(c.well, header));
        EXPECT_EQ(c.kb, header.Kb);
        EXPECT_EQ(c.ground, header.Ekb);
    }
    std::string listing;
    ASSERT_EQ(0, Run("wells", {"--project", "P"}, &listing));
    EXPECT_NE(
        std::string::npos,
        listing.find("E-5       -         -        -        1         0           -     -     -"))
        << listing;
}

TEST_P(ImportRulesTest, AnUnknownProjectIsRefusedUnlessItIsToBeMade) {
    const std::string file = DataPath("las/barebones.las");
    std::string out;
    EXPECT_EQ(1, Run("import-las", {"--project", "Field", file}, &out));
    EXPECT_NE(std::string::npos, out.find("project Field is not in")) << out;
    EXPECT_EQ(0, Count("w_well_data"));
    EXPECT_EQ(0, Run("import-las",
                     {"--project", "Field", "--create-project", "--depth-unit", "ft", file}, &out))
        << out;
    EXPECT_NE(std::string::npos, out.find("Project Field created, depths in ft")) << out;
    EXPECT_EQ(1, Count("b_project_data where ProjectName='Field'"));
    // A feet project keeps the feet file's depths as they are.
    LogCurveSet set;
    ASSERT_EQ(1, data->Logs().LoadWellData("barebones", set));
    EXPECT_EQ((std::vector<double>{200.0, 201.0}), set.Records[0].CurveValue);
    DepthUnit unit = DepthUnit::kMetre;
    ASSERT_TRUE(LoadProjectDepthUnit(data->Own(), "Field", unit));
    EXPECT_EQ(DepthUnit::kFoot, unit);
    ASSERT_EQ(0, Run("info", {"--project", "Field"}, &out));
    EXPECT_EQ(std::string::npos, out.find("no project header")) << out;

    // Without --project, the commands take the unit of the well's project.
    const std::string las = (Dir() / "back.las").string();
    ASSERT_EQ(0, Run("export-las", {"barebones", "-o", las}, &out)) << out;
    LasFile back;
    Diagnostics read(las);
    ASSERT_TRUE(ReadLasFile(las, back, read)) << read.Error();
    EXPECT_EQ("F", back.curves[0].header.unit);
    EXPECT_EQ("200", back.WellItem("STRT")->value);
    const std::string tops = (Dir() / "tops.csv").string();
    std::string reason;
    ASSERT_TRUE(WriteWholeFile(tops, "well,marker,top [m]\nbarebones,M1,60.96\n", reason));
    ASSERT_EQ(0, Run("import-tops", {tops}, &out)) << out;
    EXPECT_NE(std::string::npos, out.find("depths converted from m to ft")) << out;
    MarkerSet markers;
    ASSERT_EQ(1, data->Markers().LoadWellData("barebones", markers));
    EXPECT_EQ(200.0, markers.Records.at(0).TopDepth);
}

TEST_P(ImportRulesTest, TopsAreAddedOrUpdatedByNameAndUnknownWellsRefused) {
    LasImportSummary summary;
    ASSERT_TRUE(
        Import("a.las", "~V\nVERS. 2.0 :\n~W\nWELL. A :\n~C\nDEPT.M :\n~A\n1\n2\n", summary));
    const auto write = [&](const std::string& name, const std::string& text) {
        const std::string path = (Dir() / name).string();
        std::string reason;
        EXPECT_TRUE(WriteWholeFile(path, text, reason)) << reason;
        return path;
    };
    std::string out;
    ASSERT_EQ(0, Run("import-tops",
                     {write("1.csv",
                            "well,marker,top\nA,M1,100\nA,M2,200\nA,M3,300\n"
                            "A,M4,400\n")},
                     &out))
        << out;
    // Two picks, one of them new: the other stored picks stay.
    const std::string second = write("2.csv",
                                     "well,marker,top (ft)\nA,M2,700\nA,M5,1000\nB,M1,5\n"
                                     "B,M2,6\nC,M1,7\n");
    EXPECT_EQ(1, Run("import-tops", {second}, &out));  // rows were refused
    EXPECT_NE(std::string::npos,
              out.find("markers of 1 well imported (2 rows, 1 added, 1 updated, 3 rows refused), "
                       "depths converted from ft to m"))
        << out;
    EXPECT_NE(std::string::npos, out.find("  well A, marker M2: 200 updated to 213.36\n")) << out;
    EXPECT_NE(std::string::npos,
              out.find("  well B: 2 rows refused, the database has no such well\n"))
        << out;
    EXPECT_EQ(5, Count("w_marker_data where WellName='A'"));
    EXPECT_EQ(0, Count("w_marker_data where WellName<>'A'"));

    // With --replace the file's picks are the well's only ones, each loss named.
    ASSERT_EQ(0, Run("import-tops",
                     {"--replace", "--project", "P", write("3.csv", "well,marker,top\nA,M1,100\n")},
                     &out));
    EXPECT_NE(std::string::npos, out.find("  well A, marker M3 at 300: deleted (--replace)\n"))
        << out;
    EXPECT_EQ(1, Count("w_marker_data where WellName='A'"));

    // A survey stored is kept unless replaced.
    const std::string survey =
        "well,md,inc,azi,xcoor,ycoor,tvdss\nA,0,0,0,1,1,0\nA,10,1,0,1,1,-10\nA,20,2,0,1,1,-20\n";
    ASSERT_EQ(0, Run("import-deviation", {write("s1.csv", survey)}, &out)) << out;
    std::string longer = survey + "A,30,3,0,1,1,-30\n";
    ASSERT_EQ(0, Run("import-deviation", {write("s2.csv", longer)}, &out)) << out;
    EXPECT_NE(std::string::npos,
              out.find("the survey of 3 stations is kept; the file's 4 stations"))
        << out;
    ASSERT_EQ(0, Run("import-deviation", {"--replace", write("s3.csv", longer)}, &out)) << out;
    EXPECT_NE(std::string::npos, out.find("survey of 3 stations replaced by 4")) << out;
}

TEST_P(ImportRulesTest, TheTablesMadeOnFirstUseAreTheOnesOfNewProjects) {
    if (OnServer()) GTEST_SKIP() << "the template is the embedded engine's";
    // An old project: the template without the formats library's tables.
    const std::string old = (Dir() / "old.mdb").string();
    const std::string fresh = (Dir() / "new.mdb").string();
    std::filesystem::copy_file(testsupport::TemplatePath(), old);
    std::filesystem::copy_file(testsupport::TemplatePath(), fresh);
    const std::string columns = "select name, type from pragma_table_info(?) order by cid";
    std::vector<OwnTables::Row> firstUse;
    std::vector<OwnTables::Row> defined;
    {
        OwnTables tables(old);
        std::string reason;
        ASSERT_TRUE(tables.Open(reason)) << reason;
        ASSERT_TRUE(tables.Run("drop table w_las_header", {}));
        ASSERT_TRUE(tables.Run("drop table b_project_unit", {}));
    }
    for (const char* table : {"w_las_header", "b_project_unit"}) {
        OwnTables reopened(old);
        std::string reason;
        ASSERT_TRUE(reopened.Open(reason)) << reason;
        ASSERT_TRUE(reopened.Run(columns, {table}, &firstUse));
        OwnTables made(fresh);
        ASSERT_TRUE(made.Open(reason)) << reason;
        ASSERT_TRUE(made.Run(columns, {table}, &defined));
    }
    EXPECT_EQ(11u, defined.size());
    EXPECT_EQ(defined, firstUse);
}

STRATALOOM_ENGINES(ImportRulesTest);

}  // namespace
