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

const Relation& SubqueryRows(const bound::Subquery& subquery, const EvalRow& row, ExecContext& context,
                             Relation& scratch) {
  if (!subquery.correlated) {
    auto it = context.subquery_results.find(subquery.query.get());
    if (it == context.subquery_results.end()) {
      Relation rows = ExecutePlan(context.SubqueryPlan(*subquery.query), context, nullptr);
      it = context.subquery_results.emplace(subquery.query.get(), std::move(rows)).first;
    }
    return it->second;
  }
  scratch = ExecutePlan(context.SubqueryPlan(*subquery.query), context, &row);
  return scratch;
}

// x IN (subquery): true on a match; else unknown when x or some row is NULL
// (and the subquery has rows); else false. An uncorrelated subquery is
// hashed once; a correlated one is searched row by row.
Value EvaluateIn(const BoundExpr& expr, const bound::InSubquery& in, const EvalRow& row, ExecContext& context) {
  Value value = Evaluate(*in.value, row, context);
  Value result = Bit(false);
  if (!in.correlated) {
    auto it = context.in_sets.find(&expr);
    if (it == context.in_sets.end()) {
      Relation scratch;
      const Relation& rows = SubqueryRows(in, row, context, scratch);
      InSet set;
      for (size_t r = 0; r < rows.rows; ++r) {
        const Value& candidate = rows.Row(r)[0];
        if (candidate.is_null) {
          set.has_null = true;
          continue;
        }
        Value converted = CastValue(candidate, in.compare_type, context.arena);
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
        Value x = CastValue(value, in.compare_type, context.arena);
        result = set.values.Find(&x) >= 0 ? Bit(true) : (set.has_null ? UnknownBit() : Bit(false));
      }
    }
  } else {
    Relation scratch;
    const Relation& rows = SubqueryRows(in, row, context, scratch);
    if (rows.rows > 0) {
      if (value.is_null) {
        result = UnknownBit();
      } else {
        Value x = CastValue(value, in.compare_type, context.arena);
        for (size_t r = 0; r < rows.rows; ++r) {
          const Value& candidate = rows.Row(r)[0];
          if (candidate.is_null) {
            result = UnknownBit();
            continue;
          }
          if (CompareValues(x, CastValue(candidate, in.compare_type, context.arena)) == 0) {
            result = Bit(true);
            break;
          }
        }
      }
    }
  }
  if (in.negated && !result.is_null) result.i = !result.i;
  return result;
}

Value EvaluateFunction(const BoundExpr& expr, const bound::Function& call, const EvalRow& row, ExecContext& context) {
  constexpr size_t kInline = 8;
  const size_t count = call.arguments.size();
  Value inline_args[kInline];
  std::vector<Value> heap_args;
  Value* args = inline_args;
  if (count > kInline) {
    heap_args.resize(count);
    args = heap_args.data();
  }
  for (size_t i = 0; i < count; ++i) args[i] = Evaluate(*call.arguments[i], row, context);
  EvalContext eval_context{context.arena};
  return call.function->eval(std::span<const Value>(args, count), expr.type, call.datepart, eval_context);
}

Value EvaluateLike(const bound::Like& like, const EvalRow& row, ExecContext& context) {
  Value value = Evaluate(*like.value, row, context);
  if (like.compiled) {
    if (value.is_null) return UnknownBit();
    return Bit(like.compiled->Matches(value.s()) != like.negated);
  }
  Value pattern = Evaluate(*like.pattern, row, context);
  char32_t escape = 0;
  if (like.escape) {
    Value escape_text = Evaluate(*like.escape, row, context);
    if (escape_text.is_null) return UnknownBit();
    escape = collation::FirstCodePoint(escape_text.s());
  }
  if (value.is_null || pattern.is_null) return UnknownBit();
  return Bit(collation::Like(value.s(), pattern.s(), escape) != like.negated);
}

Value EvaluateCase(const BoundExpr& expr, const bound::Case& node, const EvalRow& row, ExecContext& context) {
  for (const bound::When& when : node.whens) {
    if (IsTrue(Evaluate(*when.condition, row, context))) return Evaluate(*when.result, row, context);
  }
  return node.otherwise ? Evaluate(*node.otherwise, row, context) : Value::Null(expr.type.id);
}

// The node of kind `K`: kind() has said which it holds.
template <BoundKind K>
const auto& NodeOf(const BoundExpr& expr) {
  return *std::get_if<static_cast<size_t>(K)>(&expr.node);
}

Value EvaluateNode(const BoundExpr& expr, const EvalRow& row, ExecContext& context) {
  switch (expr.kind()) {
    case BoundKind::Constant:
      return NodeOf<BoundKind::Constant>(expr).value;
    case BoundKind::Column: {
      const auto& column = NodeOf<BoundKind::Column>(expr);
      const EvalRow* source = &row;
      for (int d = 0; d < column.depth; ++d) source = source->outer;
      return source->values[column.position];
    }
    case BoundKind::Cast: {
      const auto& cast = NodeOf<BoundKind::Cast>(expr);
      return CastValue(Evaluate(*cast.operand, row, context), expr.type, context.arena, cast.style);
    }
    case BoundKind::Prefix: {
      const auto& prefix = NodeOf<BoundKind::Prefix>(expr);
      return EvalUnary(prefix.op, Evaluate(*prefix.operand, row, context), expr.type);
    }
    case BoundKind::Arithmetic: {
      const auto& arithmetic = NodeOf<BoundKind::Arithmetic>(expr);
      Value left = Evaluate(*arithmetic.left, row, context);
      Value right = Evaluate(*arithmetic.right, row, context);
      return EvalBinary(arithmetic.op, left, right, expr.type, context.arena);
    }
    case BoundKind::Compare: {
      const auto& compare = NodeOf<BoundKind::Compare>(expr);
      Value left = Evaluate(*compare.left, row, context);
      if (left.is_null) return UnknownBit();
      Value right = Evaluate(*compare.right, row, context);
      if (right.is_null) return UnknownBit();
      return Bit(CompareResult(compare.op, CompareValues(left, right)));
    }
    case BoundKind::And: {
      const auto& both = NodeOf<BoundKind::And>(expr);
      Value left = Evaluate(*both.left, row, context);
      if (!left.is_null && left.i == 0) return Bit(false);
      Value right = Evaluate(*both.right, row, context);
      if (!right.is_null && right.i == 0) return Bit(false);
      return left.is_null || right.is_null ? UnknownBit() : Bit(true);
    }
    case BoundKind::Or: {
      const auto& either = NodeOf<BoundKind::Or>(expr);
      Value left = Evaluate(*either.left, row, context);
      if (IsTrue(left)) return Bit(true);
      Value right = Evaluate(*either.right, row, context);
      if (IsTrue(right)) return Bit(true);
      return left.is_null || right.is_null ? UnknownBit() : Bit(false);
    }
    case BoundKind::Not: {
      Value operand = Evaluate(*NodeOf<BoundKind::Not>(expr).operand, row, context);
      return operand.is_null ? UnknownBit() : Bit(operand.i == 0);
    }
    case BoundKind::IsNull: {
      const auto& is_null = NodeOf<BoundKind::IsNull>(expr);
      return Bit(Evaluate(*is_null.operand, row, context).is_null != is_null.negated);
    }
    case BoundKind::Like:
      return EvaluateLike(NodeOf<BoundKind::Like>(expr), row, context);
    case BoundKind::InSubquery:
      return EvaluateIn(expr, NodeOf<BoundKind::InSubquery>(expr), row, context);
    case BoundKind::Exists: {
      Relation scratch;
      return Bit(SubqueryRows(NodeOf<BoundKind::Exists>(expr), row, context, scratch).rows > 0);
    }
    case BoundKind::ScalarSubquery: {
      Relation scratch;
      const Relation& rows = SubqueryRows(NodeOf<BoundKind::ScalarSubquery>(expr), row, context, scratch);
      if (rows.rows > 1) Throw(ErrorCode::kSubqueryReturnedMoreThanOne, {}, expr.line);
      return rows.rows == 0 ? Value::Null(expr.type.id) : rows.Row(0)[0];
    }
    case BoundKind::Case:
      return EvaluateCase(expr, NodeOf<BoundKind::Case>(expr), row, context);
    case BoundKind::Function:
      return EvaluateFunction(expr, NodeOf<BoundKind::Function>(expr), row, context);
    case BoundKind::ObjectId: {
      Value name = Evaluate(*NodeOf<BoundKind::ObjectId>(expr).object_name, row, context);
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
