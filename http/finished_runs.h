// The results a login has run, kept so the clerk can export what the grid
// shows without running the report again. Bounded per login, in all and by
// the rows kept in all (one result may be large), the oldest going first, so
// a busy service cannot grow without end.
#pragma once

#include <cstddef>
#include <deque>
#include <memory>
#include <mutex>
#include <string>

#include "http/shown_result.h"

namespace orv::http {

class FinishedRuns {
 public:
  FinishedRuns(size_t per_login, size_t in_all, size_t rows_in_all)
      : per_login_(per_login), in_all_(in_all), rows_in_all_(rows_in_all) {}

  // Keeps `result` for the login `owner`, dropping older runs until the
  // limits hold again (a result alone beyond rows_in_all is kept alone);
  // returns the run's id.
  std::string Keep(const std::string& owner, std::shared_ptr<const ShownResult> result);
  // The run `id` of `owner`; nothing for another login's run or one dropped.
  std::shared_ptr<const ShownResult> Find(const std::string& owner, const std::string& id);
  // Drops every run of `owner` (a logout).
  void Forget(const std::string& owner);

 private:
  struct Run {
    std::string owner;
    std::string id;
    std::shared_ptr<const ShownResult> result;
  };
  void Drop(std::deque<Run>::iterator run);  // under mutex_

  size_t per_login_;
  size_t in_all_;
  size_t rows_in_all_;
  std::mutex mutex_;
  size_t rows_kept_ = 0;
  std::deque<Run> runs_;  // oldest first
};

}  // namespace orv::http
