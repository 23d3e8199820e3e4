#include "formats/lasmapping.h"

#include <filesystem>
#include <initializer_list>

#include "formats/text.h"

namespace strataloom::formats {

namespace {

constexpr double kNoValue = -99999.0;  // a well header's "no value"

// The first item named by any of the mnemonics, in that order, that holds a
// number other than the file's null value: looked for in ~W, then in ~P.
const LasItem* FindNumber(const LasFile& las, std::initializer_list<const char*> mnemonics,
                          double& value) {
    for (const std::vector<LasItem>* items : {&las.wellItems, &las.parameters}) {
        for (const char* mnemonic : mnemonics) {
            for (const LasItem& item : *items) {
                double number = 0.0;
                if (EqualsNoCase(item.mnemonic, mnemonic) && ParseNumber(item.value, number) &&
                    number != las.nullValue) {
                    value = number;
                    return &item;
                }
            }
        }
    }
    return nullptr;
}

// A depth or elevation of the header, converted into the project's unit.
bool FindDepth(const LasFile& las, std::initializer_list<const char*> mnemonics,
               const DepthConversion& depths, double& value) {
    double found = 0.0;
    const LasItem* item = FindNumber(las, mnemonics, found);
    if (item) value = depths(found, item->unit);
    return item != nullptr;
}

const LasItem* FindText(const LasFile& las, const char* mnemonic) {
    const LasItem* item = las.WellItem(mnemonic);
    return item ? item : las.Parameter(mnemonic);
}

LasItem Item(const char* mnemonic, const char* unit, double value, const char* description) {
    return LasItem{mnemonic, unit, FormatNumber(value), description};
}

bool HasItem(const std::vector<LasItem>& items, const char* mnemonic) {
    for (const LasItem& item : items) {
        if (EqualsNoCase(item.mnemonic, mnemonic)) return true;
    }
    return false;
}

// The well header's values that the kept items do not already give.
void AddHeaderItems(const BasicWellRecord& header, DepthUnit unit, std::vector<LasItem>& items) {
    const char* depthUnit = DepthUnitMnemonic(unit);
    auto add = [&](const char* mnemonic, const char* itemUnit, double value,
                   const char* description, std::initializer_list<const char*> alike) {
        for (const char* other : alike) {
            if (HasItem(items, other)) return;
        }
        items.push_back(Item(mnemonic, itemUnit, value, description));
    };
    if (header.Well_EW != kNoValue) {
        add("X", "", header.Well_EW, "X", {"X", "XCOOR", "XCOORD", "X_COORD", "XWELL", "EASTING"});
    }
    if (header.Well_SN != kNoValue) {
        add("Y", "", header.Well_SN, "Y", {"Y", "YCOOR", "YCOORD", "Y_COORD", "YWELL", "NORTHING"});
    }
    // 0 is how wells imported before elevations could be missing said "none".
    if (header.Kb != kNoValue && header.Kb != 0.0) {
        add("EREF", depthUnit, header.Kb, "ELEVATION OF DEPTH REFERENCE",
            {"EKB", "EDF", "EREF", "KB", "DF"});
    }
    if (header.Ekb != kNoValue && header.Ekb != 0.0) {
        add("EGL", depthUnit, header.Ekb, "GROUND LEVEL ELEVATION", {"EGL", "GL"});
    }
    if (header.WellDepth != kNoValue) {
        add("TD", depthUnit, header.WellDepth, "TOTAL DEPTH", {"TD", "TDD", "TDL"});
    }
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

bool LasDepthUnit(const LasFile& las, DepthUnit& unit) {
    if (!las.curves.empty() && ParseDepthUnit(las.curves.front().header.unit, unit)) return true;
    const LasItem* start = las.WellItem("STRT");
    return start && ParseDepthUnit(start->unit, unit);
}

double DepthConversion::operator()(double depth, std::string_view unit) const {
    DepthUnit from = file;
    if (ParseDepthUnit(unit, from)) return ConvertDepth(depth, from, project);
    return fileUnitKnown ? ConvertDepth(depth, file, project) : depth;
}

LogCurveSet LasToCurves(LasFile& las, const std::string& well, const DepthConversion& depths) {
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
    if (depths.Converts() && !set.Records.empty()) {
        LogCurveRecord& index = set.Records.front();
        for (double& depth : index.CurveValue) {
            if (depth != las.nullValue) depth = ConvertDepth(depth, depths.file, depths.project);
        }
        index.Measure = DepthUnitMnemonic(depths.project);
    }
    return set;
}

BasicWellRecord LasToWellHeader(const LasFile& las, const std::string& well,
                                const DepthConversion& depths) {
    BasicWellRecord header;
    header.WellName = well;
    header.Kb = kNoValue;
    header.Ekb = kNoValue;
    FindNumber(las, {"X", "XCOOR", "XCOORD", "X_COORD", "XWELL", "EASTING"}, header.Well_EW);
    FindNumber(las, {"Y", "YCOOR", "YCOORD", "Y_COORD", "YWELL", "NORTHING"}, header.Well_SN);
    double datum = 0.0;
    const bool hasDatum = FindDepth(las, {"EPD"}, depths, datum);
    if (!FindDepth(las, {"EKB", "EDF", "EREF", "KB", "DF"}, depths, header.Kb)) {
        double above = 0.0;
        if (hasDatum && FindDepth(las, {"APD"}, depths, above)) header.Kb = datum + above;
    }
    if (!FindDepth(las, {"EGL", "GL"}, depths, header.Ekb)) {
        const LasItem* permanent = FindText(las, "PDAT");
        if (hasDatum && permanent && EqualsNoCase(Trim(permanent->value), "GL")) {
            header.Ekb = datum;
        }
    }
    FindDepth(las, {"TD", "TDD", "TDL"}, depths, header.WellDepth);
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
                    const RunHeader* run, const LasExportUnits& units, Diagnostics& diagnostics) {
    LasFile las;
    las.nullValue = set.NullValue;
    if (run) {
        las.versionItems = run->versionItems;
        las.wellItems = run->wellItems;
        las.parameters = run->parameters;
        for (const std::string& line : run->otherLines) {
            las.other += (las.other.empty() ? "" : "\n") + line;
        }
    }
    if (!HasItem(las.wellItems, "WELL")) {
        las.wellItems.insert(las.wellItems.begin(), LasItem{"WELL", "", set.WellName, "WELL"});
    }
    if (header) AddHeaderItems(*header, units.stored, las.wellItems);
    const LogCurveRecord& index = set.Records.at(depth);
    const std::size_t rows = index.CurveValue.size();
    auto add = [&](const LogCurveRecord& record) {
        // The item the file came with (its mnemonic GR for a curve kept
        // apart as GR:1, its API code and description), else the stored names.
        const LasItem* kept = run ? run->CurveItem(record.CurveName) : nullptr;
        LasCurve curve;
        curve.header = kept ? *kept : LasItem{record.CurveName, record.Measure, "", ""};
        curve.header.line = 0;
        curve.values = record.CurveValue;
        las.curves.push_back(std::move(curve));
    };
    add(index);
    LasCurve& depths = las.curves.front();
    if (units.stored != units.written) {
        for (double& value : depths.values) {
            if (value != set.NullValue) value = ConvertDepth(value, units.stored, units.written);
        }
    }
    // The depth unit as the file wrote it when it is the one written (F or
    // FT), else the unit's usual mnemonic; a unit that is no depth unit (a
    // time index) stays.
    DepthUnit unit;
    const bool depthUnit = ParseDepthUnit(depths.header.unit, unit) ||
                           ParseDepthUnit(index.Measure, unit) || units.stored != units.written;
    if (depthUnit && !(ParseDepthUnit(depths.header.unit, unit) && unit == units.written)) {
        depths.header.unit = DepthUnitMnemonic(units.written);
    }
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
