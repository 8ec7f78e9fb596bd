// One column of a table, stored by type: 32-bit integers (INT and the
// narrower integer types, bit, date), 64-bit integers (BIGINT, datetime
// ticks, times), 128-bit scaled integers (decimal, money), doubles or texts,
// with one null bit a row. Values come out as Value of the column's declared
// type. A table's text column keeps a code a row into its own dictionary of
// views (see TextDictionary) while its texts repeat, and a view a row once
// they prove mostly distinct; either way the text lives where the table keeps
// texts (its arena, or what it shares). A column made without an arena holds
// values apart from any table (the new values of an UPDATE, or the old ones
// its undo puts back): a view a row, the views it is given, which whoever
// fills it keeps alive.
//
// Threads: the const methods may run on any columns at once. Of the others,
// AppendGathered, AppendStored, Append and Set of a number or a NULL, Append
// of a kept text, SetRows with `in_arena`, AppendLoaded, AppendLoadedText(s),
// Reserve, Compact and Truncate may run at once on different columns of one
// table: they store views and change their own column's state only. Those
// that copy a text (Append of a text not kept, Set of a text, SetRows without
// `in_arena`, KeepText) write the table's one arena, which its columns share:
// one column of a table at a time.
#pragma once

#include <bit>
#include <cstdint>
#include <string_view>
#include <vector>

#include "engine/common/string_arena.h"
#include "engine/common/types.h"
#include "engine/common/value.h"
#include "engine/storage/null_bits.h"
#include "engine/storage/text_dictionary.h"

namespace orv::engine {

class Column {
 public:
  enum class Storage : uint8_t { Int32, Int, Decimal, Float, String, None };

  Column(DataType type, StringArena* arena);

  const DataType& type() const { return type_; }
  size_t size() const { return nulls_.size(); }

  Value Get(size_t row) const {
    Value value;
    Read(row, value);
    return value;
  }
  // Get into an existing value (a scan's row), written whole.
  void Read(size_t row, Value& out) const {
    const bool null = nulls_[row];
    switch (storage_) {
      case Storage::Int32:
        return out.Store(type_.id, null, 0, 0, 0, static_cast<uint64_t>(int64_t{ints32_[row]}), 0);
      case Storage::Int:
        // The scale is a TIME or DATETIME2's fractional digits (0 for integers).
        return out.Store(type_.id, null, 0, type_.scale, 0, static_cast<uint64_t>(ints_[row]), 0);
      case Storage::Decimal: {
        const Int128 v = decimals_[row];
        return out.Store(type_.id, null, type_.precision, type_.scale, 0, static_cast<uint64_t>(v),
                         static_cast<uint64_t>(v >> 64));
      }
      case Storage::Float:
        return out.Store(type_.id, null, 0, 0, 0, std::bit_cast<uint64_t>(floats_[row]), 0);
      case Storage::String: {
        const std::string_view text = Text(row);
        return out.Store(type_.id, null, 0, 0, static_cast<uint32_t>(text.size()),
                         reinterpret_cast<uintptr_t>(text.data()), 0);
      }
      case Storage::None:
        return out.SetNull(type_.id);
    }
  }
  // Starts loading row `row`'s value, for a Read soon after.
  void Prefetch(size_t row) const {
    switch (storage_) {
      case Storage::Int32:
        __builtin_prefetch(ints32_.data() + row);
        break;
      case Storage::Int:
        __builtin_prefetch(ints_.data() + row);
        break;
      case Storage::Decimal:
        __builtin_prefetch(decimals_.data() + row);
        break;
      case Storage::Float:
        __builtin_prefetch(floats_.data() + row);
        break;
      case Storage::String:
        __builtin_prefetch(coded_ ? static_cast<const void*>(codes_.data() + row) : strings_.data() + row);
        break;
      case Storage::None:
        return;
    }
    __builtin_prefetch(nulls_.WordOf(row));
  }
  // `value` must already have the column's type (or be NULL); strings are
  // copied into the table's arena, or with `kept` stored as the very view:
  // its text must live where the table keeps texts (see Table::ShareText).
  void Append(const Value& value, bool kept = false);
  void Set(size_t row, const Value& value);
  // Appends the values of `source` (of this type) at `rows` as stored: texts
  // stay views into its arena. For a column without an arena.
  void AppendStored(const Column& source, const int64_t* rows, size_t count);
  // Row rows[k] takes the k-th value of `values` (of this type), for every
  // value it holds: one dispatch for them all. Texts are kept in this
  // column's arena, or stored as they are when `in_arena` says they already
  // live there (the old values an undo puts back).
  void SetRows(const int64_t* rows, const Column& values, bool in_arena);
  // Appends the values of `source`, a column of the same storage, at its
  // rows `rows`, with `if_null` (of this column's type, or NULL) in place of
  // its NULLs: one dispatch for a block of rows. A row of kNoRow (an outer
  // join's missing row) is NULL. Texts are stored as the very views, the
  // source's and if_null's: the table must keep where they live (see
  // Table::ShareText).
  static constexpr uint32_t kNoRow = UINT32_MAX;
  void AppendGathered(const Column& source, const uint32_t* rows, size_t count, const Value& if_null);
  // Room for `rows` rows in all, so a bulk append moves nothing.
  void Reserve(size_t rows);
  // Loading from a file, row by row after a Reserve, without going through
  // Value: a number as its 16 payload bytes (low and high halves, 0 for NULL),
  // text as a view that already lives in the table's arena (see KeepText).
  void AppendLoaded(bool null, uint64_t low, uint64_t high) {
    nulls_.push_back(null);
    switch (storage_) {
      case Storage::Int32:
        ints32_.push_back(static_cast<int32_t>(static_cast<int64_t>(low)));
        break;
      case Storage::Int:
        ints_.push_back(static_cast<int64_t>(low));
        break;
      case Storage::Decimal:
        decimals_.push_back(static_cast<Int128>(static_cast<unsigned __int128>(high) << 64 | low));
        break;
      case Storage::Float:
        floats_.push_back(std::bit_cast<double>(low));
        break;
      case Storage::String:
        AppendCodeOrView(0, {});
        break;
      case Storage::None:
        break;
    }
  }
  // A file stores a chunk's text plain when it is mostly distinct: the column keeps views from then on.
  void AppendLoadedText(bool null, std::string_view kept);
  // Rows of a file's chunk of coded text: row k holds dictionary[indices[k]]
  // (each a view kept with KeepText), or NULL where indices[k] is kNoRow.
  void AppendLoadedTexts(const std::vector<std::string_view>& dictionary, const uint32_t* indices, size_t count);
  // Copies `bytes` into the table's arena at once; views into the copy may be appended as text.
  std::string_view KeepText(std::string_view bytes) { return arena_->Copy(bytes); }
  // Keeps the rows whose flag in `keep` is set, in order.
  void Compact(const std::vector<uint8_t>& keep);
  // Keeps the first `rows` rows (undoing appends).
  void Truncate(size_t rows);
  void Clear();
  // Bytes the column's vectors and dictionary hold (capacity, not size); text is the arena's.
  size_t MemoryBytes() const;

  // Predicates run over a block of rows read the stored numbers as they are:
  // the vector of storage() only.
  Storage storage() const { return storage_; }
  bool IsNull(size_t row) const { return nulls_[row]; }
  const int32_t* int32s() const { return ints32_.data(); }
  const int64_t* int64s() const { return ints_.data(); }
  const Int128* decimals() const { return decimals_.data(); }
  const double* floats() const { return floats_.data(); }
  // A text row's bytes (empty for NULL).
  std::string_view Text(size_t row) const { return coded_ ? dictionary_[codes_[row]] : strings_[row]; }
  // Whether the texts are kept as codes(), a row's index into dictionary().
  bool coded() const { return coded_; }
  const uint32_t* codes() const { return codes_.data(); }
  const TextDictionary& dictionary() const { return dictionary_; }

 private:
  void Store(size_t row, const Value& value);
  // Appends a row's text: `code` while coded, else `view`.
  void AppendCodeOrView(uint32_t code, std::string_view view) {
    if (coded_) {
      codes_.push_back(code);
    } else {
      strings_.push_back(view);
    }
  }
  // Row rows[k] takes texts[k], copied into the arena unless `kept`.
  void StoreTexts(const int64_t* rows, const Column& texts, bool kept);
  // AppendGathered of texts into a coded column: each source code (or row,
  // for a source keeping views) is looked up once, then mapped through remap_.
  void GatherCodes(const Column& source, const uint32_t* rows, size_t count, const Value& if_null);
  // Once the texts prove mostly distinct: a view a row from then on.
  void SwitchToViewsIfDistinct();
  void SwitchToViews();
  // After a row's view changed other than by appending: keys taken from these
  // rows by another column's remap_ are stale, so the dictionary's id is renewed.
  void RowsChanged();
  // Rows the stored values have room for.
  size_t Capacity() const;

  DataType type_;
  Storage storage_;
  StringArena* arena_;
  std::vector<int32_t> ints32_;
  std::vector<int64_t> ints_;
  std::vector<Int128> decimals_;
  std::vector<double> floats_;
  bool coded_;
  std::vector<uint32_t> codes_;
  TextDictionary dictionary_;
  std::vector<std::string_view> strings_;  // the texts once not coded
  // The text the last appended row kept and its code: a run of rows with the
  // same text (a header's values over its lines, a constant) shares it without a lookup.
  std::string_view last_text_;
  uint32_t last_code_ = 0;
  // For AppendGathered: the code here of each key (a code or a row) of the
  // source named remap_source_ (0: not looked up yet, or the empty text).
  std::vector<uint32_t> remap_;
  uint64_t remap_source_ = 0;
  NullBits nulls_;
};

}  // namespace orv::engine
