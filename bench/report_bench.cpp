// The shared setup and call of the report benchmarks (see report_bench.h).
#include "bench/report_bench.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "demo/demo_database.h"
#include "engine/common/freed_memory.h"
#include "engine/engine.h"
#include "frame/report_frame.h"
#include "platform/class_registry.h"
#include "platform/connection.h"
#include "platform/embedded_provider.h"
#include "platform/recordset.h"
#include "reports/registration.h"

namespace orv::bench {

const ReportBench& PrepareReportBench(std::string_view lines_table, std::string_view what) {
  static const ReportBench setup = [&] {
    platform::RegisterPlatformClasses();
    reports::RegisterComponent();
    demo::RegisterDemoDatabases();
    const char* scale = std::getenv("ORV_BENCH_SCALE");
    const std::string database = "demo-" + std::string(scale ? scale : "large");
    const auto start = std::chrono::steady_clock::now();
    engine::Session session(platform::GetDatabaseInstance(database));
    const double load = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    engine::BatchResult count = session.Execute("SELECT COUNT(*) FROM " + std::string(lines_table));
    if (count.first_error()) throw *count.first_error();
    ReportBench result;
    result.lines = std::stoll(engine::FormatValue(count.result_sets.back().at(0, 0)));
    result.session = "ConnectString={Provider=Orvalent.Embedded;Data Source=" + database +
                     "};UserName=bench;UserID=1;Language=chs;";
    std::fprintf(stderr, "%s loaded in %.1f s: %lld %.*s\n", database.c_str(), load,
                 static_cast<long long>(result.lines), static_cast<int>(what.size()), what.data());
    return result;
  }();
  return setup;
}

namespace {

// Wall time per batch of a run, summed over the runs it watches: a batch ends
// when the next one starts or the run returns, as the CLI's --timing counts.
class BatchTimes {
 public:
  BatchTimes() {
    platform::SetExecuteObserver([this](std::string_view) {
      Finish();
      started_ = std::chrono::steady_clock::now();
      ++batch_;
    });
  }
  ~BatchTimes() { platform::SetExecuteObserver({}); }
  BatchTimes(const BatchTimes&) = delete;
  BatchTimes& operator=(const BatchTimes&) = delete;

  // Ends the run's last batch; the next batch is again the run's first.
  void EndRun() {
    Finish();
    batch_ = 0;
  }
  // Counters batch<N>_ms: each batch's mean over `runs` runs.
  void Report(benchmark::State& state, int64_t runs) const {
    for (size_t i = 0; i < total_ms_.size(); ++i) {
      state.counters["batch" + std::to_string(i + 1) + "_ms"] = total_ms_[i] / static_cast<double>(runs);
    }
  }

 private:
  void Finish() {
    if (batch_ == 0) return;
    if (total_ms_.size() < batch_) total_ms_.resize(batch_);
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - started_;
    total_ms_[batch_ - 1] += took.count();
  }

  std::chrono::steady_clock::time_point started_;
  size_t batch_ = 0;
  std::vector<double> total_ms_;
};

}  // namespace

int32_t RunReportOnce(std::string_view prog_id, const std::string& session, const platform::ConditionDictionary& dct) {
  const auto report = std::dynamic_pointer_cast<frame::ReportFrame>(platform::CreateObject(prog_id));
  if (!report) throw std::logic_error(std::string(prog_id) + " is not a report class");
  return report->GetRptData(session, &dct)->RecordCount();
}

void TimeReport(benchmark::State& state, std::string_view prog_id, std::string_view lines_table,
                std::string_view what, const platform::ConditionDictionary& dct) {
  const ReportBench& setup = PrepareReportBench(lines_table, what);
  const auto start = std::chrono::steady_clock::now();
  int32_t result_rows = RunReportOnce(prog_id, setup.session, dct);
  const double first_ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  BatchTimes batches;
  for (auto _ : state) {
    result_rows = RunReportOnce(prog_id, setup.session, dct);
    batches.EndRun();
    benchmark::DoNotOptimize(result_rows);
  }
  if (state.iterations() > 0) batches.Report(state, state.iterations());
  state.SetItemsProcessed(state.iterations() * setup.lines);
  state.counters["result_rows"] = result_rows;
  state.counters["first_run_ms"] = first_ms;
}

}  // namespace orv::bench

// The report benchmarks' main: the process keeps freed memory as the orvalent process does.
int main(int argc, char** argv) {
  orv::engine::KeepFreedMemory();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
