// LAS files into project databases and back out, on both engines: values
// bit for bit, headers made once, and nothing left of a file that fails.
#include "formats/lasimport.h"

#include <cstring>
#include <map>

#include "formats/las.h"
#include "formatstest.h"
#include "frame/cdatafactory.h"
#include "support/projectdb.h"

namespace {

using formatstest::DataPath;
using formatstest::ReadData;
using strataloom::formats::Diagnostics;
using strataloom::formats::ExportLas;
using strataloom::formats::ImportLas;
using strataloom::formats::ImportLasFile;
using strataloom::formats::LasExportSummary;
using strataloom::formats::LasFile;
using strataloom::formats::LasImportOptions;
using strataloom::formats::LasImportSummary;
using strataloom::formats::ParseLas;
using strataloom::formats::ProjectData;
using testsupport::ProjectDbTest;

bool SameBits(const std::vector<double>& a, const std::vector<double>& b) {
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(double)) == 0;
}

// A file of awkward doubles: thirds, tiny and huge magnitudes, nulls.
std::string OddValuesFile(const std::string& well) {
    LasFile las;
    las.nullValue = -9999.0;
    las.wellItems.push_back({"WELL", "", well, "WELL"});
    las.curves.resize(3);
    las.curves[0].header = {"DEPT", "M", "", "DEPTH"};
    las.curves[1].header = {"GR", "GAPI", "", ""};
    las.curves[2].header = {"RT", "OHMM", "", ""};
    for (int i = 0; i < 200; ++i) {
        las.curves[0].values.push_back(1500.0 + i * 0.1524);
        las.curves[1].values.push_back(i % 17 == 0 ? -9999.0 : 1.0 / (i + 3));
        las.curves[2].values.push_back((i % 2 ? 1e-200 : 3.3e150) * (i + 1) / 7.0);
    }
    return strataloom::formats::WriteLas(las);
}

class LasImportTest : public ProjectDbTest {
  protected:
    void SetUp() override {
        ProjectDbTest::SetUp();
        if (IsSkipped()) return;
        data = std::make_unique<ProjectData>(factory, Connect());
        std::string reason;
        ASSERT_TRUE(data->Open(reason)) << reason;
    }
    bool Import(const std::string& name, const std::string& text, LasImportSummary& summary,
                Diagnostics& diagnostics) {
        diagnostics.SetFile(name);
        return ImportLas(*data, "P", text, summary, diagnostics);
    }
    LasFile ParseText(const std::string& text) {
        LasFile las;
        Diagnostics diagnostics("text");
        EXPECT_TRUE(ParseLas(text, las, diagnostics)) << diagnostics.Error();
        return las;
    }
    void ExpectStored(const std::string& well, const LasFile& las) {
        LogCurveSet set;
        ASSERT_EQ(1, data->Logs().LoadWellData(well.c_str(), set));
        EXPECT_EQ(las.nullValue, set.NullValue);
        ASSERT_EQ(las.curves.size(), set.Records.size());
        for (const auto& curve : las.curves) {
            const LogCurveRecord* stored = nullptr;
            for (const auto& record : set.Records) {
                if (record.CurveName == curve.header.mnemonic) stored = &record;
            }
            ASSERT_TRUE(stored) << curve.header.mnemonic;
            EXPECT_TRUE(SameBits(curve.values, stored->CurveValue)) << curve.header.mnemonic;
            EXPECT_EQ(curve.header.unit, stored->Measure);
            ASSERT_GE(stored->DepthCurve, 0);
            EXPECT_EQ(las.curves[0].header.mnemonic,
                      set.Records[static_cast<std::size_t>(stored->DepthCurve)].CurveName);
        }
    }

    CDataFactory factory;
    std::unique_ptr<ProjectData> data;
};

TEST_P(LasImportTest, ImportExportImportGivesTheSameValues) {
    for (const std::string& text : {ReadData("las/1.2_sample_wrapped.las"), OddValuesFile("ODD")}) {
        const LasFile original = ParseText(text);
        LasImportSummary summary;
        Diagnostics diagnostics;
        ASSERT_TRUE(Import("in.las", text, summary, diagnostics)) << diagnostics.Error();
        EXPECT_TRUE(summary.headerCreated);
        EXPECT_EQ(original.curves.size(), summary.curves);
        ExpectStored(summary.well, original);

        std::string exported;
        LasExportSummary written;
        Diagnostics out("out.las");
        ASSERT_TRUE(ExportLas(*data, summary.well, "", exported, written, out)) << out.Error();
        EXPECT_EQ(original.curves[0].header.mnemonic, written.depthCurve);
        const LasFile back = ParseText(exported);
        EXPECT_EQ(summary.well, back.WellItem("WELL")->value);
        EXPECT_EQ(original.nullValue, back.nullValue);

        ASSERT_EQ(1, data->Logs().DeleteWellData(summary.well.c_str()));
        LasImportSummary again;
        ASSERT_TRUE(Import("out.las", exported, again, diagnostics)) << diagnostics.Error();
        EXPECT_FALSE(again.headerCreated);
        ExpectStored(summary.well, original);
    }
}

TEST_P(LasImportTest, HeaderIsMadeFromTheWellSectionForNewWellsOnly) {
    const std::string head =
        "~V\nVERS. 2.0 :\n~W\nNULL. -999.25 :\nWELL. H-1 : WELL\nX.M 512345.5 : X\n"
        "YCOORD.M 4412345.25 : Y\nEKB.M 30 : KB\nEGL.M 25 :\nTD.M 3000 :\n~P\nEPD.M 100 :\n"
        "~C\nDEPT.M :\nGR.API :\n~A\n1 1\n2 2\n3 3\n";
    LasImportSummary summary;
    Diagnostics diagnostics;
    ASSERT_TRUE(Import("h.las", head, summary, diagnostics)) << diagnostics.Error();
    BasicWellRecord well;
    ASSERT_EQ(1, data->Wells().LoadWell("H-1", well));
    EXPECT_EQ(1, data->Wells().IsWellExist("P", "H-1"));
    EXPECT_EQ(512345.5, well.Well_EW);
    EXPECT_EQ(4412345.25, well.Well_SN);
    // EKB and EGL are elevations themselves: the permanent datum's is not added.
    EXPECT_EQ(30.0, well.Kb);
    EXPECT_EQ(25.0, well.Ekb);
    EXPECT_EQ(3000.0, well.WellDepth);

    // A header already there stays as it is.
    std::string moved = head;
    moved.replace(moved.find("512345.5"), 8, "1.5");
    LasImportSummary second;
    ASSERT_TRUE(Import("h2.las", moved, second, diagnostics));
    EXPECT_FALSE(second.headerCreated);
    ASSERT_EQ(1, data->Wells().LoadWell("H-1", well));
    EXPECT_EQ(512345.5, well.Well_EW);

    // A well of another project keeps its project, with a warning.
    Diagnostics other;
    other.SetFile("h3.las");
    LasImportSummary third;
    ASSERT_TRUE(ImportLas(*data, "Q", head, third, other));
    EXPECT_EQ(1, data->Wells().IsWellExist("P", "H-1"));
    EXPECT_EQ(
        "h3.las: warning: well H-1 belongs to another project: its curves are imported, "
        "its header stays as it is",
        other.Warnings().back());
}

TEST_P(LasImportTest, AFailedSaveLeavesNothingOfTheFile) {
    const std::string text = ReadData("las/sample_2.0.las");
    LasImportSummary summary;
    Diagnostics diagnostics;
    ASSERT_TRUE(Import("s.las", text, summary, diagnostics)) << diagnostics.Error();
    RefuseInsertsWhere("w_log_data", "CurveName", "ILM");

    // A new well: the header made for the file goes with it.
    Diagnostics fresh;
    EXPECT_FALSE(Import("f.las", ReadData("las/1.2_sample.las"), summary, fresh));
    EXPECT_EQ(
        "f.las: error: the curves of well ANY ET AL OIL WELL #12 could not be saved; nothing "
        "of the file was kept",
        fresh.Error());
    EXPECT_FALSE(summary.headerCreated);
    EXPECT_EQ(0, Count("w_log_data where WellName='ANY ET AL OIL WELL #12'"));
    EXPECT_EQ(0, Count("w_well_data where WellName='ANY ET AL OIL WELL #12'"));

    // A well that was there before keeps its curves and its header, also
    // when the file was to replace some of them.
    LogCurveSet before;
    ASSERT_EQ(1, data->Logs().LoadWellData("AAAAA_2", before));
    std::string changed = text;
    changed.replace(changed.find("2550.000"), 8, "2551.000");  // RHOB
    changed.replace(changed.find("110.200"), 7, "110.300");    // ILM, which cannot be saved
    Diagnostics again;
    LasImportOptions replace;
    replace.replace = true;
    EXPECT_FALSE(ImportLas(*data, "P", changed, summary, again, replace));
    LogCurveSet after;
    ASSERT_EQ(1, data->Logs().LoadWellData("AAAAA_2", after));
    ASSERT_EQ(before.Records.size(), after.Records.size());
    for (std::size_t i = 0; i < before.Records.size(); ++i) {
        EXPECT_TRUE(SameBits(before.Records[i].CurveValue, after.Records[i].CurveValue));
    }
    EXPECT_EQ(1, Count("w_well_data where WellName='AAAAA_2'"));
}

TEST_P(LasImportTest, ARunOnOtherDepthsIsKeptBesideTheStoredOne) {
    const std::string head = "~V\nVERS. 2.0 :\n~W\nWELL. D-1 :\n~C\nDEPT.M :\n";
    LasImportSummary summary;
    Diagnostics diagnostics;
    ASSERT_TRUE(Import("a.las", head + "GR.API :\n~A\n1 10\n2 20\n3 30\n", summary, diagnostics));
    // Other depths: a depth curve of its own, and GR kept apart from the stored GR.
    Diagnostics shifted;
    ASSERT_TRUE(
        Import("b.las", head + "GR.API :\nSP.MV :\n~A\n2 1 5\n3 2 6\n4 3 7\n", summary, shifted))
        << shifted.Error();
    EXPECT_EQ("DEPT:1", summary.depthCurve);
    EXPECT_EQ(3u, summary.added);
    ASSERT_EQ(2u, summary.changes.size());
    EXPECT_EQ(
        "GR: the well has GR already (3 samples on DEPT); the file's GR (3 samples, other "
        "values) is kept as GR:1 (--replace replaces it)",
        summary.changes[1]);
    LogCurveSet set;
    ASSERT_EQ(1, data->Logs().LoadWellData("D-1", set));
    std::map<std::string, std::string> depthOf;
    for (const auto& record : set.Records) {
        depthOf[record.CurveName] =
            set.Records[static_cast<std::size_t>(record.DepthCurve)].CurveName;
    }
    const std::map<std::string, std::string> expected = {{"DEPT", "DEPT"},
                                                         {"GR", "DEPT"},
                                                         {"DEPT:1", "DEPT:1"},
                                                         {"GR:1", "DEPT:1"},
                                                         {"SP", "DEPT:1"}};
    EXPECT_EQ(expected, depthOf);

    // The same file again changes nothing; the same depths join the stored run.
    Diagnostics same;
    ASSERT_TRUE(
        Import("b.las", head + "GR.API :\nSP.MV :\n~A\n2 1 5\n3 2 6\n4 3 7\n", summary, same));
    EXPECT_EQ(0u, summary.added);
    EXPECT_EQ(3u, summary.unchanged);
    std::string dated = head;
    dated.insert(dated.find("~C"), "DATE. 2026-12-07 : LOG DATE\n");
    ASSERT_TRUE(Import("c.las", dated + "CALI.IN :\n~A\n1 8\n2 8\n3 8\n", summary, same));
    EXPECT_EQ("DEPT", summary.depthCurve);
    EXPECT_EQ((std::vector<std::string>{"header of run DEPT: the kept items stay; the file's DATE "
                                        "differ (--replace takes the file's)"}),
              summary.changes);
    EXPECT_EQ(6, Count("w_log_data where WellName='D-1'"));

    // --replace: the depth curve's other users go, each named.
    LasImportOptions replace;
    replace.replace = true;
    Diagnostics replaced("d.las");
    ASSERT_TRUE(
        ImportLas(*data, "P", head + "GR.API :\n~A\n5 1\n6 2\n", summary, replaced, replace));
    EXPECT_EQ(2u, summary.replaced);
    EXPECT_EQ(1u, summary.deleted);
    EXPECT_EQ((std::vector<std::string>{"DEPT: 3 samples replaced by 2",
                                        "CALI: 3 samples deleted: its depth curve DEPT was "
                                        "replaced and the file does not hold it",
                                        "GR: 3 samples replaced by 2"}),
              summary.changes);
    EXPECT_EQ(5, Count("w_log_data where WellName='D-1'"));
}

TEST_P(LasImportTest, AFileOfTwoDepthStepsIsStoredWhole) {
    LasImportSummary summary;
    Diagnostics diagnostics(DataPath("las/1.2_sample_minimal.las"));
    ASSERT_TRUE(
        ImportLasFile(*data, "P", DataPath("las/1.2_sample_minimal.las"), summary, diagnostics))
        << diagnostics.Error();
    EXPECT_EQ(2u, summary.rows);
    LogCurveSet set;
    ASSERT_EQ(1, data->Logs().LoadWellData(summary.well.c_str(), set));
    ASSERT_FALSE(set.Records.empty());
    for (const LogCurveRecord& curve : set.Records) EXPECT_EQ(2u, curve.CurveValue.size());
}

TEST_P(LasImportTest, FilesThatCannotBeStoredAreRefusedWithTheirReason) {
    LasImportSummary summary;
    Diagnostics headerOnly("header_only.las");
    EXPECT_FALSE(Import("header_only.las", ReadData("las/header_only.las"), summary, headerOnly));
    EXPECT_EQ(
        "header_only.las: error: 0 depth steps: expected at least 1, the least a curve "
        "needs to be stored",
        headerOnly.Error());
    Diagnostics v3("sample_3.0.las");
    EXPECT_FALSE(Import("sample_3.0.las", ReadData("las/sample_3.0.las"), summary, v3));
    EXPECT_EQ(0, Count("w_log_data"));
    EXPECT_EQ(0, Count("w_well_data"));

    std::string text;
    LasExportSummary written;
    Diagnostics none("none.las");
    EXPECT_FALSE(ExportLas(*data, "Nowhere", "", text, written, none));
    EXPECT_EQ("none.las: error: well Nowhere has no curves in " + Connect(), none.Error());
}

STRATALOOM_ENGINES(LasImportTest);

}  // namespace
