// The demo database loads on the embedded engine at the tiny and small scales,
// and what the reports rely on holds in the loaded data: every line has its
// header, every source field names an existing line of the right document
// class, and the references the reports copy into NOT NULL columns resolve.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "demo/demo_database.h"
#include "engine/engine.h"
#include "platform/embedded_provider.h"

namespace orv::demo {
namespace {

// One loaded database per scale, shared by the tests of that scale.
engine::Session& LoadedSession(Scale scale) {
  static std::map<Scale, std::unique_ptr<engine::Session>> sessions;
  auto found = sessions.find(scale);
  if (found != sessions.end()) return *found->second;
  auto session = std::make_unique<engine::Session>(std::make_shared<engine::Database>("demo"));
  LoadDemo(*session, scale);
  return *sessions.emplace(scale, std::move(session)).first->second;
}

// The single value of a one-row query, as the client tools show it.
std::string Scalar(engine::Session& session, const std::string& sql) {
  engine::BatchResult result = session.Execute(sql);
  if (result.first_error()) return "error " + std::to_string(result.first_error()->number()) + ": " + result.first_error()->message();
  if (result.result_sets.empty() || result.result_sets.back().row_count() != 1) return "no single row";
  return engine::FormatValue(result.result_sets.back().at(0, 0));
}

struct Check {
  std::string what;
  std::string sql;  // counts the rows that break the rule
};

std::vector<Check> IntegrityChecks() {
  std::vector<Check> checks;
  const std::vector<std::pair<std::string, std::string>> lines_and_heads = {
      {"ICPurChaseEntry", "ICPurChase"},
      {"AA_AssetsExpenseInvoiceEntry", "AA_AssetsExpenseInvoice"},
      {"AA_HookLogEntry", "AA_HookLog"},
      {"AA_AssetsAppEntry", "AA_AssetsApp"},
      {"AA_AssetsProcurementEntry", "AA_AssetsProcurement"},
      {"AA_AssetsInspecEntry", "AA_AssetsInspec"},
      {"AA_AssetsAcceptanceEntry", "AA_AssetsAcceptance"},
      {"CIP_AssetsApplicationEntry", "CIP_AssetsApplication"}};
  for (const auto& [lines, head] : lines_and_heads) {
    const std::string key = lines == "ICPurChaseEntry" ? "FInterID" : "FID";
    checks.push_back({lines + " lines have their header", "SELECT COUNT(*) FROM " + lines + " e LEFT JOIN " + head +
                                                               " h ON h." + key + " = e." + key + " WHERE h." +
                                                               key + " IS NULL"});
  }
  // Source fields: the class names the earlier document, whose line and bill number match.
  struct Source {
    int document_class;
    std::string lines, head;
  };
  const std::vector<Source> sources = {{1200001, "AA_AssetsAppEntry", "AA_AssetsApp"},
                                       {1200002, "AA_AssetsProcurementEntry", "AA_AssetsProcurement"},
                                       {1200003, "AA_AssetsInspecEntry", "AA_AssetsInspec"},
                                       {1200004, "AA_AssetsAcceptanceEntry", "AA_AssetsAcceptance"}};
  const std::vector<std::pair<std::string, std::string>> followers = {
      {"AA_AssetsProcurementEntry", "1200001"},
      {"AA_AssetsInspecEntry", "1200002"},
      {"AA_AssetsAcceptanceEntry", "1200002,1200003"},
      {"CIP_AssetsApplicationEntry", "1200001,1200004"}};
  for (const auto& [lines, allowed] : followers) {
    checks.push_back({lines + " sources are of the classes the chain allows",
                      "SELECT COUNT(*) FROM " + lines + " WHERE FClassID_SRC NOT IN (0," + allowed + ")"});
    for (const Source& source : sources) {
      checks.push_back({lines + " sources of class " + std::to_string(source.document_class) + " resolve",
                        "SELECT COUNT(*) FROM " + lines + " x LEFT JOIN " + source.lines +
                            " s ON s.FID = x.FID_SRC AND s.FEntryID = x.FEntryID_SRC LEFT JOIN " + source.head +
                            " h ON h.FID = s.FID WHERE x.FClassID_SRC = " + std::to_string(source.document_class) +
                            " AND (h.FBillNo IS NULL OR h.FBillNo <> x.FBillNo_SRC)"});
    }
  }
  checks.push_back({"hook log entries name expense invoice lines",
                    "SELECT COUNT(*) FROM AA_HookLogEntry x LEFT JOIN AA_AssetsExpenseInvoiceEntry e ON e.FID = "
                    "x.FID_SRC AND e.FEntryID = x.FEntryID_SRC WHERE x.FClassID_SRC <> 1200006 OR e.FID IS NULL"});
  checks.push_back({"asset purchase invoice lines name existing suppliers and items",
                    "SELECT COUNT(*) FROM ICPurChase u INNER JOIN ICPurChaseEntry v ON u.FInterID = v.FInterID "
                    "LEFT JOIN t_Supplier s ON s.FItemID = u.FSupplyID LEFT JOIN t_ICItem i ON i.FItemID = v.FItemID "
                    "WHERE u.FSubSystemID = 3 AND (s.FItemID IS NULL OR i.FItemID IS NULL)"});
  checks.push_back({"requisition lines name existing items, units, requisitioners and base units",
                    "SELECT COUNT(*) FROM CIP_AssetsApplication ca INNER JOIN CIP_AssetsApplicationEntry ce ON "
                    "ca.FID = ce.FID LEFT JOIN t_ICItem tc ON tc.FItemID = ce.FItemID "
                    "LEFT JOIN t_MeasureUnit tm ON tm.FMeasureUnitID = tc.FUnitID "
                    "LEFT JOIN t_MeasureUnit tm2 ON tm2.FMeasureUnitID = ce.FUnitID "
                    "LEFT JOIN t_Emp te ON te.FItemID = ca.FApplyID LEFT JOIN t_User tu ON tu.FUserID = ca.FCheckerID "
                    "WHERE tc.FItemID IS NULL OR tm.FName IS NULL OR tm2.FName IS NULL OR te.FItemID IS NULL "
                    "OR (ca.FCheckerID > 0 AND tu.FUserID IS NULL) OR ce.FCheckQty IS NULL"});
  checks.push_back({"expense invoices name existing checkers",
                    "SELECT COUNT(*) FROM AA_AssetsExpenseInvoice aa "
                    "LEFT JOIN t_User tu ON tu.FUserID = aa.FCheckerID WHERE aa.FCheckerID > 0 AND tu.FUserID IS NULL"});
  const std::vector<std::pair<std::string, int>> entity_tables = {
      {"t_Supplier", 8}, {"t_Department", 2}, {"t_Emp", 3}, {"t_ICItem", 4}, {"t_Fee", 2014}};
  for (const auto& [table, item_class] : entity_tables) {
    checks.push_back({table + " rows are detail items of class " + std::to_string(item_class),
                      "SELECT COUNT(*) FROM " + table + " x LEFT JOIN t_Item i ON i.FItemID = x.FItemID AND "
                      "i.FItemClassID = " + std::to_string(item_class) +
                          " AND i.FNumber = x.FNumber AND i.FDetail = 1 WHERE i.FItemID IS NULL"});
  }
  checks.push_back({"every numbered item below the top has a non-detail parent",
                    "SELECT COUNT(*) FROM t_Item c WHERE CHARINDEX('.', c.FNumber) > 0 AND NOT EXISTS (SELECT 1 "
                    "FROM t_Item p WHERE p.FItemClassID = c.FItemClassID AND p.FDetail = 0 AND "
                    "c.FNumber LIKE p.FNumber + '.%')"});
  checks.push_back({"every non-detail item has children",
                    "SELECT COUNT(*) FROM t_Item p WHERE p.FDetail = 0 AND NOT EXISTS (SELECT 1 FROM t_Item c "
                    "WHERE c.FItemClassID = p.FItemClassID AND c.FNumber LIKE p.FNumber + '.%')"});
  return checks;
}

class DemoLoad : public ::testing::TestWithParam<Scale> {};

TEST_P(DemoLoad, ReferencesTheReportsFollowResolve) {
  engine::Session& session = LoadedSession(GetParam());
  for (const Check& check : IntegrityChecks()) EXPECT_EQ(Scalar(session, check.sql), "0") << check.what;
}

TEST_P(DemoLoad, ViewsShowTheirClassOfItems) {
  engine::Session& session = LoadedSession(GetParam());
  for (const auto& [view, item_class] : std::vector<std::pair<std::string, std::string>>{
           {"t_Base_BudgetItem", "2035"}, {"t_Base_ProjectItem", "2036"}, {"t_Base_RespCenter", "2040"},
           {"t_Base_SpecialProject", "2041"}}) {
    EXPECT_EQ(Scalar(session, "SELECT COUNT(*) FROM " + view),
              Scalar(session, "SELECT COUNT(*) FROM t_Item WHERE FItemClassID = " + item_class))
        << view;
  }
}

// The requisition report guards what it copies into NOT NULL columns: the
// data holds a case of each, so a report that stops guarding one fails.
TEST_P(DemoLoad, DocumentsHoldTheEdgeRowsTheReportsGuard) {
  engine::Session& session = LoadedSession(GetParam());
  const std::string lines = "FROM CIP_AssetsApplication ca INNER JOIN CIP_AssetsApplicationEntry ce ON ca.FID = ce.FID ";
  const std::vector<std::pair<std::string, std::string>> edges = {
      {"an item without a secondary unit",
       lines + "INNER JOIN t_ICItem tc ON tc.FItemID = ce.FItemID LEFT JOIN t_MeasureUnit tm3 ON "
               "tm3.FMeasureUnitID = tc.FSecUnitID WHERE tm3.FMeasureUnitID IS NULL"},
      {"a biller no longer in t_User",
       lines + "LEFT JOIN t_User tu2 ON tu2.FUserID = ca.FBiller WHERE tu2.FUserID IS NULL"},
      {"a line with no downstream record",
       lines + "WHERE ce.FCIPQty IS NULL AND ce.FFAQty IS NULL AND ce.FLVCQty IS NULL"},
      {"a requisitioning department three levels deep",
       lines + "INNER JOIN t_Department td ON td.FItemID = ca.FApplyDeptID WHERE td.FNumber LIKE '%.%.%'"},
      {"an application entered by a user no longer in t_User",
       "FROM AA_AssetsApp aa LEFT JOIN t_User tu2 ON tu2.FUserID = aa.FBiller WHERE tu2.FUserID IS NULL"}};
  for (const auto& [what, from] : edges) {
    EXPECT_NE(Scalar(session, "SELECT COUNT(*) " + from), "0") << what;
  }
}

INSTANTIATE_TEST_SUITE_P(Scales, DemoLoad, ::testing::Values(Scale::Tiny, Scale::Small),
                         [](const auto& info) { return std::string(ScaleName(info.param)); });

TEST(DemoLoadTiny, HoldsEveryRowOfTheFixture) {
  engine::Session& session = LoadedSession(Scale::Tiny);
  const std::vector<std::pair<std::string, std::string>> counts = {
      {"t_Item", "33"},          {"t_ICItem", "6"},        {"ICPurChase", "7"},
      {"ICPurChaseEntry", "8"},  {"AA_AssetsProcurementEntry", "6"}, {"CIP_AssetsApplicationEntry", "8"},
      {"AA_HookLogEntry", "3"},  {"AA_AssetsExpenseInvoiceEntry", "6"},  {"t_Base_BudgetItem", "2"}};
  for (const auto& [table, count] : counts) EXPECT_EQ(Scalar(session, "SELECT COUNT(*) FROM " + table), count) << table;
  // Values that must survive the load byte for byte.
  EXPECT_EQ(Scalar(session, "SELECT FNumber + '|' FROM t_Supplier WHERE FItemID = 405"), "02.001  |");
  EXPECT_EQ(Scalar(session, "SELECT FName FROM t_Supplier WHERE FItemID = 403"), "O'Neil Trading");
  EXPECT_EQ(Scalar(session, "SELECT FDate FROM ICPurChase WHERE FInterID = 1004"), "2024-03-31 10:30:00.000");
  EXPECT_EQ(Scalar(session, "SELECT FRealTaxPrice FROM AA_AssetsProcurementEntry WHERE FID = 2002"), "28.8150000000");
}

TEST(DemoLoadSmall, HoldsThousandsOfDocumentLines) {
  engine::Session& session = LoadedSession(Scale::Small);
  const std::string lines = Scalar(
      session,
      "SELECT (SELECT COUNT(*) FROM ICPurChaseEntry) + (SELECT COUNT(*) FROM AA_AssetsExpenseInvoiceEntry) + "
      "(SELECT COUNT(*) FROM AA_AssetsAppEntry) + (SELECT COUNT(*) FROM AA_AssetsProcurementEntry) + "
      "(SELECT COUNT(*) FROM AA_AssetsInspecEntry) + (SELECT COUNT(*) FROM AA_AssetsAcceptanceEntry) + "
      "(SELECT COUNT(*) FROM CIP_AssetsApplicationEntry)");
  EXPECT_GT(std::stoi(lines), 4000) << lines;
}

TEST(DemoRegistry, NamedDatabasesOpenThroughTheEmbeddedProvider) {
  RegisterDemoDatabases();
  engine::Session session(platform::GetDatabaseInstance("demo-tiny"));
  EXPECT_EQ(Scalar(session, "SELECT COUNT(*) FROM ICPurChaseEntry"), "8");
  EXPECT_EQ(session.database().name(), "demo-tiny");
}

}  // namespace
}  // namespace orv::demo
