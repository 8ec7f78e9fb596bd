// Little-endian bytes for the database file and its log: a writer that
// appends fixed-width numbers, varints, strings and SQL values, and a reader
// that checks every length against what is left, so a damaged record is
// reported (FileDamaged) rather than read past its end.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "engine/common/value.h"
#include "engine/storage/table.h"

namespace orv::engine {

// Thrown by ByteReader on a record that does not parse; the file layer turns
// it into error 824 naming the file.
struct FileDamaged {
  std::string what;
};

class ByteWriter {
 public:
  std::string& bytes() { return out_; }
  void U8(uint8_t v) { out_.push_back(static_cast<char>(v)); }
  void U32(uint32_t v) { Raw(&v, 4); }
  void U64(uint64_t v) { Raw(&v, 8); }
  void Var(uint64_t v) {
    while (v >= 0x80) {
      U8(static_cast<uint8_t>(v | 0x80));
      v >>= 7;
    }
    U8(static_cast<uint8_t>(v));
  }
  void Str(std::string_view s) {
    Var(s.size());
    out_.append(s);
  }
  void Raw(const void* p, size_t n) { out_.append(static_cast<const char*>(p), n); }
  void Val(const Value& v);
  void Type(const DataType& type);
  void ColumnDef(const ColumnSchema& column);
  void Schema(const Table& table);

 private:
  std::string out_;
};

class ByteReader {
 public:
  explicit ByteReader(std::string_view in) : in_(in) {}
  bool done() const { return pos_ == in_.size(); }
  // What is left to read, without reading it.
  std::string_view rest() const { return in_.substr(pos_); }
  uint8_t U8() { return static_cast<uint8_t>(Take(1)[0]); }
  uint32_t U32() {
    uint32_t v;
    std::memcpy(&v, Take(4).data(), 4);
    return v;
  }
  uint64_t U64() {
    uint64_t v;
    std::memcpy(&v, Take(8).data(), 8);
    return v;
  }
  uint64_t Var() {
    // One byte is the common case: row numbers, small deltas, dictionary codes.
    if (pos_ < in_.size() && !(static_cast<uint8_t>(in_[pos_]) & 0x80)) return static_cast<uint8_t>(in_[pos_++]);
    return LongVar();
  }
  // A count of things each at least `unit` bytes long, checked against what is left.
  size_t Count(size_t unit = 1);
  std::string_view Str() { return Take(Var()); }
  std::string_view Take(size_t n) {
    if (n > in_.size() - pos_) throw FileDamaged{"a record ends before its data"};
    std::string_view part = in_.substr(pos_, n);
    pos_ += n;
    return part;
  }
  // Strings point into the reader's input.
  Value Val();
  DataType Type();
  ColumnSchema ColumnDef();
  // A new empty table of the schema written by ByteWriter::Schema.
  std::shared_ptr<Table> Schema();

 private:
  uint64_t LongVar();

  std::string_view in_;
  size_t pos_ = 0;
};

}  // namespace orv::engine
