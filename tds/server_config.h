// What every connection of one listener shares: the database, the users, TLS,
// the login throttle, limits and time-outs, and where events are logged.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "accounts/login_throttle.h"
#include "engine/engine.h"
#include "tds/prelogin.h"

namespace orv::accounts {
class UserDirectory;
}

namespace orv::tds {

// The listener slows password guessing with the accounts' throttle.
using accounts::LoginThrottle;
using accounts::ThrottleOptions;

class TlsContext;

struct ServerConfig {
  std::shared_ptr<engine::Database> database;
  std::string database_name;         // what ENVCHANGE announces and a login may ask for
  std::string server_name = "orvalent";
  accounts::UserDirectory* users = nullptr;
  const TlsContext* tls = nullptr;   // null: no certificate
  bool tls_required = false;
  LoginThrottle* throttle = nullptr;
  std::chrono::milliseconds login_timeout{std::chrono::seconds(10)};    // connect to logged in
  std::chrono::milliseconds request_timeout{std::chrono::seconds(60)};  // first to last packet of a request
  std::chrono::milliseconds write_timeout{std::chrono::seconds(60)};    // a client that stops reading
  size_t max_message_bytes = 16u << 20;  // a request larger than this ends the connection
  std::function<void(const std::string&)> log;  // may be empty

  TlsPolicy tls_policy() const {
    return tls == nullptr ? TlsPolicy::kUnavailable : tls_required ? TlsPolicy::kRequired : TlsPolicy::kOffered;
  }
};

}  // namespace orv::tds
