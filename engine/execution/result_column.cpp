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
