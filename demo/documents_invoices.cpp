// Purchase invoices (of every FSubSystemID; assets carry 3), asset expense
// invoices and the hook log that records which expense lines were matched.
// Report 2010001 copies supplier and item numbers unguarded into NOT NULL
// columns, so purchase invoices always name existing ones.
#include <vector>

#include "demo/documents.h"

namespace orv::demo {

namespace {

constexpr int kMissingId = 999999;

void WritePurchaseInvoices(Random& random, const BaseData& base, int count, const BatchSink& sink) {
  TableWriter heads(sink, "ICPurChase",
                    "FInterID,FBillNo,FDate,FFincDate,FClassTypeID,FSubSystemID,FSupplyID,FCurrencyID,FCheckerID,"
                    "FHookStatus,FNote");
  TableWriter lines(sink, "ICPurChaseEntry",
                    "FInterID,FEntryID,FItemID,FAuxPropID,FUnitID,FAuxQty,FAuxPrice,FQty,FAmount,FAmountIncludeTax,"
                    "FTaxRate,FTaxAmount,FStdAmount,FStdAmountIncludeTax");
  static const std::vector<int> tax_rates = {13, 9, 6, 0};
  static const std::vector<int> hook_states = {2, 2, 0, 0, 1};
  for (int id = 1; id <= count; ++id) {
    const Day day = RandomDay(random);
    const CurrencyRef& currency = random.Pick(base.currencies);
    const int type = random.Percent(45) ? 1000003 : random.Percent(80) ? 1000004 : 1000005;
    heads.Row().Int(id).Text(BillNo("ZPOFP", id)).Date(Day{day.days, random.Percent(10) ? 37800 : 0});
    heads.DateOrNull(!random.Percent(5), Day{day.days + static_cast<int32_t>(random.Between(0, 5)), 0});
    heads.Int(type).Int(random.Percent(92) ? 3 : 1).Int(random.Pick(base.suppliers));
    heads.Int(random.Percent(4) ? kMissingId : currency.id);
    const int checker_kind = static_cast<int>(random.Between(0, 19));  // 0-11 audited, 12-16 zero, 17-19 NULL
    heads.IntOrNull(checker_kind < 17, checker_kind < 12 ? random.Pick(base.users) : 0);
    heads.IntOrNull(!random.Percent(20), random.Pick(hook_states));
    heads.TextOrNull(!random.Percent(30), random.Percent(10) ? "it's ok" : "资产发票");
    const int line_count = LinesPerDocument(random);
    for (int entry = 1; entry <= line_count; ++entry) {
      const ItemRef& item = random.Pick(base.items);
      const UnitRef& unit = random.Pick(base.units);
      lines.Row().Int(id).Int(entry).Int(item.id);
      lines.IntOrNull(!random.Percent(60), random.Percent(5) ? kMissingId : random.Pick(base.aux_items));
      lines.IntOrNull(!random.Percent(5), random.Percent(3) ? kMissingId : unit.id);
      if (random.Percent(3)) {  // a line whose figures were never entered
        for (int column = 0; column < 9; ++column) lines.Null();
        continue;
      }
      const int64_t qty = random.Between(1, 40);
      const int64_t price = random.Between(100, 2000000);
      const int64_t amount = qty * price;
      const int rate = random.Pick(tax_rates);
      const int64_t tax = amount * rate / 100;
      lines.Int(qty).Decimal(price, 2).Int(qty * (unit.coefficient == 0 ? 1 : unit.coefficient));
      lines.Decimal(amount, 2).Decimal(amount + tax, 2).Int(rate).Decimal(tax, 2);
      lines.Decimal(amount * currency.rate / 100, 2).Decimal((amount + tax) * currency.rate / 100, 2);
    }
  }
}

void WriteExpenseInvoices(Random& random, const BaseData& base, int count, const BatchSink& sink) {
  TableWriter heads(sink, "AA_AssetsExpenseInvoice",
                    "FID,FBillNo,FDate,FSupplyID,FCurrencyID,FCheckerID,FMultiCheckStatus");
  TableWriter lines(sink, "AA_AssetsExpenseInvoiceEntry",
                    "FID,FEntryID,FExpenseID,FExpenseType,FUnit,FQty,FPrice,FAmount,FAmountFor,FTaxRate,FTaxAmt,"
                    "FTaxAmtFor,FAmtNoTax,FAmtNoTaxFor,FNote");
  TableWriter hooks(sink, "AA_HookLog", "FID,FType");
  TableWriter hook_lines(sink, "AA_HookLogEntry", "FID,FEntryID,FClassID_SRC,FID_SRC,FEntryID_SRC");
  static const std::vector<const char*> units = {"次", "批", "项"};
  int hook_id = 0;
  int hook_entry = 0;
  int hook_size = 0;
  for (int id = 1; id <= count; ++id) {
    const int status = RandomCheckStatus(random);
    const CurrencyRef& currency = random.Pick(base.currencies);
    heads.Row().Int(id).Text(BillNo("ZCFY", id)).Date(RandomDay(random));
    const int supplier_kind = static_cast<int>(random.Between(0, 99));  // 0-2 missing, 3-4 the "00" supplier
    heads.Int(supplier_kind < 3 ? kMissingId : supplier_kind < 5 ? base.first_supplier : random.Pick(base.suppliers));
    heads.Int(random.Percent(3) ? kMissingId : currency.id);
    heads.Int(status == 16 ? random.Pick(base.users) : 0).Int(status);
    const int line_count = LinesPerDocument(random);
    for (int entry = 1; entry <= line_count; ++entry) {
      const int64_t qty = random.Between(1, 5);
      const int64_t price = random.Between(1000, 500000);
      const int64_t gross = qty * price;  // foreign currency, tax included
      const int64_t tax = gross * 9 / 109;
      const int fee_kind = static_cast<int>(random.Between(0, 99));  // 0-2 missing, 3-4 the fee without a number
      lines.Row().Int(id).Int(entry);
      lines.Int(fee_kind < 3 ? kMissingId : fee_kind < 5 ? base.unnumbered_fee : random.Pick(base.fees));
      const int kind = static_cast<int>(random.Between(0, 9));  // 0-6 expense type, 7 another code list, 8-9 none
      lines.IntOrNull(kind < 8, kind < 7 ? random.Pick(base.expense_types) : 41201);
      lines.TextOrNull(!random.Percent(20), random.Pick(units)).Int(qty).Decimal(price, 2);
      lines.Decimal(gross * currency.rate / 100, 2).Decimal(gross, 2).Int(9);
      lines.Decimal(tax * currency.rate / 100, 2).Decimal(tax, 2);
      lines.Decimal((gross - tax) * currency.rate / 100, 2).Decimal(gross - tax, 2);
      lines.Text(random.Percent(10) ? "O'Keefe" : "");
      if (!random.Percent(40)) continue;
      if (hook_entry == hook_size) {
        ++hook_id;
        hook_entry = 0;
        hook_size = LinesPerDocument(random);
        hooks.Row().Int(hook_id).Int(random.Percent(85) ? 1 : 2);
      }
      hook_lines.Row().Int(hook_id).Int(++hook_entry).Int(kClassExpenseInvoice).Int(id).Int(entry);
    }
  }
}

}  // namespace

void WriteInvoices(Random& random, const BaseData& base, const DocumentSizes& sizes, const BatchSink& sink) {
  WritePurchaseInvoices(random, base, sizes.invoices, sink);
  WriteExpenseInvoices(random, base, sizes.expense_invoices, sink);
}

}  // namespace orv::demo
