// A well's curves drawn as depth tracks, as one standalone SVG picture:
// depth increasing downward on an axis that names its unit, one track per
// curve headed by its name, unit and scale (resistivity on a logarithmic
// scale with a line at each decade), null values left as gaps, and the
// well's markers as named lines across every track.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "formats/diagnostics.h"
#include "strataloom/ilogdata.h"
#include "strataloom/imarkerdata.h"

namespace strataloom::formats {

// A track's range as the user gives it: CURVE=MIN:MAX.
struct PlotScale {
    std::string curve;
    double low = 0.0;
    double high = 0.0;
};

// What the project's curve dictionary says of a curve's track.
struct CurveStyle {
    bool logarithmic = false;
    double left = 0.0;  // the range, when left differs from right
    double right = 0.0;
};

struct PlotOptions {
    // Curves to draw, in this order; empty draws every curve that is not a depth curve.
    std::vector<std::string> curves;
    // Ranges given for tracks; the others span the 1st to the 99th percentile
    // of their values (whole decades on a logarithmic track).
    std::vector<PlotScale> scales;
    // The dictionary's word on curves, by curve name.
    std::map<std::string, CurveStyle> styles;
    double from = -1e308;  // the depths drawn
    double to = 1e308;
    int trackWidth = 150;
    int plotHeight = 800;  // height of the depth axis in pixels
};

// Whether unit is one of resistivity (ohm.m and the ways it is spelled).
bool IsResistivityUnit(const std::string& unit);

// Where things land on the picture, for callers that place more on it.
struct PlotLayout {
    double top = 0.0;  // y of the shallowest depth
    double height = 0.0;
    double shallowest = 0.0;
    double deepest = 0.0;
    double Y(double depth) const {
        return deepest == shallowest ? top
                                     : top + (depth - shallowest) / (deepest - shallowest) * height;
    }
};

// Draws set (as loaded, curves linked to their depth curves) with markers
// (may be null). Markers outside the logged depths are left out with a
// warning. False when no curve can be drawn.
bool RenderLogPlot(const LogCurveSet& set, const MarkerSet* markers, const PlotOptions& options,
                   std::string& svg, PlotLayout& layout, Diagnostics& diagnostics);

}  // namespace strataloom::formats
