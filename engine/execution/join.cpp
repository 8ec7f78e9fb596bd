// Joins of every kind. The right side is stored; with equi-join keys it is
// hashed on them and each left row, as it streams in, probes it (rows with a
// NULL key never match); without keys every pair is tried. The residual condition decides a match;
// unmatched rows of the outer side(s) are padded with NULLs.
#include "engine/execution/evaluate.h"
#include "engine/execution/executor.h"
#include "engine/execution/int_key_index.h"
#include "engine/storage/row_index.h"

namespace orv::engine {
namespace {

// Evaluates `keys` on `values`; false when a key is NULL.
bool EvaluateKeys(const std::vector<BoundExprPtr>& keys, const Value* values, const EvalRow* outer,
                  ExecContext& context, Value* out) {
  EvalRow row{values, outer};
  for (size_t k = 0; k < keys.size(); ++k) {
    out[k] = Evaluate(*keys[k], row, context);
    if (out[k].is_null) return false;
  }
  return true;
}

// The positions of `plan`'s rows that anything reads: a scan fetches only
// the columns the query names (and its row ids); other nodes' rows are whole.
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

// Copies the live positions of a row; a row read whole is one block copy.
class RowCopier {
 public:
  RowCopier(const PlanNode& plan, size_t offset) : offset_(offset), width_(plan.width) {
    AddLivePositions(plan, offset, live_);
    whole_ = live_.size() == width_;
  }
  // Copies into `joined`, a row of the join's width.
  void operator()(const Value* row, Value* joined) const {
    if (whole_) {
      std::copy(row, row + width_, joined + offset_);
      return;
    }
    for (size_t position : live_) joined[position] = row[position - offset_];
  }

 private:
  size_t offset_;
  size_t width_;
  bool whole_;
  std::vector<size_t> live_;
};

}  // namespace

void StreamJoin(const JoinPlan& plan, ExecContext& context, const EvalRow* outer, RowSink sink) {
  const size_t left_width = plan.left->width;
  Relation right = ExecutePlan(*plan.right, context, outer);
  const size_t key_count = plan.left_keys.size();
  const bool keep_left = plan.type == ast::JoinType::Left || plan.type == ast::JoinType::Full;
  const bool keep_right = plan.type == ast::JoinType::Right || plan.type == ast::JoinType::Full;
  // One integer key on both sides (joins on ID columns) takes the integer index.
  const bool int_key =
      key_count == 1 && IsInteger(plan.left_keys[0]->type.id) && IsInteger(plan.right_keys[0]->type.id);

  // The right rows of each key chained in input order: the index gives a
  // key's first row (directly for integer keys, through first_row
  // otherwise), next_row the row after. Rows go in last to first, each put
  // in front of its chain.
  constexpr size_t kNone = static_cast<size_t>(-1);
  RowIndex right_index(key_count);
  IntKeyIndex right_ints;
  std::vector<size_t> first_row;
  std::vector<size_t> next_row(key_count > 0 ? right.rows : 0, kNone);
  if (key_count > 0) {
    std::vector<Value> key(key_count);
    for (size_t r = right.rows; r-- > 0;) {
      if (!EvaluateKeys(plan.right_keys, right.Row(r), outer, context, key.data())) continue;
      size_t* first = nullptr;
      if (int_key) {
        first = &right_ints.Entry(key[0].i);
      } else {
        bool inserted = false;
        size_t number = right_index.FindOrInsert(key.data(), inserted);
        if (inserted) first_row.push_back(kNone);
        first = &first_row[number];
      }
      next_row[r] = *first == IntKeyIndex::kNew ? kNone : *first;
      *first = r;
    }
  }
  std::vector<Value> joined(plan.width);
  const RowCopier copy_left(*plan.left, 0);
  const RowCopier copy_right(*plan.right, left_width);
  std::vector<uint8_t> right_matched(keep_right ? right.rows : 0);
  // The left row is copied into `joined` only once it has a candidate: most
  // rows of a selective join never do.
  bool left_copied = false;
  auto try_pair = [&](const Value* left_row, size_t r) {
    if (!left_copied) {
      copy_left(left_row, joined.data());
      left_copied = true;
    }
    copy_right(right.Row(r), joined.data());
    if (plan.residual && !IsTrue(Evaluate(*plan.residual, EvalRow{joined.data(), outer}, context))) return false;
    sink(joined.data());
    if (keep_right) right_matched[r] = 1;
    return true;
  };
  // Joins one left row whose matching right rows start at `first` (keyed
  // joins) or are every right row.
  auto join_row = [&](const Value* left_row, size_t first) {
    left_copied = false;
    bool matched = false;
    if (key_count > 0) {
      for (size_t r = first; r != kNone; r = next_row[r]) matched = try_pair(left_row, r) || matched;
    } else {
      for (size_t r = 0; r < right.rows; ++r) matched = try_pair(left_row, r) || matched;
    }
    if (!matched && keep_left) {
      if (!left_copied) copy_left(left_row, joined.data());
      std::fill(joined.begin() + static_cast<ptrdiff_t>(left_width), joined.end(), Value());
      sink(joined.data());
    }
  };

  // Left rows of a keyed join wait in small batches; each batch looks up all
  // its keys, then fetches all first matches, then joins, so the memory
  // waits of the lookups overlap instead of adding up.
  constexpr size_t kBatch = 32;
  std::vector<Value> pending(key_count > 0 ? kBatch * left_width : 0);
  std::vector<Value> pending_keys(kBatch * key_count);
  std::vector<uint64_t> pending_hashes(kBatch);
  std::vector<size_t> pending_first(kBatch);
  size_t pending_rows = 0;
  auto flush = [&] {
    for (size_t i = 0; i < pending_rows; ++i) {
      Value* key = pending_keys.data() + i * key_count;
      pending_first[i] = kNone;
      if (!EvaluateKeys(plan.left_keys, pending.data() + i * left_width, outer, context, key)) continue;
      pending_first[i] = 0;  // has a key
      if (int_key) {
        right_ints.Prefetch(key[0].i);
      } else {
        pending_hashes[i] = HashKey(key, key_count);
        right_index.Prefetch(pending_hashes[i]);
      }
    }
    for (size_t i = 0; i < pending_rows; ++i) {
      if (pending_first[i] == kNone) continue;
      const Value* key = pending_keys.data() + i * key_count;
      if (int_key) {
        pending_first[i] = right_ints.Find(key[0].i);
      } else {
        int64_t number = right_index.Find(key, pending_hashes[i]);
        pending_first[i] = number < 0 ? kNone : first_row[static_cast<size_t>(number)];
      }
      if (pending_first[i] != kNone) __builtin_prefetch(right.Row(pending_first[i]));
    }
    for (size_t i = 0; i < pending_rows; ++i) join_row(pending.data() + i * left_width, pending_first[i]);
    pending_rows = 0;
  };
  auto probe = [&](const Value* left_row) {
    if (key_count == 0) return join_row(left_row, kNone);
    copy_left(left_row, pending.data() + pending_rows * left_width);
    if (++pending_rows == kBatch) flush();
  };
  StreamPlan(*plan.left, context, outer, probe);
  flush();
  if (keep_right) {
    std::fill(joined.begin(), joined.begin() + static_cast<ptrdiff_t>(left_width), Value());
    for (size_t r = 0; r < right.rows; ++r) {
      if (right_matched[r]) continue;
      copy_right(right.Row(r), joined.data());
      sink(joined.data());
    }
  }
}

}  // namespace orv::engine
