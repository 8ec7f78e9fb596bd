// Counting failed logins per address.
#include "accounts/login_throttle.h"

namespace orv::accounts {

bool LoginThrottle::Allowed(const std::string& address) {
  std::lock_guard lock(mutex_);
  const auto found = records_.find(address);
  return found == records_.end() || Clock::now() >= found->second.locked_until;
}

void LoginThrottle::RecordFailure(const std::string& address) {
  std::lock_guard lock(mutex_);
  const Clock::time_point now = Clock::now();
  if (records_.size() >= options_.max_addresses && records_.count(address) == 0) Prune(now);
  Record& record = records_[address];
  if (record.failures == 0 || now - record.first_failure > options_.window) {
    record.failures = 0;
    record.first_failure = now;
  }
  if (++record.failures >= options_.max_failures) {
    record.locked_until = now + options_.lockout;
    record.failures = 0;
  }
}

void LoginThrottle::RecordSuccess(const std::string& address) {
  std::lock_guard lock(mutex_);
  records_.erase(address);
}

void LoginThrottle::Prune(Clock::time_point now) {
  std::erase_if(records_, [&](const auto& entry) {
    return now >= entry.second.locked_until && now - entry.second.first_failure > options_.window;
  });
  // Still full: forget the addresses that are not locked out.
  if (records_.size() >= options_.max_addresses) {
    std::erase_if(records_, [&](const auto& entry) { return now >= entry.second.locked_until; });
  }
  while (records_.size() >= options_.max_addresses) records_.erase(records_.begin());
}

}  // namespace orv::accounts
