// One chunk of one column as the database file stores it: the null flags as
// bits, then the values that are not NULL. Text is dictionary-coded when
// values repeat; numbers are stored as variable-length deltas (dates, keys and
// amounts in order take a byte or two). The block layer adds zstd on top.
#pragma once

#include <vector>

#include "engine/catalog/byte_codec.h"

namespace orv::engine {

void EncodeColumnChunk(const Table& table, size_t column, size_t first, size_t count, ByteWriter& out);
// Values of `type`; strings point into the reader's input.
std::vector<Value> DecodeColumnChunk(ByteReader& in, const DataType& type, size_t count);

}  // namespace orv::engine
