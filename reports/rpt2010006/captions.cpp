// The result columns of the requisition report: the group fields, the detail
// columns, the sums and the precision of quantities and prices.
#include "reports/report_catalog.h"

namespace orv::reports::rpt2010006 {

std::vector<frame::ColumnCaption> Captions() {
  return {
      {"FItemID", "物料内码", {}, true},
      {"FItemNumber", "物料代码"},
      {"FItemName", "物料名称"},
      {"FSupplyID", "供应商内码", {}, true},
      {"FSupplyNumber", "供应商代码"},
      {"FSupplyName", "供应商名称"},
      {"FAppUserID", "领用人内码", {}, true},
      {"FAppUserNumber", "领用人代码"},
      {"FAppUserName", "领用人"},
      {"FUseDeptID", "使用部门内码", {}, true},
      {"FUseDeptNumber", "使用部门代码"},
      {"FUseDeptName", "使用部门"},
      {"FDate", "领用日期"},
      {"FMultiCheckStatus", "已审核"},
      {"FSource", "来源"},
      {"FBillNo", "单据号"},
      {"FProjectID", "项目内码", {}, true},
      {"FProjectNumber", "项目代码"},
      {"FItemModel", "规格型号"},
      {"FBaseUnit", "基本单位"},
      {"FUnit", "单位"},
      {"FAuxUnit", "辅助单位"},
      {"FSecCoefficient", "换算率"},
      {"FPrice", "单价", "FPriceDecimal"},
      {"FAuxQty", "辅助数量", "FQtyDecimal"},
      {"FCheckQty", "领用数量", "FQtyDecimal"},
      {"FAmount", "金额"},
      {"FTaxAmt", "税额"},
      {"FRelationCardQty", "已转卡片数量", "FQtyDecimal"},
      {"FNoDoCardQty", "未转卡片数量", "FQtyDecimal"},
      {"FRelationCardBal", "已转卡片金额"},
      {"FCardDiffBal", "未转卡片金额"},
      {"FQtyDecimal", "数量精度", {}, true},
      {"FPriceDecimal", "单价精度", {}, true},
      {"FBatchNo", "批号"},
      {"FWarehouse", "仓库"},
      {"FBin", "仓位"},
      {"FUseFor", "用途"},
      {"FChecker", "审核人"},
      {"FCheckDate", "审核日期"},
      {"FBiller", "制单人"},
      {"FRptID", "报表ID", {}, true},
      {"FRptName", "报表代码", {}, true},
      {"FSumSort", "汇总类别", {}, true},
  };
}

}  // namespace orv::reports::rpt2010006
