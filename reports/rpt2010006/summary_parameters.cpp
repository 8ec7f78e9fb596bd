// The requisition report's values of the grouped summary: those of the four
// group fields it shares with the application tracking report, its measures
// and its fixed result columns. There is no total row of its own: the report
// always summarises.
#include "reports/four_field_summary.h"
#include "reports/rpt2010006/sql_routines.h"

namespace orv::reports::rpt2010006 {

const toolkit::SummaryParameters& SummaryParameters() {
  static const toolkit::SummaryParameters kParameters = [] {
    // The level total labels end with their own line break.
    toolkit::SummaryParameters p = FourFieldSummary("#AA_Rpt2010006", "");
    p.rollup_measures = {"Sum(IsNull(T1.FAuxQty,0)) as FAuxQty,Sum(IsNull(T1.FCheckQty,0)) as FCheckQty,",
                         "Sum(IsNull(T1.FAmount,0)) as FAmount,Sum(IsNull(T1.FTaxAmt,0)) as FTaxAmt,"
                         "Sum(IsNull(T1.FRelationCardQty,0)) as FRelationCardQty,",
                         "Sum(IsNull(T1.FNoDoCardQty,0)) as FNoDoCardQty,",
                         "Sum(IsNull(T1.FRelationCardBal,0)) as FRelationCardBal,"
                         "Sum(IsNull(T1.FCardDiffBal,0)) as FCardDiffBal,",
                         "Max(FQtyDecimal) as FQtyDecimal,Max(FPriceDecimal) as FPriceDecimal"};
    p.result_measures = {" t1.FAuxQty ,t1.FCheckQty,t1.FAmount,t1.FTaxAmt,", " t1.FRelationCardQty, t1.FNoDoCardQty,",
                         " t1.FRelationCardBal,t1.FCardDiffBal,t1.FQtyDecimal,t1.FPriceDecimal "};
    p.final_columns = {
        " apt.FDate,apt.FMultiCheckStatus,apt.FSource,apt.FBillNo,apt.FProjectID,apt.FProjectNumber,apt.FItemModel,"
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
        "   apt.FBatchNo,apt.FWarehouse,apt.FBin,apt.FUseFor,apt.FChecker,apt.FCheckDate,apt.FBiller,tmp2.FSumSort"};
    return p;
  }();
  return kParameters;
}

}  // namespace orv::reports::rpt2010006
