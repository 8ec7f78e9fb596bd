// Database files: rows/s of BULK INSERT of a 1,000,000-row file into a
// database file, committed; the file's size against the text's bytes; the time
// to open the file again and to read every column once (columns are decoded
// on first use). Two files: a generated CSV of document lines
// (ORV_BENCH_ROWS rows, default 1,000,000), and, when ORV_BENCH_DOC_TSV names
// it, the documents table the engine comparison's anchor loaders read (a
// tab-separated file without header, \N for NULL, turned into empty fields
// before the clock starts). With ORV_BENCH_DEMO=1 also the time to open
// demo-large from its cache (the first run builds the cache, which takes
// minutes) and to decode all of it.
#include <unistd.h>

#include <chrono>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>
#include <string>

#include "demo/demo_database.h"
#include "engine/catalog/catalog.h"
#include "engine/engine.h"
#include "platform/embedded_provider.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }
// The process's CPU seconds: on a machine others load too, wall time follows them.
double CpuSeconds() { return static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }

void Check(const orv::engine::BatchResult& result, const char* what) {
  if (result.first_error()) throw std::runtime_error(std::string(what) + ": " + result.first_error()->message());
}

// Reads every column of every table once; the seconds it took.
double DecodeEverything(orv::engine::Database& database) {
  const auto start = Clock::now();
  for (const auto& table : database.catalog().Tables()) {
    for (size_t c = 0; c < table->column_count(); ++c) table->column(c);
  }
  return Seconds(start);
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

// The anchor loaders' file with its NULL marker as BULK INSERT reads NULL: an empty field.
void WriteDocumentsTsv(const fs::path& from, const fs::path& to) {
  std::ifstream in(from, std::ios::binary);
  std::ostringstream text;
  if (!in || !(text << in.rdbuf())) throw std::runtime_error("cannot read " + from.string());
  std::ofstream out(to, std::ios::binary);
  std::string line;
  std::istringstream lines(text.str());
  while (std::getline(lines, line)) {
    for (size_t at = 0; (at = line.find("\\N", at)) != std::string::npos;) {
      const bool whole = (at == 0 || line[at - 1] == '\t') && (at + 2 == line.size() || line[at + 2] == '\t');
      if (whole) line.erase(at, 2); else at += 2;
    }
    out << line << '\n';
  }
  if (!out.flush()) throw std::runtime_error("cannot write " + to.string());
}

struct ImportCase {
  const char* name;
  const char* table;
  std::string create;
  std::string bulk_insert;
  fs::path file;
};

void Measure(const ImportCase& import, const std::string& path) {
  {
    orv::engine::Session session(orv::engine::Database::Open(path, {.create = true}));
    Check(session.Execute(import.create), "create");
    const auto start = Clock::now();
    const double cpu_start = CpuSeconds();
    const orv::engine::BatchResult loaded = session.Execute(import.bulk_insert);
    const double seconds = Seconds(start);
    const double cpu = CpuSeconds() - cpu_start;
    Check(loaded, "bulk insert");
    const orv::engine::BatchResult count = session.Execute(std::string("SELECT COUNT(*) FROM ") + import.table);
    const auto rows = static_cast<double>(count.result_sets.at(0).at(0, 0).i);
    std::printf("%s: import %.0f rows: %.2f s, %.0f rows/s (committed to the log); %.2f s CPU, %.0f rows/s\n",
                import.name, rows, seconds, rows / seconds, cpu, rows / cpu);
  }  // closing checkpoints
  std::printf("%s: file %.1f MB for %.1f MB of text (%.0f%%)\n", import.name, fs::file_size(path) / 1e6,
              fs::file_size(import.file) / 1e6, 100.0 * fs::file_size(path) / fs::file_size(import.file));
  const auto start = Clock::now();
  const std::shared_ptr<orv::engine::Database> database = orv::engine::Database::Open(path);
  std::printf("%s: open %.3f s, then every column decoded in %.3f s\n", import.name, Seconds(start),
              DecodeEverything(*database));
}

}  // namespace

int main() {
  const char* rows_text = std::getenv("ORV_BENCH_ROWS");
  const size_t rows = rows_text ? std::strtoull(rows_text, nullptr, 10) : 1000000;
  const fs::path dir = fs::temp_directory_path() / ("orv_bench_file_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  try {
    WriteCsv(dir / "lines.csv", rows);
    Measure({"lines.csv", "lines",
             "CREATE TABLE lines (FEntryID INT NOT NULL PRIMARY KEY, FItemNumber VARCHAR(20), "
             "FItemName NVARCHAR(40), FPrice DECIMAL(18,2), FQty INT, FDate DATETIME, FNote VARCHAR(20))",
             "BULK INSERT lines FROM '" + (dir / "lines.csv").string() +
                 "' WITH (FORMAT = 'CSV', FIRSTROW = 2, FIELDTERMINATOR = ',', ROWTERMINATOR = '\\r\\n', "
                 "CODEPAGE = '65001')",
             dir / "lines.csv"},
            (dir / "lines.odb").string());
    if (const char* documents = std::getenv("ORV_BENCH_DOC_TSV")) {
      WriteDocumentsTsv(documents, dir / "doc.tsv");
      Measure({"doc.tsv", "doc",
               "CREATE TABLE doc (id INT NOT NULL PRIMARY KEY, header_id INT, item_id INT, supplier_id INT, "
               "dept_id INT, qty DECIMAL(28,10), price DECIMAL(28,10), amount DECIMAL(28,10), bill_no VARCHAR(30), "
               "note NVARCHAR(100), fdate DATE)",
               "BULK INSERT doc FROM '" + (dir / "doc.tsv").string() +
                   "' WITH (FIELDTERMINATOR = '\\t', ROWTERMINATOR = '\\n', CODEPAGE = '65001')",
               dir / "doc.tsv"},
              (dir / "doc.odb").string());
    }
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
      const std::shared_ptr<orv::engine::Database> database = orv::platform::GetDatabaseInstance("demo-large");
      const double open = Seconds(start);
      std::printf("demo-large, %s: %.2f s, then every column decoded in %.2f s\n", pass, open,
                  DecodeEverything(*database));
      orv::platform::DropDatabaseInstance("demo-large");
    }
  }
  return 0;
}
