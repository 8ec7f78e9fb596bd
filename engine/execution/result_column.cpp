// The rare paths of a result column; see result_column.h.
#include "engine/execution/result_column.h"

namespace orv::engine {

bool ResultColumn::FitsFirst(const Value& value) {
  const Header header{value.type, value.precision, value.scale};
  if (value.is_null) {
    // A NULL reads back with no payload: one that has any is kept whole.
    if (null_word_ != UINT32_MAX || value.length != 0 || value.dec != 0) return false;
    null_ = header;
    null_word_ = HeaderWord(value);
    return true;
  }
  if (kind_ != Kind::Unset) return false;
  Kind kind = Kind::Narrow;
  if (IsString(value.type)) {
    kind = Kind::Text;
  } else if (value.type == TypeId::Decimal || value.type == TypeId::Money) {
    kind = Kind::Decimal;
    if (value.length != 0) return false;
  } else if (value.length != 0 || HighHalf(value) != 0) {
    return false;
  }
  kind_ = kind;
  shared_ = header;
  shared_word_ = HeaderWord(value);
  ExtendPayload(rows_);  // the rows so far, all NULL
  return true;
}

bool ResultColumn::TakesStored(const Column& source, uint8_t precision) {
  const DataType& type = source.type();
  Value probe;  // the header a read value has, and no payload
  switch (source.storage()) {
    case Column::Storage::Int32:
    case Column::Storage::Float:
      probe.Store(type.id, false, 0, 0, 0, 0, 0);
      break;
    case Column::Storage::Int:
      probe.Store(type.id, false, 0, type.scale, 0, 0, 0);
      break;
    case Column::Storage::Decimal:
      probe.Store(precision ? TypeId::Decimal : type.id, false, precision ? precision : type.precision, type.scale,
                  0, 0, 0);
      break;
    case Column::Storage::String:
      probe.Store(type.id, false, 0, 0, 0, 0, 0);
      break;
    case Column::Storage::None:
      return false;
  }
  if (kind_ == Kind::Whole || !Fits(probe) || shared_word_ != HeaderWord(probe)) return false;
  switch (source.storage()) {
    case Column::Storage::Decimal:
      return kind_ == Kind::Decimal;
    case Column::Storage::String:
      return kind_ == Kind::Text;
    default:
      return kind_ == Kind::Narrow;
  }
}

namespace {

// PlaceStored for one kind of payload, `read` giving a position's; the
// loop's tests on `rows` and `chosen` are made once, outside it.
template <bool kMapped, bool kChosen, typename Payload, typename Read>
size_t PlaceRun(ChunkedValues<uint8_t>& nulls, ChunkedValues<Payload>& payloads, const Column& source,
                const ResultColumn::StoredRows& placed, size_t i, size_t end, Read read) {
  for (; i < end; ++i) {
    const size_t row = kMapped ? placed.rows[i] : i;
    if (kChosen && placed.chosen[row] != placed.which) continue;
    const uint32_t position = placed.positions[i];
    if (position == Column::kNoRow || source.IsNull(position)) return i;
    nulls[row] = 0;
    payloads[row] = read(position);
  }
  return end;
}

template <typename Payload, typename Read>
size_t PlaceRuns(ChunkedValues<uint8_t>& nulls, ChunkedValues<Payload>& payloads, const Column& source,
                 const ResultColumn::StoredRows& placed, size_t begin, size_t end, Read read) {
  if (placed.rows) {
    return placed.chosen ? PlaceRun<true, true>(nulls, payloads, source, placed, begin, end, read)
                         : PlaceRun<true, false>(nulls, payloads, source, placed, begin, end, read);
  }
  return placed.chosen ? PlaceRun<false, true>(nulls, payloads, source, placed, begin, end, read)
                       : PlaceRun<false, false>(nulls, payloads, source, placed, begin, end, read);
}

}  // namespace

size_t ResultColumn::PlaceStored(const Column& source, const StoredRows& placed, size_t begin, size_t end) {
  switch (source.storage()) {
    case Column::Storage::Int32: {
      const int32_t* values = source.int32s();
      return PlaceRuns(nulls_, narrow_, source, placed, begin, end,
                       [values](uint32_t p) { return static_cast<uint64_t>(int64_t{values[p]}); });
    }
    case Column::Storage::Int: {
      const int64_t* values = source.int64s();
      return PlaceRuns(nulls_, narrow_, source, placed, begin, end,
                       [values](uint32_t p) { return static_cast<uint64_t>(values[p]); });
    }
    case Column::Storage::Float: {
      const double* values = source.floats();
      return PlaceRuns(nulls_, narrow_, source, placed, begin, end,
                       [values](uint32_t p) { return std::bit_cast<uint64_t>(values[p]); });
    }
    case Column::Storage::Decimal: {
      const Int128* values = source.decimals();
      return PlaceRuns(nulls_, decimals_, source, placed, begin, end, [values](uint32_t p) { return values[p]; });
    }
    case Column::Storage::String:
      if (source.coded()) {
        const uint32_t* codes = source.codes();
        const TextDictionary& dictionary = source.dictionary();
        return PlaceRuns(nulls_, texts_, source, placed, begin, end,
                         [codes, &dictionary](uint32_t p) { return dictionary[codes[p]]; });
      }
      return PlaceRuns(nulls_, texts_, source, placed, begin, end, [&source](uint32_t p) { return source.Text(p); });
    case Column::Storage::None:
      break;
  }
  return begin;
}

void ResultColumn::AppendWhole(const Value& value, StringArena* arena) {
  if (kind_ != Kind::Whole) MakeWhole();
  Value kept = value;
  if (!kept.is_null && IsString(kept.type)) kept.set_s(Keep(kept.s(), arena));
  whole_.push_back(kept);
  ++rows_;
}

void ResultColumn::Extend(size_t count) {
  // Until placed a row reads as NULL, so turning the column whole keeps what it holds.
  if (kind_ == Kind::Whole) {
    whole_.extend(count, Value());
  } else {
    nulls_.extend(count, 1);
    ExtendPayload(count);
  }
  rows_ += count;
}

void ResultColumn::PlaceWhole(size_t row, const Value& value) {
  if (kind_ != Kind::Whole) MakeWhole();
  whole_[row] = value;
}

void ResultColumn::ExtendPayload(size_t count) {
  // Read only where the row is not NULL, so only once placed.
  if (kind_ == Kind::Narrow) narrow_.extend_unwritten(count);
  if (kind_ == Kind::Decimal) decimals_.extend_unwritten(count);
  if (kind_ == Kind::Text) texts_.extend_unwritten(count);
}

void ResultColumn::MakeWhole() {
  for (size_t r = 0; r < rows_; ++r) whole_.push_back(Get(r));
  kind_ = Kind::Whole;
  nulls_.clear();
  narrow_.clear();
  decimals_.clear();
  texts_.clear();
}

}  // namespace orv::engine
