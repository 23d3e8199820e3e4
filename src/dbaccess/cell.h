// Values as they travel between the session and an engine driver.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace strataloom::db {

// The bytes of a byte-array value, held in doubles: a value array read from
// the database can then be handed to its caller's vector without a copy.
struct ByteArray {
    std::vector<double> words;
    std::size_t size = 0;

    const char* Data() const { return reinterpret_cast<const char*>(words.data()); }
    static std::shared_ptr<ByteArray> Copy(const void* data, std::size_t size);
};

// A value to store: one column of a pending row.
struct Cell {
    enum class Kind : unsigned char { Null, Integer, Real, Text, Blob };
    Kind kind = Kind::Null;
    long long integer = 0;
    double real = 0.0;
    std::string text;
    std::shared_ptr<const ByteArray> blob;

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
    static Cell Blob(std::shared_ptr<const ByteArray> v) {
        Cell c;
        c.kind = v ? Kind::Blob : Kind::Null;
        c.blob = std::move(v);
        return c;
    }
};

// One value of a result: small, so that reading many short rows costs little.
// Text lives in the result's text buffer, byte arrays in its blob list.
struct Slot {
    Cell::Kind kind = Cell::Kind::Null;
    std::uint32_t length = 0;  // text: its length in bytes
    union {
        long long integer;
        double real;
        std::size_t offset;  // text: position in the text buffer; blob: in the blob list
    };
    Slot() : integer(0) {}
};

// The whole answer of a query, read completely before the session hands out
// its first row: no statement stays open between calls.
class ResultSet {
  public:
    std::vector<std::string> columns;

    std::size_t RowCount() const { return columns.empty() ? 0 : slots_.size() / columns.size(); }
    const Slot& At(std::size_t row, std::size_t column) const {
        return slots_[row * columns.size() + column];
    }
    std::string TextOf(const Slot& slot) const { return text_.substr(slot.offset, slot.length); }
    const char* TextData(const Slot& slot) const { return text_.data() + slot.offset; }
    const std::shared_ptr<ByteArray>& BlobOf(const Slot& slot) const { return blobs_[slot.offset]; }
    // Hands the byte array of a slot over; the slot reads as NULL afterwards.
    std::shared_ptr<ByteArray> TakeBlob(std::size_t row, std::size_t column);

    void Reserve(std::size_t rows);
    void AddNull() { slots_.emplace_back(); }
    void AddInteger(long long value);
    void AddReal(double value);
    void AddText(const char* data, std::size_t size);
    void AddBlob(std::shared_ptr<ByteArray> bytes);
    void Clear();

  private:
    std::vector<Slot> slots_;  // row after row, columns.size() slots each
    std::string text_;
    std::vector<std::shared_ptr<ByteArray>> blobs_;
};

// Case-insensitive (ASCII) comparison of column names.
bool SameColumnName(const std::string& a, const char* b);
// Position of the column named name, or -1.
int FindColumn(const std::vector<std::string>& columns, const char* name);

}  // namespace strataloom::db
