#include "dbaccess/valuearray.h"

#include <cstdint>
#include <cstring>

#include "dbaccess/cdbmanage.h"
#include "dbaccess/dbvariant.h"

namespace {

constexpr bool kLittleEndianHost = __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__;
constexpr long kShortestArrayBytes = 16;

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
    if (!values || count <= 0) {
        variant = DbVariant(std::make_shared<const std::string>());
        return;
    }
    const std::size_t size = static_cast<std::size_t>(count) * sizeof(double);
    std::string bytes;
    if (kLittleEndianHost) {
        bytes.assign(reinterpret_cast<const char*>(values), size);
    } else {
        bytes.assign(size, '\0');
        CopyLittleEndian(bytes.data(), values, static_cast<std::size_t>(count));
    }
    variant = DbVariant(std::make_shared<const std::string>(std::move(bytes)));
}

void VariantToDoubleArray(const DbVariant& variant, long byteLength, double* values) {
    if (!values || byteLength <= 0) return;
    unsigned long usable = static_cast<unsigned long>(byteLength);
    if (usable > static_cast<unsigned long>(variant.Size())) {
        usable = static_cast<unsigned long>(variant.Size());
    }
    CopyLittleEndian(values, variant.Data(), usable / sizeof(double));
}

int ReadDoubleArrayField(const char* column, std::vector<double>& values, CDbManage& session) {
    long byteLength = 0;
    if (!session.GetActualSize(column, byteLength)) return 0;
    if (byteLength <= kShortestArrayBytes) return 1;
    DbVariant variant;
    if (!session.GetFieldValue(column, variant)) return 0;
    const unsigned long count = static_cast<unsigned long>(byteLength) / sizeof(double);
    // The vector itself is the buffer: count values are copied once, no more.
    values.resize(count);
    VariantToDoubleArray(variant, static_cast<long>(count * sizeof(double)), values.data());
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
