#include "dbaccess/valuearray.h"

#include <cstdint>
#include <cstring>
#include <limits>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#endif

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

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Copies count stored doubles from in to out, each equal to null as NaN.
// The plain loop is not vectorized for the baseline instruction set, and at
// one value per step it costs several times a plain copy; with four values
// per instruction (where the processor has them, else two) the copy costs
// about what a plain copy does, and the samples need no second pass.
void CopyNullsAsNaNScalar(double* out, const char* in, std::size_t count, double null) {
    for (std::size_t i = 0; i < count; ++i) {
        double value;
        CopyLittleEndian(&value, in + i * sizeof(double), 1);
        out[i] = value == null ? kNaN : value;
    }
}

#if defined(__x86_64__) && defined(__GNUC__)
#define STRATALOOM_X86_NULLS 1

__attribute__((target("avx2"))) void CopyNullsAsNaNAvx2(double* out, const char* in,
                                                        std::size_t count, double null) {
    const __m256d target = _mm256_set1_pd(null);
    const __m256d nan = _mm256_set1_pd(kNaN);
    std::size_t i = 0;
    for (; i + 8 <= count; i += 8) {
        const char* from = in + i * sizeof(double);
        const __m256d a = _mm256_loadu_pd(reinterpret_cast<const double*>(from));
        const __m256d b = _mm256_loadu_pd(reinterpret_cast<const double*>(from + 32));
        _mm256_storeu_pd(out + i, _mm256_blendv_pd(a, nan, _mm256_cmp_pd(a, target, _CMP_EQ_OQ)));
        _mm256_storeu_pd(out + i + 4,
                         _mm256_blendv_pd(b, nan, _mm256_cmp_pd(b, target, _CMP_EQ_OQ)));
    }
    CopyNullsAsNaNScalar(out + i, in + i * sizeof(double), count - i, null);
}

void CopyNullsAsNaNSse2(double* out, const char* in, std::size_t count, double null) {
    const __m128d target = _mm_set1_pd(null);
    const __m128d nan = _mm_set1_pd(kNaN);
    std::size_t i = 0;
    for (; i + 2 <= count; i += 2) {
        const __m128d value =
            _mm_loadu_pd(reinterpret_cast<const double*>(in + i * sizeof(double)));
        const __m128d isNull = _mm_cmpeq_pd(value, target);
        _mm_storeu_pd(out + i, _mm_or_pd(_mm_andnot_pd(isNull, value), _mm_and_pd(isNull, nan)));
    }
    CopyNullsAsNaNScalar(out + i, in + i * sizeof(double), count - i, null);
}
#endif

void CopyNullsAsNaN(double* out, const char* in, std::size_t count, double null) {
#if defined(STRATALOOM_X86_NULLS)
    if (kLittleEndianHost) {
        static const bool avx2 = __builtin_cpu_supports("avx2");
        if (avx2) return CopyNullsAsNaNAvx2(out, in, count, null);
        return CopyNullsAsNaNSse2(out, in, count, null);
    }
#endif
    CopyNullsAsNaNScalar(out, in, count, null);
}

// Column: a name, or a field located once per result. nullAsNaN, when
// given, is the value read as NaN.
template <class Column>
int ReadArray(const Column& column, std::vector<double>& values, CDbManage& session,
              const double* nullAsNaN = nullptr) {
    long byteLength = 0;
    if (!session.GetActualSize(column, byteLength)) return 0;
    // Every array this module stores reads back, one or two values included;
    // only a column without a whole value (NULL, empty) leaves the vector.
    const std::size_t count = static_cast<std::size_t>(byteLength) / sizeof(double);
    if (count == 0) return 1;
    std::shared_ptr<strataloom::db::ByteArray> bytes = session.TakeHeldBytes(column);
    if (!bytes) {
        // Bytes the engine holds go straight into the vector: one copy, one allocation.
        const char* data = nullptr;
        std::size_t size = 0;
        if (session.ViewBytes(column, data, size) && data && size >= count * sizeof(double)) {
            std::vector<double> read(count);
            if (nullAsNaN) {
                CopyNullsAsNaN(read.data(), data, count, *nullAsNaN);
            } else {
                CopyLittleEndian(read.data(), data, count);
            }
            values = std::move(read);
            return 1;
        }
        bytes = session.TakeBytes(column);
    }
    if (!bytes) return 0;
    if (kLittleEndianHost && bytes.use_count() == 1) {
        // The session held the only reference: its doubles become the vector.
        values = std::move(bytes->words);
        values.resize(count);
    } else {
        values.resize(count);
        VariantToDoubleArray(DbVariant(bytes), static_cast<long>(count * sizeof(double)),
                             values.data());
    }
    // The values were just decoded and are still in the cache.
    if (nullAsNaN) NullsToNaN(values, *nullAsNaN);
    return 1;
}

}  // namespace

void NullsToNaN(std::vector<double>& values, double null) {
    if (!kLittleEndianHost) {
        for (double& value : values) value = value == null ? kNaN : value;
        return;
    }
    CopyNullsAsNaN(values.data(), reinterpret_cast<const char*>(values.data()), values.size(),
                   null);
}

int ReadDoubleArrayField(const char* column, std::vector<double>& values, CDbManage& session) {
    return ReadArray(column, values, session);
}

int ReadDoubleArrayField(const CDbManage::Field& column, std::vector<double>& values,
                         CDbManage& session) {
    return ReadArray(column, values, session);
}

int ReadDoubleArrayFieldNullsAsNaN(const char* column, double null, std::vector<double>& values,
                                   CDbManage& session) {
    return ReadArray(column, values, session, &null);
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
