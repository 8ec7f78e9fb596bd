// libFuzzer entry point that reads its input as the choices of a T-SQL
// grammar: every input becomes structurally valid SQL (views over views,
// joins, subqueries, IN lists, CASE, LIKE, string functions, nested
// expressions, CTEs and window functions), then procedures and a procedural
// batch (variables, IF, WHILE with a bounded count, TRY/CATCH, transactions,
// changes to the tables, EXEC of procedures and of strings), so the fuzzer
// spends its time in the binder, planner and executor rather than in syntax
// errors. A crash or an escaping exception is a finding; the session's
// time-out ends a generated cross join of cross joins.
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string>

#include "fuzz/fuzz_session.h"

namespace {

// The input as a stream of choices; past its end every choice is the first.
class Choices {
 public:
  Choices(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  size_t Pick(size_t count) { return pos_ < size_ ? data_[pos_++] % count : 0; }
  bool Chance() { return Pick(2) == 1; }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
};

class Generator {
 public:
  explicit Generator(Choices& choices) : choices_(choices) {}

  std::string Query(int depth) {
    std::string top;
    if (choices_.Chance()) top = "TOP " + std::to_string(choices_.Pick(5)) + " ";
    std::string sql = "SELECT " + std::string(choices_.Chance() ? "DISTINCT " : "") + top;
    sql += Expr(depth) + " AS c1, " + Expr(depth) + " AS c2 FROM " + Source(depth);
    if (choices_.Chance()) sql += " WHERE " + Condition(depth);
    if (choices_.Chance()) sql += " ORDER BY 1";
    return sql;
  }

  std::string Source(int depth) {
    switch (choices_.Pick(depth > 0 ? 5 : 3)) {
      case 0: return "t AS s" + Id();
      case 1: return "u AS s" + Id();
      case 2: return "v" + std::to_string(choices_.Pick(views_ + 1)) + " AS s" + Id();
      case 3: return Source(depth - 1) + " CROSS JOIN " + Source(depth - 1);
      default: return "(" + Query(depth - 1) + ") AS s" + Id();
    }
  }

  std::string Condition(int depth) {
    switch (choices_.Pick(depth > 0 ? 8 : 4)) {
      case 0: return Expr(depth) + " = " + Expr(depth);
      case 1: return Expr(depth) + " IS NULL";
      case 2: return Expr(depth) + " LIKE '" + Pattern() + "'";
      case 3: return Expr(depth) + " IN (" + Expr(0) + ", " + Expr(0) + ", NULL)";
      case 4: return "EXISTS (" + Query(depth - 1) + ")";
      case 5: return Expr(depth) + " IN (SELECT c1 FROM (" + Query(depth - 1) + ") AS q" + Id() + ")";
      case 6: return "NOT (" + Condition(depth - 1) + ")";
      default: return "(" + Condition(depth - 1) + (choices_.Chance() ? " AND " : " OR ") + Condition(depth - 1) + ")";
    }
  }

  std::string Expr(int depth) {
    static const char* const kLeaves[] = {"1", "NULL", "'a%b'", "N'张'", "2.5", "id", "name", "amount", "code", "d"};
    if (depth <= 0) return kLeaves[choices_.Pick(std::size(kLeaves))];
    switch (choices_.Pick(9)) {
      case 0: return "(" + Expr(depth - 1) + " + " + Expr(depth - 1) + ")";
      case 1: return "CASE WHEN " + Condition(depth - 1) + " THEN " + Expr(depth - 1) + " ELSE " + Expr(depth - 1) + " END";
      case 2: return "(SELECT TOP 1 c1 FROM (" + Query(depth - 1) + ") AS q" + Id() + ")";
      case 3: return "CHARINDEX(" + Expr(depth - 1) + ", " + Expr(depth - 1) + ")";
      case 4: return "REPLACE(" + Expr(depth - 1) + ", " + Expr(depth - 1) + ", " + Expr(depth - 1) + ")";
      case 5: return "REPLICATE(" + Expr(depth - 1) + ", " + std::to_string(choices_.Pick(64)) + ")";
      case 6: return "CAST(" + Expr(depth - 1) + " AS NVARCHAR(MAX))";
      case 7: return "ISNULL(" + Expr(depth - 1) + ", " + Expr(depth - 1) + ")";
      default: return kLeaves[choices_.Pick(std::size(kLeaves))];
    }
  }

  // A query with a common table expression (recursive ones count to at most
  // 20) or window functions over one of the tables.
  std::string RichQuery(int depth) {
    switch (choices_.Pick(3)) {
      case 0: {
        const std::string name = "c" + Id();
        return "WITH " + name + " (c1, c2) AS (" + Query(depth) + ") SELECT x.c1, x.c2 FROM " + name + " AS x" +
               (choices_.Chance() ? " CROSS JOIN " + name + " AS y" : "");
      }
      case 1:
        return "WITH r (n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM r WHERE n < " +
               std::to_string(choices_.Pick(20)) + ") SELECT n, " + Expr(depth) + " AS c FROM r CROSS JOIN t";
      default: {
        static const char* const kWindows[] = {"ROW_NUMBER()", "RANK()", "DENSE_RANK()", "SUM(amount)", "COUNT(*)",
                                               "MIN(name)", "LAG(id)", "LEAD(name, 2)"};
        std::string sql = "SELECT id, " + std::string(kWindows[choices_.Pick(std::size(kWindows))]) + " OVER (";
        if (choices_.Chance()) sql += "PARTITION BY " + Expr(0) + " ";
        sql += "ORDER BY " + Expr(0) + ") AS w FROM t";
        if (choices_.Chance()) sql += " WHERE " + Condition(depth);
        return sql;
      }
    }
  }

  // Each view reads the ones made before it, so chains and fans of views appear.
  std::string CreateView() {
    std::string sql = "CREATE VIEW v" + std::to_string(++views_) + " AS " + Query(2);
    return sql;
  }

 private:
  std::string Pattern() {
    static const char* const kPieces[] = {"%", "_", "a", "b", "[a-c]", "[^a]", "%a%"};
    std::string pattern;
    for (size_t i = choices_.Pick(6); i > 0; --i) pattern += kPieces[choices_.Pick(std::size(kPieces))];
    return pattern;
  }
  std::string Id() { return std::to_string(next_id_++); }

  Choices& choices_;
  int views_ = 0;
  int next_id_ = 0;
};

// Procedural T-SQL over the same tables. Every batch and procedure body
// starts by declaring @v and @s, so the statements may use them anywhere;
// loops count a variable of their own to at most 8, and a procedure calls
// only procedures made before it, so every input ends.
class ProceduralGenerator {
 public:
  ProceduralGenerator(Choices& choices, Generator& queries) : choices_(choices), queries_(queries) {}

  std::string CreateProcedure() {
    const std::string name = "p" + std::to_string(procedures_);
    const std::string body = Declarations("@a") + Statements(2);
    ++procedures_;
    return "CREATE PROCEDURE " + name + " @a INT = 0 AS BEGIN\n" + body + "END";
  }

  std::string Batch() { return Declarations("0") + Statements(3); }

 private:
  static std::string Declarations(const std::string& initial) {
    return "DECLARE @v INT = " + initial + ", @s NVARCHAR(100) = N'a'\n";
  }

  std::string Statements(int depth) {
    std::string sql;
    for (size_t count = 1 + choices_.Pick(4); count > 0; --count) sql += Statement(depth) + "\n";
    return sql;
  }

  std::string Statement(int depth) {
    switch (choices_.Pick(depth > 0 ? 14 : 8)) {
      case 0: return "SET @v = " + IntExpr();
      case 1: return "SET @s = LEFT(CAST(" + queries_.Expr(1) + " AS NVARCHAR(MAX)), 100)";
      case 2: return queries_.Query(1);
      case 3: return queries_.RichQuery(1);
      case 4: return Change();
      case 5: return Transaction();
      case 6: return procedures_ > 0 ? "EXEC p" + std::to_string(choices_.Pick(procedures_)) + " " + Argument()
                                     : "PRINT @s";
      case 7: return "SELECT @v = COUNT(*), @s = MAX(name) FROM t WHERE " + queries_.Condition(1);
      case 8: return "IF " + queries_.Condition(1) + "\n" + Block(depth - 1) +
                     (choices_.Chance() ? "\nELSE " + Block(depth - 1) : "");
      case 9: return Loop(depth);
      case 10: return "BEGIN TRY\n" + Statements(depth - 1) + "END TRY\nBEGIN CATCH\n" +
                      "SELECT ERROR_NUMBER() AS n, ERROR_MESSAGE() AS m, XACT_STATE() AS x\n" +
                      (choices_.Chance() ? "IF @@TRANCOUNT > 0 ROLLBACK\n" : "") + "END CATCH";
      case 11: return "EXEC (N'" + Doubled(Declarations("@@NESTLEVEL") + OutsideLoops(depth - 1)) + "')";
      case 12: return "EXEC sp_executesql N'SELECT @p + 1 AS r', N'@p INT', @p = " + Argument();
      default:
        if (loop_depth_ == 0) return "PRINT @v";
        return choices_.Chance() ? "BREAK" : "CONTINUE";
    }
  }

  // A statement of a scope of its own (a dynamic batch), where no loop of the caller reaches.
  std::string OutsideLoops(int depth) {
    const int saved = loop_depth_;
    loop_depth_ = 0;
    std::string sql = Statement(depth);
    loop_depth_ = saved;
    return sql;
  }

  std::string Block(int depth) { return "BEGIN\n" + Statements(depth) + "END"; }

  std::string Loop(int depth) {
    const std::string counter = "@i" + std::to_string(loops_++);
    const std::string head = "DECLARE " + counter + " INT = 0\nWHILE " + counter + " < " +
                             std::to_string(choices_.Pick(9)) + "\nBEGIN\nSET " + counter + " = " + counter + " + 1\n";
    ++loop_depth_;
    const std::string body = Statements(depth - 1);
    --loop_depth_;
    return head + body + "END";
  }

  std::string Change() {
    switch (choices_.Pick(4)) {
      case 0: return "INSERT INTO t VALUES (@v, @s, " + queries_.Expr(0) + ", NULL)";
      case 1: return "INSERT INTO u SELECT TOP 3 id, code FROM u WHERE " + queries_.Condition(1);
      case 2: return "UPDATE t SET amount = amount + @v, name = @s WHERE " + queries_.Condition(1);
      default: return "DELETE FROM u WHERE " + queries_.Condition(1);
    }
  }

  std::string Transaction() {
    static const char* const kStatements[] = {"BEGIN TRANSACTION", "COMMIT", "ROLLBACK", "SAVE TRANSACTION s1",
                                              "ROLLBACK TRANSACTION s1", "SET XACT_ABORT ON", "SET XACT_ABORT OFF"};
    return kStatements[choices_.Pick(std::size(kStatements))];
  }

  std::string IntExpr() {
    switch (choices_.Pick(4)) {
      case 0: return "@v + 1";
      case 1: return std::to_string(choices_.Pick(40));
      case 2: return "(SELECT COUNT(*) FROM t)";
      default: return "LEN(@s)";
    }
  }

  // What EXEC passes: a variable or a constant, never an expression.
  std::string Argument() { return choices_.Chance() ? "@v" : std::to_string(choices_.Pick(40)); }

  static std::string Doubled(const std::string& text) {
    std::string doubled;
    for (const char c : text) {
      doubled += c;
      if (c == '\'') doubled += c;
    }
    return doubled;
  }

  Choices& choices_;
  Generator& queries_;
  size_t procedures_ = 0;
  int loops_ = 0;
  int loop_depth_ = 0;  // BREAK and CONTINUE only inside a loop, where they compile
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto session = orv::fuzz::NewFuzzSession();
  session->Execute("CREATE VIEW v0 AS SELECT id AS c1, name AS c2 FROM t");
  Choices choices(data, size);
  Generator generator(choices);
  for (size_t views = choices.Pick(4); views > 0; --views) session->Execute(generator.CreateView());
  session->Execute(generator.Query(3));
  ProceduralGenerator procedural(choices, generator);
  for (size_t procedures = choices.Pick(3); procedures > 0; --procedures) {
    session->Execute(procedural.CreateProcedure());
  }
  session->Execute(procedural.Batch());
  return 0;
}
