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

std::shared_ptr<ByteArray> ResultSet::TakeBlob(std::size_t row, std::size_t column) {
    Slot& slot = slots_[row * columns.size() + column];
    if (slot.kind != Cell::Kind::Blob) return nullptr;
    std::shared_ptr<ByteArray> bytes = std::move(blobs_[slot.offset]);
    slot = Slot();
    return bytes;
}

void ResultSet::Reserve(std::size_t rows) {
    slots_.reserve(rows * columns.size());
}

void ResultSet::AddInteger(long long value) {
    Slot slot;
    slot.kind = Cell::Kind::Integer;
    slot.integer = value;
    slots_.push_back(slot);
}

void ResultSet::AddReal(double value) {
    Slot slot;
    slot.kind = Cell::Kind::Real;
    slot.real = value;
    slots_.push_back(slot);
}

void ResultSet::AddText(const char* data, std::size_t size) {
    Slot slot;
    slot.kind = Cell::Kind::Text;
    slot.offset = text_.size();
    slot.length = static_cast<std::uint32_t>(size);
    text_.append(data, size);
    slots_.push_back(slot);
}

void ResultSet::AddBlob(std::shared_ptr<ByteArray> bytes) {
    Slot slot;
    slot.kind = Cell::Kind::Blob;
    slot.offset = blobs_.size();
    blobs_.push_back(std::move(bytes));
    slots_.push_back(slot);
}

void ResultSet::Clear() {
    columns.clear();
    slots_.clear();
    text_.clear();
    blobs_.clear();
}

}  // namespace strataloom::db
