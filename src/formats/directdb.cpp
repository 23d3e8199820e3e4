#include "formats/directdb.h"

#include <algorithm>
#include <cstdio>

#include "dbaccess/sqltext.h"
#include "formats/owntables.h"
#include "formats/schemadefinition.h"

namespace strataloom::formats {

std::string Cell::Text() const {
    switch (kind) {
        case CellKind::kNull:
            return std::string();
        case CellKind::kInteger:
            return std::to_string(integer);
        case CellKind::kReal: {
            char text[40];
            std::snprintf(text, sizeof text, "%.17g", real);
            return text;
        }
        case CellKind::kText:
        case CellKind::kBytes:
            break;
    }
    return std::string(data, size);
}

std::string DescribeCell(const Cell& cell) {
    switch (cell.kind) {
        case CellKind::kNull:
            return "no value";
        case CellKind::kInteger:
            return "the whole number " + cell.Text();
        case CellKind::kReal:
            return "the number " + cell.Text();
        case CellKind::kText:
            return "the text '" + std::string(cell.data, std::min<std::size_t>(cell.size, 40)) +
                   (cell.size > 40 ? "...'" : "'");
        case CellKind::kBytes:
            return std::to_string(cell.size) + " bytes";
    }
    return "a value";
}

std::string NumberedParameters(const std::string& sql) {
    std::string out;
    int number = 0;
    for (char c : sql) {
        if (c == '?') {
            out += "$" + std::to_string(++number);
        } else {
            out += c;
        }
    }
    return out;
}

std::string JoinedColumns(const std::vector<DbColumn>& columns) {
    std::string list;
    for (const DbColumn& column : columns) {
        list += (list.empty() ? "" : ", ") + strataloom::db::QuoteIdentifier(column.name);
    }
    return list;
}

bool DirectConnection::Tables(TableColumns& tables) {
    std::vector<DbTable> found;
    if (!Tables(found)) return false;
    for (const DbTable& table : found) {
        std::set<std::string>& columns = tables[LowerName(table.name)];
        for (const DbColumn& column : table.columns) columns.insert(LowerName(column.name));
    }
    return true;
}

std::unique_ptr<DirectConnection> DirectConnection::Open(const std::string& connect, Access access,
                                                         std::string& reason) {
    if (IsServerConnection(connect)) return OpenServerDatabase(connect, access, reason);
    return OpenProjectFile(ProjectFilePath(connect), access, reason);
}

}  // namespace strataloom::formats
