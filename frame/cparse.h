// The session parser: turns the session property string (name=value pairs
// terminated by ";", values holding ";" in braces) into a table with
// case-insensitive names, and answers the other classes' questions about it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace orv::frame {

class CParse {
 public:
  CParse() = default;
  CParse(const CParse&) = delete;
  CParse& operator=(const CParse&) = delete;
  // Releases the table and unloads the current thread's translation loader.
  ~CParse();

  // Stores the string and builds a new table from it; always returns true.
  // Raises 457 (duplicate key) when a name repeats in any letter case; the
  // table then keeps the pairs read so far.
  bool ParseString(std::string_view sToParse);
  // The value stored under the name (any letter case); raises 5 when absent.
  std::string GetProperty(std::string_view sPropName) const;

  const std::string& PropsString() const { return props_string_; }
  std::string ConStr() const { return GetProperty("ConnectString"); }
  std::string ConDBMSName() const { return GetProperty("DBMS Name"); }
  std::string ConDBMSVersion() const { return GetProperty("DBMS Version"); }
  std::string LanguageID() const { return GetProperty("LANGUAGE"); }
  std::string UserName() const { return GetProperty("UserName"); }
  int16_t UserID() const;  // 6 overflow / 13 type mismatch
  bool IsIndustry() const;

 private:
  std::string props_string_;
  std::vector<std::pair<std::string, std::string>> table_;
  std::unordered_map<std::string, size_t> index_;  // case-folded name -> position in table_
};

}  // namespace orv::frame
