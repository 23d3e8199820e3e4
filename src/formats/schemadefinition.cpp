#include "formats/schemadefinition.h"

#include <algorithm>
#include <sstream>

namespace strataloom::formats {

extern const char kSchemaDefinitionText[];

const char* SchemaDefinitionText() {
    return kSchemaDefinitionText;
}

std::string LowerName(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

bool DefinedTable::Has(const std::string& column) const {
    const std::string wanted = LowerName(column);
    return std::any_of(columns.begin(), columns.end(), [&](const DefinedColumn& defined) {
        return LowerName(defined.name) == wanted;
    });
}

bool DefinedTable::IsWellBoreTable() const {
    return !columns.empty() && LowerName(columns[0].name) == "wellname" &&
           LowerName(name) != kWellHeaderTable;
}

std::vector<DefinedTable> ParseTableDefinitions(const std::string& text) {
    static const std::string kHead = "CREATE TABLE ";
    std::vector<DefinedTable> tables;
    bool inTable = false;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind(kHead, 0) == 0) {
            const std::size_t end = line.find_first_of(" (", kHead.size());
            tables.push_back({line.substr(kHead.size(), end - kHead.size()), {}});
            inTable = true;
        } else if (line.rfind(")", 0) == 0) {
            inTable = false;
        } else if (inTable && line.rfind("  ", 0) == 0) {
            std::istringstream words(line);
            DefinedColumn column;
            words >> column.name >> column.type;
            while (!column.type.empty() && column.type.back() == ',') column.type.pop_back();
            if (!column.name.empty()) tables.back().columns.push_back(column);
        }
    }
    return tables;
}

const std::vector<DefinedTable>& DefinedTables() {
    static const std::vector<DefinedTable> tables = ParseTableDefinitions(SchemaDefinitionText());
    return tables;
}

}  // namespace strataloom::formats
