// One column of a result set, kept as narrow as its values allow. A
// column's values nearly always share one type, precision and scale, so
// those are kept once and each row holds only its payload (8 bytes for
// integers, dates and floats, 16 for decimals and text views) and a null
// flag; the first value that differs from the others turns the column into
// whole 32-byte values. A large result so takes a third to a half of the
// memory, and of the page faults that fill it. Every value reads back
// exactly as it was appended.
#pragma once

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/common/string_arena.h"
#include "engine/common/value.h"
#include "engine/storage/column.h"
#include "engine/storage/huge_pages.h"

namespace orv::engine {

// A vector grown by resize(n) with this constructs nothing in the new slots
// (for values that are all written before they are read); every other way
// in constructs as usual.
template <typename T>
struct UnwrittenAllocator : std::allocator<T> {
  UnwrittenAllocator() = default;
  template <typename U>
  UnwrittenAllocator(const UnwrittenAllocator<U>&) noexcept {}
  template <typename U>
  void construct(U*) noexcept {}
  template <typename U, typename... Args>
  void construct(U* at, Args&&... args) {
    ::new (static_cast<void*>(at)) U(std::forward<Args>(args)...);
  }
};

// Values in chunks of 2^19, so a large column grows without moving what it
// holds. The first chunk grows as values come (most results are small) until
// it is clearly not small; from there every chunk is taken whole, with huge
// pages.
template <typename T>
class ChunkedValues {
 public:
  void push_back(const T& value) {
    if (chunks_.empty() || chunks_.back().size() == chunks_.back().capacity()) [[unlikely]] Grow();
    chunks_.back().push_back(value);
  }
  // `count` more values of `fill`, chunk by chunk.
  void extend(size_t count, const T& fill) {
    Extend(count, [&](Chunk& chunk, size_t size) { chunk.resize(size, fill); });
  }
  // `count` more slots left as they are: each is written before it is read.
  // A large copy so touches its fresh pages once, not twice.
  void extend_unwritten(size_t count) {
    Extend(count, [](Chunk& chunk, size_t size) { chunk.resize(size); });
  }
  const T& operator[](size_t i) const { return chunks_[i >> kShift][i & (kChunk - 1)]; }
  T& operator[](size_t i) { return chunks_[i >> kShift][i & (kChunk - 1)]; }
  void clear() { chunks_.clear(); }

 private:
  static constexpr unsigned kShift = 19;
  static constexpr size_t kChunk = size_t{1} << kShift;
  static constexpr size_t kSmall = size_t{1} << 13;

  using Chunk = std::vector<T, UnwrittenAllocator<T>>;

  template <typename Resize>
  void Extend(size_t count, Resize resize) {
    while (count > 0) {
      if (chunks_.empty() || chunks_.back().size() == kChunk) chunks_.emplace_back();
      Chunk& chunk = chunks_.back();
      const size_t take = std::min(count, kChunk - chunk.size());
      if (chunks_.size() > 1 || chunk.size() + take > kSmall) ReserveHugePages(chunk, kChunk);
      resize(chunk, chunk.size() + take);
      count -= take;
    }
  }

  [[gnu::noinline]] void Grow() {
    if (chunks_.empty() || chunks_.back().size() == kChunk) {
      chunks_.emplace_back();
      if (chunks_.size() > 1) ReserveHugePages(chunks_.back(), kChunk);
    } else if (chunks_.back().size() >= kSmall) {
      ReserveHugePages(chunks_.back(), kChunk);
    }
  }

  std::vector<Chunk> chunks_;
};

class ResultColumn {
 public:
  // Appends `value`; its text, if any, is copied into `arena` (once for a
  // run of rows with the same text), or with no arena kept where it is: the
  // caller keeps its storage alive as long as the column.
  void Append(const Value& value, StringArena* arena) {
    if (kind_ == Kind::Whole || !Fits(value)) [[unlikely]] return AppendWhole(value, arena);
    nulls_.push_back(value.is_null ? 1 : 0);
    const bool null = value.is_null;
    switch (kind_) {
      case Kind::Narrow:
        narrow_.push_back(null ? 0 : static_cast<uint64_t>(value.i));
        break;
      case Kind::Decimal:
        decimals_.push_back(null ? 0 : value.dec);
        break;
      case Kind::Text:
        texts_.push_back(null ? std::string_view() : Keep(value.s(), arena));
        break;
      case Kind::Unset:
      case Kind::Whole:
        break;
    }
    ++rows_;
  }
  // `count` more rows, each to be given its value once by Place, in any
  // order: a copy that reads its source in the source's order writes the
  // rows where they fall.
  void Extend(size_t count);
  // Row `row`'s value, the text kept where it is (see Append with no arena).
  void Place(size_t row, const Value& value) {
    if (kind_ == Kind::Whole || !Fits(value)) [[unlikely]] return PlaceWhole(row, value);
    const bool null = value.is_null;
    nulls_[row] = null ? 1 : 0;
    switch (kind_) {
      case Kind::Narrow:
        narrow_[row] = null ? 0 : static_cast<uint64_t>(value.i);
        break;
      case Kind::Decimal:
        decimals_[row] = null ? 0 : value.dec;
        break;
      case Kind::Text:
        texts_[row] = null ? std::string_view() : value.s();
        break;
      case Kind::Unset:
      case Kind::Whole:
        break;
    }
  }
  // Whether `source`'s values, read (and widened to `precision` where it is
  // not 0), join this column's rows as they are stored, so PlaceStored may
  // place them; the first sets the column's kind as Place would.
  bool TakesStored(const Column& source, uint8_t precision);
  // Which rows of a block take which stored values, for PlaceStored.
  struct StoredRows {
    const uint32_t* rows;       // the i-th's row; null: the i-th row itself
    const uint32_t* positions;  // the i-th's position in the source
    const uint32_t* chosen;     // null, or per row the arm it picked: only rows of `which` take a value
    uint32_t which;
  };
  // Places `source`'s stored values as Place would take them read (one copy
  // of each payload, no value built), for the i-th of `placed` from `begin`
  // on, until one is a missing row or a NULL. Returns that one's i, or
  // `end`.
  size_t PlaceStored(const Column& source, const StoredRows& placed, size_t begin, size_t end);
  Value Get(size_t row) const {
    if (kind_ == Kind::Whole) return whole_[row];
    Value out;
    if (nulls_[row]) {
      out.Store(null_.type, true, null_.precision, null_.scale, 0, 0, 0);
      return out;
    }
    switch (kind_) {
      case Kind::Narrow:
        out.Store(shared_.type, false, shared_.precision, shared_.scale, 0, narrow_[row], 0);
        break;
      case Kind::Decimal: {
        const auto v = static_cast<unsigned __int128>(decimals_[row]);
        out.Store(shared_.type, false, shared_.precision, shared_.scale, 0, static_cast<uint64_t>(v),
                  static_cast<uint64_t>(v >> 64));
        break;
      }
      case Kind::Text: {
        const std::string_view text = texts_[row];
        out.Store(shared_.type, false, shared_.precision, shared_.scale, static_cast<uint32_t>(text.size()),
                  reinterpret_cast<uintptr_t>(text.data()), 0);
        break;
      }
      case Kind::Unset:
      case Kind::Whole:
        break;
    }
    return out;
  }

 private:
  // Unset: no value other than NULL yet; Whole: values that differ, kept as they are.
  enum class Kind : uint8_t { Unset, Narrow, Decimal, Text, Whole };
  struct Header {
    TypeId type = TypeId::Null;
    uint8_t precision = 0;
    uint8_t scale = 0;
    bool operator==(const Header&) const = default;
  };

  // A value's type, NULL flag, precision and scale in one word.
  static uint32_t HeaderWord(const Value& value) {
    uint32_t word;
    std::memcpy(&word, &value, sizeof word);
    return word;
  }
  static uint64_t HighHalf(const Value& value) {
    return static_cast<uint64_t>(static_cast<unsigned __int128>(value.dec) >> 64);
  }
  // Whether `value` can join the narrow rows.
  bool Fits(const Value& value) {
    const uint32_t word = HeaderWord(value);
    if (word == shared_word_) {
      return kind_ == Kind::Text || (value.length == 0 && (kind_ == Kind::Decimal || HighHalf(value) == 0));
    }
    if (word == null_word_) return value.length == 0 && value.dec == 0;
    return FitsFirst(value);
  }
  // The first NULL sets the NULLs' header, the first other value the kind
  // and header of the others; false for any other value.
  [[gnu::noinline]] bool FitsFirst(const Value& value);
  [[gnu::noinline]] void AppendWhole(const Value& value, StringArena* arena);
  [[gnu::noinline]] void PlaceWhole(size_t row, const Value& value);
  // `count` more empty payloads, of the kind's vector.
  void ExtendPayload(size_t count);
  void MakeWhole();
  // `text` in the arena: the last text kept when it is the same; with no arena, `text` itself.
  std::string_view Keep(std::string_view text, StringArena* arena) {
    if (!arena) return text;
    if (text != last_text_) last_text_ = arena->Copy(text);
    return last_text_;
  }

  Kind kind_ = Kind::Unset;
  size_t rows_ = 0;
  Header shared_;  // of every non-NULL value
  Header null_;    // of every NULL
  // Their header words; until set, one no value has (its NULL flag 255).
  uint32_t shared_word_ = UINT32_MAX;
  uint32_t null_word_ = UINT32_MAX;
  ChunkedValues<uint8_t> nulls_;  // per row, until Whole
  ChunkedValues<uint64_t> narrow_;
  ChunkedValues<Int128> decimals_;
  ChunkedValues<std::string_view> texts_;
  ChunkedValues<Value> whole_;
  std::string_view last_text_;  // the last text kept in the arena
};

}  // namespace orv::engine
