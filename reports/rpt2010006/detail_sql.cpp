// The detail batch of the requisition report: one row per requisition line in
// #AA_Rpt2010006 with its project, item and units, supplier, department,
// requisitioner, warehouse, amounts, and what was carried into construction
// in progress, fixed assets or low-value consumables by the purpose of the
// requisition. Texts that land in rows are localized as they are spliced in.
#include "reports/rpt2010006/sql_routines.h"
#include "toolkit/local_text.h"
#include "toolkit/sql_literal.h"
#include "toolkit/sql_text.h"

namespace orv::reports::rpt2010006 {

namespace {

using toolkit::AppendLine;

void AppendCreateTable(platform::SqlBuffer& buffer) {
  AppendLine(buffer, "CREATE TABLE #AA_Rpt2010006(");
  AppendLine(buffer, "   FDate               DATETIME NOT NULL DEFAULT(GETDATE()), --领用日期");
  AppendLine(buffer, "   FMultiCheckStatus   NVARCHAR(255) NOT NULL DEFAULT('2'), --是否审核");
  AppendLine(buffer, "   FSource             NVARCHAR(80) NOT NULL DEFAULT(''),   --来源");
  AppendLine(buffer, "   FBillNo             NVARCHAR(80) NOT NULL DEFAULT(''),");
  AppendLine(buffer, "   FProjectID          INT NOT NULL DEFAULT(0),");
  AppendLine(buffer, "   FProjectNumber      NVARCHAR(255) NOT NULL DEFAULT(''),");
  AppendLine(buffer, "   FItemID             INT NOT NULL DEFAULT(0),");
  AppendLine(buffer, "   FItemNumber         NVARCHAR(255) NOT NULL DEFAULT(''),");
  AppendLine(buffer, "   FItemName           NVARCHAR(255) NOT NULL DEFAULT(''),");
  AppendLine(buffer, "   FItemModel          NVARCHAR(255) NOT NULL DEFAULT(''),");
  AppendLine(buffer, "   FBaseUnit           NVARCHAR(255) NOT NULL DEFAULT(''),  --基本单位");
  AppendLine(buffer, "   FUnit               NVARCHAR(255) NOT NULL DEFAULT(''),");
  AppendLine(buffer, "   FAuxUnit            NVARCHAR(255) NOT NULL DEFAULT(''),  --辅助单位");
  AppendLine(buffer, "   FSecCoefficient     DECIMAL(23,10) NULL,                 --换算率");
  AppendLine(buffer, "   FAuxQty             DECIMAL(23,10) NULL,                 --辅助数量");
  AppendLine(buffer, "   FSupplyID           INT NOT NULL DEFAULT(0),");
  AppendLine(buffer, "   FSupplyNumber       NVARCHAR(255) NOT NULL DEFAULT(''),");
  AppendLine(buffer, "   FSupplyName         NVARCHAR(255) NOT NULL DEFAULT(''),");
  AppendLine(buffer, "   FUseDeptID          INT NOT NULL DEFAULT(0),             --使用部门");
  AppendLine(buffer, "   FUseDeptNumber      NVARCHAR(255) NOT NULL DEFAULT(''),");
  AppendLine(buffer, "   FUseDeptName        NVARCHAR(255) NOT NULL DEFAULT(''),");
  AppendLine(buffer, "   FAppUserID          INT NOT NULL DEFAULT(0),             --领用人");
  AppendLine(buffer, "   FAppUserNumber      NVARCHAR(255) NOT NULL DEFAULT(''),");
  AppendLine(buffer, "   FAppUserName        NVARCHAR(255) NOT NULL DEFAULT(''),");
  AppendLine(buffer, "   FBatchNo            NVARCHAR(255) NOT NULL DEFAULT(''),");
  AppendLine(buffer, "   FWarehouse          NVARCHAR(255) NOT NULL DEFAULT(''),");
  AppendLine(buffer, "   FBin                NVARCHAR(255) NOT NULL DEFAULT(''),");
  AppendLine(buffer, "   FCheckQty           DECIMAL(23,10) NULL,                 --领用数量");
  AppendLine(buffer, "   FPrice              DECIMAL(23,10) NULL,");
  AppendLine(buffer, "   FAmount             DECIMAL(23,10) NULL,");
  AppendLine(buffer, "   FTaxAmt             DECIMAL(23,10) NULL,");
  AppendLine(buffer, "   FUseFor             NVARCHAR(255) NOT NULL DEFAULT(''),  --用途");
  AppendLine(buffer, "   FRelationCardQty    DECIMAL(23,10) NULL,                 --已转卡片数量");
  AppendLine(buffer, "   FNoDoCardQty        DECIMAL(23,10) NULL,                 --未转卡片数量");
  AppendLine(buffer, "   FRelationCardBal    DECIMAL(23,10) NULL,                 --已转卡片金额");
  AppendLine(buffer, "   FCardDiffBal        DECIMAL(23,10) NULL,                 --未转卡片金额");
  AppendLine(buffer, "   FChecker            NVARCHAR(255) NULL,");
  AppendLine(buffer, "   FCheckDate          DATETIME NULL,");
  AppendLine(buffer, "   FBiller             NVARCHAR(255) NOT NULL DEFAULT(''),  --制单人");
  AppendLine(buffer, "   FRptID              INT NOT NULL DEFAULT(0),");
  AppendLine(buffer, "   FRptName            NVARCHAR(50) NOT NULL DEFAULT(''),");
  AppendLine(buffer, "   FSumSort            SMALLINT NOT NULL DEFAULT(0),");
  AppendLine(buffer, "   FQtyDecimal         INT NOT NULL DEFAULT(0),             --数量精度");
  AppendLine(buffer, "   FPriceDecimal       INT NOT NULL DEFAULT(0)              --单价精度");
  AppendLine(buffer, "   ) ON [PRIMARY]");
}

void AppendInsert(platform::SqlBuffer& buffer) {
  AppendLine(buffer, "  INSERT INTO #AA_Rpt2010006 ");
  AppendLine(buffer, "   ( FDate,FMultiCheckStatus,FSource,FBillNo,FProjectID,FProjectNumber,FItemID,FItemNumber,FItemName,FItemModel,FBaseUnit,");
  AppendLine(buffer, "     FUnit,FAuxUnit,FSecCoefficient,FAuxQty,FSupplyID,FSupplyNumber,FSupplyName,");
  AppendLine(buffer, "     FUseDeptID,FUseDeptNumber,FUseDeptName,FAppUserID,FAppUserNumber,FAppUserName,");
  AppendLine(buffer, "     FBatchNo, FWarehouse, FBin,FCheckQty,FPrice,FAmount,FTaxAmt,FUseFor,FRelationCardQty,");
  AppendLine(buffer, "     FNoDoCardQty,FRelationCardBal,FCardDiffBal,FChecker,FCheckDate,FBiller,FRptID,FRptName,FSumSort,FQtyDecimal,FPriceDecimal");
  AppendLine(buffer, "    )");
}

// Units, supplier, requisitioner, biller, purpose text and precisions go into
// NOT NULL columns: each has its default where the requisition or the base
// data has no value (an item without a secondary unit, a biller no longer in
// t_User, a purpose outside 1 to 3), so one such line cannot fail the report.
void AppendSelect(platform::SqlBuffer& buffer, const std::string& sLanguage, const std::string& filter) {
  const auto text = [&sLanguage](const char* chinese) { return toolkit::QuoteText(toolkit::GetLocalText(chinese, sLanguage)); };
  AppendLine(buffer, "  SELECT ca.FDate as FDate,Case When ca.FMultiCheckStatus = 16 Then '" + text("是") + "' Else '" +
                         text("否") + "' End as FMultiCheckStatus,");
  AppendLine(buffer, "       Case When ca.FSourceID = 1 Then '" + text("仓库") + "' Else '" + text("资产采购") +
                         "' End as FSource,");
  AppendLine(buffer, "       IsNull(ca.FBillNo,'') as FBillNo,IsNull(ca.FProjectID,0) as FProjectID,IsNull(tbj.FNumber,'') as FProjectNumber,IsNull(ce.FItemID,0) as FItemID,IsNull(tc.FNumber,'') as FItemNumber,IsNull(tc.FName,'') as FItemName,IsNull(tc.FModel,'') as FItemModel,IsNull(tm.FName,'') as FBaseUnit,");
  AppendLine(buffer, "       IsNull(tm2.FName,'') as FUnit,IsNull(tm3.FName,'') as FAuxUnit,ce.FSecCoefficient AS FSecCoefficient,ce.FAuxQty as FAuxQty,");
  AppendLine(buffer, "       IsNull(ce.FSupplyID,0) as FSupplyID,IsNull(ts.FNumber,'') as FSupplyNumber,IsNull(ts.FName,'') as FSupplyName,");
  AppendLine(buffer, "       IsNull(ca.FApplyDeptID,0) as FUseDeptID,IsNull(td.FNumber,'') as FUseDeptNumber,IsNull(td.FName,'') as FUseDeptName, ");
  AppendLine(buffer, "       IsNull(ca.FApplyID,0) as FAppUserID,IsNull(te.FNumber,'') as FAppUserNumber,IsNull(te.FName,'') as FAppUserName,IsNull(ce.FBatchNo,'') as FBatchNo,");
  AppendLine(buffer, "       IsNull(tk.FName,'')as FWarehouse,IsNull(tkp.FName,'') as FBin,IsNull(ce.FCheckQty,0) as FCheckQty,IsNull(ce.FPrice,0) as FPrice,IsNull(ce.FAmount,0) as FAmount,IsNull(ce.FTaxAmt,0) as FTaxAmt,");
  AppendLine(buffer, "       Case When ca.FPurposeID = 1 then '" + text("在建工程") + "'");
  AppendLine(buffer, "            When ca.FPurposeID = 2 then '" + text("转固定资产") + "'");
  AppendLine(buffer, "            When ca.FPurposeID = 3 then '" + text("转低值易耗品") + "'  Else '' End as FUseFor,");
  AppendLine(buffer, "       Case When ca.FPurposeID = 1 then  IsNull(ce.FCIPQty,0) ");
  AppendLine(buffer, "            When ca.FPurposeID = 2 then  IsNull(ce.FFAQty,0)");
  AppendLine(buffer, "            When ca.FPurposeID = 3 then  IsNull(ce.FLVCQty,0)  End as FRelationCardQty,");
  AppendLine(buffer, "       Case When ca.FPurposeID = 1 then  0 ");
  AppendLine(buffer, "            When ca.FPurposeID = 2 then  (IsNull(ce.FCheckQty,0) - IsNull(ce.FFAQty,0))");
  AppendLine(buffer, "            When ca.FPurposeID = 3 then  (IsNull(ce.FCheckQty,0) - IsNull(ce.FLVCQty,0))  End as FNoDoCardQty,");
  AppendLine(buffer, "       Case When ca.FPurposeID = 1 then  (IsNull(ce.FCIPAmount,0) + IsNull(ce.FCIPTaxAmt,0)) ");
  AppendLine(buffer, "            When ca.FPurposeID = 2 then  (IsNull(ce.FFAAmount,0) + IsNull(ce.FFATaxAmt,0)) ");
  AppendLine(buffer, "            When ca.FPurposeID = 3 then  (IsNull(ce.FLVCAmount,0) + IsNull(ce.FLVCTaxAmt,0)) End as FRelationCardBal,");
  AppendLine(buffer, "       Case When ca.FPurposeID = 1 then  0 ");
  AppendLine(buffer, "            When ca.FPurposeID = 2 then  (IsNull(ce.FAmount,0) + IsNull(ce.FTaxAmt,0) - IsNull(ce.FFAAmount ,0) - IsNull(ce.FFATaxAmt,0))");
  AppendLine(buffer, "            When ca.FPurposeID = 3 then  (IsNull(ce.FAmount,0) + IsNull(ce.FTaxAmt,0) - IsNull(ce.FLVCAmount,0) - IsNull(ce.FLVCTaxAmt,0))  End as FCardDiffBal,");
  // By position: the alias FChecher and the two unnamed columns fill FChecker, FCheckDate and FBiller.
  AppendLine(buffer, "       Case When ca.FCheckerID > 0 Then tu.FName Else '' End as FChecher,ca.FCheckDate,IsNull(tu2.FName,''),");
  AppendLine(buffer, "       2010006 as FRptID,'ZCLY' as FRptName,0 as FSumSort,IsNull(tc.FQtyDecimal,2),IsNull(tc.FPriceDecimal,2) as FPriceDecimal");
  AppendLine(buffer, "       FROM CIP_AssetsApplication ca");
  AppendLine(buffer, "       Inner Join CIP_AssetsApplicationEntry ce On ca.FID = ce.FID");
  AppendLine(buffer, "       Left Join t_Base_ProjectItem tbj On ca.FProjectID = tbj.FItemID");
  AppendLine(buffer, "       Left Join t_Department td On ca.FApplyDeptID = td.FItemID");
  AppendLine(buffer, "       Left Join t_Emp te On ca.FApplyID = te.FItemID");
  AppendLine(buffer, "       Left Join t_ICItem tc On ce.FItemID = tc.FItemID");
  AppendLine(buffer, "       Left Join t_MeasureUnit tm On tc.FUnitID = tm.FMeasureUnitID");
  AppendLine(buffer, "       Left Join t_MeasureUnit tm2 On ce.FUnitID = tm2.FMeasureUnitID");
  AppendLine(buffer, "       Left Join t_MeasureUnit tm3 On tc.FSecUnitID = tm3.FMeasureUnitID");
  AppendLine(buffer, "       Left Join t_Stock tk On ce.FStockID = tk.FItemID");
  AppendLine(buffer, "       Left Join t_StockPlace tkp On ce.FDcspID = tkp.FSPID");
  AppendLine(buffer, "       Left Join t_Supplier ts On ce.FSupplyID = ts.FItemID");
  AppendLine(buffer, "       Left Join t_User tu On ca.FCheckerID = tu.FUserID");
  AppendLine(buffer, "       Left Join t_User tu2 On ca.FBiller = tu2.FUserID");
  AppendLine(buffer, "       WHERE 1=1 " + filter);
}

}  // namespace

std::string GetDetailBatchSQL(const std::string& sLanguage, const platform::ConditionDictionary* dct) {
  const std::string filter = GetFilterSQL(dct);
  platform::SqlBuffer buffer;
  AppendLine(buffer, "SET NOCOUNT ON");
  AppendLine(buffer, "--数据来源：");
  AppendLine(buffer, "--资产领用单： CIP_AssetsApplication、CIP_AssetsApplicationEntry");
  AppendLine(buffer, "--创建临时表：");
  AppendLine(buffer, "IF OBJECT_ID('tempdb..#AA_Rpt2010006')<>0 DROP TABLE #AA_Rpt2010006");
  AppendLine(buffer, "");
  AppendCreateTable(buffer);
  AppendLine(buffer, "--数据来源：");
  AppendLine(buffer, "--单据包括:资产领用单");
  AppendInsert(buffer);
  AppendLine(buffer, "  --资产领用单---");
  AppendSelect(buffer, sLanguage, filter);
  return buffer.GetText();
}

}  // namespace orv::reports::rpt2010006
