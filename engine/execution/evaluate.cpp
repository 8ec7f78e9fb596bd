// Expression evaluation. Conversions were made explicit by the binder, so
// every node computes in the types it was given; runtime errors take the
// line of the node that raised them.
#include "engine/execution/evaluate.h"

#include "engine/common/collation.h"
#include "engine/common/errors.h"
#include "engine/execution/executor.h"

namespace orv::engine {
namespace {


Value Bit(bool b) { return Value::Integer(TypeId::Bit, b ? 1 : 0); }
Value UnknownBit() { return Value::Null(TypeId::Bit); }

bool CompareResult(CompareOp op, int c) {
  switch (op) {
    case CompareOp::Equal: return c == 0;
    case CompareOp::NotEqual: return c != 0;
    case CompareOp::Less: return c < 0;
    case CompareOp::LessEqual: return c <= 0;
    case CompareOp::Greater: return c > 0;
    case CompareOp::GreaterEqual: return c >= 0;
  }
  return false;
}

// The id of the object a name like 'tempdb..#x', '#x', 'dbo.t' or '[t]' names.
Value ObjectIdOf(std::string_view text, ExecContext& context) {
  std::string_view last = text;
  size_t dot = text.rfind('.');
  if (dot != std::string_view::npos) last = text.substr(dot + 1);
  std::string name(last);
  if (name.size() >= 2 && name.front() == '[' && name.back() == ']') name = name.substr(1, name.size() - 2);
  while (!name.empty() && name.back() == ' ') name.pop_back();
  std::optional<int64_t> id;
  if (!name.empty() && name[0] == '#') {
    if (auto table = context.session.FindTemp(name)) id = table->object_id();
  } else {
    id = context.catalog.ObjectId(name);
  }
  return id ? Value::Integer(TypeId::Int, *id) : Value::Null(TypeId::Int);
}

const Relation& SubqueryRows(const BoundExpr& expr, const EvalRow& row, ExecContext& context, Relation& scratch) {
  if (!expr.correlated) {
    auto it = context.subquery_results.find(expr.subquery.get());
    if (it == context.subquery_results.end()) {
      Relation rows = ExecutePlan(context.SubqueryPlan(*expr.subquery), context, nullptr);
      it = context.subquery_results.emplace(expr.subquery.get(), std::move(rows)).first;
    }
    return it->second;
  }
  scratch = ExecutePlan(context.SubqueryPlan(*expr.subquery), context, &row);
  return scratch;
}

// x IN (subquery): true on a match; else unknown when x or some row is NULL
// (and the subquery has rows); else false. An uncorrelated subquery is
// hashed once; a correlated one is searched row by row.
Value EvaluateIn(const BoundExpr& expr, const EvalRow& row, ExecContext& context) {
  Value value = Evaluate(*expr.children[0], row, context);
  Value result = Bit(false);
  if (!expr.correlated) {
    auto it = context.in_sets.find(&expr);
    if (it == context.in_sets.end()) {
      Relation scratch;
      const Relation& rows = SubqueryRows(expr, row, context, scratch);
      InSet set;
      for (size_t r = 0; r < rows.rows; ++r) {
        const Value& candidate = rows.Row(r)[0];
        if (candidate.is_null) {
          set.has_null = true;
          continue;
        }
        Value converted = CastValue(candidate, expr.compare_type, context.arena);
        bool inserted = false;
        set.values.FindOrInsert(&converted, inserted);
      }
      it = context.in_sets.emplace(&expr, std::move(set)).first;
    }
    const InSet& set = it->second;
    if (set.values.size() > 0 || set.has_null) {
      if (value.is_null) {
        result = UnknownBit();
      } else {
        Value x = CastValue(value, expr.compare_type, context.arena);
        result = set.values.Find(&x) >= 0 ? Bit(true) : (set.has_null ? UnknownBit() : Bit(false));
      }
    }
  } else {
    Relation scratch;
    const Relation& rows = SubqueryRows(expr, row, context, scratch);
    if (rows.rows > 0) {
      if (value.is_null) {
        result = UnknownBit();
      } else {
        Value x = CastValue(value, expr.compare_type, context.arena);
        for (size_t r = 0; r < rows.rows; ++r) {
          const Value& candidate = rows.Row(r)[0];
          if (candidate.is_null) {
            result = UnknownBit();
            continue;
          }
          if (CompareValues(x, CastValue(candidate, expr.compare_type, context.arena)) == 0) {
            result = Bit(true);
            break;
          }
        }
      }
    }
  }
  if (expr.negated && !result.is_null) result.i = !result.i;
  return result;
}

Value EvaluateFunction(const BoundExpr& expr, const EvalRow& row, ExecContext& context) {
  constexpr size_t kInline = 8;
  Value inline_args[kInline];
  std::vector<Value> heap_args;
  Value* args = inline_args;
  if (expr.children.size() > kInline) {
    heap_args.resize(expr.children.size());
    args = heap_args.data();
  }
  for (size_t i = 0; i < expr.children.size(); ++i) args[i] = Evaluate(*expr.children[i], row, context);
  EvalContext eval_context{context.arena};
  return expr.function->eval(std::span<const Value>(args, expr.children.size()), expr.type, expr.datepart,
                             eval_context);
}

Value EvaluateNode(const BoundExpr& expr, const EvalRow& row, ExecContext& context) {
  switch (expr.kind) {
    case BoundKind::Constant:
      return expr.constant;
    case BoundKind::Column: {
      const EvalRow* source = &row;
      for (int d = 0; d < expr.depth; ++d) source = source->outer;
      return source->values[expr.column];
    }
    case BoundKind::Cast:
      return CastValue(Evaluate(*expr.children[0], row, context), expr.type, context.arena, expr.style);
    case BoundKind::Unary:
      return EvalUnary(expr.unary_op, Evaluate(*expr.children[0], row, context), expr.type);
    case BoundKind::Arithmetic: {
      Value left = Evaluate(*expr.children[0], row, context);
      Value right = Evaluate(*expr.children[1], row, context);
      return EvalBinary(expr.binary_op, left, right, expr.type, context.arena);
    }
    case BoundKind::Compare: {
      Value left = Evaluate(*expr.children[0], row, context);
      if (left.is_null) return UnknownBit();
      Value right = Evaluate(*expr.children[1], row, context);
      if (right.is_null) return UnknownBit();
      return Bit(CompareResult(expr.compare_op, CompareValues(left, right)));
    }
    case BoundKind::And: {
      Value left = Evaluate(*expr.children[0], row, context);
      if (!left.is_null && left.i == 0) return Bit(false);
      Value right = Evaluate(*expr.children[1], row, context);
      if (!right.is_null && right.i == 0) return Bit(false);
      return left.is_null || right.is_null ? UnknownBit() : Bit(true);
    }
    case BoundKind::Or: {
      Value left = Evaluate(*expr.children[0], row, context);
      if (IsTrue(left)) return Bit(true);
      Value right = Evaluate(*expr.children[1], row, context);
      if (IsTrue(right)) return Bit(true);
      return left.is_null || right.is_null ? UnknownBit() : Bit(false);
    }
    case BoundKind::Not: {
      Value operand = Evaluate(*expr.children[0], row, context);
      return operand.is_null ? UnknownBit() : Bit(operand.i == 0);
    }
    case BoundKind::IsNull:
      return Bit(Evaluate(*expr.children[0], row, context).is_null != expr.negated);
    case BoundKind::Like: {
      Value value = Evaluate(*expr.children[0], row, context);
      if (expr.like_pattern) {
        if (value.is_null) return UnknownBit();
        return Bit(expr.like_pattern->Matches(value.s()) != expr.negated);
      }
      Value pattern = Evaluate(*expr.children[1], row, context);
      char32_t escape = 0;
      if (expr.children.size() > 2) {
        Value escape_text = Evaluate(*expr.children[2], row, context);
        if (escape_text.is_null) return UnknownBit();
        escape = collation::FirstCodePoint(escape_text.s());
      }
      if (value.is_null || pattern.is_null) return UnknownBit();
      return Bit(collation::Like(value.s(), pattern.s(), escape) != expr.negated);
    }
    case BoundKind::InSubquery:
      return EvaluateIn(expr, row, context);
    case BoundKind::Exists: {
      Relation scratch;
      return Bit(SubqueryRows(expr, row, context, scratch).rows > 0);
    }
    case BoundKind::ScalarSubquery: {
      Relation scratch;
      const Relation& rows = SubqueryRows(expr, row, context, scratch);
      if (rows.rows > 1) Throw(ErrorCode::kSubqueryReturnedMoreThanOne, {}, expr.line);
      return rows.rows == 0 ? Value::Null(expr.type.id) : rows.Row(0)[0];
    }
    case BoundKind::Case: {
      size_t pairs = (expr.children.size() - (expr.has_else ? 1 : 0)) / 2;
      for (size_t i = 0; i < pairs; ++i) {
        if (IsTrue(Evaluate(*expr.children[2 * i], row, context))) {
          return Evaluate(*expr.children[2 * i + 1], row, context);
        }
      }
      return expr.has_else ? Evaluate(*expr.children.back(), row, context) : Value::Null(expr.type.id);
    }
    case BoundKind::Function:
      return EvaluateFunction(expr, row, context);
    case BoundKind::ObjectId: {
      Value name = Evaluate(*expr.children[0], row, context);
      return name.is_null ? Value::Null(TypeId::Int) : ObjectIdOf(name.s(), context);
    }
    case BoundKind::Aggregate:
    case BoundKind::Grouping:
      break;
  }
  Throw(ErrorCode::kInternal, {"an aggregate outside its grouped query"}, expr.line);
}

}  // namespace

Value EvaluateExpression(const BoundExpr& expr, const EvalRow& row, ExecContext& context) {
  try {
    return EvaluateNode(expr, row, context);
  } catch (SqlError& error) {
    if (error.line() == 0) error.set_line(expr.line);
    throw;
  }
}

}  // namespace orv::engine
