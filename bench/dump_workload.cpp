// Writes the report workload for a PostgreSQL server: the four tables as
// files COPY reads (text format), the schema, and each operation's setup and
// timed SQL, so bench/compare-engines times the same data and statements;
// and the same rows as the engine's INSERT ... VALUES script, load.sql.
// Usage: bench_dump_workload DIR   (rows: ORV_BENCH_ROWS, default 1,000,000)
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <stdexcept>
#include <string>

#include "bench/workload.h"

namespace orv::bench {
namespace {

// COPY's text format: tab between columns, \N for NULL, backslash escapes.
std::string CopyText(const std::string& text) {
  if (text == kNullText) return "\\N";
  std::string escaped;
  escaped.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '\\': escaped += "\\\\"; break;
      case '\t': escaped += "\\t"; break;
      case '\n': escaped += "\\n"; break;
      case '\r': escaped += "\\r"; break;
      default: escaped += c;
    }
  }
  return escaped;
}

std::ofstream Open(const std::filesystem::path& path) {
  std::ofstream file(path, std::ios::binary);
  if (!file) throw std::runtime_error("cannot write " + path.string());
  return file;
}

void WriteFile(const std::filesystem::path& path, const std::string& text) {
  std::ofstream file = Open(path);
  file << text;
  if (!file.flush()) throw std::runtime_error("cannot write " + path.string());
}

void WriteTables(const std::filesystem::path& dir, const Workload& workload) {
  std::map<std::string, std::ofstream> files;
  std::string line;
  TextRows(workload, [&](const std::string& table, int columns, const TextRow& row) {
    auto it = files.find(table);
    if (it == files.end()) it = files.emplace(table, Open(dir / (table + ".tsv"))).first;
    line.clear();
    for (int i = 0; i < columns; ++i) {
      if (i) line += '\t';
      line += CopyText(row.texts[i]);
    }
    line += '\n';
    it->second << line;
  });
  for (auto& [table, file] : files)
    if (!file.flush()) throw std::runtime_error("cannot write " + table + ".tsv");
}

// The engine's own load script (load.sql): the tables and their rows as
// INSERT ... VALUES batches, for timing `orvalent sql` on a script.
void WriteLoadScript(const std::filesystem::path& path, const Workload& workload) {
  std::ofstream file = Open(path);
  EngineLoadScript(workload, [&](const std::string& batch) { file << batch << "\nGO\n"; });
  if (!file.flush()) throw std::runtime_error("cannot write " + path.string());
}

// operations.tsv lists "number<TAB>rows<TAB>name"; N.setup.sql and N.sql
// hold operation N's untimed setup and its timed statement.
void WriteOperations(const std::filesystem::path& dir, const Workload& workload) {
  std::string list;
  int number = 0;
  for (const Operation& op : Operations(workload)) {
    ++number;
    list += std::to_string(number) + "\t" + std::to_string(op.rows) + "\t" + op.name + "\n";
    WriteFile(dir / (std::to_string(number) + ".setup.sql"), op.postgres_setup.empty() ? "" : op.postgres_setup + ";\n");
    WriteFile(dir / (std::to_string(number) + ".sql"), op.postgres_sql + ";\n");
  }
  WriteFile(dir / "operations.tsv", list);
}

}  // namespace
}  // namespace orv::bench

int main(int argc, char** argv) {
  using namespace orv::bench;
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s DIR\n", argv[0]);
    return 2;
  }
  try {
    Workload workload;
    if (const char* rows = std::getenv("ORV_BENCH_ROWS")) workload.documents = std::atoll(rows);
    const std::filesystem::path dir = argv[1];
    std::filesystem::create_directories(dir);
    WriteFile(dir / "schema.sql", PostgresSchema());
    WriteTables(dir, workload);
    WriteOperations(dir, workload);
    WriteLoadScript(dir / "load.sql", workload);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "bench_dump_workload: %s\n", error.what());
    return 1;
  }
  return 0;
}
