// Typed column storage: the one place that maps a DataType to its vector.
#include "engine/storage/column.h"

#include <algorithm>

#include "engine/storage/huge_pages.h"

namespace orv::engine {
namespace {

template <typename T>
void CompactVector(std::vector<T>& values, const std::vector<uint8_t>& keep) {
  if (values.empty()) return;
  size_t out = 0;
  for (size_t i = 0; i < keep.size(); ++i) {
    if (keep[i]) values[out++] = values[i];
  }
  values.resize(out);
}

// `at(row)`: the value source row `row` holds, asked only of rows not NULL.
template <typename T, typename At>
void Gather(std::vector<T>& out, NullBits& out_nulls, const NullBits& in_nulls, const uint32_t* rows, size_t count,
            T if_null, bool null_stays, At at) {
  // The flags go in 64 at a time.
  for (size_t begin = 0; begin < count; begin += 64) {
    const size_t end = std::min(count, begin + 64);
    uint64_t nulls = 0;
    for (size_t k = begin; k < end; ++k) {
      const uint32_t row = rows[k];
      const bool null = row == Column::kNoRow || in_nulls[row];
      out.push_back(null ? if_null : at(row));  // a stored NULL's value is 0 (or empty), as if_null then is
      nulls |= static_cast<uint64_t>(null && null_stays) << (k - begin);
    }
    out_nulls.Append(nulls, end - begin);
  }
}

template <typename T>
auto Reader(const std::vector<T>& in) {
  return [&in](uint32_t row) { return in[row]; };
}

template <typename T, typename At>
void GatherStored(std::vector<T>& out, const int64_t* rows, size_t count, At at) {
  for (size_t k = 0; k < count; ++k) out.push_back(at(rows[k]));
}

template <typename T>
void Scatter(std::vector<T>& out, const std::vector<T>& in, const int64_t* rows) {
  for (size_t k = 0; k < in.size(); ++k) out[rows[k]] = in[k];
}

// Room for `size` values, all on huge pages: the values move into a new
// buffer advised before the copy touches it (ReserveHugePages advises only
// the room past them, little of a column grown batch by batch), so that rows
// read out of order miss the TLB far less.
template <typename T>
void ReserveOnHugePages(std::vector<T>& values, size_t size) {
  if (size <= values.capacity()) return;
  std::vector<T> moved;
  ReserveHugePages(moved, size);
  moved.insert(moved.end(), values.begin(), values.end());
  values.swap(moved);
}

}  // namespace

Column::Column(DataType type, StringArena* arena) : type_(type), arena_(arena) {
  if (IsString(type.id)) {
    storage_ = Storage::String;
  } else if (type.id == TypeId::Decimal || type.id == TypeId::Money) {
    storage_ = Storage::Decimal;
  } else if (type.id == TypeId::Float) {
    storage_ = Storage::Float;
  } else if (type.id == TypeId::Null) {
    storage_ = Storage::None;
  } else if (type.id == TypeId::Int || type.id == TypeId::SmallInt || type.id == TypeId::TinyInt ||
             type.id == TypeId::Bit || type.id == TypeId::Date) {
    storage_ = Storage::Int32;  // a date is a day number
  } else {
    storage_ = Storage::Int;  // BIGINT and the date and time types counted in ticks
  }
  coded_ = storage_ == Storage::String && arena_;
}

void Column::Store(size_t row, const Value& value) {
  nulls_.Set(row, value.is_null);
  switch (storage_) {
    case Storage::Int32:
      ints32_[row] = value.is_null ? 0 : static_cast<int32_t>(value.i);
      break;
    case Storage::Int:
      ints_[row] = value.is_null ? 0 : value.i;
      break;
    case Storage::Decimal:
      decimals_[row] = value.is_null ? 0 : value.dec;
      break;
    case Storage::Float:
      floats_[row] = value.is_null ? 0 : value.f;
      break;
    case Storage::String: {
      const std::string_view text = value.is_null ? std::string_view() : value.s();
      if (!coded_) {
        strings_[row] = arena_->Copy(text);
        RowsChanged();
        break;
      }
      codes_[row] = dictionary_.Code(text, arena_);
      SwitchToViewsIfDistinct();
      break;
    }
    case Storage::None:
      break;
  }
}

void Column::Append(const Value& value, bool kept) {
  const bool null = value.is_null;
  nulls_.push_back(null);
  switch (storage_) {
    case Storage::Int32:
      ints32_.push_back(null ? 0 : static_cast<int32_t>(value.i));
      break;
    case Storage::Int:
      ints_.push_back(null ? 0 : value.i);
      break;
    case Storage::Decimal:
      decimals_.push_back(null ? 0 : value.dec);
      break;
    case Storage::Float:
      floats_.push_back(null ? 0 : value.f);
      break;
    case Storage::String:
      if (null) {
        AppendCodeOrView(0, {});
        break;
      }
      if (coded_) {
        // A run of one text costs a compare; other repeats a lookup.
        if (value.s() != last_text_) {
          last_code_ = dictionary_.Code(value.s(), kept ? nullptr : arena_);
          last_text_ = dictionary_[last_code_];
          codes_.push_back(last_code_);
          SwitchToViewsIfDistinct();
          break;
        }
        codes_.push_back(last_code_);
        break;
      }
      if (kept || !arena_) {
        strings_.push_back(value.s());
        break;
      }
      if (value.s() != last_text_) last_text_ = arena_->Copy(value.s());
      strings_.push_back(last_text_);
      break;
    case Storage::None:
      break;
  }
}

void Column::AppendGathered(const Column& source, const uint32_t* rows, size_t count, const Value& if_null) {
  const bool stays = if_null.is_null;
  switch (storage_) {
    case Storage::Int32:
      return Gather(ints32_, nulls_, source.nulls_, rows, count, stays ? 0 : static_cast<int32_t>(if_null.i), stays,
                    Reader(source.ints32_));
    case Storage::Int:
      return Gather(ints_, nulls_, source.nulls_, rows, count, stays ? 0 : if_null.i, stays, Reader(source.ints_));
    case Storage::Decimal:
      return Gather(decimals_, nulls_, source.nulls_, rows, count, stays ? 0 : if_null.dec, stays,
                    Reader(source.decimals_));
    case Storage::Float:
      return Gather(floats_, nulls_, source.nulls_, rows, count, stays ? 0 : if_null.f, stays, Reader(source.floats_));
    case Storage::String:
      if (coded_) return GatherCodes(source, rows, count, if_null);
      return Gather(strings_, nulls_, source.nulls_, rows, count, stays ? std::string_view() : if_null.s(), stays,
                    [&](uint32_t row) { return source.Text(row); });
    case Storage::None:
      for (size_t k = 0; k < count; ++k) nulls_.push_back(true);
      return;
  }
}

void Column::GatherCodes(const Column& source, const uint32_t* rows, size_t count, const Value& if_null) {
  // The source's texts are keyed by its codes, or by its rows once it keeps views.
  const bool coded = source.coded_;
  if (remap_source_ != source.dictionary_.id()) {
    remap_.clear();
    remap_source_ = source.dictionary_.id();
  }
  remap_.resize(coded ? source.dictionary_.size() : source.size());  // the source may have grown since
  // Texts not mapped yet are coded first, a batch at a time: a batch's slots
  // are all asked for before the first is read, so that coding many new
  // texts overlaps their memory waits.
  constexpr size_t kBatch = 32;
  uint32_t keys[kBatch];
  uint32_t hashes[kBatch];
  std::string_view texts[kBatch];
  for (size_t k = 0; k < count;) {
    size_t batch = 0;
    for (; k < count && batch < kBatch; ++k) {
      const uint32_t row = rows[k];
      if (row == kNoRow || source.nulls_[row]) continue;
      const uint32_t key = coded ? source.codes_[row] : row;
      if (remap_[key] != 0) continue;
      keys[batch] = key;
      texts[batch] = coded ? source.dictionary_[key] : source.strings_[row];
      hashes[batch] = TextDictionary::Hash(texts[batch]);
      dictionary_.Prefetch(hashes[batch]);
      ++batch;
    }
    for (size_t b = 0; b < batch; ++b) {
      uint32_t& to = remap_[keys[b]];
      if (to == 0) to = dictionary_.Code(texts[b], hashes[b], nullptr);
    }
  }
  const bool stays = if_null.is_null;
  Gather(codes_, nulls_, source.nulls_, rows, count, stays ? 0 : dictionary_.Code(if_null.s(), nullptr), stays,
         [&](uint32_t row) { return remap_[coded ? source.codes_[row] : row]; });
  SwitchToViewsIfDistinct();
}

void Column::RowsChanged() {
  if (storage_ == Storage::String && !coded_) dictionary_.Renew();
}

void Column::SwitchToViewsIfDistinct() {
  if (coded_ && dictionary_.MostlyDistinct(codes_.size())) SwitchToViews();
}

void Column::SwitchToViews() {
  ReserveHugePages(strings_, codes_.capacity());  // the one step that may fail, before anything changed
  for (const uint32_t code : codes_) strings_.push_back(dictionary_[code]);
  coded_ = false;
  codes_ = {};
  dictionary_.Clear();
  remap_ = {};
  remap_source_ = 0;
  last_code_ = 0;
}

void Column::Set(size_t row, const Value& value) { Store(row, value); }

void Column::AppendStored(const Column& source, const int64_t* rows, size_t count) {
  Reserve(size() + count);
  for (size_t k = 0; k < count; ++k) nulls_.push_back(source.nulls_[rows[k]]);
  switch (storage_) {
    case Storage::Int32: return GatherStored(ints32_, rows, count, Reader(source.ints32_));
    case Storage::Int: return GatherStored(ints_, rows, count, Reader(source.ints_));
    case Storage::Decimal: return GatherStored(decimals_, rows, count, Reader(source.decimals_));
    case Storage::Float: return GatherStored(floats_, rows, count, Reader(source.floats_));
    case Storage::String: return GatherStored(strings_, rows, count, [&](int64_t row) { return source.Text(row); });
    case Storage::None: return;
  }
}

void Column::SetRows(const int64_t* rows, const Column& values, bool in_arena) {
  for (size_t k = 0; k < values.size(); ++k) nulls_.Set(rows[k], values.nulls_[k]);
  switch (storage_) {
    case Storage::Int32: return Scatter(ints32_, values.ints32_, rows);
    case Storage::Int: return Scatter(ints_, values.ints_, rows);
    case Storage::Decimal: return Scatter(decimals_, values.decimals_, rows);
    case Storage::Float: return Scatter(floats_, values.floats_, rows);
    case Storage::String: return StoreTexts(rows, values, in_arena);
    case Storage::None: return;
  }
}

void Column::StoreTexts(const int64_t* rows, const Column& texts, bool kept) {
  // A NULL's text is empty, as is an empty text's, and neither takes arena room.
  StringArena* copy_into = kept ? nullptr : arena_;
  const size_t count = texts.size();
  // While coded, a block's slots are all asked for before the first is read.
  constexpr size_t kBlock = 32;
  uint32_t hashes[kBlock];
  for (size_t start = 0; start < count; start += kBlock) {
    const size_t end = std::min(count, start + kBlock);
    for (size_t k = start; k < end; ++k) __builtin_prefetch(texts.Text(k).data());
    if (!coded_) {
      for (size_t k = start; k < end; ++k) strings_[rows[k]] = kept ? texts.Text(k) : arena_->Copy(texts.Text(k));
      continue;
    }
    for (size_t k = start; k < end; ++k) {
      hashes[k - start] = TextDictionary::Hash(texts.Text(k));
      dictionary_.Prefetch(hashes[k - start]);
    }
    for (size_t k = start; k < end; ++k) codes_[rows[k]] = dictionary_.Code(texts.Text(k), hashes[k - start], copy_into);
    SwitchToViewsIfDistinct();
  }
  RowsChanged();
}

void Column::AppendLoadedText(bool null, std::string_view kept) {
  if (coded_) SwitchToViews();
  nulls_.push_back(null);
  strings_.push_back(null ? std::string_view() : kept);
}

void Column::AppendLoadedTexts(const std::vector<std::string_view>& dictionary, const uint32_t* indices,
                               size_t count) {
  for (size_t k = 0; k < count; ++k) nulls_.push_back(indices[k] == kNoRow);
  if (!coded_) {
    for (size_t k = 0; k < count; ++k) strings_.push_back(indices[k] == kNoRow ? std::string_view() : dictionary[indices[k]]);
    return;
  }
  // Each of the chunk's texts is looked up once.
  std::vector<uint32_t> codes(dictionary.size());
  for (size_t i = 0; i < dictionary.size(); ++i) codes[i] = dictionary_.Code(dictionary[i], nullptr);
  for (size_t k = 0; k < count; ++k) codes_.push_back(indices[k] == kNoRow ? 0 : codes[indices[k]]);
  SwitchToViewsIfDistinct();
}

void Column::Reserve(size_t rows) {
  if (rows <= Capacity()) return;
  // Geometric, or many small INSERTs would copy the column each time.
  rows = std::max(rows, Capacity() * 2);
  nulls_.Reserve(rows);
  switch (storage_) {
    case Storage::Int32: ReserveOnHugePages(ints32_, rows); break;
    case Storage::Int: ReserveOnHugePages(ints_, rows); break;
    case Storage::Decimal: ReserveOnHugePages(decimals_, rows); break;
    case Storage::Float: ReserveOnHugePages(floats_, rows); break;
    case Storage::String:
      if (coded_) {
        ReserveHugePages(codes_, rows);
      } else {
        ReserveHugePages(strings_, rows);
      }
      break;
    case Storage::None: break;
  }
}

size_t Column::Capacity() const {
  switch (storage_) {
    case Storage::Int32: return ints32_.capacity();
    case Storage::Int: return ints_.capacity();
    case Storage::Decimal: return decimals_.capacity();
    case Storage::Float: return floats_.capacity();
    case Storage::String: return coded_ ? codes_.capacity() : strings_.capacity();
    case Storage::None: break;
  }
  return nulls_.capacity();
}

void Column::Compact(const std::vector<uint8_t>& keep) {
  CompactVector(ints32_, keep);
  CompactVector(ints_, keep);
  CompactVector(decimals_, keep);
  CompactVector(floats_, keep);
  CompactVector(codes_, keep);
  CompactVector(strings_, keep);
  RowsChanged();
  nulls_.Compact(keep);
}

void Column::Truncate(size_t rows) {
  if (rows >= nulls_.size()) return;
  nulls_.Truncate(rows);
  switch (storage_) {
    case Storage::Int32: ints32_.resize(rows); break;
    case Storage::Int: ints_.resize(rows); break;
    case Storage::Decimal: decimals_.resize(rows); break;
    case Storage::Float: floats_.resize(rows); break;
    case Storage::String:
      if (coded_) {
        codes_.resize(rows);
      } else {
        strings_.resize(rows);
        RowsChanged();  // rows appended next are other texts at the same rows
      }
      break;
    case Storage::None: break;
  }
}

size_t Column::MemoryBytes() const {
  return ints32_.capacity() * sizeof(int32_t) + ints_.capacity() * sizeof(int64_t) +
         decimals_.capacity() * sizeof(Int128) + floats_.capacity() * sizeof(double) +
         codes_.capacity() * sizeof(uint32_t) + dictionary_.MemoryBytes() + remap_.capacity() * sizeof(uint32_t) +
         strings_.capacity() * sizeof(std::string_view) + nulls_.MemoryBytes();
}

void Column::Clear() {
  last_text_ = {};
  last_code_ = 0;
  ints32_.clear();
  ints_.clear();
  decimals_.clear();
  floats_.clear();
  coded_ = storage_ == Storage::String && arena_;
  codes_.clear();
  dictionary_.Clear();
  remap_.clear();
  remap_source_ = 0;
  strings_.clear();
  nulls_.Clear();
}

}  // namespace orv::engine
