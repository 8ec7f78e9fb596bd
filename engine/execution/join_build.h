// The build side of a join: the right input stored (build_rows) and, when the join
// has equality keys, its rows chained by key in input order: the index gives
// a key's first row, Next the row after it. One integer key on both sides
// (joins on ID columns), or two of 32 bits at most packed into one number,
// takes an integer index, with no general hashing. A
// large build on plain key columns is hashed on the threads MAXDOP allows,
// each indexing the keys of one part of the hashes: every key's chain holds
// the same rows in the same order as one index built on one thread.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/execution/build_rows.h"
#include "engine/execution/exec_context.h"
#include "engine/execution/int_key_index.h"
#include "engine/planner/plan.h"
#include "engine/storage/row_index.h"

namespace orv::engine {

// Evaluates `keys` on `values`; false when a key is NULL, which matches nothing.
bool EvaluateJoinKeys(const std::vector<BoundExprPtr>& keys, const Value* values, const EvalRow* outer,
                      ExecContext& context, Value* out);

class JoinBuild {
 public:
  static constexpr size_t kNone = static_cast<size_t>(-1);

  // Runs the right input of `plan` and indexes it on the right keys.
  JoinBuild(const JoinPlan& plan, ExecContext& context, const EvalRow* outer);

  const BuildRows& rows() const { return rows_; }

  // A lookup in two steps, so that a batch of probes overlaps its memory
  // waits: Prefetch starts loading the slot of `key` and returns its hash;
  // First gives the key's first row, or kNone.
  uint64_t Prefetch(const Value* key) const {
    if (int_key_) {
      PrefetchInteger(IntegerOf(key));
      return 0;
    }
    const uint64_t hash = HashKey(key, key_count_);
    parts_[PartOf(hash)].index.Prefetch(hash);
    return hash;
  }
  size_t First(const Value* key, uint64_t hash) const {
    if (int_key_) return FirstOfInteger(IntegerOf(key));
    const Part& part = parts_[PartOf(hash)];
    const int64_t number = part.index.Find(key, hash);
    return number < 0 ? kNone : part.first_row[static_cast<size_t>(number)];
  }
  // The same for one integer key on both sides (integer_key()), read
  // straight from a column's stored numbers.
  bool integer_key() const { return int_key_ && key_count_ == 1; }
  void PrefetchInteger(int64_t key) const { ints_.Prefetch(key); }
  size_t FirstOfInteger(int64_t key) const { return ints_.Find(key); }
  size_t Next(size_t row) const { return next_row_[row]; }
  // Whether no key has a second row (a look at every row: ask once).
  bool Unique() const;
  // How many rows a key has on average (0 with no key).
  double Matches() const { return keys_ == 0 ? 0 : static_cast<double>(keyed_) / static_cast<double>(keys_); }
  void PrefetchNext(size_t row) const { __builtin_prefetch(next_row_.data() + row); }

 private:
  // The keys whose hashes fall in one part, and per key its first row.
  struct Part {
    RowIndex index;
    std::vector<size_t> first_row;
  };
  // Rows from which a build pays for a second thread.
  static constexpr size_t kRowsPerThread = size_t{1} << 15;

  // The number an integer key is indexed by: its one value, or two packed
  // (both fit 32 bits, so no two keys share a number).
  int64_t IntegerOf(const Value* key) const { return key_count_ == 1 ? key[0].i : Packed(key[0].i, key[1].i); }
  static int64_t Packed(int64_t high, int64_t low) {
    return static_cast<int64_t>((static_cast<uint64_t>(static_cast<uint32_t>(high)) << 32) |
                                static_cast<uint32_t>(low));
  }
  size_t PartOf(uint64_t hash) const { return static_cast<size_t>(hash >> 56) & (parts_.size() - 1); }
  // Puts row `r` in front of the chain whose first row is `first`.
  void Chain(size_t r, size_t& first) {
    next_row_[r] = first == IntKeyIndex::kNew ? kNone : first;
    first = r;
  }
  // Indexes row `r` with key `key` (of hash `hash`) in its part.
  void Add(size_t r, const Value* key, uint64_t hash) {
    Part& part = parts_[PartOf(hash)];
    bool inserted = false;
    const size_t number = part.index.FindOrInsert(key, hash, inserted);
    if (inserted) part.first_row.push_back(kNone);
    Chain(r, part.first_row[number]);
  }
  // Indexes the rows on as many threads as `threads` allows, when the keys
  // are the build side's own columns (read alike on any thread) and there
  // are enough rows; false, having done nothing, when not.
  bool AddInParts(const JoinPlan& plan, size_t threads);
  // The integer key of every row, read straight from stored columns when
  // the right keys are (`known` flags the rows not NULL); false, having
  // done nothing, when not.
  bool ReadIntegerKeys(const JoinPlan& plan, std::vector<int64_t>& keys, std::vector<uint8_t>& known) const;

  BuildRows rows_;
  size_t key_count_;
  bool int_key_;  // one integer key, or two that pack
  std::vector<Part> parts_;  // a power of two of them; one but for a large build
  IntKeyIndex ints_;
  std::vector<size_t> next_row_;
  size_t keyed_ = 0;  // rows indexed (their keys not NULL)
  size_t keys_ = 0;   // distinct keys among them
};

}  // namespace orv::engine
