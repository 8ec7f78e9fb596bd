// How a block's columns go over threads: each column filled once, those that
// share an arena on the calling thread in column order, every thread charging
// the batch's memory account, and the error of the first failing column in
// column order, as one thread going column by column raises it.
#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "engine/common/memory_budget.h"
#include "engine/execution/column_split.h"

namespace orv::engine {
namespace {

// A block large enough to pay for `threads` threads over `columns` columns.
size_t LargeBlock(size_t columns, size_t threads) { return ColumnSplit::kValuesPerThread * threads / columns + 1; }

TEST(ColumnSplit, ASmallBlockRunsItsColumnsInOrderOnTheCallingThread) {
  const ColumnSplit split(2, {});
  std::vector<size_t> order;
  std::vector<std::thread::id> threads;
  split.Run(4, 100, [&](size_t c) {
    order.push_back(c);
    threads.push_back(std::this_thread::get_id());
  });
  EXPECT_EQ(order, (std::vector<size_t>{0, 1, 2, 3}));
  for (const std::thread::id& thread : threads) EXPECT_EQ(thread, std::this_thread::get_id());
}

TEST(ColumnSplit, FlaggedColumnsStayOnTheCallingThreadInOrderAndEveryColumnRunsOnce) {
  const size_t columns = 12;
  const ColumnSplit split(4, {0, 1, 0, 0, 1, 0, 1, 0, 0, 0, 0, 1});
  MemoryBudgetScope budget(size_t{1} << 30);
  MemoryAccount* account = CurrentMemoryAccount();
  std::vector<std::atomic<int>> runs(columns);
  std::vector<MemoryAccount*> charged(columns);
  std::vector<size_t> flagged;
  std::mutex lock;
  const std::thread::id caller = std::this_thread::get_id();
  split.Run(columns, LargeBlock(columns, 4), [&](size_t c) {
    ++runs[c];
    charged[c] = CurrentMemoryAccount();
    if (c == 1 || c == 4 || c == 6 || c == 11) {
      EXPECT_EQ(std::this_thread::get_id(), caller) << "column " << c;
      const std::lock_guard<std::mutex> held(lock);
      flagged.push_back(c);
    }
  });
  for (size_t c = 0; c < columns; ++c) {
    EXPECT_EQ(runs[c], 1) << "column " << c;
    EXPECT_EQ(charged[c], account) << "column " << c;
  }
  EXPECT_EQ(flagged, (std::vector<size_t>{1, 4, 6, 11}));
}

// Columns 3 and 7 fail: whichever thread fails first, column 3's error comes
// out, once every column has run.
TEST(ColumnSplit, TheFirstFailingColumnInColumnOrderGivesTheError) {
  const size_t columns = 10;
  const ColumnSplit split(2, {});
  std::atomic<int> ran{0};
  try {
    split.Run(columns, LargeBlock(columns, 2), [&](size_t c) {
      ++ran;
      if (c == 3 || c == 7) throw std::runtime_error("column " + std::to_string(c));
    });
    FAIL() << "no error";
  } catch (const std::runtime_error& error) {
    EXPECT_STREQ(error.what(), "column 3");
  }
  EXPECT_EQ(ran, 10);
  // One thread stops at the first, as a loop over the columns would.
  ran = 0;
  EXPECT_THROW(ColumnSplit().Run(columns, LargeBlock(columns, 2),
                                 [&](size_t c) {
                                   ++ran;
                                   if (c == 3) throw std::runtime_error("column 3");
                                 }),
               std::runtime_error);
  EXPECT_EQ(ran, 4);
}

}  // namespace
}  // namespace orv::engine
