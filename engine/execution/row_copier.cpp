// The live positions of a plan's rows; see row_copier.h.
#include "engine/execution/row_copier.h"

namespace orv::engine {
namespace {

void AddLivePositions(const PlanNode& plan, size_t offset, std::vector<size_t>& out) {
  switch (plan.kind) {
    case PlanKind::Scan: {
      const auto& scan = static_cast<const ScanPlan&>(plan);
      for (size_t c = 0; c < scan.read.size(); ++c) {
        if (scan.read[c]) out.push_back(offset + c);
      }
      if (scan.row_ids) out.push_back(offset + scan.read.size());
      return;
    }
    case PlanKind::Filter:
      AddLivePositions(*static_cast<const FilterPlan&>(plan).input, offset, out);
      return;
    case PlanKind::Join: {
      const auto& join = static_cast<const JoinPlan&>(plan);
      AddLivePositions(*join.left, offset, out);
      AddLivePositions(*join.right, offset + join.left->width, out);
      return;
    }
    default:
      for (size_t c = 0; c < plan.width; ++c) out.push_back(offset + c);
  }
}

}  // namespace

RowCopier::RowCopier(const PlanNode& plan, size_t offset) : offset_(offset), width_(plan.width) {
  AddLivePositions(plan, offset, live_);
  whole_ = live_.size() == width_;
}

}  // namespace orv::engine
