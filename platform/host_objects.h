// The host's foundation objects that every report uses: the condition
// dictionary the client fills with the user's choices, the text builder in
// which a report collects a batch, and the date formatting of the filters.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/object.h"
#include "platform/variant.h"

namespace orv::platform {

// A string-keyed table of automation values. Keys are kept in insertion order
// and compared exactly (the callers always write a key in the same case).
class ConditionDictionary : public Object {
 public:
  // The value under `key`; Empty when the key is absent.
  Variant Item(std::string_view key) const;
  // Stores `value` under `key`; a key that already exists raises 457.
  void Add(std::string_view key, const Variant& value);
  // Replaces or adds (what a client filling the dialog's choices does).
  void Set(std::string_view key, const Variant& value);
  bool Exists(std::string_view key) const;
  // The value under `key`, or `fallback` when the key is absent.
  Variant GetValue(std::string_view key, const Variant& fallback) const;
  size_t Count() const { return entries_.size(); }
  const std::vector<std::pair<std::string, Variant>>& entries() const { return entries_; }

 private:
  std::vector<std::pair<std::string, Variant>> entries_;
  std::map<std::string, size_t, std::less<>> index_;
};

// A growing text; Append is amortised O(1).
class SqlBuffer {
 public:
  void Append(std::string_view text) { text_.append(text); }
  const std::string& GetText() const { return text_; }

 private:
  std::string text_;
};

// FormatDateText(value, "yyyy-mm-dd"): the value read as a date (a Date, or
// text such as "2024-3-5", "2024/03/05 00:00:00", "2024-03-05") written with
// the pattern's four-digit year, two-digit month and day. Anything that is not
// a date raises 13 (type mismatch).
std::string FormatDateText(const Variant& value, std::string_view pattern);

}  // namespace orv::platform
