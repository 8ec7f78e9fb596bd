// The row limits of a query expression: OFFSET n ROWS FETCH NEXT m ROWS ONLY
// after ORDER BY, and TOP ... WITH TIES, which needs an ORDER BY to know its ties.
#include "engine/binder/binder.h"
#include "engine/common/errors.h"

namespace orv::engine {

void Binder::BindRowLimits(const ast::QueryExpr& query, BoundQuery& bound) {
  auto* select = std::get_if<BoundSelect>(&bound.body);
  if (select && select->top && !select->top_percent) {
    const TypeId type = select->top->type.id;
    if (!IsInteger(type) && type != TypeId::Null) Throw(ErrorCode::kTopNotInteger, {}, query.line);
  }
  if (query.select && query.select->top_with_ties) {
    if (query.order_by.empty()) Throw(ErrorCode::kTopWithTiesWithoutOrderBy, {}, query.line);
    select->top_with_ties = true;
  }
  if (!query.offset) return;
  if (query.select && query.select->top) Throw(ErrorCode::kTopWithOffset, {}, query.line);
  const DataType count_type{TypeId::BigInt};
  BoundExprPtr offset = Convert(BindScalar(*query.offset), count_type);
  BoundExprPtr fetch = query.fetch ? Convert(BindScalar(*query.fetch), count_type) : nullptr;
  if (select) {
    select->offset = std::move(offset);
    select->fetch = std::move(fetch);
  } else {
    auto& set = std::get<BoundSetOperation>(bound.body);
    set.offset = std::move(offset);
    set.fetch = std::move(fetch);
  }
}

}  // namespace orv::engine
