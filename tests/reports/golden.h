// Golden files of the report SQL: the expected batch text, written by hand and
// stored with its CR LF line breaks, compared byte for byte with what the
// routines produce; a mismatch names the first differing line.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

namespace orv::test {

inline std::string ReadGolden(const std::string& relative) {
  std::ifstream in(std::string(ORV_SOURCE_DIR) + "/tests/reports/" + relative, std::ios::binary);
  EXPECT_TRUE(in.good()) << "missing golden file " << relative;
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

inline ::testing::AssertionResult MatchesGolden(const std::string& actual, const std::string& relative) {
  const std::string expected = ReadGolden(relative);
  if (actual == expected) return ::testing::AssertionSuccess();
  size_t at = 0;
  while (at < actual.size() && at < expected.size() && actual[at] == expected[at]) ++at;
  const size_t line_start = expected.rfind('\n', at == 0 ? 0 : at - 1);
  const size_t from = line_start == std::string::npos ? 0 : line_start + 1;
  return ::testing::AssertionFailure() << relative << ": first difference at byte " << at << "\n expected: ["
                                       << expected.substr(from, at - from + 40) << "]\n actual:   ["
                                       << actual.substr(from, at - from + 40) << "]";
}

}  // namespace orv::test
