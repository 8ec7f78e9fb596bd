// The application tracking report's values of the grouped summary, one set
// per view: those of the four group fields it shares with the requisition
// report, the quantities of the view summed beside the common ones, and the
// result columns, where the applying department stands before the fixed
// columns. The report always summarises.
#include "reports/four_field_summary.h"
#include "reports/rpt2010007/sql_routines.h"

namespace orv::reports::rpt2010007 {

namespace {

constexpr std::string_view kCommonSums1 =
    "Sum(IsNull(T1.FUnDoQty,0)) as FUnDoQty,Sum(IsNull(T1.FPlanStockQty,0)) as FPlanStockQty,";
constexpr std::string_view kCommonSums2 =
    "Sum(IsNull(T1.FPlanUseQty,0)) as FPlanUseQty,Sum(IsNull(T1.FRelationStockQty,0)) as FRelationStockQty,";
constexpr std::string_view kPrecisions = "Max(FQtyDecimal) as FQtyDecimal,Max(FPriceDecimal) as FPriceDecimal";
constexpr std::string_view kCommonColumns =
    "t1.FUnDoQty,t1.FPlanStockQty,t1.FPlanUseQty ,t1.FRelationStockQty,t1.FQtyDecimal,t1.FPriceDecimal";

constexpr std::string_view kDeptOfApplication = "apt.FAppDeptID, apt.FAppDeptNumber, apt.FAppDeptName,";
constexpr std::string_view kFixedHead1 = "     apt.FDate,apt.FMultiCheckStatus,apt.FCloseStatus,apt.FItemModel,apt.FBaseUnit,";
constexpr std::string_view kFixedHead2 = "     apt.FUnit,apt.FAuxUnit,apt.FSecCoefficient,";
constexpr std::string_view kFixedHead3 = "     Case When tmp2.FSumSort > 0 Then  tmp2.FAuxQty Else apt.FAuxQty End as FAuxQty, ";
constexpr std::string_view kFixedHead4 = "     apt.FAppDeptID,apt.FAppDeptNumber,apt.FAppDeptName,";
constexpr std::string_view kFixedTail = "     apt.FChecker,apt.FCheckDate,apt.FNote,apt.FBiller,tmp2.FSumSort";

// Summary rows show the rollup's value, detail rows the line's own.
#define ORV_PICK(column) " Case When tmp2.FSumSort > 0 Then  tmp2." column " Else apt." column " End as " column ","
#define ORV_COMMON_PICKS                                                                                        \
  ORV_PICK("FUnDoQty"), ORV_PICK("FPlanStockQty"), ORV_PICK("FPlanUseQty"), ORV_PICK("FRelationStockQty"),     \
      ORV_PICK("FQtyDecimal"), ORV_PICK("FPriceDecimal")

// The level total labels are wrapped with a line break of their own.
toolkit::SummaryParameters Common() { return FourFieldSummary("#AA_Rpt2010007", "\r\n"); }

toolkit::SummaryParameters ApplicationView() {
  toolkit::SummaryParameters p = Common();
  p.rollup_measures = {
      "Sum(IsNull(T1.FAppQty,0)) as FAppQty,Sum(IsNull(T1.FCheckQty,0)) as FCheckQty,",
      "Sum(IsNull(T1.FAuxQty,0)) as FAuxQty,Sum(IsNull(T1.FRelationAAQty,0)) as FRelationAAQty,",
      "Sum(IsNull(T1.FRelationFAQty,0)) as FRelationFAQty,Sum(IsNull(T1.FRelationFABal,0)) as FRelationFABal,",
      "Sum(IsNull(T1.FRelationCIPQty,0)) as FRelationCIPQty,Sum(IsNull(T1.FRelationCIPBal,0)) as FRelationCIPBal,",
      "Sum(IsNull(T1.FRelationLVCQty,0)) as FRelationLVCQty,Sum(IsNull(T1.FRelationLVCBal,0)) as FRelationLVCBal,",
      kCommonSums1, kCommonSums2, kPrecisions};
  p.result_measures = {" t1.FAppQty, t1.FCheckQty,t1.FAuxQty ,t1.FRelationAAQty,",
                       " t1.FRelationFAQty, t1.FRelationFABal,t1.FRelationCIPQty, t1.FRelationCIPBal,t1.FRelationLVCQty ,t1.FRelationLVCBal,",
                       kCommonColumns};
  p.final_columns = {kDeptOfApplication,          kFixedHead1,
                     kFixedHead2,                 kFixedHead3,
                     kFixedHead4,                 " apt.FBillNo,",
                     ORV_PICK("FAppQty"),         ORV_PICK("FCheckQty"),
                     ORV_PICK("FRelationAAQty"),  ORV_PICK("FRelationFAQty"),
                     ORV_PICK("FRelationFABal"),  ORV_PICK("FRelationCIPQty"),
                     ORV_PICK("FRelationCIPBal"), ORV_PICK("FRelationLVCQty"),
                     ORV_PICK("FRelationLVCBal"), ORV_COMMON_PICKS,
                     kFixedTail};
  return p;
}

toolkit::SummaryParameters SourceView() {
  toolkit::SummaryParameters p = Common();
  const std::vector<std::string_view> head = {
      "Sum(IsNull(T1.FAssetAppQty,0)) as FAssetAppQty,",
      "Sum(IsNull(T1.FAuxQty,0)) as FAuxQty,Sum(IsNull(T1.FRelationApplicationQty,0)) as FRelationApplicationQty,",
      "Sum(IsNull(T1.FApplicationFAQty,0)) as FApplicationFAQty,Sum(IsNull(T1.FApplicationFABal,0)) as FApplicationFABal,",
      "Sum(IsNull(T1.FRelationCIPQty,0)) as FRelationCIPQty,Sum(IsNull(T1.FRelationCIPBal,0)) as FRelationCIPBal,"};
  p.rollup_measures = head;
  p.rollup_measures.insert(p.rollup_measures.end(),
                           {"Sum(IsNull(T1.FApplicationLVCQty,0)) as FApplicationLVCQty,Sum(IsNull(T1. FApplicationLVCBal,0)) as  FApplicationLVCBal,",
                            kCommonSums1, kCommonSums2, kPrecisions});
  p.level_rollup_measures = head;
  p.level_rollup_measures.insert(p.level_rollup_measures.end(),
                                 {"Sum(IsNull(T1.FApplicationLVCQty,0)) as FApplicationLVCQty,Sum(IsNull(T1.FApplicationLVCBal,0)) as FApplicationLVCBal,",
                                  kCommonSums1, kCommonSums2, kPrecisions});
  p.result_measures = {" t1.FAssetAppQty,t1.FAuxQty ,t1.FRelationApplicationQty,",
                       " t1.FApplicationFAQty, t1.FApplicationFABal,t1.FRelationCIPQty, t1.FRelationCIPBal,t1.FApplicationLVCQty ,t1.FApplicationLVCBal,",
                       kCommonColumns};
  p.final_columns = {kDeptOfApplication,
                     kFixedHead1,
                     kFixedHead2,
                     kFixedHead3,
                     kFixedHead4,
                     " apt.FApplicationSRC,",
                     ORV_PICK("FAssetAppQty"),
                     ORV_PICK("FRelationApplicationQty"),
                     ORV_PICK("FApplicationFAQty"),
                     ORV_PICK("FApplicationFABal"),
                     ORV_PICK("FRelationCIPQty"),
                     ORV_PICK("FRelationCIPBal"),
                     ORV_PICK("FApplicationLVCQty"),
                     ORV_PICK("FApplicationLVCBal"),
                     ORV_COMMON_PICKS,
                     kFixedTail};
  return p;
}

#undef ORV_COMMON_PICKS
#undef ORV_PICK

}  // namespace

const toolkit::SummaryParameters& SummaryParameters(View view) {
  static const toolkit::SummaryParameters kApplication = ApplicationView();
  static const toolkit::SummaryParameters kSource = SourceView();
  return view == View::Application ? kApplication : kSource;
}

}  // namespace orv::reports::rpt2010007
