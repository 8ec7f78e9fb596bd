// FORMAT(value, format [, culture]): numbers and dates as .NET formats them,
// with the standard patterns (N, C, P, F, D, X, G; d, D, t, T, f, F, g, G,
// M, Y, s, u, o) and custom ones ('#,##0.00', 'dd/MM/yyyy HH:mm'). A format
// .NET would reject gives NULL, as SQL Server returns; an unknown culture is
// error 9818.
#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <optional>
#include <string>

#include "engine/common/ascii.h"
#include "engine/common/decimal.h"
#include "engine/common/temporal.h"
#include "engine/function/format_culture.h"
#include "engine/function/registry.h"
#include "engine/function/value_util.h"

namespace orv::engine::detail {
namespace {

// ---------------------------------------------------------------- numbers

// A number as decimal digits: sign, integer digits (no leading zeros but
// one) and fraction digits.
struct Digits {
  bool negative = false;
  std::string integer;
  std::string fraction;
};

Digits DigitsOf(const Value& v, bool trim_money) {
  std::string text;
  switch (v.type) {
    case TypeId::Decimal:
    case TypeId::Money:
      text = decimal::ToString(v.dec, v.scale);
      break;
    case TypeId::Float: {
      char buffer[64];
      std::snprintf(buffer, sizeof buffer, "%.15f", v.f);
      text = buffer;
      break;
    }
    default:
      text = std::to_string(v.i);
  }
  Digits d;
  if (!text.empty() && text[0] == '-') {
    d.negative = true;
    text.erase(0, 1);
  }
  const size_t point = text.find('.');
  d.integer = text.substr(0, point);
  if (point != std::string::npos) d.fraction = text.substr(point + 1);
  if (v.type == TypeId::Float || (trim_money && v.type == TypeId::Money)) {
    while (!d.fraction.empty() && d.fraction.back() == '0') d.fraction.pop_back();
  }
  if (d.integer.empty()) d.integer = "0";
  return d;
}

// Rounded half away from zero to `places` fraction digits (padded with zeros).
void RoundTo(Digits& d, size_t places) {
  if (d.fraction.size() <= places) {
    d.fraction.append(places - d.fraction.size(), '0');
    return;
  }
  const bool up = d.fraction[places] >= '5';
  d.fraction.resize(places);
  if (!up) return;
  std::string all = d.integer + d.fraction;
  size_t i = all.size();
  while (i > 0 && all[i - 1] == '9') all[--i] = '0';
  if (i == 0) {
    all.insert(all.begin(), '1');
  } else {
    ++all[i - 1];
  }
  d.integer = all.substr(0, all.size() - places);
  d.fraction = all.substr(all.size() - places);
}

bool IsZero(const Digits& d) { return d.integer.find_first_not_of('0') == std::string::npos &&
                                      d.fraction.find_first_not_of('0') == std::string::npos; }

std::string Grouped(const std::string& integer, std::string_view separator) {
  std::string out;
  for (size_t i = 0; i < integer.size(); ++i) {
    if (i > 0 && (integer.size() - i) % 3 == 0) out += separator;
    out.push_back(integer[i]);
  }
  return out;
}

std::string WithFraction(std::string integer, const std::string& fraction, const Culture& culture) {
  if (!fraction.empty()) integer += std::string(culture.decimal_point) + fraction;
  return integer;
}

std::string Substitute(std::string_view pattern, const std::string& number) {
  std::string out;
  for (char c : pattern) {
    if (c == 'n') {
      out += number;
    } else {
      out.push_back(c);
    }
  }
  return out;
}

std::optional<std::string> StandardNumber(const Value& v, char kind, int precision, const Culture& culture) {
  const bool integer = IsInteger(v.type);
  Digits d = DigitsOf(v, kind == 'G');
  switch (kind) {
    case 'N':
    case 'F':
    case 'C':
    case 'P': {
      if (kind == 'P') {
        d.fraction.append(2 - std::min<size_t>(2, d.fraction.size()), '0');
        d.integer += d.fraction.substr(0, 2);
        d.fraction.erase(0, 2);
        d.integer.erase(0, std::min(d.integer.find_first_not_of('0'), d.integer.size() - 1));
      }
      RoundTo(d, static_cast<size_t>(precision < 0 ? 2 : precision));
      const bool negative = d.negative && !IsZero(d);
      std::string body = WithFraction(kind == 'F' ? d.integer : Grouped(d.integer, culture.group_separator),
                                      d.fraction, culture);
      if (kind == 'C') return Substitute(negative ? culture.currency_negative : culture.currency_positive, body);
      if (kind == 'P') body = Substitute(culture.percent, body);
      return negative ? "-" + body : body;
    }
    case 'D': {
      if (!integer) return std::nullopt;
      std::string digits = d.integer;
      if (precision > static_cast<int>(digits.size())) digits.insert(0, static_cast<size_t>(precision) - digits.size(), '0');
      return d.negative ? "-" + digits : digits;
    }
    case 'X': {
      if (!integer) return std::nullopt;
      // Negative numbers print their two's complement in the type's width.
      const int bits = v.type == TypeId::BigInt ? 64 : v.type == TypeId::Int ? 32 : v.type == TypeId::SmallInt ? 16 : 8;
      uint64_t x = static_cast<uint64_t>(v.i);
      if (bits < 64) x &= (uint64_t{1} << bits) - 1;
      char buffer[32];
      std::snprintf(buffer, sizeof buffer, "%llX", static_cast<unsigned long long>(x));
      std::string digits = buffer;
      if (precision > static_cast<int>(digits.size())) digits.insert(0, static_cast<size_t>(precision) - digits.size(), '0');
      return digits;
    }
    case 'G': {
      if (precision > 0) return std::nullopt;  // G with a precision: not worth its rules here
      const bool negative = d.negative && !IsZero(d);
      std::string body = WithFraction(d.integer, d.fraction, culture);
      return negative ? "-" + body : body;
    }
    default:
      return std::nullopt;
  }
}

// A custom pattern of 0 and # placeholders, one '.', ',' for grouping and
// literal text ('-', quoted, after '\'); '%' multiplies by a hundred.
std::optional<std::string> CustomNumber(const Value& v, std::string_view pattern, const Culture& culture) {
  if (pattern.find(';') != std::string_view::npos) Throw(ErrorCode::kNotSupported, {"A FORMAT pattern with sections"});
  struct Piece {
    char kind;  // '0', '#' or 'L' (literal)
    std::string text;
  };
  std::vector<Piece> integer_part, fraction_part;
  bool in_fraction = false, grouping = false, percent = false;
  for (size_t i = 0; i < pattern.size(); ++i) {
    const char c = pattern[i];
    auto& part = in_fraction ? fraction_part : integer_part;
    if (c == '0' || c == '#') {
      part.push_back({c, {}});
    } else if (c == '.' && !in_fraction) {
      in_fraction = true;
    } else if (c == ',' && !in_fraction) {
      grouping = true;
    } else if (c == '\\' && i + 1 < pattern.size()) {
      part.push_back({'L', std::string(1, pattern[++i])});
    } else if (c == '\'' || c == '"') {
      const size_t end = pattern.find(c, i + 1);
      if (end == std::string_view::npos) return std::nullopt;
      part.push_back({'L', std::string(pattern.substr(i + 1, end - i - 1))});
      i = end;
    } else {
      if (c == '%') percent = true;
      part.push_back({'L', c == '%' ? std::string(culture.percent.substr(culture.percent.find('%'))) : std::string(1, c)});
    }
  }
  Digits d = DigitsOf(v, false);
  if (percent) {
    d.fraction.append(2 - std::min<size_t>(2, d.fraction.size()), '0');
    d.integer += d.fraction.substr(0, 2);
    d.fraction.erase(0, 2);
  }
  size_t min_fraction = 0, max_fraction = 0, min_integer = 0, integer_places = 0;
  for (const Piece& p : fraction_part) {
    if (p.kind == 'L') continue;
    ++max_fraction;
    if (p.kind == '0') min_fraction = max_fraction;
  }
  for (const Piece& p : integer_part) {
    if (p.kind == 'L') continue;
    ++integer_places;
    if (p.kind == '0' || min_integer > 0) ++min_integer;
  }
  RoundTo(d, max_fraction);
  while (d.fraction.size() > min_fraction && d.fraction.back() == '0') d.fraction.pop_back();
  std::string digits = d.integer.substr(std::min(d.integer.find_first_not_of('0'), d.integer.size()));
  if (digits.size() < min_integer) digits.insert(0, min_integer - digits.size(), '0');
  // Integer digits fill the placeholders from the right; extra ones go to the first.
  std::string integer_text;
  if (grouping) {
    std::string prefix, suffix;
    bool seen = false;
    for (const Piece& p : integer_part) {
      if (p.kind != 'L') seen = true;
      else (seen ? suffix : prefix) += p.text;
    }
    integer_text = prefix + (digits.empty() ? "" : Grouped(digits, culture.group_separator)) + suffix;
  } else {
    size_t next = digits.size();
    size_t remaining = integer_places;
    for (auto it = integer_part.rbegin(); it != integer_part.rend(); ++it) {
      if (it->kind == 'L') {
        integer_text.insert(0, it->text);
        continue;
      }
      --remaining;
      const size_t take = remaining == 0 ? next : std::min<size_t>(1, next);
      integer_text.insert(0, digits.substr(next - take, take));
      next -= take;
    }
  }
  std::string fraction_text;
  size_t used = 0;
  for (const Piece& p : fraction_part) {
    if (p.kind == 'L') {
      fraction_text += p.text;
    } else if (used < d.fraction.size()) {
      fraction_text.push_back(d.fraction[used++]);
    }
  }
  std::string out = integer_text;
  if (!d.fraction.empty() || !fraction_part.empty()) {
    if (!d.fraction.empty()) out += culture.decimal_point;
    out += fraction_text;
  }
  return d.negative && !IsZero(d) ? "-" + out : out;
}

std::optional<std::string> FormatNumber(const Value& v, std::string_view format, const Culture& culture) {
  const bool standard = !format.empty() && std::isalpha(static_cast<unsigned char>(format[0])) &&
                        (format.size() == 1 || (format.size() <= 3 && AllDigits(format.substr(1))));
  if (!standard) return CustomNumber(v, format, culture);
  const int precision = format.size() > 1 ? std::stoi(std::string(format.substr(1))) : -1;
  return StandardNumber(v, static_cast<char>(std::toupper(static_cast<unsigned char>(format[0]))), precision,
                        culture);
}

DataType FormatType(std::span<const DataType> args, std::string_view) {
  CheckArity(args, "format", 2, 3);
  const TypeId id = args[0].id;
  if (!IsNumeric(id) && !IsDateOrTime(id) && id != TypeId::Null) {
    Throw(ErrorCode::kInvalidArgumentType, {TypeDisplayName(id), "1", "format"});
  }
  return {TypeId::NVarChar, 0, 0, kMaxNVarCharLength};
}

Value FormatEval(std::span<const Value> args, const DataType& result, std::string_view, EvalContext& context) {
  if (AnyNull(args)) return Value::Null(result.id);
  const std::string_view culture_name = args.size() == 3 ? TextOf(args[2], context) : std::string_view();
  const Culture* culture = FindCulture(culture_name);
  if (!culture) Throw(ErrorCode::kCultureNotSupported, {culture_name});
  const std::string_view format = TextOf(args[1], context);
  const std::optional<std::string> text = IsDateOrTime(args[0].type) ? FormatDateTime(args[0], format, *culture)
                                                                     : FormatNumber(args[0], format, *culture);
  return text ? MakeText(result.id, *text, context.arena) : Value::Null(result.id);
}

constexpr std::array kFunctions = {
    ScalarFunction{"FORMAT", 2, 3, FormatType, FormatEval},
};

}  // namespace

std::span<const ScalarFunction> FormatFunctions() { return kFunctions; }

}  // namespace orv::engine::detail
