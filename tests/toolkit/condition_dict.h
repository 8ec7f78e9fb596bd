// A condition dictionary filled in one expression, as the client's filter
// dialog would hand it over; shared by the toolkit and report tests.
#pragma once

#include <initializer_list>
#include <utility>

#include "platform/host_objects.h"

namespace orv::test {

inline platform::ConditionDictionary Dict(std::initializer_list<std::pair<const char*, platform::Variant>> entries) {
  platform::ConditionDictionary dct;
  for (const auto& [key, value] : entries) dct.Set(key, value);
  return dct;
}

}  // namespace orv::test
