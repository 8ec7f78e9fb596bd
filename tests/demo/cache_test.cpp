// The demo cache: a generated scale is written to a cache file the first time
// and read from it afterwards; a damaged cache file is built again, never
// read as data.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "demo/demo_database.h"
#include "engine/catalog/database_file.h"
#include "engine/engine.h"
#include "platform/embedded_provider.h"

namespace orv::demo {
namespace {

namespace fs = std::filesystem;

std::string Scalar(const std::shared_ptr<engine::Database>& database, const std::string& sql) {
  engine::Session session(database);
  engine::BatchResult result = session.Execute(sql);
  if (result.first_error()) return "error " + std::to_string(result.first_error()->number());
  return engine::FormatValue(result.result_sets.back().at(0, 0));
}

fs::path OnlyFile(const fs::path& folder) {
  fs::path found;
  for (const auto& entry : fs::directory_iterator(folder)) {
    EXPECT_TRUE(found.empty()) << "a second file " << entry.path();
    found = entry.path();
  }
  return found;
}

TEST(DemoCache, BuiltOnceThenReadFromTheCacheAndRebuiltWhenDamaged) {
  const fs::path folder = fs::temp_directory_path() / ("orv_demo_cache_" + std::to_string(::getpid()));
  fs::remove_all(folder);
  ::setenv("ORVALENT_CACHE_DIR", folder.c_str(), 1);
  RegisterDemoDatabases();
  const std::string count = "SELECT COUNT(*) FROM t_Item";
  const std::string built = Scalar(platform::GetDatabaseInstance("demo-small"), count);
  ASSERT_NE(built.substr(0, 5), "error");
  platform::DropDatabaseInstance("demo-small");
  const fs::path copy = OnlyFile(folder);
  EXPECT_TRUE(copy.filename().string().starts_with("demo-small-")) << copy;

  // What the cache file holds is what opens: a stand-in proves it is read.
  {
    engine::Session session(std::make_shared<engine::Database>("x"));
    engine::Catalog& catalog = session.database().catalog();
    ASSERT_FALSE(session.Execute("CREATE TABLE t_Item (marker INT)\nINSERT INTO t_Item VALUES (1), (2)").first_error());
    engine::SaveDatabaseCopy(catalog, copy.string());
  }
  EXPECT_EQ(Scalar(platform::GetDatabaseInstance("demo-small"), count), "2");
  platform::DropDatabaseInstance("demo-small");

  // A damaged copy is built again and written over.
  { std::ofstream(copy, std::ios::trunc) << "not a database"; }
  EXPECT_EQ(Scalar(platform::GetDatabaseInstance("demo-small"), count), built);
  platform::DropDatabaseInstance("demo-small");
  EXPECT_EQ(Scalar(platform::GetDatabaseInstance("demo-small"), count), built);
  platform::DropDatabaseInstance("demo-small");
  EXPECT_EQ(OnlyFile(folder), copy);
  fs::remove_all(folder);
  ::unsetenv("ORVALENT_CACHE_DIR");
}

}  // namespace
}  // namespace orv::demo
