#include "engine/storage/text_interner.h"

#include <functional>

namespace orv::engine {
namespace {

constexpr size_t kFirstSlots = 1024;
// Once this many texts went by, a column with more distinct texts than half
// of those it stored keeps plain copies from then on.
constexpr size_t kSample = 65536;

}  // namespace

std::string_view TextInterner::Keep(std::string_view text, StringArena& arena) {
  if (gave_up_ || text.empty()) return arena.Copy(text);
  if (slots_.empty()) slots_.resize(kFirstSlots);
  ++looked_up_;
  const size_t mask = slots_.size() - 1;
  size_t slot = std::hash<std::string_view>{}(text) & mask;
  while (!slots_[slot].empty()) {
    if (slots_[slot] == text) return slots_[slot];
    slot = (slot + 1) & mask;
  }
  const std::string_view kept = arena.Copy(text);
  slots_[slot] = kept;
  ++used_;
  if (looked_up_ >= kSample && used_ * 2 > looked_up_) {
    gave_up_ = true;
    slots_ = {};
  } else if (used_ * 2 > slots_.size()) {
    Grow();
  }
  return kept;
}

void TextInterner::Grow() {
  std::vector<std::string_view> old(slots_.size() * 2);
  old.swap(slots_);
  const size_t mask = slots_.size() - 1;
  for (std::string_view text : old) {
    if (text.empty()) continue;
    size_t slot = std::hash<std::string_view>{}(text) & mask;
    while (!slots_[slot].empty()) slot = (slot + 1) & mask;
    slots_[slot] = text;
  }
}

void TextInterner::Clear() {
  slots_ = {};
  used_ = looked_up_ = 0;
  gave_up_ = false;
}

}  // namespace orv::engine
