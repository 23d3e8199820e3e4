// Values as they travel between the session and an engine driver.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace strataloom::db {

struct Cell {
    enum class Kind : unsigned char { Null, Integer, Real, Text, Blob };
    Kind kind = Kind::Null;
    long long integer = 0;
    double real = 0.0;
    std::string text;
    std::shared_ptr<const std::string> blob;

    static Cell Integer(long long v) {
        Cell c;
        c.kind = Kind::Integer;
        c.integer = v;
        return c;
    }
    static Cell Real(double v) {
        Cell c;
        c.kind = Kind::Real;
        c.real = v;
        return c;
    }
    static Cell Text(std::string v) {
        Cell c;
        c.kind = Kind::Text;
        c.text = std::move(v);
        return c;
    }
    static Cell Blob(std::shared_ptr<const std::string> v) {
        Cell c;
        c.kind = v ? Kind::Blob : Kind::Null;
        c.blob = std::move(v);
        return c;
    }
};

// The whole answer of a query, read completely before the session hands out
// its first row: no statement stays open between calls.
struct ResultSet {
    std::vector<std::string> columns;
    std::vector<Cell> cells;  // row after row, columns.size() cells each

    std::size_t RowCount() const { return columns.empty() ? 0 : cells.size() / columns.size(); }
    const Cell& At(std::size_t row, std::size_t column) const {
        return cells[row * columns.size() + column];
    }
    void Clear() {
        columns.clear();
        cells.clear();
    }
};

// Case-insensitive (ASCII) comparison of column names.
bool SameColumnName(const std::string& a, const char* b);
// Position of the column named name, or -1.
int FindColumn(const std::vector<std::string>& columns, const char* name);

}  // namespace strataloom::db
