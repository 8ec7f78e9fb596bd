// Few runs are kept (a handful per login), so a scan of the list is cheap.
#include "http/finished_runs.h"

#include <algorithm>

#include "http/login_sessions.h"

namespace orv::http {

std::string FinishedRuns::Keep(const std::string& owner, std::shared_ptr<const ShownResult> result) {
  Run run{owner, RandomToken().substr(0, 24), std::move(result)};
  const std::lock_guard lock(mutex_);
  const auto owned = static_cast<size_t>(
      std::count_if(runs_.begin(), runs_.end(), [&](const Run& kept) { return kept.owner == owner; }));
  if (owned >= per_login_) {
    runs_.erase(std::find_if(runs_.begin(), runs_.end(), [&](const Run& kept) { return kept.owner == owner; }));
  }
  if (runs_.size() >= in_all_ && !runs_.empty()) runs_.pop_front();
  runs_.push_back(run);
  return run.id;
}

std::shared_ptr<const ShownResult> FinishedRuns::Find(const std::string& owner, const std::string& id) {
  const std::lock_guard lock(mutex_);
  for (const Run& run : runs_) {
    if (run.owner == owner && run.id == id) return run.result;
  }
  return nullptr;
}

void FinishedRuns::Forget(const std::string& owner) {
  const std::lock_guard lock(mutex_);
  std::erase_if(runs_, [&](const Run& run) { return run.owner == owner; });
}

}  // namespace orv::http
