// Names are ASCII identifiers; letter case counts as no edit at all.
#include "frame/closest_name.h"

#include <algorithm>
#include <cstdint>
#include <string>

#include "platform/ascii_text.h"

namespace orv::frame {
namespace {

size_t EditDistance(std::string_view a, std::string_view b) {
  std::vector<std::vector<size_t>> d(a.size() + 1, std::vector<size_t>(b.size() + 1));
  for (size_t i = 0; i <= a.size(); ++i) d[i][0] = i;
  for (size_t j = 0; j <= b.size(); ++j) d[0][j] = j;
  for (size_t i = 1; i <= a.size(); ++i) {
    for (size_t j = 1; j <= b.size(); ++j) {
      const size_t cost = a[i - 1] == b[j - 1] ? 0 : 1;
      d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + cost});
      if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) {
        d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
      }
    }
  }
  return d[a.size()][b.size()];
}

}  // namespace

std::string_view ClosestName(std::string_view word, const std::vector<std::string_view>& names) {
  const std::string lower = platform::AsciiLower(word);
  std::string_view best;
  size_t best_distance = SIZE_MAX;
  for (const std::string_view name : names) {
    const size_t distance = EditDistance(lower, platform::AsciiLower(name));
    if (distance < best_distance) {
      best = name;
      best_distance = distance;
    }
  }
  return best;
}

}  // namespace orv::frame
