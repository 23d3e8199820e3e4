#include "formats/copysides.h"

#include <cmath>
#include <cstring>
#include <limits>

namespace strataloom::formats {

// ---- checksums ----------------------------------------------------------

namespace {

constexpr std::uint64_t kPrime1 = 0x9E3779B97F4A7C15ULL;
constexpr std::uint64_t kPrime2 = 0xC2B2AE3D27D4EB4FULL;
constexpr std::uint64_t kPrime3 = 0x165667B19E3779F9ULL;

std::uint64_t RotateLeft(std::uint64_t value, int bits) {
    return (value << bits) | (value >> (64 - bits));
}

std::uint64_t Avalanche(std::uint64_t value) {
    value ^= value >> 33;
    value *= 0xFF51AFD7ED558CCDULL;
    value ^= value >> 33;
    value *= 0xC4CEB9FE1A85EC53ULL;
    value ^= value >> 33;
    return value;
}

// Eight bytes a step: fast enough to check hundreds of megabytes of curves.
std::uint64_t HashBytes(const char* data, std::size_t size, std::uint64_t seed) {
    std::uint64_t hash = seed ^ (static_cast<std::uint64_t>(size) * kPrime1);
    std::size_t at = 0;
    for (; at + 8 <= size; at += 8) {
        std::uint64_t word;
        std::memcpy(&word, data + at, 8);
        hash = RotateLeft(hash ^ (word * kPrime2), 31) * kPrime1;
    }
    std::uint64_t tail = 0;
    std::memcpy(&tail, data + at, size - at);
    hash ^= (tail + (size - at)) * kPrime3;
    return Avalanche(hash);
}

// A value's own checksum, kind included, so that text "1" is not the number 1.
std::uint64_t CellChecksum(const Cell& cell) {
    const auto seed = static_cast<std::uint64_t>(cell.kind) + 1;
    switch (cell.kind) {
        case CellKind::kNull:
            return Avalanche(seed);
        case CellKind::kInteger:
            return Avalanche(seed * kPrime3 ^ static_cast<std::uint64_t>(cell.integer) * kPrime2);
        case CellKind::kReal: {
            // Every NaN is one value, as is zero: the engines keep neither a
            // NaN's payload nor, on a project file, the sign of zero.
            const double real = std::isnan(cell.real) ? std::numeric_limits<double>::quiet_NaN()
                                : cell.real == 0.0    ? 0.0
                                                      : cell.real;
            std::uint64_t bits;
            std::memcpy(&bits, &real, 8);
            return Avalanche(seed * kPrime3 ^ bits * kPrime2);
        }
        case CellKind::kText:
        case CellKind::kBytes:
            return HashBytes(cell.data, cell.size, seed);
    }
    return 0;
}

}  // namespace

std::uint64_t RowChecksum(const DbRow& row) {
    std::uint64_t hash = kPrime3;
    for (const Cell& cell : row) hash = RotateLeft(hash, 23) * kPrime1 + CellChecksum(cell);
    return Avalanche(hash);
}

std::uint64_t RowBytes(const DbRow& row) {
    std::uint64_t bytes = 0;
    for (const Cell& cell : row) {
        bytes += cell.kind == CellKind::kText || cell.kind == CellKind::kBytes ? cell.size
                 : cell.kind == CellKind::kNull                                ? 0
                                                                               : 8;
    }
    return bytes;
}

}  // namespace strataloom::formats
