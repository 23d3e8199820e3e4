#include "formats/lasmapping.h"

#include <filesystem>
#include <initializer_list>

#include "formats/text.h"

namespace strataloom::formats {

namespace {

constexpr double kNoValue = -99999.0;  // a well header's "no value"

// The first item named by any of the mnemonics that holds a number other
// than the file's null value, looked for in ~W, then in ~P.
bool FindNumber(const LasFile& las, std::initializer_list<const char*> mnemonics, double& value) {
    for (const std::vector<LasItem>* items : {&las.wellItems, &las.parameters}) {
        for (const char* mnemonic : mnemonics) {
            for (const LasItem& item : *items) {
                double number = 0.0;
                if (EqualsNoCase(item.mnemonic, mnemonic) && ParseNumber(item.value, number) &&
                    number != las.nullValue) {
                    value = number;
                    return true;
                }
            }
        }
    }
    return false;
}

LasItem Item(const char* mnemonic, double value, const char* description) {
    LasItem item;
    item.mnemonic = mnemonic;
    item.value = FormatNumber(value);
    item.description = description;
    return item;
}

}  // namespace

std::string LasWellName(const LasFile& las, const std::string& path, Diagnostics& diagnostics) {
    for (const char* mnemonic : {"WELL", "UWI"}) {
        const LasItem* item = las.WellItem(mnemonic);
        if (item && !item->value.empty()) return item->value;
    }
    const std::string name = AsUtf8(std::filesystem::path(path).stem().string());
    diagnostics.Warn(0, "no WELL in ~W: the well is named after the file, " + name);
    return name;
}

LogCurveSet LasToCurves(LasFile& las, const std::string& well) {
    LogCurveSet set;
    set.WellName = well;
    set.NullValue = las.nullValue;
    set.Records.reserve(las.curves.size());
    for (LasCurve& curve : las.curves) {
        LogCurveRecord record;
        record.CurveName = curve.header.mnemonic;
        record.Measure = curve.header.unit;
        record.DepthCurve = 0;
        record.CurveValue = std::move(curve.values);
        set.Records.push_back(std::move(record));
    }
    return set;
}

BasicWellRecord LasToWellHeader(const LasFile& las, const std::string& well) {
    BasicWellRecord header;
    header.WellName = well;
    FindNumber(las, {"X", "XCOOR", "XCOORD", "X_COORD", "XWELL", "EASTING"}, header.Well_EW);
    FindNumber(las, {"Y", "YCOOR", "YCOORD", "Y_COORD", "YWELL", "NORTHING"}, header.Well_SN);
    double datum = 0.0;
    FindNumber(las, {"EPD"}, datum);
    if (FindNumber(las, {"EKB", "KB"}, header.Kb)) header.Kb += datum;
    if (FindNumber(las, {"EGL", "GL"}, header.Ekb)) header.Ekb += datum;
    FindNumber(las, {"TD", "TDD"}, header.WellDepth);
    return header;
}

std::size_t MainDepthCurve(const LogCurveSet& set) {
    std::vector<std::size_t> users(set.Records.size(), 0);
    for (const LogCurveRecord& record : set.Records) {
        if (record.DepthCurve >= 0 && static_cast<std::size_t>(record.DepthCurve) < users.size()) {
            ++users[static_cast<std::size_t>(record.DepthCurve)];
        }
    }
    std::size_t best = set.Records.size();
    for (std::size_t i = 0; i < set.Records.size(); ++i) {
        const bool isDepth = set.Records[i].DepthCurve == static_cast<int>(i);
        if (isDepth && (best == set.Records.size() || users[i] > users[best])) best = i;
    }
    return best;
}

LasFile CurvesToLas(const LogCurveSet& set, std::size_t depth, const BasicWellRecord* header,
                    Diagnostics& diagnostics) {
    LasFile las;
    las.nullValue = set.NullValue;
    LasItem well;
    well.mnemonic = "WELL";
    well.value = set.WellName;
    well.description = "WELL";
    las.wellItems.push_back(well);
    if (header) {
        if (header->Well_EW != kNoValue) las.wellItems.push_back(Item("X", header->Well_EW, "X"));
        if (header->Well_SN != kNoValue) las.wellItems.push_back(Item("Y", header->Well_SN, "Y"));
        if (header->Kb != 0.0) las.wellItems.push_back(Item("EKB", header->Kb, "KELLY BUSHING"));
        if (header->Ekb != 0.0) las.wellItems.push_back(Item("EGL", header->Ekb, "GROUND LEVEL"));
        if (header->WellDepth != kNoValue) {
            las.wellItems.push_back(Item("TD", header->WellDepth, "TOTAL DEPTH"));
        }
    }
    const LogCurveRecord& index = set.Records.at(depth);
    const std::size_t rows = index.CurveValue.size();
    auto add = [&](const LogCurveRecord& record) {
        LasCurve curve;
        curve.header.mnemonic = record.CurveName;
        curve.header.unit = record.Measure;
        curve.values = record.CurveValue;
        las.curves.push_back(std::move(curve));
    };
    add(index);
    for (std::size_t i = 0; i < set.Records.size(); ++i) {
        const LogCurveRecord& record = set.Records[i];
        if (i == depth || record.DepthCurve != static_cast<int>(depth)) continue;
        if (record.CurveValue.size() != rows) {
            diagnostics.Warn(0, "curve " + record.CurveName + " has " +
                                    std::to_string(record.CurveValue.size()) +
                                    " samples, its depth curve " + index.CurveName + " " +
                                    std::to_string(rows) + ": left out");
            continue;
        }
        add(record);
    }
    return las;
}

}  // namespace strataloom::formats
