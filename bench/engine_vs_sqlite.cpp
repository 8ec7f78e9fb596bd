// Times the six report operations on the embedded engine and on SQLite (in
// memory, same data) in one run, then prints rows/s side by side with the
// ratio. Rows: ORV_BENCH_ROWS (default 1,000,000); timed runs per operation:
// ORV_BENCH_RUNS (default 3; raise it to profile one operation). The engine's
// column is one thread (OPTION (MAXDOP 1)); the operations it may split over
// threads are timed again on all cores (MAXDOP 0), printed below the table.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>

#include "bench/workload.h"
#include "engine/catalog/catalog.h"
#include "engine/common/freed_memory.h"
#include "engine/engine.h"
#include "engine/storage/table.h"

namespace orv::bench {
namespace {

void CheckEngine(const engine::BatchResult& result, const std::string& sql) {
  if (result.first_error()) throw std::runtime_error("engine: " + result.first_error()->message() + "\n" + sql.substr(0, 300));
}

void CheckSqlite(int rc, sqlite3* db, const std::string& what) {
  if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW)
    throw std::runtime_error("sqlite: " + std::string(sqlite3_errmsg(db)) + " in " + what.substr(0, 300));
}

void SqliteExec(sqlite3* db, const std::string& sql) {
  if (sql.empty()) return;
  char* message = nullptr;
  if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
    std::string text = message ? message : "?";
    sqlite3_free(message);
    throw std::runtime_error("sqlite: " + text + " in " + sql.substr(0, 300));
  }
}

void LoadSqlite(sqlite3* db, const Workload& workload) {
  SqliteExec(db, SqliteSchema());
  SqliteExec(db, "BEGIN");
  std::map<std::string, sqlite3_stmt*> inserts;
  TextRows(workload, [&](const std::string& table, int columns, const TextRow& row) {
    sqlite3_stmt*& statement = inserts[table];
    if (!statement) {
      std::string sql = "INSERT INTO " + table + " VALUES (";
      for (int i = 0; i < columns; ++i) sql += i ? ",?" : "?";
      CheckSqlite(sqlite3_prepare_v2(db, (sql + ")").c_str(), -1, &statement, nullptr), db, sql);
    }
    for (int i = 0; i < columns; ++i) {
      const std::string& text = row.texts[i];
      if (text == kNullText)
        sqlite3_bind_null(statement, i + 1);
      else
        sqlite3_bind_text(statement, i + 1, text.c_str(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
    }
    CheckSqlite(sqlite3_step(statement), db, table);
    sqlite3_reset(statement);
  });
  for (auto& [table, statement] : inserts) sqlite3_finalize(statement);
  SqliteExec(db, "COMMIT");
}

struct Fixture {
  Workload workload;
  std::shared_ptr<engine::Database> database = std::make_shared<engine::Database>("bench");
  std::unique_ptr<engine::Session> session = std::make_unique<engine::Session>(database);
  sqlite3* sqlite = nullptr;
  std::map<std::string, double> best_seconds;  // "engine/op" -> best time
};

Fixture* fixture = nullptr;

template <typename Run>
void Time(benchmark::State& state, const std::string& name, const std::string& setup, const std::string& sql, Run run,
          int64_t rows) {
  for (auto _ : state) {
    if (!setup.empty()) {
      state.PauseTiming();
      run(setup);
      state.ResumeTiming();
    }
    auto start = std::chrono::steady_clock::now();
    run(sql);
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    state.SetIterationTime(seconds);
    auto [it, inserted] = fixture->best_seconds.emplace(name, seconds);
    if (!inserted && seconds < it->second) it->second = seconds;
  }
  state.SetItemsProcessed(state.iterations() * rows);
}

// Bytes of the pages SQLite keeps the documents table in (its in-memory database's dbstat).
int64_t SqliteDocumentBytes(sqlite3* db) {
  sqlite3_stmt* statement = nullptr;
  CheckSqlite(sqlite3_prepare_v2(db, "SELECT SUM(pgsize) FROM dbstat WHERE name = 'BenchDoc'", -1, &statement, nullptr),
              db, "dbstat");
  CheckSqlite(sqlite3_step(statement), db, "dbstat");
  const int64_t bytes = sqlite3_column_int64(statement, 0);
  sqlite3_finalize(statement);
  return bytes;
}

void PrintSummary(const std::vector<Operation>& operations, int64_t raw_bytes, size_t engine_bytes) {
  std::printf("\n%-34s %16s %16s %8s\n", "operation", "engine rows/s", "SQLite rows/s", "ratio");
  for (const Operation& op : operations) {
    double engine = fixture->best_seconds["engine/" + op.name];
    double sqlite = fixture->best_seconds["sqlite/" + op.name];
    std::printf("%-34s %16.0f %16.0f %8.2f\n", op.name.c_str(), op.rows / engine, op.rows / sqlite, sqlite / engine);
  }
  std::printf("engine on all %u cores (MAXDOP 0), rows/s and times its one thread:\n",
              std::thread::hardware_concurrency());
  for (const Operation& op : operations) {
    if (!op.parallel) continue;
    const double one = fixture->best_seconds["engine/" + op.name];
    const double all = fixture->best_seconds["engine-parallel/" + op.name];
    std::printf("  %-32s %16.0f %8.2f\n", op.name.c_str(), op.rows / all, one / all);
  }
  const int64_t sqlite_bytes = SqliteDocumentBytes(fixture->sqlite);
  std::printf("documents table: raw values %.1f MB, engine %.1f MB (%.2fx), SQLite %.1f MB (%.2fx)\n", raw_bytes / 1e6,
              engine_bytes / 1e6, static_cast<double>(engine_bytes) / static_cast<double>(raw_bytes), sqlite_bytes / 1e6,
              static_cast<double>(sqlite_bytes) / static_cast<double>(raw_bytes));
}

}  // namespace
}  // namespace orv::bench

int main(int argc, char** argv) {
  using namespace orv::bench;
  orv::engine::KeepFreedMemory();  // as the orvalent process does
  benchmark::Initialize(&argc, argv);
  Fixture state;
  fixture = &state;
  if (const char* rows = std::getenv("ORV_BENCH_ROWS")) state.workload.documents = std::atoll(rows);

  // Loading is timed too: a script of INSERT ... VALUES statements is how most data reaches the engine.
  // Only the engine's work counts, not writing the script's text.
  double load_seconds = 0;
  int64_t script_bytes = 0;
  EngineLoadScript(state.workload, [&](const std::string& sql) {
    script_bytes += static_cast<int64_t>(sql.size());
    const auto start = std::chrono::steady_clock::now();
    CheckEngine(state.session->Execute(sql), sql);
    load_seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  });
  std::printf("engine load: %.1f MB of INSERT ... VALUES script, %lld documents in %.2f s: %.0f rows/s\n",
              static_cast<double>(script_bytes) / 1e6, static_cast<long long>(state.workload.documents), load_seconds,
              static_cast<double>(state.workload.documents) / load_seconds);
  CheckSqlite(sqlite3_open(":memory:", &state.sqlite), state.sqlite, "open");
  LoadSqlite(state.sqlite, state.workload);

  auto engine_run = [&](const std::string& sql) { CheckEngine(state.session->Execute(sql), sql); };
  auto sqlite_run = [&](const std::string& sql) { SqliteExec(state.sqlite, sql); };
  std::vector<Operation> operations = Operations(state.workload);
  const char* runs_text = std::getenv("ORV_BENCH_RUNS");
  const int runs = runs_text ? std::max(1, std::atoi(runs_text)) : 3;
  for (const Operation& op : operations) {
    const std::string one_thread = op.parallel ? op.engine_sql + " OPTION (MAXDOP 1)" : op.engine_sql;
    auto engine = [op, one_thread, engine_run](benchmark::State& s) {
      Time(s, "engine/" + op.name, op.engine_setup, one_thread, engine_run, op.rows);
    };
    benchmark::RegisterBenchmark(("engine/" + op.name).c_str(), engine)
        ->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(runs);
    if (op.parallel) {
      const std::string all_cores = op.engine_sql + " OPTION (MAXDOP 0)";
      auto parallel = [op, all_cores, engine_run](benchmark::State& s) {
        Time(s, "engine-parallel/" + op.name, op.engine_setup, all_cores, engine_run, op.rows);
      };
      benchmark::RegisterBenchmark(("engine-parallel/" + op.name).c_str(), parallel)
          ->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(runs);
    }
    benchmark::RegisterBenchmark(("sqlite/" + op.name).c_str(), [op, sqlite_run](benchmark::State& s) {
      Time(s, "sqlite/" + op.name, op.sqlite_setup, op.sqlite_sql, sqlite_run, op.rows);
    })->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(runs);
  }
  benchmark::RunSpecifiedBenchmarks();
  PrintSummary(operations, RawDocumentBytes(state.workload),
               state.database->catalog().FindTable("BenchDoc")->MemoryBytes());
  sqlite3_close(state.sqlite);
  benchmark::Shutdown();
  return 0;
}
