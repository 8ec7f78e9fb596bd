// BULK INSERT: loads a UTF-8 delimited text file into a table. Fields map to
// the table's columns in order (an identity column's field is skipped over
// and numbered as INSERT would); an empty field takes the column's default,
// or NULL with KEEPNULLS or when there is none. A row that does not convert
// is reported (4864) and left out; past MAXERRORS such rows (4865), or on a
// duplicate key, nothing is loaded. Good rows go in as one change.
#include <algorithm>
#include <fstream>

#include "engine/common/errors.h"
#include "engine/execution/column_writer.h"
#include "engine/execution/delimited_reader.h"
#include "engine/execution/evaluate.h"
#include "engine/execution/key_check.h"
#include "engine/execution/plain_field.h"
#include "engine/execution/statement_runner.h"
#include "engine/parser/parser.h"
#include "engine/storage/huge_pages.h"

namespace orv::engine {
namespace {

bool ValidUtf8(std::string_view text) {
  size_t i = 0;
  while (i < text.size()) {
    const auto c = static_cast<unsigned char>(text[i]);
    const size_t extra = c < 0x80 ? 0 : (c >> 5) == 0x6 ? 1 : (c >> 4) == 0xE ? 2 : (c >> 3) == 0x1E ? 3 : 4;
    if (extra == 4 || (extra > 0 && i + extra >= text.size())) return false;
    for (size_t k = 1; k <= extra; ++k) {
      if ((static_cast<unsigned char>(text[i + k]) >> 6) != 0x2) return false;
    }
    i += extra + 1;
  }
  return true;
}

DelimitedFormat FormatOf(const ast::BulkInsertStmt& statement) {
  DelimitedFormat format;
  format.csv = statement.csv;
  if (!statement.field_terminator.empty()) format.field_terminator = UnescapeTerminator(statement.field_terminator);
  if (!statement.row_terminator.empty()) format.row_terminator = UnescapeTerminator(statement.row_terminator);
  if (statement.field_quote.size() != 1) {
    Throw(ErrorCode::kNotSupported, {"A FIELDQUOTE other than one character"}, statement.line);
  }
  format.quote = statement.field_quote[0];
  return format;
}

}  // namespace

void StatementRunner::RunBulkInsert(const ast::BulkInsertStmt& statement, Binder& binder, ExecContext& context) {
  std::shared_ptr<Table> table = binder.LookupTable(statement.table, statement.line);
  const std::string& code_page = statement.code_page;
  if (!code_page.empty() && code_page != "65001" && code_page != "RAW" && code_page != "ACP") {
    Throw(ErrorCode::kNotSupported, {"BULK INSERT CODEPAGE = '" + code_page + "' (files are read as UTF-8)"},
          statement.line);
  }
  // Read whole: unquoted fields stay views into it until the rows are stored.
  std::ifstream file(statement.file, std::ios::binary | std::ios::ate);
  std::vector<char> bytes;
  if (const std::streamoff size = file ? static_cast<std::streamoff>(file.tellg()) : -1; size >= 0) {
    ReserveHugePages(bytes, static_cast<size_t>(size));
    bytes.resize(static_cast<size_t>(size));
    file.seekg(0).read(bytes.data(), size);
  }
  if (!file) Throw(ErrorCode::kBulkFileMissing, {statement.file}, statement.line);
  const std::string_view text(bytes.data(), bytes.size());
  const DelimitedFormat format = FormatOf(statement);
  DelimitedReader reader(text, format);

  const size_t width = table->column_count();
  std::vector<BoundExprPtr> defaults(width);
  for (size_t c = 0; c < width; ++c) {
    const std::string& default_text = table->schema()[c].default_text;
    if (!default_text.empty()) defaults[c] = binder.BindScalar(*ParseScalarExpression(default_text, statement.line));
  }
  // Rows go straight into the table, with room for a row per row end made
  // at once; any failure takes them all out again.
  const size_t before = table->row_count();
  const auto row_ends = static_cast<size_t>(std::count(text.begin(), text.end(), format.row_terminator.back()));
  table->Reserve(before + row_ends + 1);
  RisingKey rising(*table);
  std::vector<Value> row(width);
  std::vector<DelimitedField> fields;
  int64_t line = 0;
  bool unterminated = false;
  long long errors = 0;
  size_t rows = 0;
  Value none;
  try {
    for (long long number = 1; reader.Next(fields, line, unterminated); ++number) {
      if (number < statement.first_row) continue;
      if (statement.last_row > 0 && number > statement.last_row) break;
      size_t column = 0;
      try {
        if (unterminated) Throw(ErrorCode::kBulkUnexpectedEnd, {}, statement.line);
        for (; column < width; ++column) {
          const ColumnSchema& schema = table->schema()[column];
          if (column >= fields.size()) Throw(ErrorCode::kBulkUnexpectedEnd, {}, statement.line);
          const DelimitedField& field = fields[column];
          Value value;
          if (schema.identity) {
            value = Value::Integer(schema.type.id == TypeId::Decimal ? TypeId::BigInt : schema.type.id,
                                   table->NextIdentity());
          } else if (field.text.empty() && !field.quoted) {
            if (defaults[column] && !statement.keep_nulls) {
              value = Evaluate(*defaults[column], EvalRow{&none, nullptr}, context);
            }
          } else if (ReadPlainField(field.text, schema.type, row[column])) {
            continue;  // already of the column's type
          } else {
            if (!ValidUtf8(field.text)) Throw(ErrorCode::kBulkUnexpectedEnd, {}, statement.line);
            value = Value::String(TypeId::NVarChar, field.text);
          }
          row[column] = ConvertForColumn(value, schema, *table, "INSERT", session_.database_name, context.arena);
        }
        if (fields.size() > width) Throw(ErrorCode::kBulkColumnTooLong, {}, statement.line);
      } catch (const SqlError&) {
        // The row is left out, reported by its number in the file and the column it failed at.
        result_.AddError(column == width ? MakeError(ErrorCode::kBulkColumnTooLong,
                                                     {std::to_string(number), std::to_string(width)}, statement.line)
                                         : MakeError(ErrorCode::kBulkConversion,
                                                     {std::to_string(number), std::to_string(column + 1),
                                                      table->schema()[column].name},
                                                     statement.line));
        if (++errors > statement.max_errors) {
          Throw(ErrorCode::kBulkMaxErrors, {std::to_string(statement.max_errors)}, statement.line);
        }
        continue;
      }
      // Stored strings are copied into the table's arena: the row's views into the file may go.
      if (rising.Rises(row.data())) {
        table->AppendRow(row.data());
      } else if (const int key = table->AppendRowUniquely(row.data(), before + row_ends + 1); key >= 0) {
        ThrowDuplicateKey(*table, static_cast<size_t>(key), row.data());
      }
      ++rows;
    }
    session_.transaction.journal.Appended(table, before);
  } catch (...) {
    table->TruncateRows(before);
    throw;
  }
  RowsAffected(rows);
}

}  // namespace orv::engine
