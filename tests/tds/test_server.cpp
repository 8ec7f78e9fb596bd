// Starting and stopping the test listener.
#include "tests/tds/test_server.h"

#include <unistd.h>

#include <atomic>

#include "demo/demo_database.h"
#include "platform/embedded_provider.h"

namespace orv::tds::testing {

TestServer::TestServer(const std::string& database, const std::function<void(ServerConfig&, ListenOptions&)>& adjust) {
  static std::atomic<int> counter{0};
  directory_ = std::filesystem::temp_directory_path() /
               ("orv_tds_" + std::to_string(::getpid()) + "_" + std::to_string(counter++));
  std::filesystem::create_directories(directory_);
  accounts::UserFile users;
  users.Add(kUser, kPassword, false, 1000);  // few iterations: tests log in often
  users.Save(directory_ / "users");
  users_ = std::make_unique<accounts::UserDirectory>(directory_ / "users");
  throttle_ = std::make_unique<LoginThrottle>(ThrottleOptions{});
  if (database.empty()) {
    config_.database = std::make_shared<engine::Database>("testdb");
    config_.database_name = "testdb";
  } else {
    demo::RegisterDemoDatabases();
    config_.database = platform::GetDatabaseInstance(database);
    config_.database_name = database;
  }
  config_.users = users_.get();
  config_.throttle = throttle_.get();
  ListenOptions listen;
  listen.port = 0;
  if (adjust) adjust(config_, listen);
  server_ = std::make_unique<Server>(config_, listen);
  server_->Start();
}

TestServer::~TestServer() {
  server_->Stop();
  std::error_code ignored;
  std::filesystem::remove_all(directory_, ignored);
}

}  // namespace orv::tds::testing
