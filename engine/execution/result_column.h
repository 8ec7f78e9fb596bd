// One column of a result set, kept as narrow as its values allow. A
// column's values nearly always share one type, precision and scale, so
// those are kept once and each row holds only its payload (8 bytes for
// integers, dates and floats, 16 for decimals and text views) and a null
// flag; the first value that differs from the others turns the column into
// whole 32-byte values. A large result so takes a third to a half of the
// memory, and of the page faults that fill it. Every value reads back
// exactly as it was appended.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "engine/common/string_arena.h"
#include "engine/common/value.h"
#include "engine/storage/huge_pages.h"

namespace orv::engine {

// Values in chunks of 2^19, so a large column grows without moving what it
// holds. The first chunk grows as values come (most results are small) until
// it is clearly not small; from there every chunk is taken whole, with huge
// pages.
template <typename T>
class ChunkedValues {
 public:
  void push_back(const T& value) {
    if (chunks_.empty() || chunks_.back().size() == chunks_.back().capacity()) Grow();
    chunks_.back().push_back(value);
  }
  const T& operator[](size_t i) const { return chunks_[i >> kShift][i & (kChunk - 1)]; }
  void clear() { chunks_.clear(); }

 private:
  static constexpr unsigned kShift = 19;
  static constexpr size_t kChunk = size_t{1} << kShift;
  static constexpr size_t kSmall = size_t{1} << 13;

  void Grow() {
    if (chunks_.empty() || chunks_.back().size() == kChunk) {
      chunks_.emplace_back();
      if (chunks_.size() > 1) ReserveHugePages(chunks_.back(), kChunk);
    } else if (chunks_.back().size() >= kSmall) {
      ReserveHugePages(chunks_.back(), kChunk);
    }
  }

  std::vector<std::vector<T>> chunks_;
};

class ResultColumn {
 public:
  // Appends `value`; its text, if any, is copied into `arena` (once for a
  // run of rows with the same text).
  void Append(const Value& value, StringArena& arena);
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

  // Whether `value` can join the narrow rows (the first value other than
  // NULL sets their kind and header).
  bool Fits(const Value& value);
  void AppendNarrow(const Value& value, StringArena& arena);
  // Empty payloads for the rows so far, which are all NULL.
  void PadPayload();
  void MakeWhole();
  // `text` in the arena: the last text kept when it is the same.
  std::string_view Keep(std::string_view text, StringArena& arena);

  Kind kind_ = Kind::Unset;
  size_t rows_ = 0;
  Header shared_;                // of every non-NULL value
  Header null_;                  // of every NULL
  bool null_seen_ = false;       // null_ is set
  ChunkedValues<uint8_t> nulls_;  // per row, until Whole
  ChunkedValues<uint64_t> narrow_;
  ChunkedValues<Int128> decimals_;
  ChunkedValues<std::string_view> texts_;
  ChunkedValues<Value> whole_;
  std::string_view last_text_;  // the last text kept in the arena
};

}  // namespace orv::engine
