// Range keys share one label for both bounds: the dialog puts "from" and
// "to" beside the two boxes.
#include "http/dialog_labels.h"

#include <map>
#include <string>

namespace orv::http {
namespace {

const std::map<std::string_view, std::string_view>& KeyLabels() {
  static const std::map<std::string_view, std::string_view> labels = {
      {"FBeginDate", "日期"},
      {"FStartDate", "日期"},
      {"FEndDate", "日期"},
      {"FItemFrom", "物料代码"},
      {"FItemTo", "物料代码"},
      {"FSupplyFrom", "供应商代码"},
      {"FSupplyTo", "供应商代码"},
      {"FCurrencyFrom", "币别代码"},
      {"FCurrencyTo", "币别代码"},
      {"FBillStatus", "审核状态"},
      {"FHookStatus", "勾稽状态"},
      {"SortFields", "排序字段"},
      {"FExpenseFrom", "费用代码"},
      {"FExpenseTo", "费用代码"},
      {"FChkGroupBy", "分组汇总"},
      {"FGroupBySupply", "按供应商"},
      {"FGroupBySupplyType", "按供应商分级"},
      {"FGroupByExpense", "按费用分级"},
      {"FGroupByExpenseType", "按费用类型"},
      {"FGroupBySupAndExp", "按费用和供应商(供应商分级)"},
      {"FGroupByExpAndSup", "按费用和供应商(费用分级)"},
      {"FLvlFrom", "级次"},
      {"FLvlTo", "级次"},
      {"FShowSum", "只显示汇总行"},
      {"FChkBillDate", "按单据日期"},
      {"FBillStartDate", "单据日期"},
      {"FBillEndDate", "单据日期"},
      {"FChkDeliveryDate", "按交货日期"},
      {"FDeliveryStartDate", "交货日期"},
      {"FDeliveryEndDate", "交货日期"},
      {"FProcurementFrom", "订单号"},
      {"FProcurementTo", "订单号"},
      {"FEmpFrom", "业务员代码"},
      {"FEmpTo", "业务员代码"},
      {"FDeptFrom", "部门代码"},
      {"FDeptTo", "部门代码"},
      {"FBillRowStatus", "行关闭状态"},
      {"FDeliveryStatus", "到货状态"},
      {"FAcceptanceStatus", "验收状态"},
      {"FInvoiceStatus", "开票状态"},
      {"FSettleStatus", "结算状态"},
      {"FUseDeptFrom", "使用部门代码"},
      {"FUseDeptTo", "使用部门代码"},
      {"FAppUserFrom", "申请人代码"},
      {"FAppUserTo", "申请人代码"},
      {"FSource", "来源"},
      {"FUseFor", "用途"},
      {"FGroupByItem", "按物料"},
      {"FGroupByAppUser", "按申请人"},
      {"FGroupByUseDept", "按使用部门"},
      {"FChkLevel", "分级汇总"},
      {"FAppSource", "申请视图"},
      {"FApplicationSource", "来源视图"},
      {"FAppDeptFrom", "申请部门代码"},
      {"FAppDeptTo", "申请部门代码"},
      {"FCloseStatus", "关闭状态"},
      {"FShowUnDo", "显示全部申请行"},
  };
  return labels;
}

const std::map<std::string_view, std::string_view>& ChoiceLabels() {
  static const std::map<std::string_view, std::string_view> labels = {
      {"audited invoices only", "已审核"},
      {"unaudited invoices only", "未审核"},
      {"all invoices", "全部"},
      {"fully matched invoices only", "已完全勾稽"},
      {"unmatched invoices only", "未勾稽"},
      {"fully checked invoices only", "已审核"},
      {"invoices in the check process only", "审核中"},
      {"lines with a hook log entry only", "已勾稽"},
      {"lines without one only", "未勾稽"},
      {"all lines", "全部"},
      {"closed lines", "已关闭"},
      {"lines closed, not by hand", "自动关闭"},
      {"lines closed by hand", "手工关闭"},
      {"open lines", "未关闭"},
      {"fully arrived lines", "已全部到货"},
      {"lines still to arrive", "未全部到货"},
      {"fully accepted lines", "已全部验收"},
      {"lines still to accept", "未全部验收"},
      {"fully invoiced lines", "已全部开票"},
      {"lines still to invoice", "未全部开票"},
      {"fully settled lines", "已全部结算"},
      {"lines still to settle", "未全部结算"},
      {"from the warehouse", "仓库"},
      {"from asset purchase", "资产采购"},
      {"all sources", "全部"},
      {"requisitions in the check process", "审核中"},
      {"fully checked requisitions", "已审核"},
      {"all requisitions", "全部"},
      {"construction in progress", "在建工程"},
      {"to fixed assets", "转固定资产"},
      {"to low-value consumables", "转低值易耗品"},
      {"all purposes", "全部"},
      {"documents not yet fully audited", "未完全审核"},
      {"fully audited documents", "已审核"},
      {"all documents", "全部"},
      {"open applications", "未关闭"},
      {"closed applications", "已关闭"},
      {"all applications", "全部"},
  };
  return labels;
}

std::optional<std::string_view> Lookup(const std::map<std::string_view, std::string_view>& table,
                                       std::string_view key) {
  const auto found = table.find(key);
  if (found == table.end()) return std::nullopt;
  return found->second;
}

}  // namespace

std::optional<std::string_view> ConditionLabel(std::string_view key) { return Lookup(KeyLabels(), key); }

std::optional<std::string_view> ChoiceLabel(std::string_view meaning) { return Lookup(ChoiceLabels(), meaning); }

std::optional<SingleGrouping> SingleGroupingOf(std::string_view report) {
  if (report != "2010002") return std::nullopt;
  return SingleGrouping{"FChkGroupBy",
                        {{"FGroupBySupply", 0},
                         {"FGroupBySupplyType", 1},
                         {"FGroupByExpense", 2},
                         {"FGroupByExpenseType", 3},
                         {"FGroupBySupAndExp", 4},
                         {"FGroupByExpAndSup", 5}}};
}

}  // namespace orv::http
