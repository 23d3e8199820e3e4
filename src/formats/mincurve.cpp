#include "formats/mincurve.h"

#include <algorithm>
#include <cmath>

namespace strataloom::formats {

namespace {

constexpr double kRadiansPerDegree = 3.14159265358979323846 / 180.0;

struct Station {
    double md;
    double inclination;  // radians
    double azimuth;      // radians
};

// Dogleg angle between two stations; the half-angle form keeps small angles exact.
double Dogleg(const Station& a, const Station& b) {
    const double di = std::sin((b.inclination - a.inclination) / 2.0);
    const double da = std::sin((b.azimuth - a.azimuth) / 2.0);
    const double h = di * di + std::sin(a.inclination) * std::sin(b.inclination) * da * da;
    return 2.0 * std::asin(std::sqrt(std::min(1.0, std::max(0.0, h))));
}

// 2/β·tan(β/2): how much longer the arc's chord sum runs than the straight
// average of the two directions; 1 for a straight hole.
double RatioFactor(double dogleg) {
    if (dogleg < 1e-7) return 1.0 + dogleg * dogleg / 12.0;
    return 2.0 / dogleg * std::tan(dogleg / 2.0);
}

}  // namespace

WellPath MinimumCurvature(const std::vector<double>& md, const std::vector<double>& inclination,
                          const std::vector<double>& azimuth) {
    WellPath path;
    path.xoffset.reserve(md.size());
    path.yoffset.reserve(md.size());
    path.tvd.reserve(md.size());
    Station previous{0.0, 0.0, 0.0};
    double east = 0.0;
    double north = 0.0;
    double down = 0.0;
    for (std::size_t i = 0; i < md.size(); ++i) {
        const Station station{md[i], inclination[i] * kRadiansPerDegree,
                              azimuth[i] * kRadiansPerDegree};
        const double half =
            (station.md - previous.md) / 2.0 * RatioFactor(Dogleg(previous, station));
        east += half * (std::sin(previous.inclination) * std::sin(previous.azimuth) +
                        std::sin(station.inclination) * std::sin(station.azimuth));
        north += half * (std::sin(previous.inclination) * std::cos(previous.azimuth) +
                         std::sin(station.inclination) * std::cos(station.azimuth));
        down += half * (std::cos(previous.inclination) + std::cos(station.inclination));
        path.xoffset.push_back(east);
        path.yoffset.push_back(north);
        path.tvd.push_back(down);
        previous = station;
    }
    return path;
}

}  // namespace strataloom::formats
