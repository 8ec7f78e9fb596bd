// Expressions: operator precedence and associativity, predicates, the special
// function forms, and where conditions and values are told apart.
#include <gtest/gtest.h>

#include "ast_dump.h"
#include "engine/parser/parser.h"

namespace orv::engine::test {
namespace {

TEST(ParserExpr, ArithmeticPrecedenceAndLeftAssociativity) {
  EXPECT_EQ(DumpExpr("1 + 2 * 3"), "(+ 1 (* 2 3))");
  EXPECT_EQ(DumpExpr("4 - 2 + 27"), "(+ (- 4 2) 27)");
  EXPECT_EQ(DumpExpr("2 * (4 + 5)"), "(* 2 (+ 4 5))");
  EXPECT_EQ(DumpExpr("8 / 2 % 3 * 4"), "(* (% (/ 8 2) 3) 4)");
  // & ^ | sit with + and -, left to right.
  EXPECT_EQ(DumpExpr("1 | 2 & 3 + 4"), "(+ (& (| 1 2) 3) 4)");
  // ~ binds tighter than *; a leading sign covers the product; a sign after * its operand only.
  EXPECT_EQ(DumpExpr("~a * b"), "(* (~ a) b)");
  EXPECT_EQ(DumpExpr("-a * b"), "(- (* a b))");
  EXPECT_EQ(DumpExpr("8 / -2 * 2"), "(* (/ 8 (- 2)) 2)");
  EXPECT_EQ(DumpExpr("a - -b"), "(- a (- b))");
  EXPECT_EQ(DumpExpr("'a' + N'b' + NULL"), "(+ (+ 'a' N'b') NULL)");
}

TEST(ParserExpr, LogicalPrecedence) {
  EXPECT_EQ(DumpWhere("a = 1 OR b = 2 AND c = 3"), "(OR (= a 1) (AND (= b 2) (= c 3)))");
  EXPECT_EQ(DumpWhere("NOT a = 1 AND b = 2"), "(AND (NOT (= a 1)) (= b 2))");
  EXPECT_EQ(DumpWhere("(a = 1 OR b = 2) AND c = 3"), "(AND (OR (= a 1) (= b 2)) (= c 3))");
  EXPECT_EQ(DumpWhere("a + 1 > b * 2"), "(> (+ a 1) (* b 2))");
  EXPECT_EQ(DumpWhere("(a + 1) >= 2"), "(>= (+ a 1) 2)");
  EXPECT_EQ(DumpWhere("a != 1 AND a !< 2 AND a !> 3"), "(AND (AND (<> a 1) (>= a 2)) (<= a 3))");
  EXPECT_EQ(DumpWhere("NOT NOT a = 1"), "(NOT (NOT (= a 1)))");
}

TEST(ParserExpr, Predicates) {
  EXPECT_EQ(DumpWhere("a BETWEEN 1 AND 2 AND b = 3"), "(AND (BETWEEN a 1 2) (= b 3))");
  EXPECT_EQ(DumpWhere("a NOT BETWEEN 1 + 1 AND 5"), "(NOT BETWEEN a (+ 1 1) 5)");
  EXPECT_EQ(DumpWhere("a IN (1, 2, 'x')"), "(IN a 1 2 'x')");
  EXPECT_EQ(DumpWhere("a NOT IN (SELECT b FROM u)"), "(NOT IN a [SELECT b FROM u])");
  EXPECT_EQ(DumpWhere("FNumber1 Like '%(小计)%'"), "(LIKE FNumber1 '%(小计)%')");
  EXPECT_EQ(DumpWhere("a NOT LIKE 'x!%' ESCAPE '!'"), "(NOT LIKE a 'x!%' ESCAPE '!')");
  EXPECT_EQ(DumpWhere("cip.FEntryID Is Not Null"), "(IS NOT NULL cip.FEntryID)");
  EXPECT_EQ(DumpWhere("a IS NULL OR NOT EXISTS (SELECT 1)"), "(OR (IS NULL a) (NOT (EXISTS [SELECT 1])))");
  EXPECT_EQ(DumpWhere("(SELECT COUNT(*) FROM u) > 0"), "(> (SUBQUERY [SELECT COUNT(*) FROM u]) 0)");
}

TEST(ParserExpr, FunctionForms) {
  EXPECT_EQ(DumpExpr("IsNull(t.FName,'')"), "ISNULL(t.FName, '')");
  EXPECT_EQ(DumpExpr("count(*)"), "COUNT(*)");
  EXPECT_EQ(DumpExpr("Sum(DISTINCT x)"), "SUM(DISTINCT x)");
  EXPECT_EQ(DumpExpr("COUNT(ALL x)"), "COUNT(x)");
  EXPECT_EQ(DumpExpr("DATEADD(Day, -1, GETDATE())"), "DATEADD{day}((- 1), GETDATE())");
  EXPECT_EQ(DumpExpr("datediff(dd, a, b)"), "DATEDIFF{dd}(a, b)");
  EXPECT_EQ(DumpExpr("LEFT(a, 2) + right(a, 1)"), "(+ LEFT(a, 2) RIGHT(a, 1))");
  EXPECT_EQ(DumpExpr("COALESCE(a, NULLIF(b, 0), 1)"), "COALESCE(a, NULLIF(b, 0), 1)");
  EXPECT_EQ(DumpExpr("CharIndex('.',FNumber,CharIndex('.',FNumber)+1)"),
            "CHARINDEX('.', FNumber, (+ CHARINDEX('.', FNumber) 1))");
  EXPECT_EQ(DumpExpr("OBJECT_ID('tempdb..#x')"), "OBJECT_ID('tempdb..#x')");
  EXPECT_EQ(DumpExpr("CURRENT_TIMESTAMP"), "GETDATE()");
}

TEST(ParserExpr, CaseCastConvertCollate) {
  EXPECT_EQ(DumpExpr("CASE u.FClassTypeID WHEN 1000003 THEN N'a' WHEN 1000004 THEN 'b' ELSE N'' END"),
            "(CASE u.FClassTypeID (WHEN 1000003 N'a') (WHEN 1000004 'b') (ELSE N''))");
  EXPECT_EQ(DumpExpr("Case When x > 0 Then 1 End"), "(CASE (WHEN (> x 0) 1))");
  EXPECT_EQ(DumpExpr("CAST(a AS decimal(23, 10))"), "(CAST a DECIMAL(23,10))");
  EXPECT_EQ(DumpExpr("CAST(a AS nvarchar(max))"), "(CAST a NVARCHAR(MAX))");
  EXPECT_EQ(DumpExpr("CONVERT(varchar(10), d, 120)"), "(CONVERT VARCHAR(10) d 120)");
  EXPECT_EQ(DumpExpr("CONVERT(int, '5')"), "(CONVERT INT '5')");
  // COLLATE belongs to the operand just before it.
  EXPECT_EQ(DumpWhere("t0.FNumber1=t1.FNumber  COLLATE Chinese_PRC_CI_AS  AND t1.FItemClassID=8"),
            "(AND (= t0.FNumber1 (COLLATE t1.FNumber Chinese_PRC_CI_AS)) (= t1.FItemClassID 8))");
}

TEST(ParserExpr, LiteralsAndNames) {
  EXPECT_EQ(DumpExpr("1.5"), "1.5");
  EXPECT_EQ(DumpExpr(".5"), ".5");
  EXPECT_EQ(DumpExpr("5."), "5.");
  EXPECT_EQ(DumpExpr("1.5e-3"), "1.5e-3");
  EXPECT_EQ(DumpExpr("'it''s'"), "'it's'");
  EXPECT_EQ(DumpExpr("[my col]]x]"), "my col]x");
  EXPECT_EQ(DumpExpr("\"quoted\""), "quoted");
  EXPECT_EQ(DumpExpr("db..tbl.c"), "db..tbl.c");
  EXPECT_EQ(DumpExpr("@v + 1"), "(+ @v 1)");
  // A number directly followed by letters is a number and an alias, as in SQL Server.
  ast::Batch batch = ParseBatch("SELECT 0abc");
  const auto& select = static_cast<const ast::SelectStmt&>(*batch.statements[0]);
  EXPECT_EQ(select.query->select->items[0].alias, "abc");
}

TEST(ParserExpr, ComparisonIsNoValue) {
  SqlError e = ParseError("SELECT 1 = 1");
  EXPECT_EQ(e.number(), 102);
  EXPECT_EQ(e.message(), "Incorrect syntax near '='.");
  EXPECT_EQ(ParseError("SELECT (a = 1)").message(), "Incorrect syntax near '='.");
  EXPECT_EQ(ParseError("SELECT CONVERT(bit, a = 1)").number(), 102);
  EXPECT_EQ(ParseError("SELECT * FROM t WHERE (a = 1) + 1 = 2").message(), "Incorrect syntax near '+'.");
  EXPECT_EQ(ParseError("SELECT * FROM t WHERE a = b = c").message(), "Incorrect syntax near '='.");
  EXPECT_EQ(ParseError("SELECT EXISTS (SELECT 1)").message(), "Incorrect syntax near the keyword 'EXISTS'.");
}

TEST(ParserExpr, ValueIsNoCondition) {
  SqlError e = ParseError("SELECT * FROM t WHERE a AND b = 1");
  EXPECT_EQ(e.number(), 4145);
  EXPECT_EQ(e.message(),
            "An expression of non-boolean type specified in a context where a condition is expected, near 'AND'.");
  EXPECT_EQ(ParseError("SELECT CASE WHEN x THEN 1 END").message(),
            "An expression of non-boolean type specified in a context where a condition is expected, near 'THEN'.");
  EXPECT_EQ(ParseError("SELECT * FROM t WHERE a;").number(), 4145);
  EXPECT_EQ(ParseError("IF (1) SELECT 1").number(), 4145);
  EXPECT_EQ(ParseError("SELECT * FROM t WHERE NOT (a)").number(), 4145);
}

TEST(ParserExpr, NodesKeepTheirLines) {
  ast::Batch batch = ParseBatch("SELECT a\n FROM t\n WHERE x = 1\n AND\n y = 2");
  const auto& select = static_cast<const ast::SelectStmt&>(*batch.statements[0]);
  const auto& where = static_cast<const ast::BinaryExpr&>(*select.query->select->where);
  EXPECT_EQ(where.line, 3);
  EXPECT_EQ(where.right->line, 5);
  EXPECT_EQ(select.query->select->from->line, 2);
}

// A stored column default is parsed again alone, its lines counted from the
// statement that uses it; anything after the expression is a syntax error.
TEST(ParserExpr, ScalarExpressionAlone) {
  ast::ExprPtr value = ParseScalarExpression("(GETDATE()\n + 1)", 7);
  EXPECT_EQ(Dump(*value), "(+ GETDATE() 1)");
  EXPECT_EQ(value->line, 7);
  EXPECT_EQ(static_cast<const ast::BinaryExpr&>(*value).right->line, 8);
  try {
    ParseScalarExpression("1 2", 1);
    FAIL() << "trailing text accepted";
  } catch (const SqlError& error) {
    EXPECT_EQ(error.message(), "Incorrect syntax near '2'.");
  }
}

}  // namespace
}  // namespace orv::engine::test
