#include "engine/storage/text_interner.h"

namespace orv::engine {
namespace {

constexpr size_t kFirstSlots = 1024;
// Once this many texts went by, a column with more distinct texts than half
// of those it stored keeps plain copies from then on.
constexpr size_t kSample = 65536;

}  // namespace

std::string_view TextInterner::Keep(std::string_view text, uint32_t hash, StringArena& arena) {
  if (gave_up_ || text.empty()) return arena.Copy(text);
  if (slots_.empty()) slots_.resize(kFirstSlots);
  ++looked_up_;
  const size_t mask = slots_.size() - 1;
  size_t slot = hash & mask;
  for (; slots_[slot].data; slot = (slot + 1) & mask) {
    const Slot& s = slots_[slot];
    if (s.hash == hash && std::string_view(s.data, s.size) == text) return {s.data, s.size};
  }
  const std::string_view kept = arena.Copy(text);
  slots_[slot] = Slot{kept.data(), static_cast<uint32_t>(kept.size()), hash};
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
  std::vector<Slot> old(slots_.size() * 2);
  old.swap(slots_);
  const size_t mask = slots_.size() - 1;
  for (const Slot& s : old) {
    if (!s.data) continue;
    size_t slot = s.hash & mask;
    while (slots_[slot].data) slot = (slot + 1) & mask;
    slots_[slot] = s;
  }
}

void TextInterner::Clear() {
  slots_ = {};
  used_ = looked_up_ = 0;
  gave_up_ = false;
}

}  // namespace orv::engine
