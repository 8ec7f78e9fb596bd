// Generated documents of the purchasing chain for the `small` and `large` scales:
// applications -> procurement orders -> inspections -> acceptances -> requisitions,
// linked by their source fields, and the purchase and expense invoices with the
// hook log. Every reference the reports copy into NOT NULL columns resolves.
#pragma once

#include <string>

#include "demo/base_data.h"
#include "demo/random.h"
#include "demo/sql_writer.h"

namespace orv::demo {

struct DocumentSizes {
  int applications = 0;
  int procurements = 0;
  int requisitions = 0;
  int invoices = 0;
  int expense_invoices = 0;
};

// Document classes named in the source fields of the document lines.
constexpr int kClassApplication = 1200001;
constexpr int kClassProcurement = 1200002;
constexpr int kClassInspection = 1200003;
constexpr int kClassAcceptance = 1200004;
constexpr int kClassExpenseInvoice = 1200006;

// Writes the asset documents from applications to requisitions.
void WriteAssetChain(Random& random, const BaseData& base, const DocumentSizes& sizes, const BatchSink& sink);

// Writes the purchase invoices, the expense invoices and the hook log.
void WriteInvoices(Random& random, const BaseData& base, const DocumentSizes& sizes, const BatchSink& sink);

// Helpers shared by the two document writers.
std::string BillNo(const char* prefix, int number);  // "ZCSQ000012"
Day RandomDay(Random& random);                       // a day of 2023 or 2024
int RandomCheckStatus(Random& random);               // 16 (fully audited) or 2, 4, 8
int LinesPerDocument(Random& random);                // 1 to 5

}  // namespace orv::demo
