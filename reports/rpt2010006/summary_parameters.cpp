// The requisition report's values of the grouped summary: its measures, the
// report identifier kept as the last group column whatever the grouping, the
// level items of departments, requisitioners, items and suppliers, the level
// switch FChkLevel with level names only, the label moves and the result
// columns. There is no total row of its own: the report always summarises.
#include "reports/rpt2010006/sql_routines.h"

namespace orv::reports::rpt2010006 {

const toolkit::SummaryParameters& SummaryParameters() {
  static const toolkit::SummaryParameters kParameters{
      .detail_table = "#AA_Rpt2010006",
      .rollup_measures = {"Sum(IsNull(T1.FAuxQty,0)) as FAuxQty,Sum(IsNull(T1.FCheckQty,0)) as FCheckQty,",
                          "Sum(IsNull(T1.FAmount,0)) as FAmount,Sum(IsNull(T1.FTaxAmt,0)) as FTaxAmt,"
                          "Sum(IsNull(T1.FRelationCardQty,0)) as FRelationCardQty,",
                          "Sum(IsNull(T1.FNoDoCardQty,0)) as FNoDoCardQty,",
                          "Sum(IsNull(T1.FRelationCardBal,0)) as FRelationCardBal,"
                          "Sum(IsNull(T1.FCardDiffBal,0)) as FCardDiffBal,",
                          "Max(FQtyDecimal) as FQtyDecimal,Max(FPriceDecimal) as FPriceDecimal"},
      .level_rollup_measures = {},
      .result_measures = {" t1.FAuxQty ,t1.FCheckQty,t1.FAmount,t1.FTaxAmt,", " t1.FRelationCardQty, t1.FNoDoCardQty,",
                          " t1.FRelationCardBal,t1.FCardDiffBal,t1.FQtyDecimal,t1.FPriceDecimal "},
      .report_id = {.always_kept = true, .kept_by = {}, .dropped_by = {}},
      .level_items = {{2, "t1.FUseDeptID", ""}, {3, "t1.FAppUserID", ""}, {4, "t1.FItemID", ""},
                      {8, "t1.FSupplyID", ""}},
      // The level total labels run on #TmpResult as soon as the rollup has
      // made it; the updates end with their own line break.
      .levels = {.check_key = "FChkLevel", .numbers = false, .cleanup = false, .item_required = true,
                 .rollup_total_gap = ""},
      .label_renames = {{"FUseDeptID", "FUseDeptName"},
                        {"FItemID", "FItemName"},
                        {"FSupplyID", "FSupplyName"},
                        {"FAppUserID", "FAppUserName"},
                        {"#TmpResult", "#TmpResult2"}},
      .total_label_check_key = "FChkLevel",
      .final_rewrites = {{"t1.FSupplyID,Sup.FNumber AS FSupplyNumber,Sup.FName AS FSupplyName",
                          "tmp2.FSupplyID,tmp2.FSupplyNumber,tmp2.FSupplyName"},
                         {"t1.FAppUserID,Emp.FNumber AS FAppUserNumber,Emp.FName AS FAppUserName",
                          "tmp2.FAppUserID,tmp2.FAppUserNumber,tmp2.FAppUserName"},
                         {"t1.FUseDeptID,UseDep.FNumber AS FUseDeptNumber,UseDep.FName AS FUseDeptName",
                          "tmp2.FUseDeptID,tmp2.FUseDeptNumber,tmp2.FUseDeptName"},
                         {"t1.FItemID,Item.FNumber AS FItemNumber,Item.FName AS FItemName",
                          "tmp2.FItemID,tmp2.FItemNumber,tmp2.FItemName"}},
      .identity_columns = "FSupplyID,FSupplyNumber,FSupplyName,FAppUserID,FAppUserNumber,FAppUserName,FUseDeptID,"
                          "FUseDeptNumber,FUseDeptName,FItemID,FItemNumber,FItemName,",
      .identity_removals = {{{"FGroupByItem"}, "FItemID,FItemNumber,FItemName,"},
                            {{"FGroupBySupply"}, "FSupplyID,FSupplyNumber,FSupplyName,"},
                            {{"FGroupByAppUser"}, "FAppUserID,FAppUserNumber,FAppUserName,"},
                            {{"FGroupByUseDept"}, "FUseDeptID,FUseDeptNumber,FUseDeptName,"}},
      .final_columns =
          {" apt.FDate,apt.FMultiCheckStatus,apt.FSource,apt.FBillNo,apt.FProjectID,apt.FProjectNumber,apt.FItemModel,"
           "apt.FBaseUnit,",
           " apt.FUnit,apt.FAuxUnit,apt.FSecCoefficient,apt.FPrice,",
           " Case When tmp2.FSumSort > 0 Then  tmp2.FAuxQty Else apt.FAuxQty End as FAuxQty, ",
           " Case When tmp2.FSumSort > 0 Then  tmp2.FCheckQty Else apt.FCheckQty End as FCheckQty,",
           " Case When tmp2.FSumSort > 0 Then  tmp2.FAmount Else apt.FAmount End as FAmount,",
           " Case When tmp2.FSumSort > 0 Then  tmp2.FTaxAmt Else apt.FTaxAmt End as FTaxAmt,",
           " Case When tmp2.FSumSort > 0 Then  tmp2.FRelationCardQty Else apt.FRelationCardQty End as FRelationCardQty,",
           " Case When tmp2.FSumSort > 0 Then  tmp2.FNoDoCardQty Else apt.FNoDoCardQty End as FNoDoCardQty,",
           " Case When tmp2.FSumSort > 0 Then  tmp2.FRelationCardBal Else apt.FRelationCardBal End as FRelationCardBal,",
           " Case When tmp2.FSumSort > 0 Then  tmp2.FCardDiffBal Else apt.FCardDiffBal End as FCardDiffBal,",
           " Case When tmp2.FSumSort > 0 Then  IsNull(tmp2.FQtyDecimal,2) Else IsNull(apt.FQtyDecimal,2) End as "
           "FQtyDecimal,",
           " Case When tmp2.FSumSort > 0 Then  IsNull(tmp2.FPriceDecimal,2) Else IsNull(apt.FPriceDecimal,2) End as "
           "FPriceDecimal,",
           "   apt.FBatchNo,apt.FWarehouse,apt.FBin,apt.FUseFor,apt.FChecker,apt.FCheckDate,apt.FBiller,tmp2.FSumSort"},
      .total_row = std::nullopt,
      .group_keys = {"FGroupByItem", "FGroupBySupply", "FGroupByAppUser", "FGroupByUseDept"},
  };
  return kParameters;
}

}  // namespace orv::reports::rpt2010006
