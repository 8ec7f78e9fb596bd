// The report workload of the speed comparison: a documents table of N lines
// and its base data (items, suppliers, departments), generated
// deterministically, and the six operations every report is made of, written
// once for the embedded engine, once for SQLite and once for PostgreSQL.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace orv::bench {

struct Operation {
  std::string name;
  std::string engine_setup = {};    // run before each timed run, untimed (may be empty)
  std::string engine_sql;           // the timed statement(s)
  std::string sqlite_setup = {};
  std::string sqlite_sql;
  std::string postgres_setup = {};
  std::string postgres_sql;
  int64_t rows;                     // rows the operation processes, for rows/s
  // The engine may split it over threads: the table times it with
  // OPTION (MAXDOP 1), and once more on all cores beside.
  bool parallel = false;
};

struct Workload {
  int64_t documents = 1'000'000;
  int64_t items() const { return documents / 10; }
  int64_t suppliers() const { return 2'000; }
  int64_t departments() const { return 200; }
};

// The schema, then INSERT batches of at most 1000 rows each, as SQL text the
// engine runs. `emit` receives one batch at a time so 1 M rows never sit in
// memory as one string.
void EngineLoadScript(const Workload& workload, const std::function<void(const std::string&)>& emit);

// The same data as text values, row by row and table by table: decimals as
// exact text with 10 decimals, dates as ISO text. SQLite binds them (its
// schema stores decimals as REAL); PostgreSQL reads them with COPY.
struct TextRow {
  std::vector<std::string> texts;  // one per column, kNullText marks NULL
};
inline const std::string kNullText = "\x01NULL";
void TextRows(const Workload& workload,
              const std::function<void(const std::string& table, int columns, const TextRow&)>& emit);

std::string SqliteSchema();
// Decimals as NUMERIC(28,10), so sums are exact as in the engine.
std::string PostgresSchema();

std::vector<Operation> Operations(const Workload& workload);

// Bytes of the raw values of the documents table (ints 4, decimals 16, dates
// 8, strings their UTF-8 length), the yardstick of the memory target.
int64_t RawDocumentBytes(const Workload& workload);

}  // namespace orv::bench
