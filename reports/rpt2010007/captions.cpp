// The result columns of the application tracking report in both views: the
// application view's quantities and amounts and the source view's, which
// carry the same facts under other names.
#include "reports/report_catalog.h"

namespace orv::reports::rpt2010007 {

std::vector<frame::ColumnCaption> Captions() {
  return {
      {"FItemID", "物料内码", {}, true},
      {"FItemNumber", "物料代码"},
      {"FItemName", "物料名称"},
      {"FSupplyID", "供应商内码", {}, true},
      {"FSupplyNumber", "供应商代码"},
      {"FSupplyName", "供应商名称"},
      {"FAppUserID", "申请人内码", {}, true},
      {"FAppUserNumber", "申请人代码"},
      {"FAppUserName", "申请人"},
      {"FUseDeptID", "使用部门内码", {}, true},
      {"FUseDeptNumber", "使用部门代码"},
      {"FUseDeptName", "使用部门"},
      {"FAppDeptID", "申请部门内码", {}, true},
      {"FAppDeptNumber", "申请部门代码"},
      {"FAppDeptName", "申请部门"},
      {"FDate", "申请日期"},
      {"FMultiCheckStatus", "已审核"},
      {"FCloseStatus", "已关闭"},
      {"FItemModel", "规格型号"},
      {"FBaseUnit", "基本单位"},
      {"FUnit", "单位"},
      {"FAuxUnit", "辅助单位"},
      {"FSecCoefficient", "换算率"},
      {"FAuxQty", "辅助数量", "FQtyDecimal"},
      {"FBillNo", "申请单号"},
      {"FAppQty", "申请数量", "FQtyDecimal"},
      {"FCheckQty", "批准数量", "FQtyDecimal"},
      {"FRelationAAQty", "已领用数量", "FQtyDecimal"},
      {"FRelationFAQty", "转固定资产数量", "FQtyDecimal"},
      {"FRelationFABal", "转固定资产金额"},
      {"FRelationCIPQty", "在建工程数量", "FQtyDecimal"},
      {"FRelationCIPBal", "在建工程金额"},
      {"FRelationLVCQty", "转低值易耗品数量", "FQtyDecimal"},
      {"FRelationLVCBal", "转低值易耗品金额"},
      {"FApplicationSRC", "来源"},
      {"FAssetAppQty", "批准数量", "FQtyDecimal"},
      {"FRelationApplicationQty", "已领用数量", "FQtyDecimal"},
      {"FApplicationFAQty", "转固定资产数量", "FQtyDecimal"},
      {"FApplicationFABal", "转固定资产金额"},
      {"FApplicationLVCQty", "转低值易耗品数量", "FQtyDecimal"},
      {"FApplicationLVCBal", "转低值易耗品金额"},
      {"FUnDoQty", "未执行数量", "FQtyDecimal"},
      {"FPlanStockQty", "计划入库数量", "FQtyDecimal"},
      {"FPlanUseQty", "计划领用数量", "FQtyDecimal"},
      {"FRelationStockQty", "已入库数量", "FQtyDecimal"},
      {"FQtyDecimal", "数量精度", {}, true},
      {"FPriceDecimal", "单价精度", {}, true},
      {"FChecker", "审核人"},
      {"FCheckDate", "审核日期"},
      {"FNote", "备注"},
      {"FBiller", "制单人"},
      {"FRptID", "报表ID", {}, true},
      {"FRptName", "报表代码", {}, true},
      {"FSumSort", "汇总类别", {}, true},
  };
}

}  // namespace orv::reports::rpt2010007
