// S-expression printing of expressions, queries and table references.
#include "ast_dump.h"

#include <stdexcept>

#include "engine/parser/parser.h"

namespace orv::engine::test {
namespace {

std::string Join(const ast::Name& name) {
  std::string s;
  for (size_t i = 0; i < name.size(); ++i) s += (i ? "." : "") + name[i];
  return s;
}

std::string BinaryText(ast::BinaryOp op) {
  switch (op) {
    case ast::BinaryOp::Add: return "+";
    case ast::BinaryOp::Subtract: return "-";
    case ast::BinaryOp::Multiply: return "*";
    case ast::BinaryOp::Divide: return "/";
    case ast::BinaryOp::Modulo: return "%";
    case ast::BinaryOp::Equal: return "=";
    case ast::BinaryOp::NotEqual: return "<>";
    case ast::BinaryOp::Less: return "<";
    case ast::BinaryOp::LessEqual: return "<=";
    case ast::BinaryOp::Greater: return ">";
    case ast::BinaryOp::GreaterEqual: return ">=";
    case ast::BinaryOp::And: return "AND";
    case ast::BinaryOp::Or: return "OR";
    case ast::BinaryOp::BitAnd: return "&";
    case ast::BinaryOp::BitOr: return "|";
    case ast::BinaryOp::BitXor: return "^";
  }
  return "?";
}

std::string TypeText(const TypeName& t) {
  std::string s = t.name;
  if (t.max) return s + "(MAX)";
  if (t.arg1 >= 0) s += "(" + std::to_string(t.arg1) + (t.arg2 >= 0 ? "," + std::to_string(t.arg2) : "") + ")";
  return s;
}

std::string Literal(const ast::LiteralExpr& e) {
  using T = ast::LiteralExpr::Type;
  switch (e.literal_type) {
    case T::Null: return "NULL";
    case T::String: return "'" + e.text + "'";
    case T::NString: return "N'" + e.text + "'";
    default: return e.text;
  }
}

}  // namespace

std::string Dump(const ast::Expr& expr) {
  switch (expr.kind) {
    case ast::ExprKind::Literal:
      return Literal(static_cast<const ast::LiteralExpr&>(expr));
    case ast::ExprKind::ColumnRef:
      return Join(static_cast<const ast::ColumnRefExpr&>(expr).name);
    case ast::ExprKind::Star: {
      const auto& e = static_cast<const ast::StarExpr&>(expr);
      return e.qualifier.empty() ? "*" : Join(e.qualifier) + ".*";
    }
    case ast::ExprKind::Variable:
      return static_cast<const ast::VariableExpr&>(expr).name;
    case ast::ExprKind::Unary: {
      const auto& e = static_cast<const ast::UnaryExpr&>(expr);
      const char* op = e.op == ast::UnaryOp::Negate ? "-" : e.op == ast::UnaryOp::Plus ? "+"
                       : e.op == ast::UnaryOp::Not  ? "NOT" : "~";
      return std::string("(") + op + " " + Dump(*e.operand) + ")";
    }
    case ast::ExprKind::Binary: {
      const auto& e = static_cast<const ast::BinaryExpr&>(expr);
      return "(" + BinaryText(e.op) + " " + Dump(*e.left) + " " + Dump(*e.right) + ")";
    }
    case ast::ExprKind::Between: {
      const auto& e = static_cast<const ast::BetweenExpr&>(expr);
      return std::string("(") + (e.negated ? "NOT " : "") + "BETWEEN " + Dump(*e.value) + " " + Dump(*e.low) + " " +
             Dump(*e.high) + ")";
    }
    case ast::ExprKind::InList: {
      const auto& e = static_cast<const ast::InListExpr&>(expr);
      std::string s = std::string("(") + (e.negated ? "NOT " : "") + "IN " + Dump(*e.value);
      for (const auto& item : e.list) s += " " + Dump(*item);
      return s + ")";
    }
    case ast::ExprKind::InSubquery: {
      const auto& e = static_cast<const ast::InSubqueryExpr&>(expr);
      return std::string("(") + (e.negated ? "NOT " : "") + "IN " + Dump(*e.value) + " " + Dump(*e.subquery) + ")";
    }
    case ast::ExprKind::Exists:
      return "(EXISTS " + Dump(*static_cast<const ast::ExistsExpr&>(expr).subquery) + ")";
    case ast::ExprKind::ScalarSubquery:
      return "(SUBQUERY " + Dump(*static_cast<const ast::ScalarSubqueryExpr&>(expr).subquery) + ")";
    case ast::ExprKind::IsNull: {
      const auto& e = static_cast<const ast::IsNullExpr&>(expr);
      return std::string("(IS ") + (e.negated ? "NOT " : "") + "NULL " + Dump(*e.value) + ")";
    }
    case ast::ExprKind::Like: {
      const auto& e = static_cast<const ast::LikeExpr&>(expr);
      return std::string("(") + (e.negated ? "NOT " : "") + "LIKE " + Dump(*e.value) + " " + Dump(*e.pattern) +
             (e.escape ? " ESCAPE " + Dump(*e.escape) : "") + ")";
    }
    case ast::ExprKind::Case: {
      const auto& e = static_cast<const ast::CaseExpr&>(expr);
      std::string s = "(CASE";
      if (e.operand) s += " " + Dump(*e.operand);
      for (const auto& w : e.whens) s += " (WHEN " + Dump(*w.condition) + " " + Dump(*w.result) + ")";
      if (e.else_result) s += " (ELSE " + Dump(*e.else_result) + ")";
      return s + ")";
    }
    case ast::ExprKind::Cast: {
      const auto& e = static_cast<const ast::CastExpr&>(expr);
      if (!e.is_convert) return "(CAST " + Dump(*e.value) + " " + TypeText(e.target) + ")";
      return "(CONVERT " + TypeText(e.target) + " " + Dump(*e.value) + (e.style ? " " + Dump(*e.style) : "") + ")";
    }
    case ast::ExprKind::Function: {
      const auto& e = static_cast<const ast::FunctionExpr&>(expr);
      std::string s = e.name + (e.datepart.empty() ? "" : "{" + e.datepart + "}") + "(";
      if (e.distinct) s += "DISTINCT ";
      if (e.star) s += "*";
      for (size_t i = 0; i < e.args.size(); ++i) s += (i ? ", " : "") + Dump(*e.args[i]);
      return s + ")";
    }
    case ast::ExprKind::Collate: {
      const auto& e = static_cast<const ast::CollateExpr&>(expr);
      return "(COLLATE " + Dump(*e.value) + " " + e.collation + ")";
    }
  }
  return "?";
}

std::string Dump(const ast::TableRef& table) {
  switch (table.kind) {
    case ast::TableRefKind::Named: {
      const auto& t = static_cast<const ast::NamedTableRef&>(table);
      return Join(t.name) + (t.alias.empty() ? "" : " AS " + t.alias);
    }
    case ast::TableRefKind::Derived: {
      const auto& t = static_cast<const ast::DerivedTableRef&>(table);
      std::string s = "(" + Dump(*t.query) + ") AS " + t.alias;
      if (!t.column_aliases.empty()) {
        s += "(";
        for (size_t i = 0; i < t.column_aliases.size(); ++i) s += (i ? "," : "") + t.column_aliases[i];
        s += ")";
      }
      return s;
    }
    case ast::TableRefKind::Join: {
      const auto& t = static_cast<const ast::JoinTableRef&>(table);
      static const char* kTypes[] = {"INNER", "LEFT", "RIGHT", "FULL", "CROSS"};
      return std::string("{") + kTypes[static_cast<int>(t.type)] + (t.apply ? " APPLY " : " ") + Dump(*t.left) +
             " " + Dump(*t.right) + (t.on ? " ON " + Dump(*t.on) : "") + "}";
    }
    case ast::TableRefKind::Values: {
      const auto& t = static_cast<const ast::ValuesTableRef&>(table);
      std::string s = "(VALUES";
      for (size_t r = 0; r < t.rows.size(); ++r) {
        s += r ? ", (" : " (";
        for (size_t i = 0; i < t.rows[r].size(); ++i) s += (i ? ", " : "") + Dump(*t.rows[r][i]);
        s += ")";
      }
      s += ") AS " + t.alias + "(";
      for (size_t i = 0; i < t.column_aliases.size(); ++i) s += (i ? "," : "") + t.column_aliases[i];
      return s + ")";
    }
  }
  return "?";
}

std::string Dump(const ast::QueryExpr& query) {
  std::string s;
  if (query.select) {
    const ast::SelectCore& c = *query.select;
    s = "[SELECT";
    if (c.distinct) s += " DISTINCT";
    if (c.top) s += " TOP " + Dump(*c.top) + (c.top_percent ? " PERCENT" : "");
    for (size_t i = 0; i < c.items.size(); ++i) {
      s += (i ? ", " : " ") + Dump(*c.items[i].expr);
      if (!c.items[i].alias.empty()) s += " AS " + c.items[i].alias;
    }
    if (!c.into.empty()) s += " INTO " + Join(c.into);
    if (c.from) s += " FROM " + Dump(*c.from);
    if (c.where) s += " WHERE " + Dump(*c.where);
    for (size_t i = 0; i < c.group_by.size(); ++i) s += (i ? ", " : " GROUP BY ") + Dump(*c.group_by[i]);
    if (c.with_rollup) s += " WITH ROLLUP";
    if (c.having) s += " HAVING " + Dump(*c.having);
    s += "]";
  } else {
    static const char* kOps[] = {"UNION", "UNION ALL", "EXCEPT", "INTERSECT"};
    s = std::string("[") + kOps[static_cast<int>(query.op)] + " " + Dump(*query.left) + " " + Dump(*query.right) + "]";
  }
  for (size_t i = 0; i < query.order_by.size(); ++i) {
    s += (i ? ", " : " ORDER BY ") + Dump(*query.order_by[i].expr) + (query.order_by[i].descending ? " DESC" : "");
  }
  return s;
}

std::string DumpQuery(const std::string& sql) {
  ast::Batch batch = ParseBatch(sql);
  if (batch.statements.size() != 1 || batch.statements[0]->kind != ast::StmtKind::Select) {
    throw std::logic_error("expected one SELECT statement");
  }
  return Dump(*static_cast<const ast::SelectStmt&>(*batch.statements[0]).query);
}

std::string DumpExpr(const std::string& scalar_sql) {
  ast::Batch batch = ParseBatch("SELECT " + scalar_sql);
  const auto& select = static_cast<const ast::SelectStmt&>(*batch.statements.at(0));
  if (batch.statements.size() != 1 || select.query->select->items.size() != 1) {
    throw std::logic_error("expected one select item");
  }
  return Dump(*select.query->select->items[0].expr);
}

SqlError ParseError(const std::string& sql) {
  try {
    ParseBatch(sql);
  } catch (const SqlError& e) {
    return e;
  }
  return SqlError(0, 0, 0, 0, "no error");
}

std::string DumpWhere(const std::string& condition_sql) {
  ast::Batch batch = ParseBatch("SELECT 1 FROM t WHERE " + condition_sql);
  const auto& select = static_cast<const ast::SelectStmt&>(*batch.statements.at(0));
  if (batch.statements.size() != 1) throw std::logic_error("expected one statement");
  return Dump(*select.query->select->where);
}

}  // namespace orv::engine::test
