// Copies the values of a row that anything reads into a wider row: a scan
// fetches only the columns its query names (and its row ids), so a join need
// not move the others; a row read whole is one block copy.
#pragma once

#include <algorithm>
#include <vector>

#include "engine/common/value.h"
#include "engine/planner/plan.h"

namespace orv::engine {

class RowCopier {
 public:
  // For rows of `plan`, placed at `offset` in the wider row.
  RowCopier(const PlanNode& plan, size_t offset);

  void operator()(const Value* row, Value* wide) const {
    if (whole_) {
      std::copy(row, row + width_, wide + offset_);
      return;
    }
    for (size_t position : live_) wide[position] = row[position - offset_];
  }

 private:
  size_t offset_;
  size_t width_;
  bool whole_;
  std::vector<size_t> live_;  // positions in the wider row
};

}  // namespace orv::engine
