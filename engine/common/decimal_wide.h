// Unsigned 256-bit integers made of two 128-bit halves: the intermediate of
// decimal arithmetic, where the product of two 38-digit numbers (or a dividend
// scaled up by 10^76) no longer fits in 128 bits. Only what decimal.cpp needs.
#pragma once

#include <cstdint>

namespace orv::engine::decimal {

using U128 = unsigned __int128;

struct U256 {
  U128 hi = 0;
  U128 lo = 0;

  static U256 From(U128 v) { return U256{0, v}; }
  bool IsZero() const { return hi == 0 && lo == 0; }
  bool FitsU128() const { return hi == 0; }
};

inline bool operator==(const U256& a, const U256& b) { return a.hi == b.hi && a.lo == b.lo; }
inline bool operator<(const U256& a, const U256& b) { return a.hi != b.hi ? a.hi < b.hi : a.lo < b.lo; }
inline bool operator<=(const U256& a, const U256& b) { return !(b < a); }

// a + b; `carry` is set when the sum leaves 256 bits.
U256 Add(const U256& a, const U256& b, bool* carry);
// a - b for a >= b.
U256 Sub(const U256& a, const U256& b);
// The full 256-bit product of two 128-bit numbers.
U256 Mul(U128 a, U128 b);
// a * m; `overflow` is set when the product leaves 256 bits.
U256 MulSmall(const U256& a, uint64_t m, bool* overflow);
// a * 10^n (n >= 0); `overflow` is set when the product leaves 256 bits.
U256 MulPow10(const U256& a, int n, bool* overflow);
// Quotient and remainder of a / b, b != 0.
void DivMod(const U256& a, const U256& b, U256* quotient, U256* remainder);

}  // namespace orv::engine::decimal
