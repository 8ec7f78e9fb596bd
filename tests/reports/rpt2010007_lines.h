// The application lines and the requisition lines without an application of
// the tiny demo database as report 2010007 lists them (demo/tiny-expected.md),
// in either view, and the sums a summary row adds up; shared by the row tests.
#pragma once

#include <initializer_list>
#include <map>
#include <string>
#include <vector>

#include "tests/reports/report_fixture.h"

namespace orv::test::rpt2010007 {

inline constexpr std::string_view kProgId = "Orvalent.CRPT2010007";

// A1 to A5: application/line 3001/1, 3001/2, 3002/1, 3003/1, 3004/1.
// R1 to R3: requisition/line 6005/1, 6006/1, 6003/2 (the last only when its
// bill's other line fails the requisition filter).
enum Line { A1, A2, A3, A4, A5, R1, R2, R3 };

// Application and requisition lines alike are told apart by day and item.
inline const std::vector<std::string> kKey = {"FDate", "FItemID"};

// The columns every row has, in both views.
inline const std::vector<ColumnValues>& CommonColumns() {
  static const std::vector<ColumnValues> columns = {
      {"FDate", {"2024-01-02", "2024-01-02", "2024-01-15", "2024-02-01", "2024-02-25", "2024-03-18", "2024-03-25",
                 "2024-02-20"}},
      {"FMultiCheckStatus", {"是", "是", "否", "是", "是", "否", "是", "是"}},
      // Requisitions have no close state.
      {"FCloseStatus", {"否", "否", "否", "是", "否", "", "", ""}},
      {"FItemID", {"303", "305", "304", "308", "305", "309", "307", "308"}},
      {"FItemNumber", {"01.01.001", "01.02", "01.01.002", "02.002", "01.02", "02.003", "02.001", "02.002"}},
      {"FItemName", {"笔记本电脑", "打印机", "台式机", "Ergo Chair", "打印机", "文件柜", "办公桌", "Ergo Chair"}},
      {"FItemModel", {"T14", "LJ-2000", "", "EC-01", "LJ-2000", "FC-3", "1.6m", "EC-01"}},
      {"FBaseUnit", {"台", "台", "台", "把", "台", "张", "张", "把"}},
      {"FUnit", {"台", "箱", "张", "把", "箱", "张", "张", "把"}},
      // Item 309 (R1) has no secondary unit.
      {"FAuxUnit", {"台", "箱", "台", "把", "箱", "", "张", "把"}},
      // NULL on A1, A4 and R1: 0.
      {"FSecCoefficient", {"0", "12", "1", "0", "12", "0", "1", "0"}},
      {"FAuxQty", {"0", "1", "2", "0", "1", "0", "2", "0"}},
      {"FSupplyID", {"402", "402", "405", "403", "402", "406", "999", "403"}},
      {"FSupplyNumber", {"01.001", "01.001", "02.001  ", "01.002", "01.001", "00", "", "01.002"}},
      {"FSupplyName", {"上海精工有限公司", "上海精工有限公司", "北京远大贸易", "O'Neil Trading", "上海精工有限公司",
                       "Acme 直供", "", "O'Neil Trading"}},
      // A requisition's own department and applicant stand for the using department and the applicant.
      {"FUseDeptID", {"104", "104", "105", "102", "102", "104", "102", "105"}},
      {"FUseDeptNumber", {"01.02.001", "01.02.001", "02", "01.01", "01.01", "01.02.001", "01.01", "02"}},
      {"FUseDeptName", {"设备科", "设备科", "Sales Dept", "行政部", "行政部", "设备科", "行政部", "Sales Dept"}},
      {"FAppUserID", {"202", "202", "204", "203", "202", "204", "203", "204"}},
      {"FAppUserNumber", {"01.001", "01.001", "02", "01.002", "01.001", "02", "01.002", "02"}},
      {"FAppUserName", {"张伟", "张伟", "李娜", "Pat O'Brien", "张伟", "李娜", "Pat O'Brien", "李娜"}},
      {"FAppDeptID", {"102", "102", "105", "102", "105", "0", "0", "0"}},
      {"FAppDeptNumber", {"01.01", "01.01", "02", "01.01", "02", "", "", ""}},
      {"FAppDeptName", {"行政部", "行政部", "Sales Dept", "行政部", "Sales Dept", "", "", ""}},
      {"FUnDoQty", {"0", "1", "1", "10", "0", "0", "0", "0"}},
      {"FPlanStockQty", {"0", "0", "0", "0", "0", "0", "0", "0"}},
      {"FPlanUseQty", {"5", "2", "3", "10", "1", "0", "0", "0"}},
      {"FRelationStockQty", {"0", "0", "0", "0", "0", "0", "0", "0"}},
      // Checker 0 (A3, R1) is none; biller 99 (A5, R1) is no longer in t_User.
      {"FChecker", {"管理员", "管理员", "", "D'Arcy", "D'Arcy", "", "Morgan", "D'Arcy"}},
      {"FCheckDate", {"2024-01-03", "2024-01-03", "NULL", "2024-02-02", "2024-02-26", "NULL", "2024-03-26",
                      "2024-02-21"}},
      {"FNote", {"办公设备", "办公设备", "", "O'Hara", "", "", "", "O'Hara note"}},
      {"FBiller", {"Morgan", "Morgan", "Morgan", "管理员", "", "", "Morgan", "D'Arcy"}},
      // Item 307 (R2) has no precisions: 2 and 2.
      {"FQtyDecimal", {"0", "2", "0", "3", "2", "1", "2", "3"}},
      {"FPriceDecimal", {"2", "4", "2", "3", "4", "2", "2", "3"}},
      {"FSumSort", {"0", "0", "0", "0", "0", "0", "0", "0"}},
  };
  return columns;
}

// The quantities of the application view, applications only. What was
// requisitioned, per application line along the chains:
// A1 6001/1 (order, acceptance) 3 + 6004/1 (direct) 1; fixed assets 15000 + 1950 (+ NULL);
// A2 6002/1 (order, inspection, acceptance) 1; construction 1000 + 130;
// A3 6003/1 (direct) 2; low-value consumables 4000 + 520;
// A4 none (its order line was never accepted); A5 6004/2 (direct) 1; fixed assets 1000 + 130.
inline const std::vector<ColumnValues>& ApplicationColumns() {
  static const std::vector<ColumnValues> columns = {
      {"FBillNo", {"ZCSQ000001", "ZCSQ000001", "ZCSQ000002", "ZCSQ000003", "ZCSQ000004"}},
      {"FAppQty", {"5", "2", "4", "10", "1"}},
      {"FCheckQty", {"5", "2", "3", "10", "1"}},
      {"FRelationAAQty", {"4", "1", "2", "0", "1"}},
      // As recorded on the application line.
      {"FRelationFAQty", {"3", "0", "0", "0", "1"}},
      {"FRelationFABal", {"16950", "0", "0", "0", "1130"}},
      {"FRelationCIPQty", {"0", "1", "0", "0", "0"}},
      {"FRelationCIPBal", {"0", "1130", "0", "0", "0"}},
      {"FRelationLVCQty", {"0", "0", "1", "0", "0"}},
      {"FRelationLVCBal", {"0", "0", "4520", "0", "0"}},
  };
  return columns;
}

// The quantities of the source view: the application lines' under their
// other names, then the requisition lines' own (amounts without tax).
inline const std::vector<ColumnValues>& SourceColumns() {
  static const std::vector<ColumnValues> columns = {
      {"FApplicationSRC", {"", "", "", "", "", "资产采购", "仓库", "仓库"}},
      {"FAssetAppQty", {"5", "2", "3", "10", "1", "0", "0", "0"}},
      {"FRelationApplicationQty", {"4", "1", "2", "0", "1", "4", "2", "1"}},
      {"FApplicationFAQty", {"3", "0", "0", "0", "1", "0", "0", "0"}},
      {"FApplicationFABal", {"16950", "0", "0", "0", "1130", "0", "0", "0"}},
      {"FRelationCIPQty", {"0", "1", "0", "0", "0", "0", "1", "0"}},
      {"FRelationCIPBal", {"0", "1130", "0", "0", "0", "0", "800", "0"}},
      {"FApplicationLVCQty", {"0", "0", "1", "0", "0", "0", "0", "0"}},
      {"FApplicationLVCBal", {"0", "0", "4520", "0", "0", "0", "0", "0"}},
  };
  return columns;
}

enum class ViewOf { Application, Source };

// The lines `which` in the columns of `view`.
inline std::vector<RowValues> Lines(ViewOf view, const std::vector<Line>& which) {
  std::vector<ColumnValues> columns = CommonColumns();
  const std::vector<ColumnValues>& own = view == ViewOf::Application ? ApplicationColumns() : SourceColumns();
  columns.insert(columns.end(), own.begin(), own.end());
  if (view == ViewOf::Application) {
    for (ColumnValues& column : columns) column.values.resize(5);  // no requisition line
  }
  return Pick(RowsFromColumns(columns), which);
}

// What a summary row adds up, by column (each NULL as 0), and its largest precisions.
using Sums = std::map<std::string, std::string>;

// The application view's sums, in the order of the rollup.
inline Sums ApplicationSums(std::initializer_list<const char*> values) {
  static const std::vector<std::string> names = {
      "FAppQty",        "FCheckQty",       "FAuxQty",         "FRelationAAQty",  "FRelationFAQty",
      "FRelationFABal", "FRelationCIPQty", "FRelationCIPBal", "FRelationLVCQty", "FRelationLVCBal",
      "FUnDoQty",       "FPlanStockQty",   "FPlanUseQty",     "FRelationStockQty", "FQtyDecimal",
      "FPriceDecimal"};
  Sums sums;
  size_t i = 0;
  for (const char* value : values) sums[names.at(i++)] = value;
  return sums;
}

// The source view's sums, in the order of the rollup.
inline Sums SourceSums(std::initializer_list<const char*> values) {
  static const std::vector<std::string> names = {
      "FAssetAppQty",     "FAuxQty",          "FRelationApplicationQty", "FApplicationFAQty",
      "FApplicationFABal", "FRelationCIPQty", "FRelationCIPBal",         "FApplicationLVCQty",
      "FApplicationLVCBal", "FUnDoQty",       "FPlanStockQty",           "FPlanUseQty",
      "FRelationStockQty", "FQtyDecimal",     "FPriceDecimal"};
  Sums sums;
  size_t i = 0;
  for (const char* value : values) sums[names.at(i++)] = value;
  return sums;
}

// A summary row: every column NULL but the sums and FSumSort; `values` adds
// the group columns and labels.
inline RowValues SummaryRow(const ResultTable& table, const std::string& sum_sort, const Sums& sums,
                            const std::map<std::string, std::string>& values = {}) {
  RowValues row;
  for (const std::string& column : table.columns) row[column] = "NULL";
  for (const auto& [column, value] : sums) row[column] = value;
  row["FSumSort"] = sum_sort;
  for (const auto& [column, value] : values) row[column] = value;
  return row;
}

}  // namespace orv::test::rpt2010007
