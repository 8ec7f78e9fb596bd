// Window functions: ROW_NUMBER, RANK, DENSE_RANK, NTILE, LAG, LEAD,
// FIRST_VALUE, LAST_VALUE and the aggregates with OVER (...). They stand only
// in a select list or ORDER BY (4108); once the SELECT is bound they move to
// its window list and a column of the window operator's rows takes their place.
#include "engine/binder/binder.h"
#include "engine/common/errors.h"

namespace orv::engine {
namespace {

using Bound = ast::WindowFrameBound;

struct WindowName {
  std::string_view name;
  bound::WindowKind kind;
};

constexpr WindowName kWindowFunctions[] = {
    {"ROW_NUMBER", bound::WindowKind::RowNumber}, {"RANK", bound::WindowKind::Rank},
    {"DENSE_RANK", bound::WindowKind::DenseRank}, {"NTILE", bound::WindowKind::Ntile},
    {"LAG", bound::WindowKind::Lag},              {"LEAD", bound::WindowKind::Lead},
    {"FIRST_VALUE", bound::WindowKind::FirstValue}, {"LAST_VALUE", bound::WindowKind::LastValue},
};

const WindowName* FindWindowFunction(std::string_view name) {
  for (const WindowName& entry : kWindowFunctions) {
    if (entry.name == name) return &entry;
  }
  return nullptr;
}

void CheckArgumentCount(const ast::FunctionExpr& expr, size_t low, size_t high) {
  const size_t n = expr.args.size();
  if (n >= low && n <= high) return;
  if (low == high) Throw(ErrorCode::kWrongArgumentCount, {expr.name, std::to_string(low)}, expr.line);
  Throw(ErrorCode::kFunctionArgumentRange, {expr.name, std::to_string(low), std::to_string(high)}, expr.line);
}

// The frame of the OVER clause as offsets from the current row.
void BindFrame(const ast::WindowSpec& spec, bound::Window& window, int line) {
  if (!spec.has_frame) {
    // With ORDER BY: RANGE UNBOUNDED PRECEDING .. CURRENT ROW; without: the whole partition.
    window.end_unbounded = spec.order_by.empty();
    return;
  }
  if (spec.order_by.empty()) Throw(ErrorCode::kWindowFrameNeedsOrderBy, {}, line);
  window.rows_frame = spec.rows;
  auto offset = [&](const Bound& bound) -> long long {
    if (bound.kind == Bound::Kind::CurrentRow) return 0;
    if (!spec.rows) Throw(ErrorCode::kRangeFrameOffset, {}, line);
    return bound.kind == Bound::Kind::Preceding ? -bound.offset : bound.offset;
  };
  if (spec.start.kind == Bound::Kind::UnboundedFollowing || spec.end.kind == Bound::Kind::UnboundedPreceding) {
    Throw(ErrorCode::kIncorrectSyntaxKeyword, {"UNBOUNDED"}, line);
  }
  window.start_unbounded = spec.start.kind == Bound::Kind::UnboundedPreceding;
  window.end_unbounded = spec.end.kind == Bound::Kind::UnboundedFollowing;
  if (!window.start_unbounded) window.start_offset = offset(spec.start);
  if (!window.end_unbounded) window.end_offset = offset(spec.end);
}

}  // namespace

bool IsWindowOnlyFunction(std::string_view upper_name) { return FindWindowFunction(upper_name) != nullptr; }

BoundExprPtr Binder::BindWindow(const ast::FunctionExpr& expr, Scope& scope, const ExprContext& context) {
  const WindowName* named = FindWindowFunction(expr.name);
  if (!expr.over) Throw(ErrorCode::kWindowNeedsOver, {expr.name}, expr.line);
  if (context.in_aggregate || in_window_) Throw(ErrorCode::kWindowedFunctionNested, {}, expr.line);
  if (context.clause != Clause::Select && context.clause != Clause::OrderBy) {
    Throw(ErrorCode::kWindowedFunctionPlacement, {}, expr.line);
  }
  if (expr.distinct) Throw(ErrorCode::kWindowDistinct, {}, expr.line);
  const ast::WindowSpec& spec = *expr.over;
  bound::Window window;
  DataType type{TypeId::BigInt};
  in_window_ = true;
  struct Reset {
    bool& flag;
    ~Reset() { flag = false; }
  } reset{in_window_};
  ExprContext inner = context;
  auto bind = [&](const ast::Expr& e) { return BindExpr(e, scope, inner); };
  if (named) {
    window.kind = named->kind;
    const bool ranking = named->kind == bound::WindowKind::RowNumber || named->kind == bound::WindowKind::Rank ||
                         named->kind == bound::WindowKind::DenseRank || named->kind == bound::WindowKind::Ntile;
    const bool offset_function = named->kind == bound::WindowKind::Lag || named->kind == bound::WindowKind::Lead;
    if (spec.order_by.empty()) Throw(ErrorCode::kWindowNeedsOrderBy, {expr.name}, expr.line);
    if ((ranking || offset_function) && spec.has_frame) Throw(ErrorCode::kWindowFrameNotAllowed, {expr.name}, expr.line);
    if (named->kind == bound::WindowKind::Ntile) {
      CheckArgumentCount(expr, 1, 1);
      window.arguments.push_back(Convert(bind(*expr.args[0]), DataType{TypeId::BigInt}));
    } else if (ranking) {
      CheckArgumentCount(expr, 0, 0);
    } else if (offset_function) {
      CheckArgumentCount(expr, 1, 3);
      BoundExprPtr value = bind(*expr.args[0]);
      type = value->type;
      window.arguments.push_back(std::move(value));
      window.arguments.push_back(expr.args.size() > 1
                                     ? Convert(bind(*expr.args[1]), DataType{TypeId::BigInt})
                                     : MakeExpr<bound::Constant>(DataType{TypeId::BigInt}, false, expr.line,
                                                                 Value::Integer(TypeId::BigInt, 1)));
      if (expr.args.size() > 2) window.arguments.push_back(Convert(bind(*expr.args[2]), type));
    } else {
      CheckArgumentCount(expr, 1, 1);
      window.arguments.push_back(bind(*expr.args[0]));
      type = window.arguments[0]->type;
    }
  } else {
    AggregateKind aggregate;
    if (!LookupAggregate(expr.name, aggregate)) Throw(ErrorCode::kNotSupported, {expr.name + " with OVER"}, expr.line);
    window.kind = bound::WindowKind::Aggregate;
    window.argument_type = DataType{TypeId::Int};
    if (expr.star) {
      aggregate = AggregateKind::CountStar;
    } else {
      CheckArgumentCount(expr, 1, 1);
      window.arguments.push_back(bind(*expr.args[0]));
      window.argument_type = window.arguments[0]->type;
    }
    window.aggregate = aggregate;
    type = AtLine(expr.line, [&] { return AggregateResultType(aggregate, window.argument_type); });
    if (expr.name == "COUNT_BIG") type = DataType{TypeId::BigInt};
  }
  for (const auto& key : spec.partition_by) window.partition.push_back(bind(*key));
  for (const auto& item : spec.order_by) {
    if (item.expr->kind == ast::ExprKind::Literal &&
        static_cast<const ast::LiteralExpr&>(*item.expr).literal_type == ast::LiteralExpr::Type::Integer) {
      Throw(ErrorCode::kWindowOrderByPosition, {}, item.expr->line);
    }
    window.order.push_back(bind(*item.expr));
    window.descending.push_back(item.descending);
  }
  BindFrame(spec, window, expr.line);
  // Every window function's column allows NULL, as in SELECT INTO; even ROW_NUMBER's.
  return MakeExpr<bound::Window>(type, true, expr.line, std::move(window));
}

namespace {

void MoveWindows(BoundExprPtr& expr, size_t input_width, std::vector<BoundExprPtr>& windows) {
  if (expr->kind() == BoundKind::Window) {
    for (size_t i = 0; i < windows.size(); ++i) {
      if (SameExpr(*expr, *windows[i])) {
        expr = MakeColumn(static_cast<int>(input_width + i), expr->type, expr->nullable);
        return;
      }
    }
    BoundExprPtr column = MakeColumn(static_cast<int>(input_width + windows.size()), expr->type, expr->nullable);
    windows.push_back(std::move(expr));
    expr = std::move(column);
    return;
  }
  ForEachChild(*expr, [&](BoundExprPtr& child) { MoveWindows(child, input_width, windows); });
}

}  // namespace

void ExtractWindows(BoundSelect& select) {
  const size_t input_width = select.grouping ? select.grouping->width() : (select.from ? select.from->width : 0);
  for (auto& item : select.items) MoveWindows(item, input_width, select.windows);
}

}  // namespace orv::engine
