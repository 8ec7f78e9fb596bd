// sp_help, sp_tables and sp_columns over tables and views, with the result
// sets SQL Server's versions return (their column names and types, and the
// values they give for the types the engine has).
#include <algorithm>
#include <cstdio>

#include "engine/binder/catalog_views.h"
#include "engine/binder/type_metadata.h"
#include "engine/catalog/names.h"
#include "engine/common/collation.h"
#include "engine/common/errors.h"
#include "engine/execution/builtin_procedures.h"

namespace orv::engine {
namespace {

const DataType kSysname{TypeId::NVarChar, 0, 0, 128};
const DataType kInt{TypeId::Int};
const DataType kSmallInt{TypeId::SmallInt};

DataType VarChar(int length) { return {TypeId::VarChar, 0, 0, length}; }
DataType NVarChar(int length) { return {TypeId::NVarChar, 0, 0, length}; }

// One result set, filled cell by cell in column order.
class Rows {
 public:
  Rows& Column(std::string name, DataType type) {
    columns_.push_back(ColumnInfo{std::move(name), type, true});
    return *this;
  }
  Rows& Text(std::string_view text) {
    texts_.emplace_back(text);
    return Add(Value::String(columns_[cells_.size() % columns_.size()].type.id, {}));
  }
  Rows& Int(int64_t x) { return Add(Value::Integer(columns_[cells_.size() % columns_.size()].type.id, x)); }
  Rows& Null() { return Add(Value::Null(columns_[cells_.size() % columns_.size()].type.id)); }
  Rows& Add(const Value& v) {
    cells_.push_back(v);
    text_of_.push_back(IsString(v.type) && !v.is_null ? static_cast<int>(texts_.size()) - 1 : -1);
    return *this;
  }
  void SendTo(BatchResult& result) {
    ResultSet set(columns_);
    for (size_t r = 0; r < cells_.size() / columns_.size(); ++r) {
      std::vector<Value> row(cells_.begin() + static_cast<std::ptrdiff_t>(r * columns_.size()),
                             cells_.begin() + static_cast<std::ptrdiff_t>((r + 1) * columns_.size()));
      for (size_t c = 0; c < row.size(); ++c) {
        const int text = text_of_[r * columns_.size() + c];
        if (text >= 0) row[c].set_s(texts_[static_cast<size_t>(text)]);
      }
      set.AppendRow(row.data());
    }
    result.result_sets.push_back(std::move(set));
  }

 private:
  std::vector<ColumnInfo> columns_;
  std::vector<Value> cells_;
  std::vector<int> text_of_;  // index into texts_ for string cells
  std::vector<std::string> texts_;
};

std::string ArgumentText(const Value* v) { return v ? std::string(v->s()) : std::string(); }

// A name argument without its schema or brackets: 'dbo.t', '[t]' -> t.
std::string BareName(std::string text) {
  const size_t dot = text.rfind('.');
  if (dot != std::string::npos) text = text.substr(dot + 1);
  if (text.size() >= 2 && text.front() == '[' && text.back() == ']') text = text.substr(1, text.size() - 2);
  return text;
}

std::string Padded5(int64_t x) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%-5lld", static_cast<long long>(x));
  return buffer;
}

const RelationInfo* FindRelation(const std::vector<RelationInfo>& relations, const std::string& name) {
  for (const RelationInfo& relation : relations) {
    if (NamesEqual(relation.object.name, name)) return &relation;
  }
  return nullptr;
}

// ---------------------------------------------------------------- sp_help

void HelpAllObjects(const ProcedureCall& call) {
  Rows objects;
  objects.Column("Name", NVarChar(128)).Column("Owner", NVarChar(128)).Column("Object_type", NVarChar(31));
  for (const RelationInfo& relation : ListRelations(call.binder, call.context, false)) {
    objects.Text(relation.object.name).Text("dbo").Text(relation.object.type == "V" ? "view" : "user table");
  }
  objects.SendTo(call.result);
  Rows types;
  types.Column("User_type", kSysname).Column("Storage_type", kSysname).Column("Length", kSmallInt);
  types.Column("Prec", kInt).Column("Scale", kInt).Column("Nullable", VarChar(35)).Column("Default_name", kSysname);
  types.Column("Rule_name", kSysname).Column("Collation", kSysname);
  types.SendTo(call.result);
}

void HelpColumns(const RelationInfo& relation, BatchResult& result) {
  static constexpr std::string_view kWithPrecision[] = {"tinyint", "smallint", "decimal", "int",  "bigint",
                                                        "money",   "float",    "numeric", "date", "time",
                                                        "datetime2"};
  Rows columns;
  columns.Column("Column_name", kSysname).Column("Type", kSysname).Column("Computed", VarChar(35));
  columns.Column("Length", kInt).Column("Prec", {TypeId::Char, 0, 0, 5}).Column("Scale", {TypeId::Char, 0, 0, 5});
  columns.Column("Nullable", VarChar(35)).Column("TrimTrailingBlanks", VarChar(35));
  columns.Column("FixedLenNullInSource", VarChar(35)).Column("Collation", kSysname);
  for (const RelationColumn& c : relation.columns) {
    const TypeMetadata meta = DescribeType(c.type);
    const std::string_view type = CatalogTypeName(c.type.id);
    columns.Text(c.name).Text(type).Text("no").Int(meta.max_length);
    if (std::find(std::begin(kWithPrecision), std::end(kWithPrecision), type) != std::end(kWithPrecision)) {
      columns.Text(Padded5(meta.precision));
      c.type.id == TypeId::Float ? columns.Null() : columns.Text(Padded5(meta.scale));
    } else {
      columns.Text("     ").Text("     ");
    }
    columns.Text(c.nullable ? "yes" : "no");
    if (IsString(c.type.id)) {
      const bool fixed = c.type.id == TypeId::Char || c.type.id == TypeId::NChar;
      columns.Text("no").Text(fixed && c.nullable ? "yes" : "no").Text(kCollationName);
    } else {
      columns.Text("(n/a)").Text("(n/a)").Null();
    }
  }
  columns.SendTo(result);
}

void HelpIdentity(const RelationInfo& relation, const Table* table, BatchResult& result) {
  Rows identity;
  identity.Column("Identity", kSysname).Column("Seed", {TypeId::Decimal, 38, 0}).Column("Increment", {TypeId::Decimal, 38, 0});
  identity.Column("Not For Replication", kInt);
  const int column = table ? table->identity_column() : -1;
  if (column >= 0) {
    const Identity& spec = *table->schema()[static_cast<size_t>(column)].identity;
    identity.Text(relation.columns[static_cast<size_t>(column)].name);
    identity.Add(Value::Decimal(spec.seed, 38, 0)).Add(Value::Decimal(spec.increment, 38, 0)).Int(0);
  } else {
    identity.Text("No identity column defined.").Null().Null().Null();
  }
  identity.SendTo(result);
  Rows rowguid;
  rowguid.Column("RowGuidCol", kSysname).Text("No rowguidcol column defined.").SendTo(result);
}

std::string KeyColumns(const Table& table, const KeyConstraint& key) {
  std::string names;
  for (size_t c : key.columns) names += (names.empty() ? "" : ", ") + table.schema()[c].name;
  return names;
}

void HelpKeys(const Table& table, BatchResult& result) {
  Rows filegroup;
  filegroup.Column("Data_located_on_filegroup", kSysname).Text("PRIMARY").SendTo(result);
  const std::string& name = table.name();
  if (table.keys().empty()) {
    result.AddMessage("The object '" + name + "' does not have any indexes, or you do not have permissions.");
  } else {
    Rows indexes;
    indexes.Column("index_name", kSysname).Column("index_description", VarChar(210)).Column("index_keys", NVarChar(2078));
    for (const KeyConstraint& key : table.keys()) {
      indexes.Text(key.name);
      indexes.Text(key.primary ? "clustered, unique, primary key located on PRIMARY"
                               : "nonclustered, unique, unique key located on PRIMARY");
      indexes.Text(KeyColumns(table, key));
    }
    indexes.SendTo(result);
  }
  Rows constraints;
  constraints.Column("constraint_type", NVarChar(146)).Column("constraint_name", kSysname);
  constraints.Column("delete_action", NVarChar(9)).Column("update_action", NVarChar(9));
  constraints.Column("status_enabled", VarChar(8)).Column("status_for_replication", VarChar(19));
  constraints.Column("constraint_keys", NVarChar(2078));
  bool any = false;
  for (const ColumnSchema& column : table.schema()) {
    if (column.default_text.empty()) continue;
    any = true;
    constraints.Text("DEFAULT on column " + column.name).Text("DF__" + name + "__" + column.name);
    constraints.Text("(n/a)").Text("(n/a)").Text("(n/a)").Text("(n/a)").Text("(" + column.default_text + ")");
  }
  for (const KeyConstraint& key : table.keys()) {
    any = true;
    constraints.Text(key.primary ? "PRIMARY KEY (clustered)" : "UNIQUE (non-clustered)").Text(key.name);
    constraints.Text("(n/a)").Text("(n/a)").Text("(n/a)").Text("(n/a)").Text(KeyColumns(table, key));
  }
  if (any) {
    constraints.SendTo(result);
    result.AddMessage("No foreign keys reference table '" + name + "', or you do not have permissions.");
  } else {
    result.AddMessage("No constraints are defined on object '" + name + "', or you do not have permissions.");
  }
}

void SpHelp(const ProcedureCall& call) {
  const Value* argument = call.Argument(0, "@objname");
  if (!argument) return HelpAllObjects(call);
  const std::string name = BareName(ArgumentText(argument));
  const bool temp = !name.empty() && name[0] == '#';
  const auto relations = ListRelations(call.binder, call.context, temp);
  const RelationInfo* relation = FindRelation(relations, name);
  if (!relation) {
    Throw(ErrorCode::kObjectNotInDatabase, {ArgumentText(argument), call.context.session.database_name}, call.line);
  }
  const std::shared_ptr<Table> table =
      relation->object.type == "U" ? (temp ? call.context.session.FindTemp(name) : call.context.catalog.FindTable(name))
                                   : nullptr;
  Rows header;
  header.Column("Name", kSysname).Column("Owner", kSysname).Column("Type", NVarChar(31));
  header.Column("Created_datetime", {TypeId::DateTime});
  header.Text(relation->object.name).Text("dbo").Text(table ? "user table" : "view");
  header.Add(Value::DateTime(relation->object.create_date)).SendTo(call.result);
  HelpColumns(*relation, call.result);
  HelpIdentity(*relation, table.get(), call.result);
  if (table) HelpKeys(*table, call.result);
}

// ---------------------------------------------------------------- sp_tables

// Matches a name against a LIKE pattern argument (absent: everything).
bool Matches(const Value* pattern, std::string_view name) {
  return !pattern || collation::Like(name, pattern->s());
}

void SpTables(const ProcedureCall& call) {
  const Value* name = call.Argument(0, "@table_name");
  const Value* owner = call.Argument(1, "@table_owner");
  const Value* types = call.Argument(3, "@table_type");
  const std::string database = call.context.session.database_name;
  Rows rows;
  rows.Column("TABLE_QUALIFIER", kSysname).Column("TABLE_OWNER", kSysname).Column("TABLE_NAME", kSysname);
  rows.Column("TABLE_TYPE", VarChar(32)).Column("REMARKS", VarChar(254));
  for (const RelationInfo& relation : ListRelations(call.binder, call.context, false)) {
    const std::string_view type = relation.object.type == "V" ? "VIEW" : "TABLE";
    // @table_type lists the wanted types quoted: "'TABLE','VIEW'".
    if (types && types->s().find("'" + std::string(type) + "'") == std::string_view::npos) continue;
    if (!Matches(name, relation.object.name) || !Matches(owner, "dbo")) continue;
    rows.Text(database).Text("dbo").Text(relation.object.name).Text(type).Null();
  }
  rows.SendTo(call.result);
}

// ---------------------------------------------------------------- sp_columns

// The ODBC figures sp_columns reports: data type code, precision and length.
struct OdbcType {
  int data_type;
  int precision;
  int length;
  bool radix;  // numbers report radix 10
};

OdbcType OdbcOf(const DataType& t) {
  const int chars = t.length == DataType::kMaxLength ? 0 : t.length;
  switch (t.id) {
    case TypeId::Bit: return {-7, 1, 1, false};
    case TypeId::TinyInt: return {-6, 3, 1, true};
    case TypeId::SmallInt: return {5, 5, 2, true};
    case TypeId::Int:
    case TypeId::Null: return {4, 10, 4, true};
    case TypeId::BigInt: return {-5, 19, 8, true};
    case TypeId::Money: return {3, 19, 21, true};
    case TypeId::Decimal: return {3, t.precision, t.precision + 2, true};
    case TypeId::Float: return {6, 15, 8, true};
    case TypeId::DateTime: return {11, 23, 16, false};
    case TypeId::Date: return {-9, 10, 20, false};
    case TypeId::Time: return {-9, t.scale == 0 ? 8 : 9 + t.scale, 2 * (t.scale == 0 ? 8 : 9 + t.scale), false};
    case TypeId::DateTime2: return {-9, t.scale == 0 ? 19 : 20 + t.scale, 2 * (t.scale == 0 ? 19 : 20 + t.scale), false};
    case TypeId::Char: return {1, chars, chars, false};
    case TypeId::VarChar: return {12, chars, chars, false};
    case TypeId::NChar: return {-8, chars, 2 * chars, false};
    case TypeId::NVarChar: return {-9, chars, 2 * chars, false};
  }
  return {0, 0, 0, false};
}

// The old server type code sp_columns still reports (SS_DATA_TYPE); 0 where
// the type has none to report.
int LegacyTypeCode(TypeId id, bool nullable) {
  switch (id) {
    case TypeId::TinyInt: return nullable ? 38 : 48;
    case TypeId::SmallInt: return nullable ? 38 : 52;
    case TypeId::Int: return nullable ? 38 : 56;
    case TypeId::Bit: return 50;
    case TypeId::Decimal: return nullable ? 106 : 55;
    case TypeId::Money: return nullable ? 110 : 60;
    case TypeId::Float: return nullable ? 109 : 62;
    case TypeId::DateTime: return nullable ? 111 : 61;
    case TypeId::Char: return 47;
    case TypeId::VarChar: return 39;
    default: return 0;
  }
}

void SpColumns(const ProcedureCall& call) {
  const Value* table_name = call.Argument(0, "@table_name");
  if (!table_name) Throw(ErrorCode::kNotSupported, {"sp_columns without @table_name"}, call.line);
  const Value* column_name = call.Argument(4, "@column_name");
  const std::string database = call.context.session.database_name;
  Rows rows;
  rows.Column("TABLE_QUALIFIER", kSysname).Column("TABLE_OWNER", kSysname).Column("TABLE_NAME", kSysname);
  rows.Column("COLUMN_NAME", kSysname).Column("DATA_TYPE", kSmallInt).Column("TYPE_NAME", kSysname);
  rows.Column("PRECISION", kInt).Column("LENGTH", kInt).Column("SCALE", kSmallInt).Column("RADIX", kSmallInt);
  rows.Column("NULLABLE", kSmallInt).Column("REMARKS", VarChar(254)).Column("COLUMN_DEF", NVarChar(4000));
  rows.Column("SQL_DATA_TYPE", kSmallInt).Column("SQL_DATETIME_SUB", kSmallInt).Column("CHAR_OCTET_LENGTH", kInt);
  rows.Column("ORDINAL_POSITION", kInt).Column("IS_NULLABLE", VarChar(254)).Column("SS_DATA_TYPE", {TypeId::TinyInt});
  for (const RelationInfo& relation : ListRelations(call.binder, call.context, false)) {
    if (!Matches(table_name, relation.object.name)) continue;
    for (size_t i = 0; i < relation.columns.size(); ++i) {
      const RelationColumn& c = relation.columns[i];
      if (!Matches(column_name, c.name)) continue;
      const OdbcType odbc = OdbcOf(c.type);
      const TypeMetadata meta = DescribeType(c.type);
      const bool datetime = c.type.id == TypeId::DateTime;
      rows.Text(database).Text("dbo").Text(relation.object.name).Text(c.name).Int(odbc.data_type);
      rows.Text(std::string(CatalogTypeName(c.type.id)) + (c.identity ? " identity" : ""));
      rows.Int(odbc.precision).Int(odbc.length);
      IsExactNumeric(c.type.id) || datetime || c.type.id == TypeId::Time || c.type.id == TypeId::DateTime2
          ? rows.Int(meta.scale)
          : rows.Null();
      odbc.radix ? rows.Int(10) : rows.Null();
      rows.Int(c.nullable ? 1 : 0).Null();
      c.default_text.empty() ? rows.Null() : rows.Text("(" + c.default_text + ")");
      rows.Int(datetime ? 9 : odbc.data_type);
      datetime ? rows.Int(3) : rows.Null();
      IsString(c.type.id) ? rows.Int(meta.max_length < 0 ? 0 : meta.max_length) : rows.Null();
      rows.Int(static_cast<int64_t>(i + 1)).Text(c.nullable ? "YES" : "NO");
      const int legacy = LegacyTypeCode(c.type.id, c.nullable);
      legacy ? rows.Int(legacy) : rows.Null();
    }
  }
  rows.SendTo(call.result);
}

constexpr detail::ProcedureEntry kProcedures[] = {
    {"sp_help", SpHelp},
    {"sp_tables", SpTables},
    {"sp_columns", SpColumns},
};

}  // namespace

std::span<const detail::ProcedureEntry> detail::CatalogProcedures() { return kProcedures; }

}  // namespace orv::engine
