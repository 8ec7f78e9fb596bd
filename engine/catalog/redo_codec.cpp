// Redo records written and applied.
#include "engine/catalog/redo_codec.h"

#include "engine/catalog/byte_codec.h"
#include "engine/catalog/column_codec.h"
#include "engine/storage/huge_pages.h"

namespace orv::engine::redo {
namespace {

// Append is rows value by value, as logs written before AppendColumns hold
// them; new appends are written column by column.
enum class Kind : uint8_t {
  Append = 1, Update, Delete, Truncate, AddTable, DropTable, AddView, DropView,
  AddColumn, DropColumn, ReplaceColumn, PutProcedure, DropProcedure, AppendColumns, SetMaxDop
};

// Appended rows are logged in chunks of this many, each column's part coded as
// the database file codes its blocks; replay holds one chunk of values at a time.
constexpr size_t kLogChunkRows = 65536;

ByteWriter Start(Kind kind, std::string_view name) {
  ByteWriter out;
  out.U8(static_cast<uint8_t>(kind));
  out.Str(name);
  return out;
}

int ReadMaxDop(ByteReader& in) {
  const uint64_t threads = in.Var();
  if (threads > 32767) throw FileDamaged{"a MAXDOP setting beyond 32767"};
  return static_cast<int>(threads);
}

void WriteIdentity(ByteWriter& out, const Table& table) {
  out.U8(table.last_identity() ? 1 : 0);
  out.U64(static_cast<uint64_t>(table.last_identity().value_or(0)));
}

void ReadIdentity(ByteReader& in, Table& table) {
  const bool has = in.U8() != 0;
  const auto last = static_cast<int64_t>(in.U64());
  table.set_last_identity(has ? std::optional<int64_t>(last) : std::nullopt);
}

void WriteRows(ByteWriter& out, const Table& table, size_t first) {
  const size_t rows = table.row_count() - first;
  out.Var(rows);
  constexpr size_t kSample = 1024;
  for (size_t r = 0; r < rows; ++r) {
    // Room for all rows at the size of the first ones (and a tenth more), so
    // a million rows are not copied over and over as the record grows.
    if (r == kSample) out.bytes().reserve(out.bytes().size() / kSample * rows * 11 / 10);
    for (size_t c = 0; c < table.column_count(); ++c) out.Val(table.Get(first + r, c));
  }
}

void ReadRows(ByteReader& in, Table& table) {
  const size_t rows = in.Count(2 * table.column_count());
  std::vector<Value> cells;
  cells.reserve(rows * table.column_count());
  for (size_t i = 0; i < rows * table.column_count(); ++i) cells.push_back(in.Val());
  table.AppendRows(cells);
}

void WriteColumnChunks(ByteWriter& out, const Table& table, size_t first) {
  const size_t rows = table.row_count() - first;
  out.Var(rows);
  out.Var(table.column_count());
  const size_t start = out.bytes().size();
  for (size_t at = first; at < table.row_count(); at += kLogChunkRows) {
    const size_t count = std::min(kLogChunkRows, table.row_count() - at);
    for (size_t c = 0; c < table.column_count(); ++c) {
      // Coded in place behind its length, which is filled in after.
      const size_t length_at = out.bytes().size();
      out.U32(0);
      EncodeColumnChunk(table, c, at, count, out);
      const auto length = static_cast<uint32_t>(out.bytes().size() - length_at - 4);
      std::memcpy(out.bytes().data() + length_at, &length, 4);
    }
    if (at == first && count < rows) {
      // Room for all chunks at the size of the first (and a tenth more), so
      // the record is not copied over and over as it grows.
      std::string& bytes = out.bytes();
      bytes.reserve(start + (bytes.size() - start) / count * rows * 11 / 10);
      AdviseHugePages(bytes.data() + bytes.size(), bytes.capacity() - bytes.size());
    }
  }
}

void ReadColumnChunks(ByteReader& in, Table& table) {
  const uint64_t rows = in.Var();
  const size_t width = table.column_count();
  if (in.Var() != width) throw FileDamaged{"the log's rows have a column count the table does not"};
  std::vector<Value> cells;
  for (uint64_t at = 0; at < rows; at += kLogChunkRows) {
    const size_t count = static_cast<size_t>(std::min<uint64_t>(kLogChunkRows, rows - at));
    // The chunk's text is copied into the table's arena as its rows are stored.
    StringArena arena;
    std::vector<Column> columns;
    columns.reserve(width);
    for (size_t c = 0; c < width; ++c) {
      ByteReader part(in.Take(in.U32()));
      columns.emplace_back(table.schema()[c].type, &arena);
      columns.back().Reserve(count);
      DecodeColumnChunk(part, columns.back(), count);
      if (!part.done()) throw FileDamaged{"a column chunk in the log is longer than its rows"};
    }
    cells.resize(count * width);
    for (size_t c = 0; c < width; ++c) {
      for (size_t r = 0; r < count; ++r) cells[r * width + c] = columns[c].Get(r);
    }
    table.AppendRows(cells);
  }
}

Table& Existing(Catalog& catalog, std::string_view name) {
  std::shared_ptr<Table> table = catalog.FindTable(name);
  if (!table) throw FileDamaged{"the log names a table the database does not hold"};
  return *table;
}

void WriteColumn(ByteWriter& out, const Table& table, size_t column) {
  out.ColumnDef(table.schema()[column]);
  out.Var(table.row_count());
  for (size_t r = 0; r < table.row_count(); ++r) out.Val(table.Get(r, column));
}

// A column's schema and one value for each row the table holds.
std::pair<ColumnSchema, std::vector<Value>> ReadColumn(ByteReader& in, const Table& table) {
  ColumnSchema column = in.ColumnDef();
  const size_t rows = in.Count(2);
  if (rows != table.row_count()) throw FileDamaged{"the log's column has a value count the table does not"};
  std::vector<Value> values;
  values.reserve(rows);
  for (size_t r = 0; r < rows; ++r) values.push_back(in.Val());
  return {std::move(column), std::move(values)};
}

size_t ColumnId(ByteReader& in, const Table& table) {
  const uint64_t column = in.Var();
  if (column >= table.column_count()) throw FileDamaged{"the log names a column the table does not have"};
  return static_cast<size_t>(column);
}

size_t RowId(ByteReader& in, const Table& table) {
  const uint64_t row = in.Var();
  if (row >= table.row_count()) throw FileDamaged{"the log names a row the table does not hold"};
  return static_cast<size_t>(row);
}

ProcedureDefinition ReadProcedure(ByteReader& in, std::string_view name, const Catalog& catalog) {
  ProcedureDefinition procedure;
  procedure.name = name;
  procedure.text = in.Str();
  procedure.create_date = static_cast<int64_t>(in.U64());
  procedure.modify_date = static_cast<int64_t>(in.U64());
  const ProcedureDefinition* existing = catalog.routines().Find(name);
  procedure.object_id = existing ? existing->object_id : Catalog::NewObjectId();
  return procedure;
}

}  // namespace

std::string Append(const Table& table, size_t first_row) {
  ByteWriter out = Start(Kind::AppendColumns, table.name());
  WriteIdentity(out, table);
  WriteColumnChunks(out, table, first_row);
  return std::move(out.bytes());
}

std::string Update(const Table& table, const std::vector<int64_t>& rows, const std::vector<size_t>& columns) {
  ByteWriter out = Start(Kind::Update, table.name());
  out.Var(columns.size());
  for (size_t c : columns) out.Var(c);
  out.Var(rows.size());
  for (int64_t row : rows) {
    out.Var(static_cast<uint64_t>(row));
    for (size_t c : columns) out.Val(table.Get(row, c));
  }
  return std::move(out.bytes());
}

std::string Delete(const Table& table, const std::vector<uint8_t>& doomed) {
  ByteWriter out = Start(Kind::Delete, table.name());
  size_t count = 0;
  for (uint8_t d : doomed) count += d ? 1 : 0;
  out.Var(count);
  for (size_t r = 0; r < doomed.size(); ++r) {
    if (doomed[r]) out.Var(r);
  }
  return std::move(out.bytes());
}

std::string Truncate(const Table& table) { return std::move(Start(Kind::Truncate, table.name()).bytes()); }

std::string AddTable(const Table& table) {
  ByteWriter out = Start(Kind::AddTable, table.name());
  out.Schema(table);
  WriteIdentity(out, table);
  WriteRows(out, table, 0);
  return std::move(out.bytes());
}

std::string DropTable(std::string_view name) { return std::move(Start(Kind::DropTable, name).bytes()); }

std::string AddView(const ViewDefinition& view) {
  ByteWriter out = Start(Kind::AddView, view.name);
  out.Var(view.columns.size());
  for (const std::string& column : view.columns) out.Str(column);
  out.Str(view.query_text);
  return std::move(out.bytes());
}

std::string DropView(std::string_view name) { return std::move(Start(Kind::DropView, name).bytes()); }

std::string AddColumn(const Table& table) {
  ByteWriter out = Start(Kind::AddColumn, table.name());
  WriteColumn(out, table, table.column_count() - 1);
  return std::move(out.bytes());
}

std::string DropColumn(const Table& table, size_t position) {
  ByteWriter out = Start(Kind::DropColumn, table.name());
  out.Var(position);
  return std::move(out.bytes());
}

std::string ReplaceColumn(const Table& table, size_t position) {
  ByteWriter out = Start(Kind::ReplaceColumn, table.name());
  out.Var(position);
  WriteColumn(out, table, position);
  return std::move(out.bytes());
}

std::string PutProcedure(const ProcedureDefinition& procedure) {
  ByteWriter out = Start(Kind::PutProcedure, procedure.name);
  out.Str(procedure.text);
  out.U64(static_cast<uint64_t>(procedure.create_date));
  out.U64(static_cast<uint64_t>(procedure.modify_date));
  return std::move(out.bytes());
}

std::string DropProcedure(std::string_view name) { return std::move(Start(Kind::DropProcedure, name).bytes()); }

std::string SetMaxDop(int threads) {
  ByteWriter out = Start(Kind::SetMaxDop, "");
  out.Var(static_cast<uint64_t>(threads));
  return std::move(out.bytes());
}

void Apply(std::string_view record, Catalog& catalog) {
  ByteReader in(record);
  const auto kind = static_cast<Kind>(in.U8());
  const std::string name(in.Str());
  switch (kind) {
    case Kind::Append: {
      Table& table = Existing(catalog, name);
      ReadIdentity(in, table);
      ReadRows(in, table);
      break;
    }
    case Kind::AppendColumns: {
      Table& table = Existing(catalog, name);
      ReadIdentity(in, table);
      ReadColumnChunks(in, table);
      break;
    }
    case Kind::Update: {
      Table& table = Existing(catalog, name);
      std::vector<size_t> columns(in.Count());
      for (size_t& c : columns) {
        c = in.Var();
        if (c >= table.column_count()) throw FileDamaged{"the log names a column the table does not have"};
      }
      const size_t rows = in.Count();
      for (size_t i = 0; i < rows; ++i) {
        const size_t row = RowId(in, table);
        for (size_t c : columns) table.Set(row, c, in.Val());
      }
      break;
    }
    case Kind::Delete: {
      Table& table = Existing(catalog, name);
      std::vector<uint8_t> doomed(table.row_count());
      const size_t count = in.Count();
      for (size_t i = 0; i < count; ++i) doomed[RowId(in, table)] = 1;
      table.DeleteRows(doomed);
      break;
    }
    case Kind::Truncate:
      Existing(catalog, name).Truncate();
      break;
    case Kind::AddTable: {
      std::shared_ptr<Table> table = in.Schema();
      ReadIdentity(in, *table);
      ReadRows(in, *table);
      if (catalog.FindTable(table->name()) || catalog.FindView(table->name())) {
        throw FileDamaged{"the log creates a table that already exists"};
      }
      catalog.AddTable(std::move(table));
      break;
    }
    case Kind::DropTable:
      if (!catalog.DropTable(name)) throw FileDamaged{"the log drops a table the database does not hold"};
      break;
    case Kind::AddView: {
      ViewDefinition view;
      view.name = name;
      view.columns.resize(in.Count());
      for (std::string& column : view.columns) column = in.Str();
      view.query_text = in.Str();
      if (catalog.FindTable(name) || catalog.FindView(name)) throw FileDamaged{"the log creates a view that already exists"};
      catalog.AddView(std::move(view));
      break;
    }
    case Kind::DropView:
      if (!catalog.DropView(name)) throw FileDamaged{"the log drops a view the database does not hold"};
      break;
    case Kind::AddColumn: {
      Table& table = Existing(catalog, name);
      auto [column, values] = ReadColumn(in, table);
      table.AddColumn(std::move(column), values);
      break;
    }
    case Kind::DropColumn: {
      Table& table = Existing(catalog, name);
      const size_t position = ColumnId(in, table);
      if (table.column_count() == 1) throw FileDamaged{"the log drops a table's only column"};
      table.DropColumn(position);
      break;
    }
    case Kind::ReplaceColumn: {
      Table& table = Existing(catalog, name);
      const size_t position = ColumnId(in, table);
      auto [column, values] = ReadColumn(in, table);
      table.ReplaceColumn(position, std::move(column), values);
      break;
    }
    case Kind::PutProcedure:
      catalog.routines().Put(ReadProcedure(in, name, catalog));
      break;
    case Kind::DropProcedure:
      if (!catalog.routines().Drop(name)) throw FileDamaged{"the log drops a procedure the database does not hold"};
      break;
    case Kind::SetMaxDop:
      catalog.set_max_dop(ReadMaxDop(in));
      break;
    default:
      throw FileDamaged{"a log record of an unknown kind"};
  }
  if (!in.done()) throw FileDamaged{"a log record is longer than its data"};
}

}  // namespace orv::engine::redo
