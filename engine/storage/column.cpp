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

template <typename T>
void Gather(std::vector<T>& out, NullBits& out_nulls, const std::vector<T>& in, const NullBits& in_nulls,
            const uint32_t* rows, size_t count, T if_null, bool null_stays) {
  // The flags go in 64 at a time.
  for (size_t begin = 0; begin < count; begin += 64) {
    const size_t end = std::min(count, begin + 64);
    uint64_t nulls = 0;
    for (size_t k = begin; k < end; ++k) {
      const uint32_t row = rows[k];
      const bool null = row == Column::kNoRow || in_nulls[row];
      out.push_back(null ? if_null : in[row]);  // a stored NULL's value is 0 (or empty), as if_null then is
      nulls |= static_cast<uint64_t>(null && null_stays) << (k - begin);
    }
    out_nulls.Append(nulls, end - begin);
  }
}

template <typename T>
void GatherStored(std::vector<T>& out, const std::vector<T>& in, const int64_t* rows, size_t count) {
  for (size_t k = 0; k < count; ++k) out.push_back(in[rows[k]]);
}

template <typename T>
void Scatter(std::vector<T>& out, const std::vector<T>& in, const int64_t* rows) {
  for (size_t k = 0; k < in.size(); ++k) out[rows[k]] = in[k];
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
    case Storage::String:
      strings_[row] = value.is_null ? std::string_view() : interner_.Keep(value.s(), *arena_);
      break;
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
      if (kept || null || !arena_) {
        strings_.push_back(null ? std::string_view() : value.s());
        break;
      }
      // A run of one text costs a compare; other repeats a lookup.
      if (value.s() != last_text_) last_text_ = interner_.Keep(value.s(), *arena_);
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
      return Gather(ints32_, nulls_, source.ints32_, source.nulls_, rows, count,
                    stays ? 0 : static_cast<int32_t>(if_null.i), stays);
    case Storage::Int:
      return Gather(ints_, nulls_, source.ints_, source.nulls_, rows, count, stays ? 0 : if_null.i, stays);
    case Storage::Decimal:
      return Gather(decimals_, nulls_, source.decimals_, source.nulls_, rows, count, stays ? 0 : if_null.dec, stays);
    case Storage::Float:
      return Gather(floats_, nulls_, source.floats_, source.nulls_, rows, count, stays ? 0 : if_null.f, stays);
    case Storage::String:
      return Gather(strings_, nulls_, source.strings_, source.nulls_, rows, count,
                    stays ? std::string_view() : if_null.s(), stays);
    case Storage::None:
      for (size_t k = 0; k < count; ++k) nulls_.push_back(true);
      return;
  }
}

void Column::Set(size_t row, const Value& value) { Store(row, value); }

void Column::AppendStored(const Column& source, const int64_t* rows, size_t count) {
  Reserve(size() + count);
  for (size_t k = 0; k < count; ++k) nulls_.push_back(source.nulls_[rows[k]]);
  switch (storage_) {
    case Storage::Int32: return GatherStored(ints32_, source.ints32_, rows, count);
    case Storage::Int: return GatherStored(ints_, source.ints_, rows, count);
    case Storage::Decimal: return GatherStored(decimals_, source.decimals_, rows, count);
    case Storage::Float: return GatherStored(floats_, source.floats_, rows, count);
    case Storage::String: return GatherStored(strings_, source.strings_, rows, count);
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
    case Storage::String:
      if (in_arena) return Scatter(strings_, values.strings_, rows);
      return KeepTexts(rows, values.strings_);
    case Storage::None: return;
  }
}

void Column::KeepTexts(const int64_t* rows, const std::vector<std::string_view>& texts) {
  // A NULL's view is empty, as is an empty text's, and neither takes arena room.
  // While the interner looks texts up, a block's slots are all asked for before the first is read.
  constexpr size_t kBlock = 32;
  uint32_t hashes[kBlock];
  for (size_t start = 0; start < texts.size(); start += kBlock) {
    const size_t end = std::min(texts.size(), start + kBlock);
    for (size_t k = start; k < end; ++k) __builtin_prefetch(texts[k].data());
    if (!interner_.looking_up()) {
      for (size_t k = start; k < end; ++k) strings_[rows[k]] = arena_->Copy(texts[k]);
      continue;
    }
    for (size_t k = start; k < end; ++k) {
      hashes[k - start] = TextInterner::Hash(texts[k]);
      interner_.Prefetch(hashes[k - start]);
    }
    for (size_t k = start; k < end; ++k) strings_[rows[k]] = interner_.Keep(texts[k], hashes[k - start], *arena_);
  }
}

void Column::Reserve(size_t rows) {
  if (rows <= Capacity()) return;
  // Geometric, or many small INSERTs would copy the column each time.
  rows = std::max(rows, Capacity() * 2);
  nulls_.Reserve(rows);
  switch (storage_) {
    case Storage::Int32: ReserveHugePages(ints32_, rows); break;
    case Storage::Int: ReserveHugePages(ints_, rows); break;
    case Storage::Decimal: ReserveHugePages(decimals_, rows); break;
    case Storage::Float: ReserveHugePages(floats_, rows); break;
    case Storage::String: ReserveHugePages(strings_, rows); break;
    case Storage::None: break;
  }
}

size_t Column::Capacity() const {
  switch (storage_) {
    case Storage::Int32: return ints32_.capacity();
    case Storage::Int: return ints_.capacity();
    case Storage::Decimal: return decimals_.capacity();
    case Storage::Float: return floats_.capacity();
    case Storage::String: return strings_.capacity();
    case Storage::None: break;
  }
  return nulls_.capacity();
}

void Column::Compact(const std::vector<uint8_t>& keep) {
  CompactVector(ints32_, keep);
  CompactVector(ints_, keep);
  CompactVector(decimals_, keep);
  CompactVector(floats_, keep);
  CompactVector(strings_, keep);
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
    case Storage::String: strings_.resize(rows); break;
    case Storage::None: break;
  }
}

size_t Column::MemoryBytes() const {
  return ints32_.capacity() * sizeof(int32_t) + ints_.capacity() * sizeof(int64_t) +
         decimals_.capacity() * sizeof(Int128) + floats_.capacity() * sizeof(double) +
         strings_.capacity() * sizeof(std::string_view) + interner_.MemoryBytes() + nulls_.MemoryBytes();
}

void Column::Clear() {
  last_text_ = {};
  ints32_.clear();
  ints_.clear();
  decimals_.clear();
  floats_.clear();
  strings_.clear();
  interner_.Clear();
  nulls_.Clear();
}

}  // namespace orv::engine
