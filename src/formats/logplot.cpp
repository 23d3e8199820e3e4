#include "formats/logplot.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "formats/text.h"

namespace strataloom::formats {

namespace {

constexpr double kAxisWidth = 70.0;  // the depth axis, left of the tracks
constexpr double kHeaderHeight = 90.0;
constexpr double kTrackGap = 10.0;
constexpr double kMargin = 20.0;
const char* const kColours[] = {"#1f4e9c", "#b2182b", "#1a7f37", "#7b3294", "#d95f02", "#333333"};

std::string Escape(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string Px(double value) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.1f", value);
    return buffer;
}

struct Track {
    const LogCurveRecord* curve;
    const LogCurveRecord* depth;
    double low = 0.0;
    double high = 0.0;
};

bool IsValue(double value, double nullValue) {
    return std::isfinite(value) && value != nullValue;
}

// A curve's line as path data, broken where a value or its depth is null.
// Samples that land on one pixel row are thinned to the leftmost and the
// rightmost, so that a long curve stays small and keeps its spikes.
class PathBuilder {
  public:
    void Add(double x, double y) {
        const long row = std::lround(y);
        if (inBucket_ && row != row_) Flush();
        if (!inBucket_) {
            first_ = {x, y};
            left_ = right_ = first_;
            row_ = row;
            inBucket_ = true;
            return;
        }
        if (x < left_.x) left_ = {x, y};
        if (x > right_.x) right_ = {x, y};
    }
    void Break() {
        Flush();
        open_ = false;
    }
    std::string Take() {
        Break();
        return std::move(data_);
    }

  private:
    struct Point {
        double x;
        double y;
    };
    void Emit(const Point& point) {
        data_ += (open_ ? " L" : (data_.empty() ? "M" : " M")) + Px(point.x) + " " + Px(point.y);
        open_ = true;
    }
    void Flush() {
        if (!inBucket_) {
            return;
        }
        inBucket_ = false;
        Emit(first_);
        if (left_.x != first_.x) Emit(left_);
        if (right_.x != first_.x && right_.x != left_.x) Emit(right_);
    }

    std::string data_;
    bool open_ = false;
    bool inBucket_ = false;
    long row_ = 0;
    Point first_{0, 0};
    Point left_{0, 0};
    Point right_{0, 0};
};

double NiceStep(double range) {
    const double rough = range / 10.0;
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    for (double factor : {1.0, 2.0, 5.0}) {
        if (factor * power >= rough) return factor * power;
    }
    return 10.0 * power;
}

bool ChooseTracks(const LogCurveSet& set, const PlotOptions& options, std::vector<Track>& tracks,
                  Diagnostics& diagnostics) {
    auto depthOf = [&](std::size_t i) -> const LogCurveRecord* {
        const int depth = set.Records[i].DepthCurve;
        return depth >= 0 && static_cast<std::size_t>(depth) < set.Records.size()
                   ? &set.Records[static_cast<std::size_t>(depth)]
                   : nullptr;
    };
    std::vector<std::size_t> chosen;
    if (options.curves.empty()) {
        for (std::size_t i = 0; i < set.Records.size(); ++i) {
            if (set.Records[i].DepthCurve != static_cast<int>(i)) chosen.push_back(i);
        }
    } else {
        for (const std::string& name : options.curves) {
            std::size_t i = 0;
            while (i < set.Records.size() && set.Records[i].CurveName != name) ++i;
            if (i == set.Records.size()) {
                diagnostics.Fail(0, "well " + set.WellName + " has no curve " + name);
                return false;
            }
            chosen.push_back(i);
        }
    }
    for (std::size_t i : chosen) {
        const LogCurveRecord& curve = set.Records[i];
        const LogCurveRecord* depth = depthOf(i);
        if (!depth) {
            diagnostics.Warn(0, "curve " + curve.CurveName + " has no depth curve: not drawn");
        } else if (depth->CurveValue.size() != curve.CurveValue.size() ||
                   curve.CurveValue.empty()) {
            diagnostics.Warn(0, "curve " + curve.CurveName + " has " +
                                    std::to_string(curve.CurveValue.size()) +
                                    " samples, its depth curve " +
                                    std::to_string(depth->CurveValue.size()) + ": not drawn");
        } else {
            tracks.push_back(Track{&curve, depth});
        }
    }
    if (tracks.empty()) {
        diagnostics.Fail(0, "well " + set.WellName + " has no curve to draw");
        return false;
    }
    return true;
}

// The depth range of every track and each track's value range.
bool MeasureTracks(std::vector<Track>& tracks, double nullValue, PlotLayout& layout) {
    bool anyDepth = false;
    for (Track& track : tracks) {
        bool anyValue = false;
        for (std::size_t i = 0; i < track.curve->CurveValue.size(); ++i) {
            const double depth = track.depth->CurveValue[i];
            const double value = track.curve->CurveValue[i];
            if (!IsValue(depth, nullValue)) continue;
            layout.shallowest = anyDepth ? std::min(layout.shallowest, depth) : depth;
            layout.deepest = anyDepth ? std::max(layout.deepest, depth) : depth;
            anyDepth = true;
            if (!IsValue(value, nullValue)) continue;
            track.low = anyValue ? std::min(track.low, value) : value;
            track.high = anyValue ? std::max(track.high, value) : value;
            anyValue = true;
        }
        if (track.low == track.high) {
            track.low -= 1.0;
            track.high += 1.0;
        }
    }
    return anyDepth;
}

void DrawDepthAxis(std::string& svg, const PlotLayout& layout, double right) {
    svg += "<g class=\"depth-axis\">\n";
    svg += "<text x=\"" + Px(kMargin) + "\" y=\"" + Px(layout.top - 8) + "\">Depth</text>\n";
    const double range = layout.deepest - layout.shallowest;
    if (range > 0) {
        const double step = NiceStep(range);
        for (double depth = std::ceil(layout.shallowest / step) * step; depth <= layout.deepest;
             depth += step) {
            const std::string y = Px(layout.Y(depth));
            svg += "<line x1=\"" + Px(kAxisWidth - 5) + "\" x2=\"" + Px(right) + "\" y1=\"" + y +
                   "\" y2=\"" + y + "\" stroke=\"#dddddd\"/>\n";
            svg += "<text x=\"" + Px(kAxisWidth - 8) + "\" y=\"" + y +
                   "\" text-anchor=\"end\" dominant-baseline=\"middle\">" + FormatNumber(depth) +
                   "</text>\n";
        }
    }
    svg += "</g>\n";
}

void DrawTrack(std::string& svg, const Track& track, std::size_t index, double left, double width,
               double nullValue, const PlotLayout& layout) {
    const LogCurveRecord& curve = *track.curve;
    const char* colour = kColours[index % (sizeof kColours / sizeof kColours[0])];
    const double centre = left + width / 2;
    svg += "<g class=\"track\" data-curve=\"" + Escape(curve.CurveName) + "\" data-unit=\"" +
           Escape(curve.Measure) + "\" data-min=\"" + FormatNumber(track.low) + "\" data-max=\"" +
           FormatNumber(track.high) + "\">\n";
    svg += "<text x=\"" + Px(centre) + "\" y=\"" + Px(layout.top - 58) +
           "\" text-anchor=\"middle\" font-weight=\"bold\" fill=\"" + colour + "\">" +
           Escape(curve.CurveName) + "</text>\n";
    svg += "<text x=\"" + Px(centre) + "\" y=\"" + Px(layout.top - 40) +
           "\" text-anchor=\"middle\">" + Escape(curve.Measure.empty() ? "-" : curve.Measure) +
           "</text>\n";
    svg += "<text x=\"" + Px(left) + "\" y=\"" + Px(layout.top - 8) + "\">" +
           FormatNumber(track.low) + "</text>\n";
    svg += "<text x=\"" + Px(left + width) + "\" y=\"" + Px(layout.top - 8) +
           "\" text-anchor=\"end\">" + FormatNumber(track.high) + "</text>\n";
    svg += "<rect x=\"" + Px(left) + "\" y=\"" + Px(layout.top) + "\" width=\"" + Px(width) +
           "\" height=\"" + Px(layout.height) + "\" fill=\"none\" stroke=\"#555555\"/>\n";
    PathBuilder path;
    const double scale = width / (track.high - track.low);
    for (std::size_t i = 0; i < curve.CurveValue.size(); ++i) {
        const double depth = track.depth->CurveValue[i];
        const double value = curve.CurveValue[i];
        if (!IsValue(depth, nullValue) || !IsValue(value, nullValue)) {
            path.Break();
            continue;
        }
        path.Add(left + (value - track.low) * scale, layout.Y(depth));
    }
    svg += "<path class=\"curve\" fill=\"none\" stroke=\"" + std::string(colour) +
           "\" stroke-width=\"1\" d=\"" + path.Take() + "\"/>\n</g>\n";
}

void DrawMarkers(std::string& svg, const MarkerSet* markers, const PlotLayout& layout, double right,
                 Diagnostics& diagnostics) {
    svg += "<g class=\"markers\">\n";
    for (const MarkerRecord& marker : markers ? markers->Records : std::vector<MarkerRecord>()) {
        if (marker.TopDepth < layout.shallowest || marker.TopDepth > layout.deepest) {
            diagnostics.Warn(0, "marker " + marker.MarkerName + " at " +
                                    FormatNumber(marker.TopDepth) +
                                    " lies outside the logged depths: not drawn");
            continue;
        }
        const std::string y = Px(layout.Y(marker.TopDepth));
        svg += "<line class=\"marker\" data-marker=\"" + Escape(marker.MarkerName) +
               "\" data-depth=\"" + FormatNumber(marker.TopDepth) + "\" x1=\"" + Px(kAxisWidth) +
               "\" x2=\"" + Px(right) + "\" y1=\"" + y + "\" y2=\"" + y +
               "\" stroke=\"#c51b7d\" stroke-width=\"1.5\" stroke-dasharray=\"6 3\"/>\n";
        svg += "<text x=\"" + Px(right + 4) + "\" y=\"" + y +
               "\" dominant-baseline=\"middle\" fill=\"#c51b7d\">" + Escape(marker.MarkerName) +
               "</text>\n";
    }
    svg += "</g>\n";
}

}  // namespace

bool RenderLogPlot(const LogCurveSet& set, const MarkerSet* markers, const PlotOptions& options,
                   std::string& svg, PlotLayout& layout, Diagnostics& diagnostics) {
    std::vector<Track> tracks;
    if (!ChooseTracks(set, options, tracks, diagnostics)) return false;
    layout.top = kHeaderHeight;
    layout.height = options.plotHeight;
    if (!MeasureTracks(tracks, set.NullValue, layout)) {
        diagnostics.Fail(0, "well " + set.WellName + " has no depths to draw: every depth is null");
        return false;
    }
    const double trackWidth = options.trackWidth;
    const double right = kAxisWidth + tracks.size() * (trackWidth + kTrackGap) - kTrackGap;
    const double width = right + 120.0;  // room for the marker names
    const double height = layout.top + layout.height + kMargin;
    svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    svg += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + Px(width) + "\" height=\"" +
           Px(height) + "\" viewBox=\"0 0 " + Px(width) + " " + Px(height) +
           "\" font-family=\"sans-serif\" font-size=\"11\" data-well=\"" + Escape(set.WellName) +
           "\" data-top=\"" + FormatNumber(layout.top) + "\" data-height=\"" +
           FormatNumber(layout.height) + "\" data-shallowest=\"" + FormatNumber(layout.shallowest) +
           "\" data-deepest=\"" + FormatNumber(layout.deepest) + "\">\n";
    svg += "<title>Well " + Escape(set.WellName) + "</title>\n";
    svg += "<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n";
    svg += "<text x=\"" + Px(kMargin) + "\" y=\"22\" font-size=\"15\" font-weight=\"bold\">Well " +
           Escape(set.WellName) + "</text>\n";
    DrawDepthAxis(svg, layout, right);
    for (std::size_t i = 0; i < tracks.size(); ++i) {
        DrawTrack(svg, tracks[i], i, kAxisWidth + i * (trackWidth + kTrackGap), trackWidth,
                  set.NullValue, layout);
    }
    DrawMarkers(svg, markers, layout, right, diagnostics);
    svg += "</svg>\n";
    return true;
}

}  // namespace strataloom::formats
