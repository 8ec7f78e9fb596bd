// Column chunks: null bits, dictionary or plain text, delta-coded numbers.
#include "engine/catalog/column_codec.h"

#include <unordered_map>

namespace orv::engine {
namespace {

enum class TextCoding : uint8_t { Plain = 0, Dictionary = 1 };

uint64_t ZigZag(int64_t v) { return (static_cast<uint64_t>(v) << 1) ^ static_cast<uint64_t>(v >> 63); }
int64_t UnZigZag(uint64_t v) { return static_cast<int64_t>(v >> 1) ^ -static_cast<int64_t>(v & 1); }

// The 16 payload bytes of a value that is not text, as two 64-bit halves.
void Halves(const Value& v, uint64_t& low, uint64_t& high) {
  const char* payload = reinterpret_cast<const char*>(&v) + offsetof(Value, i);
  std::memcpy(&low, payload, 8);
  std::memcpy(&high, payload + 8, 8);
}

void EncodeText(const std::vector<std::string_view>& texts, ByteWriter& out) {
  std::unordered_map<std::string_view, uint32_t> codes;
  codes.reserve(texts.size());  // no rehash as the codes come
  std::vector<std::string_view> dictionary;
  std::vector<uint32_t> indexes;
  indexes.reserve(texts.size());
  for (std::string_view text : texts) {
    auto [it, fresh] = codes.emplace(text, static_cast<uint32_t>(dictionary.size()));
    if (fresh) dictionary.push_back(text);
    indexes.push_back(it->second);
  }
  if (dictionary.size() * 2 > texts.size()) {
    out.U8(static_cast<uint8_t>(TextCoding::Plain));
    for (std::string_view text : texts) out.Str(text);
    return;
  }
  out.U8(static_cast<uint8_t>(TextCoding::Dictionary));
  out.Var(dictionary.size());
  for (std::string_view text : dictionary) out.Str(text);
  for (uint32_t index : indexes) out.Var(index);
}

}  // namespace

void EncodeColumnChunk(const Table& table, size_t column, size_t first, size_t count, ByteWriter& out) {
  const Column& source = table.column(column);
  // Two passes over the column, the null bits and then the values, rather than
  // a copy of the chunk's values in between.
  const size_t bits_at = out.bytes().size();
  out.bytes().append((count + 7) / 8, '\0');
  Value v;
  for (size_t r = 0; r < count; ++r) {
    source.Read(first + r, v);
    if (v.is_null) out.bytes()[bits_at + r / 8] |= static_cast<char>(1u << (r % 8));
  }
  if (IsString(source.type().id)) {
    std::vector<std::string_view> texts;
    texts.reserve(count);
    for (size_t r = 0; r < count; ++r) {
      source.Read(first + r, v);
      if (!v.is_null) texts.push_back(v.s());
    }
    EncodeText(texts, out);
    return;
  }
  uint64_t previous = 0;
  for (size_t r = 0; r < count; ++r) {
    source.Read(first + r, v);
    if (v.is_null) continue;
    uint64_t low, high;
    Halves(v, low, high);
    out.Var(ZigZag(static_cast<int64_t>(low - previous)));
    out.Var(ZigZag(static_cast<int64_t>(high)));
    previous = low;
  }
}

void DecodeColumnChunk(ByteReader& in, Column& column, size_t count) {
  const std::string_view bits = in.Take((count + 7) / 8);
  auto is_null = [&](size_t r) { return ((static_cast<uint8_t>(bits[r / 8]) >> (r % 8)) & 1) != 0; };
  if (IsString(column.type().id)) {
    const auto coding = static_cast<TextCoding>(in.U8());
    // The text is copied into the arena in one piece (for plain text with its
    // length bytes); the views appended point into that copy.
    const std::string_view source = in.rest();
    std::string_view kept;
    auto keep = [&](std::string_view text) {
      return kept.substr(static_cast<size_t>(text.data() - source.data()), text.size());
    };
    if (coding == TextCoding::Plain) {
      kept = column.KeepText(source);
      for (size_t r = 0; r < count; ++r) {
        const bool null = is_null(r);
        column.AppendLoadedText(null, null ? std::string_view() : keep(in.Str()));
      }
    } else if (coding == TextCoding::Dictionary) {
      std::vector<std::string_view> dictionary(in.Count());
      for (std::string_view& text : dictionary) text = in.Str();
      kept = column.KeepText(source.substr(0, source.size() - in.rest().size()));
      for (std::string_view& text : dictionary) text = keep(text);
      std::vector<uint32_t> indices(count, Column::kNoRow);
      for (size_t r = 0; r < count; ++r) {
        if (is_null(r)) continue;
        const uint64_t index = in.Var();
        if (index >= dictionary.size()) throw FileDamaged{"a text code is outside its dictionary"};
        indices[r] = static_cast<uint32_t>(index);
      }
      column.AppendLoadedTexts(dictionary, indices.data(), count);
    } else {
      throw FileDamaged{"a column chunk of an unknown coding"};
    }
    return;
  }
  uint64_t previous = 0;
  for (size_t r = 0; r < count; ++r) {
    if (is_null(r)) {
      column.AppendLoaded(true, 0, 0);
      continue;
    }
    const uint64_t low = previous + static_cast<uint64_t>(UnZigZag(in.Var()));
    const auto high = static_cast<uint64_t>(UnZigZag(in.Var()));
    column.AppendLoaded(false, low, high);
    previous = low;
  }
}

}  // namespace orv::engine
