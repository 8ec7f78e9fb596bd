// The requisition lines without an application source, the second SELECT of
// the detail insert in the source view: every requisition line whose bill
// reaches no application along any of the three document chains, walked
// backwards from the requisition, labelled with where its goods came from.
#include "reports/rpt2010007/sql_routines.h"
#include "toolkit/local_text.h"
#include "toolkit/sql_literal.h"
#include "toolkit/sql_text.h"

namespace orv::reports::rpt2010007 {

namespace {

using toolkit::AppendLine;

constexpr std::string_view kBackSelect =
    "       Select aaa.FBillNo as FAppBillNo,aaa.FID as FAppFID,aae.FEntryID as FAppEntryID,CIPApplication.FBillNo,CIPApplication.FID,CIPApplication.FEntryID ";
constexpr std::string_view kAppLineJoin =
    "           Inner Join AA_AssetsAppEntry aae On aape.FID_SRC = aae.FID And aape.FEntryID_SRC=aae.FEntryID And aape.FClassID_SRC=1200001";
constexpr std::string_view kAppJoin = "           Inner Join AA_AssetsApp aaa  On aaa.FID = aae.FID";

// The requisition lines that pass the user's conditions, from which a chain
// walks back.
void AppendChainStart(platform::SqlBuffer& buffer, std::string_view from_line, const std::string& cip_where) {
  AppendLine(buffer, kBackSelect);
  AppendLine(buffer, from_line);
  AppendLine(buffer, CipJoinSQL() + "  WHERE 1=1 " + cip_where + ") CIPApplication ");
}

// `delAA`: one row per pair of application line and requisition line linked
// by a chain.
void AppendApplicationPairs(platform::SqlBuffer& buffer, const std::string& cip_where) {
  constexpr std::string_view from_line =
      "           From ( Select ca.FBillNo,ca.FID,ce.FEntryID,ce.FID_SRC,ce.FEntryID_SRC,ce.FClassID_SRC  From CIP_AssetsApplication ca Inner Join CIP_AssetsApplicationEntry ce On ce.FID = ca.FID";
  AppendLine(buffer, "  ------------去掉领用单的最终源头为资产申请单的记录Begin-------------");
  AppendLine(buffer, "  Left Join (");
  AppendLine(buffer, "  Select srcaa.FAppBillNo,srcaa.FAppFID,srcaa.FAppEntryID,srcaa.FBillNo,srcaa.FID,srcaa.FEntryID From ");
  buffer.Append("  (");  // the first chain's comment follows on this line

  AppendLine(buffer, "       -----------资产申请单(1200001,AA_AssetsApp)-->资产领用单)--------------");
  AppendChainStart(buffer,
                   "           From ( Select ca.FBillNo,ca.FID,ce.FEntryID,ce.FID_SRC,ce.FEntryID_SRC,ce.FClassID_SRC From CIP_AssetsApplication ca Inner Join CIP_AssetsApplicationEntry ce On ce.FID = ca.FID",
                   cip_where);
  AppendLine(buffer, "           Inner Join AA_AssetsAppEntry aae On CIPApplication.FID_SRC = aae.FID And CIPApplication.FEntryID_SRC=aae.FEntryID And CIPApplication.FClassID_SRC=1200001  ");
  buffer.Append("           Inner Join AA_AssetsApp aaa On aaa.FID = aae.FID");  // the Union All follows on this line
  AppendLine(buffer, "       Union All");

  AppendLine(buffer, "       -----------资产申请单-->资产采购订单(1200002,AA_AssetsProcurement)-->资产验收单(1200004,AA_AssetsAcceptance)-->资产领用单-------------");
  AppendChainStart(buffer, from_line, cip_where);
  AppendLine(buffer, "           Inner Join AA_AssetsAcceptanceEntry aace On CIPApplication.FID_SRC = aace.FID And CIPApplication.FEntryID_SRC=aace.FEntryID And CIPApplication.FClassID_SRC=1200004");
  AppendLine(buffer, "           Inner Join AA_AssetsProcurementEntry aape On aace.FID_SRC = aape.FID And aace.FEntryID_SRC=aape.FEntryID And aace.FClassID_SRC=1200002 ");
  AppendLine(buffer, kAppLineJoin);
  AppendLine(buffer, kAppJoin);
  AppendLine(buffer, "       Union All");

  AppendLine(buffer, "       -----------资产申请单-->资产采购订单-->资产检验单(1200003,AA_AssetsInspec)-->资产验收单-->资产领用单--------------");
  AppendChainStart(buffer, from_line, cip_where);
  AppendLine(buffer, "           Inner Join AA_AssetsAcceptanceEntry aace On CIPApplication.FID_SRC = aace.FID And CIPApplication.FEntryID_SRC=aace.FEntryID And CIPApplication.FClassID_SRC=1200004 ");
  AppendLine(buffer, "           Inner Join AA_AssetsInspecEntry aaie On aace.FID_SRC = aaie.FID And aace.FEntryID_SRC=aaie.FEntryID And aace.FClassID_SRC=1200003");
  AppendLine(buffer, "           Inner Join AA_AssetsProcurementEntry aape On aaie.FID_SRC = aape.FID And aaie.FEntryID_SRC=aape.FEntryID And aaie.FClassID_SRC=1200002");
  AppendLine(buffer, kAppLineJoin);
  AppendLine(buffer, kAppJoin);

  AppendLine(buffer, "       ) srcaa");
  AppendLine(buffer, " ) delAA  On ca.FBillNo = delAA.FBillNo And ce.FID = delAA.FID  ");
  AppendLine(buffer, "   ------------去掉领用单的最终源头为资产申请单的记录End--------------");
}

}  // namespace

// Units, coefficient, quantities, supplier, applicant, checker, note and
// biller go into NOT NULL columns: each has its default where the line or the
// base data has no value (an item without a secondary unit, a requisition
// without an applicant, a biller no longer in t_User), so one such line
// cannot fail the report.
std::string SourceLinesSQL(const std::string& sLanguage, const std::string& strCipWhere) {
  const auto text = [&sLanguage](const char* chinese) {
    return toolkit::QuoteText(toolkit::GetLocalText(chinese, sLanguage));
  };
  platform::SqlBuffer buffer;
  AppendLine(buffer, "  Union All");
  AppendLine(buffer, "  --资产领用单---");
  AppendLine(buffer, "  SELECT ca.FDate as FDate,Case When ca.FMultiCheckStatus = 16 Then '" + text("是") + "' Else '" +
                         text("否") + "' End as FMultiCheckStatus,");
  AppendLine(buffer, "  '' as FCloseStatus,IsNull(ce.FItemID,0),IsNull(tc.FNumber,'') as FItemNumber,IsNull(tc.FName,'') as FItemName,IsNull(tc.FModel,'') as FItemModel,IsNull(tm.FName,'') as FBaseUnit,");
  AppendLine(buffer, "  IsNull(tm2.FName,'') as FUnit,IsNull(tm3.FName,'') as FAuxUnit,IsNull(ce.FSecCoefficient,0) AS FSecCoefficient,IsNull(ce.FAuxQty,0) as FAuxQty,");
  AppendLine(buffer, "  IsNull(ce.FSupplyID,0) as FSupplyID,IsNull(ts.FNumber,'') as FSupplyNumber,IsNull(ts.FName,'') as FSupplyName,");
  AppendLine(buffer, "  IsNull(ca.FApplyDeptID,0) as FUseDeptID,IsNull(td.FNumber,'') as FUseDeptNumber,IsNull(td.FName,'') as FUseDeptName, ");
  AppendLine(buffer, "  IsNull(ca.FApplyID,0) as FAppUserID,IsNull(te.FNumber,'') as FAppUserNumber,IsNull(te.FName,'') as FAppUserName,");
  // By position: FAppUseDeptID and FChecher fill FAppDeptID and FChecker.
  AppendLine(buffer, "  0 as FAppUseDeptID,'' as FAppDeptNumber,'' as FAppDeptName,");
  AppendLine(buffer, "  Case When ca.FSourceID = 1 Then '" + text("仓库") + "' Else '" + text("资产采购") +
                         "' End   as FApplicationSRC,");
  AppendLine(buffer, "  0 as FAssetAppQty,IsNull(ce.FCheckQty,0) as FRelationApplicationQty,IsNull(ce.FFAQty,0) as FApplicationFAQty, IsNull(ce.FFAAmount,0) as FApplicationFABal,");
  AppendLine(buffer, "  IsNull(ce.FCIPQty,0) as FRelationCIPQty, IsNull(ce.FCIPAmount,0) as FRelationCIPBal,");
  AppendLine(buffer, "  IsNull(ce.FLVCQty,0) as FApplicationLVCQty, IsNull(ce.FLVCAmount,0) as FApplicationLVCBal,0 as FUnDoQty,");
  AppendLine(buffer, "  0 as FPlanStockQty,0 as FPlanUseQty,0 as FRelationStockQty,Case When ca.FCheckerID > 0 Then IsNull(tu.FName,'') Else '' End as FChecher,ca.FCheckDate,IsNull(ca.FNote,''),IsNull(tu2.FName,''),");
  AppendLine(buffer, "  2010007 as FRptID,'ZCSQ' as FRptName,0 as FSumSort,IsNull(tc.FQtyDecimal,2) as FQtyDecimal,IsNull(tc.FPriceDecimal,2) as FPriceDecimal");
  AppendLine(buffer, "  FROM CIP_AssetsApplication ca");
  AppendLine(buffer, "  Inner Join CIP_AssetsApplicationEntry ce On ca.FID = ce.FID");
  AppendApplicationPairs(buffer, strCipWhere);
  AppendLine(buffer, CipJoinSQL() + "  WHERE 1=1 " + strCipWhere);
  AppendLine(buffer, "  AND delAA.FAppBillNo  Is Null");
  return buffer.GetText();
}

}  // namespace orv::reports::rpt2010007
