// The detail batch of the expense invoice report: one row per expense invoice
// line in #AA_Rpt2010002 with its supplier, fee, expense type, amounts,
// checker and note. Three layouts: without grouping, grouped with the report
// identifier as an extra group column (FRptID, FRptName), and grouped without.
#include "platform/automation_error.h"
#include "reports/rpt2010002/sql_routines.h"
#include "toolkit/sql_text.h"

namespace orv::reports::rpt2010002 {

namespace {

using toolkit::AppendLine;

enum class Layout { kUngrouped, kReportId, kGrouped };

// One test chooses the table, the insert and the select, so the three agree.
Layout ChooseLayout(const platform::ConditionDictionary& dct) {
  if (!toolkit::IsGrouped(SummaryParameters(), dct)) return Layout::kUngrouped;
  return toolkit::KeepsReportId(SummaryParameters(), dct) ? Layout::kReportId : Layout::kGrouped;
}

void AppendCreateTable(platform::SqlBuffer& buffer, Layout layout) {
  AppendLine(buffer, "CREATE TABLE #AA_Rpt2010002(");
  AppendLine(buffer, "   FDate               DATETIME NULL,");
  AppendLine(buffer, "   FBillNo             NVARCHAR(80) NOT NULL DEFAULT(''),");
  AppendLine(buffer, "   FSupplyID           INT NOT NULL DEFAULT(0),");
  AppendLine(buffer, "   FSupplyNumber       NVARCHAR(255) NOT NULL DEFAULT(''),");
  AppendLine(buffer, "   FSupplyName         NVARCHAR(255) NOT NULL DEFAULT(''),");
  AppendLine(buffer, "   FFeeID              INT NOT NULL DEFAULT(0),");
  AppendLine(buffer, "   FFeeNumber          NVARCHAR(255) NOT NULL DEFAULT(''),");
  AppendLine(buffer, "   FFeeName            NVARCHAR(255) NOT NULL DEFAULT(''),");
  AppendLine(buffer, "   FExpenseTypeID      INT NOT NULL DEFAULT(0),");
  AppendLine(buffer, "   FExpenseTypeNumber  NVARCHAR(255) NOT NULL DEFAULT(''),");
  AppendLine(buffer, "   FExpenseTypeName    NVARCHAR(255) NOT NULL DEFAULT(''),");
  AppendLine(buffer, "   FCurrency           NVARCHAR(255) NOT NULL DEFAULT(''),");
  AppendLine(buffer, "   FUnit               NVARCHAR(255) NOT NULL DEFAULT(''),");
  AppendLine(buffer, "   FQty                DECIMAL(23,10) NULL,");
  AppendLine(buffer, "   FPrice              DECIMAL(23,10) NULL,");
  AppendLine(buffer, "   FAmount             DECIMAL(23,10) NULL,");
  AppendLine(buffer, "   FAmountFor          DECIMAL(23,10) NULL,");
  AppendLine(buffer, "   FTaxRate            DECIMAL(23,10) NULL,");
  AppendLine(buffer, "   FTaxAmt             DECIMAL(23,10) NULL,");
  AppendLine(buffer, "   FTaxAmtFor          DECIMAL(23,10) NULL,");
  AppendLine(buffer, "   FAmtNoTax           DECIMAL(23,10) NULL,");
  AppendLine(buffer, "   FAmtNoTaxFor        DECIMAL(23,10) NULL,");
  AppendLine(buffer, "   FChecker            NVARCHAR(255) NOT NULL DEFAULT(''),");
  AppendLine(buffer, "   FNote               NVARCHAR(255) NOT NULL DEFAULT(''),");
  if (layout == Layout::kReportId) {
    AppendLine(buffer, "   FRptID              INT NOT NULL DEFAULT(0),");
    AppendLine(buffer, "   FRptName            NVARCHAR(255) NOT NULL DEFAULT(''),");
  }
  AppendLine(buffer, "   FSumSort            SMALLINT NOT NULL DEFAULT(0),");
  AppendLine(buffer, "   FQtyDecimal         INT NULL DEFAULT(0),");
  AppendLine(buffer, "   FPriceDecimal       INT NULL DEFAULT(0)");
  AppendLine(buffer, "   ) ON [PRIMARY]");
}

void AppendInsert(platform::SqlBuffer& buffer, Layout layout) {
  AppendLine(buffer, "  INSERT INTO #AA_Rpt2010002 ");
  AppendLine(buffer, "   ( FDate,FBillNo,");
  AppendLine(buffer, "     FSupplyID,FSupplyNumber,FSupplyName,FFeeID,FFeeNumber,FFeeName,FExpenseTypeID,FExpenseTypeNumber,FExpenseTypeName,");
  AppendLine(buffer, "     FCurrency,FUnit,FQty,FPrice,FAmount,FAmountFor,FTaxRate,FTaxAmt,FTaxAmtFor,FAmtNoTax,FAmtNoTaxFor,FChecker,");
  AppendLine(buffer, layout == Layout::kReportId ? "     FNote,FRptID,FRptName,FSumSort,FQtyDecimal,FPriceDecimal"
                                                 : "     FNote,FSumSort,FQtyDecimal,FPriceDecimal");
  AppendLine(buffer, "    )");
}

void AppendSelect(platform::SqlBuffer& buffer, Layout layout, const std::string& filter) {
  AppendLine(buffer, "  SELECT aa.FDate as FDate,IsNull(aa.FBillNo,'') as FBillNo,");
  AppendLine(buffer, "     IsNull(aa.FSupplyID,0)as FSupplyID,IsNull(ts.FNumber,'') as FSupplyNumber,IsNull(ts.FName,'') as FSupplyName ,");
  AppendLine(buffer, "     IsNull(ae.FExpenseID,0)as FFeeID,IsNull(tf.FNumber,'') as FFeeNumber,IsNull(tf.FName,'') as FFeeName,");
  AppendLine(buffer, "     IsNull(ae.FExpenseType,0)as FExpenseTypeID,IsNull(tsm.FID,'') as FExpenseTypeNumber,IsNull(tsm.FName,'') as FExpenseTypeName,");
  AppendLine(buffer, "     IsNull(tcy.FName,'') as FCurrency,IsNull(ae.FUnit,'') as FUnit,IsNull(ae.FQty,0) as FQty,IsNull(ae.FPrice,0) as FPrice,");
  AppendLine(buffer, "     IsNull(ae.FAmount,0) as FAmount,IsNull(ae.FAmountFor,0) as FAmountFor,IsNull(ae.FTaxRate,0) as FTaxRate,");
  AppendLine(buffer, "     IsNull(ae.FTaxAmt,0) as FTaxAmt,IsNull(ae.FTaxAmtFor,0) as FTaxAmtFor,");
  AppendLine(buffer, "     IsNull(ae.FAmtNoTax,0) as FAmtNoTax,IsNull(ae.FAmtNoTaxFor,0) as FAmtNoTaxFor,");
  AppendLine(buffer, "     Case When aa.FCheckerID > 0 Then tu.FName Else '' End as FChecker, ");
  switch (layout) {
    case Layout::kReportId:
      AppendLine(buffer, "     ae.FNote,2010002 as FRptID,'ZCCGFYFP' as FRptName,0 as FSumSort,4 as FQtyDecimal,4 as FPriceDecimal");
      break;
    case Layout::kGrouped:
      AppendLine(buffer, "     ae.FNote,0 as FSumSort,4 as FQtyDecimal,4 as  FPriceDecimal");
      break;
    case Layout::kUngrouped:
      AppendLine(buffer, "     ae.FNote,0 as FSumSort,4 as FQtyDecimal,4 as FPriceDecimal");
      break;
  }
  AppendLine(buffer, "  From AA_AssetsExpenseInvoice aa ");
  AppendLine(buffer, "  Inner Join AA_AssetsExpenseInvoiceEntry ae On aa.FID = ae.FID");
  AppendLine(buffer, "  Left Join AA_HookLogEntry ahe ON ahe.FClassID_SRC=1200006 AND ahe.FID_SRC=ae.FID AND ahe.FEntryID_SRC=ae.FEntryID");
  AppendLine(buffer, "  Left Join AA_HookLog ah ON ah.FID=ahe.FID AND ah.FType=1");
  AppendLine(buffer, "  Left Join t_Currency tcy On aa.FCurrencyID = tcy.FCurrencyID");
  AppendLine(buffer, "  Left Join t_Supplier ts On aa.FSupplyID = ts.FItemID");
  AppendLine(buffer, "  Left Join t_Fee tf On ae.FExpenseID = tf.FItemID");
  buffer.Append("  Left Join t_subMessage tsm On ae.FExpenseType = tsm.FInterID And tsm.FTypeID=411");  // next join on the same line
  AppendLine(buffer, "  Left Join t_User tu On aa.FCheckerID = tu.FUserID");
  AppendLine(buffer, "  WHERE   1=1 " + filter);
}

}  // namespace

std::string GetDetailBatchSQL(const platform::ConditionDictionary* dct) {
  const std::string filter = GetFilterSQL(dct);
  if (dct == nullptr) platform::RaiseRuntimeError(platform::kErrObjectNotSet);
  const Layout layout = ChooseLayout(*dct);

  platform::SqlBuffer buffer;
  AppendLine(buffer, "SET NOCOUNT ON");
  AppendLine(buffer, "--数据来源：");
  AppendLine(buffer, "--资产采购费用发票：   AA_AssetsExpenseInvoice、AA_AssetsExpenseInvoiceEntry");
  AppendLine(buffer, "--创建临时表：");
  AppendLine(buffer, "");
  AppendLine(buffer, "IF OBJECT_ID('tempdb..#AA_Rpt2010002')<>0 DROP TABLE #AA_Rpt2010002");
  AppendLine(buffer, "");
  AppendCreateTable(buffer, layout);
  AppendLine(buffer, "--数据来源：");
  AppendLine(buffer, "--单据包括：资产采购费用发票");
  AppendLine(buffer, "--资产采购费用发票：   AA_AssetsExpenseInvoice、AA_AssetsExpenseInvoiceEntry");
  AppendInsert(buffer, layout);
  AppendSelect(buffer, layout, filter);
  return buffer.GetText();
}

}  // namespace orv::reports::rpt2010002
