// Small helpers shared by the document writers: bill numbers, dates, statuses.
#include <string>
#include <vector>

#include "demo/documents.h"

namespace orv::demo {

std::string BillNo(const char* prefix, int number) {
  std::string digits = std::to_string(number);
  return prefix + std::string(digits.size() < 6 ? 6 - digits.size() : 0, '0') + digits;
}

Day RandomDay(Random& random) {
  static const Day first = MakeDay(2023, 1, 1);
  return Day{first.days + static_cast<int32_t>(random.Between(0, 730)), 0};
}

int RandomCheckStatus(Random& random) {
  if (random.Percent(70)) return 16;
  static const std::vector<int> partial = {2, 4, 8};
  return random.Pick(partial);
}

int LinesPerDocument(Random& random) { return static_cast<int>(random.Between(1, 5)); }

}  // namespace orv::demo
