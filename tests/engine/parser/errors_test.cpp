// Malformed batches get SQL Server's error number, text and line; what the
// engine does not run is refused by name; hostile input ends in a SqlError.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "ast_dump.h"
#include "engine/parser/parser.h"

namespace orv::engine::test {
namespace {

struct Case {
  const char* sql;
  int number;
  const char* message;
  int line;
};

TEST(ParserErrors, SyntaxErrorsNameTheTokenAndItsLine) {
  const Case cases[] = {
      {"SELECT a FORM t", 102, "Incorrect syntax near 't'.", 1},
      {"SELECT * FORM t", 102, "Incorrect syntax near 'FORM'.", 1},
      {"SELECT a,\nFROM t", 156, "Incorrect syntax near the keyword 'FROM'.", 2},
      {"SELECT * FROM", 156, "Incorrect syntax near the keyword 'FROM'.", 1},
      {"SELECT a,", 102, "Incorrect syntax near ','.", 1},
      {"SELECT (1 + 2\n\n", 102, "Incorrect syntax near '2'.", 1},
      {"SELECT 1\nSELECT 2)\nSELECT 3", 102, "Incorrect syntax near ')'.", 2},
      {"INSERT INTO t (a, b VALUES (1, 2)", 156, "Incorrect syntax near the keyword 'VALUES'.", 1},
      {"UPDATE t SET a 1", 102, "Incorrect syntax near '1'.", 1},
      {"CREATE TABLE t (a INT,\n b DECIMAL(10,),\n c INT)", 102, "Incorrect syntax near ')'.", 2},
      {"SELECT a FROM t WHERE a IN ()", 102, "Incorrect syntax near ')'.", 1},
      {"SELECT CASE END", 156, "Incorrect syntax near the keyword 'END'.", 1},
      {"SELECT 'abc' 'def' 'ghi'", 102, "Incorrect syntax near 'ghi'.", 1},
      {"SELECT [from] from", 156, "Incorrect syntax near the keyword 'from'.", 1},
      {"DROP TABLE", 156, "Incorrect syntax near the keyword 'TABLE'.", 1},
      {"SELECT a FROM t\r\nWHERE a = 1 ##ITEMFILTER##", 102, "Incorrect syntax near '##ITEMFILTER##'.", 2},
      {"SELECT a FROM t GROUP BY a WITH", 156, "Incorrect syntax near the keyword 'WITH'.", 1},
      {"SELECT 1 §", 102, "Incorrect syntax near '§'.", 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.sql);
    SqlError e = ParseError(c.sql);
    EXPECT_EQ(e.number(), c.number);
    EXPECT_EQ(e.message(), c.message);
    EXPECT_EQ(e.line(), c.line);
    EXPECT_EQ(e.severity(), 15);
  }
}

TEST(ParserErrors, UnclosedQuotesCommentsAndLongNames) {
  SqlError quote = ParseError("SELECT 1\nSELECT 'abc");
  EXPECT_EQ(quote.number(), 105);
  EXPECT_EQ(quote.message(), "Unclosed quotation mark after the character string 'abc'.");
  EXPECT_EQ(quote.line(), 2);
  EXPECT_EQ(ParseError("SELECT N'it''s").message(), "Unclosed quotation mark after the character string 'it's'.");
  EXPECT_EQ(ParseError("SELECT [abc").number(), 105);
  SqlError comment = ParseError("SELECT 1 /* outer /* inner */ still open");
  EXPECT_EQ(comment.number(), 113);
  EXPECT_EQ(comment.message(), "Missing end comment mark '*/'.");
  // Nested comments close level by level.
  EXPECT_EQ(ParseBatch("/* a /* b */ c */ SELECT 1").statements.size(), 1u);
  const std::string long_name(129, 'x');
  SqlError too_long = ParseError("SELECT " + long_name);
  EXPECT_EQ(too_long.number(), 103);
  EXPECT_EQ(too_long.message(), "The identifier that starts with '" + std::string(128, 'x') +
                                    "' is too long. Maximum length is 128.");
  EXPECT_EQ(ParseBatch("SELECT " + std::string(128, 'x')).statements.size(), 1u);
}

TEST(ParserErrors, UnsupportedConstructsAreRefusedByName) {
  const std::pair<const char*, const char*> cases[] = {
      {"DECLARE c CURSOR FOR SELECT 1", "DECLARE CURSOR is not supported by the embedded engine."},
      {"EXEC ('SELECT 1') AT remote", "EXEC ... AT is not supported by the embedded engine."},
      {"WITH x AS (SELECT 1 AS a) INSERT INTO t SELECT a FROM x",
       "A common table expression before INSERT is not supported by the embedded engine."},
      {"MERGE t USING u ON 1 = 1 WHEN MATCHED THEN DELETE;", "MERGE is not supported by the embedded engine."},
      {"SELECT a FROM t ORDER BY a OPTION (RECOMPILE)", "The query hint RECOMPILE is not supported by the embedded engine."},
      {"SELECT * FROM t PIVOT (SUM(a) FOR b IN ([1])) p", "PIVOT is not supported by the embedded engine."},
      {"GOTO done", "GOTO is not supported by the embedded engine."},
      {"SELECT * FROM t CROSS APPLY f(t.a)", "A table-valued function is not supported by the embedded engine."},
      {"SELECT * FROM dbo.f(1)", "A table-valued function is not supported by the embedded engine."},
      {"SELECT dbo.f(1)", "The user-defined function 'f' is not supported by the embedded engine."},
      {"SELECT a FROM t GROUP BY ALL a", "GROUP BY ALL is not supported by the embedded engine."},
      {"SELECT 0x1F", "A binary constant is not supported by the embedded engine."},
      {"SELECT $1.50", "A money constant is not supported by the embedded engine."},
      {"SELECT 1 WHERE 1 = ANY (SELECT 1)", "A comparison with ALL, ANY or SOME is not supported by the embedded engine."},
  };
  for (const auto& [sql, message] : cases) {
    SCOPED_TRACE(sql);
    SqlError e = ParseError(sql);
    EXPECT_EQ(e.number(), 50001);
    EXPECT_EQ(e.severity(), 16);
    EXPECT_EQ(e.message(), message);
  }
  // The line is the construct's, after valid statements.
  EXPECT_EQ(ParseError("SELECT 1\n\nGOTO done").line(), 3);
}

TEST(ParserErrors, DeepNestingIsRefusedNotOverflowed) {
  const std::string nested = std::string(100000, '(') + "1" + std::string(100000, ')');
  SqlError parens = ParseError("SELECT " + nested);
  EXPECT_EQ(parens.number(), 191);
  EXPECT_EQ(parens.message(),
            "Some part of your SQL statement is nested too deeply. Rewrite the query or break it up into smaller queries.");
  EXPECT_EQ(ParseError("SELECT * FROM t WHERE " + nested + " = 1").number(), 191);
  std::string subqueries = "SELECT 1";
  for (int i = 0; i < 1000; ++i) subqueries = "SELECT (" + subqueries + ")";
  EXPECT_EQ(ParseError(subqueries).number(), 191);
  std::string ifs;
  for (int i = 0; i < 5000; ++i) ifs += "IF 1 = 1 ";
  EXPECT_EQ(ParseError(ifs + "SELECT 1").number(), 191);
  // Long left-deep chains are built without recursion but would make a tree
  // too tall to walk; they are refused the same way.
  std::string chain = "SELECT 1";
  for (int i = 0; i < 20000; ++i) chain += "+1";
  EXPECT_EQ(ParseError(chain).number(), 191);
  std::string negations = "SELECT 1 WHERE ";
  for (int i = 0; i < 100000; ++i) negations += "NOT ";
  EXPECT_EQ(ParseError(negations + "1 = 1").number(), 191);
  std::string unions = "SELECT 1";
  for (int i = 0; i < 20000; ++i) unions += " UNION SELECT 1";
  EXPECT_EQ(ParseError(unions).number(), 191);
  // Depths a report could reach parse.
  EXPECT_EQ(ParseBatch("SELECT " + std::string(200, '(') + "1" + std::string(200, ')')).statements.size(), 1u);
  std::string sum = "SELECT 1";
  for (int i = 0; i < 500; ++i) sum += "+1";
  EXPECT_EQ(ParseBatch(sum).statements.size(), 1u);
}

TEST(ParserErrors, GarbageEndsInSqlErrorOnly) {
  std::mt19937 rng(20261206);
  const std::string alphabet = "SELECT FROM WHERE ()[]'\",.;*+-/%<>=!@#$N\n\r\t\x01\xff\xc3\xa9\xe4\xb8\xad 0123456789abc";
  for (int round = 0; round < 3000; ++round) {
    std::string input;
    const int length = static_cast<int>(rng() % 80);
    for (int i = 0; i < length; ++i) {
      input += (round % 2 == 0) ? static_cast<char>(rng() % 256) : alphabet[rng() % alphabet.size()];
    }
    try {
      ParseBatch(input);
    } catch (const SqlError& e) {
      EXPECT_NE(e.number(), 0);
      EXPECT_GE(e.line(), 1);
    }
  }
  SqlError nul = ParseError(std::string("SELECT 1\0 2", 11));
  EXPECT_EQ(nul.number(), 102);
  EXPECT_EQ(nul.message(), "Incorrect syntax near '?'.");
  SqlError broken = ParseError("SELECT \xff");
  EXPECT_EQ(broken.message(), "Incorrect syntax near '\xEF\xBF\xBD'.");
}

}  // namespace
}  // namespace orv::engine::test
