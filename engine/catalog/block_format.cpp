// Block framing, CRC-32 (zlib) and zstd.
#include "engine/catalog/block_format.h"

#include <zlib.h>
#include <zstd.h>

#include <cstring>
#include <memory>

#include "engine/storage/huge_pages.h"

namespace orv::engine {
namespace {

constexpr uint8_t kStored = 0;
constexpr uint8_t kZstd = 1;
constexpr uint32_t kMaxRaw = 1u << 30;  // no block holds more; a larger size is damage

void Put32(std::string& out, uint32_t v) { out.append(reinterpret_cast<const char*>(&v), 4); }

uint32_t Get32(const char* p) {
  uint32_t v;
  std::memcpy(&v, p, 4);
  return v;
}

}  // namespace

uint32_t Checksum(std::string_view bytes) {
  return static_cast<uint32_t>(
      crc32_z(crc32_z(0, nullptr, 0), reinterpret_cast<const Bytef*>(bytes.data()), bytes.size()));
}

void PutBlock(std::string& out, std::string_view raw, Compression compression) {
  std::string_view stored = raw;
  uint8_t codec = kStored;
  // Uninitialised room: a string would first zero as many bytes as the block has.
  std::unique_ptr<char[]> compressed;
  if (compression != Compression::None && raw.size() > 64) {
    const size_t bound = ZSTD_compressBound(raw.size());
    compressed.reset(new char[bound]);
    AdviseHugePages(compressed.get(), bound);
    const int level = compression == Compression::Fast ? -1 : 3;
    const size_t n = ZSTD_compress(compressed.get(), bound, raw.data(), raw.size(), level);
    if (!ZSTD_isError(n) && n < raw.size()) {
      stored = std::string_view(compressed.get(), n);
      codec = kZstd;
    }
  }
  if (out.empty()) {
    // A block on its own (a commit's): room for it at once, in huge pages when it is large.
    out.reserve(kBlockHeadSize + stored.size());
    AdviseHugePages(out.data(), out.capacity());
  }
  Put32(out, static_cast<uint32_t>(stored.size()));
  Put32(out, static_cast<uint32_t>(raw.size()));
  Put32(out, Checksum(stored));
  out.push_back(static_cast<char>(codec));
  out.append(stored);
}

BlockRead CheckBlock(std::string_view in, size_t& pos) {
  if (in.size() - pos < kBlockHeadSize) return BlockRead::Truncated;
  const char* head = in.data() + pos;
  const uint32_t stored_size = Get32(head);
  if (in.size() - pos - kBlockHeadSize < stored_size) return BlockRead::Truncated;
  if (Checksum(in.substr(pos + kBlockHeadSize, stored_size)) != Get32(head + 8) || Get32(head + 4) > kMaxRaw) {
    return BlockRead::Damaged;
  }
  pos += kBlockHeadSize + stored_size;
  return BlockRead::Ok;
}

BlockRead GetBlock(std::string_view in, size_t& pos, std::string& raw) {
  size_t next = pos;
  if (const BlockRead checked = CheckBlock(in, next); checked != BlockRead::Ok) return checked;
  const char* head = in.data() + pos;
  const uint32_t stored_size = Get32(head);
  const uint32_t raw_size = Get32(head + 4);
  const auto codec = static_cast<uint8_t>(head[12]);
  const std::string_view stored = in.substr(pos + kBlockHeadSize, stored_size);
  if (codec == kStored) {
    if (raw_size != stored_size) return BlockRead::Damaged;
    raw.assign(stored);
  } else if (codec == kZstd) {
    raw.resize(raw_size);
    // One context a thread, made once: a file of many blocks would otherwise make one each.
    thread_local const std::unique_ptr<ZSTD_DCtx, size_t (*)(ZSTD_DCtx*)> context(ZSTD_createDCtx(), ZSTD_freeDCtx);
    const size_t n = context ? ZSTD_decompressDCtx(context.get(), raw.data(), raw.size(), stored.data(), stored.size())
                             : ZSTD_decompress(raw.data(), raw.size(), stored.data(), stored.size());
    if (ZSTD_isError(n) || n != raw_size) return BlockRead::Damaged;
  } else {
    return BlockRead::Damaged;
  }
  pos = next;
  return BlockRead::Ok;
}

}  // namespace orv::engine
