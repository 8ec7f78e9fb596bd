// SUM, COUNT, AVG, MIN, MAX and STRING_AGG: their result types and their running state
// (STDEV, STDEVP, VAR and VARP keep theirs in variance.cpp).
// Sums of exact numbers are kept exact in 128 bits at the argument's scale;
// overflow of the result type raises 8115 as SQL Server does.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

#include "engine/common/decimal.h"
#include "engine/function/scalar.h"
#include "engine/function/value_util.h"
#include "engine/function/variance.h"

namespace orv::engine {
namespace {

std::string_view KindName(AggregateKind kind) {
  switch (kind) {
    case AggregateKind::Sum:
      return "sum";
    case AggregateKind::Avg:
      return "avg";
    case AggregateKind::Min:
      return "min";
    case AggregateKind::Max:
      return "max";
    case AggregateKind::StDev:
      return "stdev";
    case AggregateKind::StDevP:
      return "stdevp";
    case AggregateKind::Var:
      return "var";
    case AggregateKind::VarP:
      return "varp";
    default:
      return "count";
  }
}

// The sum's type: int for the small integers, the argument's otherwise,
// decimal(38,s) for decimals.
DataType SumType(const DataType& argument) {
  switch (argument.id) {
    case TypeId::TinyInt:
    case TypeId::SmallInt:
    case TypeId::Int:
      return {TypeId::Int};
    case TypeId::Decimal: {
      auto t = decimal::SumType({argument.precision, argument.scale});
      return {TypeId::Decimal, static_cast<uint8_t>(t.precision), static_cast<uint8_t>(t.scale)};
    }
    default:
      return argument;
  }
}

void AddExact(AggregateState& state, Int128 amount, const DataType& argument_type) {
  // 38 digits is the widest any exact sum may grow; two 38-digit numbers can
  // pass what 128 bits hold, so the addition itself is checked too.
  Int128& sum = state.running.dec;
  if (__builtin_add_overflow(sum, amount, &sum) || !decimal::FitsMaxPrecision(sum)) {
    detail::ThrowExpressionOverflow(TypeId::Decimal);
  }
  // Integer SUM and AVG accumulate in their result type (int for the small
  // integers, bigint for bigint), so the running total overflows as it passes
  // that type's range even when the final average would fit.
  if (!IsInteger(argument_type.id)) return;
  const TypeId running_type = SumType(argument_type).id;
  if (!detail::IntegerFits(running_type, sum)) detail::ThrowExpressionOverflow(running_type);
}

// A float sum that leaves the finite range raises 8115 instead of becoming inf.
void AddFloat(double& sum, double amount) {
  sum += amount;
  if (!std::isfinite(sum)) detail::ThrowExpressionOverflow(TypeId::Float);
}

// STRING_AGG's text grows in the arena by doubling, so a group of n values
// copies O(n) bytes in all rather than O(n^2).
void AppendText(AggregateState& state, std::string_view text, std::string_view separator, StringArena& arena) {
  const std::string_view before = state.running.s();
  const std::string_view gap = state.has_value ? separator : std::string_view();
  const size_t size = before.size() + gap.size() + text.size();
  char* at = const_cast<char*>(before.data());
  if (size > static_cast<size_t>(state.count)) {
    const size_t room = std::max<size_t>(size, 2 * static_cast<size_t>(state.count));
    at = arena.Allocate(room);
    if (!before.empty()) std::memcpy(at, before.data(), before.size());
    state.count = static_cast<int64_t>(room);
  }
  if (!gap.empty()) std::memcpy(at + before.size(), gap.data(), gap.size());
  if (!text.empty()) std::memcpy(at + before.size() + gap.size(), text.data(), text.size());
  state.running.type = TypeId::NVarChar;
  state.running.is_null = false;
  state.running.set_s({at, size});
  state.has_value = true;
}

}  // namespace

bool LookupAggregate(std::string_view upper_name, AggregateKind& kind) {
  if (upper_name == "SUM") {
    kind = AggregateKind::Sum;
  } else if (upper_name == "COUNT" || upper_name == "COUNT_BIG") {  // COUNT_BIG's binder types it bigint
    kind = AggregateKind::Count;
  } else if (upper_name == "MIN") {
    kind = AggregateKind::Min;
  } else if (upper_name == "MAX") {
    kind = AggregateKind::Max;
  } else if (upper_name == "AVG") {
    kind = AggregateKind::Avg;
  } else if (upper_name == "STDEV") {
    kind = AggregateKind::StDev;
  } else if (upper_name == "STDEVP") {
    kind = AggregateKind::StDevP;
  } else if (upper_name == "VAR") {
    kind = AggregateKind::Var;
  } else if (upper_name == "VARP") {
    kind = AggregateKind::VarP;
  } else {
    return false;
  }
  return true;
}

DataType AggregateResultType(AggregateKind kind, const DataType& argument) {
  if (kind == AggregateKind::Count || kind == AggregateKind::CountStar) return {TypeId::Int};
  bool numeric = IsNumeric(argument.id) && argument.id != TypeId::Bit;
  if (kind == AggregateKind::Min || kind == AggregateKind::Max) {
    if (argument.id == TypeId::Bit) Throw(ErrorCode::kInvalidOperandType, {"bit", KindName(kind)});
    return argument.id == TypeId::Null ? DataType{TypeId::Int} : argument;
  }
  if (!numeric) Throw(ErrorCode::kInvalidOperandType, {TypeDisplayName(argument.id), KindName(kind)});
  if (detail::IsSpreadAggregate(kind)) return {TypeId::Float};
  if (kind == AggregateKind::Avg && argument.id == TypeId::Decimal) {
    auto t = decimal::AvgType({argument.precision, argument.scale});
    return {TypeId::Decimal, static_cast<uint8_t>(t.precision), static_cast<uint8_t>(t.scale)};
  }
  return SumType(argument);
}

void Accumulate(AggregateKind kind, AggregateState& state, const Value& argument, const DataType& argument_type,
                StringArena& arena, std::string_view separator) {
  if (kind == AggregateKind::CountStar) {
    ++state.count;
    return;
  }
  if (argument.is_null) return;
  if (kind == AggregateKind::StringAgg) return AppendText(state, argument.s(), separator, arena);
  ++state.count;
  state.has_value = true;
  if (detail::IsSpreadAggregate(kind)) return detail::AccumulateSpread(state, detail::ToDouble(argument));
  switch (kind) {
    case AggregateKind::Sum:
    case AggregateKind::Avg:
      if (argument.type == TypeId::Float) {
        AddFloat(state.running.f, argument.f);
      } else {
        AddExact(state, detail::UnscaledAt(argument, argument_type.scale), argument_type);
      }
      return;
    case AggregateKind::Min:
    case AggregateKind::Max: {
      bool first = state.count == 1;
      int order = first ? 0 : CompareValues(argument, state.running);
      if (first || (kind == AggregateKind::Min ? order < 0 : order > 0)) {
        state.running = argument;
        // The argument's text may not outlive this row; the extreme must.
        if (IsString(argument.type)) state.running.set_s(arena.Copy(argument.s()));
      }
      return;
    }
    default:
      return;
  }
}

void MergeAggregate(AggregateKind kind, AggregateState& into, const AggregateState& from,
                    const DataType& argument_type) {
  if (from.count == 0) return;
  bool first = into.count == 0;
  into.count += from.count;
  if (kind == AggregateKind::CountStar || !from.has_value) return;
  into.has_value = true;
  if (detail::IsSpreadAggregate(kind)) return detail::MergeSpread(into, from);
  switch (kind) {
    case AggregateKind::Sum:
    case AggregateKind::Avg:
      if (argument_type.id == TypeId::Float) {
        AddFloat(into.running.f, from.running.f);
      } else {
        AddExact(into, from.running.dec, argument_type);
      }
      return;
    case AggregateKind::Min:
    case AggregateKind::Max: {
      int order = first ? 0 : CompareValues(from.running, into.running);
      if (first || (kind == AggregateKind::Min ? order < 0 : order > 0)) into.running = from.running;
      return;
    }
    default:
      return;
  }
}

void FinishAggregate(AggregateKind kind, const AggregateState& state, const DataType& argument_type,
                     const DataType& result_type, Value& out) {
  if (kind == AggregateKind::Count || kind == AggregateKind::CountStar) {
    // int for COUNT, bigint for COUNT_BIG.
    if (!detail::IntegerFits(result_type.id, state.count)) detail::ThrowExpressionOverflow(result_type.id);
    out.SetInteger(result_type.id, state.count);
    return;
  }
  if (!state.has_value) return out.SetNull(result_type.id);
  if (detail::IsSpreadAggregate(kind)) return detail::FinishSpread(kind, state, out);
  if (kind == AggregateKind::StringAgg) {
    // Only the LOB types hold more than 8000 bytes (4000 UTF-16 characters).
    const int64_t limit = result_type.id == TypeId::NVarChar ? 4000 : 8000;
    if (result_type.length != DataType::kMaxLength && TextLength(result_type.id, state.running.s()) > limit) {
      Throw(ErrorCode::kStringAggTooLong);
    }
    out = Value::String(result_type.id, state.running.s());
    return;
  }
  if (kind == AggregateKind::Min || kind == AggregateKind::Max) {
    out = state.running;
    return;
  }
  bool avg = kind == AggregateKind::Avg;
  switch (result_type.id) {
    case TypeId::Float:
      out = Value::Double(avg ? state.running.f / static_cast<double>(state.count) : state.running.f);
      return;
    case TypeId::Decimal:
    case TypeId::Money: {
      Int128 total = state.running.dec;
      int scale = argument_type.scale;
      if (avg) {
        auto mean = decimal::Divide(total, scale, state.count, 0, {result_type.precision, result_type.scale});
        if (!mean) detail::ThrowExpressionOverflow(result_type.id);
        total = *mean;
      } else {
        total = decimal::Rescale(total, scale, result_type.scale);
      }
      if (result_type.id == TypeId::Money && !detail::IntegerFits(TypeId::BigInt, total)) {
        detail::ThrowExpressionOverflow(TypeId::Money);
      }
      // Field by field: the row is read right after, and a Value built
      // elsewhere and copied in stalls on its narrow header stores.
      out.type = result_type.id;
      out.is_null = false;
      out.precision = result_type.precision;
      out.scale = result_type.scale;
      out.dec = total;
      return;
    }
    default: {
      // Integer AVG truncates toward zero like integer division.
      Int128 total = avg ? state.running.dec / state.count : state.running.dec;
      if (!detail::IntegerFits(result_type.id, total)) detail::ThrowExpressionOverflow(result_type.id);
      out.SetInteger(result_type.id, static_cast<int64_t>(total));
    }
  }
}

}  // namespace orv::engine
