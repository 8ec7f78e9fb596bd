// The JSON API as the pages use it: the report list and dialogs, a run's
// rows with their kinds and captions, bad conditions, exports and the limit
// on runs at once.
#include <algorithm>
#include <cmath>
#include <set>
#include <string>
#include <vector>

#include "http/report_dialog.h"
#include "http/viewer_texts.h"
#include "platform/host_objects.h"
#include "reports/report_catalog.h"
#include "results/recordset_table.h"
#include "results/report_run.h"
#include "tests/http/service_fixture.h"

namespace orv::http::test {
namespace {

class ApiTest : public ServiceTest {};

// A decimal text in ten-thousandths, exactly ("1614.38" -> 16143800).
long long TenThousandths(const std::string& text) {
  const size_t point = text.find('.');
  std::string digits = text.substr(0, point);
  std::string fraction = point == std::string::npos ? "" : text.substr(point + 1);
  fraction.resize(4, '0');
  const bool negative = digits.starts_with('-');
  const long long value = std::stoll(negative ? digits.substr(1) : digits) * 10000 + std::stoll(fraction);
  return negative ? -value : value;
}

size_t ColumnOf(const nlohmann::json& result, const std::string& name) {
  for (size_t c = 0; c < result.at("columns").size(); ++c) {
    if (result["columns"][c]["name"] == name) return c;
  }
  ADD_FAILURE() << "no column " << name;
  return 0;
}

TEST_F(ApiTest, ListsTheReportsAndBuildsTheirDialogsInTheSessionLanguage) {
  Start();
  LogIn("en");
  const nlohmann::json list = nlohmann::json::parse(Get("/api/reports")->body);
  ASSERT_EQ(list.size(), 5u);
  EXPECT_EQ(list[0]["number"], "2010001");
  EXPECT_EQ(list[0]["title"], "Asset Purchase Invoices");
  // The list carries each report's condition keys with their types, defaults and meanings.
  const nlohmann::json& expense = list[1];
  ASSERT_EQ(expense["number"], "2010002");
  const nlohmann::json& grouped = expense["conditions"][7];
  EXPECT_EQ(grouped["key"], "FChkGroupBy");
  EXPECT_EQ(grouped["type"], "flag");
  EXPECT_EQ(grouped["default"], "0");
  EXPECT_EQ(grouped["meaning"], "1 groups the lines with subtotals; otherwise the lines and one total row");

  const nlohmann::json dialog = nlohmann::json::parse(Get("/api/reports/2010002")->body);
  EXPECT_EQ(dialog["conditions"], expense["conditions"]);
  const nlohmann::json& start = dialog.at("conditions").at(0);
  EXPECT_EQ(start["key"], "FStartDate");
  EXPECT_EQ(start["type"], "date");
  EXPECT_EQ(start["label"], "Date");
  const auto bill_status = std::find_if(dialog["conditions"].begin(), dialog["conditions"].end(),
                                        [](const nlohmann::json& c) { return c["key"] == "FBillStatus"; });
  ASSERT_NE(bill_status, dialog["conditions"].end());
  EXPECT_EQ((*bill_status)["type"], "choice");
  EXPECT_EQ((*bill_status)["choices"][0], (nlohmann::json{{"value", 0}, {"label", "Audited"}}));
  EXPECT_EQ((*bill_status)["default"], "");  // absent, it selects what any other value does: every invoice
  EXPECT_EQ((*bill_status)["other_label"], "All");
  // The expense report groups by one option at a time, each written as its own key.
  EXPECT_EQ(dialog["grouping"]["mode"], "single");
  EXPECT_EQ(dialog["grouping"]["switch"], "FChkGroupBy");
  EXPECT_EQ(dialog["grouping"]["options"][1],
            (nlohmann::json{{"key", "FGroupBySupplyType"}, {"value", 1}, {"label", "By supplier level"}}));
  EXPECT_EQ(Get("/api/reports/9999999")->status, 404);

  // The same dialog after a change of language.
  ASSERT_EQ(Post("/api/language", R"({"language":"cht"})")->status, 200);
  const nlohmann::json traditional = nlohmann::json::parse(Get("/api/reports/2010002")->body);
  EXPECT_EQ(traditional["conditions"][0]["label"], "日期");
  EXPECT_EQ(traditional["grouping"]["options"][0]["label"], "按供應商");
  EXPECT_EQ(Post("/api/language", R"({"language":"fr"})")->status, 400);
}

// A text missing from the English table would show in Chinese: every page
// text, dialog label and column caption in English is plain ASCII.
TEST_F(ApiTest, EveryPageTextDialogLabelAndCaptionHasItsEnglish) {
  const auto ascii = [](const std::string& text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
  };
  const nlohmann::json english = ViewerTexts("en");
  for (const auto& [name, text] : english.items()) EXPECT_TRUE(ascii(text.get<std::string>())) << name;
  for (const frame::ReportSchema* schema : reports::ReportSchemas()) {
    const nlohmann::json dialog = ReportDialogJson(*schema, "en");
    EXPECT_TRUE(ascii(dialog["title"].get<std::string>())) << schema->number;
    for (const nlohmann::json& condition : dialog["conditions"]) {
      EXPECT_TRUE(ascii(condition["label"].get<std::string>())) << condition["key"];
      EXPECT_TRUE(ascii(condition["other_label"].get<std::string>())) << condition["key"];
      for (const nlohmann::json& choice : condition["choices"]) {
        EXPECT_TRUE(ascii(choice["label"].get<std::string>())) << condition["key"];
      }
    }
    for (const nlohmann::json& column : dialog["columns"]) {
      EXPECT_TRUE(ascii(column["caption"].get<std::string>())) << schema->number << " " << column["name"];
    }
  }
  // The traditional table changes what differs from the simplified text.
  EXPECT_EQ(ViewerTexts("cht")["moreRows"], "顯示更多行（已顯示 {0}）");
  EXPECT_EQ(ViewerTexts("chs")["moreRows"], "显示更多行（已显示 {0}）");
}

TEST_F(ApiTest, AGroupedRunMarksSubtotalsThatAddUpTheirLines) {
  Start();
  LogIn("en");
  const nlohmann::json reply = Run("2010002", {{"FChkGroupBy", 1}, {"FGroupBySupply", 0}});
  const nlohmann::json& result = reply.at("result");
  EXPECT_EQ(result["title"], "Asset Purchase Expense Invoices");
  const size_t amount = ColumnOf(result, "FAmountFor");
  EXPECT_EQ(result["columns"][amount]["numeric"], true);
  for (const nlohmann::json& column : result["columns"]) {
    EXPECT_NE(column["name"], "FSumSort");  // internal columns stay on the server
  }
  // Each subtotal is the sum of the lines since the one before; the total of all lines.
  long long since_subtotal = 0;
  long long all = 0;
  size_t subtotals = 0;
  for (const nlohmann::json& row : result["rows"]) {
    const long long value = row["cells"][amount].is_null() ? 0 : TenThousandths(row["cells"][amount]);
    if (row["kind"] == "detail") {
      since_subtotal += value;
      all += value;
    } else if (row["kind"] == "subtotal") {
      EXPECT_EQ(row["level"], 1);
      EXPECT_EQ(value, since_subtotal);
      since_subtotal = 0;
      ++subtotals;
    } else {
      EXPECT_EQ(row["kind"], "total");
      EXPECT_EQ(value, all);
    }
  }
  EXPECT_GT(subtotals, 1u);
  EXPECT_EQ(result["rows"].back()["kind"], "total");
  EXPECT_EQ(result["rows"].back()["cells"][1], "(Total)");
}

TEST_F(ApiTest, NumbersAreRoundedByTheirRowsPrecision) {
  Start();
  LogIn("chs");
  const nlohmann::json result = Run("2010001", nlohmann::json::object()).at("result");
  EXPECT_EQ(result["columns"][0]["caption"], "日期");
  // The same rows raw, with the precision columns the grid leaves out.
  const frame::ReportSchema& schema = *reports::FindReportSchema("2010001");
  const results::ResultTable raw = results::Materialize(results::RecordsetRows(results::RunReportClass(
      schema, "ConnectString={" + config_.connect_string + "};Language=chs;", platform::ConditionDictionary())));
  ASSERT_EQ(raw.rows.size(), result["rows"].size());
  const auto raw_column = [&](std::string_view name) {
    for (size_t c = 0; c < raw.columns.size(); ++c) {
      if (raw.columns[c].name == name) return c;
    }
    ADD_FAILURE() << "no raw column " << name;
    return size_t{0};
  };
  // Every number with a precision column shows exactly that row's decimals, and
  // differs from the raw value (ten decimals) by at most half its last place.
  std::set<std::string> precisions_seen;
  size_t checked = 0;
  for (const frame::ColumnCaption& column : schema.columns) {
    if (column.precision_column.empty()) continue;
    const size_t shown = ColumnOf(result, std::string(column.column));
    const size_t value = raw_column(column.column);
    const size_t precision = raw_column(column.precision_column);
    for (size_t r = 0; r < raw.rows.size(); ++r) {
      const results::Cell& places = raw.rows[r][precision];
      if (result["rows"][r]["cells"][shown].is_null() || places.kind != results::CellKind::Integer) continue;
      const std::string text = result["rows"][r]["cells"][shown];
      const size_t point = text.find('.');
      const int decimals = point == std::string::npos ? 0 : static_cast<int>(text.size() - point - 1);
      ASSERT_EQ(decimals, std::stoi(places.text)) << column.column << " row " << r << ": " << text;
      // (A hair above the half, for a tie in binary floating point.)
      const long double half_place = 0.5L * std::pow(10.0L, -decimals) * (1 + 1e-9L);
      EXPECT_LE(std::fabs(std::stold(text) - std::stold(raw.rows[r][value].text)), half_place)
          << column.column << " row " << r;
      precisions_seen.insert(places.text);
      ++checked;
    }
  }
  EXPECT_GT(checked, 100u);
  EXPECT_GT(precisions_seen.size(), 1u);  // the demo's rows differ in their decimals
}

TEST_F(ApiTest, BadConditionsAreNamedAndNothingRuns) {
  Start();
  LogIn("en");
  const nlohmann::json unknown = Run("2010001", {{"FBeginDat", "2024-01-01"}}, 400);
  EXPECT_EQ(unknown["error"], "The filter is wrong");
  ASSERT_EQ(unknown["issues"].size(), 1u);
  EXPECT_EQ(unknown["issues"][0]["key"], "FBeginDat");
  EXPECT_NE(unknown["issues"][0]["message"].get<std::string>().find("FBeginDate"), std::string::npos);
  EXPECT_TRUE(Run("2010001", {{"FBeginDate", nlohmann::json::array()}}, 400).contains("error"));
  const httplib::Result not_json = Post("/api/reports/2010001/run", "{conditions:");
  ASSERT_TRUE(not_json);
  EXPECT_EQ(not_json->status, 400);
  EXPECT_EQ(Post("/api/reports/2010001/run", "[1,2]")->status, 400);
}

TEST_F(ApiTest, ExportsMatchTheGridsColumnsAndOrder) {
  Start();
  LogIn("en");
  const nlohmann::json reply = Run("2010002", {{"FChkGroupBy", 1}, {"FGroupBySupply", 0}});
  const std::string run = reply.at("run");
  const nlohmann::json& result = reply["result"];
  const size_t bill = ColumnOf(result, "FBillNo");
  const size_t amount = ColumnOf(result, "FAmountFor");
  const httplib::Result csv =
      Get("/api/runs/" + run + "/export?format=csv&columns=" + std::to_string(bill) + "," + std::to_string(amount));
  ASSERT_TRUE(csv);
  ASSERT_EQ(csv->status, 200);
  EXPECT_EQ(csv->get_header_value("Content-Disposition"), "attachment; filename=\"2010002.csv\"");
  const std::string expected_head =
      "\xEF\xBB\xBF"
      "Bill Number,Amount (Original Currency)\r\n";
  EXPECT_EQ(csv->body.substr(0, expected_head.size()), expected_head);
  const nlohmann::json& first = result["rows"][0]["cells"];
  EXPECT_EQ(csv->body.substr(expected_head.size())
                .substr(0, csv->body.find("\r\n", expected_head.size()) - expected_head.size()),
            first[bill].get<std::string>() + "," + first[amount].get<std::string>());
  // One line per row, then the closing line break.
  EXPECT_EQ(static_cast<size_t>(std::count(csv->body.begin(), csv->body.end(), '\n')), result["rows"].size() + 1);

  const httplib::Result xlsx =
      Get("/api/runs/" + run + "/export?format=xlsx&sort=" + std::to_string(amount) + "&desc=1");
  ASSERT_TRUE(xlsx);
  ASSERT_EQ(xlsx->status, 200);
  EXPECT_EQ(xlsx->body.substr(0, 2), "PK");  // a zip, as every workbook is

  for (const std::string bad : {"format=pdf", "format=csv&columns=999", "format=csv&columns=1,,2", "format=csv&sort=-1",
                                "format=csv&columns=99999999999999999999"}) {
    const httplib::Result refused = Get("/api/runs/" + run + "/export?" + bad);
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->status, 400) << bad;
  }
  EXPECT_EQ(Get("/api/runs/0123456789abcdef/export?format=csv")->status, 404);
}

TEST_F(ApiTest, AResultBeyondTheRowLimitIsRefusedWithAHint) {
  config_.max_result_rows = 3;
  Start();
  LogIn("cht");
  EXPECT_EQ(Run("2010001", nlohmann::json::object(), 422)["error"], "結果超過 3 行，請縮小過濾條件");
  // No item number sorts before "!": no line, only the total row, which fits.
  EXPECT_EQ(Run("2010001", {{"FItemTo", "!"}})["result"]["row_count"], 1);
}

TEST_F(ApiTest, ARunBeyondTheLimitIsToldTheServiceIsBusy) {
  config_.max_concurrent_runs = 0;  // every place taken
  Start();
  LogIn("en");
  EXPECT_EQ(Run("2010001", nlohmann::json::object(), 503)["error"], "The server is busy; try again later");
}

}  // namespace
}  // namespace orv::http::test
