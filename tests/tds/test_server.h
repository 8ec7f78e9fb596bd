// A listener for one test: on 127.0.0.1 with a free port, a user file with
// the user "tester" (password "s3cret!"), started in the constructor and
// stopped in the destructor.
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "accounts/user_file.h"
#include "engine/engine.h"
#include "tds/server.h"
#include "tds/tls.h"

namespace orv::tds::testing {

inline constexpr const char* kUser = "tester";
inline constexpr const char* kPassword = "s3cret!";

class TestServer {
 public:
  // `database`: a registered name (demo-tiny) or empty for a fresh database
  // named "testdb". `adjust` may change the configuration before the start.
  explicit TestServer(const std::string& database = "",
                      const std::function<void(ServerConfig&, ListenOptions&)>& adjust = {});
  ~TestServer();

  uint16_t port() const { return server_->port(); }
  Server& server() { return *server_; }
  const std::string& database_name() const { return config_.database_name; }
  const std::filesystem::path& directory() const { return directory_; }
  std::shared_ptr<engine::Database> database() const { return config_.database; }

 private:
  std::filesystem::path directory_;
  std::unique_ptr<accounts::UserDirectory> users_;
  std::unique_ptr<LoginThrottle> throttle_;
  ServerConfig config_;
  std::unique_ptr<Server> server_;
};

}  // namespace orv::tds::testing
