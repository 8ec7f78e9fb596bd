// GetDataSQL of the purchase invoice report: fills the temporary table with
// the asset purchase invoice lines that meet the user's conditions, adds the
// grand-total row, returns the rows and drops the table.
#include <array>

#include "platform/automation_error.h"
#include "reports/rpt2010001/sql_routines.h"
#include "toolkit/condition_sql.h"
#include "toolkit/local_text.h"
#include "toolkit/sql_literal.h"
#include "toolkit/sql_text.h"

namespace orv::reports::rpt2010001 {

namespace {

using platform::Variant;
using toolkit::AppendLine;
using toolkit::QuoteText;

// The insert column list, in the order of the table.
const std::string kColumns =
    "(FDate,FFinDate,FInvoiceType,FInvoiceNumber,FSupplyNumber,FSupplyName,FItemNumber,"
    " FItemName,FModel,FAuxPropertyID,FCurrencyID,FUnitID,FQty,FPrice,FBaseUnitID,FBaseQty,"
    " FBasePrice,FComUnitID,FComQty,FComPrice,FAmount,FTaxRate,FTaxAmt,FTotalAmt,"
    " FTotalAmtFor,FChecker,FNote,FSumSort,FCurrencyDecimal,FQtyDecimal,FPriceDecimal)";

// Bounds are spliced as the dialog holds them: no date formatting, no trimming.
constexpr std::array<toolkit::BoundCondition, 8> kRangeConditions{{
    {"FBeginDate", " AND u.FDate>='"},
    {"FEndDate", " AND u.FDate<='"},
    {"FItemFrom", " AND ite.FNumber>='"},
    {"FItemTo", " AND ite.FNumber<='"},
    {"FSupplyFrom", " AND sup.FNumber>='"},
    {"FSupplyTo", " AND sup.FNumber<='"},
    {"FCurrencyFrom", " AND cur.FNumber>='"},
    {"FCurrencyTo", " AND cur.FNumber<='"},
}};

// A status key chooses one of two predicates by its value 0 or 1; any other
// value (the default -1 included) leaves the invoices unfiltered.
void AppendStatus(platform::SqlBuffer& buffer, const platform::ConditionDictionary& dct, std::string_view key,
                  std::string_view when_zero, std::string_view when_one) {
  const Variant status = dct.GetValue(key, Variant(int16_t{-1}));
  if (platform::Equals(status, Variant(0))) {
    buffer.Append(when_zero);
  } else if (platform::Equals(status, Variant(1))) {
    buffer.Append(when_one);
  }
}

void AppendDetailRows(platform::SqlBuffer& buffer, const std::string& table, const std::string& language) {
  AppendLine(buffer, "INSERT INTO " + table + kColumns);
  AppendLine(buffer, "SELECT u.FDate,u.FFincDate");
  AppendLine(buffer, ",FInvoiceType=(CASE u.FClassTypeID WHEN 1000003 THEN N'" +
                         QuoteText(toolkit::GetLocalText("资产采购普通发票", language)) + "' WHEN 1000004 THEN '" +
                         QuoteText(toolkit::GetLocalText("资产采购增值税发票", language)) + "' ELSE N'' END)");
  AppendLine(buffer, ",u.FBillNo,sup.FNumber AS FSupplyNumber,sup.FName AS FSupplyName");
  AppendLine(buffer, ",ite.FNumber AS FItemNumber,ite.FName AS FItemName,ISNULL(ite.FModel,'') AS FModel");
  AppendLine(buffer, ",ISNULL(aux.FName,'') AS FAuxPropertyID,ISNULL(cur.FName,'') AS FCurrencyID");
  AppendLine(buffer, ",ISNULL(uni.FName,'') AS FUnitID,ISNULL(v.FAuxQty,0) AS FQty,ISNULL(v.FAuxPrice,0) AS FPrice");
  AppendLine(buffer, ",ISNULL(buni.FName,'') AS FBaseUnitID,ISNULL(v.FQty,0) AS FBaseQty");
  AppendLine(buffer, ",ISNULL(v.FAuxPrice,0)/(CASE uni.FCoefficient WHEN 0 THEN 1 ELSE uni.FCoefficient END) AS FBasePrice");
  AppendLine(buffer, ",ISNULL(uni.FName,'') AS FComUnitID,ISNULL(v.FAuxQty,0) AS FComQty,ISNULL(v.FAuxPrice,0) AS FComPrice");
  AppendLine(buffer, ",CASE u.FClassTypeID WHEN 1000003 THEN v.FAmountIncludeTax WHEN 1000004 THEN v.FAmount ELSE 0 END AS FAmount");
  AppendLine(buffer, ",ISNULL(v.FTaxRate,0)*0.01 AS FTaxRate,ISNULL(v.FTaxAmount,0) AS FTaxAmount");
  AppendLine(buffer, ",CASE u.FClassTypeID WHEN 1000003 THEN v.FAmount WHEN 1000004 THEN v.FAmountIncludeTax  ELSE 0 END AS FTotalAmt");
  AppendLine(buffer, ",CASE u.FClassTypeID WHEN 1000003 THEN v.FStdAmount WHEN 1000004 THEN v.FStdAmountIncludeTax  ELSE 0 END AS FTotalAmtFor");
  AppendLine(buffer, ",ISNULL(usr.FName,'') AS FChecker,ISNULL(u.FNote,'') AS FNote,0,ISNULL(cur.FScale,2) AS FCurrencyDecimal,ite.FQtyDecimal,ite.FPriceDecimal");
  AppendLine(buffer, "FROM ICPurChase u");
  AppendLine(buffer, "INNER JOIN ICPurChaseEntry v  ON u.FInterID=v.FInterID");
  AppendLine(buffer, "LEFT JOIN t_Supplier sup ON u.FSupplyID=sup.FItemID");
  AppendLine(buffer, "LEFT JOIN t_ICItem ite   ON v.FItemID=ite.FItemID ");
  AppendLine(buffer, "LEFT JOIN t_AuxItem aux  ON v.FAuxPropID=aux.FItemID");
  AppendLine(buffer, "LEFT JOIN t_Currency cur ON u.FCurrencyID=cur.FCurrencyID");
  AppendLine(buffer, "LEFT JOIN t_Measureunit uni ON v.FUnitID=uni.FItemID ");
  AppendLine(buffer, "LEFT JOIN t_Measureunit buni ON ite.FUnitID=buni.FItemID");
  AppendLine(buffer, "LEFT JOIN t_User usr ON u.FCheckerID=usr.FUserID AND usr.FUserID>0");
  AppendLine(buffer, "WHERE u.FSubSystemID=3 ");
}

// The predicates stand on one line with no break of their own, so the next
// statement starts right behind the last of them.
void AppendConditions(platform::SqlBuffer& buffer, const platform::ConditionDictionary& dct) {
  buffer.Append(toolkit::BoundPredicates(dct, kRangeConditions));
  AppendStatus(buffer, dct, "FBillStatus", " AND u.FCheckerID>0", " AND ISNULL(u.FCheckerID,0)=0");
  AppendStatus(buffer, dct, "FHookStatus", " AND u.FHookStatus=2", " AND ISNULL(u.FHookStatus,0)<=0");
}

void AppendTotalRow(platform::SqlBuffer& buffer, const std::string& table, const std::string& language) {
  AppendLine(buffer, "INSERT INTO " + table + kColumns);
  AppendLine(buffer, "SELECT NULL,NULL,'','',N'',N'',N'" + QuoteText(toolkit::GetLocalText("合计：", language)) + "'");
  AppendLine(buffer, ",N'',N'',N'',N'',N'',NULL,NULL,N'',NULL");
  AppendLine(buffer, ",NULL,N'',NULL,NULL,ISNULL(SUM(FAmount),0),NULL,ISNULL(SUM(FTaxAmt),0),ISNULL(SUM(FTotalAmt),0)");
  AppendLine(buffer, ",ISNULL(SUM(FTotalAmtFor),0),N'',N'',101,MAX(FCurrencyDecimal),NULL,NULL");
  AppendLine(buffer, "FROM " + table);
}

}  // namespace

void GetDataSQL(platform::SqlBuffer& buffer, const platform::ConditionDictionary* dct, const std::string& table,
                const std::string& language) {
  if (dct == nullptr) platform::RaiseRuntimeError(platform::kErrObjectNotSet);
  // The sort list is spliced bare after ORDER BY, so it is checked first.
  const Variant sort = dct->GetValue("SortFields", Variant(""));
  const std::string sort_fields = sort.TextLength() > 0 ? sort.ToString() : "";
  if (!sort_fields.empty()) CheckSortFields(sort_fields);

  AppendDetailRows(buffer, table, language);
  AppendConditions(buffer, *dct);
  AppendTotalRow(buffer, table, language);
  // The total row is the only one with 101, so it stays last.
  AppendLine(buffer, sort_fields.empty() ? "SELECT * FROM " + table + " ORDER BY FSumSort"
                                         : "SELECT * FROM " + table + " ORDER BY FSumSort," + sort_fields);
  AppendLine(buffer, "DROP TABLE " + table);
}

}  // namespace orv::reports::rpt2010001
