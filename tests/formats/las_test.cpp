// The LAS reader and writer on the sample files shipped with the tests and
// on small files made to show one case each.
#include "formats/las.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "formatstest.h"

namespace {

using formatstest::DataPath;
using formatstest::ReadData;
using strataloom::formats::Diagnostics;
using strataloom::formats::LasFile;
using strataloom::formats::ParseLas;
using strataloom::formats::ReadLasFile;
using strataloom::formats::WriteLas;

LasFile ReadSample(const std::string& name, Diagnostics& diagnostics) {
    LasFile las;
    EXPECT_TRUE(ReadLasFile(DataPath("las/" + name), las, diagnostics)) << diagnostics.Error();
    return las;
}

LasFile Parse(const std::string& text, Diagnostics& diagnostics) {
    LasFile las;
    EXPECT_TRUE(ParseLas(text, las, diagnostics)) << diagnostics.Error();
    return las;
}

std::string Names(const LasFile& las) {
    std::string names;
    for (const auto& curve : las.curves) names += curve.header.mnemonic + " ";
    return names;
}

bool AnyWarningHas(const Diagnostics& diagnostics, const std::string& text) {
    for (const std::string& warning : diagnostics.Warnings()) {
        if (warning.find(text) != std::string::npos) return true;
    }
    return false;
}

const char kHead[] = "~V\nVERS. 2.0 :\nWRAP. NO :\n~W\nNULL. -999.25 :\nWELL. W1 : WELL\n";

TEST(LasReader, ReadsBothVersionsOfTheSampleFiles) {
    Diagnostics d12("1.2_sample.las");
    const LasFile v12 = ReadSample("1.2_sample.las", d12);
    EXPECT_EQ("1.2", v12.version);
    EXPECT_EQ("DEPT DT RHOB NPHI SFLU SFLA ILM ILD ", Names(v12));
    EXPECT_EQ("M", v12.curves[0].header.unit);
    EXPECT_EQ("US/M", v12.curves[1].header.unit);
    ASSERT_EQ(3u, v12.Rows());
    EXPECT_EQ(1669.875, v12.curves[0].values[1]);
    EXPECT_EQ(0.45, v12.curves[3].values[2]);
    // In version 1.2 the well's values stand after the colon.
    EXPECT_EQ("ANY ET AL OIL WELL #12", v12.WellItem("WELL")->value);
    EXPECT_EQ("EDAM", v12.WellItem("FLD")->value);
    // ...unless the value comes first, as version 2.0 writes it.
    Diagnostics later("later.las");
    const LasFile mixed =
        Parse("~V\nVERS. 1.2 :\n~W\nWELL. ALPHA-1 : WELL NAME\nFLD. FIELD : NORTH\n", later);
    EXPECT_EQ("ALPHA-1", mixed.WellItem("WELL")->value);
    EXPECT_EQ("NORTH", mixed.WellItem("FLD")->value);
    EXPECT_EQ("35.5000", v12.Parameter("BHT")->value);
    EXPECT_EQ("DEGC", v12.Parameter("BHT")->unit);
    EXPECT_NE(std::string::npos, v12.other.find("stuck at 625 meters"));

    Diagnostics d20("sample_2.0.las");
    const LasFile v20 = ReadSample("sample_2.0.las", d20);
    EXPECT_EQ("2.0", v20.version);
    EXPECT_EQ("AAAAA_2", v20.WellItem("WELL")->value);
    EXPECT_EQ("WELL", v20.WellItem("WELL")->description);
    EXPECT_EQ("07 120 46 00", v20.curves[7].header.value);  // the API code
    for (std::size_t c = 0; c < v12.curves.size(); ++c) {
        EXPECT_EQ(v12.curves[c].values, v20.curves[c].values) << c;
    }
}

TEST(LasReader, WrappedDataMakesOneDepthStepOfManyLines) {
    Diagnostics diagnostics("1.2_sample_wrapped.las");
    const LasFile las = ReadSample("1.2_sample_wrapped.las", diagnostics);
    EXPECT_TRUE(las.wrapped);
    ASSERT_EQ(36u, las.curves.size());
    ASSERT_EQ(5u, las.Rows());
    EXPECT_EQ((std::vector<double>{910.0, 909.875, 909.75, 909.625, 909.5}), las.curves[0].values);
    EXPECT_EQ(-999.25, las.curves[1].values[0]);
    EXPECT_EQ(2692.7075, las.curves[2].values[0]);
    EXPECT_EQ(0.9529, las.curves[28].values[0]);  // SW, the last value of the fourth line
    EXPECT_EQ(2712.646, las.curves[2].values[1]);

    Diagnostics short_("short.las");
    LasFile cut;
    EXPECT_FALSE(
        ParseLas("~V\nVERS. 2.0 :\nWRAP. YES :\n~C\nDEPT.M :\nA.X :\nB.X :\n~A\n1\n2 3\n4\n5\n",
                 cut, short_));
    EXPECT_EQ("short.las:12: error: the last depth step has 2 of 3 values", short_.Error());
}

TEST(LasReader, DelimitersAsTheVersionSectionDeclares) {
    Diagnostics spaced("sample_2.0.las");
    const LasFile reference = ReadSample("sample_2.0.las", spaced);
    Diagnostics tabbed("sample_2.0_tab_dlm.las");
    const LasFile tabs = ReadSample("sample_2.0_tab_dlm.las", tabbed);
    EXPECT_EQ('\t', tabs.delimiter);
    for (std::size_t c = 0; c < reference.curves.size(); ++c) {
        EXPECT_EQ(reference.curves[c].values, tabs.curves[c].values) << c;
    }

    Diagnostics commas("comma.las");
    const LasFile csv = Parse(std::string(kHead) +
                                  "~V\nDLM. COMMA :\n~C\nDEPT.M :\nGR.API :\nSP.MV :\n~A\n"
                                  "1000.5, 45.25, -3\n1001 ,,7\n 1001.5,1e3 , +2\n",
                              commas);
    EXPECT_EQ(',', csv.delimiter);
    EXPECT_EQ((std::vector<double>{1000.5, 1001.0, 1001.5}), csv.curves[0].values);
    EXPECT_EQ((std::vector<double>{45.25, -999.25, 1000.0}), csv.curves[1].values);
    EXPECT_EQ((std::vector<double>{-3.0, 7.0, 2.0}), csv.curves[2].values);
    EXPECT_TRUE(AnyWarningHas(commas, "comma.las:15: warning: column 2 (GR): '(empty)'"));
}

TEST(LasReader, LineEndsCrLfAndCrReadAlike) {
    Diagnostics lf("sample_2.0.las");
    const LasFile reference = ReadSample("sample_2.0.las", lf);
    Diagnostics crlf("sample_2.0_universal_newline.las");
    const LasFile dos = ReadSample("sample_2.0_universal_newline.las", crlf);
    std::string text = ReadData("las/sample_2.0.las");
    for (char& c : text) c = c == '\n' ? '\r' : c;
    Diagnostics cr("cr.las");
    const LasFile mac = Parse(text, cr);
    for (const LasFile* las : {&dos, &mac}) {
        ASSERT_EQ(reference.curves.size(), las->curves.size());
        EXPECT_EQ(reference.curves[5].values, las->curves[5].values);
        EXPECT_EQ("AAAAA_2", las->WellItem("WELL")->value);
    }
    // Lines are counted the same way whatever ends them.
    EXPECT_EQ(lf.Warnings().size(), cr.Warnings().size());
    EXPECT_EQ(lf.Warnings()[0].substr(14), cr.Warnings()[0].substr(6));
}

TEST(LasReader, BlankAndCommentLinesAnywhereAndOptionalSectionsMissing) {
    Diagnostics diagnostics("blank.las");
    const LasFile las = Parse(
        "\n# made by hand\n~VERSION\n\nVERS . 2.0 : v\n# comment\n\n~Curve\n\n DEPT .M : depth\n"
        "#GR\n GR .API :\n\n~A DEPT GR\n\n1 10\n# halfway\n\n2 20\n3   30\n\n",
        diagnostics);
    EXPECT_EQ("DEPT GR ", Names(las));
    EXPECT_EQ((std::vector<double>{10, 20, 30}), las.curves[1].values);
    EXPECT_TRUE(AnyWarningHas(diagnostics, "no NULL in ~W: -999.25"));
    EXPECT_EQ(-999.25, las.nullValue);

    Diagnostics bare("barebones.las");
    const LasFile barebones = ReadSample("barebones.las", bare);
    EXPECT_EQ("DEPT ", Names(barebones));
    EXPECT_EQ((std::vector<double>{200.0, 201.0}), barebones.curves[0].values);
    EXPECT_TRUE(AnyWarningHas(bare, "no VERS in a ~V section"));

    Diagnostics headerOnly("header_only.las");
    const LasFile noData = ReadSample("header_only.las", headerOnly);
    EXPECT_EQ(21u, noData.curves.size());
    EXPECT_EQ(0u, noData.Rows());
    EXPECT_EQ("dB.mW", noData.curves[2].header.unit);  // units in the mnemonic field
    EXPECT_EQ("WPHI_FIT[9]", noData.curves[20].header.mnemonic);
    Diagnostics missing("missing_a_section.las");
    EXPECT_EQ(0u, ReadSample("missing_a_section.las", missing).Rows());
    Diagnostics blankLine("blank_line.las");
    EXPECT_EQ("DEPT ", Names(ReadSample("blank_line.las", blankLine)));
}

TEST(LasReader, NullValueOfTheWellSectionAndTextReadAsNull) {
    Diagnostics diagnostics("nulls.las");
    const LasFile las = Parse(
        "~V\nVERS. 2.0 :\n~W\nNULL. -9999 : NULL\n~C\nDEPT.M :\nGR.API :\nRT.OHMM :\n~A\n"
        "1 -9999 1.5\n2 abc 2.5\n3 4 1.#INF\n",
        diagnostics);
    EXPECT_EQ(-9999.0, las.nullValue);
    EXPECT_EQ((std::vector<double>{-9999.0, -9999.0, 4.0}), las.curves[1].values);
    EXPECT_EQ((std::vector<double>{1.5, 2.5, -9999.0}), las.curves[2].values);
    ASSERT_EQ(2u, diagnostics.Warnings().size());
    EXPECT_EQ("nulls.las:11: warning: column 2 (GR): 'abc' is not a number; read as the null value",
              diagnostics.Warnings()[0]);
    EXPECT_EQ(
        "nulls.las:12: warning: column 3 (RT): '1.#INF' is not a number; read as the null value",
        diagnostics.Warnings()[1]);

    // A column of text warns about its first values only, then counts the rest.
    std::string text = "~V\nVERS. 2.0 :\n~C\nDEPT.M :\nLITH. :\n~A\n";
    for (int i = 0; i < 50; ++i) text += std::to_string(i) + " sand\n";
    Diagnostics many("many.las");
    Parse(text, many);
    EXPECT_EQ(Diagnostics::kValueWarnings + 2, many.Warnings().size());
    EXPECT_EQ("many.las: warning: 30 more values were read as the null value",
              many.Warnings().back());
}

TEST(LasReader, DuplicateMnemonicsAreKeptApart) {
    Diagnostics diagnostics("mnemonic_duplicate.las");
    const LasFile las = ReadSample("mnemonic_duplicate.las", diagnostics);
    EXPECT_EQ("DEPT DT RHOB NPHI SFLU SFLU:1 ILM ILD ", Names(las));
    EXPECT_EQ(123.45, las.curves[4].values[0]);
    EXPECT_EQ(125.45, las.curves[5].values[0]);

    Diagnostics three("three.las");
    const LasFile gr = Parse(
        "~V\nVERS. 2.0 :\n~C\nDEPT.M :\nGR.API :\nGR:1.API :\nGR.API :\nGR.API :\n~A\n1 2 3 4 5\n",
        three);
    EXPECT_EQ("DEPT GR GR:1 GR:2 GR:3 ", Names(gr));
    EXPECT_TRUE(AnyWarningHas(
        three, "three.las:7: warning: curve GR appears again: this one is named GR:2"));
}

// What public readers take and this one must take too: tabs anywhere in a
// header line, rulers and column titles in ~C, and a ~C that names more
// curves than the data lines carry.
TEST(LasReader, FilesPublicReadersTakeAreRead) {
    Diagnostics tabs("tabs.las");
    const LasFile tabbed = Parse(
        "~V\nVERS.\t2.0\t:\tCWLS\n~W\nSTRT\t.M\t1.0\t:\tSTART\nWELL.\tT-1\t:\tWELL\n"
        "EKB\t.FT\t\t100.5\t: KB\n~C\nDEPT\t.M\t\t:\tDEPTH\nDT_STR  .US/M     \t\t     :  2  "
        "SONIC\n"
        "GR.GAPI\t45 310 01 00\t:\tGAMMA\n~A\n1\t10\t20\n",
        tabs);
    EXPECT_EQ("T-1", tabbed.WellItem("WELL")->value);
    EXPECT_EQ("FT", tabbed.WellItem("EKB")->unit);
    EXPECT_EQ("100.5", tabbed.WellItem("EKB")->value);
    ASSERT_EQ(3u, tabbed.curves.size());
    EXPECT_EQ("M", tabbed.curves[0].header.unit);
    EXPECT_EQ("US/M", tabbed.curves[1].header.unit);
    EXPECT_EQ("2  SONIC", tabbed.curves[1].header.description);
    EXPECT_EQ("45 310 01 00", tabbed.curves[2].header.value);

    Diagnostics ruled("ruled.las");
    const LasFile decorated = Parse(
        "~V\nVERS. 2.0 :\n~C\nMNEM UNIT   API CODE    DESCRIPTION\n----- -----  --------  -----\n"
        "DEPT.M : DEPTH\n=====================\nGR.API : GAMMA\n~A\n1 2\n",
        ruled);
    EXPECT_EQ("DEPT GR ", Names(decorated));
    EXPECT_TRUE(AnyWarningHas(ruled, "ruled.las:4: warning: expected a curve line"));
    EXPECT_TRUE(AnyWarningHas(ruled, "ruled.las:5: warning: expected a curve line"));

    Diagnostics fewer("fewer.las");
    const LasFile carried = Parse(
        "~V\nVERS. 2.0 :\n~C\nDEPT.M :\nGR.API :\nSP.MV :\nCALI.IN :\n~A\n1 10\n2 20\n", fewer);
    EXPECT_EQ("DEPT GR ", Names(carried));
    EXPECT_EQ(2u, carried.Rows());
    EXPECT_EQ(20.0, carried.curves[1].values[1]);
    EXPECT_TRUE(AnyWarningHas(fewer,
                              "fewer.las:9: warning: ~C names 4 curves, the data lines "
                              "carry 2: SP, CALI left out, having no data"));
    // Once the first line has set the count, a line that differs is an error.
    Diagnostics ragged("ragged.las");
    LasFile las;
    EXPECT_FALSE(ParseLas("~V\nVERS. 2.0 :\n~C\nDEPT.M :\nGR.API :\nSP.MV :\n~A\n1 10\n2 20 30\n",
                          las, ragged));
    EXPECT_EQ("ragged.las:9: error: expected 2 values (one per curve), found 3", ragged.Error());
}

TEST(LasWriter, DepthsOfTheHeaderAreTheShortestDecimals) {
    EXPECT_EQ("0.05", strataloom::formats::FormatDepth(0.049999999999999996));
    EXPECT_EQ("1669.75", strataloom::formats::FormatDepth(1669.7500000000002));
    EXPECT_EQ("0.33333", strataloom::formats::FormatDepth(1.0 / 3.0));
    EXPECT_EQ("-0.125", strataloom::formats::FormatDepth(-0.125));
    LasFile las;
    las.curves.resize(1);
    las.curves[0].header = {"DEPT", "M", "", ""};
    for (int i = 0; i < 5; ++i) las.curves[0].values.push_back(1000.0 + i * 0.05);
    Diagnostics diagnostics("step.las");
    const LasFile back = Parse(WriteLas(las), diagnostics);
    EXPECT_EQ("0.05", back.WellItem("STEP")->value);
    EXPECT_EQ("1000.2", back.WellItem("STOP")->value);
}

TEST(LasReader, DepthRangeThatDisagreesWithTheDataIsAWarning) {
    Diagnostics diagnostics("sample_2.0_wrong_stop_value.las");
    ReadSample("sample_2.0_wrong_stop_value.las", diagnostics);
    EXPECT_TRUE(AnyWarningHas(diagnostics,
                              "sample_2.0_wrong_stop_value.las:8: warning: STOP 1660 but the "
                              "last depth is 1669.75"));

    Diagnostics steps("steps.las");
    Parse(
        "~V\nVERS. 2.0 :\n~W\nSTRT.M 0 :\nSTOP.M 3 :\nSTEP.M 1 :\n~C\nDEPT.M :\n~A\n0\n1\n2.5\n3\n",
        steps);
    EXPECT_TRUE(AnyWarningHas(steps, "steps.las:6: warning: STEP 1 but depth 2.5 follows 1"));
    EXPECT_FALSE(AnyWarningHas(steps, "STRT"));
    EXPECT_FALSE(AnyWarningHas(steps, "STOP"));
}

TEST(LasReader, HeaderTextInWindows1252IsStoredAsUtf8) {
    Diagnostics cp("encodings_cp1252.las");
    const LasFile las = ReadSample("encodings_cp1252.las", cp);
    EXPECT_TRUE(AnyWarningHas(cp, "header text is not UTF-8: read as Windows-1252"));
    EXPECT_NE(std::string::npos, las.other.find("Note: \xC2\xBAThe logging"));  // º
    EXPECT_EQ(0.45, las.curves[3].values[0]);

    Diagnostics utf("encodings_utf8.las");
    const LasFile utf8 = ReadSample("encodings_utf8.las", utf);
    EXPECT_FALSE(AnyWarningHas(utf, "Windows-1252"));
    EXPECT_EQ("\xC2\xBA\xE1\xB6\x9F\xE1\xB5\x8C\xE1\xB4\xAC\xC5\x84",
              utf8.curves[2].header.mnemonic);

    EXPECT_EQ("\xE2\x82\xAC \xC3\xA9 \xC2\x81",
              strataloom::formats::Cp1252ToUtf8("\x80 \xE9 \x81"));  // €, é, unassigned
}

struct BadFile {
    const char* text;
    const char* error;
};

TEST(LasReader, EveryErrorNamesTheFileTheLineAndWhatWasExpected) {
    const std::string v = "~V\nVERS. 2.0 :\n";
    const BadFile cases[] = {
        {"100.0, 0.63\n200.0, 0.5\n",
         "f.las:1: error: expected a section line starting with '~' (~V, ~W, ~C, ~A)"},
        {"", "f.las: error: expected a LAS file: no section line starting with '~'"},
        {"~V\nVERS. 3.0 : CWLS\n",
         "f.las:2: error: LAS version 3.0 is not supported: expected version 1.2 or 2.0"},
        {"~V\nVERS. two :\n", "f.las:2: error: expected VERS 1.2 or 2.0, found 'two'"},
        {"~V\nWRAP. MAYBE :\n", "f.las:2: error: expected WRAP YES or NO, found 'MAYBE'"},
        {"~V\nDLM. PIPE :\n", "f.las:2: error: expected DLM SPACE, TAB or COMMA, found 'PIPE'"},
        {"~V\nVERS. 2.0 :\n~W\nNULL. none :\n",
         "f.las:4: error: expected a number for NULL, found 'none'"},
        {"~V\nVERS. 2.0 :\n~C\nDEPT.M :\nGR API\n~A\n1 2\n",
         "f.las:7: error: expected 1 values (one per curve), found 2"},
        {"~V\nVERS. 2.0 :\n~C\nDEPT.M :\n~C\n",
         "f.las:5: error: a second ~C section: expected one"},
        {"~V\nVERS. 2.0 :\n~A\n1 2\n",
         "f.las:4: error: ~A holds values but no ~C section names curves"},
        {"~V\nVERS. 2.0 :\n~C\nDEPT.M :\nGR.API :\n~A\n1 2\n3\n",
         "f.las:8: error: expected 2 values (one per curve), found 1"},
        {"~V\nVERS. 2.0 :\n~C\nDEPT.M :\nGR.API :\n~A\n1 2\n3 4 5\n",
         "f.las:8: error: expected 2 values (one per curve), found 3"},
        {"~V\nVERS. 2.0 :\n~C\nDEPT.M :\n~A\n1\n~O\n",
         "f.las:7: error: expected data values, found a section line"},
    };
    for (const BadFile& bad : cases) {
        LasFile las;
        Diagnostics diagnostics("f.las");
        EXPECT_FALSE(ParseLas(bad.text, las, diagnostics)) << bad.text;
        EXPECT_EQ(bad.error, diagnostics.Error()) << bad.text;
    }
    Diagnostics absent("absent.las");
    LasFile las;
    EXPECT_FALSE(ReadLasFile(DataPath("las/absent.las"), las, absent));
    EXPECT_NE(std::string::npos, absent.Error().find("absent.las: error: cannot open"));
    Diagnostics v3("sample_3.0.las");
    EXPECT_FALSE(ReadLasFile(DataPath("las/sample_3.0.las"), las, v3));
    EXPECT_NE(std::string::npos, v3.Error().find("LAS version 3.0 is not supported"));
}

bool SameBits(const std::vector<double>& a, const std::vector<double>& b) {
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(double)) == 0;
}

TEST(LasWriter, ValuesReadBackBitForBit) {
    LasFile las;
    las.nullValue = -999.25;
    las.curves.resize(2);
    las.curves[0].header.mnemonic = "DEPT";
    las.curves[0].header.unit = "M";
    las.curves[1].header.mnemonic = "X";
    const double tiny = std::numeric_limits<double>::denorm_min();
    const std::vector<double> odd = {
        1.0 / 3.0,          0.1,     -0.0,          1e-300, tiny, 1.7976931348623157e308,
        123456789.12345678, -2.5e-7, 6.02214076e23, 1e21,   0.0};
    for (std::size_t i = 0; i < odd.size(); ++i) las.curves[0].values.push_back(1000.0 + i / 7.0);
    las.curves[1].values = odd;
    las.curves[1].values.push_back(std::numeric_limits<double>::quiet_NaN());
    las.curves[0].values.push_back(1002.0);

    const std::string text = WriteLas(las);
    LasFile back;
    Diagnostics diagnostics("back.las");
    ASSERT_TRUE(ParseLas(text, back, diagnostics)) << diagnostics.Error();
    ASSERT_EQ(2u, back.curves.size());
    EXPECT_TRUE(SameBits(las.curves[0].values, back.curves[0].values));
    std::vector<double> expected = odd;
    expected.push_back(-999.25);  // what is not a number is written as the null value
    EXPECT_TRUE(SameBits(expected, back.curves[1].values));
    EXPECT_EQ("2.0", back.version);
    EXPECT_EQ("1000", back.WellItem("STRT")->value);
    EXPECT_EQ("M", back.WellItem("STRT")->unit);
    EXPECT_EQ("1002", back.WellItem("STOP")->value);
    EXPECT_EQ("0", back.WellItem("STEP")->value);  // the steps differ
}

TEST(LasWriter, SampleFilesReadBackWithTheirHeaders) {
    for (const char* name : {"1.2_sample.las", "1.2_sample_wrapped.las", "sample_2.0_based.las",
                             "mnemonic_duplicate.las", "encodings_cp1252.las"}) {
        Diagnostics first(name);
        const LasFile las = ReadSample(name, first);
        LasFile back;
        Diagnostics second("back.las");
        ASSERT_TRUE(ParseLas(WriteLas(las), back, second)) << name << second.Error();
        EXPECT_EQ(Names(las), Names(back)) << name;
        for (std::size_t c = 0; c < las.curves.size(); ++c) {
            EXPECT_TRUE(SameBits(las.curves[c].values, back.curves[c].values)) << name << c;
            EXPECT_EQ(las.curves[c].header.unit, back.curves[c].header.unit) << name << c;
        }
        EXPECT_EQ(las.WellItem("WELL")->value, back.WellItem("WELL")->value) << name;
        EXPECT_EQ(las.parameters.size(), back.parameters.size()) << name;
        EXPECT_EQ(las.other, back.other) << name;
        EXPECT_FALSE(back.wrapped);
    }
    LasFile odd;
    odd.curves.resize(1);
    odd.curves[0].header.mnemonic = "A.B";
    odd.curves[0].header.unit = "m s";
    Diagnostics mended("mended.las");
    LasFile back;
    Diagnostics again("again.las");
    ASSERT_TRUE(ParseLas(WriteLas(odd, &mended), back, again));
    EXPECT_EQ("A_B", back.curves[0].header.mnemonic);
    EXPECT_EQ("m_s", back.curves[0].header.unit);
    EXPECT_EQ("mended.las: warning: 'A.B.m s' written as 'A_B.m_s'", mended.Warnings().at(0));
}

}  // namespace
