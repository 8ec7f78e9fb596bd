// What one report service is given: where the reports' data lives, who may
// log in, where the pages are, and the limits that keep one client from
// starving the others.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace orv::accounts {
class UserDirectory;
}

namespace orv::http {

struct ServiceConfig {
  // The connection string of the reports' database, put into every session
  // string the service writes (e.g. "Provider=Orvalent.Embedded;Data Source=demo-small").
  std::string connect_string;
  accounts::UserDirectory* users = nullptr;
  std::string static_dir;  // empty: the pages built into the project

  size_t max_body_bytes = 64 * 1024;
  size_t worker_threads = 8;              // requests served at once
  size_t max_concurrent_runs = 2;         // reports running or exporting at once
  size_t max_runs_per_session = 4;        // finished results kept per login, for export
  size_t max_kept_runs = 64;              // finished results kept in all
  size_t max_kept_rows = 600000;          // and their rows in all
  size_t max_result_rows = 200000;        // a larger result is refused: narrow the filter
  // A report run past this is stopped in the database (its running batch is
  // cancelled) and answered with a time-out; zero: no limit.
  std::chrono::milliseconds run_timeout{std::chrono::minutes(2)};
  std::chrono::seconds io_timeout{10};    // reading a request, writing a response
  std::chrono::minutes session_idle{30};  // a login unused this long ends
  size_t max_sessions = 1000;

  std::function<void(const std::string&)> log;  // events, one line each; may be empty
};

// Where `orvalent serve --http` listens unless told otherwise: this machine only.
inline constexpr const char* kDefaultListenHost = "127.0.0.1";
inline constexpr uint16_t kDefaultListenPort = 8080;

// The pages shipped with the project.
std::string DefaultStaticDir();

}  // namespace orv::http
