#include "dbaccess/pendingrows.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace strataloom::db {

namespace {

// Rows go into blocks of about this size, so that the rows of a large save
// never need one large piece of memory, nor a copy when it grows.
constexpr std::size_t kBlock = 1 << 20;

// How a packed value says what follows it.
enum Tag : unsigned char { kNull, kInteger, kReal, kText, kSharedBlob, kKeptBlob };

template <class T>
void Put(std::string& out, T value) {
    out.append(reinterpret_cast<const char*>(&value), sizeof value);
}

template <class T>
T Get(const std::string& in, std::size_t& at) {
    T value;
    std::memcpy(&value, in.data() + at, sizeof value);
    at += sizeof value;
    return value;
}

}  // namespace

std::size_t PendingRows::ShapeOf(const std::vector<int>& columns, std::size_t count) {
    auto same = [&](const std::vector<int>& shape) {
        return shape.size() == count && std::equal(shape.begin(), shape.end(), columns.begin());
    };
    if (lastShape_ < shapes_.size() && same(shapes_[lastShape_])) return lastShape_;
    for (std::size_t s = 0; s < shapes_.size(); ++s) {
        if (same(shapes_[s])) return lastShape_ = s;
    }
    shapes_.emplace_back(columns.begin(), columns.begin() + static_cast<std::ptrdiff_t>(count));
    return lastShape_ = shapes_.size() - 1;
}

void PendingRows::Add(const std::vector<int>& columns, const std::vector<Cell>& cells,
                      std::size_t count) {
    row_.clear();
    Put<std::uint32_t>(row_, static_cast<std::uint32_t>(ShapeOf(columns, count)));
    for (std::size_t i = 0; i < count; ++i) {
        const Cell& cell = cells[i];
        switch (cell.kind) {
            case Cell::Kind::Integer:
                row_ += static_cast<char>(kInteger);
                Put(row_, cell.integer);
                break;
            case Cell::Kind::Real:
                row_ += static_cast<char>(kReal);
                Put(row_, cell.real);
                break;
            case Cell::Kind::Text:
                row_ += static_cast<char>(kText);
                Put<std::uint64_t>(row_, cell.text.size());
                row_ += cell.text;
                break;
            case Cell::Kind::Blob:
                if (cell.blob) {
                    row_ += static_cast<char>(kSharedBlob);
                    Put<std::uint64_t>(row_, blobs_.size());
                    blobs_.push_back(cell.blob);
                } else {
                    row_ += static_cast<char>(kKeptBlob);
                    Put(row_, cell.kept);
                    Put<std::uint64_t>(row_, cell.keptSize);
                }
                break;
            case Cell::Kind::Null:
                row_ += static_cast<char>(kNull);
                break;
        }
    }
    if (blocks_.empty() || blocks_.back().size() + row_.size() > blocks_.back().capacity()) {
        blocks_.emplace_back();
        blocks_.back().reserve(std::max(kBlock, row_.size()));
    }
    blocks_.back() += row_;
    ++rows_;
}

const std::vector<int>& PendingRows::Unpack(const std::string& block, std::size_t& at,
                                            std::vector<Value>& values) const {
    const std::vector<int>& columns = shapes_[Get<std::uint32_t>(block, at)];
    values.resize(columns.size());
    for (Value& value : values) {
        const auto tag = static_cast<unsigned char>(block[at++]);
        value = Value();
        switch (tag) {
            case kInteger:
                value = Value::Integer(Get<long long>(block, at));
                break;
            case kReal:
                value = Value::Real(Get<double>(block, at));
                break;
            case kText: {
                const auto size = static_cast<std::size_t>(Get<std::uint64_t>(block, at));
                value = Value::Bytes(ValueKind::Text, block.data() + at, size);
                at += size;
                break;
            }
            case kSharedBlob: {
                const auto& blob = blobs_[static_cast<std::size_t>(Get<std::uint64_t>(block, at))];
                value = Value::Bytes(ValueKind::Blob, blob->Data(), blob->size);
                break;
            }
            case kKeptBlob: {
                const char* data = Get<const char*>(block, at);
                const auto size = static_cast<std::size_t>(Get<std::uint64_t>(block, at));
                value = Value::Bytes(ValueKind::Blob, data, size);
                break;
            }
            default:
                break;
        }
    }
    return columns;
}

void PendingRows::Clear() {
    shapes_.clear();
    lastShape_ = 0;
    blocks_.clear();
    blobs_.clear();
    rows_ = 0;
}

}  // namespace strataloom::db
