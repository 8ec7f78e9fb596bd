// The hash index behind grouping, joins and IN lists: equal values of
// different exact types must meet, NULL keys group together.
#include <gtest/gtest.h>

#include "engine/execution/int_key_index.h"
#include "engine/storage/row_index.h"

namespace orv::engine {
namespace {

TEST(RowIndex, ExactNumbersOfEqualValueHashAlikeWhateverTheirType) {
  for (int64_t x : {int64_t{0}, int64_t{5}, int64_t{-7}, int64_t{1} << 40, int64_t{-1}}) {
    Value integer = Value::Integer(TypeId::Int, x);
    Value decimal = Value::Decimal(static_cast<Int128>(x) * 100, 20, 2);
    EXPECT_EQ(HashKey(&integer, 1), HashKey(&decimal, 1)) << x;
  }
}

TEST(RowIndex, FindsKeysAcrossGrowthAndGroupsNulls) {
  RowIndex index(2);
  bool inserted = false;
  for (int64_t i = 0; i < 1000; ++i) {
    Value key[2] = {Value::Integer(TypeId::Int, i % 100), i % 7 == 0 ? Value::Null(TypeId::Int)
                                                                      : Value::Integer(TypeId::Int, 1)};
    index.FindOrInsert(key, inserted);
  }
  EXPECT_EQ(index.size(), 200u);  // each first column with a NULL and with 1
  Value probe[2] = {Value::Decimal(4200, 10, 2), Value::Null(TypeId::Int)};
  EXPECT_GE(index.Find(probe), 0);
  probe[0] = Value::Integer(TypeId::Int, 100);
  EXPECT_EQ(index.Find(probe), -1);
}

TEST(IntKeyIndex, KeepsOneNumberPerKeyAcrossGrowth) {
  IntKeyIndex index;
  EXPECT_EQ(index.Find(3), IntKeyIndex::kMissing);
  for (int64_t key = -500; key < 500; ++key) {
    size_t& entry = index.Entry(key * 7919);
    EXPECT_EQ(entry, IntKeyIndex::kNew);
    entry = static_cast<size_t>(key + 500);
  }
  EXPECT_EQ(index.Entry(-500 * 7919), 0u);
  index.Entry(INT64_MIN) = 77;
  EXPECT_EQ(index.Find(INT64_MIN), 77u);
  EXPECT_EQ(index.Find(499 * 7919), 999u);
  EXPECT_EQ(index.Find(4), IntKeyIndex::kMissing);
}

}  // namespace
}  // namespace orv::engine
