// Values, types and table schemas as bytes.
#include "engine/catalog/byte_codec.h"

namespace orv::engine {

void ByteWriter::Val(const Value& v) {
  U8(static_cast<uint8_t>(v.type));
  U8(v.is_null ? 1 : 0);
  if (v.is_null) return;
  if (IsString(v.type)) {
    Str(v.s());
    return;
  }
  // Every other type keeps its value in the 16 payload bytes, as Value does.
  U8(v.precision);
  U8(v.scale);
  Raw(reinterpret_cast<const char*>(&v) + offsetof(Value, i), 16);
}

void ByteWriter::Type(const DataType& type) {
  U8(static_cast<uint8_t>(type.id));
  U8(type.precision);
  U8(type.scale);
  U32(static_cast<uint32_t>(type.length));
}

void ByteWriter::ColumnDef(const ColumnSchema& column) {
  Str(column.name);
  Type(column.type);
  U8(column.nullable ? 1 : 0);
  Str(column.default_text);
  U8(column.identity ? 1 : 0);
  if (column.identity) {
    U64(static_cast<uint64_t>(column.identity->seed));
    U64(static_cast<uint64_t>(column.identity->increment));
  }
  Str(column.collation);
}

void ByteWriter::Schema(const Table& table) {
  Str(table.name());
  Var(table.column_count());
  for (const ColumnSchema& column : table.schema()) ColumnDef(column);
  Var(table.keys().size());
  for (const KeyConstraint& key : table.keys()) {
    Str(key.name);
    U8(key.primary ? 1 : 0);
    Var(key.columns.size());
    for (size_t c : key.columns) Var(c);
  }
}

uint64_t ByteReader::LongVar() {
  uint64_t v = 0;
  for (int shift = 0; shift < 64; shift += 7) {
    const uint8_t b = U8();
    v |= static_cast<uint64_t>(b & 0x7f) << shift;
    if (!(b & 0x80)) return v;
  }
  throw FileDamaged{"a number is malformed"};
}

size_t ByteReader::Count(size_t unit) {
  const uint64_t n = Var();
  if (n > (in_.size() - pos_) / (unit ? unit : 1)) throw FileDamaged{"a count exceeds the record"};
  return static_cast<size_t>(n);
}

Value ByteReader::Val() {
  const auto type = static_cast<TypeId>(U8());
  const bool null = U8() != 0;
  Value v;
  if (null) {
    v.SetNull(type);
    return v;
  }
  if (IsString(type)) {
    v.SetString(type, Str());
    return v;
  }
  const uint8_t precision = U8();
  const uint8_t scale = U8();
  std::string_view payload = Take(16);
  uint64_t low, high;
  std::memcpy(&low, payload.data(), 8);
  std::memcpy(&high, payload.data() + 8, 8);
  v.Store(type, false, precision, scale, 0, low, high);
  return v;
}

DataType ByteReader::Type() {
  DataType type;
  type.id = static_cast<TypeId>(U8());
  type.precision = U8();
  type.scale = U8();
  type.length = static_cast<int32_t>(U32());
  return type;
}

ColumnSchema ByteReader::ColumnDef() {
  ColumnSchema column;
  column.name = Str();
  column.type = Type();
  column.nullable = U8() != 0;
  column.default_text = Str();
  if (U8()) {
    const auto seed = static_cast<int64_t>(U64());
    const auto increment = static_cast<int64_t>(U64());
    column.identity = Identity{seed, increment};
  }
  column.collation = Str();
  return column;
}

std::shared_ptr<Table> ByteReader::Schema() {
  std::string name(Str());
  std::vector<ColumnSchema> schema(Count());
  for (ColumnSchema& column : schema) column = ColumnDef();
  std::vector<KeyConstraint> keys(Count());
  for (KeyConstraint& key : keys) {
    key.name = Str();
    key.primary = U8() != 0;
    key.columns.resize(Count());
    for (size_t& c : key.columns) {
      c = Var();
      if (c >= schema.size()) throw FileDamaged{"a key names a column the table does not have"};
    }
  }
  return std::make_shared<Table>(std::move(name), std::move(schema), std::move(keys));
}

}  // namespace orv::engine
