#include "dbaccess/cell.h"

#include <cstring>

namespace strataloom::db {

std::shared_ptr<ByteArray> ByteArray::Copy(const void* data, std::size_t size) {
    auto bytes = std::make_shared<ByteArray>();
    bytes->words.resize((size + sizeof(double) - 1) / sizeof(double));
    if (size > 0) std::memcpy(bytes->words.data(), data, size);
    bytes->size = size;
    return bytes;
}

Value Cell::View() const {
    switch (kind) {
        case Kind::Integer:
            return Value::Integer(integer);
        case Kind::Real:
            return Value::Real(real);
        case Kind::Text:
            return Value::Bytes(Kind::Text, text.data(), text.size());
        case Kind::Blob:
            if (blob) return Value::Bytes(Kind::Blob, blob->Data(), blob->size);
            return Value::Bytes(Kind::Blob, kept, keptSize);
        case Kind::Null:
            break;
    }
    return Value();
}

std::size_t Cell::Size() const {
    if (kind == Kind::Text) return text.size();
    if (kind == Kind::Blob) return blob ? blob->size : keptSize;
    return 0;
}

Value ResultSet::At(std::size_t row, std::size_t column) const {
    const Slot& slot = values_[row * columns.size() + column];
    switch (slot.kind) {
        case ValueKind::Integer:
            return Value::Integer(slot.integer);
        case ValueKind::Real:
            return Value::Real(slot.real);
        case ValueKind::Text:
            return Value::Bytes(ValueKind::Text, text_.data() + slot.offset, slot.size);
        case ValueKind::Blob: {
            const auto& bytes = blobs_[slot.offset];
            return Value::Bytes(ValueKind::Blob, bytes->Data(), bytes->size);
        }
        case ValueKind::Null:
            break;
    }
    return Value();
}

std::shared_ptr<ByteArray> ResultSet::TakeBlob(std::size_t row, std::size_t column) {
    Slot& slot = values_[row * columns.size() + column];
    if (slot.kind != ValueKind::Blob) return nullptr;
    std::shared_ptr<ByteArray> bytes = std::move(blobs_[slot.offset]);
    slot = Slot();
    return bytes;
}

void ResultSet::Add(const Value& value) {
    Slot slot;
    slot.kind = value.kind;
    slot.integer = value.integer;
    slot.real = value.real;
    slot.size = value.size;
    if (value.kind == ValueKind::Text) {
        slot.offset = text_.size();
        text_.append(value.data, value.size);
    } else if (value.kind == ValueKind::Blob) {
        slot.offset = blobs_.size();
        blobs_.push_back(ByteArray::Copy(value.data, value.size));
    }
    values_.push_back(slot);
}

void ResultSet::Clear() {
    columns.clear();
    values_.clear();
    text_.clear();
    blobs_.clear();
}

std::shared_ptr<ByteArray> Rows::TakeBytes(std::size_t column) {
    const Value value = At(column);
    if (value.kind == ValueKind::Null) return nullptr;
    if (value.kind == ValueKind::Integer || value.kind == ValueKind::Real) return nullptr;
    return ByteArray::Copy(value.data, value.size);
}

BufferedRows::BufferedRows(ResultSet result, std::size_t before, bool onFirstRow)
    : result_(std::move(result)), before_(before), started_(onFirstRow) {
    columns_ = std::make_shared<const std::vector<std::string>>(result_.columns);
}

bool BufferedRows::Next() {
    if (!started_) {
        started_ = true;
    } else if (row_ < result_.RowCount()) {
        ++row_;
    }
    return row_ < result_.RowCount();
}

Value BufferedRows::At(std::size_t column) const {
    return result_.At(row_, column);
}

std::shared_ptr<ByteArray> BufferedRows::TakeBytes(std::size_t column) {
    if (auto bytes = result_.TakeBlob(row_, column)) return bytes;
    return Rows::TakeBytes(column);
}

}  // namespace strataloom::db
