#include "formats/logplot.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "formats/text.h"

namespace strataloom::formats {

namespace {

constexpr double kAxisWidth = 70.0;      // the depth axis, left of the tracks
constexpr double kTitleHeight = 34.0;    // the well's name, above the track headers
constexpr double kHeaderHeight = 100.0;  // title and track headers, above the tracks
constexpr double kCharWidth = 6.6;       // of the 11 px sans-serif text, generously
constexpr double kLowPercentile = 0.01;
constexpr double kHighPercentile = 0.99;
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
    bool logarithmic = false;
    bool given = false;  // the range comes from --scale or the dictionary

    // Where value lands between the track's edges, 0 to 1 (outside: beyond them).
    double Fraction(double value) const {
        if (logarithmic)
            return (std::log10(value) - std::log10(low)) / (std::log10(high) - std::log10(low));
        return (value - low) / (high - low);
    }
    bool Draws(double value) const { return !logarithmic || value > 0; }
};

// Text cut to what fits in width, with an ellipsis where it was cut (UTF-8 kept whole).
std::string Fitted(const std::string& text, double width) {
    const std::size_t room = static_cast<std::size_t>(std::max(2.0, width / kCharWidth));
    std::vector<std::size_t> starts;  // of each character
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) starts.push_back(i);
    }
    if (starts.size() <= room) return text;
    return text.substr(0, starts[room - 1]) + "\xE2\x80\xA6";
}

// value without the binary noise of a multiplication (0.30000000000000004 as 0.3).
double Rounded(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.12g", value);
    return std::strtod(text, nullptr);
}

// The value at fraction p of the sorted values, taken on the inner side of
// p: a value that lies beyond p is never the edge of the range.
double Percentile(const std::vector<double>& sorted, double p) {
    const double at = p * static_cast<double>(sorted.size() - 1);
    const double index = p < 0.5 ? std::ceil(at) : std::floor(at);
    return sorted[static_cast<std::size_t>(index)];
}

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
            Track track{&curve, depth};
            const auto style = options.styles.find(curve.CurveName);
            track.logarithmic = IsResistivityUnit(curve.Measure) ||
                                (style != options.styles.end() && style->second.logarithmic);
            tracks.push_back(track);
        }
    }
    if (tracks.empty()) {
        diagnostics.Fail(0, "well " + set.WellName + " has no curve to draw");
        return false;
    }
    return true;
}

// The range a track was given: by --scale, else by the curve dictionary.
bool GivenRange(const Track& track, const PlotOptions& options, double& low, double& high) {
    for (const PlotScale& scale : options.scales) {
        if (scale.curve != track.curve->CurveName) continue;
        low = scale.low;
        high = scale.high;
        return true;
    }
    const auto style = options.styles.find(track.curve->CurveName);
    if (style == options.styles.end() || style->second.left == style->second.right) return false;
    low = std::min(style->second.left, style->second.right);
    high = std::max(style->second.left, style->second.right);
    return true;
}

// The range of values drawn: the 1st to the 99th percentile, on a
// logarithmic track widened to whole decades.
void ChooseRange(Track& track, std::vector<double>& values) {
    if (values.empty()) {
        track.low = track.logarithmic ? 1.0 : 0.0;
        track.high = track.logarithmic ? 10.0 : 1.0;
        return;
    }
    std::sort(values.begin(), values.end());
    track.low = Percentile(values, kLowPercentile);
    track.high = Percentile(values, kHighPercentile);
    if (!track.logarithmic && track.high > track.low) {
        // Out to the next round values, which read better at the track's edges.
        const double step = NiceStep(track.high - track.low);
        track.low = Rounded(std::floor(track.low / step) * step);
        track.high = Rounded(std::ceil(track.high / step) * step);
    }
    if (track.logarithmic) {
        track.low = std::pow(10.0, std::floor(std::log10(track.low)));
        track.high = std::pow(10.0, std::ceil(std::log10(track.high)));
        if (track.high <= track.low) track.high = track.low * 10.0;
    } else if (track.low == track.high) {
        track.low -= 1.0;
        track.high += 1.0;
    }
}

// The depth range drawn (the logged depths within the options' interval)
// and each track's value range.
bool MeasureTracks(std::vector<Track>& tracks, double nullValue, const PlotOptions& options,
                   PlotLayout& layout, Diagnostics& diagnostics) {
    bool anyDepth = false;
    for (Track& track : tracks) {
        std::vector<double> values;
        for (std::size_t i = 0; i < track.curve->CurveValue.size(); ++i) {
            const double depth = track.depth->CurveValue[i];
            const double value = track.curve->CurveValue[i];
            if (!IsValue(depth, nullValue) || depth < options.from || depth > options.to) continue;
            layout.shallowest = anyDepth ? std::min(layout.shallowest, depth) : depth;
            layout.deepest = anyDepth ? std::max(layout.deepest, depth) : depth;
            anyDepth = true;
            if (IsValue(value, nullValue) && track.Draws(value)) values.push_back(value);
        }
        track.given = GivenRange(track, options, track.low, track.high);
        if (track.given && track.logarithmic && track.low <= 0) {
            diagnostics.Warn(0, "the range of " + track.curve->CurveName +
                                    " starts at or below 0, which a logarithmic track cannot "
                                    "show: its values set the range");
            track.given = false;
        }
        if (!track.given) ChooseRange(track, values);
    }
    return anyDepth;
}

std::string Line(double x1, double x2, double y1, double y2, const std::string& attributes) {
    return "<line " + attributes + " x1=\"" + Px(x1) + "\" x2=\"" + Px(x2) + "\" y1=\"" + Px(y1) +
           "\" y2=\"" + Px(y2) + "\"/>\n";
}

std::string Text(double x, double y, const std::string& attributes, const std::string& text) {
    return "<text x=\"" + Px(x) + "\" y=\"" + Px(y) + "\"" + attributes + ">" + Escape(text) +
           "</text>\n";
}

void DrawDepthAxis(std::string& svg, const PlotLayout& layout, double right,
                   const std::string& unit) {
    const std::string title = unit.empty() ? "Depth" : "Depth (" + unit + ")";
    svg += "<g class=\"depth-axis\" data-unit=\"" + Escape(unit) + "\">\n";
    svg += Text(4, layout.top - 28, " font-weight=\"bold\"", Fitted(title, kAxisWidth - 2));
    const double range = layout.deepest - layout.shallowest;
    if (range > 0) {
        const double step = NiceStep(range);
        for (double n = std::ceil(layout.shallowest / step); n * step <= layout.deepest; ++n) {
            const double depth = n * step;
            const double y = layout.Y(depth);
            svg += Line(kAxisWidth - 5, right, y, y, "stroke=\"#dddddd\"");
            svg += Text(kAxisWidth - 8, y, " text-anchor=\"end\" dominant-baseline=\"middle\"",
                        FormatNumber(depth));
        }
    }
    svg += "</g>\n";
}

// The header of a track: name, unit and the values at its edges, each cut
// to the track's width so that no header reaches into the next track.
void DrawTrackHeader(std::string& svg, const Track& track, const char* colour, double left,
                     double width, const PlotLayout& layout) {
    const LogCurveRecord& curve = *track.curve;
    const double centre = left + width / 2;
    svg += Text(centre, layout.top - 46,
                " text-anchor=\"middle\" font-weight=\"bold\" fill=\"" + std::string(colour) + "\"",
                Fitted(curve.CurveName, width));
    const std::string scale = track.logarithmic ? " (log)" : "";
    svg += Text(centre, layout.top - 28, " text-anchor=\"middle\"",
                Fitted((curve.Measure.empty() ? "-" : curve.Measure) + scale, width));
    svg += Text(left + 2, layout.top - 8, "", Fitted(FormatNumber(track.low), width / 2));
    svg += Text(left + width - 2, layout.top - 8, " text-anchor=\"end\"",
                Fitted(FormatNumber(track.high), width / 2));
}

// A logarithmic track's line at each decade of its range.
void DrawDecades(std::string& svg, const Track& track, double left, double width,
                 const PlotLayout& layout) {
    const double first = std::ceil(std::log10(track.low) - 1e-9);
    for (double power = first; power <= std::log10(track.high) + 1e-9; ++power) {
        const double x = left + track.Fraction(std::pow(10.0, power)) * width;
        svg += Line(x, x, layout.top, layout.top + layout.height,
                    "class=\"decade\" data-value=\"" + FormatNumber(std::pow(10.0, power)) +
                        "\" stroke=\"#bbbbbb\"");
    }
}

void DrawTrack(std::string& svg, const Track& track, std::size_t index, double left, double width,
               double nullValue, const PlotLayout& layout) {
    const LogCurveRecord& curve = *track.curve;
    const char* colour = kColours[index % (sizeof kColours / sizeof kColours[0])];
    svg += "<g class=\"track\" data-curve=\"" + Escape(curve.CurveName) + "\" data-unit=\"" +
           Escape(curve.Measure) + "\" data-scale=\"" +
           (track.logarithmic ? "logarithmic" : "linear") + "\" data-min=\"" +
           FormatNumber(track.low) + "\" data-max=\"" + FormatNumber(track.high) + "\">\n";
    DrawTrackHeader(svg, track, colour, left, width, layout);
    svg += "<rect x=\"" + Px(left) + "\" y=\"" + Px(layout.top) + "\" width=\"" + Px(width) +
           "\" height=\"" + Px(layout.height) + "\" fill=\"none\" stroke=\"#555555\"/>\n";
    if (track.logarithmic) DrawDecades(svg, track, left, width, layout);
    // Values beyond the range are drawn at the track's edge.
    PathBuilder path;
    for (std::size_t i = 0; i < curve.CurveValue.size(); ++i) {
        const double depth = track.depth->CurveValue[i];
        const double value = curve.CurveValue[i];
        if (!IsValue(depth, nullValue) || !IsValue(value, nullValue) || !track.Draws(value) ||
            depth < layout.shallowest || depth > layout.deepest) {
            path.Break();
            continue;
        }
        const double fraction = std::clamp(track.Fraction(value), 0.0, 1.0);
        path.Add(left + fraction * width, layout.Y(depth));
    }
    svg += "<path class=\"curve\" fill=\"none\" stroke=\"" + std::string(colour) +
           "\" stroke-width=\"1\" d=\"" + path.Take() + "\"/>\n</g>\n";
}

// Room right of the tracks for the longest marker name.
double MarkerNameRoom(const MarkerSet* markers) {
    double room = 120.0;
    for (const MarkerRecord& marker : markers ? markers->Records : std::vector<MarkerRecord>()) {
        room = std::max(room, 8.0 + kCharWidth * static_cast<double>(marker.MarkerName.size()));
    }
    return std::min(room, 400.0);
}

// Markers span every track, their names right of the last one.
void DrawMarkers(std::string& svg, const MarkerSet* markers, const PlotLayout& layout, double right,
                 bool windowed, Diagnostics& diagnostics) {
    svg += "<g class=\"markers\">\n";
    for (const MarkerRecord& marker : markers ? markers->Records : std::vector<MarkerRecord>()) {
        if (marker.TopDepth < layout.shallowest || marker.TopDepth > layout.deepest) {
            if (windowed) continue;  // the user chose the depths drawn
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
        svg += Text(right + 4, layout.Y(marker.TopDepth),
                    " class=\"marker-name\" dominant-baseline=\"middle\" fill=\"#c51b7d\"",
                    Fitted(marker.MarkerName, 400.0));
    }
    svg += "</g>\n";
}

}  // namespace

bool IsResistivityUnit(const std::string& unit) {
    // Lower case, without blanks, dots, dashes and the multiplication signs.
    std::string key;
    for (std::size_t i = 0; i < unit.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(unit[i]);
        if (c == ' ' || c == '.' || c == '-' || c == '*' || c == '_') continue;
        if (unit.compare(i, 2, "\xC2\xB7") == 0) {  // middle dot
            ++i;
            continue;
        }
        key += static_cast<char>(std::tolower(c));
    }
    for (const char* ohm : {"\xE2\x84\xA6", "\xCE\xA9", "\xCF\x89"}) {  // the ohm signs
        for (std::size_t at = key.find(ohm); at != std::string::npos; at = key.find(ohm)) {
            key.replace(at, std::char_traits<char>::length(ohm), "ohm");
        }
    }
    return key == "ohmm" || key == "ohmmeter" || key == "ohmmetre" || key == "ohmmeters" ||
           key == "ohmmetres" || key == "ohmm2/m" || key == "ohm" || key == "ohms" ||
           key == "ohmsm";
}

bool RenderLogPlot(const LogCurveSet& set, const MarkerSet* markers, const PlotOptions& options,
                   std::string& svg, PlotLayout& layout, Diagnostics& diagnostics) {
    std::vector<Track> tracks;
    if (!ChooseTracks(set, options, tracks, diagnostics)) return false;
    layout.top = kHeaderHeight;
    layout.height = options.plotHeight;
    const bool windowed = options.from > -1e307 || options.to < 1e307;
    if (!MeasureTracks(tracks, set.NullValue, options, layout, diagnostics)) {
        diagnostics.Fail(
            0, "well " + set.WellName +
                   (windowed ? " has no depths to draw between " + FormatNumber(options.from) +
                                   " and " + FormatNumber(options.to)
                             : " has no depths to draw: every depth is null"));
        return false;
    }
    const double trackWidth = options.trackWidth;
    const double right = kAxisWidth + tracks.size() * (trackWidth + kTrackGap) - kTrackGap;
    const double width = right + MarkerNameRoom(markers);
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
    svg += Text(kMargin, kTitleHeight - 12,
                " class=\"title\" font-size=\"15\" font-weight=\"bold\"", "Well " + set.WellName);
    DrawDepthAxis(svg, layout, right, tracks.front().depth->Measure);
    for (std::size_t i = 0; i < tracks.size(); ++i) {
        DrawTrack(svg, tracks[i], i, kAxisWidth + i * (trackWidth + kTrackGap), trackWidth,
                  set.NullValue, layout);
    }
    DrawMarkers(svg, markers, layout, right, windowed, diagnostics);
    svg += "</svg>\n";
    return true;
}

}  // namespace strataloom::formats
