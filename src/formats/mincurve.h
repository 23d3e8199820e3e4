// Well paths from deviation surveys by the minimum-curvature method: between
// two stations the hole is taken as a circular arc tangent to the directions
// measured at both.
#pragma once

#include <vector>

namespace strataloom::formats {

struct WellPath {
    std::vector<double> xoffset;  // east of the surface location
    std::vector<double> yoffset;  // north of it
    std::vector<double> tvd;      // true vertical depth below the depth reference
};

// md in depth units, inclination from vertical and azimuth clockwise from
// north, both in degrees. The path starts at the surface: above the first
// station the hole is taken as vertical from md 0 (a tie-on at md 0,
// inclination 0), so a survey that starts at md 0 starts at the origin.
// The arrays must be of one length with md increasing.
WellPath MinimumCurvature(const std::vector<double>& md, const std::vector<double>& inclination,
                          const std::vector<double>& azimuth);

}  // namespace strataloom::formats
