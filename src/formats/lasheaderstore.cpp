#include "formats/lasheaderstore.h"

namespace strataloom::formats {

namespace {

const char kInsert[] =
    "INSERT INTO w_las_header (WellName, DepthCurveName, CurveName, Section, ItemOrder, "
    "Mnemonic, Unit, Value, Description) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)";

bool InsertItem(OwnTables& tables, const std::string& well, const std::string& depthCurve,
                const std::string& curve, const char* section, std::size_t order,
                const LasItem& item) {
    return tables.Run(kInsert, {well, depthCurve, curve, section, std::to_string(order),
                                item.mnemonic, item.unit, item.value, item.description});
}

bool InsertSection(OwnTables& tables, const std::string& well, const std::string& depthCurve,
                   const char* section, const std::vector<LasItem>& items) {
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (!InsertItem(tables, well, depthCurve, "", section, i, items[i])) return false;
    }
    return true;
}

bool DeleteCurveItem(OwnTables& tables, const std::string& well, const std::string& curve) {
    return tables.Run(
        "DELETE FROM w_las_header WHERE WellName = ? AND Section = 'C' AND "
        "CurveName = ?",
        {well, curve});
}

}  // namespace

const LasItem* RunHeader::CurveItem(const std::string& curve) const {
    for (const auto& [name, item] : curveItems) {
        if (name == curve) return &item;
    }
    return nullptr;
}

bool LoadRunHeader(OwnTables& tables, const std::string& well, const std::string& depthCurve,
                   RunHeader& header) {
    std::vector<OwnTables::Row> rows;
    if (!tables.Run("SELECT Section, CurveName, Mnemonic, Unit, Value, Description FROM "
                    "w_las_header WHERE WellName = ? AND (Section = 'C' OR DepthCurveName = ?) "
                    "ORDER BY Section, ItemOrder",
                    {well, depthCurve}, &rows)) {
        return false;
    }
    for (const OwnTables::Row& row : rows) {
        const LasItem item{row.at(2), row.at(3), row.at(4), row.at(5)};
        const std::string& section = row.at(0);
        if (section == "V") header.versionItems.push_back(item);
        if (section == "W") header.wellItems.push_back(item);
        if (section == "P") header.parameters.push_back(item);
        if (section == "O") header.otherLines.push_back(item.value);
        if (section == "C") header.curveItems.emplace_back(row.at(1), item);
    }
    return true;
}

bool SaveRunHeader(OwnTables& tables, const std::string& well, const std::string& depthCurve,
                   const RunHeader& header, bool replaceRunItems,
                   const std::vector<std::string>& gone) {
    OwnTransaction transaction(tables);
    if (!transaction.Open()) return false;
    if (replaceRunItems) {
        std::vector<LasItem> other;
        for (const std::string& line : header.otherLines) other.push_back({"", "", line, ""});
        if (!tables.Run("DELETE FROM w_las_header WHERE WellName = ? AND DepthCurveName = ? AND "
                        "Section <> 'C'",
                        {well, depthCurve}) ||
            !InsertSection(tables, well, depthCurve, "V", header.versionItems) ||
            !InsertSection(tables, well, depthCurve, "W", header.wellItems) ||
            !InsertSection(tables, well, depthCurve, "P", header.parameters) ||
            !InsertSection(tables, well, depthCurve, "O", other)) {
            return false;
        }
    }
    for (const std::string& curve : gone) {
        if (!DeleteCurveItem(tables, well, curve)) return false;
    }
    for (std::size_t i = 0; i < header.curveItems.size(); ++i) {
        const auto& [curve, item] = header.curveItems[i];
        if (!DeleteCurveItem(tables, well, curve) ||
            !InsertItem(tables, well, depthCurve, curve, "C", i, item)) {
            return false;
        }
    }
    return transaction.Commit();
}

}  // namespace strataloom::formats
