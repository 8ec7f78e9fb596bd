// The expense invoice report's values of the grouped summary: its measures,
// which grouping options keep the report identifier as a group column, the
// level items of suppliers and fees, the label moves, the result columns, and
// the total row of the report without grouping.
#include "reports/rpt2010002/sql_routines.h"

namespace orv::reports::rpt2010002 {

const toolkit::SummaryParameters& SummaryParameters() {
  static const toolkit::SummaryParameters kParameters{
      .detail_table = "#AA_Rpt2010002",
      .rollup_measures = {"Sum(IsNull(T1.FQty,0)) as FQty,Sum(IsNull(T1.FAmountFor,0)) as FAmountFor,",
                          "Sum(IsNull(T1.FTaxAmtFor,0)) as FTaxAmtFor,",
                          "Sum(IsNull(T1.FAmtNoTaxFor,0)) as FAmtNoTaxFor,",
                          "Max(FQtyDecimal) as FQtyDecimal,Max(FPriceDecimal) as FPriceDecimal"},
      .level_rollup_measures = {},
      .result_measures = {"t1.FQty,t1.FAmountFor,t1.FTaxAmtFor ,t1.FAmtNoTaxFor,t1.FQtyDecimal,t1.FPriceDecimal"},
      .report_id = {.always_kept = false,
                    .kept_by = {{"FGroupBySupply", "0"},
                                {"FGroupByExpenseType", "3"},
                                {"FGroupBySupAndExp", "4"},
                                {"FGroupByExpAndSup", "5"}},
                    .dropped_by = {{"FGroupBySupplyType", "1"}, {"FGroupByExpense", "2"}}},
      .level_items = {{8, "t1.FSupplyID", "FSupplyName"}, {2014, "t1.FFeeID", "FFeeName"}},
      .levels = {.check_key = "", .numbers = true, .cleanup = true, .item_required = false, .rollup_total_gap = {}},
      .label_renames = {{"FSupplyID", "FSupplyName"},
                        {"FSupplyTypeID", "FSupplyTypeName"},
                        {"FFeeID", "FFeeName"},
                        {"FExpenseTypeID", "FExpenseTypeName"},
                        {"#TmpResult", "#TmpResult2"}},
      .total_label_check_key = "",
      .final_rewrites = {{"t1.FSupplyID,Sup.FNumber AS FSupplyNumber,Sup.FName AS FSupplyName",
                          "tmp2.FSupplyID,tmp2.FSupplyNumber,tmp2.FSupplyName"},
                         {"t1.FFeeID,Fee.FNumber AS FFeeNumber,Fee.FName AS FFeeName",
                          "tmp2.FFeeID,tmp2.FFeeNumber,tmp2.FFeeName"},
                         {"t1.FExpenseTypeID,SMG.FID AS FExpenseTypeNumber,SMG.FName AS FExpenseTypeName",
                          "tmp2.FExpenseTypeID,tmp2.FExpenseTypeNumber,tmp2.FExpenseTypeName"}},
      .identity_columns =
          "FSupplyID,FSupplyNumber,FSupplyName,FFeeID,FFeeNumber,FFeeName,FExpenseTypeID,FExpenseTypeNumber,"
          "FExpenseTypeName,",
      .identity_removals = {{{"FGroupBySupply", "FGroupBySupplyType"}, "FSupplyID,FSupplyNumber,FSupplyName,"},
                            {{"FGroupByExpenseType"}, "FExpenseTypeID,FExpenseTypeNumber,FExpenseTypeName,"},
                            {{"FGroupByExpense"}, "FFeeID,FFeeNumber,FFeeName,"},
                            {{"FGroupBySupAndExp", "FGroupByExpAndSup"},
                             "FSupplyID,FSupplyNumber,FSupplyName,FFeeID,FFeeNumber,FFeeName,"}},
      .final_columns = {" apt.FDate,apt.FBillNo,apt.FCurrency,apt.FUnit,apt.FPrice,apt.FTaxRate,FAmount,FTaxAmt,FAmtNoTax,",
                        " Case When tmp2.FSumSort > 0 Then  tmp2.FQty Else apt.FQty End as FQty, ",
                        " Case When tmp2.FSumSort > 0 Then  tmp2.FAmountFor Else apt.FAmountFor End as FAmountFor,",
                        " Case When tmp2.FSumSort > 0 Then  tmp2.FTaxAmtFor Else apt.FTaxAmtFor End as FTaxAmtFor,",
                        " Case When tmp2.FSumSort > 0 Then  tmp2.FAmtNoTaxFor Else apt.FAmtNoTaxFor End as FAmtNoTaxFor,",
                        " Case When tmp2.FSumSort > 0 Then  tmp2.FQtyDecimal Else apt.FQtyDecimal End as FQtyDecimal,",
                        " Case When tmp2.FSumSort > 0 Then  tmp2.FPriceDecimal Else apt.FPriceDecimal End as FPriceDecimal,",
                        " apt.FChecker,apt.FNote,tmp2.FSumSort"},
      .total_row = toolkit::TotalRow{
          .detail_table = "#AA_Rpt2010002",
          .column_lines = {"   ( FFeeName,FQty,FAmountFor,FTaxAmtFor,FAmtNoTaxFor,FSumSort,FQtyDecimal,FPriceDecimal"},
          .label_column = "FFeeName",
          .label = "合计:",
          .sum_lines = {"     IsNull(Sum(FQty),0),IsNull(Sum(FAmountFor),0),IsNull(Sum(FTaxAmtFor),0),"
                        "IsNull(Sum(FAmtNoTaxFor),0),101 as FSumSort,Max(FQtyDecimal),Max(FPriceDecimal)"}},
      .group_keys = {},
  };
  return kParameters;
}

}  // namespace orv::reports::rpt2010002
