// The result columns of the procurement order execution report: quantities
// take the item's quantity decimals, the price its price decimals.
#include "reports/report_catalog.h"

namespace orv::reports::rpt2010005 {

std::vector<frame::ColumnCaption> Captions() {
  return {
      {"FSupplyNumber", "供应商代码"},
      {"FSupplyName", "供应商名称"},
      {"FBillNo", "订单号"},
      {"FDate", "订单日期"},
      {"FDeliveryDate", "交货日期"},
      {"FItemNumber", "物料代码"},
      {"FItemName", "物料名称"},
      {"FItemModel", "规格型号"},
      {"FItemAuxProPerty", "辅助属性"},
      {"FCloseStatus", "订单关闭状态"},
      {"FRowCloseStatus", "行关闭状态"},
      {"FUnit", "单位"},
      {"FCurrency", "币别"},
      {"FQty", "订货数量", "FQtyDecimal"},
      {"FRealTaxPrice", "含税单价", "FPriceDecimal"},
      {"FTotalAmt", "金额"},
      {"FTotalAmtFor", "金额(原币)"},
      {"FArriveQty", "到货数量", "FQtyDecimal"},
      {"FUnArriveQty", "未到货数量", "FQtyDecimal"},
      {"FAcceptanceQty", "验收数量", "FQtyDecimal"},
      {"FUnAcceptanceQty", "未验收数量", "FQtyDecimal"},
      {"FInvoiceQty", "开票数量", "FQtyDecimal"},
      {"FUnInvoiceQty", "未开票数量", "FQtyDecimal"},
      {"FSettleAmt", "结算金额"},
      {"FUnSettleAmt", "未结算金额"},
      {"FSumSort", "汇总类别", {}, true},
      {"FQtyDecimal", "数量精度", {}, true},
      {"FPriceDecimal", "单价精度", {}, true},
  };
}

}  // namespace orv::reports::rpt2010005
