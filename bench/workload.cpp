#include "workload.h"

#include <cmath>
#include <cstdio>

namespace bench {

std::string Numbered(const char* prefix, int number, int width) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%s%0*d", prefix, width, number);
    return buffer;
}

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

namespace {

MarkerSet MakeMarkerSet(const std::string& prefix, int well, int markers) {
    MarkerSet set;
    set.WellName = Numbered(prefix.c_str(), well, 4);
    for (int m = 0; m < markers; ++m) {
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
    data.markerWells = MakeMarkerWells("MW", kMarkerWells, kMarkersPerWell);
    return data;
}

std::vector<MarkerSet> MakeMarkerWells(const std::string& prefix, int count, int markers) {
    std::vector<MarkerSet> sets;
    sets.reserve(static_cast<std::size_t>(count));
    for (int w = 0; w < count; ++w) sets.push_back(MakeMarkerSet(prefix, w, markers));
    return sets;
}

std::vector<BasicWellRecord> MakeWellHeaders(const std::string& prefix, int count) {
    std::vector<BasicWellRecord> wells(static_cast<std::size_t>(count));
    for (int w = 0; w < count; ++w) {
        BasicWellRecord& well = wells[static_cast<std::size_t>(w)];
        well.WellName = Numbered(prefix.c_str(), w, 5);
        well.WellType = w % 3 ? "oil" : "gas";
        well.Well_EW = 20500000.0 + 37.5 * w;
        well.Well_SN = 4400000.0 + 12.25 * w;
        well.WellFlag = w % 2 ? '1' : '0';
        well.WellSymbol = w % 7;
        well.Kb = 10.0 + 0.01 * w;
        well.Ekb = 8.0 + 0.01 * w;
        well.WellDepth = 2500.0 + w % 1000;
    }
    return wells;
}

std::vector<CurveDictionaryRecord> MakeDictionary(const std::string& prefix, int count) {
    std::vector<CurveDictionaryRecord> entries(static_cast<std::size_t>(count));
    for (int e = 0; e < count; ++e) {
        CurveDictionaryRecord& entry = entries[static_cast<std::size_t>(e)];
        entry.CurveName = Numbered(prefix.c_str(), e, 5);
        entry.DisplayName = "Curve " + entry.CurveName;
        entry.CurveUnit = e % 2 ? "API" : "ohm.m";
        entry.LeftValue = 0.5 * e;
        entry.RightValue = 150.0 + 0.25 * e;
        entry.CurveType = e % 4;
        entry.Color = 0x102030 + e;
        entry.CurveWidth = 1.5;
        entry.CoorType = e % 2;
    }
    return entries;
}

std::string DictionaryInsert(const std::vector<CurveDictionaryRecord>& entries) {
    std::string sql =
        "insert into w_curve_dictionary (CurveName, DisplayName, CurveUnit, LeftValue, "
        "RightValue, CurveType, Color, CurveWidth, CoorType) values ";
    char numbers[160];
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const CurveDictionaryRecord& e = entries[i];
        std::snprintf(numbers, sizeof numbers, ",%.17g,%.17g,%d,%d,%.17g,%d)", e.LeftValue,
                      e.RightValue, e.CurveType, e.Color, e.CurveWidth, e.CoorType);
        if (i) sql += ",";
        sql += "(" + Quoted(e.CurveName) + "," + Quoted(e.DisplayName) + "," + Quoted(e.CurveUnit) +
               numbers;
    }
    return sql;
}

double DataBytes(const std::vector<MarkerSet>& sets) {
    double bytes = 0.0;
    for (const MarkerSet& set : sets) {
        for (const MarkerRecord& record : set.Records) {
            bytes += set.WellName.size() + record.MarkerName.size() + record.Description.size() +
                     2 * sizeof(double);
        }
    }
    return bytes;
}

double DataBytes(const std::vector<LogCurveSet>& sets) {
    double bytes = 0.0;
    for (const LogCurveSet& set : sets) {
        for (const LogCurveRecord& record : set.Records) {
            bytes += set.WellName.size() + record.CurveName.size() + record.Measure.size() +
                     sizeof(double) * (1 + record.CurveValue.size());
        }
    }
    return bytes;
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
