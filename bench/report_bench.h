// What the report benchmarks share: the demo database loaded once per process
// (large, or the scale ORV_BENCH_SCALE names), the session string on it, the
// count of the document lines the report reads, the timed calls of a report
// class through the frame as the client makes them, and the main of each
// report benchmark.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/host_objects.h"

namespace orv::bench {

struct ReportBench {
  std::string session;
  int64_t lines = 0;  // rows of the lines table the report reads
};

// Registers the component, loads the demo database and counts `lines_table`;
// prints the load time and the count as `what`. Loads once per process.
const ReportBench& PrepareReportBench(std::string_view lines_table, std::string_view what);

// Creates `prog_id` by ProgID, calls GetRptData and returns the rows it gave.
int32_t RunReportOnce(std::string_view prog_id, const std::string& session, const platform::ConditionDictionary& dct);

// Times `prog_id` on the demo database, whose `lines_table` (`what`) it reads.
// The first call decodes the columns it reads from the database file and is
// timed apart (counter first_run_ms); the iterations that follow are those of
// a database already loaded, as a long-running service sees it; counters
// batch<N>_ms give each batch's mean wall time over them.
void TimeReport(benchmark::State& state, std::string_view prog_id, std::string_view lines_table,
                std::string_view what, const platform::ConditionDictionary& dct);

}  // namespace orv::bench
