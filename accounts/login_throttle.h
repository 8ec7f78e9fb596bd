// Slows password guessing: after `max_failures` failed logins from one
// address within `window`, that address may not try again for `lockout`.
// Thread-safe; the table is bounded so a flood of addresses cannot grow it.
#pragma once

#include <chrono>
#include <cstddef>
#include <map>
#include <mutex>
#include <string>

namespace orv::accounts {

struct ThrottleOptions {
  size_t max_failures = 5;
  std::chrono::milliseconds window{std::chrono::minutes(1)};
  std::chrono::milliseconds lockout{std::chrono::minutes(1)};
  size_t max_addresses = 10000;
};

class LoginThrottle {
 public:
  explicit LoginThrottle(ThrottleOptions options) : options_(options) {}

  bool Allowed(const std::string& address);
  void RecordFailure(const std::string& address);
  void RecordSuccess(const std::string& address);

 private:
  using Clock = std::chrono::steady_clock;
  struct Record {
    size_t failures = 0;
    Clock::time_point first_failure;
    Clock::time_point locked_until;
  };
  void Prune(Clock::time_point now);

  ThrottleOptions options_;
  std::mutex mutex_;
  std::map<std::string, Record> records_;
};

}  // namespace orv::accounts
