// The detail batch of the application tracking report: #AA_Rpt2010007 made
// for the view, then one row per application line with its item, units,
// supplier, departments and applicant, and the requisitions reached from it
// along the three document chains summed; in the source view the requisition
// lines without an application follow in the same insert.
#include <array>

#include "reports/rpt2010007/sql_routines.h"
#include "toolkit/local_text.h"
#include "toolkit/sql_literal.h"
#include "toolkit/sql_text.h"

namespace orv::reports::rpt2010007 {

namespace {

using toolkit::AppendLine;

enum class Present { Always, ApplicationView, SourceView };

struct Column {
  std::string_view name;
  std::string_view type;
  std::string_view constraint;
  std::string_view comment = {};  // written behind the comma
  Present present = Present::Always;
};

constexpr std::string_view kText = "NVARCHAR(255)";
constexpr std::string_view kQty = "DECIMAL(23,10)";
constexpr std::string_view kNoText = "NOT NULL DEFAULT('')";
constexpr std::string_view kZero = "NOT NULL DEFAULT(0)";

// The quantities of a view, between the applying department and FUnDoQty.
std::array<Column, 9> QuantityBlock(Present view, std::array<std::string_view, 9> names) {
  std::array<Column, 9> block;
  for (size_t i = 0; i < names.size(); ++i) {
    block[i] = {names[i], i == 0 && view == Present::SourceView ? kText : kQty,
                i == 0 && view == Present::SourceView ? kNoText : kZero, {}, view};
  }
  return block;
}

std::vector<Column> TableColumns() {
  std::vector<Column> columns = {
      {"FDate", "DATETIME", "NULL"},
      {"FMultiCheckStatus", kText, "NOT NULL DEFAULT('2')"},
      {"FCloseStatus", kText, kNoText},
      {"FBillNo", "NVARCHAR(80)", kNoText, {}, Present::ApplicationView},
      {"FItemID", "INT", kZero, "--物料"},
      {"FItemNumber", kText, kNoText},
      {"FItemName", kText, kNoText},
      {"FItemModel", kText, kNoText},
      {"FBaseUnit", kText, kNoText},
      {"FUnit", kText, kNoText},
      {"FAuxUnit", kText, kNoText},
      {"FSecCoefficient", kQty, kZero},
      {"FAuxQty", kQty, kZero},
      {"FSupplyID", "INT", kZero, "--供应商"},
      {"FSupplyNumber", kText, kNoText},
      {"FSupplyName", kText, kNoText},
      {"FUseDeptID", "INT", kZero, "--使用部门"},
      {"FUseDeptNumber", kText, kNoText},
      {"FUseDeptName", kText, kNoText},
      {"FAppUserID", "INT", kZero, "--申请人"},
      {"FAppUserNumber", kText, kNoText},
      {"FAppUserName", kText, kNoText},
      {"FAppDeptID", "INT", kZero, "--申请部门"},
      {"FAppDeptNumber", kText, kNoText},
      {"FAppDeptName", kText, kNoText},
  };
  for (const Column& column :
       QuantityBlock(Present::ApplicationView,
                     {"FAppQty", "FCheckQty", "FRelationAAQty", "FRelationFAQty", "FRelationFABal", "FRelationCIPQty",
                      "FRelationCIPBal", "FRelationLVCQty", "FRelationLVCBal"})) {
    columns.push_back(column);
  }
  for (const Column& column :
       QuantityBlock(Present::SourceView,
                     {"FApplicationSRC", "FAssetAppQty", "FRelationApplicationQty", "FApplicationFAQty",
                      "FApplicationFABal", "FRelationCIPQty", "FRelationCIPBal", "FApplicationLVCQty",
                      "FApplicationLVCBal"})) {
    columns.push_back(column);
  }
  const std::vector<Column> tail = {
      {"FUnDoQty", kQty, kZero},
      {"FPlanStockQty", kQty, kZero},
      {"FPlanUseQty", kQty, kZero},
      {"FRelationStockQty", kQty, kZero},
      {"FChecker", kText, kNoText},
      {"FCheckDate", "DATETIME", "NULL"},
      {"FNote", kText, kNoText},
      {"FBiller", kText, kNoText},
      {"FRptID", "INT", kZero, "--报表ID"},
      {"FRptName", "NVARCHAR(50)", kNoText},
      {"FSumSort", "SMALLINT", kZero},
      {"FQtyDecimal", "INT", kZero, "  --数量精度"},
      {"FPriceDecimal", "INT", kZero, "--单价精度"},
  };
  columns.insert(columns.end(), tail.begin(), tail.end());
  return columns;
}

std::string Padded(std::string_view text, size_t width) {
  std::string padded(text);
  if (padded.size() < width) padded.append(width - padded.size(), ' ');
  return padded;
}

void AppendCreateTable(platform::SqlBuffer& buffer, View view) {
  const Present view_block = view == View::Application ? Present::ApplicationView : Present::SourceView;
  std::vector<Column> columns;
  for (const Column& column : TableColumns()) {
    if (column.present == Present::Always || column.present == view_block) columns.push_back(column);
  }
  AppendLine(buffer, "CREATE TABLE #AA_Rpt2010007(");
  for (size_t i = 0; i < columns.size(); ++i) {
    const Column& column = columns[i];
    const bool last = i + 1 == columns.size();
    AppendLine(buffer, "   " + Padded(column.name, 28) + Padded(column.type, 20) + std::string(column.constraint) +
                           (last ? "" : ",") + std::string(column.comment));
  }
  AppendLine(buffer, "   ) ON [PRIMARY]");
}

void AppendInsert(platform::SqlBuffer& buffer, View view) {
  AppendLine(buffer, "  INSERT INTO #AA_Rpt2010007 ");
  AppendLine(buffer, "   ( FDate,FMultiCheckStatus,FCloseStatus,FItemID,FItemNumber,FItemName,FItemModel,FBaseUnit,");
  AppendLine(buffer, "     FUnit,FAuxUnit,FSecCoefficient,FAuxQty,FSupplyID,FSupplyNumber,FSupplyName,");
  AppendLine(buffer, "     FUseDeptID,FUseDeptNumber,FUseDeptName,FAppUserID,FAppUserNumber,FAppUserName,");
  AppendLine(buffer, "     FAppDeptID, FAppDeptNumber, FAppDeptName,");
  if (view == View::Application) {
    AppendLine(buffer, " FBillNo,FAppQty,FCheckQty,FRelationAAQty,FRelationFAQty,FRelationFABal,FRelationCIPQty,FRelationCIPBal,FRelationLVCQty,FRelationLVCBal,");
  } else {
    AppendLine(buffer, " FApplicationSRC,FAssetAppQty,FRelationApplicationQty,FApplicationFAQty,FApplicationFABal,FRelationCIPQty,FRelationCIPBal,FApplicationLVCQty,FApplicationLVCBal,");
  }
  AppendLine(buffer, "    FUnDoQty,FPlanStockQty,FPlanUseQty,FRelationStockQty,FChecker,FCheckDate,FNote,FBiller,FRptID,FRptName,FSumSort,FQtyDecimal,FPriceDecimal");
  AppendLine(buffer, "    )");
}

void AppendQuantities(platform::SqlBuffer& buffer, View view) {
  if (view == View::Application) {
    AppendLine(buffer, " aa.FBillNo,IsNull(ae.FAppQty,0) as FAppQty,IsNull(ae.FCheckQty,0) as FCheckQty, ");
    AppendLine(buffer, " Sum(IsNull(cip.FCheckQty,0)) as FRelationAAQty,");
    AppendLine(buffer, " Sum(IsNull(ae.FRelationFAQty,0)) as FRelationFAQty,Sum(IsNull(cip.FFAAmount,0) + IsNull(cip.FFATaxAmt,0) ) as FRelationFABal,");
    AppendLine(buffer, " Sum(IsNull(cip.FCIPQty,0)) as FRelationCIPQty,Sum(IsNull(cip.FCIPAmount,0) + IsNull(cip.FCIPTaxAmt,0)) as FRelationCIPBal,");
    AppendLine(buffer, " Sum(IsNull(ae.FRelationLVCQty,0)) as FRelationLVCQty,Sum(IsNull(cip.FLVCAmount,0) +IsNull(cip.FLVCTaxAmt,0) ) as FRelationLVCBal,");
  } else {
    AppendLine(buffer, " '' as FApplicationSRC,IsNull(ae.FCheckQty,0) as FAssetAppQty,Sum(IsNull(cip.FCheckQty,0)) as FRelationApplicationQty,");
    AppendLine(buffer, " Sum(IsNull(ae.FRelationFAQty,0)) as FApplicationFAQty,Sum(IsNull(cip.FFAAmount,0) + IsNull(cip.FFATaxAmt,0)) as FApplicationFABal,");
    AppendLine(buffer, " Sum(IsNull(cip.FCIPQty,0)) as FRelationCIPQty,Sum(IsNull(cip.FCIPAmount,0) + IsNull(cip.FCIPTaxAmt,0)) as FRelationCIPBal,");
    AppendLine(buffer, " Sum(IsNull(ae.FRelationLVCQty,0)) as FApplicationLVCQty,Sum(IsNull(cip.FLVCAmount,0) + IsNull(cip.FLVCTaxAmt,0)) as FApplicationLVCBal,");
  }
}

// The application lines from which the chains start, restricted by the
// user's conditions like the lines of the report itself.
void AppendChainStart(platform::SqlBuffer& buffer, std::string_view from_line, const std::string& app_where) {
  AppendLine(buffer, from_line);
  AppendLine(buffer, AppJoinSQL() + "   WHERE   1=1 " + app_where + ") AA_AssetsApp ");
}

constexpr std::string_view kChainSelect =
    "       Select AA_AssetsApp.FBillNo,AA_AssetsApp.FID,AA_AssetsApp.FEntryID,ce.FFAAmount,ce.FFATaxAmt,ce.FCIPQty,ce.FCIPAmount,ce.FCIPTaxAmt,ce.FLVCAmount,ce.FLVCTaxAmt,IsNull(ce.FCheckQty,0) as FCheckQty ";
constexpr std::string_view kChainFrom =
    "           From ( Select aa.FBillNo,ae.FID,ae.FEntryID From AA_AssetsApp aa Inner Join AA_AssetsAppEntry ae On aa.FID = ae.FID";
constexpr std::string_view kOrderJoin =
    "           Inner Join AA_AssetsProcurementEntry aape On aape.FID_SRC = AA_AssetsApp.FID And aape.FEntryID_SRC=AA_AssetsApp.FEntryID And aape.FClassID_SRC=1200001 And aape.FBillNo_SRC = AA_AssetsApp.FBillNo ";

// `cip`: per application line, the requisition lines reached directly, through
// an order and an acceptance, or through an order, an inspection and an
// acceptance, summed; at most one row per application line.
void AppendRequisitionSums(platform::SqlBuffer& buffer, const std::string& app_where) {
  AppendLine(buffer, "  ------------连接领用单的最终源头为资产申请单的记录Begin-------------");
  AppendLine(buffer, "  Left Join (");
  AppendLine(buffer, "  Select srcaa.FBillNo,srcaa.FID,srcaa.FEntryID,Sum(IsNull(srcaa.FFAAmount,0)) as FFAAmount,Sum(IsNull(srcaa.FFATaxAmt,0)) as FFATaxAmt,Sum(IsNull(srcaa.FCIPQty,0)) as FCIPQty ,Sum(IsNull(srcaa.FCIPAmount,0)) as FCIPAmount ,");
  AppendLine(buffer, "  Sum(IsNull(srcaa.FCIPTaxAmt,0)) as FCIPTaxAmt ,Sum(IsNull(srcaa.FLVCAmount,0)) as FLVCAmount,Sum(IsNull(srcaa.FLVCTaxAmt,0)) as FLVCTaxAmt,Sum(IsNull(srcaa.FCheckQty,0)) as FCheckQty From ");
  buffer.Append("  (");  // the first chain's comment follows on this line

  AppendLine(buffer, "       -----------资产申请单(1200001,AA_AssetsApp)-->资产领用单)--------------");
  AppendLine(buffer, kChainSelect);
  AppendChainStart(buffer, std::string(kChainFrom) + " ", app_where);
  AppendLine(buffer, "           Inner Join CIP_AssetsApplicationEntry ce On ce.FID_SRC = AA_AssetsApp.FID And ce.FEntryID_SRC=AA_AssetsApp.FEntryID And ce.FClassID_SRC=1200001 And ce.FBillNo_SRC = AA_AssetsApp.FBillNo ");
  AppendLine(buffer, "           Inner Join CIP_AssetsApplication ca On ce.FID = ca.FID");
  AppendLine(buffer, "       Union All");

  AppendLine(buffer, "       -----------资产申请单-->资产采购订单(1200002,AA_AssetsProcurement)-->资产验收单(1200004,AA_AssetsAcceptance)-->资产领用单-------------");
  AppendLine(buffer, kChainSelect);
  AppendChainStart(buffer, kChainFrom, app_where);
  AppendLine(buffer, kOrderJoin);
  AppendLine(buffer, "           Inner Join AA_AssetsAcceptanceEntry aace On aace.FID_SRC = aape.FID And aace.FEntryID_SRC=aape.FEntryID And aace.FClassID_SRC=1200002  ");
  AppendLine(buffer, "           Inner Join CIP_AssetsApplicationEntry ce On ce.FID_SRC = aace.FID And ce.FEntryID_SRC=aace.FEntryID And ce.FClassID_SRC=1200004 ");
  AppendLine(buffer, "           Inner Join CIP_AssetsApplication ca On ce.FID = ca.FID");
  AppendLine(buffer, "       Union All");

  AppendLine(buffer, "       -----------资产申请单-->资产采购订单-->资产检验单(1200003,AA_AssetsInspec)-->资产验收单-->资产领用单--------------");
  AppendLine(buffer, std::string(kChainSelect) + " ");
  AppendChainStart(buffer, kChainFrom, app_where);
  AppendLine(buffer, kOrderJoin);
  AppendLine(buffer, "           Inner Join AA_AssetsInspecEntry aaie On aaie.FID_SRC = aape.FID And aaie.FEntryID_SRC=aape.FEntryID And aaie.FClassID_SRC=1200002");
  AppendLine(buffer, "           Inner Join AA_AssetsAcceptanceEntry aace On aace.FID_SRC = aaie.FID And aace.FEntryID_SRC=aaie.FEntryID And aace.FClassID_SRC=1200003 ");
  AppendLine(buffer, "           Inner Join CIP_AssetsApplicationEntry ce On ce.FID_SRC = aace.FID And ce.FEntryID_SRC=aace.FEntryID And ce.FClassID_SRC=1200004");
  AppendLine(buffer, "           Inner Join CIP_AssetsApplication ca On ce.FID = ca.FID");

  AppendLine(buffer, "       ) srcaa Group By FBillNo,FID,FEntryID ");
  AppendLine(buffer, " ) cip On cip.FBillNo = aa.FBillNo And cip.FID = ae.FID And cip.FEntryID = ae.FEntryID And cip.FEntryID Is Not Null ");
  AppendLine(buffer, "   ------------连接领用单的最终源头为资产申请单的记录End--------------");
}

// Checker, note and biller go into NOT NULL columns: a checker or biller no
// longer in t_User, or a note never written, gives '' instead of failing the
// whole insert.
void AppendApplicationLines(platform::SqlBuffer& buffer, const std::string& sLanguage, View view,
                            const std::string& app_where) {
  const auto text = [&sLanguage](const char* chinese) {
    return toolkit::QuoteText(toolkit::GetLocalText(chinese, sLanguage));
  };
  const std::string yes = text("是");
  const std::string no = text("否");
  AppendLine(buffer, "  SELECT aa.FAppDate as FDate,Case When aa.FMultiCheckStatus = 16 Then '" + yes + "' Else '" + no +
                         "' End as FMultiCheckStatus,");
  AppendLine(buffer, "     Case When aa.FCloseStatus = 1 Then '" + yes + "' Else '" + no + "' End as FCloseStatus,");
  AppendLine(buffer, "     IsNull(ae.FItemID,0),IsNull(tc.FNumber,'') as FItemNumber,IsNull(tc.FName,'') as FItemName,IsNull(tc.FModel,'') as FItemModel,");
  AppendLine(buffer, "     IsNull(tm.FName,'') as FBaseUnit,IsNull(tm2.FName,'') as FUnit, IsNull(tm3.FName,'') as FAuxUnit, IsNull(ae.FSecCoefficient,0) AS FSecCoefficient,");
  AppendLine(buffer, "     IsNull(ae.FAssistantQty,0) as FAuxQty,IsNull(ae.FSupplyID,0),IsNull(ts.FNumber,'') as FSupplyNumber,IsNull(ts.FName,'') as FSupplyName ,");
  AppendLine(buffer, "     IsNull(aa.FUseDeptID,0), IsNull(td2.FNumber,'') as FUseDeptNumber,IsNull(td2.FName,'') as FUseDeptName,");
  AppendLine(buffer, "     IsNull(aa.FAppUserID,0),IsNull(te.FNumber,''),IsNull(te.FName,'') as FAppUserName,");
  AppendLine(buffer, "     IsNull(aa.FAppDeptID,0), IsNull(td.FNumber,'') as FAppDeptNumber,IsNull(td.FName,'') as FAppDeptName,");
  AppendQuantities(buffer, view);
  AppendLine(buffer, "  IsNull(ae.FNoDoQty,0) as FUnDoQty,IsNull(ae.FPlanStockQty,0) as FPlanStockQty,IsNull(ae.FPlanUseQty,0) as FPlanUseQty,IsNull(ae.FRelationStockQty,0) as FRelationStockQty,");
  AppendLine(buffer, "  Case When aa.FCheckerID > 0 Then IsNull(tu.FName,'') Else '' End as FChecker, ");
  AppendLine(buffer, "  aa.FCheckDate,IsNull(aa.FNote,''),IsNull(tu2.FName,''),2010007 as FRptID,'ZCSQ' as FRptName,0 as FSumSort,IsNull(tc.FQtyDecimal,2) as FQtyDecimal,IsNull(tc.FPriceDecimal,2) as FPriceDecimal");
  AppendLine(buffer, "  From AA_AssetsApp aa ");
  AppendLine(buffer, "  Inner Join AA_AssetsAppEntry ae On aa.FID = ae.FID");
  AppendRequisitionSums(buffer, app_where);
  AppendLine(buffer, AppJoinSQL() + "   WHERE   1=1 " + app_where);
  // One row per application line; the sums add up its one row of `cip`.
  AppendLine(buffer, "  Group By aa.FBillNo,aa.FAppDate,aa.FID,ae.FEntryID,aa.FMultiCheckStatus,aa.FCloseStatus, ");
  AppendLine(buffer, "  ae.FItemID,tc.FNumber,tc.FName,tc.FModel,tm.FName,tm2.FName,tm3.FName,ae.FSecCoefficient,ae.FAssistantQty, ");
  AppendLine(buffer, "  ae.FSupplyID,ts.FNumber,ts.FName,aa.FUseDeptID,td2.FNumber,td2.FName,aa.FAppUserID,te.FNumber,te.FName,");
  AppendLine(buffer, "  aa.FAppDeptID , td.FNumber, td.FName,ae.FAppQty,ae.FCheckQty,");
  AppendLine(buffer, "  ae.FNoDoQty,ae.FPlanStockQty,ae.FPlanUseQty,ae.FRelationStockQty, ");
  AppendLine(buffer, "  aa.FCheckerID , tu.FName, aa.FCheckDate, aa.FNote, tu2.FName, tc.FQtyDecimal, tc.FPriceDecimal ");
}

}  // namespace

std::string AppJoinSQL() {
  return "  Left Join t_Department td On aa.FAppDeptID = td.FItemID\r\n"
         "  Left Join t_Department td2 On aa.FUseDeptID = td2.FItemID\r\n"
         "  Left Join t_Emp te On aa.FAppUserID = te.FItemID\r\n"
         "  Left Join t_ICItem tc On ae.FItemID = tc.FItemID\r\n"
         "  Left Join t_MeasureUnit tm On tc.FUnitID = tm.FMeasureUnitID\r\n"
         "  Left Join t_MeasureUnit tm2 On ae.FUnitID = tm2.FMeasureUnitID\r\n"
         "  Left Join t_MeasureUnit tm3 On tc.FSecUnitID = tm3.FMeasureUnitID\r\n"
         "  Left Join t_Supplier ts On ae.FSupplyID = ts.FItemID\r\n"
         "  Left Join t_User tu On aa.FCheckerID = tu.FUserID\r\n"
         "  Left Join t_User tu2 On aa.FBiller = tu2.FUserID\r\n";
}

std::string CipJoinSQL() {
  return "  Left Join t_Department td On ca.FApplyDeptID = td.FItemID\r\n"
         "  Left Join t_Emp te On ca.FApplyID = te.FItemID\r\n"
         "  Left Join t_ICItem tc On ce.FItemID = tc.FItemID\r\n"
         "  Left Join t_MeasureUnit tm On tc.FUnitID = tm.FMeasureUnitID\r\n"
         "  Left Join t_MeasureUnit tm2 On ce.FUnitID = tm2.FMeasureUnitID\r\n"
         "  Left Join t_MeasureUnit tm3 On tc.FSecUnitID = tm3.FMeasureUnitID\r\n"
         "  Left Join t_Supplier ts On ce.FSupplyID = ts.FItemID\r\n"
         "  Left Join t_User tu On ca.FCheckerID = tu.FUserID\r\n"
         "  Left Join t_User tu2 On ca.FBiller = tu2.FUserID\r\n";
}

std::string GetDetailBatchSQL(const std::string& sLanguage, const platform::ConditionDictionary& dct, View view) {
  std::string app_where;
  std::string cip_where;
  GetFilterSQL(dct, app_where, cip_where);
  platform::SqlBuffer buffer;
  AppendLine(buffer, "SET NOCOUNT ON");
  AppendLine(buffer, "--数据来源：");
  AppendLine(buffer, "--资产申请单：   AA_AssetsApp、AA_AssetsAppEntry");
  AppendLine(buffer, "--资产领用单： CIP_AssetsApplication、CIP_AssetsApplicationEntry");
  AppendLine(buffer, "");
  AppendLine(buffer, "--创建临时表：");
  AppendLine(buffer, "");
  AppendLine(buffer, "IF OBJECT_ID('tempdb..#AA_Rpt2010007')<>0 DROP TABLE #AA_Rpt2010007");
  AppendLine(buffer, "");
  AppendCreateTable(buffer, view);
  AppendLine(buffer, "--数据来源：");
  AppendLine(buffer, "--单据包括：资产申请单，资产领用单");
  AppendLine(buffer, "--资产申请单：   AA_AssetsApp、AA_AssetsAppEntry");
  AppendInsert(buffer, view);
  AppendApplicationLines(buffer, sLanguage, view, app_where);
  if (view == View::Source) buffer.Append(SourceLinesSQL(sLanguage, cip_where));
  return buffer.GetText();
}

}  // namespace orv::reports::rpt2010007
