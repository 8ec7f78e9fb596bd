// GetPropertyValue and GetTempTableName. The property reader is deliberately
// lighter than the session parser: a plain substring search that ignores
// case, with no trimming and no braces.
#include "toolkit/property_lookup.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <ctime>
#include <random>

#include "frame/ignore_case.h"

namespace orv::toolkit {

std::string GetPropertyValue(std::string_view sDsn, std::string_view sName) {
  std::string s(sDsn);
  if (s.empty() || s.back() != ';') s.push_back(';');
  const std::string k = std::string(sName) + "=";
  const frame::CaseMatch match = frame::FindIgnoreCase(s, k);
  if (!match.found) return {};
  const std::string_view from_match = std::string_view(s).substr(match.offset);
  // A name that itself holds ";" is cut inside the match: nothing follows it.
  const size_t end = std::min(from_match.find(';'), from_match.size());
  if (end < match.length) return {};
  return std::string(from_match.substr(match.length, end - match.length));
}

std::string GetTempTableName(std::string_view sPrefix) {
  std::string name(sPrefix);
  if (name.find_first_not_of(' ') == std::string::npos) name = "#tmpTable";

  // Re-seeded from the clock each time; the previous draw is mixed in so that
  // two calls within one clock tick still differ.
  thread_local std::mt19937_64 generator;
  const auto now = std::chrono::system_clock::now();
  const auto ticks = static_cast<uint64_t>(now.time_since_epoch().count());
  std::seed_seq seed{static_cast<uint32_t>(ticks), static_cast<uint32_t>(ticks >> 32),
                     static_cast<uint32_t>(generator())};
  generator.seed(seed);
  const double r = static_cast<double>(generator() >> 11) * 0x1.0p-53;  // [0, 1)
  // r * 10^8 can round up to 10^8 itself in double; the tail stays below it.
  const auto n = std::min<uint64_t>(static_cast<uint64_t>(std::floor(r * 1e8)), 99999999);

  const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  std::tm local{};
  localtime_r(&seconds, &local);
  for (const int part : {local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec}) {
    name += std::to_string(part);
  }
  name += std::to_string(n);
  return name;
}

}  // namespace orv::toolkit
