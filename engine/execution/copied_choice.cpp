// Choices among copied items; see copied_choice.h.
#include "engine/execution/copied_choice.h"

#include <algorithm>

namespace orv::engine {

void CopiedChoice::Pick(const PositionSource& rows, size_t begin, size_t end, uint32_t* arms) const {
  std::fill(arms, arms + (end - begin), static_cast<uint32_t>(whens.size()));
  for (size_t w = whens.size(); w-- > 0;) {
    const uint32_t* positions = rows.Positions(whens[w].table);
    for (size_t k = begin; k < end; ++k) {
      if (Holds(whens[w], positions[k])) arms[k - begin] = static_cast<uint32_t>(w);
    }
  }
}

bool SameWhens(const CopiedChoice& a, const CopiedChoice& b) {
  if (a.whens.size() != b.whens.size()) return false;
  for (size_t w = 0; w < a.whens.size(); ++w) {
    const CopiedChoice::When& x = a.whens[w];
    const CopiedChoice::When& y = b.whens[w];
    if (x.column != y.column || x.table != y.table || x.op != y.op || x.constant.type != y.constant.type ||
        CompareValues(x.constant, y.constant) != 0) {
      return false;
    }
  }
  return true;
}

std::optional<CopiedChoice> ChoiceOf(const BoundExpr& expr, const PositionSource& rows, size_t width,
                                     ExecContext& context, StringArena& texts) {
  const auto* node = expr.As<bound::Case>();
  if (!node) return std::nullopt;
  CopiedChoice choice;
  for (const bound::When& when : node->whens) {
    const auto* compare = when.condition->As<bound::Compare>();
    const auto* column = compare ? compare->left->As<bound::Column>() : nullptr;
    const auto* constant = compare ? compare->right->As<bound::Constant>() : nullptr;
    // An integer constant compares with any integer column as it is, as the row path compares them.
    if (!column || column->depth != 0 || !constant || constant->value.is_null ||
        (constant->value.type != compare->left->type.id &&
         !(IsInteger(constant->value.type) && IsInteger(compare->left->type.id)))) {
      return std::nullopt;
    }
    CopiedChoice::When copied{nullptr, 0, compare->op, constant->value};
    copied.column = rows.ColumnAt(static_cast<size_t>(column->position), copied.table);
    if (!copied.column || copied.column->type() != compare->left->type) return std::nullopt;
    std::optional<CopiedItem> result = CopyOf(*when.result, rows, width, context, texts);
    if (!result) return std::nullopt;
    choice.whens.push_back(std::move(copied));
    choice.results.push_back(std::move(*result));
  }
  std::optional<CopiedItem> otherwise =
      node->otherwise ? CopyOf(*node->otherwise, rows, width, context, texts) : CopiedItem{};
  if (!otherwise) return std::nullopt;
  if (!node->otherwise) otherwise->missing = Value::Null(expr.type.id);  // as ELSE NULL evaluates
  choice.results.push_back(std::move(*otherwise));
  return choice;
}

}  // namespace orv::engine
