// Fills RAISERROR's message markers one by one with snprintf, after checking
// that each argument is of the kind its marker wants.
#include "engine/execution/raiserror_format.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "engine/common/ascii.h"
#include "engine/common/errors.h"
#include "engine/common/types.h"

namespace orv::engine {
namespace {

// SQL Server's limit on a RAISERROR message; a longer one keeps its first
// 2044 characters and an ellipsis.
constexpr size_t kMaxMessage = 2047;
constexpr size_t kKeptWhenCut = 2044;

// A width or precision, written or taken from an argument, bounded by the
// message's own limit so that no marker can ask for more.
std::string Bounded(long long n) { return std::to_string(std::clamp<long long>(n, 0, kMaxMessage)); }

long long ReadNumber(std::string_view format, size_t& j) {
  long long n = 0;
  while (j < format.size() && IsDigit(format[j])) {
    n = std::min<long long>(n * 10 + (format[j] - '0'), kMaxMessage);
    ++j;
  }
  return n;
}

std::string Printf(const std::string& spec, auto value) {
  const int size = std::snprintf(nullptr, 0, spec.c_str(), value);
  std::string out(static_cast<size_t>(size > 0 ? size : 0), '\0');
  std::snprintf(out.data(), out.size() + 1, spec.c_str(), value);
  return out;
}

}  // namespace

std::string FormatRaiserror(std::string_view format, const std::vector<Value>& arguments) {
  std::string out;
  size_t next = 0;
  auto take = [&]() -> const Value* { return next < arguments.size() ? &arguments[next++] : nullptr; };
  for (size_t i = 0; i < format.size(); ++i) {
    if (format[i] != '%') {
      out += format[i];
      continue;
    }
    if (i + 1 < format.size() && format[i + 1] == '%') {
      out += '%';
      ++i;
      continue;
    }
    std::string spec = "%";
    size_t j = i + 1;
    while (j < format.size() && std::string_view("-+ 0#").find(format[j]) != std::string_view::npos) spec += format[j++];
    auto width_or_precision = [&] {
      if (j < format.size() && format[j] == '*') {
        ++j;
        const Value* given = take();
        return Bounded(given && !given->is_null && IsInteger(given->type) ? given->i : 0);
      }
      return j < format.size() && IsDigit(format[j]) ? Bounded(ReadNumber(format, j)) : std::string();
    };
    spec += width_or_precision();
    if (j < format.size() && format[j] == '.') {
      ++j;
      spec += "." + width_or_precision();
    }
    if (format.substr(j, 3) == "I64") {
      j += 3;
    } else if (j < format.size() && (format[j] == 'h' || format[j] == 'l')) {
      ++j;
    }
    if (j >= format.size() || std::string_view("diuoxXs").find(format[j]) == std::string_view::npos) {
      // Not a marker SQL Server knows: the text stays as written.
      out += format.substr(i, j - i);
      i = j - 1;
      continue;
    }
    const char conversion = format[j];
    const size_t number = next + 1;
    const Value* argument = take();
    if (!argument || argument->is_null) {
      out += Printf(spec + 's', "(null)");
    } else if (conversion == 's') {
      if (!IsString(argument->type)) Throw(ErrorCode::kSubstitutionTypeMismatch, {std::to_string(number)});
      out += Printf(spec + 's', std::string(argument->s()).c_str());
    } else {
      if (!IsInteger(argument->type)) Throw(ErrorCode::kSubstitutionTypeMismatch, {std::to_string(number)});
      const char* size = conversion == 'd' || conversion == 'i' ? "lld" : nullptr;
      out += size ? Printf(spec + size, static_cast<long long>(argument->i))
                  : Printf(spec + "ll" + conversion, static_cast<unsigned long long>(argument->i));
    }
    i = j;
  }
  if (out.size() > kMaxMessage) out = out.substr(0, kKeptWhenCut) + "...";
  return out;
}

}  // namespace orv::engine
