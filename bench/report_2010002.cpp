// Times report 2010002 end to end through the report frame, as the client
// calls it (created by ProgID, GetRptData on a session string): grouped by
// supplier with the levels 1 to 2, on the large demo database (about 60,000
// expense invoice lines). Prints the expense invoice lines read per second.
// ORV_BENCH_SCALE=small runs it on the small database instead.
#include "bench/report_bench.h"

namespace orv::bench {
namespace {

void SupplierLevelsOneToTwo(benchmark::State& state) {
  platform::ConditionDictionary dct;
  dct.Set("FChkGroupBy", platform::Variant(1));
  dct.Set("FGroupBySupply", platform::Variant("0"));
  dct.Set("FLvlFrom", platform::Variant(1));
  dct.Set("FLvlTo", platform::Variant(2));
  TimeReport(state, "Orvalent.CRPT2010002", "AA_AssetsExpenseInvoiceEntry", "expense invoice lines", dct);
}

BENCHMARK(SupplierLevelsOneToTwo)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();

}  // namespace
}  // namespace orv::bench
