#include "datadefine/columns.h"

namespace strataloom {

namespace {

// The registry's head is constant-initialised, so tables registered by any
// unit's static initialisation, in any order, all find it ready.
const MappedTable* g_firstMapped = nullptr;

}  // namespace

const char* SchemaType(ColumnKind kind) {
    switch (kind) {
        case ColumnKind::Text:
        case ColumnKind::Char:
            return "TEXT";
        case ColumnKind::Int32:
            return "INTEGER";
        case ColumnKind::Double:
        case ColumnKind::Float:
            return "REAL";
        case ColumnKind::ValueArray:
        case ColumnKind::Bytes:
            return "BLOB";
    }
    return "";
}

MappedTable::MappedTable(const char* table, Shapes shapes)
    : table_(table), shapes_(shapes), next_(g_firstMapped) {
    g_firstMapped = this;
}

const MappedTable* MappedTable::First() {
    return g_firstMapped;
}

}  // namespace strataloom
