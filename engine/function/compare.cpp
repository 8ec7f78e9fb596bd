// Ordering and hashing of values for comparison, sorting, grouping and joins:
// numbers by value whatever their scale, strings by the database collation,
// datetimes by ticks. Equal values hash equal.
#include <bit>
#include <cstring>

#include "engine/common/collation.h"
#include "engine/common/decimal.h"
#include "engine/function/scalar.h"
#include "engine/function/value_util.h"

namespace orv::engine {
namespace {

template <typename T>
int Order(T a, T b) {
  return a < b ? -1 : (a > b ? 1 : 0);
}

bool IsScaled(TypeId id) { return id == TypeId::Decimal || id == TypeId::Money; }

}  // namespace

uint64_t MixBits(uint64_t x) {
  x += 0x9E3779B97F4A7C15ULL;
  x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ULL;
  x = (x ^ (x >> 27)) * 0x94D049BB133111EBULL;
  return x ^ (x >> 31);
}

int CompareValues(const Value& a, const Value& b) {
  // NULLs sort first, as ORDER BY wants them; predicates never ask.
  if (a.is_null || b.is_null) return Order<int>(!a.is_null, !b.is_null);
  if (IsString(a.type) && IsString(b.type)) return collation::Compare(a.s(), b.s());
  if (IsInteger(a.type) && IsInteger(b.type)) return Order(a.i, b.i);
  if (a.type == TypeId::DateTime && b.type == TypeId::DateTime) return Order(a.dt, b.dt);
  if (IsDateOrTime(a.type) && a.type == b.type) return Order(a.i, b.i);
  if (a.type == TypeId::Float || b.type == TypeId::Float) return Order(detail::ToDouble(a), detail::ToDouble(b));
  if (IsExactNumeric(a.type) && IsExactNumeric(b.type)) {
    Int128 av = IsScaled(a.type) ? a.dec : a.i;
    Int128 bv = IsScaled(b.type) ? b.dec : b.i;
    return decimal::Compare(av, IsScaled(a.type) ? a.scale : 0, bv, IsScaled(b.type) ? b.scale : 0);
  }
  Throw(ErrorCode::kInternal, {"values of different types compared"});
}

uint64_t HashValue(const Value& v) {
  if (v.is_null) return 0x6E756C6CULL;
  if (IsString(v.type)) return collation::Hash(v.s());
  if (IsDateOrTime(v.type)) return MixBits(static_cast<uint64_t>(v.dt) ^ 0xD7);
  if (v.type == TypeId::Float) {
    double f = v.f == 0 ? 0.0 : v.f;  // -0.0 equals 0.0
    return MixBits(std::bit_cast<uint64_t>(f));
  }
  // Exact numbers hash their value with trailing zero decimals removed, so
  // 5, 5.0 and 5.0000 land together.
  Int128 x = IsScaled(v.type) ? v.dec : v.i;
  int scale = IsScaled(v.type) ? v.scale : 0;
  if (x == 0) scale = 0;
  while (scale > 0 && x % 10 == 0) {
    x /= 10;
    --scale;
  }
  uint64_t low = static_cast<uint64_t>(x);
  uint64_t high = static_cast<uint64_t>(x >> 64);
  return MixBits(low ^ MixBits(high + static_cast<uint64_t>(scale)));
}

}  // namespace orv::engine
