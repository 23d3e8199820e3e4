// The log plot checked against the data it draws: its tracks, their scales,
// gaps at null values and marker lines at their depths.
#include "formats/logplot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>

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

using Attributes = std::map<std::string, std::string>;

// The attributes of every element of svg whose text starts with head.
std::vector<Attributes> Elements(const std::string& svg, const std::string& head) {
    std::vector<Attributes> found;
    for (std::size_t at = svg.find(head); at != std::string::npos; at = svg.find(head, at + 1)) {
        Attributes attributes;
        const std::size_t end = svg.find('>', at);
        for (std::size_t eq = svg.find("=\"", at); eq < end; eq = svg.find("=\"", eq + 1)) {
            const std::size_t name = svg.rfind(' ', eq) + 1;
            const std::size_t close = svg.find('"', eq + 2);
            attributes[svg.substr(name, eq - name)] = svg.substr(eq + 2, close - eq - 2);
            eq = close;
        }
        found.push_back(attributes);
    }
    return found;
}

std::size_t Count(const std::string& text, char c) {
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), c));
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

    const auto tracks = Elements(svg, "<g class=\"track\"");
    ASSERT_EQ(2u, tracks.size());  // DEPT is the depth axis, SHORT does not fit it
    EXPECT_EQ("GR", tracks[0].at("data-curve"));
    EXPECT_EQ("API", tracks[0].at("data-unit"));
    EXPECT_EQ("20", tracks[0].at("data-min"));  // the null value does not count
    EXPECT_EQ("120", tracks[0].at("data-max"));
    EXPECT_EQ("RHOB", tracks[1].at("data-curve"));
    EXPECT_EQ("2.5", tracks[1].at("data-max"));

    EXPECT_EQ(1000.0, layout.shallowest);
    EXPECT_EQ(1100.0, layout.deepest);
    EXPECT_LT(layout.Y(1000.0), layout.Y(1100.0));  // deeper is lower
    const auto lines = Elements(svg, "<line class=\"marker\"");
    ASSERT_EQ(2u, lines.size());
    EXPECT_EQ("Top &amp; A", lines[0].at("data-marker"));
    EXPECT_EQ("1020", lines[0].at("data-depth"));
    EXPECT_NEAR(layout.top + 0.2 * layout.height, std::stod(lines[0].at("y1")), 0.05);
    EXPECT_EQ(lines[0].at("y1"), lines[0].at("y2"));  // horizontal
    EXPECT_NEAR(layout.Y(1075.5), std::stod(lines[1].at("y1")), 0.05);
    EXPECT_NE(diagnostics.Warnings().end(),
              std::find(diagnostics.Warnings().begin(), diagnostics.Warnings().end(),
                        "w.svg: warning: marker Deep at 2000 lies outside the logged depths: not "
                        "drawn"));

    // The null gap breaks GR's line in two; RHOB runs unbroken.
    const auto paths = Elements(svg, "<path class=\"curve\"");
    ASSERT_EQ(2u, paths.size());
    EXPECT_EQ(2u, Count(paths[0].at("d"), 'M'));
    EXPECT_EQ(1u, Count(paths[1].at("d"), 'M'));
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
    PlotOptions options;
    options.scales = {{"W", -1.0, 40.0}};  // the spike is no outlier here
    ASSERT_TRUE(RenderLogPlot(set, nullptr, options, svg, layout, diagnostics));
    EXPECT_LT(svg.size(), 100000u);
    EXPECT_NE(std::string::npos, svg.find("data-max=\"40\""));
    const std::string right = " L" + std::to_string(70 + 150) + ".0 ";  // x of the maximum
    EXPECT_NE(std::string::npos, svg.find(right));
}

TEST(LogPlot, ResistivityOnALogTrackOthersOnRobustRanges) {
    for (const char* unit : {"ohm.m", "OHMM", "Ohm-m", "ohm m", "ohm·m", "Ω·m", "ohmm2/m"}) {
        EXPECT_TRUE(strataloom::formats::IsResistivityUnit(unit)) << unit;
    }
    for (const char* unit : {"", "API", "mho/m", "ohmmho", "m"}) {
        EXPECT_FALSE(strataloom::formats::IsResistivityUnit(unit)) << unit;
    }
    LogCurveSet set = Well();
    std::vector<double> rt;
    for (int i = 0; i <= 100; ++i) rt.push_back(std::pow(10.0, 0.5 + i / 100.0));  // 3.2 to 31.6
    set.Records.push_back(Curve("RT", "ohm.m", rt));
    set.Records[1].CurveValue[70] = -2324.0;  // one outlier in GR
    std::string svg;
    PlotLayout layout;
    Diagnostics diagnostics("w.svg");
    ASSERT_TRUE(RenderLogPlot(set, nullptr, PlotOptions(), svg, layout, diagnostics));
    const auto tracks = Elements(svg, "<g class=\"track\"");
    ASSERT_EQ(3u, tracks.size());
    EXPECT_EQ("linear", tracks[0].at("data-scale"));
    EXPECT_EQ("20", tracks[0].at("data-min"));  // the outlier is left out of the range
    EXPECT_EQ("logarithmic", tracks[2].at("data-scale"));
    EXPECT_EQ("1", tracks[2].at("data-min"));  // whole decades around the values
    EXPECT_EQ("100", tracks[2].at("data-max"));
    const auto decades = Elements(svg, "<line class=\"decade\"");
    ASSERT_EQ(3u, decades.size());
    EXPECT_EQ("10", decades[1].at("data-value"));
    const double left = std::stod(decades[0].at("x1"));
    EXPECT_NEAR(left + 75.0, std::stod(decades[1].at("x1")), 0.05);  // half-way on two decades
}

TEST(LogPlot, GivenScalesAndDepthsAndALegendAboveTheTracks) {
    LogCurveSet set = Well();
    set.Records[1].CurveName = "GAMMA RAY WITH A NAME FAR TOO LONG FOR ITS TRACK";
    PlotOptions options;
    options.scales = {{set.Records[1].CurveName, 0.0, 150.0}};
    options.from = 1020.0;
    options.to = 1060.0;
    MarkerSet markers;
    markers.Records = {{"Inside", 1030.0, 1031.0, ""}, {"Outside", 1090.0, 1091.0, ""}};
    std::string svg;
    PlotLayout layout;
    Diagnostics diagnostics("w.svg");
    ASSERT_TRUE(RenderLogPlot(set, &markers, options, svg, layout, diagnostics));
    const auto tracks = Elements(svg, "<g class=\"track\"");
    ASSERT_EQ(2u, tracks.size());
    EXPECT_EQ("0", tracks[0].at("data-min"));
    EXPECT_EQ("150", tracks[0].at("data-max"));
    EXPECT_EQ(1020.0, layout.shallowest);
    EXPECT_EQ(1060.0, layout.deepest);
    const auto lines = Elements(svg, "<line class=\"marker\"");
    ASSERT_EQ(1u, lines.size());  // the other lies outside the depths asked for, without a warning
    for (const std::string& warning : diagnostics.Warnings()) {
        EXPECT_EQ(std::string::npos, warning.find("Outside")) << warning;
    }
    EXPECT_EQ("70.0", lines[0].at("x1"));  // across every track
    EXPECT_EQ("380.0", lines[0].at("x2"));
    EXPECT_NE(std::string::npos, svg.find(">Depth (m)</text>"));
    // Every heading lies above the tracks, the title above the headings, and
    // a name too long for its track is cut short.
    double titleY = 0.0;
    for (const auto& text : Elements(svg, "<text")) {
        const double y = std::stod(text.at("y"));
        if (text.count("class") && text.at("class") == "title") titleY = y;
    }
    for (const auto& text : Elements(svg, "<text x=\"145.0\"")) {
        EXPECT_LT(std::stod(text.at("y")), layout.top);
        EXPECT_GT(std::stod(text.at("y")) - 11.0, titleY);
    }
    EXPECT_EQ(std::string::npos, svg.find("FAR TOO LONG FOR ITS TRACK</text>"));
}

}  // namespace
