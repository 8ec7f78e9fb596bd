// Range and status conditions as filter predicates (see condition_sql.h).
#include "toolkit/condition_sql.h"

#include "toolkit/sql_literal.h"

namespace orv::toolkit {

namespace {

bool Given(const platform::ConditionDictionary& dct, std::string_view key) { return dct.Item(key).TextLength() != 0; }

std::string DateText(const platform::ConditionDictionary& dct, std::string_view key) {
  return QuoteText(platform::FormatDateText(dct.Item(key), "yyyy-mm-dd"));
}

}  // namespace

std::string BoundPredicates(const platform::ConditionDictionary& dct, std::span<const BoundCondition> bounds) {
  std::string predicates;
  for (const BoundCondition& bound : bounds) {
    const platform::Variant value = dct.Item(bound.key);
    if (value.TextLength() == 0) continue;
    predicates.append(bound.fragment).append(QuoteText(value.ToString())).append("'");
  }
  return predicates;
}

std::string DateRangePredicate(const platform::ConditionDictionary& dct, std::string_view column,
                               std::string_view start_key, std::string_view end_key) {
  const std::string col(column);
  const bool start = Given(dct, start_key);
  const bool end = Given(dct, end_key);
  if (start && end) {
    return " AND ( " + col + ">='" + DateText(dct, start_key) + "'" + " AND " + col + "<='" +
           DateText(dct, end_key) + "' )";
  }
  if (start) return " AND ( " + col + ">='" + DateText(dct, start_key) + "' )";
  if (end) return " AND ( " + col + "<='" + DateText(dct, end_key) + "' )";
  return "";
}

std::string StatusPredicate(const platform::ConditionDictionary& dct, std::string_view key,
                            std::span<const std::string_view> by_value) {
  const platform::Variant value = dct.Item(key);
  if (value.TextLength() == 0 || !platform::GreaterOrEqual(value, platform::Variant(0))) return "";
  for (size_t choice = 0; choice < by_value.size(); ++choice) {
    if (platform::Equals(value, platform::Variant(static_cast<int32_t>(choice)))) return std::string(by_value[choice]);
  }
  return "";
}

}  // namespace orv::toolkit
