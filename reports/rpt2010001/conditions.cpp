// The condition keys of the purchase invoice report, as GetDataSQL reads them:
// every key with a default, the range bounds spliced in as given.
#include "reports/report_catalog.h"

namespace orv::reports::rpt2010001 {

using frame::ConditionType;

const frame::ReportSchema& Schema() {
  static const frame::ReportSchema schema{
      "2010001",
      "CRPT2010001",
      "资产采购发票",
      {
          {"FBeginDate", ConditionType::Date, "", "invoices dated on or after this day"},
          {"FEndDate", ConditionType::Date, "", "invoices dated on or before this day"},
          {"FItemFrom", ConditionType::Text, "", "item numbers from this one on (compared as text)"},
          {"FItemTo", ConditionType::Text, "", "item numbers up to this one"},
          {"FSupplyFrom", ConditionType::Text, "", "supplier numbers from this one on"},
          {"FSupplyTo", ConditionType::Text, "", "supplier numbers up to this one"},
          {"FCurrencyFrom", ConditionType::Text, "", "currency numbers from this one on"},
          {"FCurrencyTo", ConditionType::Text, "", "currency numbers up to this one"},
          {"FBillStatus", ConditionType::Choice, "-1", "audit state of the invoice",
           {{0, "audited invoices only"}, {1, "unaudited invoices only"}, {2, "all invoices"}}, "all invoices"},
          {"FHookStatus", ConditionType::Choice, "-1", "matching state of the invoice",
           {{0, "fully matched invoices only"}, {1, "unmatched invoices only"}, {2, "all invoices"}},
           "all invoices"},
          {"SortFields", ConditionType::Text, "",
           "result columns to sort by after the total-row order, comma-separated (e.g. FDate,FInvoiceNumber)"},
      },
      Captions()};
  return schema;
}

}  // namespace orv::reports::rpt2010001
