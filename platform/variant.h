// Automation values (the VARIANT of the host platform): what condition
// dictionaries hold, what record set fields return and what the component's
// routines pass around. Text is UTF-8 inside. Conversions and comparisons
// follow the automation runtime: an Empty value equals "" and equals 0,
// numeric text compares as its number, and failures raise runtime error 13
// (type mismatch) or 6 (overflow) as AutomationError.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace orv::platform {

class Object;  // an automation object (platform/object.h)

// The variant type codes of the platform (VT_*), used by TypeName-like checks.
enum class VarType : uint16_t {
  Empty = 0,
  Null = 1,
  Integer = 2,   // 16-bit
  Long = 3,      // 32-bit
  Double = 5,
  Currency = 6,  // 64-bit scaled by 10,000
  Date = 7,      // days since 1899-12-30 as a double (OLE date)
  String = 8,
  Object = 9,
  Boolean = 11,
  Decimal = 14,  // 96-bit mantissa with a scale of 0..28; kept here as 128-bit
};

class Variant {
 public:
  Variant();  // Empty
  Variant(int16_t v);
  Variant(int32_t v);
  Variant(double v);
  Variant(bool v);
  Variant(std::string v);
  Variant(std::string_view v);
  Variant(const char* v);
  Variant(std::shared_ptr<Object> v);

  static Variant Null();
  static Variant Currency(int64_t scaled_by_10000);
  static Variant Decimal(__int128 unscaled, int scale);
  static Variant Date(double ole_date);

  VarType type() const { return type_; }
  bool IsEmpty() const { return type_ == VarType::Empty; }
  bool IsNull() const { return type_ == VarType::Null; }
  bool IsObject() const { return type_ == VarType::Object; }
  bool IsNumeric() const;  // a number, or text that reads as one (IsNumeric of the runtime)

  // Conversions of the runtime (CStr, CDbl, CInt, CLng, CBool). Null raises 94
  // ("Invalid use of Null"); text that is not a number raises 13; a number
  // outside the target's range raises 6.
  std::string ToString() const;
  double ToDouble() const;
  int16_t ToInteger() const;
  int32_t ToLong() const;
  bool ToBool() const;
  std::shared_ptr<Object> ToObject() const;  // 13 unless an object (or Nothing)

  // Len() of the value's text: characters, not bytes. Empty gives 0; Null
  // gives 0 as well, since the callers only test "length > 0".
  size_t TextLength() const;

  // Raw access for the record set and the formatter.
  int64_t currency() const { return currency_; }
  __int128 decimal_unscaled() const { return decimal_; }
  int decimal_scale() const { return scale_; }
  double date() const { return number_; }
  std::string_view text() const { return text_; }  // a String's text, without a copy

 private:
  VarType type_ = VarType::Empty;
  bool bool_ = false;
  int scale_ = 0;
  int64_t integer_ = 0;
  int64_t currency_ = 0;
  __int128 decimal_ = 0;
  double number_ = 0;
  std::string text_;
  std::shared_ptr<Object> object_;
};

// The comparison operators of the runtime between a Variant `value` and a
// typed operand `other` (a literal such as 0 or "" in the routine's code):
// Empty compares as 0 with a number and as "" with text; text compares with a
// number as its number (13 when it is not one); two texts compare binary.
// Returns -1, 0 or 1; Null in either operand gives `std::nullopt`-like
// behaviour through `is_null`, which is true when the comparison is Null
// (and the If statement then takes the false branch).
struct Comparison {
  int order = 0;
  bool is_null = false;
};
Comparison Compare(const Variant& value, const Variant& other);

// Shorthands for the routine-style tests; each is false when the comparison is Null.
bool Equals(const Variant& value, const Variant& other);
bool GreaterThan(const Variant& value, const Variant& other);
bool GreaterOrEqual(const Variant& value, const Variant& other);

}  // namespace orv::platform
