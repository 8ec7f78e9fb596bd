// How the user's conditions become predicates of a report filter: a bound
// counts when its value has text and then stands alone as its fragment, the
// value (apostrophes doubled) and the closing quote; a date range is one
// parenthesised group holding the bounds that are given; a status picks one
// fixed predicate by its value.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "platform/host_objects.h"

namespace orv::toolkit {

struct BoundCondition {
  std::string_view key;
  std::string_view fragment;  // the value and its closing quote follow
};

// The predicates of the bounds that `dct` gives, in the order of `bounds`, on
// one line. Values are read with Item: an absent key reads as empty, exactly
// as a read with the default "" would, so the bound is skipped. Values go in as
// they are (no trimming, no date formatting).
std::string BoundPredicates(const platform::ConditionDictionary& dct, std::span<const BoundCondition> bounds);

// " AND ( col>='start' AND col<='end' )" when both dates are given, the one
// bound given in a group of its own, or "". Dates are written yyyy-mm-dd; a
// value that is no date raises 13 (type mismatch).
std::string DateRangePredicate(const platform::ConditionDictionary& dct, std::string_view column,
                               std::string_view start_key, std::string_view end_key);

// The predicate of a status condition. The status is chosen when its value
// (Item) has text and is 0 or more; the value 0, 1, 2, ... then picks
// by_value[0], [1], [2], ...; any other value, an empty one included, adds
// nothing. A value that is no number raises 13 (type mismatch).
std::string StatusPredicate(const platform::ConditionDictionary& dct, std::string_view key,
                            std::span<const std::string_view> by_value);

}  // namespace orv::toolkit
