// A well's curves drawn as depth tracks, as one standalone SVG picture:
// depth increasing downward, one track per curve headed by its name, unit
// and scale, null values left as gaps, and the well's markers as named
// lines across every track.
#pragma once

#include <string>
#include <vector>

#include "formats/diagnostics.h"
#include "strataloom/ilogdata.h"
#include "strataloom/imarkerdata.h"

namespace strataloom::formats {

struct PlotOptions {
    // Curves to draw, in this order; empty draws every curve that is not a depth curve.
    std::vector<std::string> curves;
    int trackWidth = 150;
    int plotHeight = 800;  // height of the depth axis in pixels
};

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
