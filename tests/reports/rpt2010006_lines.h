// The requisition lines of the tiny demo database as report 2010006 lists
// them (demo/tiny-expected.md), their measures and the sums of the groups,
// shared by the row tests of the report with and without grouping.
#pragma once

#include <initializer_list>
#include <map>
#include <string>
#include <vector>

#include "tests/reports/report_fixture.h"

namespace orv::test::rpt2010006 {

inline constexpr std::string_view kProgId = "Orvalent.CRPT2010006";

// L1 to L8: requisition/line 6001/1, 6002/1, 6003/1, 6003/2, 6004/1, 6004/2, 6005/1, 6006/1.
enum Line { L1, L2, L3, L4, L5, L6, L7, L8 };

// The columns of #AA_Rpt2010006 that the result returns, column by column.
inline const std::vector<RowValues>& Lines() {
  static const std::vector<RowValues> lines = RowsFromColumns({
      {"FDate", {"2024-01-28", "2024-02-05", "2024-02-20", "2024-02-20", "2024-03-05", "2024-03-05", "2024-03-18",
                 "2024-03-25"}},
      {"FMultiCheckStatus", {"是", "否", "是", "是", "是", "是", "否", "是"}},
      {"FSource", {"资产采购", "资产采购", "仓库", "仓库", "仓库", "仓库", "资产采购", "仓库"}},
      {"FBillNo", {"ZCLY000001", "ZCLY000002", "ZCLY000003", "ZCLY000003", "ZCLY000004", "ZCLY000004", "ZCLY000005",
                   "ZCLY000006"}},
      {"FProjectID", {"651", "651", "0", "0", "0", "0", "651", "0"}},
      {"FProjectNumber", {"01", "01", "", "", "", "", "01", ""}},
      {"FItemID", {"303", "305", "304", "308", "303", "305", "309", "307"}},
      {"FItemNumber", {"01.01.001", "01.02", "01.01.002", "02.002", "01.01.001", "01.02", "02.003", "02.001"}},
      {"FItemName", {"笔记本电脑", "打印机", "台式机", "Ergo Chair", "笔记本电脑", "打印机", "文件柜", "办公桌"}},
      {"FItemModel", {"T14", "LJ-2000", "", "EC-01", "T14", "LJ-2000", "FC-3", "1.6m"}},
      {"FBaseUnit", {"台", "台", "台", "把", "台", "台", "张", "张"}},
      {"FUnit", {"台", "箱", "张", "把", "台", "箱", "张", "张"}},
      {"FAuxUnit", {"台", "箱", "台", "把", "台", "箱", "", "张"}},
      {"FSecCoefficient", {"0", "12", "1", "0", "0", "12", "NULL", "1"}},
      {"FAuxQty", {"0", "1", "2", "0", "0", "1", "NULL", "2"}},
      {"FSupplyID", {"402", "402", "405", "403", "402", "402", "406", "999"}},
      {"FSupplyNumber", {"01.001", "01.001", "02.001  ", "01.002", "01.001", "01.001", "00", ""}},
      {"FSupplyName", {"上海精工有限公司", "上海精工有限公司", "北京远大贸易", "O'Neil Trading", "上海精工有限公司",
                       "上海精工有限公司", "Acme 直供", ""}},
      {"FUseDeptID", {"104", "104", "105", "105", "102", "102", "104", "102"}},
      {"FUseDeptNumber", {"01.02.001", "01.02.001", "02", "02", "01.01", "01.01", "01.02.001", "01.01"}},
      {"FUseDeptName", {"设备科", "设备科", "Sales Dept", "Sales Dept", "行政部", "行政部", "设备科", "行政部"}},
      {"FAppUserID", {"202", "203", "204", "204", "202", "202", "204", "203"}},
      {"FAppUserNumber", {"01.001", "01.002", "02", "02", "01.001", "01.001", "02", "01.002"}},
      {"FAppUserName", {"张伟", "Pat O'Brien", "李娜", "李娜", "张伟", "张伟", "李娜", "Pat O'Brien"}},
      {"FBatchNo", {"B2024-01", "", "", "", "B2024-03", "", "", "B2024-06"}},
      {"FWarehouse", {"主仓库", "主仓库", "主仓库", "主仓库", "主仓库", "主仓库", "", "主仓库"}},
      {"FBin", {"A-01", "A-01", "", "A-01", "A-01", "A-01", "", "A-01"}},
      {"FCheckQty", {"3", "1", "2", "1", "1", "1", "4", "2"}},
      {"FPrice", {"5000", "1000", "4000", "30", "5000", "1000", "250", "800"}},
      {"FAmount", {"15000", "1000", "8000", "30", "5000", "1000", "1000", "1600"}},
      {"FTaxAmt", {"1950", "130", "1040", "3.9", "650", "130", "130", "208"}},
      {"FUseFor", {"转固定资产", "在建工程", "转低值易耗品", "转低值易耗品", "转固定资产", "转固定资产", "转固定资产", ""}},
      // Purpose 2: FFAQty; 1: FCIPQty; 3: FLVCQty (NULL as 0); no purpose: NULL.
      {"FRelationCardQty", {"3", "1", "1", "0", "0", "1", "0", "NULL"}},
      // Purpose 2 and 3: check quantity less the carried one; 1: always 0.
      {"FNoDoCardQty", {"0", "0", "1", "1", "1", "0", "4", "NULL"}},
      // Carried amount and tax: 15000 + 1950, 1000 + 130, 4000 + 520, 0, 0, 1000 + 130, 0.
      {"FRelationCardBal", {"16950", "1130", "4520", "0", "0", "1130", "0", "NULL"}},
      // Amount and tax less the carried ones: L3 8000 + 1040 - 4520, L4 30 + 3.9,
      // L5 5000 + 650, L7 1000 + 130; purpose 1 always 0.
      {"FCardDiffBal", {"0", "0", "4520", "33.9", "5650", "0", "1130", "NULL"}},
      {"FChecker", {"管理员", "", "D'Arcy", "D'Arcy", "管理员", "管理员", "", "Morgan"}},
      {"FCheckDate", {"2024-01-29", "NULL", "2024-02-21", "2024-02-21", "2024-03-06", "2024-03-06", "NULL",
                      "2024-03-26"}},
      {"FBiller", {"Morgan", "管理员", "D'Arcy", "D'Arcy", "管理员", "管理员", "", "Morgan"}},
      // Item 307 (L8) has no precisions: 2 and 2.
      {"FQtyDecimal", {"0", "2", "0", "3", "0", "2", "1", "2"}},
      {"FPriceDecimal", {"2", "4", "2", "3", "2", "4", "2", "2"}},
      {"FSumSort", {"0", "0", "0", "0", "0", "0", "0", "0"}},
  });
  return lines;
}

// Requisition number and item tell the lines apart.
inline const std::vector<std::string> kKey = {"FBillNo", "FItemID"};

// What a summary row adds up (each NULL as 0) and its largest precisions.
struct Sums {
  std::string aux_qty, check_qty, amount, tax, carried_qty, left_qty, carried_bal, left_bal, qty_decimal,
      price_decimal;
};

// A line's own sums, read off the table above.
inline Sums LineSums(Line line) {
  const RowValues& row = Lines().at(line);
  auto zero_if_null = [](const std::string& value) { return value == "NULL" ? std::string("0") : value; };
  return {zero_if_null(row.at("FAuxQty")),          zero_if_null(row.at("FCheckQty")),
          row.at("FAmount"),                        row.at("FTaxAmt"),
          zero_if_null(row.at("FRelationCardQty")), zero_if_null(row.at("FNoDoCardQty")),
          zero_if_null(row.at("FRelationCardBal")), zero_if_null(row.at("FCardDiffBal")),
          row.at("FQtyDecimal"),                    row.at("FPriceDecimal")};
}

// All eight lines: FAuxQty 0+1+2+0+0+1+0+2, FCheckQty 3+1+2+1+1+1+4+2,
// FAmount 15000+1000+8000+30+5000+1000+1000+1600, FTaxAmt 1950+130+1040+3.9+650+130+130+208,
// carried 3+1+1+0+0+1+0+0, left 0+0+1+1+1+0+4+0, carried 16950+1130+4520+1130,
// left 4520+33.9+5650+1130; precisions at most 3 (L4) and 4 (L2, L6).
inline const Sums kAllLines{"6", "15", "32630", "4241.9", "6", "7", "23730", "11333.9", "3", "4"};

// A summary row: every column of the result NULL but the sums, the
// precisions and FSumSort; `values` adds the group columns and labels.
inline RowValues SummaryRow(const ResultTable& table, const std::string& sum_sort, const Sums& sums,
                            const std::map<std::string, std::string>& values = {}) {
  RowValues row;
  for (const std::string& column : table.columns) row[column] = "NULL";
  row["FAuxQty"] = sums.aux_qty;
  row["FCheckQty"] = sums.check_qty;
  row["FAmount"] = sums.amount;
  row["FTaxAmt"] = sums.tax;
  row["FRelationCardQty"] = sums.carried_qty;
  row["FNoDoCardQty"] = sums.left_qty;
  row["FRelationCardBal"] = sums.carried_bal;
  row["FCardDiffBal"] = sums.left_bal;
  row["FQtyDecimal"] = sums.qty_decimal;
  row["FPriceDecimal"] = sums.price_decimal;
  row["FSumSort"] = sum_sort;
  for (const auto& [column, value] : values) row[column] = value;
  return row;
}

// The fields' number and name columns and the fixed columns of the result.
inline const std::vector<std::string> kItemColumns = {"FItemID", "FItemNumber", "FItemName"};
inline const std::vector<std::string> kSupplierColumns = {"FSupplyID", "FSupplyNumber", "FSupplyName"};
inline const std::vector<std::string> kAppUserColumns = {"FAppUserID", "FAppUserNumber", "FAppUserName"};
inline const std::vector<std::string> kDeptColumns = {"FUseDeptID", "FUseDeptNumber", "FUseDeptName"};
inline const std::vector<std::string> kFixedColumns = {
    "FDate",        "FMultiCheckStatus", "FSource",          "FBillNo",      "FProjectID",   "FProjectNumber",
    "FItemModel",   "FBaseUnit",         "FUnit",            "FAuxUnit",     "FSecCoefficient", "FPrice",
    "FAuxQty",      "FCheckQty",         "FAmount",          "FTaxAmt",      "FRelationCardQty", "FNoDoCardQty",
    "FRelationCardBal", "FCardDiffBal",  "FQtyDecimal",      "FPriceDecimal", "FBatchNo",    "FWarehouse",
    "FBin",         "FUseFor",           "FChecker",         "FCheckDate",   "FBiller",      "FSumSort"};

// The result's columns: `parts` in order, then the fixed columns.
inline std::vector<std::string> Columns(std::initializer_list<std::vector<std::string>> parts) {
  std::vector<std::string> columns;
  for (const auto& part : parts) columns.insert(columns.end(), part.begin(), part.end());
  columns.insert(columns.end(), kFixedColumns.begin(), kFixedColumns.end());
  return columns;
}

}  // namespace orv::test::rpt2010006
