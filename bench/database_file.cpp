// Database files: rows/s of BULK INSERT of a generated CSV (ORV_BENCH_ROWS
// rows, default 1,000,000) into a database file, committed; the file's size
// against the CSV's bytes (the raw values); the time to open the file again.
// With ORV_BENCH_DEMO=1 also the time to open demo-large from its cache (the
// first run builds the cache, which takes minutes). 2026-12-07, 2 cores under a
// load average of about 5: from the cache 3.7 s when chunks went through Value,
// 3.5 s decoded straight into the columns (1.5 s of it CPU); goal: well under 1 s.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>
#include <string>

#include "demo/demo_database.h"
#include "engine/engine.h"
#include "platform/embedded_provider.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

void Check(const orv::engine::BatchResult& result, const char* what) {
  if (result.first_error()) throw std::runtime_error(std::string(what) + ": " + result.first_error()->message());
}

// Document lines as an ERP export has them: codes, names that repeat, prices, dates.
void WriteCsv(const fs::path& path, size_t rows) {
  std::ofstream out(path, std::ios::binary);
  out << "FEntryID,FItemNumber,FItemName,FPrice,FQty,FDate,FNote\r\n";
  static const char* const kNames[] = {"Drill press", "\"Lathe, heavy\"", "螺丝刀", "Forklift", "Server rack"};
  std::mt19937_64 random(20261207);
  for (size_t r = 0; r < rows; ++r) {
    const uint64_t draw = random();
    out << r + 1 << ",ITM-" << draw % 50000 << ',' << kNames[(draw >> 16) % 5] << ',' << (draw >> 20) % 10000000 / 100.0
        << ',' << (draw >> 44) % 500 << ",2024-" << 1 + (draw >> 53) % 12 << '-' << 1 + (draw >> 57) % 28 << ','
        << ((draw >> 62) == 0 ? "" : "checked") << "\r\n";
  }
}

}  // namespace

int main() {
  const char* rows_text = std::getenv("ORV_BENCH_ROWS");
  const size_t rows = rows_text ? std::strtoull(rows_text, nullptr, 10) : 1000000;
  const fs::path dir = fs::temp_directory_path() / ("orv_bench_file_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  const fs::path csv = dir / "lines.csv";
  const std::string path = (dir / "bench.odb").string();
  try {
    WriteCsv(csv, rows);
    {
      orv::engine::Session session(orv::engine::Database::Open(path, {.create = true}));
      Check(session.Execute("CREATE TABLE lines (FEntryID INT NOT NULL PRIMARY KEY, FItemNumber VARCHAR(20), "
                            "FItemName NVARCHAR(40), FPrice DECIMAL(18,2), FQty INT, FDate DATETIME, "
                            "FNote VARCHAR(20))"),
            "create");
      const auto start = Clock::now();
      Check(session.Execute("BULK INSERT lines FROM '" + csv.string() +
                            "' WITH (FORMAT = 'CSV', FIRSTROW = 2, FIELDTERMINATOR = ',', ROWTERMINATOR = '\\r\\n', "
                            "CODEPAGE = '65001')"),
            "bulk insert");
      const double seconds = Seconds(start);
      std::printf("import %zu rows: %.2f s, %.0f rows/s (committed to the log)\n", rows, seconds, rows / seconds);
    }  // closing checkpoints
    std::printf("file %.1f MB for %.1f MB of CSV values (%.0f%%)\n", fs::file_size(path) / 1e6,
                fs::file_size(csv) / 1e6, 100.0 * fs::file_size(path) / fs::file_size(csv));
    const auto start = Clock::now();
    orv::engine::Session session(orv::engine::Database::Open(path));
    Check(session.Execute("SELECT COUNT(*) FROM lines"), "count");
    std::printf("open: %.3f s\n", Seconds(start));
  } catch (const std::exception& error) {
    std::fprintf(stderr, "%s\n", error.what());
    fs::remove_all(dir);
    return 1;
  }
  fs::remove_all(dir);
  if (const char* demo = std::getenv("ORV_BENCH_DEMO"); demo && std::string(demo) == "1") {
    orv::demo::RegisterDemoDatabases();
    for (const char* pass : {"first open (builds the cache when missing)", "open from the cache"}) {
      const auto start = Clock::now();
      orv::platform::GetDatabaseInstance("demo-large");
      std::printf("demo-large, %s: %.2f s\n", pass, Seconds(start));
      orv::platform::DropDatabaseInstance("demo-large");
    }
  }
  return 0;
}
