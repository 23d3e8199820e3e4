#include "formats/depthunit.h"

#include <cmath>

#include "formats/text.h"

namespace strataloom::formats {

namespace {

constexpr double kMetresPerFoot = 0.3048;  // the international foot

}  // namespace

const char* DepthUnitName(DepthUnit unit) {
    return unit == DepthUnit::kFoot ? "ft" : "m";
}

const char* DepthUnitMnemonic(DepthUnit unit) {
    return unit == DepthUnit::kFoot ? "FT" : "M";
}

bool ParseDepthUnit(std::string_view text, DepthUnit& unit) {
    const std::string upper = Upper(Trim(text));
    for (const char* name : {"M", "METER", "METERS", "METRE", "METRES", "MTR"}) {
        if (upper == name) {
            unit = DepthUnit::kMetre;
            return true;
        }
    }
    for (const char* name : {"F", "FT", "FEET", "FOOT", "FT.", "'"}) {
        if (upper == name) {
            unit = DepthUnit::kFoot;
            return true;
        }
    }
    return false;
}

double ConvertDepth(double depth, DepthUnit from, DepthUnit to) {
    if (from == to || !std::isfinite(depth)) return depth;
    const double converted =
        to == DepthUnit::kMetre ? depth * kMetresPerFoot : depth / kMetresPerFoot;
    return std::round(converted * 1e6) / 1e6;
}

bool LoadProjectDepthUnit(OwnTables& tables, const std::string& project, DepthUnit& unit) {
    std::vector<OwnTables::Row> rows;
    if (!tables.Run("SELECT DepthUnit FROM b_project_unit WHERE ProjectName = ?", {project},
                    &rows)) {
        return false;
    }
    unit = DepthUnit::kMetre;
    return rows.empty() || ParseDepthUnit(rows.front().at(0), unit);
}

bool SaveProjectDepthUnit(OwnTables& tables, const std::string& project, DepthUnit unit) {
    OwnTransaction transaction(tables);
    return transaction.Open() &&
           tables.Run("DELETE FROM b_project_unit WHERE ProjectName = ?", {project}) &&
           tables.Run("INSERT INTO b_project_unit (ProjectName, DepthUnit) VALUES (?, ?)",
                      {project, DepthUnitName(unit)}) &&
           transaction.Commit();
}

bool WellDepthUnit(OwnTables& tables, IBasicWellData& wells, const std::string& well,
                   DepthUnit& unit) {
    std::vector<OwnTables::Row> rows;
    if (!tables.Run("SELECT ProjectName, DepthUnit FROM b_project_unit", {}, &rows)) return false;
    for (const OwnTables::Row& row : rows) {
        if (wells.IsWellExist(row.at(0).c_str(), well.c_str()) == 1) {
            return ParseDepthUnit(row.at(1), unit);
        }
    }
    return false;
}

}  // namespace strataloom::formats
