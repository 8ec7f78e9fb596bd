// A value spelled out for comparison in tests: type, NULL flag, precision,
// scale and the value itself, so two values that print alike but differ in
// any of these compare unequal.
#pragma once

#include <string>

#include "engine/engine.h"

namespace orv::engine {

inline std::string Describe(const Value& v) {
  std::string out = std::to_string(static_cast<int>(v.type)) + (v.is_null ? " null" : " value") + " p" +
                    std::to_string(v.precision) + " s" + std::to_string(v.scale);
  if (v.is_null) return out;
  if (IsString(v.type)) return out + " '" + std::string(v.s()) + "'";
  return out + " " + FormatValue(v);
}

}  // namespace orv::engine
