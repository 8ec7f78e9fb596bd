// The demo scripts: the generator gives the same bytes for the same seed and
// other data for another seed, and every batch of every script parses.
#include <gtest/gtest.h>

#include <string>

#include "demo/demo_database.h"
#include "engine/common/errors.h"
#include "engine/parser/parser.h"

namespace orv::demo {
namespace {

TEST(DataScript, SameSeedGivesSameBytesAndAnotherSeedOtherData) {
  const std::string first = DataScript(Scale::Small, 7);
  EXPECT_EQ(first, DataScript(Scale::Small, 7));
  const std::string other = DataScript(Scale::Small, 8);
  EXPECT_NE(first, other);
  // Not only the header comment that names the seed differs.
  EXPECT_NE(first.substr(first.find('\n')), other.substr(other.find('\n')));
}

TEST(DataScript, TinyFixtureIgnoresTheSeed) {
  EXPECT_EQ(DataScript(Scale::Tiny, 1), DataScript(Scale::Tiny, 2));
  EXPECT_EQ(DataScript(Scale::Tiny), DataScript(Scale::Tiny, kDefaultSeed));
}

TEST(DataScript, ScaleNamesRoundTrip) {
  for (Scale scale : {Scale::Tiny, Scale::Small, Scale::Large}) EXPECT_EQ(ParseScale(ScaleName(scale)), scale);
  EXPECT_FALSE(ParseScale("Tiny").has_value());
  EXPECT_FALSE(ParseScale("").has_value());
}

// Parses each GO-separated batch; reports the first failure with its script line.
void ExpectEveryBatchParses(const std::string& script, const char* name) {
  const auto batches = engine::SplitScript(script);
  ASSERT_GT(batches.size(), 1u) << name;
  for (const engine::ScriptBatch& batch : batches) {
    try {
      engine::ParseBatch(batch.text);
    } catch (const engine::SqlError& error) {
      ADD_FAILURE() << name << " batch at line " << batch.first_line << ", line " << error.line()
                    << " of the batch: " << error.number() << " " << error.message();
      return;
    }
  }
}

TEST(DataScript, EveryBatchOfSchemaTinyAndSmallParses) {
  ExpectEveryBatchParses(SchemaScript(), "schema");
  ExpectEveryBatchParses(DataScript(Scale::Tiny), "tiny");
  ExpectEveryBatchParses(DataScript(Scale::Small), "small");
}

TEST(DataScript, CreateViewStandsAloneInItsBatch) {
  // SQL Server requires CREATE VIEW to be the only statement of its batch.
  int views = 0;
  for (const engine::ScriptBatch& batch : engine::SplitScript(SchemaScript())) {
    const size_t at = batch.text.find("CREATE VIEW");
    if (at == std::string::npos) continue;
    ++views;
    EXPECT_EQ(batch.text.find("CREATE", at + 1), std::string::npos) << batch.text;
  }
  EXPECT_EQ(views, 4);
}

}  // namespace
}  // namespace orv::demo
