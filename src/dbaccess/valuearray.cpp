#include "dbaccess/valuearray.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <iterator>
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

#if defined(__x86_64__) && defined(__GNUC__)
#define STRATALOOM_X86_NULLS 1

// Each value equal to null becomes NaN where it lies, four values per
// instruction: a block of values without null is only read, so a curve
// without nulls (most are) costs one read.
__attribute__((target("avx2"))) void NullsToNaNInPlaceAvx2(double* values, std::size_t count,
                                                           double null) {
    const __m256d target = _mm256_set1_pd(null);
    const __m256d nan = _mm256_set1_pd(kNaN);
    std::size_t i = 0;
    for (; i + 8 <= count; i += 8) {
        const __m256d a = _mm256_loadu_pd(values + i);
        const __m256d b = _mm256_loadu_pd(values + i + 4);
        const __m256d aNull = _mm256_cmp_pd(a, target, _CMP_EQ_OQ);
        const __m256d bNull = _mm256_cmp_pd(b, target, _CMP_EQ_OQ);
        if (_mm256_movemask_pd(_mm256_or_pd(aNull, bNull)) == 0) continue;
        _mm256_storeu_pd(values + i, _mm256_blendv_pd(a, nan, aNull));
        _mm256_storeu_pd(values + i + 4, _mm256_blendv_pd(b, nan, bNull));
    }
    for (; i < count; ++i) values[i] = values[i] == null ? kNaN : values[i];
}

#endif

// Reads stored little-endian doubles one after the other, each equal to
// null as NaN. A vector filled from it is written once: it is not zeroed
// first, as it would be if it were sized before the values were copied in.
class NullsAsNaNReader {
  public:
    using iterator_category = std::random_access_iterator_tag;
    using value_type = double;
    using difference_type = std::ptrdiff_t;
    using pointer = const double*;
    using reference = double;

    NullsAsNaNReader(const char* at, double null) : at_(at), null_(null) {}
    double operator*() const {
        double value;
        std::memcpy(&value, at_, sizeof value);
        return value == null_ ? kNaN : value;
    }
    double operator[](difference_type n) const { return *(*this + n); }
    NullsAsNaNReader& operator++() {
        at_ += sizeof(double);
        return *this;
    }
    NullsAsNaNReader operator++(int) {
        NullsAsNaNReader before = *this;
        ++*this;
        return before;
    }
    NullsAsNaNReader& operator--() {
        at_ -= sizeof(double);
        return *this;
    }
    NullsAsNaNReader& operator+=(difference_type n) {
        at_ += n * static_cast<difference_type>(sizeof(double));
        return *this;
    }
    NullsAsNaNReader& operator-=(difference_type n) { return *this += -n; }
    NullsAsNaNReader operator+(difference_type n) const { return NullsAsNaNReader(*this) += n; }
    NullsAsNaNReader operator-(difference_type n) const { return NullsAsNaNReader(*this) -= n; }
    difference_type operator-(const NullsAsNaNReader& other) const {
        return (at_ - other.at_) / static_cast<difference_type>(sizeof(double));
    }
    bool operator==(const NullsAsNaNReader& other) const { return at_ == other.at_; }
    bool operator!=(const NullsAsNaNReader& other) const { return at_ != other.at_; }
    bool operator<(const NullsAsNaNReader& other) const { return at_ < other.at_; }

  private:
    const char* at_;
    double null_;
};

#if defined(STRATALOOM_X86_NULLS)
// The vector's fill, inlined whole and compiled for four values per
// instruction: the plain loop is not vectorized for the baseline
// instruction set, and then costs more than the copy it replaces.
__attribute__((target("avx2"), flatten)) void AssignNullsAsNaNAvx2(std::vector<double>& values,
                                                                   const char* data,
                                                                   std::size_t count, double null) {
    const NullsAsNaNReader first(data, null);
    values.assign(first, first + static_cast<std::ptrdiff_t>(count));
}
#endif

// The count doubles stored at data, each equal to *nullAsNaN (when given)
// as NaN, written into the vector once. Stored doubles that are not
// aligned are read through the reader too, with NaN as null: NaN equals
// nothing, so every value reads as stored.
std::vector<double> DecodeDoubles(const char* data, std::size_t count, const double* nullAsNaN) {
    std::vector<double> values;
    const bool aligned = reinterpret_cast<std::uintptr_t>(data) % alignof(double) == 0;
    if (kLittleEndianHost && !nullAsNaN && aligned) {
        const auto* stored = reinterpret_cast<const double*>(data);
        values.assign(stored, stored + count);
    } else if (kLittleEndianHost) {
#if defined(STRATALOOM_X86_NULLS)
        static const bool avx2 = __builtin_cpu_supports("avx2");
        if (avx2) {
            AssignNullsAsNaNAvx2(values, data, count, nullAsNaN ? *nullAsNaN : kNaN);
            return values;
        }
#endif
        const NullsAsNaNReader first(data, nullAsNaN ? *nullAsNaN : kNaN);
        values.assign(first, first + static_cast<std::ptrdiff_t>(count));
    } else {
        values.resize(count);
        CopyLittleEndian(values.data(), data, count);
        if (nullAsNaN) NullsToNaN(values, *nullAsNaN);
    }
    return values;
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
        // Bytes the engine holds go straight into the vector: one allocation.
        const char* data = nullptr;
        std::size_t size = 0;
        if (session.ViewBytes(column, data, size) && data && size >= count * sizeof(double)) {
            values = DecodeDoubles(data, count, nullAsNaN);
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
#if defined(STRATALOOM_X86_NULLS)
    static const bool avx2 = __builtin_cpu_supports("avx2");
    if (avx2) return NullsToNaNInPlaceAvx2(values.data(), values.size(), null);
#endif
    for (double& value : values) value = value == null ? kNaN : value;
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
