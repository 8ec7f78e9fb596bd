// Splitting delimited text into records and fields.
#include "engine/execution/delimited_reader.h"

#include <algorithm>

namespace orv::engine {

DelimitedReader::DelimitedReader(std::string_view text, DelimitedFormat format)
    : text_(text), format_(std::move(format)) {
  if (text_.starts_with("\xEF\xBB\xBF")) pos_ = 3;  // a UTF-8 byte order mark is no data
}

bool DelimitedReader::AcceptRowEnd() {
  if (format_.row_terminator == "\n" && AtTerminator("\r\n")) {
    pos_ += 2;
  } else if (AtTerminator(format_.row_terminator)) {
    pos_ += format_.row_terminator.size();
  } else {
    return false;
  }
  return true;
}

bool DelimitedReader::Next(std::vector<DelimitedField>& fields, int64_t& line, bool& unterminated) {
  fields.clear();
  unterminated = false;
  if (pos_ >= text_.size()) return false;
  line = line_;
  DelimitedField field;
  while (true) {
    if (pos_ >= text_.size()) break;
    if (format_.csv && field.text.empty() && !field.quoted && text_[pos_] == format_.quote) {
      field.quoted = true;
      ++pos_;
      while (true) {
        const size_t close = text_.find(format_.quote, pos_);
        if (close == std::string_view::npos) {
          unterminated = true;
          field.text.append(text_.substr(pos_));
          pos_ = text_.size();
          break;
        }
        field.text.append(text_.substr(pos_, close - pos_));
        pos_ = close + 1;
        if (pos_ < text_.size() && text_[pos_] == format_.quote) {
          field.text.push_back(format_.quote);
          ++pos_;
          continue;
        }
        break;
      }
      line_ += std::count(field.text.begin(), field.text.end(), '\n');
      continue;
    }
    if (AtTerminator(format_.field_terminator)) {
      pos_ += format_.field_terminator.size();
      fields.push_back(std::move(field));
      field = DelimitedField();
      continue;
    }
    if (AcceptRowEnd()) {
      ++line_;
      break;
    }
    field.text.push_back(text_[pos_++]);
  }
  fields.push_back(std::move(field));
  return true;
}

std::string UnescapeTerminator(std::string_view written) {
  if (written.size() > 2 && (written.starts_with("0x") || written.starts_with("0X"))) {
    std::string out;
    for (size_t i = 2; i + 1 < written.size() + 1; i += 2) {
      out.push_back(static_cast<char>(std::stoi(std::string(written.substr(i, 2)), nullptr, 16)));
    }
    return out;
  }
  std::string out;
  for (size_t i = 0; i < written.size(); ++i) {
    if (written[i] != '\\' || i + 1 == written.size()) {
      out.push_back(written[i]);
      continue;
    }
    const char next = written[++i];
    out.push_back(next == 't' ? '\t' : next == 'n' ? '\n' : next == 'r' ? '\r' : next);
  }
  return out;
}

}  // namespace orv::engine
