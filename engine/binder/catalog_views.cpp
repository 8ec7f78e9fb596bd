// The catalog views, each a table built from the catalog at the moment a
// query names it, with SQL Server's column names and types for the columns
// people read. Every object lives in schema dbo (schema_id 1).
#include "engine/binder/catalog_views.h"

#include <algorithm>

#include "engine/binder/type_metadata.h"
#include "engine/catalog/names.h"
#include "engine/common/ascii.h"
#include "engine/common/errors.h"
#include "engine/parser/parser.h"

namespace orv::engine {
namespace {

const DataType kSysname{TypeId::NVarChar, 0, 0, 128};
const DataType kInt{TypeId::Int};
const DataType kBit{TypeId::Bit};
const DataType kTinyInt{TypeId::TinyInt};
const DataType kSmallInt{TypeId::SmallInt};
const DataType kDateTime{TypeId::DateTime};
constexpr int kDboSchemaId = 1;

// Rows of a catalog view, filled cell by cell in column order.
class ViewRows {
 public:
  ViewRows(std::string name, StringArena& arena) : name_(std::move(name)), arena_(arena) {}

  ViewRows& Column(std::string name, DataType type, bool nullable = false) {
    ColumnSchema column;
    column.name = std::move(name);
    column.type = type;
    column.nullable = nullable;
    schema_.push_back(std::move(column));
    return *this;
  }
  // CHAR columns hold their whole length, blank padded.
  ViewRows& Text(std::string_view text) {
    const DataType& type = TypeOfNext();
    std::string padded(text);
    if (type.id == TypeId::Char && padded.size() < static_cast<size_t>(type.length)) padded.resize(type.length, ' ');
    return Add(Value::String(type.id, arena_.Copy(padded)));
  }
  ViewRows& Int(int64_t x) { return Add(Value::Integer(TypeOfNext().id, x)); }
  ViewRows& Null() { return Add(Value::Null(TypeOfNext().id)); }
  ViewRows& DateTime(int64_t ticks) { return Add(Value::DateTime(ticks)); }

  std::shared_ptr<Table> Finish() {
    auto table = std::make_shared<Table>(name_, std::move(schema_));
    table->AppendRows(cells_);
    return table;
  }

 private:
  const DataType& TypeOfNext() const { return schema_[cells_.size() % schema_.size()].type; }
  ViewRows& Add(const Value& v) {
    cells_.push_back(v);
    return *this;
  }

  std::string name_;
  StringArena& arena_;
  std::vector<ColumnSchema> schema_;
  std::vector<Value> cells_;
};

RelationInfo TableInfo(const Table& table, const CatalogObject& object) {
  RelationInfo info{object, {}, {}};
  for (const ColumnSchema& column : table.schema()) {
    info.columns.push_back({column.name, column.type, column.nullable, column.identity.has_value(), column.default_text});
  }
  return info;
}

// A view's columns as its query types them; a view whose tables have gone
// keeps no columns, as SQL Server's catalog would show it stale.
RelationInfo ViewInfo(const ViewDefinition& view, const CatalogObject& object, Binder& binder) {
  RelationInfo info{object, {}, view.query_text};
  // A view over the catalog views would list itself again without end: while
  // one listing binds views, the views it meets keep no columns.
  static thread_local bool binding_views = false;
  if (binding_views) return info;
  binding_views = true;
  struct Reset {
    ~Reset() { binding_views = false; }
  } reset;
  try {
    ast::Batch batch = ParseBatch(view.query_text);
    const auto& select = static_cast<const ast::SelectStmt&>(*batch.statements.at(0));
    BoundQuery query = binder.BindQuery(*select.query, nullptr, nullptr, true);
    for (size_t i = 0; i < query.columns.size(); ++i) {
      const OutputColumn& column = query.columns[i];
      std::string name = i < view.columns.size() ? view.columns[i] : column.name;
      info.columns.push_back({std::move(name), column.type, column.nullable, false, {}});
    }
  } catch (const SqlError&) {
  }
  return info;
}

// The default as SQL Server stores it: in parentheses, a number in two.
std::string StoredDefault(const std::string& text) {
  bool number = !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
    return IsDigit(c) || c == '.' || c == '-';
  });
  return number ? "((" + text + "))" : "(" + text + ")";
}

std::shared_ptr<Table> Objects(const std::vector<RelationInfo>& relations, StringArena& arena, std::string_view only,
                               std::string name) {
  ViewRows rows(std::move(name), arena);
  rows.Column("name", kSysname).Column("object_id", kInt).Column("principal_id", kInt, true);
  rows.Column("schema_id", kInt).Column("parent_object_id", kInt).Column("type", {TypeId::Char, 0, 0, 2});
  rows.Column("type_desc", {TypeId::NVarChar, 0, 0, 60}, true).Column("create_date", kDateTime);
  rows.Column("modify_date", kDateTime).Column("is_ms_shipped", kBit).Column("is_published", kBit);
  rows.Column("is_schema_published", kBit);
  for (const RelationInfo& relation : relations) {
    const CatalogObject& o = relation.object;
    if (!only.empty() && o.type != only) continue;
    rows.Text(o.name).Int(o.object_id).Null().Int(kDboSchemaId).Int(0).Text(o.type).Text(o.type_desc);
    rows.DateTime(o.create_date).DateTime(o.modify_date).Int(0).Int(0).Int(0);
  }
  return rows.Finish();
}

std::shared_ptr<Table> Columns(const std::vector<RelationInfo>& relations, StringArena& arena) {
  ViewRows rows("columns", arena);
  rows.Column("object_id", kInt).Column("name", kSysname, true).Column("column_id", kInt);
  rows.Column("system_type_id", kTinyInt).Column("user_type_id", kInt).Column("max_length", kSmallInt);
  rows.Column("precision", kTinyInt).Column("scale", kTinyInt).Column("collation_name", kSysname, true);
  rows.Column("is_nullable", kBit, true).Column("is_ansi_padded", kBit).Column("is_rowguidcol", kBit);
  rows.Column("is_identity", kBit).Column("is_computed", kBit).Column("default_object_id", kInt);
  for (const RelationInfo& relation : relations) {
    for (size_t i = 0; i < relation.columns.size(); ++i) {
      const RelationColumn& c = relation.columns[i];
      const TypeMetadata meta = DescribeType(c.type);
      rows.Int(relation.object.object_id).Text(c.name).Int(static_cast<int64_t>(i + 1)).Int(meta.system_type_id);
      rows.Int(meta.system_type_id).Int(meta.max_length).Int(meta.precision).Int(meta.scale);
      IsString(c.type.id) ? rows.Text(kCollationName) : rows.Null();
      rows.Int(c.nullable).Int(IsString(c.type.id)).Int(0).Int(c.identity).Int(0).Int(0);
    }
  }
  return rows.Finish();
}

std::shared_ptr<Table> Types(StringArena& arena) {
  ViewRows rows("types", arena);
  rows.Column("name", kSysname).Column("system_type_id", kTinyInt).Column("user_type_id", kInt);
  rows.Column("schema_id", kInt).Column("principal_id", kInt, true).Column("max_length", kSmallInt);
  rows.Column("precision", kTinyInt).Column("scale", kTinyInt).Column("collation_name", kSysname, true);
  rows.Column("is_nullable", kBit, true).Column("is_user_defined", kBit).Column("is_assembly_type", kBit);
  rows.Column("default_object_id", kInt).Column("rule_object_id", kInt).Column("is_table_type", kBit);
  const DataType kTypes[] = {
      {TypeId::Date},     {TypeId::Time, 0, 7},   {TypeId::DateTime2, 0, 7}, {TypeId::TinyInt},
      {TypeId::SmallInt}, {TypeId::Int},          {TypeId::DateTime},        {TypeId::Float},
      {TypeId::Money},    {TypeId::Bit},          {TypeId::Decimal, 38, 38}, {TypeId::BigInt},
      {TypeId::VarChar, 0, 0, 8000}, {TypeId::Char, 0, 0, 8000}, {TypeId::NVarChar, 0, 0, 4000},
      {TypeId::NChar, 0, 0, 4000}};
  auto add = [&](std::string_view name, const DataType& type, int user_type_id, bool nullable) {
    TypeMetadata meta = DescribeType(type);
    // sys.types gives a decimal's widest figures: 17 bytes, precision 38, scale 0.
    rows.Text(name).Int(meta.system_type_id).Int(user_type_id).Int(4).Null().Int(meta.max_length);
    rows.Int(meta.precision).Int(type.id == TypeId::Decimal ? 0 : meta.scale);
    IsString(type.id) ? rows.Text(kCollationName) : rows.Null();
    rows.Int(nullable).Int(0).Int(0).Int(0).Int(0).Int(0);
  };
  for (const DataType& type : kTypes) {
    add(CatalogTypeName(type.id), type, DescribeType(type).system_type_id, true);
    if (type.id == TypeId::Decimal) add("numeric", type, 108, true);
  }
  add("sysname", {TypeId::NVarChar, 0, 0, 128}, 256, false);
  return rows.Finish();
}

// The settings ALTER DATABASE SCOPED CONFIGURATION changes here: MAXDOP
// alone. SQL Server types `value` as sql_variant; an int holds every value
// this view shows.
std::shared_ptr<Table> ScopedConfigurations(const Catalog& catalog, StringArena& arena) {
  ViewRows rows("database_scoped_configurations", arena);
  rows.Column("configuration_id", kInt).Column("name", {TypeId::NVarChar, 0, 0, 60});
  rows.Column("value", kInt, true).Column("value_for_secondary", kInt, true).Column("is_value_default", kBit, true);
  rows.Int(1).Text("MAXDOP").Int(catalog.max_dop()).Null().Int(catalog.max_dop() == 0);
  return rows.Finish();
}

std::shared_ptr<Table> Schemas(StringArena& arena) {
  ViewRows rows("schemas", arena);
  rows.Column("name", kSysname).Column("schema_id", kInt).Column("principal_id", kInt, true);
  rows.Text("dbo").Int(1).Int(1).Text("guest").Int(2).Int(2).Text("INFORMATION_SCHEMA").Int(3).Int(3);
  rows.Text("sys").Int(4).Int(4);
  return rows.Finish();
}

const DataType kCatalogName{TypeId::NVarChar, 0, 0, 128};

std::shared_ptr<Table> InformationTables(const std::vector<RelationInfo>& relations, StringArena& arena,
                                         const std::string& database) {
  ViewRows rows("TABLES", arena);
  rows.Column("TABLE_CATALOG", kCatalogName, true).Column("TABLE_SCHEMA", kCatalogName, true);
  rows.Column("TABLE_NAME", kSysname).Column("TABLE_TYPE", {TypeId::VarChar, 0, 0, 10}, true);
  for (const RelationInfo& relation : relations) {
    rows.Text(database).Text("dbo").Text(relation.object.name).Text(relation.object.type == "V" ? "VIEW" : "BASE TABLE");
  }
  return rows.Finish();
}

std::shared_ptr<Table> InformationViews(const std::vector<RelationInfo>& relations, StringArena& arena,
                                        const std::string& database) {
  ViewRows rows("VIEWS", arena);
  rows.Column("TABLE_CATALOG", kCatalogName, true).Column("TABLE_SCHEMA", kCatalogName, true);
  rows.Column("TABLE_NAME", kSysname).Column("VIEW_DEFINITION", {TypeId::NVarChar, 0, 0, 4000}, true);
  rows.Column("CHECK_OPTION", {TypeId::VarChar, 0, 0, 7}, true).Column("IS_UPDATABLE", {TypeId::VarChar, 0, 0, 2}, true);
  for (const RelationInfo& relation : relations) {
    if (relation.object.type != "V") continue;
    rows.Text(database).Text("dbo").Text(relation.object.name).Text(relation.definition.substr(0, 4000));
    rows.Text("NONE").Text("NO");
  }
  return rows.Finish();
}

std::shared_ptr<Table> InformationColumns(const std::vector<RelationInfo>& relations, StringArena& arena,
                                          const std::string& database) {
  ViewRows rows("COLUMNS", arena);
  rows.Column("TABLE_CATALOG", kCatalogName, true).Column("TABLE_SCHEMA", kCatalogName, true);
  rows.Column("TABLE_NAME", kSysname).Column("COLUMN_NAME", kSysname, true).Column("ORDINAL_POSITION", kInt, true);
  rows.Column("COLUMN_DEFAULT", {TypeId::NVarChar, 0, 0, 4000}, true).Column("IS_NULLABLE", {TypeId::VarChar, 0, 0, 3}, true);
  rows.Column("DATA_TYPE", kCatalogName, true).Column("CHARACTER_MAXIMUM_LENGTH", kInt, true);
  rows.Column("CHARACTER_OCTET_LENGTH", kInt, true).Column("NUMERIC_PRECISION", kTinyInt, true);
  rows.Column("NUMERIC_PRECISION_RADIX", kSmallInt, true).Column("NUMERIC_SCALE", kInt, true);
  rows.Column("DATETIME_PRECISION", kSmallInt, true).Column("CHARACTER_SET_NAME", kSysname, true);
  rows.Column("COLLATION_NAME", kSysname, true);
  for (const RelationInfo& relation : relations) {
    for (size_t i = 0; i < relation.columns.size(); ++i) {
      const RelationColumn& c = relation.columns[i];
      const TypeId id = c.type.id;
      const TypeMetadata meta = DescribeType(c.type);
      rows.Text(database).Text("dbo").Text(relation.object.name).Text(c.name).Int(static_cast<int64_t>(i + 1));
      c.default_text.empty() ? rows.Null() : rows.Text(StoredDefault(c.default_text));
      rows.Text(c.nullable ? "YES" : "NO").Text(CatalogTypeName(id));
      if (IsString(id)) {
        rows.Int(c.type.length == DataType::kMaxLength ? -1 : c.type.length).Int(meta.max_length);
      } else {
        rows.Null().Null();
      }
      const bool numeric = IsNumeric(id) && id != TypeId::Bit;
      if (numeric) {
        rows.Int(meta.precision).Int(id == TypeId::Float ? 2 : 10).Int(meta.scale);
      } else {
        rows.Null().Null().Null();
      }
      IsDateOrTime(id) ? rows.Int(meta.scale) : rows.Null();
      if (IsString(id)) {
        rows.Text(IsUnicode(id) ? "UNICODE" : "cp936").Text(kCollationName);
      } else {
        rows.Null().Null();
      }
    }
  }
  return rows.Finish();
}

}  // namespace

std::vector<RelationInfo> ListRelations(Binder& binder, BindContext& context, bool tempdb) {
  std::vector<RelationInfo> relations;
  if (tempdb) {
    for (const auto& table : context.session.Temps()) {
      relations.push_back(TableInfo(*table, {table->name(), table->object_id(), "U", "USER_TABLE",
                                             table->create_date(), table->modify_date()}));
    }
  } else {
    for (const CatalogObject& object : context.catalog.Objects()) {
      if (object.type == "U") {
        relations.push_back(TableInfo(*context.catalog.FindTable(object.name), object));
      } else if (object.type == "V") {
        relations.push_back(ViewInfo(*context.catalog.FindView(object.name), object, binder));
      }
    }
  }
  std::sort(relations.begin(), relations.end(),
            [](const RelationInfo& a, const RelationInfo& b) { return NameKey(a.object.name) < NameKey(b.object.name); });
  return relations;
}

std::shared_ptr<Table> BuildCatalogView(const ast::Name& name, Binder& binder, BindContext& context, int line) {
  if (name.size() < 2) return nullptr;
  const std::string schema = AsciiUpper(name[name.size() - 2]);
  if (schema != "SYS" && schema != "INFORMATION_SCHEMA") return nullptr;
  const std::string database = name.size() >= 3 ? name[name.size() - 3] : "";
  const bool tempdb = NamesEqual(database, "tempdb");
  if (!database.empty() && !tempdb && !NamesEqual(database, context.session.database_name)) {
    Throw(ErrorCode::kNotSupported, {"A catalog view of another database"}, line);
  }
  const std::string view = AsciiUpper(name.back());
  const std::string catalog_name = tempdb ? "tempdb" : context.session.database_name;
  StringArena& arena = context.arena;
  auto relations = [&] { return ListRelations(binder, context, tempdb); };
  if (schema == "SYS") {
    if (view == "OBJECTS") return Objects(relations(), arena, "", "objects");
    if (view == "TABLES") return Objects(relations(), arena, "U", "tables");
    if (view == "VIEWS") return Objects(relations(), arena, "V", "views");
    if (view == "COLUMNS") return Columns(relations(), arena);
    if (view == "TYPES") return Types(arena);
    if (view == "SCHEMAS") return Schemas(arena);
    if (view == "DATABASE_SCOPED_CONFIGURATIONS") return ScopedConfigurations(context.catalog, arena);
  } else {
    if (view == "TABLES") return InformationTables(relations(), arena, catalog_name);
    if (view == "COLUMNS") return InformationColumns(relations(), arena, catalog_name);
    if (view == "VIEWS") return InformationViews(relations(), arena, catalog_name);
  }
  Throw(ErrorCode::kInvalidObjectName, {JoinName(name)}, line);
}

}  // namespace orv::engine
