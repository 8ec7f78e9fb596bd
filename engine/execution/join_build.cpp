// Storing and chaining the right rows of a join; see join_build.h.
#include "engine/execution/join_build.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <exception>
#include <functional>

#include "engine/execution/column_split.h"
#include "engine/execution/evaluate.h"
#include "engine/execution/stored_integer.h"
#include "engine/execution/worker_threads.h"

namespace orv::engine {

bool EvaluateJoinKeys(const std::vector<BoundExprPtr>& keys, const Value* values, const EvalRow* outer,
                      ExecContext& context, Value* out) {
  EvalRow row{values, outer};
  for (size_t k = 0; k < keys.size(); ++k) {
    out[k] = Evaluate(*keys[k], row, context);
    if (out[k].is_null) return false;
  }
  return true;
}

namespace {

// Whether the keys of `plan` index as integers: one integer on both sides,
// or two whose values all fit 32 bits.
bool IntegerKeys(const JoinPlan& plan) {
  const size_t count = plan.right_keys.size();
  auto integer = [&](size_t k, bool narrow) {
    for (const BoundExprPtr* key : {&plan.left_keys[k], &plan.right_keys[k]}) {
      const TypeId id = (*key)->type.id;
      if (!IsInteger(id) || (narrow && id == TypeId::BigInt)) return false;
    }
    return true;
  };
  return (count == 1 && integer(0, false)) || (count == 2 && integer(0, true) && integer(1, true));
}

}  // namespace

JoinBuild::JoinBuild(const JoinPlan& plan, ExecContext& context, const EvalRow* outer)
    : rows_(*plan.right, plan.left->width, plan.right_keys, context, outer),
      key_count_(plan.right_keys.size()),
      int_key_(IntegerKeys(plan)),
      parts_(1, Part{RowIndex(key_count_), {}}) {
  if (key_count_ == 0) return;
  next_row_.assign(rows_.size(), kNone);
  // Rows go in last to first, each put in front of its key's chain.
  std::vector<Value> key(key_count_);
  std::vector<Value> scratch(plan.right->width);
  auto evaluate = [&](size_t r) {
    return EvaluateJoinKeys(plan.right_keys, rows_.KeyRow(r, scratch.data()), outer, context, key.data());
  };
  if (!int_key_) {
    if (!AddInParts(plan, StatementThreads(context))) {
      for (size_t r = rows_.size(); r-- > 0;) {
        if (!evaluate(r)) continue;
        Add(r, key.data(), HashKey(key.data(), key_count_));
        ++keyed_;
      }
    }
    for (const Part& part : parts_) keys_ += part.first_row.size();
    return;
  }
  // Every key first, so the index is sized once: an array when they lie close.
  std::vector<int64_t> keys(rows_.size());
  std::vector<uint8_t> known(rows_.size());
  if (!ReadIntegerKeys(plan, keys, known)) {
    for (size_t r = rows_.size(); r-- > 0;) {
      if (!evaluate(r)) continue;
      known[r] = 1;
      keys[r] = IntegerOf(key.data());
    }
  }
  int64_t low = INT64_MAX;
  int64_t high = INT64_MIN;
  size_t count = 0;
  for (size_t r = 0; r < rows_.size(); ++r) {
    if (!known[r]) continue;
    low = std::min(low, keys[r]);
    high = std::max(high, keys[r]);
    ++count;
  }
  ints_.Reserve(count, low, high);
  for (size_t r = rows_.size(); r-- > 0;) {
    if (!known[r]) continue;
    size_t& first = ints_.Entry(keys[r]);
    keys_ += first == IntKeyIndex::kNew ? 1 : 0;
    Chain(r, first);
  }
  keyed_ = count;
}

bool JoinBuild::Unique() const {
  return std::all_of(next_row_.begin(), next_row_.end(), [](size_t next) { return next == kNone; });
}

bool JoinBuild::ReadIntegerKeys(const JoinPlan& plan, std::vector<int64_t>& keys, std::vector<uint8_t>& known) const {
  std::vector<const Column*> stored;
  for (const BoundExprPtr& key : plan.right_keys) {
    const auto* column = key->As<bound::Column>();
    const Column* read = column && column->depth == 0 ? rows_.ColumnAt(static_cast<size_t>(column->position)) : nullptr;
    if (!read || read->type() != key->type ||
        (read->storage() != Column::Storage::Int32 && read->storage() != Column::Storage::Int)) {
      return false;
    }
    stored.push_back(read);
  }
  std::fill(known.begin(), known.end(), 1);
  for (size_t k = 0; k < stored.size(); ++k) {
    const Column& column = *stored[k];
    for (size_t r = 0; r < rows_.size(); ++r) {
      const uint32_t row = rows_.Position(r);
      if (column.IsNull(row)) known[r] = 0;
      keys[r] = k == 0 ? StoredInteger(column, row) : Packed(keys[r], StoredInteger(column, row));
    }
  }
  return true;
}

bool JoinBuild::AddInParts(const JoinPlan& plan, size_t threads) {
  threads = std::min(threads, rows_.size() / kRowsPerThread);
  if (threads < 2) return false;
  std::vector<size_t> positions;  // of each key in the build side's row
  for (const BoundExprPtr& expr : plan.right_keys) {
    const auto* column = expr->As<bound::Column>();
    if (!column || column->depth != 0) return false;
    positions.push_back(static_cast<size_t>(column->position));
  }
  threads = std::bit_floor(threads);
  parts_.assign(threads, Part{RowIndex(key_count_), {}});
  const size_t width = plan.right->width;
  // The key of row `r` into `key`; false when part of it is NULL, which matches nothing.
  auto read = [&](size_t r, std::vector<Value>& scratch, Value* key) {
    const Value* row = rows_.KeyRow(r, scratch.data());
    for (size_t k = 0; k < key_count_; ++k) {
      key[k] = row[positions[k]];
      if (key[k].is_null) return false;
    }
    return true;
  };
  std::vector<uint64_t> hashes(rows_.size());
  std::vector<uint8_t> known(rows_.size());
  std::vector<std::exception_ptr> errors(threads);
  std::atomic<bool> stop{false};
  // Each thread runs `step` and keeps its error; the first thread's that failed is the statement's.
  auto run = [&](const std::function<void(size_t t, std::vector<Value>& scratch, Value* key)>& step) {
    RunOnThreads(
        threads,
        [&](size_t t) {
          try {
            std::vector<Value> scratch(width);
            std::vector<Value> key(key_count_);
            step(t, scratch, key.data());
          } catch (...) {
            errors[t] = std::current_exception();
            stop = true;
          }
        },
        [&] { stop = true; });
    for (const std::exception_ptr& error : errors) {
      if (error) std::rethrow_exception(error);
    }
  };
  // First each thread hashes the keys of a range of rows; then each indexes
  // the keys of its part, last row first as one thread does.
  run([&](size_t t, std::vector<Value>& scratch, Value* key) {
    const size_t end = rows_.size() * (t + 1) / threads;
    for (size_t r = rows_.size() * t / threads; r < end && !stop; ++r) {
      known[r] = read(r, scratch, key);
      if (known[r]) hashes[r] = HashKey(key, key_count_);
    }
  });
  keyed_ = static_cast<size_t>(std::count(known.begin(), known.end(), 1));
  run([&](size_t t, std::vector<Value>& scratch, Value* key) {
    for (size_t r = rows_.size(); r-- > 0 && !stop;) {
      if (!known[r] || PartOf(hashes[r]) != t) continue;
      read(r, scratch, key);
      Add(r, key, hashes[r]);
    }
  });
  return true;
}

}  // namespace orv::engine
