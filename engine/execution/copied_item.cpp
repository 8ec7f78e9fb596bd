// Items copied from a column; see copied_item.h.
#include "engine/execution/copied_item.h"

#include <algorithm>
#include <vector>

#include "engine/common/errors.h"
#include "engine/execution/evaluate.h"

namespace orv::engine {
namespace {

// A cast that keeps every decimal's number and scale, only typing it wider.
bool WidensDecimal(const DataType& from, const DataType& to) {
  return from.id == TypeId::Decimal && to.id == TypeId::Decimal && from.scale == to.scale &&
         from.precision <= to.precision;
}

}  // namespace

const bound::Column* ColumnRead(const BoundExpr& expr) {
  const BoundExpr* read = &expr;
  if (const auto* call = expr.As<bound::Function>()) {
    if (call->function->name != "ISNULL" || call->arguments[1]->kind() != BoundKind::Constant) return nullptr;
    read = call->arguments[0].get();
  }
  const auto* column = read->As<bound::Column>();
  return column && column->depth == 0 ? column : nullptr;
}

std::optional<CopiedItem> CopyOf(const BoundExpr& expr, const PositionSource& rows, size_t width,
                                 ExecContext& context, StringArena& texts) {
  CopiedItem item;
  const BoundExpr* inner = &expr;
  if (const auto* cast = expr.As<bound::Cast>()) {
    inner = cast->operand.get();
    // A constant's cast is a constant too, whatever it converts.
    const bool constant = inner->kind() == BoundKind::Constant;
    if (!constant && (cast->is_try || cast->style != -1 || !WidensDecimal(inner->type, expr.type))) {
      return std::nullopt;
    }
    if (!constant) item.precision = expr.type.precision;
  }
  if (inner->kind() != BoundKind::Constant) {
    const bound::Column* read = ColumnRead(*inner);
    item.source = read ? rows.ColumnAt(static_cast<size_t>(read->position), item.table) : nullptr;
    if (!item.source || item.source->type() != inner->type) return std::nullopt;
  }
  try {
    // Where every position reads NULL: a missing row's value, or what a NULL becomes.
    const std::vector<Value> nulls(width);
    item.missing = Evaluate(expr, EvalRow{nulls.data(), nullptr}, context);
  } catch (const SqlError&) {
    return std::nullopt;  // the row path raises it at the first row that needs it
  }
  if (!item.missing.is_null && IsString(item.missing.type)) item.missing.set_s(texts.Copy(item.missing.s()));
  item.replaces_null = !expr.As<bound::Column>();
  return item;
}

std::unique_ptr<PositionSource> ProjectedPositions(const PlanNode& plan, ExecContext& context,
                                                   const ProjectPlan*& project) {
  if (plan.kind != PlanKind::Project) return nullptr;
  project = static_cast<const ProjectPlan*>(&plan);
  if (std::find(project->live.begin(), project->live.end(), 0) != project->live.end()) return nullptr;
  return PlanPositions(*project->input, context);
}

}  // namespace orv::engine
