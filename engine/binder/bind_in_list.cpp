// x IN (list). In general x = a OR x = b ...; NOT IN negates that, so a NULL
// in the list makes NOT IN unknown, as SQL Server's three-valued logic has
// it. A list of constants that all meet x in one type is hashed instead: a
// million-item list costs one lookup per row and one copy of each constant.
#include <optional>

#include "engine/binder/binder.h"

namespace orv::engine {
namespace {

// The hashed form of x IN (list), when every item is a constant and all meet
// x in one type; null otherwise. Each item is bound, converted and hashed in
// turn, so no comparison node is ever built for a long list.
BoundExprPtr HashConstants(Binder& binder, BoundExprPtr& value, const ast::InListExpr& in, Scope& scope,
                           const ExprContext& context, StringArena& arena) {
  if (in.list.size() < 2) return nullptr;
  auto constants = std::make_shared<RowIndex>(1);
  bool has_null = false;
  std::optional<DataType> common;
  for (const auto& item : in.list) {
    BoundExprPtr bound = binder.BindExpr(*item, scope, context);
    const auto* constant = bound->As<bound::Constant>();
    if (!constant) return nullptr;
    DataType type = CommonType(value->type, bound->type);
    if (common && !(*common == type)) return nullptr;
    common = type;
    if (constant->value.is_null) {
      has_null = true;
      continue;
    }
    Value converted;
    try {
      converted = CastValue(constant->value, type, arena);
    } catch (const SqlError&) {
      return nullptr;  // compared one by one, the error comes only if a row reaches the item
    }
    bool inserted = false;
    constants->FindOrInsert(&converted, inserted);
  }
  BoundExprPtr left = ConvertForCompare(CloneExpr(*value), *common);
  const bool nullable = left->nullable || has_null;
  return MakeExpr<bound::InList>(DataType{TypeId::Bit}, nullable, in.line, std::move(left),
                                 std::shared_ptr<const RowIndex>(std::move(constants)), has_null, in.negated);
}

}  // namespace

BoundExprPtr Binder::BindInList(const ast::InListExpr& in, Scope& scope, const ExprContext& context) {
  BoundExprPtr value = BindExpr(*in.value, scope, context);
  if (BoundExprPtr hashed = HashConstants(*this, value, in, scope, context, context_.arena)) return hashed;
  std::vector<BoundExprPtr> terms;
  for (const auto& item : in.list) {
    terms.push_back(MakeCompare(CloneExpr(*value), BindExpr(*item, scope, context), CompareOp::Equal, in.line));
  }
  // Pairwise, so that a long list makes a shallow tree rather than a deep chain.
  while (terms.size() > 1) {
    std::vector<BoundExprPtr> pairs;
    for (size_t i = 0; i + 1 < terms.size(); i += 2) {
      pairs.push_back(MakeOr(std::move(terms[i]), std::move(terms[i + 1])));
    }
    if (terms.size() % 2) pairs.push_back(std::move(terms.back()));
    terms = std::move(pairs);
  }
  BoundExprPtr any = std::move(terms.front());
  return in.negated ? MakeNot(std::move(any)) : std::move(any);
}

}  // namespace orv::engine
