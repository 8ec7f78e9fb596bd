// Statements other than the report batches: DDL clauses in any order, DML
// forms, IF/ELSE, BEGIN...END, SET, and the select list and FROM forms.
#include <gtest/gtest.h>

#include "ast_dump.h"
#include "engine/parser/parser.h"

namespace orv::engine::test {
namespace {

template <class T>
const T& Only(const ast::Batch& batch) {
  EXPECT_EQ(batch.statements.size(), 1u);
  return static_cast<const T&>(*batch.statements.at(0));
}

TEST(ParserStatements, CreateTableColumnClausesInAnyOrder) {
  ast::Batch batch = ParseBatch(
      "CREATE TABLE dbo.t_Item (\n"
      "  FItemID INT IDENTITY(100, -2) NOT NULL PRIMARY KEY CLUSTERED,\n"
      "  FNumber NVARCHAR(80) COLLATE Chinese_PRC_CI_AS NOT NULL CONSTRAINT df_n DEFAULT (''),\n"
      "  FName nvarchar(max) DEFAULT N'x' NULL UNIQUE,\n"
      "  FAmount numeric(28, 10), FScale decimal(5), FRate decimal, FMoney MONEY, FFlag BIT, FTiny tinyint,\n"
      "  FDate DATETIME DEFAULT(GETDATE()), FCount INT IDENTITY,\n"
      ") ON [PRIMARY]");
  const auto& create = Only<ast::CreateTableStmt>(batch);
  EXPECT_EQ(create.table, (ast::Name{"dbo", "t_Item"}));
  EXPECT_EQ(create.line, 1);
  ASSERT_EQ(create.columns.size(), 11u);
  const ast::ColumnDef& id = create.columns[0];
  EXPECT_TRUE(id.identity);
  EXPECT_EQ(id.identity_seed, 100);
  EXPECT_EQ(id.identity_increment, -2);
  EXPECT_EQ(id.nullable, 0);
  ASSERT_EQ(create.keys.size(), 2u);
  EXPECT_TRUE(create.keys[0].name.empty());
  EXPECT_TRUE(create.keys[0].primary);
  EXPECT_EQ(create.keys[0].columns, (std::vector<std::string>{"FItemID"}));
  EXPECT_FALSE(create.keys[1].primary);
  EXPECT_EQ(create.keys[1].columns, (std::vector<std::string>{"FName"}));
  const ast::ColumnDef& number = create.columns[1];
  EXPECT_EQ(number.collation, "Chinese_PRC_CI_AS");
  EXPECT_EQ(number.nullable, 0);
  EXPECT_EQ(Dump(*number.default_value), "''");
  EXPECT_EQ(number.default_text, "('')");  // the text the table keeps, parentheses and all
  const ast::ColumnDef& name = create.columns[2];
  EXPECT_TRUE(name.type.max);
  EXPECT_EQ(name.nullable, 1);
  EXPECT_EQ(Dump(*name.default_value), "N'x'");
  EXPECT_EQ(create.columns[3].type.name, "NUMERIC");
  EXPECT_EQ(create.columns[4].type.arg1, 5);
  EXPECT_EQ(create.columns[4].type.arg2, -1);
  EXPECT_EQ(create.columns[5].type.arg1, -1);
  EXPECT_EQ(Dump(*create.columns[9].default_value), "GETDATE()");
  EXPECT_EQ(create.columns[9].default_text, "(GETDATE())");
  EXPECT_TRUE(create.columns[10].default_text.empty());
  EXPECT_EQ(create.columns[10].identity_seed, 1);
  EXPECT_EQ(create.columns[10].identity_increment, 1);
}

TEST(ParserStatements, TableLevelKeysAndTheirConflicts) {
  ast::Batch batch = ParseBatch(
      "CREATE TABLE #k (a INT NOT NULL, b INT NOT NULL, c INT CONSTRAINT uq_c UNIQUE, "
      "CONSTRAINT pk_k PRIMARY KEY CLUSTERED (a, b DESC), UNIQUE (c, a))");
  const auto& create = Only<ast::CreateTableStmt>(batch);
  ASSERT_EQ(create.keys.size(), 3u);
  EXPECT_EQ(create.keys[0].name, "uq_c");
  EXPECT_FALSE(create.keys[0].primary);
  EXPECT_EQ(create.keys[1].name, "pk_k");
  EXPECT_TRUE(create.keys[1].primary);
  EXPECT_EQ(create.keys[1].columns, (std::vector<std::string>{"a", "b"}));
  EXPECT_TRUE(create.keys[2].name.empty());
  EXPECT_EQ(create.keys[2].columns, (std::vector<std::string>{"c", "a"}));
  SqlError two_keys = ParseError("CREATE TABLE #k (a INT PRIMARY KEY, b INT, PRIMARY KEY (b))");
  EXPECT_EQ(two_keys.number(), 8110);
  EXPECT_EQ(two_keys.message(), "Cannot add multiple PRIMARY KEY constraints to table '#k'.");
  EXPECT_EQ(ParseError("CREATE TABLE #k (a INT PRIMARY KEY PRIMARY KEY)").number(), 8110);
  EXPECT_EQ(ParseError("CREATE TABLE #k (a INT, CHECK (a > 0))").number(), 50001);
  EXPECT_EQ(ParseError("CREATE TABLE #k (a INT, c AS a + 1)").number(), 50001);
  EXPECT_EQ(ParseError("CREATE TABLE #k ()").message(), "Incorrect syntax near ')'.");
}

TEST(ParserStatements, ViewsIndexesAndDrops) {
  const std::string view_sql = "CREATE VIEW v_Sup (id, name) AS\nSELECT FItemID, FName -- names\nFROM t_Supplier;";
  ast::Batch view_batch = ParseBatch(view_sql);
  const auto& view = Only<ast::CreateViewStmt>(view_batch);
  EXPECT_EQ(view.name, ast::Name{"v_Sup"});
  EXPECT_EQ(view.columns, (std::vector<std::string>{"id", "name"}));
  EXPECT_EQ(view.query_text, "SELECT FItemID, FName -- names\nFROM t_Supplier");
  EXPECT_EQ(Dump(*view.query), "[SELECT FItemID, FName FROM t_Supplier]");
  EXPECT_EQ(ParseBatch("\nCREATE\nVIEW v AS SELECT 1").statements[0]->line, 2);
  SqlError not_first = ParseError("SELECT 1\nCREATE VIEW v AS SELECT 1");
  EXPECT_EQ(not_first.number(), 111);
  EXPECT_EQ(not_first.line(), 2);
  EXPECT_EQ(ParseError("CREATE VIEW v AS SELECT 1 SELECT 2").message(), "Incorrect syntax near the keyword 'SELECT'.");

  ast::Batch index_batch = ParseBatch("CREATE UNIQUE NONCLUSTERED INDEX ix_a ON dbo.t (a ASC, b DESC) INCLUDE (c) WITH (FILLFACTOR = 90)");
  const auto& index = Only<ast::CreateIndexStmt>(index_batch);
  EXPECT_TRUE(index.unique);
  EXPECT_EQ(index.name, "ix_a");
  EXPECT_EQ(index.table, (ast::Name{"dbo", "t"}));
  EXPECT_EQ(index.columns, (std::vector<std::string>{"a", "b"}));

  ast::Batch drop_batch = ParseBatch("DROP TABLE IF EXISTS #a, dbo.b");
  const auto& drop = Only<ast::DropTableStmt>(drop_batch);
  EXPECT_TRUE(drop.if_exists);
  EXPECT_EQ(drop.names.size(), 2u);
  ast::Batch drop_view_batch = ParseBatch("DROP VIEW v_Sup");
  const auto& drop_view = Only<ast::DropTableStmt>(drop_view_batch);
  EXPECT_EQ(drop_view.kind, ast::StmtKind::DropView);
  EXPECT_FALSE(drop_view.if_exists);
}

TEST(ParserStatements, InsertForms) {
  ast::Batch values_batch = ParseBatch("INSERT t (a, [b c]) VALUES (1, DEFAULT), (-2, 'x')");
  const auto& values = Only<ast::InsertStmt>(values_batch);
  EXPECT_EQ(values.columns, (std::vector<std::string>{"a", "b c"}));
  ASSERT_EQ(values.values.size(), 2u);
  EXPECT_EQ(values.values[0][1], nullptr);
  EXPECT_EQ(Dump(*values.values[1][0]), "(- 2)");
  ast::Batch defaults_batch = ParseBatch("INSERT INTO t DEFAULT VALUES");
  const auto& defaults = Only<ast::InsertStmt>(defaults_batch);
  EXPECT_TRUE(defaults.default_values);
  ast::Batch select_batch = ParseBatch("INSERT INTO t (SELECT a FROM u UNION SELECT 1)");
  const auto& select = Only<ast::InsertStmt>(select_batch);
  EXPECT_TRUE(select.columns.empty());
  EXPECT_EQ(Dump(*select.query), "[UNION [SELECT a FROM u] [SELECT 1]]");

  SqlError ragged = ParseError("INSERT INTO t VALUES (1, 2), (3)");
  EXPECT_EQ(ragged.number(), 10709);
  std::string many = "INSERT INTO t VALUES (0)";
  for (int i = 1; i <= 1000; ++i) many += ",(" + std::to_string(i) + ")";
  EXPECT_EQ(ParseError(many).number(), 10738);
  many.resize(many.rfind(','));
  EXPECT_EQ(Only<ast::InsertStmt>(ParseBatch(many)).values.size(), 1000u);
}

TEST(ParserStatements, UpdateDeleteTruncate) {
  ast::Batch update_batch = ParseBatch("UPDATE #t WITH (ROWLOCK) SET a = a + 1, t.b = NULL FROM #t t JOIN u ON t.id = u.id WHERE u.x > 0");
  const auto& update = Only<ast::UpdateStmt>(update_batch);
  EXPECT_EQ(update.target, ast::Name{"#t"});
  EXPECT_EQ(update.assignments[1].column, (ast::Name{"t", "b"}));
  EXPECT_EQ(Dump(*update.from), "{INNER #t AS t u ON (= t.id u.id)}");
  EXPECT_EQ(Dump(*update.where), "(> u.x 0)");

  ast::Batch del_batch = ParseBatch("DELETE #t FROM #t t LEFT OUTER JOIN u ON t.id = u.id WHERE u.id IS NULL");
  const auto& del = Only<ast::DeleteStmt>(del_batch);
  EXPECT_EQ(del.target, ast::Name{"#t"});
  EXPECT_EQ(Dump(*del.from), "{LEFT #t AS t u ON (= t.id u.id)}");
  ast::Batch del2_batch = ParseBatch("delete t where a = 1");
  const auto& del2 = Only<ast::DeleteStmt>(del2_batch);
  EXPECT_EQ(del2.from, nullptr);
  EXPECT_EQ(Only<ast::TruncateStmt>(ParseBatch("TRUNCATE TABLE dbo.t")).table, (ast::Name{"dbo", "t"}));
}

TEST(ParserStatements, IfElseAndBlocks) {
  ast::Batch batch = ParseBatch(
      "IF OBJECT_ID('tempdb..#x') IS NOT NULL\n  DROP TABLE #x\nELSE IF 1 = 0 BEGIN SELECT 1; SELECT 2 END\n"
      "ELSE SELECT 3\nSELECT 4");
  ASSERT_EQ(batch.statements.size(), 2u);
  const auto& outer = static_cast<const ast::IfStmt&>(*batch.statements[0]);
  EXPECT_EQ(Dump(*outer.condition), "(IS NOT NULL OBJECT_ID('tempdb..#x'))");
  ASSERT_EQ(outer.else_stmt->kind, ast::StmtKind::If);
  const auto& inner = static_cast<const ast::IfStmt&>(*outer.else_stmt);
  EXPECT_EQ(inner.line, 3);
  ASSERT_EQ(inner.then_stmt->kind, ast::StmtKind::Block);
  EXPECT_EQ(static_cast<const ast::BlockStmt&>(*inner.then_stmt).statements.size(), 2u);
  EXPECT_EQ(inner.else_stmt->line, 4);
  EXPECT_EQ(batch.statements[1]->line, 5);
  EXPECT_EQ(ParseError("BEGIN END").message(), "Incorrect syntax near the keyword 'END'.");
  EXPECT_EQ(ParseError("BEGIN SELECT 1").message(), "Incorrect syntax near '1'.");
  EXPECT_EQ(ParseError("IF 1 = 1").message(), "Incorrect syntax near '1'.");
  EXPECT_EQ(ParseError("SELECT 1 ELSE SELECT 2").message(), "Incorrect syntax near the keyword 'ELSE'.");
}

TEST(ParserStatements, SetStatements) {
  ast::Batch nocount_batch = ParseBatch("set nocount off");
  const auto& nocount = Only<ast::SetOptionStmt>(nocount_batch);
  EXPECT_EQ(nocount.option, "NOCOUNT");
  EXPECT_FALSE(nocount.on);
  EXPECT_TRUE(Only<ast::SetOptionStmt>(ParseBatch("SET XACT_ABORT ON")).on);
  EXPECT_EQ(Only<ast::SetIsolationStmt>(ParseBatch("SET TRANSACTION ISOLATION LEVEL READ UnCOMMITTED")).level,
            "READ UNCOMMITTED");
  EXPECT_EQ(Only<ast::SetIsolationStmt>(ParseBatch("set transaction isolation level repeatable read")).level,
            "REPEATABLE READ");
  EXPECT_EQ(ParseError("SET DATEFORMAT ymd").message(), "SET DATEFORMAT ymd is not supported by the embedded engine.");
  EXPECT_EQ(ParseError("SET NO_SUCH_OPTION ON").number(), 102);
  EXPECT_EQ(ParseError("SET @v = 1").number(), 137);
}

TEST(ParserStatements, SelectListForms) {
  EXPECT_EQ(DumpQuery("SELECT a AS x, b y, z = c + 1, d AS 'w', e 'v', f AS [u u], t.*, s.dbo.t.*, *"),
            "[SELECT a AS x, b AS y, (+ c 1) AS z, d AS w, e AS v, f AS u u, t.*, s.dbo.t.*, *]");
  EXPECT_EQ(DumpQuery("SELECT 'label' = 1"), "[SELECT 1 AS label]");
  EXPECT_EQ(DumpQuery("SELECT DISTINCT TOP (5) PERCENT a FROM t"), "[SELECT DISTINCT TOP 5 PERCENT a FROM t]");
  EXPECT_EQ(DumpQuery("SELECT TOP 10 a FROM t ORDER BY 1 DESC, a"), "[SELECT TOP 10 a FROM t] ORDER BY 1 DESC, a");
  EXPECT_EQ(DumpQuery("SELECT a INTO #x FROM t GROUP BY a HAVING COUNT(*) > 1"),
            "[SELECT a INTO #x FROM t GROUP BY a HAVING (> COUNT(*) 1)]");
}

TEST(ParserStatements, SetOperatorsAssociateAsSqlServer) {
  EXPECT_EQ(DumpQuery("SELECT 1 UNION SELECT 2 UNION ALL SELECT 3 EXCEPT SELECT 4"),
            "[EXCEPT [UNION ALL [UNION [SELECT 1] [SELECT 2]] [SELECT 3]] [SELECT 4]]");
  EXPECT_EQ(DumpQuery("SELECT 1 UNION SELECT 2 INTERSECT SELECT 3"),
            "[UNION [SELECT 1] [INTERSECT [SELECT 2] [SELECT 3]]]");
  EXPECT_EQ(DumpQuery("(SELECT 1 UNION SELECT 2) INTERSECT SELECT 3 ORDER BY 1"),
            "[INTERSECT [UNION [SELECT 1] [SELECT 2]] [SELECT 3]] ORDER BY 1");
  EXPECT_EQ(DumpQuery("SELECT a FROM t UNION ALL SELECT b FROM u ORDER BY a DESC"),
            "[UNION ALL [SELECT a FROM t] [SELECT b FROM u]] ORDER BY a DESC");
}

TEST(ParserStatements, FromClauseShapes) {
  EXPECT_EQ(DumpQuery("SELECT 1 FROM a, b AS x, c WITH (NOLOCK)"), "[SELECT 1 FROM {CROSS {CROSS a b AS x} c}]");
  EXPECT_EQ(DumpQuery("SELECT 1 FROM a (NOLOCK) JOIN b y (nolock) ON a.k = y.k"),
            "[SELECT 1 FROM {INNER a b AS y ON (= a.k y.k)}]");
  // The right side of a join is itself a table source.
  EXPECT_EQ(DumpQuery("SELECT 1 FROM a JOIN b JOIN c ON b.k = c.k ON a.k = b.k"),
            "[SELECT 1 FROM {INNER a {INNER b c ON (= b.k c.k)} ON (= a.k b.k)}]");
  EXPECT_EQ(DumpQuery("SELECT 1 FROM a CROSS JOIN b LEFT JOIN c ON a.k = c.k"),
            "[SELECT 1 FROM {LEFT {CROSS a b} c ON (= a.k c.k)}]");
  EXPECT_EQ(DumpQuery("SELECT 1 FROM a RIGHT OUTER JOIN (b FULL JOIN c ON b.k = c.k) ON a.k = b.k"),
            "[SELECT 1 FROM {RIGHT a {FULL b c ON (= b.k c.k)} ON (= a.k b.k)}]");
  EXPECT_EQ(DumpQuery("SELECT d.x FROM (SELECT 1 AS x) AS d (y)"),
            "[SELECT d.x FROM ([SELECT 1 AS x]) AS d(y)]");
  EXPECT_EQ(DumpQuery("SELECT 1 FROM a INNER HASH JOIN b ON a.k = b.k"), "[SELECT 1 FROM {INNER a b ON (= a.k b.k)}]");
  SqlError no_alias = ParseError("SELECT * FROM (SELECT 1 AS a)");
  EXPECT_EQ(no_alias.number(), 102);
  EXPECT_EQ(no_alias.message(), "Incorrect syntax near ')'.");
}

}  // namespace
}  // namespace orv::engine::test
