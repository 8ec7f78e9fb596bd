// Few runs are kept (a handful per login), so a scan of the list is cheap.
// The rows kept are counted as runs come and go, not summed on each call.
#include "http/finished_runs.h"

#include <algorithm>

#include "http/login_sessions.h"

namespace orv::http {

std::string FinishedRuns::Keep(const std::string& owner, std::shared_ptr<const ShownResult> result) {
  Run run{owner, RandomToken().substr(0, 24), std::move(result)};
  const size_t rows = run.result->rows.size();
  const std::lock_guard lock(mutex_);
  const auto owned_by = [&](const Run& kept) { return kept.owner == owner; };
  const auto owned = static_cast<size_t>(std::count_if(runs_.begin(), runs_.end(), owned_by));
  if (owned > 0 && owned >= per_login_) Drop(std::find_if(runs_.begin(), runs_.end(), owned_by));
  while (!runs_.empty() && (runs_.size() >= in_all_ || rows_kept_ + rows > rows_in_all_)) Drop(runs_.begin());
  rows_kept_ += rows;
  runs_.push_back(run);
  return run.id;
}

void FinishedRuns::Drop(std::deque<Run>::iterator run) {
  rows_kept_ -= run->result->rows.size();
  runs_.erase(run);
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
  std::erase_if(runs_, [&](const Run& run) {
    if (run.owner == owner) rows_kept_ -= run.result->rows.size();
    return run.owner == owner;
  });
}

}  // namespace orv::http
