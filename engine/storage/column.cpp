// Typed column storage: the one place that maps a DataType to its vector.
#include "engine/storage/column.h"

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
  } else {
    storage_ = Storage::Int;  // integers, bit and datetime ticks
  }
}

Value Column::Get(size_t row) const {
  if (nulls_[row]) return Value::Null(type_.id);
  switch (storage_) {
    case Storage::Int:
      return type_.id == TypeId::DateTime ? Value::DateTime(ints_[row]) : Value::Integer(type_.id, ints_[row]);
    case Storage::Decimal:
      return Value::Decimal(decimals_[row], type_.precision, type_.scale, type_.id);
    case Storage::Float:
      return Value::Double(floats_[row]);
    case Storage::String:
      return Value::String(type_.id, strings_[row]);
    case Storage::None:
      break;
  }
  return Value::Null(type_.id);
}

void Column::Store(size_t row, const Value& value) {
  nulls_[row] = value.is_null ? 1 : 0;
  switch (storage_) {
    case Storage::Int:
      ints_[row] = value.is_null ? 0 : (type_.id == TypeId::DateTime ? value.dt : value.i);
      break;
    case Storage::Decimal:
      decimals_[row] = value.is_null ? 0 : value.dec;
      break;
    case Storage::Float:
      floats_[row] = value.is_null ? 0 : value.f;
      break;
    case Storage::String:
      strings_[row] = value.is_null ? std::string_view() : arena_->Copy(value.s());
      break;
    case Storage::None:
      break;
  }
}

void Column::Append(const Value& value) {
  size_t row = nulls_.size();
  nulls_.push_back(1);
  switch (storage_) {
    case Storage::Int: ints_.emplace_back(); break;
    case Storage::Decimal: decimals_.emplace_back(); break;
    case Storage::Float: floats_.emplace_back(); break;
    case Storage::String: strings_.emplace_back(); break;
    case Storage::None: break;
  }
  Store(row, value);
}

void Column::Set(size_t row, const Value& value) { Store(row, value); }

void Column::Compact(const std::vector<uint8_t>& keep) {
  CompactVector(ints_, keep);
  CompactVector(decimals_, keep);
  CompactVector(floats_, keep);
  CompactVector(strings_, keep);
  CompactVector(nulls_, keep);
}

size_t Column::MemoryBytes() const {
  return ints_.capacity() * sizeof(int64_t) + decimals_.capacity() * sizeof(Int128) +
         floats_.capacity() * sizeof(double) + strings_.capacity() * sizeof(std::string_view) + nulls_.capacity();
}

void Column::Clear() {
  ints_.clear();
  decimals_.clear();
  floats_.clear();
  strings_.clear();
  nulls_.clear();
}

}  // namespace orv::engine
