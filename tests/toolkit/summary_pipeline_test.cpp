// The grouped summary with the values of a report that always groups, keeps
// its report identifier, lists level names only, labels the level total in
// the rollup itself and labels totals only when no level was asked for (the
// shape of the requisition reports), run on the embedded engine over a small
// detail table; rows worked out by hand.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/class_registry.h"
#include "platform/connection.h"
#include "platform/embedded_provider.h"
#include "platform/field.h"
#include "platform/recordset.h"
#include "tests/toolkit/condition_dict.h"
#include "tests/toolkit/expect_raises.h"
#include "toolkit/summary_pipeline.h"

namespace orv::toolkit {
namespace {

using platform::ConditionDictionary;
using test::Dict;

SummaryParameters AlwaysGrouped() {
  return {
      .detail_table = "#D",
      .rollup_measures = {"Sum(IsNull(T1.FQty,0)) as FQty,", "Max(FQtyDecimal) as FQtyDecimal"},
      .level_rollup_measures = {"Sum(IsNull(T1.FQty,0)) as FQty,Max(FQtyDecimal) as FQtyDecimal"},
      .result_measures = {" t1.FQty,t1.FQtyDecimal "},
      .report_id = {},
      .level_items = {{2, "t1.FUseDeptID", ""}},
      .levels = {.check_key = "FChkLevel", .numbers = false, .cleanup = false, .item_required = true,
                 .rollup_total_gap = ""},
      .label_renames = {{"FUseDeptID", "FUseDeptName"}, {"#TmpResult", "#TmpResult2"}},
      .total_label_check_key = "FChkLevel",
      .final_rewrites = {{"t1.FUseDeptID,UseDep.FNumber AS FUseDeptNumber,UseDep.FName AS FUseDeptName",
                          "tmp2.FUseDeptID,tmp2.FUseDeptNumber,tmp2.FUseDeptName"}},
      .identity_columns = "FUseDeptID,FUseDeptNumber,FUseDeptName,FNote,",
      .identity_removals = {{{"FGroupByUseDept"}, "FUseDeptID,FUseDeptNumber,FUseDeptName,"}},
      .final_columns = {" apt.FBillNo,", " Case When tmp2.FSumSort > 0 Then  tmp2.FQty Else apt.FQty End as FQty,",
                        " tmp2.FSumSort"},
      .total_row = std::nullopt,
      .group_keys = {"FGroupByUseDept"},
  };
}

// Departments 01 总部 (a parent), 01.01 行政部 under it, 02 销售部 at the top;
// requisition lines B1 (行政部, 2), B2 (行政部, 3), B3 (销售部, 5).
constexpr std::string_view kDatabase = "toolkit-summary";

void RegisterDatabase() {
  platform::RegisterPlatformClasses();
  platform::RegisterDatabaseFactory(kDatabase, [](engine::Session& session) {
    const engine::BatchResult result = session.Execute(
        "CREATE TABLE t_Item (FItemID int, FItemClassID int, FNumber nvarchar(80), FFullNumber nvarchar(80), "
        "FName nvarchar(80))\r\n"
        "INSERT INTO t_Item VALUES (101, 2, '01', '01', N'总部'), (102, 2, '01.01', '01.01', N'行政部'), "
        "(103, 2, '02', '02', N'销售部')\r\n"
        "CREATE TABLE t_Department (FItemID int, FNumber nvarchar(80), FName nvarchar(80))\r\n"
        "INSERT INTO t_Department VALUES (102, '01.01', N'行政部'), (103, '02', N'销售部')\r\n");
    if (result.first_error()) throw *result.first_error();
  });
}

constexpr std::string_view kDetailBatch =
    "CREATE TABLE #D (FBillNo nvarchar(20), FUseDeptID int, FNote nvarchar(20), FQty decimal(23,10), "
    "FRptID int, FSumSort smallint, FQtyDecimal int)\r\n"
    "INSERT INTO #D VALUES ('B1', 102, 'a', 2, 2010006, 0, 2), ('B2', 102, 'b', 3, 2010006, 0, 2), "
    "('B3', 103, 'c', 5, 2010006, 0, 2)\r\n";

// Each row as "column=value" texts joined by "|", in record set order of columns.
std::vector<std::string> Rows(platform::Recordset& rows) {
  std::vector<std::string> texts;
  if (rows.RecordCount() == 0) return texts;
  const platform::Fields& fields = rows.Fields();
  for (rows.MoveFirst(); !rows.Eof(); rows.MoveNext()) {
    std::string text;
    for (int32_t i = 0; i < fields.Count(); ++i) {
      const platform::Variant value = rows.Collect(i);
      text += (i ? "|" : "") + fields.Item(i).Name() + "=" + (value.IsNull() ? "NULL" : value.ToString());
    }
    texts.push_back(text);
  }
  std::sort(texts.begin(), texts.end());
  return texts;
}

std::vector<std::string> Sorted(std::vector<std::string> texts) {
  std::sort(texts.begin(), texts.end());
  return texts;
}

class SummaryPipeline : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterDatabase();
    connection_.Open("Provider=Orvalent.Embedded;Data Source=" + std::string(kDatabase) + ";");
    parse_.ParseString("Language=chs;");
  }

  std::vector<std::string> Summary(const ConditionDictionary& dct) {
    const BatchRunner run = ExecuteOn(connection_);
    run(std::string(kDetailBatch));
    return Rows(*RunSummary(AlwaysGrouped(), dct, parse_, "chs", run));
  }

  platform::Connection connection_;
  frame::CParse parse_;
};

TEST_F(SummaryPipeline, AlwaysGroupedKeepsTheReportIdentifierAndLabelsTheTotal) {
  // No FChkGroupBy: grouped all the same. FRptID gives each department a
  // subtotal (102); FChkLevel 0 lets the total label run.
  EXPECT_EQ(Summary(Dict({{"FGroupByUseDept", "0"}, {"FChkLevel", 0}})),
            Sorted({
                "FUseDeptID=102|FUseDeptNumber=01.01|FUseDeptName=行政部(小计)|FNote=NULL|FBillNo=NULL|FQty=5|FSumSort=102",
                "FUseDeptID=102|FUseDeptNumber=01.01|FUseDeptName=行政部|FNote=a|FBillNo=B1|FQty=2|FSumSort=0",
                "FUseDeptID=102|FUseDeptNumber=01.01|FUseDeptName=行政部|FNote=b|FBillNo=B2|FQty=3|FSumSort=0",
                "FUseDeptID=103|FUseDeptNumber=02|FUseDeptName=销售部(小计)|FNote=NULL|FBillNo=NULL|FQty=5|FSumSort=102",
                "FUseDeptID=103|FUseDeptNumber=02|FUseDeptName=销售部|FNote=c|FBillNo=B3|FQty=5|FSumSort=0",
                "FUseDeptID=NULL|FUseDeptNumber=NULL|FUseDeptName=(合计)|FNote=NULL|FBillNo=NULL|FQty=10|FSumSort=101",
            }));
}

TEST_F(SummaryPipeline, LevelCheckedWithoutLevelsTakesThePlainRollupWithoutTotalLabel) {
  const std::vector<std::string> rows = Summary(Dict({{"FGroupByUseDept", "0"}, {"FChkLevel", 1}, {"FLvlTo", 0}}));
  EXPECT_EQ(rows.size(), 6u);
  const std::string total =
      "FUseDeptID=NULL|FUseDeptNumber=NULL|FUseDeptName=NULL|FNote=NULL|FBillNo=NULL|FQty=10|FSumSort=101";
  EXPECT_NE(std::find(rows.begin(), rows.end(), total), rows.end());
}

TEST_F(SummaryPipeline, LevelNamesOnlyLabelledInTheRollupAndNothingDeleted) {
  // Level names 1 and 2 lead: 行政部 is 总部 / 行政部, 销售部 is 销售部 / NULL.
  // Classes: FName1 101, FName2 120, FUseDeptID 103, FRptID 104. The total
  // labels (101 and 120, in FName1) run on #TmpResult right after the rollup;
  // the subtotal labels go to FName2 (103) and FUseDeptName (104); no row is
  // deleted, so the 120 rows stay.
  const std::string none = "|FNote=NULL|FBillNo=NULL";
  EXPECT_EQ(
      Summary(Dict({{"FGroupByUseDept", "0"}, {"FChkLevel", 1}, {"FLvlFrom", 1}, {"FLvlTo", 2}})),
      Sorted({
          "FName1=(合计)|FName2=NULL|FUseDeptID=NULL|FUseDeptNumber=NULL|FUseDeptName=NULL" + none + "|FQty=10|FSumSort=101",
          "FName1=总部(小计)|FName2=NULL|FUseDeptID=NULL|FUseDeptNumber=NULL|FUseDeptName=NULL" + none + "|FQty=5|FSumSort=120",
          "FName1=总部|FName2=行政部(小计)|FUseDeptID=NULL|FUseDeptNumber=NULL|FUseDeptName=NULL" + none + "|FQty=5|FSumSort=103",
          "FName1=总部|FName2=行政部|FUseDeptID=102|FUseDeptNumber=01.01|FUseDeptName=行政部(小计)" + none + "|FQty=5|FSumSort=104",
          "FName1=总部|FName2=行政部|FUseDeptID=102|FUseDeptNumber=01.01|FUseDeptName=行政部|FNote=a|FBillNo=B1|FQty=2|FSumSort=0",
          "FName1=总部|FName2=行政部|FUseDeptID=102|FUseDeptNumber=01.01|FUseDeptName=行政部|FNote=b|FBillNo=B2|FQty=3|FSumSort=0",
          "FName1=销售部(小计)|FName2=NULL|FUseDeptID=NULL|FUseDeptNumber=NULL|FUseDeptName=NULL" + none + "|FQty=5|FSumSort=120",
          "FName1=销售部|FName2=(小计)|FUseDeptID=NULL|FUseDeptNumber=NULL|FUseDeptName=NULL" + none + "|FQty=5|FSumSort=103",
          "FName1=销售部|FName2=NULL|FUseDeptID=103|FUseDeptNumber=02|FUseDeptName=销售部(小计)" + none + "|FQty=5|FSumSort=104",
          "FName1=销售部|FName2=NULL|FUseDeptID=103|FUseDeptNumber=02|FUseDeptName=销售部|FNote=c|FBillNo=B3|FQty=5|FSumSort=0",
      }));
}

TEST(SummaryPipelineText, LevelRollupTotalLabelsRunRightAfterTheRollup) {
  frame::CParse parse;
  parse.ParseString("Language=chs;");
  std::vector<std::string> batches;
  const BatchRunner record = [&batches](const std::string& batch) {
    batches.push_back(batch);
    return std::shared_ptr<platform::Recordset>();
  };
  SummaryParameters parameters = AlwaysGrouped();
  parameters.levels.rollup_total_gap = "\r\n";
  const ConditionDictionary levels = Dict({{"FGroupByUseDept", "0"}, {"FChkLevel", 1}, {"FLvlFrom", 1}, {"FLvlTo", 1}});
  RunSummary(parameters, levels, parse, "chs", record);
  ASSERT_GE(batches.size(), 3u);
  // Level table, rollup (with the level path's own measure line), then the total label.
  EXPECT_NE(batches[1].find("Sum(IsNull(T1.FQty,0)) as FQty,Max(FQtyDecimal) as FQtyDecimal\r\n"), std::string::npos);
  EXPECT_EQ(batches[2],
            "----更新汇总列的名称SQL:Begin--\r\n"
            "Update #TmpResult Set FName1=ISNULL(FName1,'')+'(合计)' WHERE FSumSort=101\r\n"
            "\r\n----更新汇总列的名称SQL:End--\r\n");

  // A group code without a level item stops the call before any batch runs.
  batches.clear();
  test::ExpectRaises(
      [&] { RunSummary(parameters, Dict({{"FGroupByPayDept", "0"}, {"FChkLevel", 1}, {"FLvlTo", 2}}), parse, "chs", record); },
      platform::kErrSubscriptOutOfRange);
  EXPECT_TRUE(batches.empty());
}

}  // namespace
}  // namespace orv::toolkit
