// Syntax tree of one Transact-SQL batch, as the parser builds it and the binder
// reads it. Names keep the letter case they were written in (the binder
// compares them without regard to case); keywords are gone. Every node keeps
// the 1-based line of the batch it started on, for error messages.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/common/types.h"

namespace orv::engine::ast {

struct QueryExpr;
struct TableRef;
struct WindowSpec;

// A possibly qualified name, outermost part first: {"t"}, {"dbo","t"},
// {"tempdb","","#x"}; a column reference {"t","FNumber"}. Brackets and quotes
// are removed.
using Name = std::vector<std::string>;

// ---------------------------------------------------------------- expressions

enum class ExprKind {
  Literal,
  ColumnRef,
  Star,
  Variable,
  Unary,
  Binary,
  Between,
  InList,
  InSubquery,
  Exists,
  ScalarSubquery,
  IsNull,
  Like,
  Case,
  Cast,
  Function,
  Collate,
};

struct Expr {
  explicit Expr(ExprKind k) : kind(k) {}
  virtual ~Expr() = default;
  ExprKind kind;
  int line = 0;
};
using ExprPtr = std::unique_ptr<Expr>;

struct LiteralExpr : Expr {
  // Integer: digits only; Decimal: digits with a '.'; Float: with an exponent;
  // String/NString: the text between the quotes with '' already undoubled.
  using Type = LiteralKind;
  LiteralExpr() : Expr(ExprKind::Literal) {}
  Type literal_type = Type::Null;
  std::string text;
};

struct ColumnRefExpr : Expr {
  ColumnRefExpr() : Expr(ExprKind::ColumnRef) {}
  Name name;  // last part is the column
};

struct StarExpr : Expr {  // * or t.* in a select list
  StarExpr() : Expr(ExprKind::Star) {}
  Name qualifier;  // empty for a bare *
};

struct VariableExpr : Expr {  // @name; the binder reports 137
  VariableExpr() : Expr(ExprKind::Variable) {}
  std::string name;  // with its @
};

enum class UnaryOp { Negate, Plus, Not, BitNot };

struct UnaryExpr : Expr {
  UnaryExpr() : Expr(ExprKind::Unary) {}
  UnaryOp op = UnaryOp::Negate;
  ExprPtr operand;
};

// Add is also string concatenation; the binder decides by the operand types.
enum class BinaryOp { Add, Subtract, Multiply, Divide, Modulo, Equal, NotEqual, Less, LessEqual, Greater, GreaterEqual, And, Or, BitAnd, BitOr, BitXor };

struct BinaryExpr : Expr {
  BinaryExpr() : Expr(ExprKind::Binary) {}
  BinaryOp op = BinaryOp::Add;
  ExprPtr left;
  ExprPtr right;
};

struct BetweenExpr : Expr {
  BetweenExpr() : Expr(ExprKind::Between) {}
  ExprPtr value;
  ExprPtr low;
  ExprPtr high;
  bool negated = false;
};

struct InListExpr : Expr {
  InListExpr() : Expr(ExprKind::InList) {}
  ExprPtr value;
  std::vector<ExprPtr> list;
  bool negated = false;
};

struct InSubqueryExpr : Expr {
  InSubqueryExpr() : Expr(ExprKind::InSubquery) {}
  ExprPtr value;
  std::unique_ptr<QueryExpr> subquery;
  bool negated = false;
};

struct ExistsExpr : Expr {  // NOT EXISTS is a Not over this
  ExistsExpr() : Expr(ExprKind::Exists) {}
  std::unique_ptr<QueryExpr> subquery;
};

struct ScalarSubqueryExpr : Expr {
  ScalarSubqueryExpr() : Expr(ExprKind::ScalarSubquery) {}
  std::unique_ptr<QueryExpr> subquery;
};

struct IsNullExpr : Expr {
  IsNullExpr() : Expr(ExprKind::IsNull) {}
  ExprPtr value;
  bool negated = false;  // IS NOT NULL
};

struct LikeExpr : Expr {
  LikeExpr() : Expr(ExprKind::Like) {}
  ExprPtr value;
  ExprPtr pattern;
  ExprPtr escape;  // may be null
  bool negated = false;
};

struct CaseExpr : Expr {
  CaseExpr() : Expr(ExprKind::Case) {}
  ExprPtr operand;  // simple CASE x WHEN ...; null for the searched form
  struct When {
    ExprPtr condition;  // or the value compared with operand
    ExprPtr result;
  };
  std::vector<When> whens;
  ExprPtr else_result;  // may be null
};

struct CastExpr : Expr {  // CAST(x AS t) and CONVERT(t, x [, style]), TRY_ too
  CastExpr() : Expr(ExprKind::Cast) {}
  ExprPtr value;
  TypeName target;
  ExprPtr style;  // CONVERT only; may be null
  bool is_convert = false;
  bool is_try = false;  // TRY_CAST / TRY_CONVERT: NULL where the conversion fails
};

// Every function call, scalar or aggregate: ISNULL, SUBSTRING, SUM, COUNT,
// GROUPING, OBJECT_ID, GETDATE ... For DATEADD, DATEDIFF, DATEPART and
// DATENAME the first argument is a date part keyword (day, dd, month ...),
// kept in `datepart` (lower case) and not in `args`.
struct FunctionExpr : Expr {
  FunctionExpr() : Expr(ExprKind::Function) {}
  std::string name;  // upper case
  std::vector<ExprPtr> args;
  std::string datepart;
  bool distinct = false;  // COUNT(DISTINCT x)
  bool star = false;      // COUNT(*)
  std::unique_ptr<WindowSpec> over;  // a window function: ... OVER (...); null otherwise
  std::unique_ptr<WindowSpec> within_group;  // WITHIN GROUP (ORDER BY ...): only its order_by
};

struct CollateExpr : Expr {
  CollateExpr() : Expr(ExprKind::Collate) {}
  ExprPtr value;
  std::string collation;
};

// ---------------------------------------------------------------- queries

enum class TableRefKind { Named, Derived, Join, Values };

struct TableRef {
  explicit TableRef(TableRefKind k) : kind(k) {}
  virtual ~TableRef() = default;
  TableRefKind kind;
  int line = 0;
};
using TableRefPtr = std::unique_ptr<TableRef>;

struct NamedTableRef : TableRef {
  NamedTableRef() : TableRef(TableRefKind::Named) {}
  Name name;
  std::string alias;  // empty when none
};

struct DerivedTableRef : TableRef {
  DerivedTableRef() : TableRef(TableRefKind::Derived) {}
  std::unique_ptr<QueryExpr> query;
  std::string alias;
  std::vector<std::string> column_aliases;  // AS d (a, b)
};

enum class JoinType { Inner, Left, Right, Full, Cross };

struct JoinTableRef : TableRef {  // also a comma in FROM (Cross)
  JoinTableRef() : TableRef(TableRefKind::Join) {}
  JoinType type = JoinType::Inner;
  TableRefPtr left;
  TableRefPtr right;
  ExprPtr on;  // null for Cross
  bool apply = false;  // CROSS APPLY (Cross) or OUTER APPLY (Left): the right side reads the left row
};

// FROM (VALUES (...), (...)) AS t (a, b)
struct ValuesTableRef : TableRef {
  ValuesTableRef() : TableRef(TableRefKind::Values) {}
  std::vector<std::vector<ExprPtr>> rows;
  std::string alias;
  std::vector<std::string> column_aliases;
};

struct SelectItem {
  ExprPtr expr;        // a StarExpr for * and t.*
  std::string alias;   // from "expr AS a", "expr a" or "a = expr"; empty when none
  std::string assign_to;  // SELECT @v = expr: the variable, with its @; empty otherwise
};

struct OrderItem {
  ExprPtr expr;  // an integer literal is a position
  bool descending = false;
};

// OVER (PARTITION BY ... ORDER BY ... ROWS|RANGE ...). Without a frame and
// with ORDER BY the frame is RANGE UNBOUNDED PRECEDING .. CURRENT ROW.
struct WindowFrameBound {
  enum class Kind { UnboundedPreceding, Preceding, CurrentRow, Following, UnboundedFollowing };
  Kind kind = Kind::CurrentRow;
  long long offset = 0;  // for Preceding and Following
};

struct WindowSpec {
  std::vector<ExprPtr> partition_by;
  std::vector<OrderItem> order_by;
  bool has_frame = false;
  bool rows = true;  // ROWS; false for RANGE
  WindowFrameBound start;
  WindowFrameBound end;
};

struct SelectCore {
  bool distinct = false;
  ExprPtr top;          // TOP n / TOP (n); null when absent
  bool top_percent = false;
  bool top_with_ties = false;
  std::vector<SelectItem> items;
  Name into;            // SELECT ... INTO name; empty when absent
  TableRefPtr from;     // null when there is no FROM
  ExprPtr where;
  std::vector<ExprPtr> group_by;
  bool with_rollup = false;
  // GROUP BY ROLLUP(...), CUBE(...), GROUPING SETS(...): each set lists
  // positions in group_by (which may name one expression twice); empty for a
  // plain GROUP BY.
  std::vector<std::vector<size_t>> grouping_sets;
  ExprPtr having;
};

enum class SetOp { Union, UnionAll, Except, Intersect };

struct CommonTableExpr {  // name [(columns)] AS (query)
  int line = 0;
  std::string name;
  std::vector<std::string> columns;
  std::unique_ptr<QueryExpr> query;
};

// A SELECT, or two queries combined by a set operator; ORDER BY belongs to the
// whole expression.
struct QueryExpr {
  int line = 0;
  std::unique_ptr<SelectCore> select;  // set when this is a plain SELECT
  SetOp op = SetOp::Union;             // otherwise left op right
  std::unique_ptr<QueryExpr> left;
  std::unique_ptr<QueryExpr> right;
  std::vector<OrderItem> order_by;
  ExprPtr offset;  // ORDER BY ... OFFSET n ROWS; null when absent
  ExprPtr fetch;   // ... FETCH NEXT m ROWS ONLY; null when absent
  std::vector<CommonTableExpr> ctes;  // WITH ...; on a statement's query only
  long long max_recursion = -1;       // OPTION (MAXRECURSION n); -1 when not written
  int max_dop = -1;                   // OPTION (MAXDOP n); -1 when not written
};

// ---------------------------------------------------------------- statements

enum class StmtKind {
  Select,
  Insert,
  Update,
  Delete,
  Truncate,
  CreateTable,
  DropTable,
  CreateView,
  DropView,
  CreateIndex,
  If,
  Block,
  SetOption,
  SetIsolation,
  AlterTable,
  AlterScopedConfiguration,
  // Procedural statements (ast_procedural.h).
  Declare, SetVariable, Print, While, Break, Continue, Return, TryCatch, Raiserror, Throw,
  CreateProcedure, DropProcedure, Exec,
  Transaction,
  BulkInsert,
};

struct Stmt {
  explicit Stmt(StmtKind k) : kind(k) {}
  virtual ~Stmt() = default;
  StmtKind kind;
  int line = 0;
};
using StmtPtr = std::unique_ptr<Stmt>;

struct SelectStmt : Stmt {
  SelectStmt() : Stmt(StmtKind::Select) {}
  std::unique_ptr<QueryExpr> query;
};

struct InsertStmt : Stmt {
  InsertStmt() : Stmt(StmtKind::Insert) {}
  Name table;
  std::vector<std::string> columns;           // empty: all columns in order
  std::vector<std::vector<ExprPtr>> values;   // VALUES rows; a DEFAULT entry is a null ExprPtr
  std::unique_ptr<QueryExpr> query;           // INSERT ... SELECT
  bool default_values = false;                // INSERT ... DEFAULT VALUES
};

struct UpdateStmt : Stmt {
  UpdateStmt() : Stmt(StmtKind::Update) {}
  Name target;  // a table name, or an alias of the FROM clause
  struct Assignment {
    Name column;  // may be qualified: t0.FName1
    ExprPtr value;
  };
  std::vector<Assignment> assignments;
  TableRefPtr from;  // null when there is no FROM
  ExprPtr where;
};

struct DeleteStmt : Stmt {
  DeleteStmt() : Stmt(StmtKind::Delete) {}
  Name target;
  TableRefPtr from;  // the second FROM of DELETE t FROM t JOIN ...; null when absent
  ExprPtr where;
};

struct TruncateStmt : Stmt {
  TruncateStmt() : Stmt(StmtKind::Truncate) {}
  Name table;
};

struct ColumnDef {
  std::string name;
  TypeName type;
  int nullable = -1;  // -1 not written, 0 NOT NULL, 1 NULL
  ExprPtr default_value;  // DEFAULT(...) / DEFAULT ...; null when absent
  std::string default_text;  // the same expression as written, kept by the table
  bool identity = false;
  long long identity_seed = 1;
  long long identity_increment = 1;
  std::string collation;  // empty when not written
};

// PRIMARY KEY or UNIQUE, written on a column or on the table.
struct KeyDef {
  std::string name;  // CONSTRAINT name; empty when not written
  bool primary = false;
  std::vector<std::string> columns;
};

struct CreateTableStmt : Stmt {
  CreateTableStmt() : Stmt(StmtKind::CreateTable) {}
  Name table;
  std::vector<ColumnDef> columns;
  std::vector<KeyDef> keys;  // in the order written; ON [PRIMARY] is dropped
};

// ALTER TABLE t ADD c1 ..., c2 ... | DROP COLUMN a, b | ALTER COLUMN c type [NULL | NOT NULL].
struct AlterTableStmt : Stmt {
  enum class Action { AddColumns, DropColumns, AlterColumn };
  AlterTableStmt() : Stmt(StmtKind::AlterTable) {}
  Name table;
  Action action = Action::AddColumns;
  std::vector<ColumnDef> columns;   // ADD: the new columns; ALTER COLUMN: the one changed
  std::vector<std::string> dropped;  // DROP COLUMN
  bool with_values = false;          // ADD ... WITH VALUES: defaults fill existing rows of nullable columns too
  bool if_exists = false;            // DROP COLUMN IF EXISTS
};

// ALTER DATABASE SCOPED CONFIGURATION SET MAXDOP = n | CLEAR PROCEDURE_CACHE.
struct ScopedConfigurationStmt : Stmt {
  ScopedConfigurationStmt() : Stmt(StmtKind::AlterScopedConfiguration) {}
  std::optional<int> max_dop;  // empty: CLEAR PROCEDURE_CACHE
};

struct DropTableStmt : Stmt {  // DROP TABLE a, b / DROP VIEW v / DROP PROCEDURE p
  explicit DropTableStmt(StmtKind k = StmtKind::DropTable) : Stmt(k) {}
  std::vector<Name> names;
  bool if_exists = false;
};

struct CreateViewStmt : Stmt {
  CreateViewStmt() : Stmt(StmtKind::CreateView) {}
  Name name;
  std::vector<std::string> columns;
  std::unique_ptr<QueryExpr> query;
  std::string query_text;  // the SELECT as written, so the view can be bound again at each use
};

struct CreateIndexStmt : Stmt {  // accepted and ignored by the executor
  CreateIndexStmt() : Stmt(StmtKind::CreateIndex) {}
  std::string name;
  Name table;
  std::vector<std::string> columns;
  bool unique = false;
};

struct IfStmt : Stmt {
  IfStmt() : Stmt(StmtKind::If) {}
  ExprPtr condition;
  StmtPtr then_stmt;
  StmtPtr else_stmt;  // may be null
};

struct BlockStmt : Stmt {  // BEGIN ... END
  BlockStmt() : Stmt(StmtKind::Block) {}
  std::vector<StmtPtr> statements;
};

struct SetOptionStmt : Stmt {  // SET NOCOUNT ON, SET ANSI_NULLS OFF, ...
  SetOptionStmt() : Stmt(StmtKind::SetOption) {}
  std::string option;  // upper case
  bool on = true;
  long long number = 0;  // for an option set to a number: SET LOCK_TIMEOUT 500
};

struct SetIsolationStmt : Stmt {  // SET TRANSACTION ISOLATION LEVEL ...
  SetIsolationStmt() : Stmt(StmtKind::SetIsolation) {}
  std::string level;  // upper case, single blanks: "READ UNCOMMITTED"
};

// BEGIN TRAN[SACTION] [name], COMMIT [TRAN [name] | WORK], ROLLBACK [TRAN
// [name] | WORK], SAVE TRAN[SACTION] name.
struct TransactionStmt : Stmt {
  enum class Op { Begin, Commit, Rollback, Save };
  TransactionStmt() : Stmt(StmtKind::Transaction) {}
  Op op = Op::Begin;
  std::string name;  // empty when not written
};

// BULK INSERT table FROM 'file' [WITH (option = value, ...)].
struct BulkInsertStmt : Stmt {
  BulkInsertStmt() : Stmt(StmtKind::BulkInsert) {}
  Name table;
  std::string file;
  bool csv = false;                 // FORMAT = 'CSV': quoted fields
  long long first_row = 1;
  long long last_row = 0;           // 0: to the end
  long long max_errors = 10;
  std::string field_terminator;     // empty: the default of the format
  std::string row_terminator;
  std::string field_quote = "\"";
  std::string code_page;            // as written; 65001, ACP, RAW, OEM accepted (the file is UTF-8)
  bool keep_nulls = false;
};

struct Batch {
  std::vector<StmtPtr> statements;
};

}  // namespace orv::engine::ast

#include "engine/parser/ast_procedural.h"

