// Results compared value by value: type, precision, scale and NULL kind too,
// which the text of a result does not show.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "engine/engine.h"

namespace orv::engine {

inline std::string Describe(const Value& v) {
  std::string out = std::to_string(static_cast<int>(v.type)) + (v.is_null ? " null" : " value") + " p" +
                    std::to_string(v.precision) + " s" + std::to_string(v.scale);
  return v.is_null ? out : out + " " + FormatValue(v);
}

// The last result set of `sql`; its first error thrown.
inline ResultSet Select(Session& session, const std::string& sql) {
  BatchResult result = session.Execute(sql);
  if (result.first_error()) throw *result.first_error();
  return std::move(result.result_sets.back());
}

inline void ExpectSameValues(const ResultSet& got, const ResultSet& expected) {
  ASSERT_EQ(expected.column_count(), got.column_count());
  ASSERT_EQ(expected.row_count(), got.row_count());
  for (size_t r = 0; r < expected.row_count(); ++r) {
    for (size_t c = 0; c < expected.column_count(); ++c) {
      ASSERT_EQ(Describe(got.at(r, c)), Describe(expected.at(r, c))) << "row " << r << ", column " << c;
    }
  }
}

}  // namespace orv::engine
