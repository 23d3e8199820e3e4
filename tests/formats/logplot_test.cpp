// The log plot checked against the data it draws: its tracks, their scales,
// gaps at null values and marker lines at their depths.
#include "formats/logplot.h"

#include <gtest/gtest.h>

#include <regex>

namespace {

using strataloom::formats::Diagnostics;
using strataloom::formats::PlotLayout;
using strataloom::formats::PlotOptions;
using strataloom::formats::RenderLogPlot;

LogCurveRecord Curve(const std::string& name, const std::string& unit, std::vector<double> values) {
    LogCurveRecord record;
    record.CurveName = name;
    record.Measure = unit;
    record.DepthCurve = 0;
    record.CurveValue = std::move(values);
    return record;
}

// DEPT 1000..1100 by 1; GR with a null gap at 1040..1044; RHOB; a curve of
// another length.
LogCurveSet Well() {
    LogCurveSet set;
    set.WellName = "W<1>";
    set.NullValue = -999.25;
    std::vector<double> depth, gr, rhob;
    for (int i = 0; i <= 100; ++i) {
        depth.push_back(1000.0 + i);
        gr.push_back(i >= 40 && i < 45 ? -999.25 : 20.0 + i);
        rhob.push_back(2.0 + i / 200.0);
    }
    set.Records = {Curve("DEPT", "m", depth), Curve("GR", "API", gr), Curve("RHOB", "g/cc", rhob),
                   Curve("SHORT", "", {1, 2, 3})};
    return set;
}

std::vector<std::smatch> All(const std::string& text, const std::regex& pattern) {
    std::vector<std::smatch> found;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), pattern);
         it != std::sregex_iterator(); ++it) {
        found.push_back(*it);
    }
    return found;
}

TEST(LogPlot, OneTrackPerCurveAndMarkersAtTheirDepths) {
    const LogCurveSet set = Well();
    MarkerSet markers;
    markers.WellName = "W<1>";
    markers.Records = {{"Top & A", 1020.0, 1030.0, ""},
                       {"Top B", 1075.5, 1080.0, ""},
                       {"Deep", 2000.0, 2010.0, ""}};
    std::string svg;
    PlotLayout layout;
    Diagnostics diagnostics("w.svg");
    ASSERT_TRUE(RenderLogPlot(set, &markers, PlotOptions(), svg, layout, diagnostics));
    EXPECT_EQ(0u, svg.find("<?xml"));
    EXPECT_NE(std::string::npos, svg.find("<title>Well W&lt;1&gt;</title>"));

    const auto tracks =
        All(svg, std::regex("<g class=\"track\" data-curve=\"([^\"]*)\" data-unit=\"([^\"]*)\" "
                            "data-min=\"([^\"]*)\" data-max=\"([^\"]*)\""));
    ASSERT_EQ(2u, tracks.size());  // DEPT is the depth axis, SHORT does not fit it
    EXPECT_EQ("GR", tracks[0][1].str());
    EXPECT_EQ("API", tracks[0][2].str());
    EXPECT_EQ("20", tracks[0][3].str());  // the null value does not count
    EXPECT_EQ("120", tracks[0][4].str());
    EXPECT_EQ("RHOB", tracks[1][1].str());
    EXPECT_EQ("2.5", tracks[1][4].str());

    EXPECT_EQ(1000.0, layout.shallowest);
    EXPECT_EQ(1100.0, layout.deepest);
    EXPECT_LT(layout.Y(1000.0), layout.Y(1100.0));  // deeper is lower
    const auto lines = All(svg, std::regex("<line class=\"marker\" data-marker=\"([^\"]*)\" "
                                           "data-depth=\"([^\"]*)\" x1=\"[^\"]*\" x2=\"[^\"]*\" "
                                           "y1=\"([^\"]*)\" y2=\"([^\"]*)\""));
    ASSERT_EQ(2u, lines.size());
    EXPECT_EQ("Top &amp; A", lines[0][1].str());
    EXPECT_EQ("1020", lines[0][2].str());
    EXPECT_NEAR(layout.top + 0.2 * layout.height, std::stod(lines[0][3].str()), 0.05);
    EXPECT_EQ(lines[0][3].str(), lines[0][4].str());  // horizontal
    EXPECT_NEAR(layout.Y(1075.5), std::stod(lines[1][3].str()), 0.05);
    EXPECT_NE(diagnostics.Warnings().end(),
              std::find(diagnostics.Warnings().begin(), diagnostics.Warnings().end(),
                        "w.svg: warning: marker Deep at 2000 lies outside the logged depths: not "
                        "drawn"));

    // The null gap breaks GR's line in two; RHOB runs unbroken.
    const auto paths = All(svg, std::regex("<path class=\"curve\"[^>]* d=\"([^\"]*)\""));
    ASSERT_EQ(2u, paths.size());
    EXPECT_EQ(2u, All(paths[0][1].str(), std::regex("M")).size());
    EXPECT_EQ(1u, All(paths[1][1].str(), std::regex("M")).size());
}

TEST(LogPlot, ChosenCurvesInTheirOrderAndUnknownOnesRefused) {
    const LogCurveSet set = Well();
    PlotOptions options;
    options.curves = {"RHOB", "GR"};
    std::string svg;
    PlotLayout layout;
    Diagnostics diagnostics("w.svg");
    ASSERT_TRUE(RenderLogPlot(set, nullptr, options, svg, layout, diagnostics));
    EXPECT_LT(svg.find("data-curve=\"RHOB\""), svg.find("data-curve=\"GR\""));
    EXPECT_EQ(std::string::npos, svg.find("class=\"marker\""));

    options.curves = {"GR", "NOPE"};
    Diagnostics unknown("w.svg");
    EXPECT_FALSE(RenderLogPlot(set, nullptr, options, svg, layout, unknown));
    EXPECT_EQ("w.svg: error: well W<1> has no curve NOPE", unknown.Error());

    LogCurveSet onlyDepth = set;
    onlyDepth.Records.resize(1);
    Diagnostics nothing("w.svg");
    EXPECT_FALSE(RenderLogPlot(onlyDepth, nullptr, PlotOptions(), svg, layout, nothing));
    EXPECT_EQ("w.svg: error: well W<1> has no curve to draw", nothing.Error());
}

TEST(LogPlot, LongCurvesAreThinnedToThePixelRows) {
    LogCurveSet set;
    set.WellName = "long";
    set.NullValue = -999.25;
    std::vector<double> depth, wiggle;
    for (int i = 0; i < 100000; ++i) {
        depth.push_back(i * 0.1);
        wiggle.push_back(i % 2 ? 1.0 : -1.0);
    }
    wiggle[50000] = 40.0;  // a spike that must survive the thinning
    set.Records = {Curve("DEPT", "m", depth), Curve("W", "", wiggle)};
    std::string svg;
    PlotLayout layout;
    Diagnostics diagnostics("long.svg");
    ASSERT_TRUE(RenderLogPlot(set, nullptr, PlotOptions(), svg, layout, diagnostics));
    EXPECT_LT(svg.size(), 100000u);
    EXPECT_NE(std::string::npos, svg.find("data-max=\"40\""));
    const std::string right = " L" + std::to_string(70 + 150) + ".0 ";  // x of the maximum
    EXPECT_NE(std::string::npos, svg.find(right));
}

}  // namespace
