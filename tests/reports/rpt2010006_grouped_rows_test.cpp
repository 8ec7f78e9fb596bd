// Report 2010006 grouped, run end to end on the tiny demo database: each of
// the four group fields, two fields at once, the department and item levels 1
// to 2 (the typical request is the department's), summary rows only, and a
// level switch without levels; every detail line, every subtotal with its
// sums and label and the grand total, worked out by hand (demo/tiny-expected.md).
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "tests/reports/rpt2010006_lines.h"
#include "tests/toolkit/condition_dict.h"

namespace orv::test::rpt2010006 {
namespace {

using platform::ConditionDictionary;
using platform::Variant;

ResultTable Report(const ConditionDictionary& dct) { return ReadTable(*RunReport(kProgId, TinySession(), &dct)); }

ConditionDictionary Levels(const char* key) {
  return Dict({{key, "0"}, {"FChkLevel", 1}, {"FLvlFrom", 1}, {"FLvlTo", 2}});
}

void ExpectGrouped(const ResultTable& table, const std::vector<RowValues>& details,
                   const std::vector<std::string>& summary_key, const std::vector<RowValues>& summaries) {
  EXPECT_EQ(table.rows.size(), details.size() + summaries.size());
  EXPECT_TRUE(DetailRowsMatch(table, kKey, details));
  EXPECT_TRUE(SummaryRowsMatch(table, summary_key, summaries));
}

// On a grouped field the number and name come from the base data joined to
// the summary: supplier 999 (L8) has none, so NULL rather than the ''
// of its detail row.
std::vector<RowValues> Details(const std::vector<std::string>& level_names = {},
                               std::map<std::string, std::vector<std::string>> (*levels)() = nullptr,
                               const char* level_key = "", bool supplier_grouped = false) {
  std::vector<RowValues> rows = Lines();
  for (RowValues& row : rows) {
    if (supplier_grouped && row["FSupplyID"] == "999") row["FSupplyNumber"] = row["FSupplyName"] = "NULL";
    if (levels) {
      const std::vector<std::string> names = levels().at(row[level_key]);
      for (size_t i = 0; i < level_names.size(); ++i) row[level_names[i]] = names[i];
    }
  }
  return rows;
}

// Sums of the groups (aux / check / amount / tax / carried / left / carried
// bal / left bal; largest precisions) from the line sums of rpt2010006_lines.h:
// L1 0/3/15000/1950/3/0/16950/0; 0,2    L2 1/1/1000/130/1/0/1130/0; 2,4
// L3 2/2/8000/1040/1/1/4520/4520; 0,2   L4 0/1/30/3.9/0/1/0/33.9; 3,3
// L5 0/1/5000/650/0/1/0/5650; 0,2       L6 1/1/1000/130/1/0/1130/0; 2,4
// L7 0/4/1000/130/0/4/0/1130; 1,2       L8 2/2/1600/208/0/0/0/0; 2,2
const Sums kItem303{"0", "4", "20000", "2600", "3", "1", "16950", "5650", "0", "2"};      // L1 + L5
const Sums kItem305{"2", "2", "2000", "260", "2", "0", "2260", "0", "2", "4"};           // L2 + L6
const Sums kSupplier402{"2", "6", "22000", "2860", "5", "1", "19210", "5650", "2", "4"};  // L1 + L2 + L5 + L6
const Sums kUser202{"1", "5", "21000", "2730", "4", "1", "18080", "5650", "2", "4"};      // L1 + L5 + L6
const Sums kUser203{"3", "3", "2600", "338", "1", "0", "1130", "0", "2", "4"};            // L2 + L8
const Sums kUser204{"2", "7", "9030", "1173.9", "1", "6", "4520", "5683.9", "3", "3"};    // L3 + L4 + L7
const Sums kDept102{"3", "4", "7600", "988", "1", "1", "1130", "5650", "2", "4"};         // L5 + L6 + L8
const Sums kDept104{"1", "8", "17000", "2210", "4", "4", "18080", "1130", "2", "4"};      // L1 + L2 + L7
const Sums kDept105{"2", "3", "8030", "1043.9", "1", "2", "4520", "4553.9", "3", "3"};    // L3 + L4
const Sums kDeptLevel01{"4", "12", "24600", "3198", "5", "5", "19210", "6780", "2", "4"};  // 102 + 104
// Items 303 + 304 (L1 L5 L3), the level-1 groups 01 (L1 L2 L3 L5 L6) and 02 (L4 L7 L8).
const Sums kItemLevel0101{"2", "6", "28000", "3640", "4", "2", "21470", "10170", "0", "2"};
const Sums kItemLevel01{"4", "8", "30000", "3900", "6", "2", "23730", "10170", "2", "4"};
const Sums kItemLevel02{"2", "7", "2630", "341.9", "0", "5", "0", "1163.9", "3", "3"};

// --- Without a level range ----------------------------------------------------------

TEST(Rpt2010006Grouped, ItemSubtotalsPerItemFromTheReportIdentifier) {
  // Group list T1.FItemID, T1.FRptID: FRptID rolled up (102) is one row per item.
  const ResultTable table = Report(Dict({{"FGroupByItem", "0"}}));
  EXPECT_EQ(table.columns, Columns({kItemColumns, kSupplierColumns, kAppUserColumns, kDeptColumns}));
  auto item = [&](const char* id, const char* number, const char* label, const Sums& sums) {
    return SummaryRow(table, "102", sums, {{"FItemID", id}, {"FItemNumber", number}, {"FItemName", label}});
  };
  ExpectGrouped(table, Details(), {"FSumSort", "FItemID"},
                {item("303", "01.01.001", "笔记本电脑(小计)", kItem303), item("305", "01.02", "打印机(小计)", kItem305),
                 item("304", "01.01.002", "台式机(小计)", LineSums(L3)), item("308", "02.002", "Ergo Chair(小计)", LineSums(L4)),
                 item("309", "02.003", "文件柜(小计)", LineSums(L7)), item("307", "02.001", "办公桌(小计)", LineSums(L8)),
                 SummaryRow(table, "101", kAllLines, {{"FItemName", "(合计)"}})});
}

TEST(Rpt2010006Grouped, SupplierWithoutBaseRowHasNoNumberAndAnEmptyName) {
  const ResultTable table = Report(Dict({{"FGroupBySupply", "0"}, {"FChkLevel", 0}}));
  EXPECT_EQ(table.columns, Columns({kSupplierColumns, kAppUserColumns, kDeptColumns, kItemColumns}));
  auto supplier = [&](const char* id, const char* number, const char* label, const Sums& sums) {
    return SummaryRow(table, "102", sums, {{"FSupplyID", id}, {"FSupplyNumber", number}, {"FSupplyName", label}});
  };
  ExpectGrouped(table, Details({}, nullptr, "", true), {"FSumSort", "FSupplyID"},
                {supplier("402", "01.001", "上海精工有限公司(小计)", kSupplier402),
                 supplier("405", "02.001  ", "北京远大贸易(小计)", LineSums(L3)),
                 supplier("403", "01.002", "O'Neil Trading(小计)", LineSums(L4)),
                 supplier("406", "00", "Acme 直供(小计)", LineSums(L7)),
                 supplier("999", "NULL", "(小计)", LineSums(L8)),
                 SummaryRow(table, "101", kAllLines, {{"FSupplyName", "(合计)"}})});
}

TEST(Rpt2010006Grouped, RequisitionerAndDepartment) {
  const ResultTable users = Report(Dict({{"FGroupByAppUser", "0"}}));
  EXPECT_EQ(users.columns, Columns({kAppUserColumns, kSupplierColumns, kDeptColumns, kItemColumns}));
  auto user = [&](const char* id, const char* number, const char* label, const Sums& sums) {
    return SummaryRow(users, "102", sums, {{"FAppUserID", id}, {"FAppUserNumber", number}, {"FAppUserName", label}});
  };
  ExpectGrouped(users, Details(), {"FSumSort", "FAppUserID"},
                {user("202", "01.001", "张伟(小计)", kUser202), user("203", "01.002", "Pat O'Brien(小计)", kUser203),
                 user("204", "02", "李娜(小计)", kUser204),
                 SummaryRow(users, "101", kAllLines, {{"FAppUserName", "(合计)"}})});

  const ResultTable depts = Report(Dict({{"FGroupByUseDept", "0"}}));
  EXPECT_EQ(depts.columns, Columns({kDeptColumns, kSupplierColumns, kAppUserColumns, kItemColumns}));
  auto dept = [&](const char* id, const char* number, const char* label, const Sums& sums) {
    return SummaryRow(depts, "102", sums, {{"FUseDeptID", id}, {"FUseDeptNumber", number}, {"FUseDeptName", label}});
  };
  ExpectGrouped(depts, Details(), {"FSumSort", "FUseDeptID"},
                {dept("102", "01.01", "行政部(小计)", kDept102), dept("104", "01.02.001", "设备科(小计)", kDept104),
                 dept("105", "02", "Sales Dept(小计)", kDept105),
                 SummaryRow(depts, "101", kAllLines, {{"FUseDeptName", "(合计)"}})});
}

// Supplier then item: 103 per supplier and item (label in the item name),
// 102 per supplier (in the supplier name), 101 in the supplier name.
std::vector<RowValues> SupplierItemSummaries(const ResultTable& table) {
  auto pair = [&](Line line, const char* supplier_number, const char* supplier_name, const char* item_label,
                  const Sums& sums) {
    const RowValues& source = Lines().at(line);
    return SummaryRow(table, "103", sums,
                      {{"FSupplyID", source.at("FSupplyID")}, {"FSupplyNumber", supplier_number},
                       {"FSupplyName", supplier_name}, {"FItemID", source.at("FItemID")},
                       {"FItemNumber", source.at("FItemNumber")}, {"FItemName", item_label}});
  };
  auto supplier = [&](const char* id, const char* number, const char* label, const Sums& sums) {
    return SummaryRow(table, "102", sums, {{"FSupplyID", id}, {"FSupplyNumber", number}, {"FSupplyName", label}});
  };
  return {pair(L1, "01.001", "上海精工有限公司", "笔记本电脑(小计)", kItem303),
          pair(L2, "01.001", "上海精工有限公司", "打印机(小计)", kItem305),
          pair(L3, "02.001  ", "北京远大贸易", "台式机(小计)", LineSums(L3)),
          pair(L4, "01.002", "O'Neil Trading", "Ergo Chair(小计)", LineSums(L4)),
          pair(L7, "00", "Acme 直供", "文件柜(小计)", LineSums(L7)),
          pair(L8, "NULL", "NULL", "办公桌(小计)", LineSums(L8)),
          supplier("402", "01.001", "上海精工有限公司(小计)", kSupplier402),
          supplier("405", "02.001  ", "北京远大贸易(小计)", LineSums(L3)),
          supplier("403", "01.002", "O'Neil Trading(小计)", LineSums(L4)),
          supplier("406", "00", "Acme 直供(小计)", LineSums(L7)),
          supplier("999", "NULL", "(小计)", LineSums(L8)),
          SummaryRow(table, "101", kAllLines, {{"FSupplyName", "(合计)"}})};
}

TEST(Rpt2010006Grouped, SupplierThenItemSubtotalsBothLevels) {
  const ResultTable table = Report(Dict({{"FGroupBySupply", "0"}, {"FGroupByItem", "1"}}));
  EXPECT_EQ(table.columns, Columns({kSupplierColumns, kItemColumns, kAppUserColumns, kDeptColumns}));
  ExpectGrouped(table, Details({}, nullptr, "", true), {"FSumSort", "FSupplyID", "FItemID"},
                SupplierItemSummaries(table));
}

TEST(Rpt2010006Grouped, ShowSumReturnsOnlyTheSummaryRows) {
  const ResultTable table = Report(Dict({{"FGroupBySupply", "0"}, {"FGroupByItem", "1"}, {"FShowSum", 1}}));
  EXPECT_EQ(table.rows.size(), 12u);
  EXPECT_TRUE(table.RowsWithSumSort("0").empty());
  EXPECT_TRUE(SummaryRowsMatch(table, {"FSumSort", "FSupplyID", "FItemID"}, SupplierItemSummaries(table)));
}

TEST(Rpt2010006Grouped, LevelSwitchWithoutLevelsLeavesTheTotalUnlabelled) {
  const ResultTable table = Report(Dict({{"FGroupByUseDept", "0"}, {"FChkLevel", 1}, {"FLvlTo", 0}}));
  EXPECT_EQ(table.rows.size(), 12u);
  const std::vector<size_t> total = table.RowsWithSumSort("101");
  ASSERT_EQ(total.size(), 1u);
  EXPECT_TRUE(RowMatches(table, total[0], SummaryRow(table, "101", kAllLines)));
  // The subtotals keep their labels.
  for (size_t row : table.RowsWithSumSort("102")) {
    EXPECT_NE(table.Cell(row, "FUseDeptName").find("(小计)"), std::string::npos);
  }
}

// --- Levels 1 to 2 ------------------------------------------------------------------

const std::vector<std::string> kLevelNames = {"FName1", "FName2"};

// Departments: 102 (01.01) and 104 (01.02.001) under 01 总公司; 105 (02) at level 1.
std::map<std::string, std::vector<std::string>> DeptLevels() {
  return {{"102", {"总公司", "行政部"}}, {"104", {"总公司", "工程部"}}, {"105", {"Sales Dept", "NULL"}}};
}

// Items: 303, 304 under 01 电子设备 / 01.01 计算机; 305 (01.02) is itself at level 2;
// 307, 308, 309 (02.00x) under 02 办公家具 at level 2.
std::map<std::string, std::vector<std::string>> ItemLevels() {
  return {{"303", {"电子设备", "计算机"}}, {"304", {"电子设备", "计算机"}}, {"305", {"电子设备", "打印机"}},
          {"307", {"办公家具", "办公桌"}}, {"308", {"办公家具", "Ergo Chair"}}, {"309", {"办公家具", "文件柜"}}};
}

// A level-path summary row: the two level names and `values`.
RowValues LevelRow(const ResultTable& table, const char* sum_sort, const Sums& sums, const char* name1,
                   const char* name2, std::map<std::string, std::string> values = {}) {
  values["FName1"] = name1;
  values["FName2"] = name2;
  return SummaryRow(table, sum_sort, sums, values);
}

std::vector<RowValues> DeptLevelSummaries(const ResultTable& table) {
  auto dept = [&](const char* name1, const char* name2, const char* id, const char* number, const char* label,
                  const Sums& sums) {
    return LevelRow(table, "104", sums, name1, name2,
                    {{"FUseDeptID", id}, {"FUseDeptNumber", number}, {"FUseDeptName", label}});
  };
  // 104: FRptID rolled up, one per department, label in its name; 103: the
  // department rolled up, label in FName2; 120: FName2 rolled up, label in
  // FName1 (written in #TmpResult with the total's); 101: FName1 (合计).
  return {dept("总公司", "行政部", "102", "01.01", "行政部(小计)", kDept102),
          dept("总公司", "工程部", "104", "01.02.001", "设备科(小计)", kDept104),
          dept("Sales Dept", "NULL", "105", "02", "Sales Dept(小计)", kDept105),
          LevelRow(table, "103", kDept102, "总公司", "行政部(小计)"),
          LevelRow(table, "103", kDept104, "总公司", "工程部(小计)"),
          LevelRow(table, "103", kDept105, "Sales Dept", "(小计)"),
          LevelRow(table, "120", kDeptLevel01, "总公司(小计)", "NULL"),
          LevelRow(table, "120", kDept105, "Sales Dept(小计)", "NULL"),
          LevelRow(table, "101", kAllLines, "(合计)", "NULL")};
}

TEST(Rpt2010006GroupedLevels, TypicalRequestDepartmentLevelsOneToTwo) {
  const ResultTable table = Report(Levels("FGroupByUseDept"));
  EXPECT_EQ(table.columns, Columns({kLevelNames, kDeptColumns, kSupplierColumns, kAppUserColumns, kItemColumns}));
  ExpectGrouped(table, Details(kLevelNames, DeptLevels, "FUseDeptID"), {"FSumSort", "FName1", "FName2", "FUseDeptID"},
                DeptLevelSummaries(table));
}

TEST(Rpt2010006GroupedLevels, ShowSumWithLevels) {
  ConditionDictionary dct = Levels("FGroupByUseDept");
  dct.Set("FShowSum", "1");
  const ResultTable table = Report(dct);
  EXPECT_EQ(table.rows.size(), 9u);
  EXPECT_TRUE(SummaryRowsMatch(table, {"FSumSort", "FName1", "FName2", "FUseDeptID"}, DeptLevelSummaries(table)));
}

TEST(Rpt2010006GroupedLevels, ItemLevelsThreeDeepAndAnItemAtLevelTwo) {
  const ResultTable table = Report(Levels("FGroupByItem"));
  EXPECT_EQ(table.columns, Columns({kLevelNames, kItemColumns, kSupplierColumns, kAppUserColumns, kDeptColumns}));
  auto item = [&](Line line, const char* label, const Sums& sums) {
    const RowValues& source = Lines().at(line);
    const std::vector<std::string> names = ItemLevels().at(source.at("FItemID"));
    return LevelRow(table, "104", sums, names[0].c_str(), names[1].c_str(),
                    {{"FItemID", source.at("FItemID")}, {"FItemNumber", source.at("FItemNumber")}, {"FItemName", label}});
  };
  ExpectGrouped(table, Details(kLevelNames, ItemLevels, "FItemID"), {"FSumSort", "FName1", "FName2", "FItemID"},
                {item(L1, "笔记本电脑(小计)", kItem303), item(L3, "台式机(小计)", LineSums(L3)),
                 item(L2, "打印机(小计)", kItem305), item(L8, "办公桌(小计)", LineSums(L8)),
                 item(L4, "Ergo Chair(小计)", LineSums(L4)), item(L7, "文件柜(小计)", LineSums(L7)),
                 LevelRow(table, "103", kItemLevel0101, "电子设备", "计算机(小计)"),
                 LevelRow(table, "103", kItem305, "电子设备", "打印机(小计)"),
                 LevelRow(table, "103", LineSums(L8), "办公家具", "办公桌(小计)"),
                 LevelRow(table, "103", LineSums(L4), "办公家具", "Ergo Chair(小计)"),
                 LevelRow(table, "103", LineSums(L7), "办公家具", "文件柜(小计)"),
                 LevelRow(table, "120", kItemLevel01, "电子设备(小计)", "NULL"),
                 LevelRow(table, "120", kItemLevel02, "办公家具(小计)", "NULL"),
                 LevelRow(table, "101", kAllLines, "(合计)", "NULL")});
}

}  // namespace
}  // namespace orv::test::rpt2010006
