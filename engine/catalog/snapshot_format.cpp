// Writing and reading the database file.
#include "engine/catalog/snapshot_format.h"

#include <algorithm>

#include "engine/catalog/block_format.h"
#include "engine/catalog/byte_codec.h"
#include "engine/catalog/column_codec.h"
#include "engine/catalog/redo_codec.h"
#include "engine/common/errors.h"

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

size_t Chunks(size_t rows) { return rows / kChunkRows + (rows % kChunkRows != 0); }

// A table's column chunks in the file's bytes (kept whole in memory, not
// read again from the file, which a checkpoint may replace), decoded into the
// table when a query first reads the column.
class StoredColumns final : public ColumnLoader {
 public:
  StoredColumns(std::shared_ptr<const std::string> file, std::string path, std::vector<size_t> offsets,
                size_t first_index, size_t rows)
      : file_(std::move(file)),
        path_(std::move(path)),
        offsets_(std::move(offsets)),
        first_index_(first_index),
        rows_(rows) {}

  // Column `index`'s blocks as the file holds them (they follow each other).
  std::string_view Blocks(size_t index) const {
    const size_t chunks = Chunks(rows_);
    return std::string_view(*file_).substr(offsets_[index * chunks],
                                           offsets_[(index + 1) * chunks] - offsets_[index * chunks]);
  }

  void Load(size_t index, Column& column) const override {
    const size_t chunks = Chunks(rows_);
    std::string chunk_bytes;
    for (size_t k = 0; k < chunks; ++k) {
      const size_t block = index * chunks + k;
      size_t pos = offsets_[block];
      try {
        NextBlock(*file_, pos, first_index_ + block, chunk_bytes);
        ByteReader chunk(chunk_bytes);
        DecodeColumnChunk(chunk, column, std::min(kChunkRows, rows_ - k * kChunkRows));
        if (!chunk.done()) {
          throw FileDamaged{"block " + std::to_string(first_index_ + block) + " is longer than its rows"};
        }
      } catch (const FileDamaged& damage) {
        Throw(ErrorCode::kFileDamaged, {damage.what, "the database file", path_});
      }
    }
  }

 private:
  std::shared_ptr<const std::string> file_;
  std::string path_;
  std::vector<size_t> offsets_;  // of the table's blocks, column by column, chunk by chunk, then of the next one
  size_t first_index_;           // the number of its first block in the file
  size_t rows_;
};

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
  // Settings come last, as log records: a file written before there were
  // settings ends its head here.
  head.Str(redo::SetMaxDop(catalog.max_dop()));
  PutBlock(out, head.bytes(), Compression::Small);
  size_t blocks = 1;
  for (const Table* table : tables) {
    for (size_t c = 0; c < table->column_count(); ++c) {
      if (const auto* stored = dynamic_cast<const StoredColumns*>(table->StillOnFile(c))) {
        // Not read since the file was opened: its blocks go over as they are.
        out.append(stored->Blocks(c));
        blocks += Chunks(table->row_count());
        continue;
      }
      for (size_t first = 0; first < table->row_count(); first += kChunkRows) {
        ByteWriter chunk;
        EncodeColumnChunk(*table, c, first, std::min(kChunkRows, table->row_count() - first), chunk);
        PutBlock(out, chunk.bytes(), Compression::Small);
        ++blocks;
      }
    }
  }
  ByteWriter end;
  end.Raw(kEnd.data(), kEnd.size());
  end.Var(blocks);
  PutBlock(out, end.bytes(), Compression::None);
  return out;
}

uint64_t DecodeSnapshot(std::shared_ptr<const std::string> file, const std::string& path, Catalog& catalog) {
  const std::string_view bytes = *file;
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
  std::vector<std::string_view> settings;
  while (!head.done()) settings.push_back(head.Str());
  // Every block is checked now, so that damage is reported on opening; a
  // column's blocks are decompressed and decoded when it is first read.
  std::vector<size_t> offsets;  // of the blocks after the head, the end block last
  while (pos < bytes.size()) {
    offsets.push_back(pos);
    switch (CheckBlock(bytes, pos)) {
      case BlockRead::Ok:
        continue;
      case BlockRead::Truncated:
        throw FileDamaged{"the file ends inside block " + std::to_string(index + offsets.size() - 1) +
                          " (torn or truncated)"};
      case BlockRead::Damaged:
        throw FileDamaged{"incorrect checksum in block " + std::to_string(index + offsets.size() - 1)};
    }
  }
  // The row counts say how many blocks each table has, checked against the
  // blocks there are before anything is sized by them.
  std::vector<size_t> first_block(tables.size() + 1);
  for (size_t t = 0; t < tables.size(); ++t) {
    const size_t chunks = Chunks(rows[t]);
    if (chunks > offsets.size() || tables[t]->column_count() * chunks > offsets.size() - first_block[t]) {
      throw FileDamaged{"table " + tables[t]->name() + " has fewer blocks than rows"};
    }
    first_block[t + 1] = first_block[t] + tables[t]->column_count() * chunks;
  }
  if (first_block.back() + 1 != offsets.size()) throw FileDamaged{"the file does not end where its last block says"};
  std::string end_bytes;
  pos = offsets.back();
  NextBlock(bytes, pos, index + first_block.back(), end_bytes);
  ByteReader end(end_bytes);
  if (end.Take(kEnd.size()) != kEnd || end.Var() != index + first_block.back()) {
    throw FileDamaged{"the file does not end where its last block says"};
  }
  for (size_t t = 0; t < tables.size(); ++t) {
    std::vector<size_t> own(offsets.begin() + static_cast<std::ptrdiff_t>(first_block[t]),
                            offsets.begin() + static_cast<std::ptrdiff_t>(first_block[t + 1] + 1));
    tables[t]->LoadLater(std::make_unique<StoredColumns>(file, path, std::move(own), index + first_block[t], rows[t]),
                         rows[t]);
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
  for (std::string_view setting : settings) redo::Apply(setting, catalog);
  return sequence;
}

}  // namespace orv::engine
