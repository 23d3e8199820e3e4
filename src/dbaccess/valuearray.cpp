#include "dbaccess/valuearray.h"

#include <cstdint>
#include <cstring>

#include "dbaccess/dbvariant.h"

namespace {

constexpr bool kLittleEndianHost = __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__;

// Copies count doubles between memory and the stored little-endian form.
void CopyLittleEndian(void* to, const void* from, std::size_t count) {
    if (kLittleEndianHost) {
        std::memcpy(to, from, count * sizeof(double));
        return;
    }
    auto* out = static_cast<unsigned char*>(to);
    auto* in = static_cast<const unsigned char*>(from);
    for (std::size_t i = 0; i < count; ++i) {
        for (std::size_t b = 0; b < sizeof(double); ++b) {
            out[i * sizeof(double) + b] = in[i * sizeof(double) + sizeof(double) - 1 - b];
        }
    }
}

}  // namespace

void DoubleArrayToVariant(const double* values, long count, DbVariant& variant) {
    auto bytes = std::make_shared<strataloom::db::ByteArray>();
    if (values && count > 0) {
        if (kLittleEndianHost) {
            bytes->words.assign(values, values + count);
        } else {
            bytes->words.resize(static_cast<std::size_t>(count));
            CopyLittleEndian(bytes->words.data(), values, static_cast<std::size_t>(count));
        }
        bytes->size = static_cast<std::size_t>(count) * sizeof(double);
    }
    variant = DbVariant(std::move(bytes));
}

void VariantToDoubleArray(const DbVariant& variant, long byteLength, double* values) {
    if (!values || byteLength <= 0) return;
    unsigned long usable = static_cast<unsigned long>(byteLength);
    if (usable > static_cast<unsigned long>(variant.Size())) {
        usable = static_cast<unsigned long>(variant.Size());
    }
    CopyLittleEndian(values, variant.Data(), usable / sizeof(double));
}

namespace {

// Column: a name, or a field located once per result.
template <class Column>
int ReadArray(const Column& column, std::vector<double>& values, CDbManage& session) {
    long byteLength = 0;
    if (!session.GetActualSize(column, byteLength)) return 0;
    // Every array this module stores reads back, one or two values included;
    // only a column without a whole value (NULL, empty) leaves the vector.
    const std::size_t count = static_cast<std::size_t>(byteLength) / sizeof(double);
    if (count == 0) return 1;
    std::shared_ptr<strataloom::db::ByteArray> bytes = session.TakeHeldBytes(column);
    if (!bytes && kLittleEndianHost) {
        // Bytes the engine holds go straight into the vector: one copy, one allocation.
        std::vector<double> read(count);
        if (session.CopyBytes(column, read.data(), count * sizeof(double))) {
            values = std::move(read);
            return 1;
        }
    }
    if (!bytes) bytes = session.TakeBytes(column);
    if (!bytes) return 0;
    if (kLittleEndianHost && bytes.use_count() == 1) {
        // The session held the only reference: its doubles become the vector.
        values = std::move(bytes->words);
        values.resize(count);
        return 1;
    }
    values.resize(count);
    VariantToDoubleArray(DbVariant(bytes), static_cast<long>(count * sizeof(double)),
                         values.data());
    return 1;
}

}  // namespace

int ReadDoubleArrayField(const char* column, std::vector<double>& values, CDbManage& session) {
    return ReadArray(column, values, session);
}

int ReadDoubleArrayField(const CDbManage::Field& column, std::vector<double>& values,
                         CDbManage& session) {
    return ReadArray(column, values, session);
}

int WriteDoubleArrayFieldInPlace(const char* column, const std::vector<double>& values,
                                 CDbManage& session) {
    if (values.empty()) return 0;
    if (!kLittleEndianHost) return WriteDoubleArrayField(column, values, session);
    session.SetFieldBytesInPlace(column, values.data(), values.size() * sizeof(double));
    return 1;
}

int WriteDoubleArrayField(const char* column, const std::vector<double>& values,
                          CDbManage& session) {
    if (values.empty()) return 0;
    DbVariant variant;
    DoubleArrayToVariant(values.data(), static_cast<long>(values.size()), variant);
    session.SetFieldValue(column, variant);
    return 1;
}
