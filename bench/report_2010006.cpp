// Times report 2010006 end to end through the report frame, as the client
// calls it (created by ProgID, GetRptData on a session string): the typical
// request, grouped by department with the levels 1 to 2, on the large demo
// database (about a million requisition lines). Prints the requisition lines
// read per second. ORV_BENCH_SCALE=small runs it on the small database instead.
#include <benchmark/benchmark.h>

#include "bench/report_bench.h"

namespace orv::bench {
namespace {

void DepartmentLevelsOneToTwo(benchmark::State& state) {
  const ReportBench& setup = PrepareReportBench("CIP_AssetsApplicationEntry", "requisition lines");
  platform::ConditionDictionary dct;
  dct.Set("FGroupByUseDept", platform::Variant("0"));
  dct.Set("FChkLevel", platform::Variant(1));
  dct.Set("FLvlFrom", platform::Variant(1));
  dct.Set("FLvlTo", platform::Variant(2));
  int32_t result_rows = 0;
  for (auto _ : state) {
    result_rows = RunReportOnce("Orvalent.CRPT2010006", setup.session, dct);
    benchmark::DoNotOptimize(result_rows);
  }
  state.SetItemsProcessed(state.iterations() * setup.lines);
  state.counters["result_rows"] = result_rows;
}

BENCHMARK(DepartmentLevelsOneToTwo)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();

}  // namespace
}  // namespace orv::bench

BENCHMARK_MAIN();
