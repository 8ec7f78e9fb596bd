// Checksummed blocks, the unit the database file and its log are made of:
// a 13-byte head (stored and raw sizes, CRC-32 of the stored bytes, codec)
// and the payload, zstd-compressed when that makes it smaller. A block whose
// checksum or sizes do not hold is damage, never data.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace orv::engine {

inline constexpr size_t kBlockHeadSize = 13;

// How a block is stored: as it is, one of zstd's fast levels below 1 (the log,
// which is written on every commit and read only after a crash), or a smaller
// one (the database file, written at checkpoints and read on every open).
enum class Compression { None, Fast, Small };

// Appends `raw` as one block to `out`.
void PutBlock(std::string& out, std::string_view raw, Compression compression);

enum class BlockRead { Ok, Truncated, Damaged };

// Checks the block at `pos` of `in` (framing and checksum, nothing
// decompressed) and moves `pos` past it.
BlockRead CheckBlock(std::string_view in, size_t& pos);

// Reads the block at `pos` of `in` into `raw` and moves `pos` past it.
// Truncated: the block runs past the end of `in`; Damaged: it is all there
// but its checksum or contents do not hold.
BlockRead GetBlock(std::string_view in, size_t& pos, std::string& raw);

uint32_t Checksum(std::string_view bytes);

}  // namespace orv::engine
