// Eight threads read the capability cache while another loads it, and load it
// themselves when they come first: whenever a group is marked complete, every
// property of it holds its final value (no torn group), and every accessor
// answers right. Built to run under the thread sanitizer as well.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "frame/cdatasource.h"
#include "tests/frame/cache_fixture.h"

namespace orv::frame {
namespace {

constexpr int kProcedures = 20000;  // besides the tiny data's 3
constexpr int kTypes = 2000;       // besides the tiny data's 10, from 1001

std::string RaceRows() {
  std::string sql;
  for (int i = 0; i < kProcedures; ++i) {
    sql += (i % 500 == 0 ? "INSERT INTO t_SupportedProc VALUES " : ", ") + std::string("(N'p_Race") +
           std::to_string(i) + "')" + (i % 500 == 499 ? "\r\n" : "");
  }
  for (int i = 0; i < kTypes; ++i) {
    sql += (i % 200 == 0 ? "INSERT INTO t_DataTypeInfo VALUES " : ", ") + std::string("(") + std::to_string(1001 + i) +
           ", N'race" + std::to_string(i) + "', 100, 0, 10, 131, 131, NULL)" + (i % 200 == 199 ? "\r\n" : "");
  }
  return sql;
}

bool IsTrue(const platform::Variant& value) { return value.type() == platform::VarType::Boolean && value.ToBool(); }

// Whether a group marked complete holds everything; true for a group not yet marked.
bool DataSourceGroupWhole(const std::shared_ptr<platform::SharedPropertyGroup>& group) {
  if (!group || !IsTrue(group->CreateProperty("Connected")->Value())) return true;
  const auto procedures = std::dynamic_pointer_cast<platform::ConditionDictionary>(
      group->CreateProperty("SupportedProc")->Value().ToObject());
  return procedures && procedures->Count() == kProcedures + 3 &&
         group->CreateProperty("DBMSName")->Value().ToString() == "Orvalent Embedded" &&
         group->CreateProperty("DateTimeFunctions")->Value().ToLong() == 0x0009FFFF &&
         group->CreateProperty("ConnectString")->Value().ToString() ==
             "Provider=Orvalent.Embedded;Data Source=cache-race";
}

bool TypeGroupWhole(const std::shared_ptr<platform::SharedPropertyGroup>& group) {
  if (!group || !IsTrue(group->CreateProperty("Loaded")->Value())) return true;
  for (int position = 1001; position < 1001 + kTypes; position += 37) {
    const auto row = std::dynamic_pointer_cast<platform::ConditionDictionary>(
        group->CreatePropertyByPosition(position)->Value().ToObject());
    if (!row || row->Item("FDataType").ToLong() != position) return false;
  }
  return true;
}

TEST(CapabilityCacheConcurrency, EightReadersWhileOneLoadsSeeNoTornGroup) {
  RegisterTinyCopy("cache-race", RaceRows());
  platform::GetDatabaseInstance("cache-race");  // the data is in place before the threads start
  const CacheSession session = FreshCacheSession("cache-race");
  auto parser = std::make_shared<CParse>();
  parser->ParseString(session.sDsn);

  std::atomic<bool> start{false};
  std::atomic<bool> loaded{false};
  std::atomic<int> torn{0};
  std::atomic<int> wrong{0};
  std::atomic<int> failed{0};
  std::vector<std::thread> threads;
  threads.emplace_back([&] {
    while (!start) std::this_thread::yield();
    CDataSource source;
    source.SetParser(parser);
    source.DataSourceGroup();
    source.DataTypeInfoGroup();
    loaded = true;
  });
  for (int reader = 0; reader < 8; ++reader) {
    threads.emplace_back([&, reader] {
      CDataSource source;
      source.SetParser(parser);
      platform::SharedPropertyGroupManager manager;
      while (!start) std::this_thread::yield();
      int after_load = 0;
      for (int round = 0; after_load < 3 && round < 1000000; ++round) {
        try {
          if (!DataSourceGroupWhole(manager.Group(session.group_prefix + "DataSource"))) ++torn;
          if (!TypeGroupWhole(manager.Group(session.group_prefix + "DataTypeInfo"))) ++torn;
          // Half the readers go through the accessors from the start and may load the groups themselves.
          if (reader % 2 == 0 || loaded) {
            const int i = (round * 7 + reader) % kProcedures;
            int32_t precision = 20;
            int16_t scale = 15;  // above the race types' maximum scale 10
            const std::string type_name = "race" + std::to_string(i % kTypes) + "(20,10)";
            if (!source.ProcSupported("p_Race" + std::to_string(i)) || source.ProcSupported("p_Race") ||
                source.GetTypeName(1001 + i % kTypes, &precision, &scale) != type_name || !source.LikeEscapeClause()) {
              ++wrong;
            }
          }
        } catch (...) {
          ++failed;
        }
        if (loaded) ++after_load;
      }
    });
  }
  start = true;
  for (std::thread& thread : threads) thread.join();
  EXPECT_TRUE(loaded);
  EXPECT_EQ(torn, 0);
  EXPECT_EQ(wrong, 0);
  EXPECT_EQ(failed, 0);
}

}  // namespace
}  // namespace orv::frame
