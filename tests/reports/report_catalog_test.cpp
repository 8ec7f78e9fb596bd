// The report schemas as data that must agree with the reports: every key of
// the running reports' filters changes their SQL exactly as the schema says
// (its switches, its choices), every schema is well-formed, every caption and
// title has its translations, and the lookups by name and caption work.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <nlohmann/json.hpp>
#include <set>

#include "platform/class_registry.h"
#include "reports/report_catalog.h"
#include "reports/rpt2010001/sql_routines.h"
#include "reports/rpt2010002/sql_routines.h"
#include "reports/rpt2010005/sql_routines.h"
#include "tests/toolkit/condition_dict.h"

namespace orv::reports {
namespace {

using frame::ConditionKey;
using frame::ConditionType;
using frame::ReportSchema;
using frame::SwitchState;
using platform::ConditionDictionary;
using platform::Variant;

using SqlOf = std::function<std::string(const ConditionDictionary&)>;

std::string Sql2010001(const ConditionDictionary& dct) {
  platform::SqlBuffer buffer;
  rpt2010001::GetDataSQL(buffer, &dct, "#T", "chs");
  return buffer.GetText();
}

std::string Sql2010002(const ConditionDictionary& dct) { return rpt2010002::GetFilterSQL(&dct); }

std::string Sql2010005(const ConditionDictionary& dct) { return rpt2010005::GetFilterSQL(&dct); }

// A value that turns the switch on or, with `on` false, off.
Variant SwitchValue(SwitchState state, bool on) {
  switch (state) {
    case SwitchState::Checked:
    case SwitchState::One:
    case SwitchState::NonZero:
      return Variant(on ? 1 : 0);
    case SwitchState::Zero:
      return Variant(on ? 0 : 1);
  }
  return Variant();
}

Variant SampleValue(const ConditionKey& key) {
  switch (key.type) {
    case ConditionType::Date:
      return Variant("2024-02-29");
    case ConditionType::Integer:
    case ConditionType::Flag:
    case ConditionType::Position:
      return Variant(1);
    case ConditionType::Choice:
      return Variant(key.choices.front().value);
    case ConditionType::Text:
      break;
  }
  return Variant("FDate");  // a sort column for SortFields, a bound elsewhere
}

// Every switch of the schema on; the choice keys at a value that selects everything.
ConditionDictionary Neutral(const ReportSchema& schema) {
  ConditionDictionary dct;
  for (const ConditionKey& key : schema.conditions) {
    for (const frame::ConditionSwitch& condition_switch : key.switches) {
      dct.Set(condition_switch.key, SwitchValue(condition_switch.state, true));
    }
  }
  for (const ConditionKey& key : schema.conditions) {
    if (key.type == ConditionType::Choice) dct.Set(key.key, Variant(99));
  }
  return dct;
}

bool IsSwitch(const ReportSchema& schema, const ConditionKey& key) {
  for (const ConditionKey& other : schema.conditions) {
    for (const auto& condition_switch : other.switches) {
      if (condition_switch.key == key.key) return true;
    }
  }
  return false;
}

// `sql` gives the text that the keys of `schema` shape; with `filter_only`
// the grouping keys and their switches are left out (they shape later batches).
void ExpectSchemaMatchesSql(const ReportSchema& schema, const SqlOf& sql, bool filter_only = false) {
  const ConditionDictionary neutral = Neutral(schema);
  const std::string base = sql(neutral);
  const auto in_filter = [&](const ConditionKey& key) {
    return key.switches.empty() && !IsSwitch(schema, key) && key.type != ConditionType::Position;
  };
  for (const ConditionKey& key : schema.conditions) {
    if (!key.switches.empty() || key.type == ConditionType::Choice || IsSwitch(schema, key)) continue;
    if (filter_only && !in_filter(key)) continue;
    ConditionDictionary dct = neutral;
    dct.Set(key.key, SampleValue(key));
    EXPECT_NE(sql(dct), base) << schema.number << ": the report does not read " << key.key;
  }
  for (const ConditionKey& key : schema.conditions) {
    if (key.switches.empty() || filter_only) continue;
    ConditionDictionary on = neutral;
    on.Set(key.key, SampleValue(key));
    EXPECT_NE(sql(on), base) << schema.number << ": " << key.key << " does nothing with its switches on";
    for (const frame::ConditionSwitch& condition_switch : key.switches) {
      ConditionDictionary off = on;
      off.Set(condition_switch.key, SwitchValue(condition_switch.state, false));
      ConditionDictionary off_without = neutral;
      off_without.Set(condition_switch.key, SwitchValue(condition_switch.state, false));
      EXPECT_EQ(sql(off), sql(off_without))
          << schema.number << ": " << key.key << " is read although " << condition_switch.key << " is off";
    }
  }
  for (const ConditionKey& key : schema.conditions) {
    if (key.type != ConditionType::Choice) continue;
    for (const frame::ConditionChoice& choice : key.choices) {
      ConditionDictionary dct = neutral;
      dct.Set(key.key, Variant(choice.value));
      EXPECT_EQ(sql(dct) == base, choice.meaning == key.other_choices)
          << schema.number << ": " << key.key << "=" << choice.value << " (" << choice.meaning << ")";
    }
  }
}

TEST(ReportSchemas, EveryKeyOfTheRunningReportsDoesWhatItsSchemaSays) {
  ExpectSchemaMatchesSql(rpt2010001::Schema(), Sql2010001);
  ExpectSchemaMatchesSql(rpt2010005::Schema(), Sql2010005);
  ExpectSchemaMatchesSql(rpt2010002::Schema(), Sql2010002, true);
}

TEST(ReportSchemas, AreWellFormed) {
  ASSERT_EQ(ReportSchemas().size(), 5u);
  for (const ReportSchema* schema : ReportSchemas()) {
    std::set<std::string_view> keys;
    for (const ConditionKey& key : schema->conditions) {
      EXPECT_TRUE(keys.insert(key.key).second) << schema->number << " repeats " << key.key;
      EXPECT_EQ(key.type == ConditionType::Choice, !key.choices.empty()) << key.key;
      EXPECT_EQ(key.type == ConditionType::Choice, !key.other_choices.empty()) << key.key;
      EXPECT_FALSE(key.meaning.empty()) << key.key;
    }
    for (const ConditionKey& key : schema->conditions) {
      for (const frame::ConditionSwitch& condition_switch : key.switches) {
        const ConditionKey* target = schema->FindCondition(condition_switch.key);
        ASSERT_NE(target, nullptr) << schema->number << ": " << key.key << " switched by a missing key";
        EXPECT_NE(target->type, ConditionType::Text) << condition_switch.key;
      }
    }
    std::set<std::string_view> columns;
    for (const frame::ColumnCaption& column : schema->columns) {
      EXPECT_TRUE(columns.insert(column.column).second) << schema->number << " repeats " << column.column;
      if (column.precision_column.empty()) continue;
      const frame::ColumnCaption* precision = schema->FindColumn(column.precision_column);
      ASSERT_NE(precision, nullptr) << column.column;
      EXPECT_TRUE(precision->internal) << column.precision_column;
    }
    const frame::ColumnCaption* sum_sort = schema->FindColumn("fsumsort");
    ASSERT_NE(sum_sort, nullptr) << schema->number;
    EXPECT_TRUE(sum_sort->internal);
  }
}

nlohmann::json Table(const std::string& language) {
  std::ifstream file(std::string(ORV_SOURCE_DIR) + "/platform/resources/Quensa." + language + ".json");
  return nlohmann::json::parse(file);
}

TEST(ReportSchemas, EveryCaptionAndTitleHasItsTranslations) {
  const nlohmann::json traditional = Table("cht");
  const nlohmann::json english = Table("en");
  std::vector<std::string> texts = {"第{0}级代码", "第{0}级名称"};
  for (const ReportSchema* schema : ReportSchemas()) {
    texts.emplace_back(schema->title);
    for (const frame::ColumnCaption& column : schema->columns) texts.emplace_back(column.caption);
  }
  for (const std::string& text : texts) {
    EXPECT_TRUE(traditional.contains(text)) << text;
    ASSERT_TRUE(english.contains(text)) << text;
    const std::string translated = english[text].get<std::string>();
    EXPECT_TRUE(std::all_of(translated.begin(), translated.end(), [](char c) { return c > 0; }))
        << text << " -> " << translated;
  }
}

TEST(ReportSchemas, FoundByNumberClassOrProgIdAndCaptionedInTheSessionLanguage) {
  platform::RegisterPlatformClasses();  // the translations come through the resource loader
  EXPECT_EQ(FindReportSchema("2010005"), &rpt2010005::Schema());
  EXPECT_EQ(FindReportSchema("crpt2010005"), &rpt2010005::Schema());
  EXPECT_EQ(FindReportSchema("Orvalent.CRPT2010007"), &rpt2010007::Schema());
  EXPECT_EQ(FindReportSchema("2010004"), nullptr);
  EXPECT_EQ(FindReportSchema("CDataRead"), nullptr);
  EXPECT_EQ(FindReportSchema("Orvalent."), nullptr);

  const ReportSchema& requisitions = rpt2010006::Schema();
  EXPECT_EQ(ColumnCaptionText(requisitions, "FCheckQty", "chs"), "领用数量");
  EXPECT_EQ(ColumnCaptionText(requisitions, "fcheckqty", "cht"), "領用數量");
  EXPECT_EQ(ColumnCaptionText(requisitions, "FCheckQty", "en"), "Requisitioned Quantity");
  // Level columns of the grouped reports carry their level.
  EXPECT_EQ(ColumnCaptionText(requisitions, "FName2", "en"), "Level 2 Name");
  EXPECT_EQ(ColumnCaptionText(requisitions, "FNumber12", "cht"), "第12級代碼");
  EXPECT_EQ(ColumnCaptionText(requisitions, "FNameX", "en"), "FNameX");
  EXPECT_EQ(ColumnCaptionText(requisitions, "FName", "en"), "FName");
  EXPECT_EQ(ReportTitle(requisitions, "en"), "Asset Requisitions");
}

}  // namespace
}  // namespace orv::reports
