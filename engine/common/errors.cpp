// Fills the message templates of errors.def.
#include "engine/common/errors.h"

namespace orv::engine {
namespace {

struct ErrorInfo {
  int number;
  int severity;
  std::string_view text;
};

constexpr ErrorInfo kErrors[] = {
#define ORV_ERROR(name, number, severity, text) {number, severity, text},
#include "engine/common/errors.def"
#undef ORV_ERROR
};

}  // namespace

SqlError MakeError(ErrorCode code, std::initializer_list<std::string_view> args, int line) {
  const ErrorInfo& info = kErrors[static_cast<int>(code)];
  std::string message;
  auto next = args.begin();
  for (size_t i = 0; i < info.text.size(); ++i) {
    if (info.text[i] == '%' && i + 1 < info.text.size() && info.text[i + 1] == 's') {
      if (next != args.end()) message += *next++;
      ++i;
    } else {
      message += info.text[i];
    }
  }
  return SqlError(info.number, info.severity, 1, line, std::move(message));
}

}  // namespace orv::engine
