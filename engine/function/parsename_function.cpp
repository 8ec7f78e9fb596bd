// PARSENAME(name, part): one part of a server.database.schema.object name,
// counted from the right (1 the object, 4 the server), with its brackets or
// quotes taken off. A part not written, a name of more than four parts or
// one that is not a valid name gives NULL.
#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "engine/function/registry.h"
#include "engine/function/value_util.h"

namespace orv::engine::detail {
namespace {

constexpr size_t kMaxParts = 4;
constexpr int64_t kMaxIdentifierLength = 128;

// The parts of `name` from the left, or nullopt when it is no valid name.
std::optional<std::vector<std::string>> SplitName(std::string_view name) {
  std::vector<std::string> parts;
  size_t pos = 0;
  while (true) {
    std::string part;
    if (pos < name.size() && (name[pos] == '[' || name[pos] == '"')) {
      // A delimited part; its closing character doubled stands for itself.
      const char close = name[pos] == '[' ? ']' : '"';
      for (++pos;; ++pos) {
        if (pos >= name.size()) return std::nullopt;
        if (name[pos] == close) {
          if (pos + 1 < name.size() && name[pos + 1] == close) {
            ++pos;
          } else {
            break;
          }
        }
        part.push_back(name[pos]);
      }
      ++pos;
      if (pos < name.size() && name[pos] != '.') return std::nullopt;
    } else {
      const size_t dot = std::min(name.find('.', pos), name.size());
      part = name.substr(pos, dot - pos);
      pos = dot;
    }
    if (TextLength(TypeId::NVarChar, part) > kMaxIdentifierLength) return std::nullopt;
    parts.push_back(std::move(part));
    if (parts.size() > kMaxParts) return std::nullopt;
    if (pos >= name.size()) return parts;
    ++pos;  // the dot
  }
}

DataType ParseNameType(std::span<const DataType> args, std::string_view) {
  CheckArity(args, "parsename", 2, 2);
  return {TypeId::NVarChar, 0, 0, static_cast<int32_t>(kMaxIdentifierLength)};
}

Value ParseNameEval(std::span<const Value> args, const DataType& result, std::string_view, EvalContext& context) {
  if (AnyNull(args)) return Value::Null(result.id);
  const int64_t piece = IntegerOf(args[1], context);
  const auto parts = SplitName(TextOf(args[0], context));
  if (!parts || piece < 1 || piece > static_cast<int64_t>(parts->size())) return Value::Null(result.id);
  const std::string& part = (*parts)[parts->size() - static_cast<size_t>(piece)];
  if (part.empty()) return Value::Null(result.id);
  return MakeText(result.id, part, context.arena);
}

constexpr std::array kFunctions = {
    ScalarFunction{"PARSENAME", 2, 2, ParseNameType, ParseNameEval},
};

}  // namespace

std::span<const ScalarFunction> ParseNameFunctions() { return kFunctions; }

}  // namespace orv::engine::detail
