// Appending to a result column; see result_column.h.
#include "engine/execution/result_column.h"

namespace orv::engine {
namespace {

uint64_t HighHalf(const Value& value) { return static_cast<uint64_t>(static_cast<unsigned __int128>(value.dec) >> 64); }

}  // namespace

void ResultColumn::Append(const Value& value, StringArena& arena) {
  if (kind_ != Kind::Whole && !Fits(value)) MakeWhole();
  if (kind_ == Kind::Whole) {
    Value kept = value;
    if (!kept.is_null && IsString(kept.type)) kept.set_s(Keep(kept.s(), arena));
    whole_.push_back(kept);
  } else {
    AppendNarrow(value, arena);
  }
  ++rows_;
}

bool ResultColumn::Fits(const Value& value) {
  const Header header{value.type, value.precision, value.scale};
  if (value.is_null) {
    // A NULL reads back with no payload: one that has any is kept whole.
    if (value.length != 0 || value.dec != 0) return false;
    if (!null_seen_) {
      null_ = header;
      null_seen_ = true;
    }
    return header == null_;
  }
  Kind kind = Kind::Narrow;
  if (IsString(value.type)) {
    kind = Kind::Text;
  } else if (value.type == TypeId::Decimal || value.type == TypeId::Money) {
    kind = Kind::Decimal;
    if (value.length != 0) return false;
  } else if (value.length != 0 || HighHalf(value) != 0) {
    return false;
  }
  if (kind_ == Kind::Unset) {
    kind_ = kind;
    shared_ = header;
    PadPayload();
  }
  return kind == kind_ && header == shared_;
}

void ResultColumn::AppendNarrow(const Value& value, StringArena& arena) {
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
}

void ResultColumn::PadPayload() {
  for (size_t r = 0; r < rows_; ++r) {
    switch (kind_) {
      case Kind::Narrow:
        narrow_.push_back(0);
        break;
      case Kind::Decimal:
        decimals_.push_back(0);
        break;
      case Kind::Text:
        texts_.push_back({});
        break;
      case Kind::Unset:
      case Kind::Whole:
        return;
    }
  }
}

void ResultColumn::MakeWhole() {
  for (size_t r = 0; r < rows_; ++r) whole_.push_back(Get(r));
  kind_ = Kind::Whole;
  nulls_.clear();
  narrow_.clear();
  decimals_.clear();
  texts_.clear();
}

std::string_view ResultColumn::Keep(std::string_view text, StringArena& arena) {
  if (text != last_text_) last_text_ = arena.Copy(text);
  return last_text_;
}

}  // namespace orv::engine
