// The rows of a chain of joins as positions; see position_source.h. A block
// of the scan's kept rows is joined one level at a time: every row's key is
// read straight from its column and looked up (all lookups of the block
// started before the first is read), and each row is followed by its
// matches in the build side's order, or by a missing row for a LEFT JOIN.
// Row after row, that is the order of joins handing rows on one by one.
// A block with work enough joins in two halves on two threads, joined back
// in that order. Filters over the chain then test each joined row.
#include <algorithm>
#include <array>
#include <memory>
#include <numeric>
#include <vector>

#include "engine/common/errors.h"
#include "engine/execution/column_split.h"
#include "engine/execution/evaluate.h"
#include "engine/execution/join_build.h"
#include "engine/execution/position_source.h"
#include "engine/execution/scan_selector.h"

namespace orv::engine {
namespace {

// A table of the chain: the scan below it (0) or a join's right side, with
// where its values start in the joined row. A right side that is not a
// table's rows (a computed projection, say) is stored by its join: its
// positions are of the stored rows, and no column is read from it directly.
struct ChainTable {
  const ScanPlan* scan;  // null: stored rows
  size_t offset;
  size_t width;
  std::vector<size_t> passed;  // per position of its rows, the scan row's (see ScanUnderProjection)
};

// A left key read from a column of a table below its join.
struct KeyColumn {
  size_t table;
  const Column* column;
};

struct Level {
  const JoinPlan* plan;
  std::vector<KeyColumn> keys;
  std::unique_ptr<JoinBuild> build;
  bool direct = false;  // every key has one row at most, whose number is its position
};

// What joining a share of a block takes: the share's rows per table and the
// scratch of each step. A large block joins in two halves on two threads,
// each in a lane of its own.
struct Lane {
  explicit Lane(size_t tables) : positions(tables) {}

  std::vector<std::vector<uint32_t>> positions;  // per table, the share's rows
  std::vector<Value> keys;
  std::vector<int64_t> integer_keys;
  std::vector<uint64_t> hashes;
  std::vector<size_t> first;
  std::vector<uint8_t> has_key;
  std::vector<uint32_t> parents;  // per row kept, its row in the share before
  std::vector<uint32_t> copy;
  static constexpr size_t kWalked = 8;
  std::array<std::vector<size_t>, kWalked> walked;  // per chain Expand walks, its rows so far
};

// The column position `position` of the joined row reads, and its table; null for a row id.
const Column* ColumnOf(const std::vector<ChainTable>& tables, size_t position, size_t& table) {
  for (table = tables.size(); table-- > 0;) {
    if (position < tables[table].offset) continue;
    if (!tables[table].scan) return nullptr;
    const Table& stored = *tables[table].scan->table;
    const size_t column = tables[table].passed[position - tables[table].offset];
    return column < stored.column_count() ? &stored.column(column) : nullptr;
  }
  return nullptr;
}

class JoinSource : public PositionSource {
 public:
  JoinSource(std::vector<ChainTable> tables, std::vector<Level> levels, std::vector<const BoundExpr*> filters,
             size_t width, ExecContext& context, const EvalRow* outer)
      : tables_(std::move(tables)),
        levels_(std::move(levels)),
        filters_(std::move(filters)),
        context_(context),
        outer_(outer),
        selector_(*tables_[0].scan, context, outer),
        lanes_{Lane(tables_.size()), Lane(tables_.size())},
        row_(width) {
    std::vector<uint8_t> read(width);
    for (const BoundExpr* filter : filters_) MarkRead(*filter, read);
    filters_read_ = std::find(read.begin(), read.end(), 1) != read.end();
    whole_ = ReadsOf(std::vector<uint8_t>(width, 1));
    needed_ = whole_;
    split_threads_ = StatementThreads(context);
    lane_split_ = ColumnSplit(split_threads_, {});
  }

  void Need(const std::vector<uint8_t>& positions) override {
    std::vector<uint8_t> read = positions;
    for (const BoundExpr* filter : filters_) MarkRead(*filter, read);
    needed_ = ReadsOf(read);
  }

  const Column* ColumnAt(size_t position, size_t& table) const override { return ColumnOf(tables_, position, table); }
  const Table* TableAt(size_t table) const override {
    return tables_[table].scan ? tables_[table].scan->table.get() : nullptr;
  }
  bool RowNumbersAt(size_t position, size_t& table) const override {
    for (table = 0; table < tables_.size(); ++table) {
      const ChainTable& chained = tables_[table];
      if (!chained.scan || !chained.scan->row_ids || position < chained.offset) continue;
      if (position - chained.offset < chained.width &&
          chained.passed[position - chained.offset] == chained.scan->table->column_count()) {
        return true;
      }
    }
    return false;
  }
  bool MayBeMissing(size_t table) const override {
    return table > 0 && levels_[table - 1].plan->type == ast::JoinType::Left;
  }

  size_t Tables() const override { return tables_.size(); }
  size_t Next(bool& exact) override {
    exact = true;
    if (!built_) Build();
    const size_t rows = tables_[0].scan->table->row_count();
    uint32_t kept[ScanSelector::kBlock];
    while (begin_ < rows) {
      const size_t count = selector_.Select(begin_, std::min(begin_ + ScanSelector::kBlock, rows), kept);
      begin_ += ScanSelector::kBlock;
      JoinBlock(kept, count);
      if (!positions()[0].empty()) Filter(exact);
      if (!positions()[0].empty()) return positions()[0].size();
    }
    return 0;
  }

  const uint32_t* Positions(size_t table) const override { return positions()[table].data(); }

  const Value* Row(size_t k, bool whole) override {
    const RowReads& reads = whole ? whole_ : needed_;
    for (const Read& read : reads.columns) {
      const uint32_t row = positions()[read.table][k];
      if (row == Column::kNoRow) {
        row_[read.position] = Value();  // as the joins pad a missing row
      } else if (!read.column) {
        row_[read.position] = Value::Integer(TypeId::BigInt, static_cast<int64_t>(row));  // a row id
      } else {
        read.column->Read(row, row_[read.position]);
      }
    }
    for (size_t t = 0; t < tables_.size(); ++t) {
      if (!reads.stored[t]) continue;
      const uint32_t row = positions()[t][k];
      if (row == Column::kNoRow) {
        std::fill(row_.begin() + static_cast<ptrdiff_t>(tables_[t].offset),
                  row_.begin() + static_cast<ptrdiff_t>(tables_[t].offset + tables_[t].width), Value());
      } else {
        levels_[t - 1].build->rows().CopyTo(row, row_.data());
      }
    }
    return row_.data();
  }

  bool Keeps(const Value* row) override {
    for (const BoundExpr* filter : filters_) {
      if (!IsTrue(Evaluate(*filter, EvalRow{row, outer_}, context_))) return false;
    }
    return true;
  }

 private:
  // Keeps the joined rows the filters keep; all of them, inexact, when a filter fails on one.
  void Filter(bool& exact) {
    if (filters_.empty()) return;
    Lane& block = lanes_[0];
    block.parents.clear();
    try {
      for (size_t k = 0; k < block.positions[0].size(); ++k) {
        // A filter that reads no column (WHERE 1=1) needs no row made.
        if (Keeps(filters_read_ ? Row(k, false) : row_.data())) block.parents.push_back(static_cast<uint32_t>(k));
      }
    } catch (const SqlError&) {
      exact = false;  // the row path raises it after the rows before it
      return;
    }
    if (block.parents.size() < block.positions[0].size()) Keep(block, tables_.size() - 1);
  }

  // Build sides are read top first, as the joins one inside another would.
  void Build() {
    built_ = true;
    for (size_t l = levels_.size(); l-- > 0;) {
      Level& level = levels_[l];
      level.build = std::make_unique<JoinBuild>(*level.plan, context_, outer_);
      level.direct = level.build->Unique() && level.build->rows().PositionIsRow();
    }
  }

  // Joins the block's `count` kept rows through every level. A block large
  // enough to pay for handing half of it over joins in two halves, each on
  // a thread of its own: the second half's rows then follow the first's, as
  // they would have come joined all at once. Its work is the rows each
  // level is expected to take and to make: a key's rows on average, or the
  // one row an unmatched row makes at most.
  void JoinBlock(const uint32_t* kept, size_t count) {
    double rows = static_cast<double>(count);
    double expected = 0;
    for (const Level& level : levels_) {
      expected += rows;
      rows *= std::max(1.0, level.build->Matches());
    }
    const auto work = static_cast<size_t>(std::min(expected + rows, 1e15));
    if (split_threads_ < 2 || work < 2 * ColumnSplit::kValuesPerThread) {
      JoinShare(lanes_[0], kept, kept + count);
      return;
    }
    const size_t half = count / 2;
    lane_split_.Run(2, work / 2, [&](size_t s) {
      JoinShare(lanes_[s], kept + (s == 0 ? 0 : half), kept + (s == 0 ? half : count));
    });
    const Lane& second = lanes_[1];
    for (size_t t = 0; t < tables_.size(); ++t) {
      lanes_[0].positions[t].insert(lanes_[0].positions[t].end(), second.positions[t].begin(),
                                    second.positions[t].end());
    }
  }

  // Joins the kept rows from `begin` to `end` through every level in `lane`;
  // a share no row of which is left has no rows in any table.
  void JoinShare(Lane& lane, const uint32_t* begin, const uint32_t* end) {
    lane.positions[0].assign(begin, end);
    for (size_t l = 0; l < levels_.size() && !lane.positions[0].empty(); ++l) Join(lane, l);
    if (lane.positions[0].empty()) {
      for (std::vector<uint32_t>& rows : lane.positions) rows.clear();
    }
  }

  // Joins the lane's rows with level `l`'s right side: table l + 1.
  void Join(Lane& lane, size_t l) const {
    const Level& level = levels_[l];
    const JoinBuild& build = *level.build;
    const size_t count = lane.positions[0].size();
    lane.first.assign(count, JoinBuild::kNone);
    const Column* integers = IntegerKey(level);
    if (integers && integers->storage() == Column::Storage::Int32) {
      JoinIntegers(lane, build, *integers, integers->int32s(), lane.positions[level.keys[0].table], count);
    } else if (integers) {
      JoinIntegers(lane, build, *integers, integers->int64s(), lane.positions[level.keys[0].table], count);
    } else {
      JoinValues(lane, level, count);
    }
    Expand(lane, l, count);
  }

  // The one key column of an integer join, read as stored; null for any other.
  static const Column* IntegerKey(const Level& level) {
    if (level.keys.size() != 1 || !level.build->integer_key()) return nullptr;
    const Column* column = level.keys[0].column;
    const Column::Storage storage = column->storage();
    return storage == Column::Storage::Int32 || storage == Column::Storage::Int ? column : nullptr;
  }

  template <typename Stored>
  static void JoinIntegers(Lane& lane, const JoinBuild& build, const Column& column, const Stored* data,
                           const std::vector<uint32_t>& rows, size_t count) {
    lane.integer_keys.resize(count);
    lane.has_key.assign(count, 0);
    for (size_t i = 0; i < count; ++i) {
      const uint32_t row = rows[i];
      if (row == Column::kNoRow || column.IsNull(row)) continue;  // a NULL key matches nothing
      lane.has_key[i] = 1;
      lane.integer_keys[i] = data[row];
      build.PrefetchInteger(lane.integer_keys[i]);
    }
    for (size_t i = 0; i < count; ++i) {
      if (lane.has_key[i]) lane.first[i] = build.FirstOfInteger(lane.integer_keys[i]);
    }
  }

  static void JoinValues(Lane& lane, const Level& level, size_t count) {
    const JoinBuild& build = *level.build;
    const size_t width = level.keys.size();
    lane.keys.resize(count * width);
    lane.hashes.resize(count);
    lane.has_key.assign(count, 0);
    for (size_t i = 0; i < count; ++i) {
      Value* key = lane.keys.data() + i * width;
      bool known = true;
      for (size_t k = 0; k < width && known; ++k) {
        const uint32_t row = lane.positions[level.keys[k].table][i];
        known = row != Column::kNoRow && !level.keys[k].column->IsNull(row);
        if (known) level.keys[k].column->Read(row, key[k]);
      }
      if (!known) continue;  // a NULL key matches nothing
      lane.has_key[i] = 1;
      lane.hashes[i] = build.Prefetch(key);
    }
    for (size_t i = 0; i < count; ++i) {
      if (lane.has_key[i]) lane.first[i] = build.First(lane.keys.data() + i * width, lane.hashes[i]);
    }
  }

  // Follows each row with its matches (or a missing row) in table l + 1;
  // past ExpandOneEach some row is dropped or repeated, so the tables before
  // keep their rows in the new order. The chains of kWalked rows are walked
  // side by side, so that their loads overlap: a long chain's next row is
  // seldom near the one before.
  void Expand(Lane& lane, size_t l, size_t count) const {
    if (ExpandOneEach(lane, l, count)) return;
    const bool left = levels_[l].plan->type == ast::JoinType::Left;
    const JoinBuild& build = *levels_[l].build;
    const BuildRows& right = build.rows();
    const bool stored = !tables_[l + 1].scan;
    std::vector<uint32_t>& added = lane.positions[l + 1];
    added.clear();
    lane.parents.clear();
    for (size_t begin = 0; begin < count; begin += Lane::kWalked) {
      const size_t walked = std::min(Lane::kWalked, count - begin);
      size_t next[Lane::kWalked];
      for (size_t w = 0; w < walked; ++w) {
        next[w] = lane.first[begin + w];
        lane.walked[w].clear();
      }
      for (bool going = true; going;) {
        going = false;
        for (size_t w = 0; w < walked; ++w) {
          if (next[w] == JoinBuild::kNone) continue;
          lane.walked[w].push_back(next[w]);
          next[w] = build.Next(next[w]);
          going = true;
        }
      }
      for (size_t w = 0; w < walked; ++w) {
        const auto parent = static_cast<uint32_t>(begin + w);
        if (lane.walked[w].empty() && left) {
          added.push_back(Column::kNoRow);
          lane.parents.push_back(parent);
        }
        for (const size_t r : lane.walked[w]) {
          added.push_back(stored ? static_cast<uint32_t>(r) : right.Position(r));
          lane.parents.push_back(parent);
        }
      }
    }
    Keep(lane, l);
  }

  // Expand where every row meets one row of table l + 1 at most and stays
  // (a LEFT JOIN on a key, or an inner join every row matches): each row's
  // position is written in its place, and the tables before need no copy.
  // False as soon as a row does otherwise, for Expand to start again.
  bool ExpandOneEach(Lane& lane, size_t l, size_t count) const {
    const bool left = levels_[l].plan->type == ast::JoinType::Left;
    const JoinBuild& build = *levels_[l].build;
    const BuildRows& right = build.rows();
    const bool stored = !tables_[l + 1].scan;
    std::vector<uint32_t>& added = lane.positions[l + 1];
    added.resize(count);
    if (levels_[l].direct) {
      for (size_t i = 0; i < count; ++i) {
        const size_t r = lane.first[i];
        if (r == JoinBuild::kNone && !left) return false;
        added[i] = r == JoinBuild::kNone ? Column::kNoRow : static_cast<uint32_t>(r);
      }
      return true;
    }
    for (size_t i = 0; i < count; ++i) {
      const size_t r = lane.first[i];
      if (r == JoinBuild::kNone) {
        if (!left) return false;
        added[i] = Column::kNoRow;
      } else if (build.Next(r) != JoinBuild::kNone) {
        return false;
      } else {
        added[i] = stored ? static_cast<uint32_t>(r) : right.Position(r);
      }
    }
    return true;
  }

  // Keeps the rows of tables 0 to `last` that the lane's parents name, in their order.
  static void Keep(Lane& lane, size_t last) {
    for (size_t t = 0; t <= last; ++t) {
      std::vector<uint32_t>& rows = lane.positions[t];
      lane.copy.resize(lane.parents.size());
      for (size_t k = 0; k < lane.parents.size(); ++k) lane.copy[k] = rows[lane.parents[k]];
      rows.swap(lane.copy);
    }
  }

  // The block: per table, its rows.
  const std::vector<std::vector<uint32_t>>& positions() const { return lanes_[0].positions; }

  std::vector<ChainTable> tables_;
  // A value Row reads from a table's column, or its row number (no column).
  struct Read {
    size_t table;
    size_t position;
    const Column* column;
  };

  // What Row reads: values from tables' columns, and whole stored rows per table.
  struct RowReads {
    std::vector<Read> columns;
    std::vector<uint8_t> stored;
  };

  RowReads ReadsOf(const std::vector<uint8_t>& read) const {
    RowReads reads{{}, std::vector<uint8_t>(tables_.size())};
    for (size_t t = 0; t < tables_.size(); ++t) {
      const size_t offset = tables_[t].offset;
      if (!tables_[t].scan) {
        const auto begin = read.begin() + static_cast<ptrdiff_t>(offset);
        reads.stored[t] = std::find(begin, begin + static_cast<ptrdiff_t>(tables_[t].width), 1) !=
                          begin + static_cast<ptrdiff_t>(tables_[t].width);
        continue;
      }
      const ScanPlan& scan = *tables_[t].scan;
      const size_t columns = scan.table->column_count();
      for (size_t p = 0; p < tables_[t].width; ++p) {
        const size_t c = tables_[t].passed[p];
        if (!read[offset + p]) continue;
        if (c < columns && scan.read[c]) reads.columns.push_back(Read{t, offset + p, &scan.table->column(c)});
        if (c == columns && scan.row_ids) reads.columns.push_back(Read{t, offset + p, nullptr});
      }
    }
    return reads;
  }

  std::vector<Level> levels_;  // lowest first
  std::vector<const BoundExpr*> filters_;  // over the chain, innermost first
  bool filters_read_ = false;
  RowReads whole_;   // every value the plan reads
  RowReads needed_;  // what Need asked for
  ExecContext& context_;
  const EvalRow* outer_;
  ScanSelector selector_;
  bool built_ = false;
  size_t begin_ = 0;
  // The block's first half, or all of it, then the whole block joined; the second half.
  std::array<Lane, 2> lanes_;
  std::vector<Value> row_;
  size_t split_threads_ = 1;
  ColumnSplit lane_split_;  // how a block's halves go over threads
};

// The levels of a chain whose keys are columns of its tables; false for any other plan.
bool ChainOf(const PlanNode& top, std::vector<ChainTable>& tables, std::vector<const JoinPlan*>& joins) {
  const PlanNode* node = &top;
  while (node->kind == PlanKind::Join) {
    const auto& join = static_cast<const JoinPlan&>(*node);
    if ((join.type != ast::JoinType::Inner && join.type != ast::JoinType::Left) || join.residual ||
        join.left_keys.empty()) {
      return false;
    }
    joins.insert(joins.begin(), &join);
    node = join.left.get();
  }
  if (joins.empty() || node->kind != PlanKind::Scan) return false;
  std::vector<size_t> passed(node->width);
  std::iota(passed.begin(), passed.end(), size_t{0});
  tables.push_back(ChainTable{static_cast<const ScanPlan*>(node), 0, node->width, std::move(passed)});
  for (const JoinPlan* join : joins) {
    std::vector<const BoundExpr*> filters;  // the build side applies them
    const ScanPlan* right = ScanUnderProjection(*join->right, filters, passed);
    tables.push_back(ChainTable{right, join->left->width, join->right->width, std::move(passed)});
  }
  for (const ChainTable& table : tables) {
    if (table.scan && table.scan->table->row_count() >= Column::kNoRow) return false;
  }
  return true;
}

}  // namespace

std::unique_ptr<PositionSource> JoinPositions(const PlanNode& plan, ExecContext& context, const EvalRow* outer) {
  std::vector<const BoundExpr*> filters;
  const PlanNode* node = &plan;
  for (; node->kind == PlanKind::Filter; node = static_cast<const FilterPlan&>(*node).input.get()) {
    filters.insert(filters.begin(), static_cast<const FilterPlan&>(*node).predicate.get());
  }
  std::vector<ChainTable> tables;
  std::vector<const JoinPlan*> joins;
  if (!ChainOf(*node, tables, joins)) return nullptr;
  std::vector<Level> levels;
  for (const JoinPlan* join : joins) {
    const ChainTable& right = tables[levels.size() + 1];
    Level level{join, {}, nullptr};
    for (const BoundExprPtr& key : join->left_keys) {
      const auto* column = key->As<bound::Column>();
      size_t table = 0;
      const Column* read =
          column && column->depth == 0 ? ColumnOf(tables, static_cast<size_t>(column->position), table) : nullptr;
      if (!read || read->type() != key->type) return nullptr;
      level.keys.push_back(KeyColumn{table, read});
    }
    // Right keys that are columns: the build side keeps the table's positions, never a copy.
    for (const BoundExprPtr& key : join->right_keys) {
      const auto* column = key->As<bound::Column>();
      if (!column || column->depth != 0) return nullptr;
      if (right.scan && right.passed[static_cast<size_t>(column->position)] == kNotPassed) return nullptr;
    }
    levels.push_back(std::move(level));
  }
  return std::make_unique<JoinSource>(std::move(tables), std::move(levels), std::move(filters), plan.width, context,
                                      outer);
}

std::unique_ptr<PositionSource> PlanPositions(const PlanNode& plan, ExecContext& context) {
  std::unique_ptr<PositionSource> source = ScanPositions(plan, context);
  return source ? std::move(source) : JoinPositions(plan, context, nullptr);
}

}  // namespace orv::engine
