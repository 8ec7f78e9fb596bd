// The hostile inputs of the robustness work as benchmarks: each must stay
// linear (or stop early) as its size grows. Targets: TOP 10 over a 10k x 10k
// cross join well under a millisecond; CHARINDEX and LIKE of a 20k needle in
// 400k text, and REPLACE over it, in a few milliseconds; a 1M-item IN list
// bound and run in about a second.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "engine/engine.h"

namespace {

using orv::engine::Database;
using orv::engine::Session;

Session& TenThousandRows() {
  static Session* session = [] {
    auto* made = new Session(std::make_shared<Database>("bench"));
    made->Execute(
        "SET NOCOUNT ON CREATE TABLE n (v INT) INSERT INTO n VALUES (0),(1),(2),(3),(4),(5),(6),(7),(8),(9) "
        "SELECT a.v + 10 * b.v + 100 * c.v + 1000 * d.v AS v INTO k FROM n a CROSS JOIN n b CROSS JOIN n c "
        "CROSS JOIN n d");
    return made;
  }();
  return *session;
}

void Run(benchmark::State& state, const std::string& sql) {
  Session& session = TenThousandRows();
  for (auto _ : state) {
    const auto result = session.Execute(sql);
    if (result.first_error()) state.SkipWithError(result.first_error()->message().c_str());
  }
}

void BM_TopOfCrossJoin(benchmark::State& state) { Run(state, "SELECT TOP 10 a.v, b.v FROM k a CROSS JOIN k b"); }
BENCHMARK(BM_TopOfCrossJoin);

void BM_ExistsOverCrossJoin(benchmark::State& state) {
  Run(state, "SELECT 1 WHERE EXISTS (SELECT 1 FROM k a CROSS JOIN k b WHERE b.v = 9999)");
}
BENCHMARK(BM_ExistsOverCrossJoin);

// A needle of `range(0)` characters that matches only at the end of 20 times its length of text.
std::string NeedleSearch(const std::string& function, int64_t needle) {
  const std::string n = std::to_string(needle);
  const std::string text = "REPLICATE(CAST('a' AS VARCHAR(MAX)), " + std::to_string(needle * 20) + ") + 'b'";
  const std::string pattern = "REPLICATE(CAST('a' AS VARCHAR(MAX)), " + n + ") + 'b'";
  if (function == "LIKE") return "SELECT CASE WHEN " + text + " LIKE '%' + " + pattern + " + '%' THEN 1 ELSE 0 END";
  if (function == "REPLACE") return "SELECT LEN(REPLACE(" + text + ", " + pattern + ", 'x'))";
  return "SELECT CHARINDEX(" + pattern + ", " + text + ")";
}

void BM_Charindex(benchmark::State& state) { Run(state, NeedleSearch("CHARINDEX", state.range(0))); }
BENCHMARK(BM_Charindex)->Arg(1000)->Arg(20000);
void BM_Like(benchmark::State& state) { Run(state, NeedleSearch("LIKE", state.range(0))); }
BENCHMARK(BM_Like)->Arg(1000)->Arg(20000);
void BM_Replace(benchmark::State& state) { Run(state, NeedleSearch("REPLACE", state.range(0))); }
BENCHMARK(BM_Replace)->Arg(1000)->Arg(20000);

void BM_InList(benchmark::State& state) {
  std::string sql = "SELECT COUNT(*) FROM k WHERE v IN (";
  for (int64_t i = 0; i < state.range(0); ++i) sql += (i ? "," : "") + std::to_string(i * 3);
  Run(state, sql + ")");
}
BENCHMARK(BM_InList)->Arg(1000)->Arg(1000000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
