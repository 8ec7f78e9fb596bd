#include "engine/storage/text_dictionary.h"

#include <atomic>

namespace orv::engine {
namespace {

constexpr size_t kFirstSlots = 1024;
// Once this many rows went by, a column with more entries than 1 in 4 of its
// rows keeps a view a row. An entry costs its view and two slots, 32 bytes,
// against the 12 a row's code saves, so from 3 in 8 codes take more room;
// from 1 in 4 they save a quarter of the room at most, while coding each new
// text (a hash, a lookup, an insertion) costs many times what storing its
// view does: a document number over its few lines is kept as views.
constexpr size_t kSample = 65536;

uint64_t NewId() {
  static std::atomic<uint64_t> next{1};
  return next.fetch_add(1, std::memory_order_relaxed);
}

}  // namespace

TextDictionary::TextDictionary() : entries_{std::string_view()}, id_(NewId()) {}

TextDictionary::TextDictionary(const TextDictionary& other)
    : entries_(other.entries_), slots_(other.slots_), id_(NewId()) {}

TextDictionary& TextDictionary::operator=(const TextDictionary& other) {
  entries_ = other.entries_;
  slots_ = other.slots_;
  id_ = NewId();
  return *this;
}

uint32_t TextDictionary::Code(std::string_view text, uint32_t hash, StringArena* arena) {
  if (text.empty()) return 0;
  if (slots_.empty()) slots_.resize(kFirstSlots);
  const size_t mask = slots_.size() - 1;
  size_t slot = hash & mask;
  for (; slots_[slot].code != 0; slot = (slot + 1) & mask) {
    const Slot& s = slots_[slot];
    if (s.hash == hash && entries_[s.code] == text) return s.code;
  }
  const auto code = static_cast<uint32_t>(entries_.size());
  entries_.push_back(arena ? arena->Copy(text) : text);
  slots_[slot] = Slot{code, hash};
  if (entries_.size() * 2 > slots_.size()) Grow();
  return code;
}

void TextDictionary::Grow() {
  std::vector<Slot> old(slots_.size() * 2);
  old.swap(slots_);
  const size_t mask = slots_.size() - 1;
  for (const Slot& s : old) {
    if (s.code == 0) continue;
    size_t slot = s.hash & mask;
    while (slots_[slot].code != 0) slot = (slot + 1) & mask;
    slots_[slot] = s;
  }
}

bool TextDictionary::MostlyDistinct(size_t rows) const { return rows >= kSample && entries_.size() * 4 > rows; }

void TextDictionary::Clear() {
  entries_ = {std::string_view()};
  slots_ = {};
  Renew();
}

void TextDictionary::Renew() { id_ = NewId(); }

size_t TextDictionary::MemoryBytes() const {
  return entries_.capacity() * sizeof(std::string_view) + slots_.capacity() * sizeof(Slot);
}

}  // namespace orv::engine
