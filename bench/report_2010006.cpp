// Times report 2010006 end to end through the report frame, as the client
// calls it (created by ProgID, GetRptData on a session string): the typical
// request, grouped by department with the levels 1 to 2, on the large demo
// database (about a million requisition lines). Prints the requisition lines
// read per second. ORV_BENCH_SCALE=small runs it on the small database instead.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <string>

#include "demo/demo_database.h"
#include "engine/engine.h"
#include "frame/report_frame.h"
#include "platform/class_registry.h"
#include "platform/embedded_provider.h"
#include "platform/recordset.h"
#include "reports/registration.h"

namespace orv::bench {
namespace {

struct Setup {
  std::string session;
  int64_t lines = 0;
};

const Setup& Prepare() {
  static const Setup setup = [] {
    platform::RegisterPlatformClasses();
    reports::RegisterComponent();
    demo::RegisterDemoDatabases();
    const char* scale = std::getenv("ORV_BENCH_SCALE");
    const std::string database = "demo-" + std::string(scale ? scale : "large");
    const auto start = std::chrono::steady_clock::now();
    engine::Session session(platform::GetDatabaseInstance(database));
    const double load = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    engine::BatchResult count = session.Execute("SELECT COUNT(*) FROM CIP_AssetsApplicationEntry");
    if (count.first_error()) throw *count.first_error();
    Setup result;
    result.lines = std::stoll(engine::FormatValue(count.result_sets.back().at(0, 0)));
    result.session = "ConnectString={Provider=Orvalent.Embedded;Data Source=" + database +
                     "};UserName=bench;UserID=1;Language=chs;";
    std::fprintf(stderr, "%s loaded in %.1f s: %lld requisition lines\n", database.c_str(), load,
                 static_cast<long long>(result.lines));
    return result;
  }();
  return setup;
}

void DepartmentLevelsOneToTwo(benchmark::State& state) {
  const Setup& setup = Prepare();
  platform::ConditionDictionary dct;
  dct.Set("FGroupByUseDept", platform::Variant("0"));
  dct.Set("FChkLevel", platform::Variant(1));
  dct.Set("FLvlFrom", platform::Variant(1));
  dct.Set("FLvlTo", platform::Variant(2));
  int32_t result_rows = 0;
  for (auto _ : state) {
    const auto report =
        std::dynamic_pointer_cast<frame::ReportFrame>(platform::CreateObject("Orvalent.CRPT2010006"));
    if (!report) throw std::logic_error("Orvalent.CRPT2010006 is not a report class");
    const std::shared_ptr<platform::Recordset> rows = report->GetRptData(setup.session, &dct);
    result_rows = rows->RecordCount();
    benchmark::DoNotOptimize(result_rows);
  }
  state.SetItemsProcessed(state.iterations() * setup.lines);
  state.counters["result_rows"] = result_rows;
}

BENCHMARK(DepartmentLevelsOneToTwo)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();

}  // namespace
}  // namespace orv::bench

BENCHMARK_MAIN();
