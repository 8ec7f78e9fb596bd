// 256-bit unsigned arithmetic on 64-bit limbs. Division takes the short path
// whenever the divisor fits in 64 bits (the common case: dividing by a power
// of ten when a result is rounded) and falls back to shift-and-subtract.
#include "engine/common/decimal_wide.h"

namespace orv::engine::decimal {
namespace {

using U64 = uint64_t;

// Limbs, least significant first.
struct Limbs {
  U64 w[4];
};

Limbs ToLimbs(const U256& a) {
  return Limbs{{static_cast<U64>(a.lo), static_cast<U64>(a.lo >> 64), static_cast<U64>(a.hi),
                static_cast<U64>(a.hi >> 64)}};
}

U256 FromLimbs(const Limbs& l) {
  return U256{(static_cast<U128>(l.w[3]) << 64) | l.w[2], (static_cast<U128>(l.w[1]) << 64) | l.w[0]};
}

U256 ShiftLeft1(const U256& a) { return U256{(a.hi << 1) | (a.lo >> 127), a.lo << 1}; }

int BitLength(const U256& a) {
  if (a.hi != 0) {
    U64 top = static_cast<U64>(a.hi >> 64);
    return top != 0 ? 256 - __builtin_clzll(top) : 192 - __builtin_clzll(static_cast<U64>(a.hi));
  }
  U64 top = static_cast<U64>(a.lo >> 64);
  if (top != 0) return 128 - __builtin_clzll(top);
  U64 low = static_cast<U64>(a.lo);
  return low != 0 ? 64 - __builtin_clzll(low) : 0;
}

bool TestBit(const U256& a, int bit) {
  return bit >= 128 ? ((a.hi >> (bit - 128)) & 1) != 0 : ((a.lo >> bit) & 1) != 0;
}

void DivModSmall(const U256& a, U64 divisor, U256* quotient, U256* remainder) {
  Limbs l = ToLimbs(a);
  U128 rem = 0;
  for (int i = 3; i >= 0; --i) {
    U128 cur = (rem << 64) | l.w[i];
    l.w[i] = static_cast<U64>(cur / divisor);
    rem = cur % divisor;
  }
  *quotient = FromLimbs(l);
  *remainder = U256::From(rem);
}

}  // namespace

U256 Add(const U256& a, const U256& b, bool* carry) {
  U256 r;
  r.lo = a.lo + b.lo;
  U128 c = r.lo < a.lo ? 1 : 0;
  r.hi = a.hi + b.hi + c;
  *carry = r.hi < a.hi || (r.hi == a.hi && (b.hi != 0 || c != 0));
  return r;
}

U256 Sub(const U256& a, const U256& b) {
  U256 r;
  r.lo = a.lo - b.lo;
  U128 borrow = a.lo < b.lo ? 1 : 0;
  r.hi = a.hi - b.hi - borrow;
  return r;
}

U256 Mul(U128 a, U128 b) {
  U128 a0 = static_cast<U64>(a), a1 = a >> 64;
  U128 b0 = static_cast<U64>(b), b1 = b >> 64;
  U128 p00 = a0 * b0, p01 = a0 * b1, p10 = a1 * b0, p11 = a1 * b1;
  U128 mid = (p00 >> 64) + static_cast<U64>(p01) + static_cast<U64>(p10);
  U256 r;
  r.lo = (mid << 64) | static_cast<U64>(p00);
  r.hi = p11 + (p01 >> 64) + (p10 >> 64) + (mid >> 64);
  return r;
}

U256 MulSmall(const U256& a, uint64_t m, bool* overflow) {
  Limbs l = ToLimbs(a);
  U128 carry = 0;
  for (U64& w : l.w) {
    U128 cur = static_cast<U128>(w) * m + carry;
    w = static_cast<U64>(cur);
    carry = cur >> 64;
  }
  *overflow = carry != 0;
  return FromLimbs(l);
}

U256 MulPow10(const U256& a, int n, bool* overflow) {
  // 10^19 is the largest power of ten below 2^64.
  static constexpr U64 kPow10[20] = {1ULL,
                                     10ULL,
                                     100ULL,
                                     1000ULL,
                                     10000ULL,
                                     100000ULL,
                                     1000000ULL,
                                     10000000ULL,
                                     100000000ULL,
                                     1000000000ULL,
                                     10000000000ULL,
                                     100000000000ULL,
                                     1000000000000ULL,
                                     10000000000000ULL,
                                     100000000000000ULL,
                                     1000000000000000ULL,
                                     10000000000000000ULL,
                                     100000000000000000ULL,
                                     1000000000000000000ULL,
                                     10000000000000000000ULL};
  U256 r = a;
  *overflow = false;
  while (n > 0 && !*overflow) {
    int step = n > 19 ? 19 : n;
    r = MulSmall(r, kPow10[step], overflow);
    n -= step;
  }
  return r;
}

void DivMod(const U256& a, const U256& b, U256* quotient, U256* remainder) {
  if (a.FitsU128() && b.FitsU128()) {
    *quotient = U256::From(a.lo / b.lo);
    *remainder = U256::From(a.lo % b.lo);
    return;
  }
  if (b.FitsU128() && (b.lo >> 64) == 0) {
    DivModSmall(a, static_cast<U64>(b.lo), quotient, remainder);
    return;
  }
  U256 q, r;
  for (int bit = BitLength(a) - 1; bit >= 0; --bit) {
    r = ShiftLeft1(r);
    if (TestBit(a, bit)) r.lo |= 1;
    q = ShiftLeft1(q);
    if (b <= r) {
      r = Sub(r, b);
      q.lo |= 1;
    }
  }
  *quotient = q;
  *remainder = r;
}

}  // namespace orv::engine::decimal
