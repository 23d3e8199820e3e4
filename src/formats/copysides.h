// What a project copy compares on both of its sides: each table's rows read
// as typed cells, in which both ends compute the same checksum whatever
// their engines.
#pragma once

#include <cstdint>

#include "formats/directdb.h"

namespace strataloom::formats {

// The checksum of a row: the same for the same values on every engine, NaN
// and every byte of text and bytes included.
std::uint64_t RowChecksum(const DbRow& row);
// The bytes of table data a row carries: text and byte lengths, 8 per number.
std::uint64_t RowBytes(const DbRow& row);

}  // namespace strataloom::formats
