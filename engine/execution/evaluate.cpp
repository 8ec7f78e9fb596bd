// Expression evaluation. Conversions were made explicit by the binder, so
// every node computes in the types it was given; runtime errors take the
// line of the node that raised them.
#include "engine/execution/evaluate.h"

#include "engine/common/ascii.h"
#include "engine/common/collation.h"
#include "engine/common/errors.h"
#include "engine/common/stack_depth.h"
#include "engine/execution/executor.h"
#include "engine/execution/object_name.h"
#include "engine/execution/stored_in_set.h"

namespace orv::engine {
namespace {


Value Bit(bool b) { return Value::Integer(TypeId::Bit, b ? 1 : 0); }
Value UnknownBit() { return Value::Null(TypeId::Bit); }

// The id of the object a name like 'tempdb..#x', '#x', 'dbo.t' or '[t]'
// names; with a type ('U', 'V' ...) only an object of that type.
Value ObjectIdOf(std::string_view text, const Value& type, ExecContext& context) {
  std::string_view last = text;
  size_t dot = text.rfind('.');
  if (dot != std::string_view::npos) last = text.substr(dot + 1);
  std::string name(last);
  if (name.size() >= 2 && name.front() == '[' && name.back() == ']') name = name.substr(1, name.size() - 2);
  while (!name.empty() && name.back() == ' ') name.pop_back();
  std::optional<CatalogObject> object;
  if (!name.empty() && name[0] == '#') {
    if (auto table = context.session.FindTemp(name)) object = CatalogObject{name, table->object_id(), "U", "USER_TABLE", 0, 0};
  } else {
    object = context.catalog.FindObject(name);
  }
  if (object && !type.is_null) {
    std::string wanted = AsciiUpper(type.s());
    while (!wanted.empty() && wanted.back() == ' ') wanted.pop_back();
    if (wanted != object->type) object.reset();
  }
  return object ? Value::Integer(TypeId::Int, object->object_id) : Value::Null(TypeId::Int);
}

// The rows of a subquery, no more than `limit` of them: EXISTS needs one row
// and a scalar subquery two (to tell 512), so their inputs stop early.
const Relation& SubqueryRows(const bound::Subquery& subquery, const EvalRow& row, ExecContext& context,
                             Relation& scratch, size_t limit = SIZE_MAX) {
  const PlanNode& plan = context.SubqueryPlan(*subquery.query);
  auto run = [&](const EvalRow* outer) {
    return limit == SIZE_MAX ? ExecutePlan(plan, context, outer) : StreamFirstRows(plan, context, outer, limit);
  };
  if (!subquery.correlated) {
    auto it = context.subquery_results.find(subquery.query.get());
    if (it == context.subquery_results.end()) it = context.subquery_results.emplace(subquery.query.get(), run(nullptr)).first;
    return it->second;
  }
  scratch = run(&row);
  return scratch;
}

// A correlated x IN (subquery): its rows are read until one matches.
Value SearchCorrelatedIn(const Value& value, const bound::InSubquery& in, const EvalRow& row, ExecContext& context) {
  Value result = Bit(false);
  const bool null_value = value.is_null;
  Value x = null_value ? value : CastValue(value, in.compare_type, context.arena);
  StreamWhile(context.SubqueryPlan(*in.query), context, &row, [&](const Value* candidate_row) {
    const Value& candidate = candidate_row[0];
    if (null_value || candidate.is_null) {
      // Unknown, unless a later row matches; a NULL x matches nothing.
      result = UnknownBit();
      return !null_value;
    }
    if (CompareValues(x, CastValue(candidate, in.compare_type, context.arena)) == 0) {
      result = Bit(true);
      return false;
    }
    return true;
  });
  return result;
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
      // Hashed straight from the stream: the subquery's rows are never stored.
      InSet set;
      const PlanNode& listed = context.SubqueryPlan(*in.query);
      auto add = [&](const Value* candidate_row) {
        const Value& candidate = candidate_row[0];
        if (candidate.is_null) {
          set.has_null = true;
          return;
        }
        Value converted = CastValue(candidate, in.compare_type, context.arena);
        bool inserted = false;
        set.values.FindOrInsert(&converted, inserted);
      };
      if (!FillStoredInSet(listed, in.compare_type, context, set)) StreamPlan(listed, context, nullptr, add);
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
    result = SearchCorrelatedIn(value, in, row, context);
  }
  if (in.negated && !result.is_null) result.i = !result.i;
  return result;
}

// x IN (constants): as x = c1 OR x = c2 ..., by one lookup.
Value EvaluateInList(const bound::InList& in, const EvalRow& row, ExecContext& context) {
  Value value = Evaluate(*in.value, row, context);
  if (value.is_null) return UnknownBit();
  if (in.constants->Find(&value) >= 0) return Bit(!in.negated);
  return in.has_null ? UnknownBit() : Bit(in.negated);
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

// Non-Unicode LIKE ignores the trailing blanks of the matched value ('abc  '
// LIKE 'abc' is true); Unicode LIKE, where any operand is nchar/nvarchar,
// keeps them. Blanks of the pattern always count.
bool BlankPaddedLike(const bound::Like& like) {
  auto unicode = [](const BoundExprPtr& e) { return e && IsUnicode(e->type.id); };
  return !unicode(like.value) && !unicode(like.pattern) && !unicode(like.escape);
}

template <typename Match>
bool MatchesLike(const bound::Like& like, std::string_view value, Match match) {
  if (match(value)) return true;
  if (value.empty() || value.back() != ' ' || !BlankPaddedLike(like)) return false;
  return match(value.substr(0, value.find_last_not_of(' ') + 1));
}

}  // namespace

bool CompiledLikeHolds(const bound::Like& like, std::string_view value) {
  return MatchesLike(like, value, [&](std::string_view v) { return like.compiled->Matches(v); }) != like.negated;
}

namespace {

Value EvaluateLike(const bound::Like& like, const EvalRow& row, ExecContext& context) {
  Value value = Evaluate(*like.value, row, context);
  if (like.compiled) return value.is_null ? UnknownBit() : Bit(CompiledLikeHolds(like, value.s()));
  Value pattern = Evaluate(*like.pattern, row, context);
  char32_t escape = 0;
  if (like.escape) {
    Value escape_text = Evaluate(*like.escape, row, context);
    if (escape_text.is_null) return UnknownBit();
    escape = collation::FirstCodePoint(escape_text.s());
  }
  if (value.is_null || pattern.is_null) return UnknownBit();
  return Bit(MatchesLike(like, value.s(),
                         [&](std::string_view v) { return collation::Like(v, pattern.s(), escape); }) != like.negated);
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
      if (cast.is_try) return TryCastValue(Evaluate(*cast.operand, row, context), expr.type, context.arena, cast.style);
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
    case BoundKind::InList:
      return EvaluateInList(NodeOf<BoundKind::InList>(expr), row, context);
    case BoundKind::Exists: {
      Relation scratch;
      return Bit(SubqueryRows(NodeOf<BoundKind::Exists>(expr), row, context, scratch, 1).rows > 0);
    }
    case BoundKind::ScalarSubquery: {
      Relation scratch;
      const Relation& rows = SubqueryRows(NodeOf<BoundKind::ScalarSubquery>(expr), row, context, scratch, 2);
      if (rows.rows > 1) Throw(ErrorCode::kSubqueryReturnedMoreThanOne, {}, expr.line);
      return rows.rows == 0 ? Value::Null(expr.type.id) : rows.Row(0)[0];
    }
    case BoundKind::Case:
      return EvaluateCase(expr, NodeOf<BoundKind::Case>(expr), row, context);
    case BoundKind::Function:
      return EvaluateFunction(expr, NodeOf<BoundKind::Function>(expr), row, context);
    case BoundKind::ObjectId: {
      const auto& lookup = NodeOf<BoundKind::ObjectId>(expr);
      Value name = Evaluate(*lookup.object_name, row, context);
      Value type = lookup.object_type ? Evaluate(*lookup.object_type, row, context) : Value::Null(TypeId::NVarChar);
      return name.is_null ? Value::Null(TypeId::Int) : ObjectIdOf(name.s(), type, context);
    }
    case BoundKind::ObjectName:
      return EvaluateObjectName(NodeOf<BoundKind::ObjectName>(expr), row, context);
    case BoundKind::Variable:
      return *NodeOf<BoundKind::Variable>(expr).value;
    case BoundKind::Aggregate:
    case BoundKind::Grouping:
    case BoundKind::Window:
      break;
  }
  Throw(ErrorCode::kInternal, {"an aggregate outside its grouped query"}, expr.line);
}

}  // namespace

Value EvaluateExpression(const BoundExpr& expr, const EvalRow& row, ExecContext& context) {
  CheckStackDepth();
  try {
    return EvaluateNode(expr, row, context);
  } catch (SqlError& error) {
    if (error.line() == 0) error.set_line(expr.line);
    throw;
  }
}

}  // namespace orv::engine
