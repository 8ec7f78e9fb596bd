// IN sets from stored integers; see stored_in_set.h.
#include "engine/execution/stored_in_set.h"

#include <memory>
#include <utility>
#include <vector>

#include "engine/common/errors.h"
#include "engine/execution/copied_item.h"
#include "engine/execution/int_key_index.h"
#include "engine/execution/stored_integer.h"
#include "engine/function/scalar.h"

namespace orv::engine {

bool FillStoredInSet(const PlanNode& plan, const DataType& compare_type, ExecContext& context, InSet& set) {
  const ProjectPlan* project = nullptr;
  std::unique_ptr<PositionSource> source = ProjectedPositions(plan, context, project);
  if (!source || project->exprs.size() != 1) return false;
  const BoundExpr& listed = *project->exprs[0];
  const auto* read = listed.As<bound::Column>();
  size_t table = 0;
  const Column* column =
      read && read->depth == 0 ? source->ColumnAt(static_cast<size_t>(read->position), table) : nullptr;
  if (!column || column->type() != listed.type ||
      (column->storage() != Column::Storage::Int32 && column->storage() != Column::Storage::Int)) {
    return false;
  }
  source->Need(std::vector<uint8_t>(project->input->width));  // no value is read as a row, but for filters
  InSet filled;
  IntKeyIndex seen;  // the numbers in the set already
  bool exact = true;
  try {
    for (size_t count = source->Next(exact); count > 0; count = source->Next(exact)) {
      if (!exact) return false;
      const uint32_t* rows = source->Positions(table);
      for (size_t k = 0; k < count; ++k) {
        const uint32_t row = rows[k];
        if (row == Column::kNoRow || column->IsNull(row)) {
          filled.has_null = true;
          continue;
        }
        size_t& entry = seen.Entry(StoredInteger(*column, row));
        if (entry != IntKeyIndex::kNew) continue;
        entry = 0;
        Value value;
        column->Read(row, value);
        Value converted = CastValue(value, compare_type, context.arena);
        bool inserted = false;
        filled.values.FindOrInsert(&converted, inserted);
      }
    }
  } catch (const SqlError&) {
    return false;  // the row path raises it after the rows before it
  }
  set = std::move(filled);
  return true;
}

}  // namespace orv::engine
