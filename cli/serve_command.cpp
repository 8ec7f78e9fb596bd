// The serve command: loads the database (a registered name such as demo-tiny,
// or a T-SQL script file), reads the user file (and for TDS the TLS files),
// listens and logs events to standard error. Prints "listening on HOST:PORT"
// (for HTTP "listening on http://HOST:PORT/") once ready, so a caller that
// asked for port 0 learns the port.
#include "cli/serve_command.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <csignal>
#include <filesystem>
#include <iostream>
#include <memory>
#include <stdexcept>

#include "accounts/user_file.h"
#include "cli/script_text.h"
#include "demo/demo_database.h"
#include "engine/engine.h"
#include "engine/parser/parser.h"
#include "http/report_service.h"
#include "platform/automation_error.h"
#include "platform/embedded_provider.h"
#include "tds/server.h"
#include "tds/tls.h"

namespace orv::cli {
namespace {

struct ServeOptions {
  bool tds = false;
  bool http = false;
  std::string listen;  // empty: loopback on the protocol's usual port
  std::string database;
  std::string users;
  std::string tls_certificate;
  std::string tls_key;
  bool tls_required = false;
  size_t max_connections = 256;
  int login_timeout_seconds = 10;
  int64_t run_timeout_seconds =
      std::chrono::duration_cast<std::chrono::seconds>(http::ServiceConfig{}.run_timeout).count();
};

// "host:port", "[v6]:port" or ":port" (all addresses).
tds::ListenOptions ParseListen(const std::string& text, size_t max_connections) {
  tds::ListenOptions options;
  options.max_connections = max_connections;
  const size_t colon = text.rfind(':');
  if (colon == std::string::npos) throw std::runtime_error("--listen wants HOST:PORT, not '" + text + "'.");
  std::string host = text.substr(0, colon);
  if (host.size() >= 2 && host.front() == '[' && host.back() == ']') host = host.substr(1, host.size() - 2);
  const std::string port = text.substr(colon + 1);
  int number = -1;
  try {
    size_t used = 0;
    number = std::stoi(port, &used);
    if (used != port.size()) number = -1;
  } catch (const std::exception&) {
  }
  if (number < 0 || number > 65535) throw std::runtime_error("--listen has a bad port '" + port + "'.");
  options.host = host;
  options.port = static_cast<uint16_t>(number);
  return options;
}

bool IsLoopback(const std::string& host) {
  return host == "127.0.0.1" || host == "::1" || host == "localhost" || host.starts_with("127.");
}

// A registered database by name, or one filled by the script at `source` and
// registered under the script's name, so reports reach it by connection string.
std::shared_ptr<engine::Database> OpenDatabase(const std::string& source, std::string& name) {
  if (!std::filesystem::is_regular_file(source)) {
    name = source;
    return platform::OpenNamedDatabase(source);
  }
  name = std::filesystem::path(source).stem().string();
  const std::string script = DecodeScript(ReadInput(source), source);
  platform::RegisterDatabaseFactory(name, [script, source](engine::Session& session) {
    for (const engine::ScriptBatch& batch : engine::SplitScript(script)) {
      const engine::BatchResult result = session.Execute(batch.text);
      if (const engine::SqlError* error = result.first_error()) {
        throw std::runtime_error("Loading '" + source + "' failed: Msg " + std::to_string(error->number()) + ", " +
                                 error->message());
      }
    }
  });
  return platform::GetDatabaseInstance(name);
}

// Waits for SIGINT or SIGTERM, blocked in every thread started after this.
int WaitForStopSignal(sigset_t& signals) {
  int received = 0;
  sigwait(&signals, &received);
  return received;
}

void WarnBeyondLoopback(const std::string& host, const std::string& what) {
  if (!IsLoopback(host)) std::cerr << "warning: listening beyond this machine " << what << '\n';
}

// The report service and its pages; the reports run on `--database` through the embedded provider.
int RunServeHttp(const ServeOptions& options, sigset_t& signals) {
  if (!options.tls_certificate.empty() || options.tls_required) {
    throw std::runtime_error("--http serves plain HTTP; put a TLS proxy in front of it instead of --tls-cert.");
  }
  http::ServiceConfig config;
  std::string name;
  OpenDatabase(options.database, name);
  config.connect_string = "Provider=Orvalent.Embedded;Data Source=" + name;
  accounts::UserDirectory users(options.users);
  config.users = &users;
  config.worker_threads = std::max<size_t>(2, std::min<size_t>(options.max_connections, 64));
  config.run_timeout = std::chrono::seconds(options.run_timeout_seconds);
  config.log = [](const std::string& event) { std::cerr << event << std::endl; };
  const std::string default_listen = std::string(http::kDefaultListenHost) + ":" + std::to_string(http::kDefaultListenPort);
  const tds::ListenOptions listen = ParseListen(options.listen.empty() ? default_listen : options.listen, 0);
  WarnBeyondLoopback(listen.host, "over plain HTTP; passwords and reports cross the network unencrypted");
  http::ReportService service(config);
  service.Start(listen.host, listen.port);
  std::cout << "listening on http://" << listen.host << ':' << service.port() << "/ database " << name << std::endl;
  const int signal = WaitForStopSignal(signals);
  std::cerr << "stopping on signal " << signal << std::endl;
  service.Stop();
  return 0;
}

int RunServe(const ServeOptions& options) {
  if (options.tds == options.http) throw std::runtime_error("Choose one protocol to serve: --tds or --http.");
  if (options.tls_certificate.empty() != options.tls_key.empty()) {
    throw std::runtime_error("--tls-cert and --tls-key go together.");
  }
  if (options.tls_required && options.tls_certificate.empty()) {
    throw std::runtime_error("--tls-require needs --tls-cert and --tls-key.");
  }
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);

  demo::RegisterDemoDatabases();
  if (options.http) return RunServeHttp(options, signals);
  tds::ServerConfig config;
  config.database = OpenDatabase(options.database, config.database_name);
  accounts::UserDirectory users(options.users);
  config.users = &users;
  std::unique_ptr<tds::TlsContext> tls;
  if (!options.tls_certificate.empty()) tls = std::make_unique<tds::TlsContext>(options.tls_certificate, options.tls_key);
  config.tls = tls.get();
  config.tls_required = options.tls_required;
  tds::LoginThrottle throttle(tds::ThrottleOptions{});
  config.throttle = &throttle;
  config.login_timeout = std::chrono::seconds(options.login_timeout_seconds);
  config.log = [](const std::string& event) { std::cerr << event << std::endl; };

  const tds::ListenOptions listen =
      ParseListen(options.listen.empty() ? "127.0.0.1:1433" : options.listen, options.max_connections);
  if (!options.tls_required) {
    WarnBeyondLoopback(listen.host, "without --tls-require; passwords may cross the network unencrypted");
  }
  tds::Server server(config, listen);
  server.Start();
  std::cout << "listening on " << listen.host << ':' << server.port() << " database " << config.database_name
            << std::endl;
  const int signal = WaitForStopSignal(signals);
  std::cerr << "stopping on signal " << signal << std::endl;
  server.Stop();
  return 0;
}

}  // namespace

// Failures are printed and end the run with 1.
int RunServeCommand(const ServeOptions& options) {
  try {
    return RunServe(options);
  } catch (const platform::AutomationError& error) {
    std::cerr << error.description() << '\n';
  } catch (const std::exception& error) {
    std::cerr << error.what() << '\n';
  }
  return kExitFailed;
}

void AddServeCommand(CommandLine& command_line) {
  auto options = std::make_shared<ServeOptions>();
  CLI::App* command = &command_line.AddCommand("serve",
                                               "Serve the embedded database over TDS, or its reports and their "
                                               "web viewer over HTTP",
                                               [options] { return RunServeCommand(*options); });
  command->add_flag("--tds", options->tds, "Speak TDS 7.4 to SQL Server clients");
  command->add_flag("--http", options->http, "Serve the reports' JSON API and web viewer over HTTP");
  command->add_option("--listen", options->listen,
                      "HOST:PORT to listen on (default 127.0.0.1:1433 for --tds, 127.0.0.1:8080 for --http); port "
                      "0 takes a free one");
  command->add_option("--database", options->database, "A registered database (demo-tiny, ...) or a T-SQL script file")
      ->required();
  command->add_option("--users", options->users, "The user file (`orvalent user add`)")->required();
  command->add_option("--tls-cert", options->tls_certificate, "PEM certificate chain for TLS");
  command->add_option("--tls-key", options->tls_key, "PEM private key for TLS");
  command->add_flag("--tls-require", options->tls_required, "Refuse clients that do not encrypt");
  command->add_option("--max-connections", options->max_connections, "Connections served at once")
      ->capture_default_str();
  command->add_option("--login-timeout", options->login_timeout_seconds, "Seconds a client has to log in")
      ->check(CLI::Range(1, 3600))
      ->capture_default_str();
  command->add_option("--run-timeout", options->run_timeout_seconds,
                      "--http: seconds a report run may take before it is stopped (0: no limit)")
      ->check(CLI::Range(0, 86400))
      ->capture_default_str();
}

}  // namespace orv::cli
