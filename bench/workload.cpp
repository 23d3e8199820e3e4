#include "workload.h"

#include <cmath>
#include <cstdio>

namespace bench {

namespace {

std::string Numbered(const char* prefix, int number, int width) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%s%0*d", prefix, width, number);
    return buffer;
}

// A well of curves: the depth curve DEPT first, every other curve measured
// against it.
LogCurveSet MakeCurveSet(const std::string& well, int curves, int samples, int seed) {
    LogCurveSet set;
    set.WellName = well;
    set.NullValue = -9999.25;
    set.Records.resize(static_cast<std::size_t>(curves));
    for (int c = 0; c < curves; ++c) {
        LogCurveRecord& record = set.Records[static_cast<std::size_t>(c)];
        record.CurveName = c == 0 ? "DEPT" : Numbered("C", c, 2);
        record.Measure = c == 0 ? "m" : "API";
        record.DepthCurve = 0;
        record.CurveValue.resize(static_cast<std::size_t>(samples));
        for (int i = 0; i < samples; ++i) {
            record.CurveValue[static_cast<std::size_t>(i)] =
                c == 0 ? 1000.0 + 0.125 * i : 50.0 + 40.0 * std::sin(0.01 * i + c + seed);
        }
    }
    return set;
}

MarkerSet MakeMarkerSet(int well) {
    MarkerSet set;
    set.WellName = Numbered("MW", well, 4);
    for (int m = 0; m < kMarkersPerWell; ++m) {
        MarkerRecord record;
        record.MarkerName = Numbered("M", m + 1, 2);
        record.TopDepth = 1500.0 + 25.0 * m + 0.01 * well;
        record.BottomDepth = record.TopDepth + 20.0;
        record.Description = "pick " + record.MarkerName + " of " + set.WellName;
        set.Records.push_back(std::move(record));
    }
    return set;
}

}  // namespace

Workload MakeWorkload() {
    Workload data;
    data.saveWell = MakeCurveSet("SW0001", kSaveCurves, kSaveSamples, 0);
    data.project = "BenchField";
    for (int w = 0; w < kProjectWells; ++w) {
        data.projectWells.push_back(
            MakeCurveSet(Numbered("PW", w, 3), kProjectCurves, kProjectSamples, w));
    }
    for (int w = 0; w < kMarkerWells; ++w) data.markerWells.push_back(MakeMarkerSet(w));
    return data;
}

std::string DepthCurveNameOf(const LogCurveSet& set, const LogCurveRecord& record) {
    if (record.DepthCurve < 0 || static_cast<std::size_t>(record.DepthCurve) >= set.Records.size())
        return std::string();
    return set.Records[static_cast<std::size_t>(record.DepthCurve)].CurveName;
}

NameList CurveNamesOf(const LogCurveSet& set) {
    NameList names;
    for (const LogCurveRecord& record : set.Records) names.push_back(record.CurveName);
    return names;
}

NameList WellNamesOf(const std::vector<MarkerSet>& sets) {
    NameList names;
    for (const MarkerSet& set : sets) names.push_back(set.WellName);
    return names;
}

std::string Quoted(const std::string& name) {
    std::string text = "'";
    for (char c : name) {
        if (c == '\'') text += '\'';
        text += c;
    }
    return text + "'";
}

std::string QuotedList(const NameList& names) {
    std::string list;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i) list += ',';
        list += Quoted(names[i]);
    }
    return list;
}

}  // namespace bench
