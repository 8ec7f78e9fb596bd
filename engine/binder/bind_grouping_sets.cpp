// GROUPING SETS, CUBE and ROLLUP(...) as sets of positions in the bound group
// list, and GROUPING_ID, the GROUPING flags of its arguments read as the bits
// of one integer (the first argument the highest bit).
#include <algorithm>

#include "engine/binder/binder.h"
#include "engine/common/errors.h"

namespace orv::engine {

void BindGroupingSets(const std::vector<std::vector<size_t>>& sets, BoundGrouping& grouping) {
  std::vector<BoundExprPtr>& groups = grouping.groups;
  // An expression written twice is grouped on once.
  std::vector<size_t> canonical(groups.size());
  std::vector<BoundExprPtr> distinct;
  for (size_t i = 0; i < groups.size(); ++i) {
    canonical[i] = distinct.size();
    for (size_t j = 0; j < distinct.size(); ++j) {
      if (SameExpr(*groups[i], *distinct[j])) {
        canonical[i] = j;
        break;
      }
    }
    if (canonical[i] == distinct.size()) distinct.push_back(std::move(groups[i]));
  }
  groups = std::move(distinct);
  std::vector<std::vector<size_t>> bound;
  for (const auto& set : sets) {
    std::vector<size_t> positions;
    for (size_t i : set) positions.push_back(canonical[i]);
    std::sort(positions.begin(), positions.end());
    positions.erase(std::unique(positions.begin(), positions.end()), positions.end());
    bound.push_back(std::move(positions));
  }
  // ROLLUP(a, b, ...) alone is WITH ROLLUP: its sets are the prefixes of the list, longest first.
  bool rollup = bound.size() == groups.size() + 1;
  for (size_t i = 0; rollup && i < bound.size(); ++i) {
    rollup = bound[i].size() == groups.size() - i;
    for (size_t k = 0; rollup && k < bound[i].size(); ++k) rollup = bound[i][k] == k;
  }
  if (rollup && !groups.empty()) {
    grouping.rollup = true;
  } else {
    grouping.sets = std::move(bound);
  }
}

BoundExprPtr Binder::BindGroupingId(const ast::FunctionExpr& expr, Scope& scope, const ExprContext& context) {
  if (!context.has_group_by) Throw(ErrorCode::kGroupingWithoutGroupBy, {}, expr.line);
  if (expr.args.empty()) Throw(ErrorCode::kWrongArgumentCount, {"GROUPING_ID", "1"}, expr.line);
  const DataType int_type{TypeId::Int};
  BoundExprPtr sum;
  for (const auto& arg : expr.args) {
    BoundExprPtr flag = Convert(
        MakeExpr<bound::Grouping>(DataType{TypeId::TinyInt}, false, expr.line, BindExpr(*arg, scope, context)),
        int_type);
    if (sum) {
      BoundExprPtr doubled = MakeExpr<bound::Arithmetic>(
          int_type, false, expr.line, ArithmeticOp::Multiply, std::move(sum),
          MakeExpr<bound::Constant>(int_type, false, expr.line, Value::Integer(TypeId::Int, 2)));
      sum = MakeExpr<bound::Arithmetic>(int_type, false, expr.line, ArithmeticOp::Add, std::move(doubled),
                                        std::move(flag));
    } else {
      sum = std::move(flag);
    }
  }
  return sum;
}

}  // namespace orv::engine
