// Binding of one SELECT: FROM, WHERE, the select list with * expanded,
// grouping and aggregates, HAVING, DISTINCT, ORDER BY (by position, alias or
// expression) and TOP, in the order SQL Server evaluates them.
#include <charconv>

#include "engine/binder/binder.h"
#include "engine/binder/grouped_rewriter.h"
#include "engine/catalog/names.h"
#include "engine/common/errors.h"

namespace orv::engine {
namespace {

struct SelectItemBinding {
  BoundExprPtr expr;
  OutputColumn column;
};

struct OrderBinding {
  int select_index = -1;  // or a hidden expression
  BoundExprPtr hidden;
  bool descending = false;
};

bool IsIntegerLiteral(const ast::Expr& expr) {
  return expr.kind == ast::ExprKind::Literal &&
         static_cast<const ast::LiteralExpr&>(expr).literal_type == ast::LiteralExpr::Type::Integer;
}

void ExpandStar(const ast::StarExpr& star, const Scope& scope, std::vector<SelectItemBinding>& items) {
  bool matched = false;
  for (const ScopeTable& table : scope.tables) {
    if (!star.qualifier.empty() && !NamesEqual(table.exposed, star.qualifier.back())) continue;
    matched = true;
    for (size_t i = 0; i < table.columns.size(); ++i) {
      const ScopeColumn& column = table.columns[i];
      table.MarkRead(i);
      SelectItemBinding item;
      item.expr = MakeColumn(static_cast<int>(table.offset + i), column.type, column.nullable,
                             table.exposed + "." + column.name);
      item.column = OutputColumn{column.name, column.type, column.nullable, column.identity};
      items.push_back(std::move(item));
    }
  }
  if (!matched) {
    if (star.qualifier.empty()) Throw(ErrorCode::kNotSupported, {"SELECT * without a FROM clause"}, star.line);
    Throw(ErrorCode::kMultiPartIdentifierNotBound, {JoinName(star.qualifier)}, star.line);
  }
}

}  // namespace

BoundQuery Binder::BindSelect(const ast::SelectCore& core, const std::vector<ast::OrderItem>& order_by,
                              Scope* parent, Scope* enclosing, bool nested) {
  if (nested && !order_by.empty() && !core.top) Throw(ErrorCode::kOrderByInDerivedTable, {}, order_by[0].expr->line);
  Scope scope;
  scope.parent = parent;
  scope.enclosing = enclosing;
  BoundSelect select;
  if (core.from) select.from = BindTableRef(*core.from, scope, 0, false);
  ExprContext context;
  context.has_group_by = !core.group_by.empty();
  if (core.where) {
    context.clause = Clause::Where;
    select.where = BindExpr(*core.where, scope, context);
  }

  context.clause = Clause::Select;
  std::vector<SelectItemBinding> items;
  for (const ast::SelectItem& item : core.items) {
    if (item.expr->kind == ast::ExprKind::Star) {
      ExpandStar(static_cast<const ast::StarExpr&>(*item.expr), scope, items);
      continue;
    }
    SelectItemBinding binding;
    binding.expr = BindExpr(*item.expr, scope, context);
    std::string name = item.alias;
    if (name.empty() && item.expr->kind == ast::ExprKind::ColumnRef) {
      name = static_cast<const ast::ColumnRefExpr&>(*item.expr).name.back();
    }
    binding.column = OutputColumn{name, binding.expr->type, binding.expr->nullable, std::nullopt};
    // A bare identity column of the only table keeps its identity in SELECT INTO.
    const auto* column = binding.expr->As<bound::Column>();
    if (column && column->depth == 0 && scope.tables.size() == 1) {
      const ScopeTable& table = scope.tables[0];
      size_t index = column->position - table.offset;
      if (index < table.columns.size()) binding.column.identity = table.columns[index].identity;
    }
    items.push_back(std::move(binding));
  }

  context.clause = Clause::OrderBy;
  std::vector<OrderBinding> orders;
  for (const ast::OrderItem& item : order_by) {
    OrderBinding order;
    order.descending = item.descending;
    if (IsIntegerLiteral(*item.expr)) {
      const std::string& text = static_cast<const ast::LiteralExpr&>(*item.expr).text;
      long long position = 0;
      auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), position);
      if (error != std::errc() || position < 1 || static_cast<size_t>(position) > items.size()) {
        Throw(ErrorCode::kOrderByPositionOutOfRange, {text}, item.expr->line);
      }
      order.select_index = static_cast<int>(position - 1);
    } else if (item.expr->kind == ast::ExprKind::ColumnRef &&
               static_cast<const ast::ColumnRefExpr&>(*item.expr).name.size() == 1) {
      const std::string& name = static_cast<const ast::ColumnRefExpr&>(*item.expr).name[0];
      for (size_t i = 0; i < items.size() && order.select_index < 0; ++i) {
        if (NamesEqual(items[i].column.name, name)) order.select_index = static_cast<int>(i);
      }
    }
    if (order.select_index < 0) {
      BoundExprPtr expr = BindExpr(*item.expr, scope, context);
      for (size_t i = 0; i < items.size() && order.select_index < 0; ++i) {
        if (SameExpr(*expr, *items[i].expr)) order.select_index = static_cast<int>(i);
      }
      if (order.select_index < 0) order.hidden = std::move(expr);
    }
    orders.push_back(std::move(order));
  }

  bool grouped = !core.group_by.empty() || core.having != nullptr;
  for (const auto& item : items) grouped = grouped || ContainsAggregate(*item.expr);
  for (const auto& order : orders) grouped = grouped || (order.hidden && ContainsAggregate(*order.hidden));
  if (grouped) {
    BoundGrouping& grouping = select.grouping.emplace();
    grouping.rollup = core.with_rollup;
    context.clause = Clause::GroupBy;
    for (const auto& group : core.group_by) grouping.groups.push_back(BindExpr(*group, scope, context));
    if (core.having) {
      context.clause = Clause::Having;
      select.having = BindExpr(*core.having, scope, context);
    }
    GroupedRewriter rewriter(grouping);
    for (auto& item : items) {
      item.expr = rewriter.Rewrite(std::move(item.expr));
      item.column.nullable = item.expr->nullable;
      item.column.identity.reset();
    }
    for (auto& order : orders) {
      if (order.hidden) order.hidden = rewriter.Rewrite(std::move(order.hidden));
    }
    if (select.having) select.having = rewriter.Rewrite(std::move(select.having));
  }

  BoundQuery result;
  for (auto& item : items) {
    select.items.push_back(std::move(item.expr));
    result.columns.push_back(std::move(item.column));
  }
  for (auto& order : orders) {
    size_t column = order.select_index >= 0 ? static_cast<size_t>(order.select_index) : select.items.size();
    if (order.hidden) {
      if (core.distinct) Throw(ErrorCode::kOrderByNotInDistinctSelect, {}, order.hidden->line);
      select.items.push_back(std::move(order.hidden));
    }
    select.order.push_back(SortKey{column, order.descending});
  }
  select.distinct = core.distinct;
  if (core.top) {
    select.top = BindScalar(*core.top);
    select.top_percent = core.top_percent;
  }
  result.body = std::move(select);
  result.reads_outer = scope.reads_outer;
  return result;
}

}  // namespace orv::engine
