// Markers and deviation surveys read from spreadsheet exports, and well
// paths by minimum curvature against stations worked out by hand.
#include "formats/wellcsv.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "formats/csv.h"
#include "formats/mincurve.h"

namespace {

using strataloom::formats::CompleteSurvey;
using strataloom::formats::Diagnostics;
using strataloom::formats::MinimumCurvature;
using strataloom::formats::ReadMarkersCsv;
using strataloom::formats::ReadSurveysCsv;
using strataloom::formats::SurveyInput;
using strataloom::formats::WellPath;

constexpr double kPi = 3.14159265358979323846;

TEST(MarkersCsv, ColumnsInAnyOrderUnderTheirUsualNames) {
    const char text[] =
        "\xEF\xBB\xBFTop Depth (m);Marker;WELL_NAME;Remarks;Base\r\n"
        "1200.5;Top Sand;W-1;\"fine; grey \"\"clean\"\" sand\";1210\r\n"
        "\r\n"
        "980;Base Shale;W-2;;\r\n"
        "1000;Top Shale;W-1;;\r\n";
    std::vector<MarkerSet> sets;
    Diagnostics diagnostics("tops.csv");
    ASSERT_TRUE(ReadMarkersCsv(text, sets, diagnostics)) << diagnostics.Error();
    EXPECT_TRUE(diagnostics.Warnings().empty());
    ASSERT_EQ(2u, sets.size());  // wells in the order they first appear
    EXPECT_EQ("W-1", sets[0].WellName);
    ASSERT_EQ(2u, sets[0].Records.size());
    EXPECT_EQ("Top Sand", sets[0].Records[0].MarkerName);
    EXPECT_EQ(1200.5, sets[0].Records[0].TopDepth);
    EXPECT_EQ(1210.0, sets[0].Records[0].BottomDepth);
    EXPECT_EQ("fine; grey \"clean\" sand", sets[0].Records[0].Description);
    EXPECT_EQ("W-2", sets[1].WellName);
    EXPECT_EQ(980.0, sets[1].Records[0].BottomDepth);  // an empty bottom is the top

    sets.clear();
    Diagnostics noBottom("picks.csv");
    ASSERT_TRUE(ReadMarkersCsv("well,marker,top,interpreter\nA,M1,10.5,jd\n", sets, noBottom));
    EXPECT_EQ(10.5, sets[0].Records[0].BottomDepth);
    ASSERT_EQ(1u, noBottom.Warnings().size());
    EXPECT_EQ("picks.csv:1: warning: column 'interpreter' is not used", noBottom.Warnings()[0]);
}

TEST(MarkersCsv, UnreadableRowsAndHeadersAreErrorsWithTheirLine) {
    const std::pair<const char*, const char*> cases[] = {
        {"well,top\nA,1\n",
         "t.csv:1: error: no marker column: expected a header named one of marker, markername, "
         "topname, formation, horizon"},
        {"well,marker,top,top depth\n",
         "t.csv:1: error: two columns give the top depth: 'top' "
         "and 'top depth'"},
        {"well,marker,top\nA,M,1\nA,M,deep\n",
         "t.csv:3: error: expected a number for the top depth, found 'deep'"},
        {"well,marker,top,bottom\nA,M,1,x\n",
         "t.csv:2: error: expected a number for the bottom depth, found 'x'"},
        {"well,marker,top\n,M,1\n", "t.csv:2: error: expected a well name"},
        {"well,marker,top\nA,,1\n", "t.csv:2: error: expected a marker name"},
        {"well,marker,top\nA,M,1,extra\n",
         "t.csv:2: error: expected at most 3 fields, as in the header row, found 4"},
        {"well,marker,top\nA,\"M,1\n",
         "t.csv:2: error: a quoted field is not closed: expected '\"'"},
        {"\n\n", "t.csv: error: empty: expected a header row naming the columns"},
    };
    for (const auto& [text, error] : cases) {
        std::vector<MarkerSet> sets;
        Diagnostics diagnostics("t.csv");
        EXPECT_FALSE(ReadMarkersCsv(text, sets, diagnostics)) << text;
        EXPECT_EQ(error, diagnostics.Error()) << text;
    }
}

TEST(SurveysCsv, StationsPerWellCheckedAndAzimuthsWithinACircle) {
    std::vector<SurveyInput> surveys;
    Diagnostics diagnostics("dev.csv");
    ASSERT_TRUE(
        ReadSurveysCsv("Azi\tMD\tInc\tWell\tTVD\n"
                       "0\t0\t0\tA\t0\n-90\t100\t5\tA\t99.9\n360\t200\t10\tA\t199\n",
                       surveys, diagnostics))
        << diagnostics.Error();
    ASSERT_EQ(1u, surveys.size());
    EXPECT_EQ((std::vector<double>{0, 270, 0}), surveys[0].record.Azimuth);
    EXPECT_EQ((std::vector<double>{0, 99.9, 199}), surveys[0].record.Tvd);  // given, kept
    EXPECT_TRUE(surveys[0].record.Xoffset.empty());

    const std::pair<const char*, const char*> cases[] = {
        {"well,md,inc,azi\nA,0,0,0\nA,100,1,0\nA,100,2,0\n",
         "s.csv:4: error: expected md deeper than the station before in well A, found 100"},
        {"well,md,inc,azi\nA,0,0,0\nA,100,181,0\n",
         "s.csv:3: error: expected an inclination from 0 to 180 degrees, found 181"},
        {"well,md,inc,azi,tvd\nA,0,0,0,\n",
         "s.csv:2: error: expected a number for the tvd, found ''"},
    };
    for (const auto& [text, error] : cases) {
        std::vector<SurveyInput> bad;
        Diagnostics failed("s.csv");
        EXPECT_FALSE(ReadSurveysCsv(text, bad, failed)) << text;
        EXPECT_EQ(error, failed.Error()) << text;
    }
}

void ExpectPoint(const WellPath& path, std::size_t i, double east, double north, double tvd) {
    EXPECT_NEAR(east, path.xoffset[i], 1e-4) << "station " << i;
    EXPECT_NEAR(north, path.yoffset[i], 1e-4) << "station " << i;
    EXPECT_NEAR(tvd, path.tvd[i], 1e-4) << "station " << i;
}

TEST(MinimumCurvature, StationsWorkedOutByHand) {
    // 1000 m vertical, then building to 10° at azimuth 45° and to 20° at 60°.
    // 1000 -> 1100: dogleg 10°, ratio factor 2/β·tan(β/2) = 1.0025462;
    //   tvd += 50·(cos 0 + cos 10°)·1.0025462 = 99.49308;
    //   east = north = 50·sin 10°·1.0025462·sin 45° = 6.15502.
    // 1100 -> 1200: cos β = cos 10° cos 20° + sin 10° sin 20° cos 15°, β = 10.64702°,
    //   ratio factor 1.0028876; north += 50·(sin 10° cos 45° + sin 20° cos 60°)·RF = 14.73231;
    //   east += 50·(sin 10° sin 45° + sin 20° sin 60°)·RF = 21.00979;
    //   tvd += 50·(cos 10° + cos 20°)·RF = 96.50287.
    const WellPath path = MinimumCurvature({1000, 1100, 1200}, {0, 10, 20}, {0, 45, 60});
    ExpectPoint(path, 0, 0, 0, 1000);
    ExpectPoint(path, 1, 6.15502, 6.15502, 1099.49308);
    ExpectPoint(path, 2, 27.16481, 20.88733, 1195.99595);

    // A straight slant: 100 m at 30° towards north-east.
    const WellPath slant = MinimumCurvature({0, 100, 200}, {30, 30, 30}, {45, 45, 45});
    ExpectPoint(slant, 2, 70.71068, 70.71068, 173.20508);
}

TEST(MinimumCurvature, ArcsOfAKnownCircleComeOutExact) {
    // A hole bending at a constant rate from vertical to horizontal towards
    // east along a circle of radius 1000 m.
    const double r = 1000.0;
    const WellPath quarter =
        MinimumCurvature({0, kPi * r / 4, kPi * r / 2}, {0, 45, 90}, {90, 90, 90});
    ExpectPoint(quarter, 1, r * (1 - std::cos(kPi / 4)), 0, r * std::sin(kPi / 4));
    ExpectPoint(quarter, 2, r, 0, r);

    // Any arc: from direction t1 turning in the plane of t1 and t2 by angle
    // β over length L lands at R·sin(s/R)·t1 + R·(1 - cos(s/R))·n, n the unit
    // normal towards t2 in that plane.
    auto direction = [](double inc, double azi) {
        const double i = inc * kPi / 180, a = azi * kPi / 180;
        return std::array<double, 3>{std::sin(i) * std::sin(a), std::sin(i) * std::cos(a),
                                     std::cos(i)};
    };
    const auto t1 = direction(25, 300);
    const auto t2 = direction(70, 20);
    const double cosB = t1[0] * t2[0] + t1[1] * t2[1] + t1[2] * t2[2];
    const double beta = std::acos(cosB);
    const double length = 350.0;
    const double radius = length / beta;
    std::array<double, 3> n;
    for (int k = 0; k < 3; ++k) n[k] = (t2[k] - cosB * t1[k]) / std::sin(beta);
    const WellPath arc = MinimumCurvature({500, 500 + length}, {25, 70}, {300, 20});
    std::array<double, 3> end;
    for (int k = 0; k < 3; ++k) {
        end[k] = radius * std::sin(beta) * t1[k] + radius * (1 - std::cos(beta)) * n[k];
    }
    // The first station: 500 m straight down from the tie-on at the surface,
    // bending on the way to 25°: measured from station one, the arc is exact.
    EXPECT_NEAR(end[0], arc.xoffset[1] - arc.xoffset[0], 1e-9 * length);
    EXPECT_NEAR(end[1], arc.yoffset[1] - arc.yoffset[0], 1e-9 * length);
    EXPECT_NEAR(end[2], arc.tvd[1] - arc.tvd[0], 1e-9 * length);
}

TEST(SurveysCsv, CoordinatesFromTheWellHeaderAndItsKellyBushing) {
    std::vector<SurveyInput> surveys;
    Diagnostics diagnostics("dev.csv");
    ASSERT_TRUE(ReadSurveysCsv("well,md,inclination,azimuth\nA,0,0,0\nA,100,30,90\nA,200,30,90\n",
                               surveys, diagnostics));
    BasicWellRecord header;
    header.WellName = "A";
    header.Well_EW = 500000.0;
    header.Well_SN = 4000000.0;
    header.Kb = 35.0;
    SurveyInput survey = surveys[0];
    ASSERT_TRUE(CompleteSurvey(survey, &header, diagnostics)) << diagnostics.Error();
    const WellPath path = MinimumCurvature({0, 100, 200}, {0, 30, 30}, {0, 90, 90});
    EXPECT_EQ(path.xoffset, survey.record.Xoffset);
    EXPECT_EQ(path.tvd, survey.record.Tvd);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(500000.0 + path.xoffset[i], survey.record.Xcoor[i]);
        EXPECT_EQ(4000000.0 + path.yoffset[i], survey.record.Ycoor[i]);
        EXPECT_EQ(path.tvd[i] - 35.0, survey.record.Tvdss[i]);
    }

    SurveyInput orphan = surveys[0];
    Diagnostics noHeader("dev.csv");
    EXPECT_FALSE(CompleteSurvey(orphan, nullptr, noHeader));
    EXPECT_EQ(
        "dev.csv:2: error: well A has no header in the project database: its surface "
        "location and kelly bushing place the survey",
        noHeader.Error());
    BasicWellRecord unplaced;
    SurveyInput lost = surveys[0];
    Diagnostics noCoordinates("dev.csv");
    EXPECT_FALSE(CompleteSurvey(lost, &unplaced, noCoordinates));
    EXPECT_NE(std::string::npos, noCoordinates.Error().find("has no surface coordinates"));

    // With every derived column given, no header is needed.
    std::vector<SurveyInput> full;
    Diagnostics given("full.csv");
    ASSERT_TRUE(
        ReadSurveysCsv("well,md,inc,azi,xoffset,yoffset,tvd,xcoor,ycoor,tvdss\n"
                       "B,0,0,0,0,0,0,1,2,-10\nB,10,0,0,0,0,10,1,2,0\n"
                       "B,20,0,0,0,0,20,1,2,10\n",
                       full, given));
    ASSERT_TRUE(CompleteSurvey(full[0], nullptr, given)) << given.Error();
    EXPECT_EQ((std::vector<double>{-10, 0, 10}), full[0].record.Tvdss);
}

}  // namespace
