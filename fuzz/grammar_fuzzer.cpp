// libFuzzer entry point that reads its input as the choices of a T-SQL
// grammar: every input becomes structurally valid SQL (views over views,
// joins, subqueries, IN lists, CASE, LIKE, string functions, nested
// expressions), so the fuzzer spends its time in the binder, planner and
// executor rather than in syntax errors. A crash or an escaping exception is
// a finding; the session's time-out ends a generated cross join of cross joins.
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
    std::string sql = "SELECT ";
    if (choices_.Chance()) sql += "TOP " + std::to_string(choices_.Pick(5)) + " ";
    if (choices_.Chance()) sql += "DISTINCT ";
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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto session = orv::fuzz::NewFuzzSession();
  session->Execute("CREATE VIEW v0 AS SELECT id AS c1, name AS c2 FROM t");
  Choices choices(data, size);
  Generator generator(choices);
  for (size_t views = choices.Pick(4); views > 0; --views) session->Execute(generator.CreateView());
  session->Execute(generator.Query(3));
  return 0;
}
