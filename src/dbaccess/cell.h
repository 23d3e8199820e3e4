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

enum class ValueKind : unsigned char { Null, Integer, Real, Text, Blob };

// A value as a driver reads or binds it: numbers by value, text and byte
// arrays as a view of memory someone else keeps while the driver uses it.
struct Value {
    ValueKind kind = ValueKind::Null;
    long long integer = 0;
    double real = 0.0;
    const char* data = nullptr;
    std::size_t size = 0;

    static Value Integer(long long v) {
        Value value;
        value.kind = ValueKind::Integer;
        value.integer = v;
        return value;
    }
    static Value Real(double v) {
        Value value;
        value.kind = ValueKind::Real;
        value.real = v;
        return value;
    }
    static Value Bytes(ValueKind kind, const char* data, std::size_t size) {
        Value value;
        value.kind = kind;
        value.data = data;
        value.size = size;
        return value;
    }
};

// A value to store: one column of the row a save is building. Text is kept
// by the cell; a byte array either by the cell (shared, never copied again)
// or, for value arrays the caller keeps until the save, where it lies.
struct Cell {
    using Kind = ValueKind;
    Kind kind = Kind::Null;
    long long integer = 0;
    double real = 0.0;
    std::string text;
    std::shared_ptr<const ByteArray> blob;
    const char* kept = nullptr;  // bytes the caller keeps, when blob is null
    std::size_t keptSize = 0;

    // The value as a driver binds it; valid while the cell lives unchanged.
    Value View() const;
    // The byte length of a text or byte-array value.
    std::size_t Size() const;
};

// The whole answer of a query, read into memory: what a reader keeps of a
// statement it had to let go of before its last row.
class ResultSet {
  public:
    std::vector<std::string> columns;

    std::size_t RowCount() const { return columns.empty() ? 0 : values_.size() / columns.size(); }
    Value At(std::size_t row, std::size_t column) const;
    // Hands the byte array of a value over; the value reads as NULL afterwards.
    std::shared_ptr<ByteArray> TakeBlob(std::size_t row, std::size_t column);

    void Add(const Value& value);
    void Clear();

  private:
    struct Slot {
        ValueKind kind = ValueKind::Null;
        long long integer = 0;
        double real = 0.0;
        std::size_t offset = 0;  // text: in text_; blob: in blobs_
        std::size_t size = 0;
    };
    std::vector<Slot> values_;  // row after row, columns.size() values each
    std::string text_;
    std::vector<std::shared_ptr<ByteArray>> blobs_;
};

// The rows a query yields, read one at a time: the session reads the current
// row's values straight from the engine, without a copy of the answer.
class Rows {
  public:
    virtual ~Rows() = default;
    Rows(const Rows&) = delete;
    Rows& operator=(const Rows&) = delete;

    const std::vector<std::string>& Columns() const { return *columns_; }
    // The same list as the driver shares it among the results of one shape.
    const std::shared_ptr<const std::vector<std::string>>& ColumnList() const { return columns_; }
    // Moves to the next row, the first on the first call. False when no row
    // is left, or when reading failed (Failed then tells).
    virtual bool Next() = 0;
    // A value of the current row; its text and bytes stay valid until Next.
    virtual Value At(std::size_t column) const = 0;
    // The bytes of a byte-array value of the current row, to keep.
    virtual std::shared_ptr<ByteArray> TakeBytes(std::size_t column);
    // The same when the rows hold the value as a byte array already (handed
    // over without a copy); null otherwise.
    virtual std::shared_ptr<ByteArray> TakeHeldBytes(std::size_t) { return nullptr; }
    // The number of rows of the whole answer, those read already included.
    virtual std::size_t Count() = 0;
    bool Failed() const { return failed_; }

  protected:
    Rows() = default;
    std::shared_ptr<const std::vector<std::string>> columns_;
    bool failed_ = false;
};

// Rows read into memory before the first is handed out.
class BufferedRows : public Rows {
  public:
    // before: how many rows of the answer were passed already; onFirstRow:
    // the first row of result is current already (the reader had reached it).
    explicit BufferedRows(ResultSet result, std::size_t before = 0, bool onFirstRow = false);
    bool Next() override;
    Value At(std::size_t column) const override;
    std::shared_ptr<ByteArray> TakeBytes(std::size_t column) override;
    std::shared_ptr<ByteArray> TakeHeldBytes(std::size_t column) override {
        return result_.TakeBlob(row_, column);
    }
    std::size_t Count() override { return before_ + result_.RowCount(); }

  private:
    ResultSet result_;
    std::size_t before_;
    std::size_t row_ = 0;
    bool started_ = false;
};

// Case-insensitive (ASCII) comparison of column names.
bool SameColumnName(const std::string& a, const char* b);
// Position of the column named name, or -1.
int FindColumn(const std::vector<std::string>& columns, const char* name);

}  // namespace strataloom::db
