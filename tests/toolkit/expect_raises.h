// Checks that a call raises an automation error with the given number and,
// when one is given, the given source; a call that returns is a failure.
#pragma once

#include <gtest/gtest.h>

#include <string_view>

#include "platform/automation_error.h"

namespace orv::test {

template <typename Call>
void ExpectRaises(Call&& call, int32_t number, std::string_view source = {}) {
  try {
    call();
    ADD_FAILURE() << "no error raised, expected " << number;
  } catch (const platform::AutomationError& e) {
    EXPECT_EQ(e.number(), number) << e.description();
    if (!source.empty()) {
      EXPECT_EQ(e.source(), source);
    }
  }
}

}  // namespace orv::test
