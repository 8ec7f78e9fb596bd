// A bump allocator for the text of computed string values: a statement keeps
// one, so building a value never allocates per row once the arena has grown.
// Views handed out stay valid until the arena is cleared or destroyed.
#pragma once

#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

namespace orv::engine {

class StringArena {
 public:
  std::string_view Copy(std::string_view text) {
    if (text.empty()) return {};
    char* p = Allocate(text.size());
    std::memcpy(p, text.data(), text.size());
    return {p, text.size()};
  }

  char* Allocate(size_t size) {
    if (blocks_.empty() || used_ + size > capacity_) {
      capacity_ = std::max(size, kBlockSize);
      blocks_.push_back(std::make_unique_for_overwrite<char[]>(capacity_));  // no need to zero
      block_bytes_ += capacity_;
      used_ = 0;
    }
    char* p = blocks_.back().get() + used_;
    used_ += size;
    return p;
  }

  void Clear() {
    blocks_.clear();
    block_bytes_ = used_ = capacity_ = 0;
  }

  // Bytes of every block held, used or not.
  size_t MemoryBytes() const { return block_bytes_; }

 private:
  static constexpr size_t kBlockSize = 64 * 1024;
  std::vector<std::unique_ptr<char[]>> blocks_;
  size_t used_ = 0;
  size_t capacity_ = 0;
  size_t block_bytes_ = 0;
};

}  // namespace orv::engine
