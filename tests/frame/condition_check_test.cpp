// The condition check against a small schema that has every kind of key and
// switch: unknown keys and their hints, switches read with their defaults,
// type errors, choices and positions that select nothing, and the closest
// name of a typo.
#include "frame/condition_check.h"

#include <gtest/gtest.h>

#include "frame/closest_name.h"
#include "platform/ole_date.h"
#include "tests/toolkit/condition_dict.h"

namespace orv::frame {
namespace {

using platform::Variant;
using test::Dict;

const ReportSchema& Schema() {
  static const ReportSchema schema{
      "9000001",
      "CRPT9000001",
      "测试",
      {
          {"FChk", ConditionType::Flag, "", "switch with no default"},
          {"FStart", ConditionType::Date, "", "first day", {}, {}, {{"FChk", SwitchState::Checked}}},
          {"FView", ConditionType::Flag, "1", "view, on by default"},
          {"FInView", ConditionType::Flag, "0", "only in the view", {}, {}, {{"FView", SwitchState::NonZero}}},
          {"FOutOfView", ConditionType::Flag, "0", "only outside it", {}, {}, {{"FView", SwitchState::Zero}}},
          {"FGrouped", ConditionType::Flag, "0", "grouped"},
          {"FLevelTo", ConditionType::Integer, "0", "last level", {}, {}, {{"FGrouped", SwitchState::One}}},
          {"FLevelFrom",
           ConditionType::Integer,
           "0",
           "first level",
           {},
           {},
           {{"FGrouped", SwitchState::One}, {"FLevelTo", SwitchState::NonZero}}},
          {"FStatus", ConditionType::Choice, "", "status", {{0, "done"}, {1, "open"}, {2, "all"}}, "everything"},
          {"FGroupByItem", ConditionType::Position, "", "item position"},
          {"FFrom", ConditionType::Text, "", "lower bound"},
      },
      {}};
  return schema;
}

// "E:" or "W:" and the message of every issue, in order.
std::vector<std::string> Issues(const platform::ConditionDictionary& dct, bool allow_unknown = false) {
  std::vector<std::string> texts;
  for (const ConditionIssue& issue : CheckConditions(Schema(), dct, allow_unknown)) {
    texts.push_back((issue.severity == IssueSeverity::Error ? "E:" : "W:") + issue.message);
  }
  return texts;
}

using Texts = std::vector<std::string>;

TEST(ConditionCheck, UnknownKeysAreErrorsWithTheClosestKeyOrWarningsWhenAllowed) {
  EXPECT_EQ(Issues(Dict({{"FStrat", "2024-01-01"}, {"fview", 1}})),
            (Texts{"E:'FStrat' is not a condition of report 9000001; did you mean 'FStart'?",
                   "E:'fview' is not a condition of report 9000001; did you mean 'FView'? (keys are case-sensitive)"}));
  EXPECT_EQ(Issues(Dict({{"FStrat", ""}}), true),
            (Texts{"W:'FStrat' is not a condition of report 9000001; did you mean 'FStart'? It is passed on as "
                   "given."}));
}

TEST(ConditionCheck, AValueWhoseSwitchIsOffIsIgnoredWithTheSwitchNamed) {
  const std::string ignored = "W:FStart=2024-01-01 is ignored: the report reads it only when FChk>0";
  EXPECT_EQ(Issues(Dict({{"FStart", "2024-01-01"}})), Texts{ignored});
  EXPECT_EQ(Issues(Dict({{"FChk", 0}, {"FStart", "2024-01-01"}})), Texts{ignored});
  EXPECT_EQ(Issues(Dict({{"FChk", "-1"}, {"FStart", "2024-01-01"}})), Texts{ignored});
  EXPECT_TRUE(Issues(Dict({{"FChk", "1"}, {"FStart", "2024-01-01"}})).empty());
  // An empty value gives the report nothing to ignore.
  EXPECT_TRUE(Issues(Dict({{"FStart", ""}, {"FFrom", Variant()}})).empty());
  // A switch that is not a number is reported itself; its keys are not judged.
  EXPECT_EQ(Issues(Dict({{"FChk", "yes"}, {"FStart", "2024-01-01"}})),
            Texts{"E:condition FChk='yes' is not a number"});
}

TEST(ConditionCheck, AnAbsentSwitchReadsAsItsDefault) {
  // FView defaults to 1: the view is on unless turned off.
  EXPECT_TRUE(Issues(Dict({{"FInView", 1}})).empty());
  EXPECT_EQ(Issues(Dict({{"FOutOfView", 1}})),
            Texts{"W:FOutOfView=1 is ignored: the report reads it only when FView=0"});
  EXPECT_TRUE(Issues(Dict({{"FView", 0}, {"FOutOfView", 1}})).empty());
  EXPECT_EQ(Issues(Dict({{"FView", 0}, {"FInView", 1}})),
            Texts{"W:FInView=1 is ignored: the report reads it only when FView<>0"});
  // Every switch must hold; the first that does not is named.
  EXPECT_EQ(Issues(Dict({{"FGrouped", 1}, {"FLevelFrom", 2}})),
            Texts{"W:FLevelFrom=2 is ignored: the report reads it only when FLevelTo<>0"});
  EXPECT_EQ(Issues(Dict({{"FGrouped", 2}, {"FLevelFrom", 2}, {"FLevelTo", 3}})),
            (Texts{"W:FLevelFrom=2 is ignored: the report reads it only when FGrouped=1",
                   "W:FLevelTo=3 is ignored: the report reads it only when FGrouped=1"}));
  EXPECT_TRUE(Issues(Dict({{"FGrouped", "1"}, {"FLevelFrom", 2}, {"FLevelTo", 3}})).empty());
}

TEST(ConditionCheck, ValuesMustHaveTheKeysType) {
  const auto on = [](const char* key, Variant value) {
    return Issues(Dict({{"FChk", 1}, {"FGrouped", 1}, {key, value}}));
  };
  EXPECT_EQ(on("FStart", "2024-02-30"), Texts{"E:condition FStart='2024-02-30' is not a date (write yyyy-mm-dd)"});
  EXPECT_EQ(on("FStart", 20240101), Texts{"E:condition FStart='20240101' is not a date (write yyyy-mm-dd)"});
  EXPECT_TRUE(on("FStart", "2024/2/29").empty());
  EXPECT_TRUE(on("FStart", Variant::Date(45292)).empty());
  EXPECT_EQ(on("FLevelTo", "1.5"), Texts{"E:condition FLevelTo='1.5' is not a whole number"});
  EXPECT_EQ(on("FLevelTo", "two"), Texts{"E:condition FLevelTo='two' is not a whole number"});
  EXPECT_TRUE(on("FLevelTo", " 2 ").empty());
  EXPECT_EQ(on("FStatus", "open"), Texts{"E:condition FStatus='open' is not a number"});
  // A text bound takes anything.
  EXPECT_TRUE(on("FFrom", "9' OR '1'='1").empty());
}

TEST(ConditionCheck, ChoicesAndPositionsThatSelectNothingAreWarnings) {
  EXPECT_TRUE(Issues(Dict({{"FStatus", "1"}})).empty());
  EXPECT_TRUE(Issues(Dict({{"FStatus", 2}})).empty());
  const std::string none = " is none of the choices 0 (done), 1 (open), 2 (all), so it selects everything";
  EXPECT_EQ(Issues(Dict({{"FStatus", 7}})), Texts{"W:FStatus=7" + none});
  EXPECT_EQ(Issues(Dict({{"FStatus", "0.5"}})), Texts{"W:FStatus=0.5" + none});
  EXPECT_TRUE(Issues(Dict({{"FGroupByItem", "18"}})).empty());
  EXPECT_EQ(Issues(Dict({{"FGroupByItem", "19"}})),
            Texts{"W:FGroupByItem=19 is no grouping position (0 to 18), so the field is not grouped"});
  EXPECT_EQ(Issues(Dict({{"FGroupByItem", "N"}})),
            Texts{"W:FGroupByItem=N is no grouping position (0 to 18), so the field is not grouped"});
}

TEST(ClosestName, PrefersTheSameLetterAndCountsASwapAsOneEdit) {
  const std::vector<std::string_view> names = {"FBeginDate", "FEndDate", "FBillStatus", "FHookStatus"};
  EXPECT_EQ(ClosestName("FBeginData", names), "FBeginDate");
  EXPECT_EQ(ClosestName("FENDDATE", names), "FEndDate");
  EXPECT_EQ(ClosestName("FBillStauts", names), "FBillStatus");
  EXPECT_EQ(ClosestName("FHook", names), "FHookStatus");
  EXPECT_EQ(ClosestName("anything", {}), "");
}

}  // namespace
}  // namespace orv::frame
