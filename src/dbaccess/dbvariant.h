// The variant that carries a byte-array column between the session and the
// value-array routines. It shares its bytes: passing it on never copies them.
#pragma once

#include <cstddef>
#include <memory>

#include "dbaccess/cell.h"

class DbVariant {
  public:
    DbVariant() = default;
    explicit DbVariant(std::shared_ptr<const strataloom::db::ByteArray> bytes)
        : bytes_(std::move(bytes)) {}
    static DbVariant FromBytes(const void* data, std::size_t size) {
        return DbVariant(strataloom::db::ByteArray::Copy(data, size));
    }

    bool IsEmpty() const { return !bytes_; }
    long Size() const { return bytes_ ? static_cast<long>(bytes_->size) : 0; }
    const unsigned char* Data() const {
        return bytes_ ? reinterpret_cast<const unsigned char*>(bytes_->Data()) : nullptr;
    }
    const std::shared_ptr<const strataloom::db::ByteArray>& Bytes() const { return bytes_; }
    void Clear() { bytes_.reset(); }

  private:
    std::shared_ptr<const strataloom::db::ByteArray> bytes_;
};

// Conversions between a buffer of doubles and a variant: 8 bytes per value,
// little-endian IEEE 754, bit for bit.
void DoubleArrayToVariant(const double* values, long count, DbVariant& variant);
void VariantToDoubleArray(const DbVariant& variant, long byteLength, double* values);
