// Times report 2010006 end to end through the report frame, as the client
// calls it (created by ProgID, GetRptData on a session string): the typical
// request, grouped by department with the levels 1 to 2, on the large demo
// database (about a million requisition lines). Prints the requisition lines
// read per second. ORV_BENCH_SCALE=small runs it on the small database instead.
#include "bench/report_bench.h"

namespace orv::bench {
namespace {

void DepartmentLevelsOneToTwo(benchmark::State& state) {
  platform::ConditionDictionary dct;
  dct.Set("FGroupByUseDept", platform::Variant("0"));
  dct.Set("FChkLevel", platform::Variant(1));
  dct.Set("FLvlFrom", platform::Variant(1));
  dct.Set("FLvlTo", platform::Variant(2));
  TimeReport(state, "Orvalent.CRPT2010006", "CIP_AssetsApplicationEntry", "requisition lines", dct);
}

BENCHMARK(DepartmentLevelsOneToTwo)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

}  // namespace
}  // namespace orv::bench
