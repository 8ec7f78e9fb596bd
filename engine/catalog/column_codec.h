// One chunk of one column as the database file stores it: the null flags as
// bits, then the values that are not NULL. Text is dictionary-coded when
// values repeat; numbers are stored as variable-length deltas (dates, keys and
// amounts in order take a byte or two). The block layer adds zstd on top.
#pragma once

#include <vector>

#include "engine/catalog/byte_codec.h"

namespace orv::engine {

void EncodeColumnChunk(const Table& table, size_t column, size_t first, size_t count, ByteWriter& out);
// Appends the chunk's `count` rows to `column` (reserved by the caller); text
// is copied into the table's arena a chunk at a time.
void DecodeColumnChunk(ByteReader& in, Column& column, size_t count);

}  // namespace orv::engine
