// The runtime's comparison operators between an automation value and a typed
// operand: Null makes the comparison Null; Empty is 0 beside a number and ""
// beside text; text beside a number is read as a number (13 when it is not
// one); two texts compare binary; exact numbers compare exactly.
#include <optional>

#include "platform/automation_error.h"
#include "platform/numeric_text.h"
#include "platform/ole_date.h"
#include "platform/variant.h"
#include "platform/variant_exact.h"

namespace orv::platform {
namespace {

enum class Kind { kEmpty, kText, kNumber };

Kind KindOf(const Variant& value) {
  switch (value.type()) {
    case VarType::Empty:
      return Kind::kEmpty;
    case VarType::String:
      return Kind::kText;
    case VarType::Object:
    case VarType::Null:  // handled before
      RaiseRuntimeError(kErrTypeMismatch);
    default:
      return Kind::kNumber;
  }
}

int Order(double a, double b) { return a < b ? -1 : (a > b ? 1 : 0); }

// The number a text stands for beside `number`: a date text beside a date, else numeric text.
double TextAsNumber(const Variant& text, const Variant& number) {
  if (number.type() == VarType::Date) {
    if (const auto civil = ParseDateText(text.ToString())) return ToOleDate(*civil);
  }
  return text.ToDouble();  // raises 13 for text that is not a number
}

int CompareNumbers(const Variant& a, const Variant& b) {
  const std::optional<Exact> exact_a = AsExact(a);
  const std::optional<Exact> exact_b = AsExact(b);
  if (exact_a && exact_b) return CompareExact(*exact_a, *exact_b);
  return Order(a.ToDouble(), b.ToDouble());
}

int CompareTexts(const std::string& a, const std::string& b) {
  // Byte order of UTF-8 is code point order.
  const int c = a.compare(b);
  return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

}  // namespace

Comparison Compare(const Variant& value, const Variant& other) {
  if (value.IsNull() || other.IsNull()) return Comparison{0, true};
  const Kind a = KindOf(value);
  const Kind b = KindOf(other);
  if (a == Kind::kText && b == Kind::kText) return Comparison{CompareTexts(value.ToString(), other.ToString())};
  if (a == Kind::kText && b == Kind::kEmpty) return Comparison{CompareTexts(value.ToString(), "")};
  if (a == Kind::kEmpty && b == Kind::kText) return Comparison{CompareTexts("", other.ToString())};
  if (a == Kind::kText) return Comparison{Order(TextAsNumber(value, other), other.ToDouble())};
  if (b == Kind::kText) return Comparison{Order(value.ToDouble(), TextAsNumber(other, value))};
  return Comparison{CompareNumbers(value, other)};  // numbers and Empty (as 0)
}

bool Equals(const Variant& value, const Variant& other) {
  const Comparison c = Compare(value, other);
  return !c.is_null && c.order == 0;
}

bool GreaterThan(const Variant& value, const Variant& other) {
  const Comparison c = Compare(value, other);
  return !c.is_null && c.order > 0;
}

bool GreaterOrEqual(const Variant& value, const Variant& other) {
  const Comparison c = Compare(value, other);
  return !c.is_null && c.order >= 0;
}

}  // namespace orv::platform
