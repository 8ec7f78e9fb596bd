// Items copied from a column; see copied_item.h.
#include "engine/execution/copied_item.h"

#include <algorithm>
#include <vector>

#include "engine/common/errors.h"
#include "engine/execution/evaluate.h"
#include "engine/function/scalar.h"

namespace orv::engine {
namespace {

// A cast that keeps every decimal's number and scale, only typing it wider.
bool WidensDecimal(const DataType& from, const DataType& to) {
  return from.id == TypeId::Decimal && to.id == TypeId::Decimal && from.scale == to.scale &&
         from.precision <= to.precision;
}

// `expr`, a + or - of two decimals of its scale, as a sum of copied items,
// when its precision has room for any value (one digit more than either
// operand's: no overflow to raise); else nullopt.
std::optional<CopiedItem> SumOf(const BoundExpr& expr, const bound::Arithmetic& node, const PositionSource& rows,
                                size_t width, ExecContext& context, StringArena& texts) {
  const DataType& left = node.left->type;
  const DataType& right = node.right->type;
  if ((node.op != ArithmeticOp::Add && node.op != ArithmeticOp::Subtract) || expr.type.id != TypeId::Decimal ||
      left.id != TypeId::Decimal || right.id != TypeId::Decimal || left.scale != expr.type.scale ||
      right.scale != expr.type.scale || expr.type.precision <= std::max(left.precision, right.precision)) {
    return std::nullopt;
  }
  CopiedItem sum;
  sum.precision = expr.type.precision;
  auto add = [&](const BoundExpr& part, bool negate) {
    std::optional<CopiedItem> item = CopyOf(part, rows, width, context, texts);
    if (!item) return false;
    if (item->terms.empty()) {
      sum.terms.push_back(std::move(*item));
      sum.negated.push_back(negate);
      return true;
    }
    for (size_t t = 0; t < item->terms.size(); ++t) {
      sum.terms.push_back(std::move(item->terms[t]));
      sum.negated.push_back(item->negated[t] != negate);
    }
    return true;
  };
  if (!add(*node.left, false) || !add(*node.right, node.op == ArithmeticOp::Subtract)) return std::nullopt;
  return sum;
}

}  // namespace

Value CopiedItem::Sum(const PositionSource& rows, size_t k) const {
  Int128 total = 0;
  uint8_t scale = 0;
  for (size_t t = 0; t < terms.size(); ++t) {
    const Value value = terms[t].At(rows, k);
    if (value.is_null) return Value::Null(TypeId::Decimal);
    total += negated[t] ? -value.dec : value.dec;
    scale = value.scale;
  }
  return Value::Decimal(total, precision, scale);
}

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
  if (const auto* node = expr.As<bound::Arithmetic>()) return SumOf(expr, *node, rows, width, context, texts);
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
