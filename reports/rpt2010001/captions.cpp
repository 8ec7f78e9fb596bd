// The result columns of the purchase invoice report with their captions:
// quantities take the item's quantity decimals, prices its price decimals,
// amounts the currency's decimals.
#include "reports/report_catalog.h"

namespace orv::reports::rpt2010001 {

std::vector<frame::ColumnCaption> Captions() {
  return {
      {"FDate", "日期"},
      {"FFinDate", "财务日期"},
      {"FInvoiceType", "发票类型"},
      {"FInvoiceNumber", "发票号码"},
      {"FSupplyNumber", "供应商代码"},
      {"FSupplyName", "供应商名称"},
      {"FItemNumber", "物料代码"},
      {"FItemName", "物料名称"},
      {"FModel", "规格型号"},
      {"FAuxPropertyID", "辅助属性"},
      {"FCurrencyID", "币别"},
      {"FUnitID", "单位"},
      {"FQty", "数量", "FQtyDecimal"},
      {"FPrice", "单价", "FPriceDecimal"},
      {"FBaseUnitID", "基本单位"},
      {"FBaseQty", "基本单位数量", "FQtyDecimal"},
      {"FBasePrice", "基本单位单价", "FPriceDecimal"},
      {"FComUnitID", "常用单位"},
      {"FComQty", "常用单位数量", "FQtyDecimal"},
      {"FComPrice", "常用单位单价", "FPriceDecimal"},
      {"FAmount", "金额", "FCurrencyDecimal"},
      {"FTaxRate", "税率"},
      {"FTaxAmt", "税额", "FCurrencyDecimal"},
      {"FTotalAmt", "价税合计", "FCurrencyDecimal"},
      {"FTotalAmtFor", "价税合计(本位币)", "FCurrencyDecimal"},
      {"FChecker", "审核人"},
      {"FNote", "备注"},
      {"FSumSort", "汇总类别", {}, true},
      {"FCurrencyDecimal", "币别精度", {}, true},
      {"FQtyDecimal", "数量精度", {}, true},
      {"FPriceDecimal", "单价精度", {}, true},
  };
}

}  // namespace orv::reports::rpt2010001
