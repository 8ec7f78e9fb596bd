// Records of a delimited text file, as BULK INSERT reads them: fields end at
// the field terminator, records at the row terminator. In CSV form a field
// may be quoted, with doubled quotes inside and terminators (CR LF too) kept
// as text. A row terminator of LF also ends a record at CR LF.
#pragma once

#include <cstdint>
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

struct DelimitedField {
  std::string text;
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
  // Moves past a row terminator at pos_, if one is there.
  bool AcceptRowEnd();

  std::string_view text_;
  DelimitedFormat format_;
  size_t pos_ = 0;
  int64_t line_ = 1;
};

// The terminator as written in the statement: \t, \n, \r, \\ and 0xNN escapes.
std::string UnescapeTerminator(std::string_view written);

}  // namespace orv::engine
