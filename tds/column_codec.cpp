// Encoding engine values in their wire types.
#include "tds/column_codec.h"

#include <algorithm>
#include <bit>

#include "tds/text_codec.h"
#include "tds/type_info.h"
#include "tds/wire.h"

namespace orv::tds {
namespace {

constexpr size_t kMaxInlineBytes = 8000;
constexpr uint64_t kPlpNull = ~0ull;
constexpr uint16_t kShortNull = 0xFFFF;
constexpr uint16_t kFlagNullable = 0x0001;
constexpr uint16_t kFlagUpdateableUnknown = 0x0008;

uint8_t DecimalBytes(uint8_t precision) {
  if (precision <= 9) return 5;
  if (precision <= 19) return 9;
  if (precision <= 28) return 13;
  return 17;
}

engine::Int128 Rescale(engine::Int128 unscaled, int from, int to) {
  for (; from < to; ++from) unscaled *= 10;
  for (; from > to; --from) unscaled /= 10;
  return unscaled;
}

bool IsText(engine::TypeId id) { return engine::IsString(id); }

engine::Int128 Pow10(int n) {
  engine::Int128 value = 1;
  for (int i = 0; i < n; ++i) value *= 10;
  return value;
}

// A value whose own type is not its column's, in the column's type, so the
// bytes written always match the metadata sent (a text column must never
// read an integer as a pointer). The engine types its result columns, so
// this is the rare path.
engine::Value Coerce(const engine::Value& value, engine::TypeId column, std::string& text) {
  if (IsText(column)) {
    text = engine::FormatValue(value);
    return engine::Value::String(column, text);
  }
  if (IsText(value.type) || value.type == engine::TypeId::DateTime || column == engine::TypeId::DateTime) {
    return engine::Value::Null(column);  // no number reads as a date, nor text as a number, here
  }
  const bool exact = value.type == engine::TypeId::Decimal || value.type == engine::TypeId::Money;
  if (column == engine::TypeId::Float) {
    const double number = value.type == engine::TypeId::Float ? value.f
                          : exact ? static_cast<double>(value.dec) / static_cast<double>(Pow10(value.scale))
                                  : static_cast<double>(value.i);
    return engine::Value::Double(number);
  }
  if (column == engine::TypeId::Decimal || column == engine::TypeId::Money) {
    if (exact) return engine::Value::Decimal(value.dec, value.precision, value.scale, column);
    if (value.type == engine::TypeId::Float) {
      return engine::Value::Decimal(static_cast<engine::Int128>(value.f * 10000), 38, 4, column);
    }
    return engine::Value::Decimal(value.i, 38, 0, column);
  }
  const int64_t integer = exact ? static_cast<int64_t>(value.dec / Pow10(value.scale))
                          : value.type == engine::TypeId::Float ? static_cast<int64_t>(value.f)
                                                                 : value.i;
  return engine::Value::Integer(column, integer);
}

bool SameKind(engine::TypeId value, engine::TypeId column) {
  if (value == column) return true;
  if (IsText(value) && IsText(column)) return true;
  return engine::IsInteger(value) && engine::IsInteger(column);
}

// The bytes `value` takes on the wire as text of column type `id`; only
// computed exactly when the cheap bound exceeds `declared`.
size_t WireTextBytes(const engine::Value& value, engine::TypeId id, size_t declared, std::string& scratch) {
  if (!IsText(value.type)) {
    scratch = engine::FormatValue(value);  // what Coerce will write
    return scratch.size() * (engine::IsUnicode(id) ? 2 : 1);
  }
  const std::string_view text = value.s();
  if (engine::IsUnicode(id)) {
    if (text.size() * 2 <= declared) return text.size() * 2;
    scratch.clear();
    return AppendUtf16(scratch, text) * 2;
  }
  if (text.size() <= declared) return text.size();
  scratch.clear();
  AppendInCodePage(scratch, text, kServerCodePage);
  return scratch.size();
}

}  // namespace

ColumnEncoder::ColumnEncoder(const engine::DataType& type, size_t needed_bytes) : id_(type.id) {
  switch (type.id) {
    case engine::TypeId::Null:
    case engine::TypeId::Int:
      wire_type_ = kIntN;
      max_length_ = 4;
      break;
    case engine::TypeId::TinyInt:
      wire_type_ = kIntN;
      max_length_ = 1;
      break;
    case engine::TypeId::SmallInt:
      wire_type_ = kIntN;
      max_length_ = 2;
      break;
    case engine::TypeId::BigInt:
      wire_type_ = kIntN;
      max_length_ = 8;
      break;
    case engine::TypeId::Bit:
      wire_type_ = kBitN;
      max_length_ = 1;
      break;
    case engine::TypeId::Money:
      wire_type_ = kMoneyN;
      max_length_ = 8;
      break;
    case engine::TypeId::Decimal:
      wire_type_ = kDecimalN;
      precision_ = std::clamp<uint8_t>(type.precision, 1, 38);
      scale_ = std::min(type.scale, precision_);
      max_length_ = DecimalBytes(precision_);
      break;
    case engine::TypeId::Float:
      wire_type_ = kFloatN;
      max_length_ = 8;
      break;
    case engine::TypeId::DateTime:
      wire_type_ = kDateTimeN;
      max_length_ = 8;
      break;
    case engine::TypeId::Date:
    case engine::TypeId::Time:
    case engine::TypeId::DateTime2:
      // Sent as their ISO text: the date and time types of later protocol
      // versions need a client that announced them.
      id_ = engine::TypeId::NVarChar;
      wire_type_ = kNVarChar;
      max_length_ = 2 * 27;  // "9999-12-31 23:59:59.9999999"
      break;
    case engine::TypeId::Char:
    case engine::TypeId::VarChar:
    case engine::TypeId::NChar:
    case engine::TypeId::NVarChar: {
      const bool unicode = engine::IsUnicode(type.id);
      const bool fixed = type.id == engine::TypeId::Char || type.id == engine::TypeId::NChar;
      wire_type_ = unicode ? (fixed ? kNChar : kNVarChar) : (fixed ? kBigChar : kBigVarChar);
      if (type.length == engine::DataType::kMaxLength) {
        max_length_ = kPlpMaxLength;
        break;
      }
      const size_t declared = static_cast<size_t>(type.length) * (unicode ? 2 : 1);
      const size_t bytes = std::max<size_t>({declared, needed_bytes, unicode ? 2u : 1u});
      max_length_ = bytes > kMaxInlineBytes ? kPlpMaxLength : static_cast<uint32_t>(bytes);
      break;
    }
  }
}

void ColumnEncoder::PutTypeInfo(std::string& out) const {
  PutU8(out, wire_type_);
  if (IsText(id_)) {
    PutU16(out, static_cast<uint16_t>(max_length_));
    out.append(reinterpret_cast<const char*>(kServerCollation), sizeof kServerCollation);
    return;
  }
  PutU8(out, static_cast<uint8_t>(max_length_));
  if (wire_type_ == kDecimalN) {
    PutU8(out, precision_);
    PutU8(out, scale_);
  }
}

void ColumnEncoder::PutText(std::string& out, const engine::Value& value) const {
  const bool plp = max_length_ == kPlpMaxLength;
  const size_t length_at = out.size();
  if (plp) {
    PutU64(out, 0);
    PutU32(out, 0);
  } else {
    PutU16(out, 0);
  }
  const size_t start = out.size();
  if (engine::IsUnicode(id_)) {
    AppendUtf16(out, value.s());
  } else {
    AppendInCodePage(out, value.s(), kServerCodePage);
  }
  const size_t bytes = out.size() - start;
  if (!plp) {
    out[length_at] = static_cast<char>(bytes);
    out[length_at + 1] = static_cast<char>(bytes >> 8);
    return;
  }
  // One chunk holds the whole value, then the empty terminating chunk.
  for (int i = 0; i < 8; ++i) out[length_at + i] = static_cast<char>(static_cast<uint64_t>(bytes) >> (8 * i));
  for (int i = 0; i < 4; ++i) out[length_at + 8 + i] = static_cast<char>(bytes >> (8 * i));
  if (bytes == 0) out.resize(length_at + 8);
  PutU32(out, 0);
}

void ColumnEncoder::PutValue(std::string& out, const engine::Value& given) const {
  std::string text;
  const bool fits = given.is_null || given.type == engine::TypeId::Null || SameKind(given.type, id_);
  const engine::Value value = fits ? given : Coerce(given, id_, text);
  if (value.is_null || value.type == engine::TypeId::Null) {
    if (!IsText(id_)) {
      PutU8(out, 0);
    } else if (max_length_ == kPlpMaxLength) {
      PutU64(out, kPlpNull);
    } else {
      PutU16(out, kShortNull);
    }
    return;
  }
  switch (id_) {
    case engine::TypeId::Null:
    case engine::TypeId::Int:
    case engine::TypeId::TinyInt:
    case engine::TypeId::SmallInt:
    case engine::TypeId::BigInt:
    case engine::TypeId::Bit:
      PutU8(out, static_cast<uint8_t>(max_length_));
      for (uint32_t i = 0; i < max_length_; ++i) out.push_back(static_cast<char>(static_cast<uint64_t>(value.i) >> (8 * i)));
      return;
    case engine::TypeId::Money: {
      const auto units = static_cast<uint64_t>(static_cast<int64_t>(Rescale(value.dec, value.scale, 4)));
      PutU8(out, 8);
      PutU32(out, static_cast<uint32_t>(units >> 32));
      PutU32(out, static_cast<uint32_t>(units));
      return;
    }
    case engine::TypeId::Decimal: {
      const engine::Int128 unscaled = Rescale(value.dec, value.scale, scale_);
      auto magnitude = static_cast<unsigned __int128>(unscaled < 0 ? -unscaled : unscaled);
      PutU8(out, static_cast<uint8_t>(max_length_));
      PutU8(out, unscaled < 0 ? 0 : 1);
      for (uint32_t i = 1; i < max_length_; ++i) {
        out.push_back(static_cast<char>(static_cast<uint8_t>(magnitude)));
        magnitude >>= 8;
      }
      return;
    }
    case engine::TypeId::Float:
      PutU8(out, 8);
      PutU64(out, std::bit_cast<uint64_t>(value.f));
      return;
    case engine::TypeId::DateTime: {
      int64_t days = value.dt / engine::kTicksPerDay;
      int64_t ticks = value.dt % engine::kTicksPerDay;
      if (ticks < 0) {
        ticks += engine::kTicksPerDay;
        --days;
      }
      PutU8(out, 8);
      PutU32(out, static_cast<uint32_t>(static_cast<int32_t>(days)));
      PutU32(out, static_cast<uint32_t>(ticks));
      return;
    }
    case engine::TypeId::Char:
    case engine::TypeId::VarChar:
    case engine::TypeId::NChar:
    case engine::TypeId::NVarChar:
    case engine::TypeId::Date:  // never: these columns encode as nvarchar
    case engine::TypeId::Time:
    case engine::TypeId::DateTime2:
      PutText(out, value);
      return;
  }
}

std::vector<ColumnEncoder> EncodersFor(const engine::ResultSet& result) {
  std::vector<ColumnEncoder> encoders;
  encoders.reserve(result.column_count());
  std::string scratch;
  for (size_t column = 0; column < result.column_count(); ++column) {
    const engine::DataType& type = result.columns()[column].type;
    size_t needed = 0;
    if (IsText(type.id) && type.length != engine::DataType::kMaxLength) {
      const size_t declared = static_cast<size_t>(type.length) * (engine::IsUnicode(type.id) ? 2 : 1);
      for (size_t row = 0; row < result.row_count(); ++row) {
        const engine::Value& value = result.at(row, column);
        if (!value.is_null && value.type != engine::TypeId::Null) {
          needed = std::max(needed, WireTextBytes(value, type.id, declared, scratch));
        }
      }
    }
    encoders.emplace_back(type, needed);
  }
  return encoders;
}

void PutColMetadata(std::string& out, const TokenFormat& format, const engine::ResultSet& result,
                    const std::vector<ColumnEncoder>& encoders) {
  PutU8(out, kTokenColMetadata);
  PutU16(out, static_cast<uint16_t>(result.column_count()));
  for (size_t i = 0; i < result.column_count(); ++i) {
    const engine::ColumnInfo& column = result.columns()[i];
    if (format.four_byte_user_type) {
      PutU32(out, 0);
    } else {
      PutU16(out, 0);
    }
    PutU16(out, static_cast<uint16_t>((column.nullable ? kFlagNullable : 0) | kFlagUpdateableUnknown));
    encoders[i].PutTypeInfo(out);
    PutBVarChar(out, column.name);
  }
}

void PutRow(std::string& out, const TokenFormat& format, const engine::ResultSet& result, size_t row,
            const std::vector<ColumnEncoder>& encoders) {
  const size_t columns = result.column_count();
  bool any_null = false;
  for (size_t i = 0; i < columns && !any_null; ++i) any_null = result.at(row, i).is_null;
  if (!any_null || !format.null_bitmap_rows) {
    PutU8(out, kTokenRow);
    for (size_t i = 0; i < columns; ++i) encoders[i].PutValue(out, result.at(row, i));
    return;
  }
  PutU8(out, kTokenNbcRow);
  const size_t bitmap_at = out.size();
  out.append((columns + 7) / 8, '\0');
  for (size_t i = 0; i < columns; ++i) {
    const engine::Value& value = result.at(row, i);
    if (value.is_null) {
      out[bitmap_at + i / 8] = static_cast<char>(out[bitmap_at + i / 8] | 1 << (i % 8));
    } else {
      encoders[i].PutValue(out, value);
    }
  }
}

void PutReturnValue(std::string& out, const TokenFormat& format, uint16_t ordinal, std::string_view name,
                    const ColumnEncoder& encoder, const engine::Value& value) {
  PutU8(out, kTokenReturnValue);
  PutU16(out, ordinal);
  PutBVarChar(out, name);
  PutU8(out, 0x01);  // an output parameter
  if (format.four_byte_user_type) {
    PutU32(out, 0);
  } else {
    PutU16(out, 0);
  }
  PutU16(out, kFlagNullable);
  encoder.PutTypeInfo(out);
  encoder.PutValue(out, value);
}

}  // namespace orv::tds
