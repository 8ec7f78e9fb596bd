// Records of a delimited text file, as BULK INSERT reads them: fields end at
// the field terminator, records at the row terminator. In CSV form a field
// may be quoted, with doubled quotes inside and terminators (CR LF too) kept
// as text. A row terminator of LF also ends a record at CR LF.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

namespace orv::engine {

struct DelimitedFormat {
  bool csv = false;
  std::string field_terminator = "\t";
  std::string row_terminator = "\n";
  char quote = '"';
};

// A field's text: a view into the file's text, or for a quoted field into the
// reader's room for it (quotes undoubled), valid until the next record.
struct DelimitedField {
  std::string_view text;
  bool quoted = false;
};

class DelimitedReader {
 public:
  DelimitedReader(std::string_view text, DelimitedFormat format);
  // The next record; false at the end of the text. `line` is the text line
  // the record starts on. Sets `unterminated` when a quoted field never closes.
  bool Next(std::vector<DelimitedField>& fields, int64_t& line, bool& unterminated);

 private:
  bool AtTerminator(std::string_view terminator) const { return text_.substr(pos_).starts_with(terminator); }
  // The length of the row terminator at pos_, 0 when there is none.
  size_t RowEndAt() const;
  DelimitedField ReadField(bool& unterminated);
  // Moves pos_ to the end of the text, the next field terminator or row end.
  void SkipPlain();
  // A quoted field's text, which the record's other fields do not use.
  std::string& Room();

  std::string_view text_;
  DelimitedFormat format_;
  size_t pos_ = 0;
  int64_t line_ = 1;
  bool stops_[256] = {};  // the bytes a terminator may start with
  std::deque<std::string> rooms_;  // a deque: a room never moves, so views into it hold
  size_t rooms_used_ = 0;
};

// The terminator as written in the statement: \t, \n, \r, \\ and 0xNN escapes.
std::string UnescapeTerminator(std::string_view written);

}  // namespace orv::engine
