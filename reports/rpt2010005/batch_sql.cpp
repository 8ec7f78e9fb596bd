// The two batches of the procurement order execution report: the order lines
// with what has arrived, been accepted, invoiced and settled into
// #AA_Rpt2010005, then the grand-total row and the rows of the table.
#include "reports/rpt2010005/sql_routines.h"
#include "toolkit/local_text.h"
#include "toolkit/sql_literal.h"
#include "toolkit/sql_text.h"
#include "toolkit/total_row_sql.h"

namespace orv::reports::rpt2010005 {

namespace {

using toolkit::AppendLine;

// A label of the result rows in the session language, ready for its quotes.
std::string Label(std::string_view text, const std::string& sLanguage) {
  return toolkit::QuoteText(toolkit::GetLocalText(text, sLanguage));
}

}  // namespace

std::string GetDetailBatchSQL(const std::string& sLanguage, const platform::ConditionDictionary* dct) {
  const std::string filter = GetFilterSQL(dct);
  const std::string open = Label("未关闭", sLanguage);
  const std::string closed = Label("关闭", sLanguage);

  platform::SqlBuffer buffer;
  AppendLine(buffer, "SET NOCOUNT ON");
  AppendLine(buffer, "--数据来源：");
  AppendLine(buffer, "--创建临时表：");
  AppendLine(buffer, "IF OBJECT_ID('tempdb..#AA_Rpt2010005')<>0 DROP TABLE #AA_Rpt2010005");
  AppendLine(buffer, "");
  AppendLine(buffer, "CREATE TABLE #AA_Rpt2010005(");
  AppendLine(buffer, "   FSupplyNumber     NVARCHAR(255) NOT NULL DEFAULT(''),");
  AppendLine(buffer, "   FSupplyName       NVARCHAR(255) NOT NULL DEFAULT(''),");
  AppendLine(buffer, "   FBillNo           NVARCHAR(80) NOT NULL DEFAULT(''),");
  AppendLine(buffer, "   FDate             DATETIME NULL,");
  AppendLine(buffer, "   FDeliveryDate     DATETIME NULL,");
  AppendLine(buffer, "   FItemNumber       NVARCHAR(255) NOT NULL DEFAULT(''),");
  AppendLine(buffer, "   FItemName         NVARCHAR(255) NOT NULL DEFAULT(''),");
  AppendLine(buffer, "   FItemModel        NVARCHAR(255) NOT NULL DEFAULT(''),");
  AppendLine(buffer, "   FItemAuxProPerty  NVARCHAR(255) NOT NULL DEFAULT(''),");
  AppendLine(buffer, "   FCloseStatus      NVARCHAR(255) NOT NULL DEFAULT(''),");
  AppendLine(buffer, "   FRowCloseStatus   NVARCHAR(255) NOT NULL DEFAULT(''),");
  AppendLine(buffer, "   FUnit             NVARCHAR(255) NOT NULL DEFAULT(''),");
  AppendLine(buffer, "   FCurrency         NVARCHAR(255) NOT NULL DEFAULT(''),");
  AppendLine(buffer, "   FQty              DECIMAL(23,10) NOT NULL DEFAULT(0),");
  AppendLine(buffer, "   FRealTaxPrice     DECIMAL(23,10) NULL,");
  AppendLine(buffer, "   FTotalAmt         DECIMAL(23,10) NULL,");
  AppendLine(buffer, "   FTotalAmtFor      DECIMAL(23,10) NULL,");
  AppendLine(buffer, "   FArriveQty        DECIMAL(23,10) NULL,");
  AppendLine(buffer, "   FUnArriveQty      DECIMAL(23,10) NULL,");
  AppendLine(buffer, "   FAcceptanceQty    DECIMAL(23,10) NULL,");
  AppendLine(buffer, "   FUnAcceptanceQty  DECIMAL(23,10) NULL,");
  AppendLine(buffer, "   FInvoiceQty       DECIMAL(23,10) NULL,");
  AppendLine(buffer, "   FUnInvoiceQty     DECIMAL(23,10) NULL,");
  AppendLine(buffer, "   FSettleAmt        DECIMAL(23,10) NULL,");
  AppendLine(buffer, "   FUnSettleAmt      DECIMAL(23,10) NULL,");
  AppendLine(buffer, "   FSumSort          SMALLINT NOT NULL DEFAULT(0),");
  AppendLine(buffer, "   FQtyDecimal       INT NULL DEFAULT(0), --数量精度");
  AppendLine(buffer, "   FPriceDecimal     INT NULL DEFAULT(0) ---单价精度");
  AppendLine(buffer, "   ) ON [PRIMARY]");
  AppendLine(buffer, "--数据来源：");
  AppendLine(buffer, "--单据包括:资产采购订单");
  AppendLine(buffer, "  INSERT INTO #AA_Rpt2010005 ");
  AppendLine(buffer, "   ( FSupplyNumber,FSupplyName,FBillNo,FDate,FDeliveryDate,FItemNumber,FItemName,FItemModel,");
  AppendLine(buffer, "     FItemAuxProPerty,FCloseStatus,FRowCloseStatus,FUnit,FCurrency,FQty,FRealTaxPrice,");
  AppendLine(buffer, "     FTotalAmt,FTotalAmtFor,FArriveQty,FUnArriveQty,FAcceptanceQty,FUnAcceptanceQty,");
  AppendLine(buffer, "     FInvoiceQty, FUnInvoiceQty, FSettleAmt,FUnSettleAmt,FSumSort,FQtyDecimal,FPriceDecimal");
  AppendLine(buffer, "    )");
  AppendLine(buffer, "  --资产采购订单---");
  AppendLine(buffer, "  SELECT IsNull(ts.FNumber,'') as FSupplyNumber,IsNull(ts.FName,'') as FSupplyName,");
  AppendLine(buffer, "       IsNull(aa.FBillNo,'') as FBillNo,aa.FDate as FDate,ae.FDeliveryDate as FDeliveryDate,");
  AppendLine(buffer, "       IsNull(tc.FNumber,'') as FItemNumber,IsNull(tc.FName,'') as FItemName,IsNull(tc.FModel,'') as FItemModel,");
  AppendLine(buffer, "       IsNull(taux.FName,'') asFItemAuxProPerty, ");
  AppendLine(buffer, "       Case When aa.FCloseStatus = 0 Then'" + open + "' Else'" + closed + "' End as FCloseStatus, ");
  AppendLine(buffer, "       Case When ae.FCloseStatus = 0 Then'" + open + "' Else'" + closed + "' End as FRowCloseStatus, ");
  AppendLine(buffer, "       IsNull(tm.FName,'') as FUnit,IsNull(tcy.FName,'') as FCurrency,IsNull(ae.FQty,0) as FQty,IsNull(ae.FRealTaxPrice,0) as FRealTaxPrice,");
  AppendLine(buffer, "       IsNull(ae.FTotalAmt,0) as FTotalAmt,IsNull(ae.FTotalAmtFor,0) as FTotalAmtFor,IsNull(ae.FAuxRelateQty,0) as FArriveQty,(IsNull(ae.FQty,0) - IsNull(ae.FAuxRelateQty,0)) as FUnArriveQty,");
  AppendLine(buffer, "       IsNull(ae.FAcceptQty,0) as FAcceptanceQty,(IsNull(ae.FQty,0) - IsNull(ae.FAcceptQty,0)) as FUnAcceptanceQty,");
  AppendLine(buffer, "       IsNull(ae.FInvoiceQty,0) as FInvoiceQty,(IsNull(ae.FQty,0) - IsNull(ae.FInvoiceQty,0)) as FUnInvoiceQty,");
  AppendLine(buffer, "       IsNull(ae.FReceiveRelateAmt,0) as FSettleAmt,(IsNull(ae.FTotalAmt,0) - IsNull(ae.FReceiveRelateAmt,0)) as FUnSettleAmt,");
  AppendLine(buffer, "       0 as FSumSort,IsNull(tc.FQtyDecimal,4) ,IsNull(tc.FPriceDecimal,2)");
  AppendLine(buffer, "       FROM AA_AssetsProcurement aa");
  AppendLine(buffer, "       Inner Join AA_AssetsProcurementEntry ae On aa.FID = ae.FID");
  AppendLine(buffer, "       Left Join t_Department td On aa.FProcurementID = td.FItemID");
  AppendLine(buffer, "       Left Join t_Emp te On aa.FEmployeeID = te.FItemID");
  AppendLine(buffer, "       Left Join t_ICItem tc On ae.FItemID = tc.FItemID");
  AppendLine(buffer, "       Left Join t_AuxItem taux On ae.FItemAuxPropertyID = taux.FItemID");
  AppendLine(buffer, "       Left Join t_MeasureUnit tm On ae.FUnitID = tm.FMeasureUnitID");
  AppendLine(buffer, "       Left Join t_Supplier ts On aa.FSupplyID = ts.FItemID");
  AppendLine(buffer, "       Left Join t_Currency tcy On aa.FCurrencyID = tcy.FCurrencyID");
  AppendLine(buffer, "       WHERE 1=1 " + filter);
  return buffer.GetText();
}

std::string GetTotalBatchSQL(const std::string& sLanguage) {
  static const toolkit::TotalRow kTotalRow{
      "#AA_Rpt2010005",
      {"   ( FSupplyNumber,FQty,",
       "     FTotalAmtFor,FArriveQty,FUnArriveQty,FAcceptanceQty,FUnAcceptanceQty,",
       "     FInvoiceQty, FUnInvoiceQty, FSettleAmt,FUnSettleAmt,FSumSort,FQtyDecimal"},
      "FSupplyNumber",
      "合计:",
      {"     IsNull(Sum(FQty),0),IsNull(Sum(FTotalAmtFor),0),IsNull(Sum(FArriveQty),0),",
       "     IsNull(Sum(FUnArriveQty),0),IsNull(Sum(FAcceptanceQty),0),IsNull(Sum(FUnAcceptanceQty),0),IsNull(Sum(FInvoiceQty),0), ",
       "     IsNull(Sum(FUnInvoiceQty),0),IsNull(Sum(FSettleAmt),0),IsNull(Sum(FUnSettleAmt),0),101 as FSumSort,Max(FQtyDecimal)"}};
  return toolkit::GetTotalRowSQL(kTotalRow, sLanguage);
}

}  // namespace orv::reports::rpt2010005
