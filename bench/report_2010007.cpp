// Times report 2010007 end to end through the report frame, as the client
// calls it (created by ProgID, GetRptData on a session string): the
// application view grouped by using department with the levels 1 to 2, and
// the source view grouped by item, on the large demo database. Prints the
// application lines read per second. ORV_BENCH_SCALE=small runs it on the
// small database instead.
#include "bench/report_bench.h"

namespace orv::bench {
namespace {

void Run(benchmark::State& state, const platform::ConditionDictionary& dct) {
  TimeReport(state, "Orvalent.CRPT2010007", "AA_AssetsAppEntry", "application lines", dct);
}

void ApplicationViewByDepartmentLevelsOneToTwo(benchmark::State& state) {
  platform::ConditionDictionary dct;
  dct.Set("FGroupByUseDept", platform::Variant("0"));
  dct.Set("FChkLevel", platform::Variant(1));
  dct.Set("FLvlFrom", platform::Variant(1));
  dct.Set("FLvlTo", platform::Variant(2));
  Run(state, dct);
}

// The source view also walks every requisition line back along the chains.
void SourceViewByItem(benchmark::State& state) {
  platform::ConditionDictionary dct;
  dct.Set("FAppSource", platform::Variant(0));
  dct.Set("FApplicationSource", platform::Variant(1));
  dct.Set("FGroupByItem", platform::Variant("0"));
  Run(state, dct);
}

BENCHMARK(ApplicationViewByDepartmentLevelsOneToTwo)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();
BENCHMARK(SourceViewByItem)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();

}  // namespace
}  // namespace orv::bench
