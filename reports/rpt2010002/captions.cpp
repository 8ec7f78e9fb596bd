// The result columns of the expense invoice report, detail and grouped
// layouts together (the grouped one adds level columns in front and the
// report identifier). Amounts come in local and in original currency.
#include "reports/report_catalog.h"

namespace orv::reports::rpt2010002 {

std::vector<frame::ColumnCaption> Captions() {
  return {
      {"FDate", "日期"},
      {"FBillNo", "单据号"},
      {"FSupplyID", "供应商内码", {}, true},
      {"FSupplyNumber", "供应商代码"},
      {"FSupplyName", "供应商名称"},
      {"FFeeID", "费用内码", {}, true},
      {"FFeeNumber", "费用代码"},
      {"FFeeName", "费用名称"},
      {"FExpenseTypeID", "费用类型内码", {}, true},
      {"FExpenseTypeNumber", "费用类型代码"},
      {"FExpenseTypeName", "费用类型名称"},
      {"FCurrency", "币别"},
      {"FUnit", "单位"},
      {"FQty", "数量", "FQtyDecimal"},
      {"FPrice", "单价", "FPriceDecimal"},
      {"FAmount", "金额(本位币)"},
      {"FAmountFor", "金额(原币)"},
      {"FTaxRate", "税率"},
      {"FTaxAmt", "税额(本位币)"},
      {"FTaxAmtFor", "税额(原币)"},
      {"FAmtNoTax", "不含税金额(本位币)"},
      {"FAmtNoTaxFor", "不含税金额(原币)"},
      {"FChecker", "审核人"},
      {"FNote", "备注"},
      {"FRptID", "报表ID", {}, true},
      {"FRptName", "报表代码", {}, true},
      {"FSumSort", "汇总类别", {}, true},
      {"FQtyDecimal", "数量精度", {}, true},
      {"FPriceDecimal", "单价精度", {}, true},
  };
}

}  // namespace orv::reports::rpt2010002
