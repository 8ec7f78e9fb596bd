// Writing and reading the database file.
#include "engine/catalog/snapshot_format.h"

#include <algorithm>
#include <future>

#include "engine/catalog/block_format.h"
#include "engine/catalog/byte_codec.h"
#include "engine/catalog/column_codec.h"
#include "engine/catalog/redo_codec.h"

namespace orv::engine {
namespace {

constexpr std::string_view kMagic = "ORVDB\x02\r\n";
constexpr size_t kChunkRows = 65536;
constexpr std::string_view kEnd = "END";

std::vector<const Table*> SortedTables(const Catalog& catalog) {
  std::vector<const Table*> tables;
  for (const auto& [key, table] : catalog.tables()) tables.push_back(table.get());
  std::sort(tables.begin(), tables.end(), [](const Table* a, const Table* b) { return a->name() < b->name(); });
  return tables;
}

// The block's bytes into `raw`, whose room is used again from block to block.
void NextBlock(std::string_view bytes, size_t& pos, size_t index, std::string& raw) {
  switch (GetBlock(bytes, pos, raw)) {
    case BlockRead::Ok:
      return;
    case BlockRead::Truncated:
      throw FileDamaged{"the file ends inside block " + std::to_string(index) + " (torn or truncated)"};
    case BlockRead::Damaged:
      break;
  }
  throw FileDamaged{"incorrect checksum in block " + std::to_string(index)};
}

// Reads the blocks of tables [begin, end), which start at `pos` numbered `index`.
void DecodeTables(std::string_view bytes, size_t& pos, size_t& index, const std::vector<std::shared_ptr<Table>>& tables,
                  const std::vector<size_t>& rows, size_t begin, size_t end, bool reserve) {
  std::string chunk_bytes;
  for (size_t t = begin; t < end; ++t) {
    Table& table = *tables[t];
    if (reserve) table.Reserve(rows[t]);
    for (size_t c = 0; c < table.column_count(); ++c) {
      for (size_t first = 0; first < rows[t]; first += kChunkRows) {
        NextBlock(bytes, pos, index++, chunk_bytes);
        ByteReader chunk(chunk_bytes);
        DecodeColumnChunk(chunk, table.LoadingColumn(c), std::min(kChunkRows, rows[t] - first));
        if (!chunk.done()) throw FileDamaged{"block " + std::to_string(index - 1) + " is longer than its rows"};
      }
    }
    if (!table.FinishLoad()) throw FileDamaged{"the columns of table " + table.name() + " differ in length"};
  }
}

}  // namespace

std::string EncodeSnapshot(const Catalog& catalog, uint64_t sequence) {
  std::string out(kMagic);
  const std::vector<const Table*> tables = SortedTables(catalog);
  ByteWriter head;
  head.U64(sequence);
  head.Var(tables.size());
  for (const Table* table : tables) {
    head.Schema(*table);
    head.U8(table->last_identity() ? 1 : 0);
    head.U64(static_cast<uint64_t>(table->last_identity().value_or(0)));
    head.Var(table->row_count());
  }
  head.Var(catalog.views().size());
  for (const auto& [key, view] : catalog.views()) {
    head.Str(view.name);
    head.Var(view.columns.size());
    for (const std::string& column : view.columns) head.Str(column);
    head.Str(view.query_text);
  }
  // Procedures as the log writes them, in name order so equal databases give equal files.
  std::vector<const ProcedureDefinition*> procedures;
  for (const auto& [key, procedure] : catalog.routines().All()) procedures.push_back(&procedure);
  std::sort(procedures.begin(), procedures.end(),
            [](const ProcedureDefinition* a, const ProcedureDefinition* b) { return a->name < b->name; });
  head.Var(procedures.size());
  for (const ProcedureDefinition* procedure : procedures) head.Str(redo::PutProcedure(*procedure));
  PutBlock(out, head.bytes(), true);
  size_t blocks = 1;
  for (const Table* table : tables) {
    for (size_t c = 0; c < table->column_count(); ++c) {
      for (size_t first = 0; first < table->row_count(); first += kChunkRows) {
        ByteWriter chunk;
        EncodeColumnChunk(*table, c, first, std::min(kChunkRows, table->row_count() - first), chunk);
        PutBlock(out, chunk.bytes(), true);
        ++blocks;
      }
    }
  }
  ByteWriter end;
  end.Raw(kEnd.data(), kEnd.size());
  end.Var(blocks);
  PutBlock(out, end.bytes(), false);
  return out;
}

uint64_t DecodeSnapshot(std::string_view bytes, Catalog& catalog) {
  if (!bytes.starts_with(kMagic)) throw FileDamaged{"the file does not start as a database file does"};
  size_t pos = kMagic.size();
  size_t index = 0;
  std::string head_bytes;
  NextBlock(bytes, pos, index++, head_bytes);
  ByteReader head(head_bytes);
  const uint64_t sequence = head.U64();
  std::vector<std::shared_ptr<Table>> tables(head.Count());
  std::vector<size_t> rows(tables.size());
  for (size_t t = 0; t < tables.size(); ++t) {
    tables[t] = head.Schema();
    const bool has_identity = head.U8() != 0;
    const auto last = static_cast<int64_t>(head.U64());
    if (has_identity) tables[t]->set_last_identity(last);
    rows[t] = head.Var();
  }
  std::vector<ViewDefinition> views(head.Count());
  for (ViewDefinition& view : views) {
    view.name = head.Str();
    view.columns.resize(head.Count());
    for (std::string& column : view.columns) column = head.Str();
    view.query_text = head.Str();
  }
  std::vector<std::string_view> procedures(head.Count());
  for (std::string_view& procedure : procedures) procedure = head.Str();
  // Block numbers (after the head) where each table's blocks start, as the
  // row counts say, checked against the blocks the file holds before anything
  // is sized by them.
  const std::vector<size_t> offsets = BlockOffsets(bytes, pos);
  std::vector<size_t> first_block(tables.size() + 1);
  for (size_t t = 0; t < tables.size(); ++t) {
    const size_t chunks = std::min(rows[t] / kChunkRows + (rows[t] % kChunkRows != 0), offsets.size());
    first_block[t + 1] = std::min(first_block[t] + tables[t]->column_count() * chunks, offsets.size());
  }
  if (first_block.back() >= offsets.size()) {  // the end block must follow; reported as the blocks are read
    DecodeTables(bytes, pos, index, tables, rows, 0, tables.size(), false);
  } else {
    // Two threads, each with a run of whole tables (each table's text goes to its own arena),
    // split where half the bytes are read.
    const size_t half = pos + (offsets[first_block.back()] - pos) / 2;
    size_t split = 0;
    while (split < tables.size() && offsets[first_block[split]] < half) ++split;
    size_t later_pos = offsets[first_block[split]];
    size_t later_index = index + first_block[split];
    auto later = std::async(std::launch::async, [&] {
      DecodeTables(bytes, later_pos, later_index, tables, rows, split, tables.size(), true);
    });
    // Damage in the first run is reported first, as reading in order would.
    DecodeTables(bytes, pos, index, tables, rows, 0, split, true);
    later.get();
    pos = later_pos;
    index = later_index;
  }
  std::string chunk_bytes;
  NextBlock(bytes, pos, index, chunk_bytes);
  ByteReader end(chunk_bytes);
  if (end.Take(kEnd.size()) != kEnd || end.Var() != index || pos != bytes.size()) {
    throw FileDamaged{"the file does not end where its last block says"};
  }
  for (auto& table : tables) {
    if (catalog.FindTable(table->name())) throw FileDamaged{"two tables of one name"};
    catalog.AddTable(std::move(table));
  }
  for (ViewDefinition& view : views) {
    if (catalog.FindTable(view.name) || catalog.FindView(view.name)) throw FileDamaged{"two objects of one name"};
    catalog.AddView(std::move(view));
  }
  for (std::string_view procedure : procedures) redo::Apply(procedure, catalog);
  return sequence;
}

}  // namespace orv::engine
