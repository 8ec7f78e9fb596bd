// Splitting delimited text into records and fields.
#include "engine/execution/delimited_reader.h"

#include <algorithm>

namespace orv::engine {

DelimitedReader::DelimitedReader(std::string_view text, DelimitedFormat format)
    : text_(text), format_(std::move(format)) {
  if (text_.starts_with("\xEF\xBB\xBF")) pos_ = 3;  // a UTF-8 byte order mark is no data
  for (const std::string* terminator : {&format_.field_terminator, &format_.row_terminator}) {
    if (!terminator->empty()) stops_[static_cast<unsigned char>(terminator->front())] = true;
  }
  if (format_.row_terminator == "\n") stops_[static_cast<unsigned char>('\r')] = true;
}

size_t DelimitedReader::RowEndAt() const {
  if (format_.row_terminator == "\n" && AtTerminator("\r\n")) return 2;
  return AtTerminator(format_.row_terminator) ? format_.row_terminator.size() : 0;
}

std::string& DelimitedReader::Room() {
  if (rooms_used_ == rooms_.size()) rooms_.emplace_back();
  std::string& room = rooms_[rooms_used_++];
  room.clear();
  return room;
}

void DelimitedReader::SkipPlain() {
  while (pos_ < text_.size()) {
    if (stops_[static_cast<unsigned char>(text_[pos_])] && (AtTerminator(format_.field_terminator) || RowEndAt() > 0)) {
      return;
    }
    ++pos_;
  }
}

DelimitedField DelimitedReader::ReadField(bool& unterminated) {
  DelimitedField field;
  const size_t start = pos_;
  if (!format_.csv || pos_ >= text_.size() || text_[pos_] != format_.quote) {
    SkipPlain();
    field.text = text_.substr(start, pos_ - start);
    return field;
  }
  field.quoted = true;
  std::string& room = Room();
  ++pos_;
  while (true) {
    const size_t close = text_.find(format_.quote, pos_);
    if (close == std::string_view::npos) {
      unterminated = true;
      room.append(text_.substr(pos_));
      pos_ = text_.size();
      break;
    }
    room.append(text_.substr(pos_, close - pos_));
    pos_ = close + 1;
    if (pos_ < text_.size() && text_[pos_] == format_.quote) {
      room.push_back(format_.quote);
      ++pos_;
      continue;
    }
    break;
  }
  line_ += std::count(room.begin(), room.end(), '\n');
  // Text after the closing quote belongs to the field too.
  const size_t rest = pos_;
  SkipPlain();
  room.append(text_.substr(rest, pos_ - rest));
  field.text = room;
  return field;
}

bool DelimitedReader::Next(std::vector<DelimitedField>& fields, int64_t& line, bool& unterminated) {
  fields.clear();
  rooms_used_ = 0;
  unterminated = false;
  if (pos_ >= text_.size()) return false;
  line = line_;
  while (true) {
    fields.push_back(ReadField(unterminated));
    if (pos_ >= text_.size()) return true;
    if (AtTerminator(format_.field_terminator)) {
      pos_ += format_.field_terminator.size();
      continue;
    }
    pos_ += RowEndAt();  // where SkipPlain stopped if not at a field terminator
    ++line_;
    return true;
  }
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
