// The asset documents from application to requisition. Later documents copy
// item and quantity from the line they name as source, so the chains that
// report 2010007 walks are consistent end to end.
#include "demo/documents.h"

#include <vector>

namespace orv::demo {

namespace {

constexpr int kMissingId = 999999;  // referenced but absent from its table

struct LineRef {
  int fid = 0;
  int entry = 0;
  const char* prefix = "";  // bill number prefix of the document
  ItemRef item;
  int64_t qty = 0;
};

void WriteSource(TableWriter& lines, const LineRef* source, int source_class) {
  if (source == nullptr) {
    lines.Int(0).Int(0).Int(0).Text("");
  } else {
    lines.Int(source->fid).Int(source->entry).Int(source_class).Text(BillNo(source->prefix, source->fid));
  }
}

std::vector<LineRef> WriteApplications(Random& random, const BaseData& base, int count, const BatchSink& sink) {
  TableWriter heads(sink, "AA_AssetsApp",
                    "FID,FBillNo,FAppDate,FMultiCheckStatus,FCloseStatus,FAppDeptID,FUseDeptID,FAppUserID,"
                    "FCheckerID,FCheckDate,FBiller,FNote");
  TableWriter lines(sink, "AA_AssetsAppEntry",
                    "FID,FEntryID,FItemID,FUnitID,FSecCoefficient,FAssistantQty,FSupplyID,FAppQty,FCheckQty,"
                    "FRelationFAQty,FRelationLVCQty,FNoDoQty,FPlanStockQty,FPlanUseQty,FRelationStockQty");
  std::vector<LineRef> refs;
  for (int fid = 1; fid <= count; ++fid) {
    const Day day = RandomDay(random);
    const int status = RandomCheckStatus(random);
    const bool audited = status == 16;
    heads.Row().Int(fid).Text(BillNo("ZCSQ", fid)).Date(day).Int(status).Int(random.Percent(15) ? 1 : 0);
    heads.Int(random.Pick(base.departments)).Int(random.Pick(base.departments)).Int(random.Pick(base.employees));
    heads.Int(audited ? random.Pick(base.users) : 0).DateOrNull(audited, Day{day.days + 1, 0});
    // Every 101st application was entered by a user since removed from t_User.
    const int biller = random.Pick(base.users);
    heads.Int(fid % 101 == 0 ? kMissingId : biller).Text(random.Percent(30) ? "" : "申请 O'Hara");
    const int line_count = LinesPerDocument(random);
    for (int entry = 1; entry <= line_count; ++entry) {
      const ItemRef& item = random.Pick(base.items);
      const int64_t applied = random.Between(1, 20);
      const int64_t checked = random.Between(1, applied);
      const bool has_second_unit = random.Percent(40);
      lines.Row().Int(fid).Int(entry).Int(item.id).Int(item.unit);
      lines.DecimalOrNull(has_second_unit, random.Between(1, 12), 0).DecimalOrNull(has_second_unit, checked, 0);
      lines.Int(random.Pick(base.suppliers)).Int(applied).Int(checked);
      lines.Int(random.Between(0, checked)).Int(random.Between(0, 1)).Int(random.Between(0, checked));
      lines.Int(random.Between(0, checked)).Int(checked).Int(0);
      refs.push_back(LineRef{fid, entry, "ZCSQ", item, checked});
    }
  }
  return refs;
}

std::vector<LineRef> WriteProcurements(Random& random, const BaseData& base, int count,
                                       const std::vector<LineRef>& applications, const BatchSink& sink) {
  TableWriter heads(sink, "AA_AssetsProcurement",
                    "FID,FBillNo,FDate,FSupplyID,FCurrencyID,FProcurementID,FEmployeeID,FCloseStatus,FMultiCheckStatus");
  TableWriter lines(sink, "AA_AssetsProcurementEntry",
                    "FID,FEntryID,FItemID,FItemAuxPropertyID,FUnitID,FDeliveryDate,FQty,FRealTaxPrice,FTotalAmt,"
                    "FTotalAmtFor,FAuxRelateQty,FAcceptQty,FInvoiceQty,FReceiveRelateAmt,FCloseStatus,"
                    "FHandCloseStatus,FID_SRC,FEntryID_SRC,FClassID_SRC,FBillNo_SRC");
  std::vector<LineRef> refs;
  for (int fid = 1; fid <= count; ++fid) {
    const Day day = RandomDay(random);
    const CurrencyRef& currency = random.Pick(base.currencies);
    const bool currency_missing = random.Percent(3);
    heads.Row().Int(fid).Text(BillNo("ZCCG", fid)).Date(day);
    heads.Int(random.Percent(2) ? kMissingId : random.Pick(base.suppliers)).Int(currency_missing ? kMissingId : currency.id);
    heads.Int(random.Pick(base.departments)).Int(random.Pick(base.employees));
    heads.Int(random.Percent(20) ? 1 : 0).Int(RandomCheckStatus(random));
    const int line_count = LinesPerDocument(random);
    for (int entry = 1; entry <= line_count; ++entry) {
      const LineRef* source = !applications.empty() && random.Percent(60) ? &random.Pick(applications) : nullptr;
      ItemRef item = source != nullptr ? source->item : random.Pick(base.items);
      if (random.Percent(2)) item = ItemRef{kMissingId, item.unit, false};
      const int64_t qty = source != nullptr ? source->qty : random.Between(1, 50);
      const int64_t price = random.Between(100, 2000000);  // in cents
      const int64_t total = qty * price;
      lines.Row().Int(fid).Int(entry).Int(item.id);
      lines.IntOrNull(!random.Percent(60), random.Pick(base.aux_items)).Int(random.Percent(2) ? kMissingId : item.unit);
      lines.DateOrNull(!random.Percent(5), Day{day.days + static_cast<int32_t>(random.Between(0, 60)), 0});
      lines.Int(qty).Decimal(price, 2).Decimal(total, 2).Decimal(total * 100 / currency.rate, 2);
      // Some lines were never executed: their execution columns are NULL.
      const bool executed = !random.Percent(8);
      const int64_t arrived = random.Percent(50) ? qty : random.Between(0, qty);
      const int64_t accepted = random.Between(0, arrived);
      const int64_t invoiced = random.Between(0, qty);
      const int64_t settled = random.Percent(30) ? total : random.Between(0, total);
      lines.IntOrNull(executed, arrived).IntOrNull(executed, accepted).IntOrNull(executed, invoiced);
      lines.DecimalOrNull(executed, settled, 2);
      const bool closed = executed && arrived == qty && random.Percent(70);
      lines.Int(closed ? 1 : 0).Int(closed && random.Percent(30) ? 1 : 0);
      WriteSource(lines, source, kClassApplication);
      refs.push_back(LineRef{fid, entry, "ZCCG", item, qty});
    }
  }
  return refs;
}

// Inspections or acceptances: one line per chosen source line, a few lines per document.
std::vector<LineRef> WriteFollowers(Random& random, const BatchSink& sink, const char* head_table,
                                    const char* line_table, const char* prefix,
                                    const std::vector<std::pair<const LineRef*, int>>& sources) {
  TableWriter heads(sink, head_table, "FID,FBillNo");
  TableWriter lines(sink, line_table, "FID,FEntryID,FID_SRC,FEntryID_SRC,FClassID_SRC,FBillNo_SRC");
  std::vector<LineRef> refs;
  int fid = 0;
  int entry = 0;
  int line_count = 0;
  for (const auto& [source, source_class] : sources) {
    if (entry == line_count) {
      ++fid;
      entry = 0;
      line_count = LinesPerDocument(random);
      heads.Row().Int(fid).Text(BillNo(prefix, fid));
    }
    ++entry;
    lines.Row().Int(fid).Int(entry);
    WriteSource(lines, source, source_class);
    refs.push_back(LineRef{fid, entry, prefix, source->item, source->qty});
  }
  return refs;
}

void WriteRequisitions(Random& random, const BaseData& base, int count, const std::vector<LineRef>& applications,
                       const std::vector<LineRef>& acceptances, const BatchSink& sink) {
  TableWriter heads(sink, "CIP_AssetsApplication",
                    "FID,FBillNo,FDate,FMultiCheckStatus,FSourceID,FProjectID,FApplyDeptID,FApplyID,FPurposeID,"
                    "FCheckerID,FCheckDate,FBiller,FNote");
  TableWriter lines(sink, "CIP_AssetsApplicationEntry",
                    "FID,FEntryID,FItemID,FUnitID,FSecCoefficient,FAuxQty,FSupplyID,FBatchNo,FStockID,FDcspID,"
                    "FCheckQty,FPrice,FAmount,FTaxAmt,FCIPQty,FCIPAmount,FCIPTaxAmt,FFAQty,FFAAmount,FFATaxAmt,"
                    "FLVCQty,FLVCAmount,FLVCTaxAmt,FID_SRC,FEntryID_SRC,FClassID_SRC,FBillNo_SRC");
  for (int fid = 1; fid <= count; ++fid) {
    const Day day = RandomDay(random);
    const int status = RandomCheckStatus(random);
    const bool audited = status == 16;
    const int purpose = static_cast<int>(random.Between(1, 3));
    heads.Row().Int(fid).Text(BillNo("ZCLY", fid)).Date(day).Int(status).Int(random.Percent(40) ? 1 : 2);
    heads.IntOrNull(!random.Percent(30), random.Pick(base.projects));
    heads.Int(random.Pick(base.departments)).Int(random.Pick(base.employees)).Int(purpose);
    heads.Int(audited ? random.Pick(base.users) : 0).DateOrNull(audited, Day{day.days + 1, 0});
    // Every 101st requisition was entered by a user since removed from t_User.
    const int biller = random.Pick(base.users);
    heads.Int(fid % 101 == 0 ? kMissingId : biller).Text(random.Percent(50) ? "" : "领用");
    const int line_count = LinesPerDocument(random);
    for (int entry = 1; entry <= line_count; ++entry) {
      const LineRef* source = nullptr;
      int source_class = 0;
      if (!acceptances.empty() && random.Percent(50)) {
        source = &random.Pick(acceptances);
        source_class = kClassAcceptance;
      } else if (!applications.empty() && random.Percent(30)) {
        source = &random.Pick(applications);
        source_class = kClassApplication;
      }
      // Lines drawn from a source carry an item with its precisions; items
      // without them are only ever requisitioned from stock.
      if (source != nullptr && !source->item.complete) source = nullptr;
      const ItemRef item = source != nullptr ? source->item : random.Pick(base.complete_items);
      const int64_t qty = source != nullptr ? source->qty : random.Between(1, 20);
      const int64_t price = random.Between(100, 2000000);
      const int64_t amount = qty * price;
      const int64_t tax = amount * 13 / 100;
      const int64_t done_qty = random.Between(0, qty);
      const int64_t done_amount = amount * done_qty / qty;
      const int64_t done_tax = done_amount * 13 / 100;
      lines.Row().Int(fid).Int(entry).Int(item.id).Int(item.unit).Int(random.Between(0, 12)).Int(random.Between(0, qty));
      lines.Int(random.Pick(base.suppliers)).TextOrNull(random.Percent(50), "B" + std::to_string(fid));
      lines.Int(random.Pick(base.stocks)).IntOrNull(!random.Percent(10), random.Pick(base.places));
      lines.Int(qty).Decimal(price, 2).Decimal(amount, 2).Decimal(tax, 2);
      // Some lines have no downstream record at all: their carried columns are NULL.
      const bool carried = !random.Percent(5);
      for (int kind = 1; kind <= 3; ++kind) {  // construction in progress, fixed assets, low-value consumables
        const bool mine = kind == purpose;
        lines.IntOrNull(carried, mine ? done_qty : 0).DecimalOrNull(carried, mine ? done_amount : 0, 2);
        lines.DecimalOrNull(carried, mine ? done_tax : 0, 2);
      }
      WriteSource(lines, source, source_class);
    }
  }
}

}  // namespace

void WriteAssetChain(Random& random, const BaseData& base, const DocumentSizes& sizes, const BatchSink& sink) {
  const std::vector<LineRef> applications = WriteApplications(random, base, sizes.applications, sink);
  const std::vector<LineRef> orders = WriteProcurements(random, base, sizes.procurements, applications, sink);
  std::vector<std::pair<const LineRef*, int>> inspected;
  for (const LineRef& line : orders) {
    if (random.Percent(30)) inspected.emplace_back(&line, kClassProcurement);
  }
  const std::vector<LineRef> inspections =
      WriteFollowers(random, sink, "AA_AssetsInspec", "AA_AssetsInspecEntry", "ZCJY", inspected);
  // Accepted: most inspected lines through their inspection, about half of the others directly.
  std::vector<std::pair<const LineRef*, int>> accepted;
  for (const LineRef& line : inspections) {
    if (random.Percent(90)) accepted.emplace_back(&line, kClassInspection);
  }
  for (const LineRef& line : orders) {
    if (random.Percent(55)) accepted.emplace_back(&line, kClassProcurement);
  }
  const std::vector<LineRef> acceptances =
      WriteFollowers(random, sink, "AA_AssetsAcceptance", "AA_AssetsAcceptanceEntry", "ZCYS", accepted);
  WriteRequisitions(random, base, sizes.requisitions, applications, acceptances, sink);
}

}  // namespace orv::demo
