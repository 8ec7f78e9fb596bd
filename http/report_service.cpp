// The server's life and its gate: timeouts, body limit, worker count and the
// security headers are set once; the pages are files under one folder (the
// library refuses paths that climb out of it); the API handlers sit behind
// RequireLogin and, for what changes state, CheckCsrf.
#include "http/report_service.h"

#include <httplib.h>

#include <chrono>
#include <stdexcept>

#include <nlohmann/json.hpp>

#include "http/api_replies.h"
#include "http/report_dialog.h"
#include "http/viewer_texts.h"
#include "reports/report_catalog.h"

namespace orv::http {
namespace {

constexpr const char* kSessionCookie = "orv_session";
constexpr const char* kCsrfHeader = "X-Orvalent-Csrf";

// Keeps the characters a session string can carry inside a value.
std::string SessionSafe(const std::string& text) {
  std::string safe;
  for (const char c : text) {
    if (c != ';' && c != '=' && c != '{' && c != '}' && static_cast<unsigned char>(c) >= 0x20) safe += c;
  }
  return safe;
}

std::string CookieToken(const httplib::Request& request) {
  const std::string cookies = request.get_header_value("Cookie");
  const std::string prefix = std::string(kSessionCookie) + "=";
  size_t start = 0;
  while (start < cookies.size()) {
    size_t end = cookies.find(';', start);
    if (end == std::string::npos) end = cookies.size();
    std::string item = cookies.substr(start, end - start);
    item.erase(0, item.find_first_not_of(' '));
    if (item.starts_with(prefix)) return item.substr(prefix.size());
    start = end + 1;
  }
  return {};
}

}  // namespace

std::string DefaultStaticDir() { return ORV_HTTP_STATIC_DIR; }

ReportService::ReportService(ServiceConfig config)
    : config_(std::move(config)),
      sessions_(config_.session_idle, config_.max_sessions),
      runs_(config_.max_runs_per_session, config_.max_kept_runs, config_.max_kept_rows),
      throttle_(accounts::ThrottleOptions{}),
      server_(std::make_unique<httplib::Server>()) {
  if (config_.users == nullptr) throw std::invalid_argument("The report service needs a user directory.");
  if (config_.static_dir.empty()) config_.static_dir = DefaultStaticDir();
  const size_t workers = config_.worker_threads;
  server_->new_task_queue = [workers] { return new httplib::ThreadPool(workers); };
  server_->set_payload_max_length(config_.max_body_bytes);
  server_->set_read_timeout(config_.io_timeout);
  server_->set_write_timeout(config_.io_timeout);
  server_->set_keep_alive_timeout(5);
  server_->set_default_headers({{"X-Content-Type-Options", "nosniff"},
                                {"X-Frame-Options", "DENY"},
                                {"Referrer-Policy", "no-referrer"},
                                {"Content-Security-Policy", "default-src 'self'; frame-ancestors 'none'"}});
  if (!server_->set_mount_point("/", config_.static_dir)) {
    throw std::runtime_error("The pages' folder '" + config_.static_dir + "' does not exist.");
  }
  AddRoutes();
}

ReportService::~ReportService() { Stop(); }

void ReportService::Start(const std::string& host, uint16_t port) {
  if (port == 0) {
    const int bound = server_->bind_to_any_port(host);
    if (bound < 0) throw std::runtime_error("Cannot listen on " + host + ".");
    port_ = static_cast<uint16_t>(bound);
  } else {
    if (!server_->bind_to_port(host, port)) {
      throw std::runtime_error("Cannot listen on " + host + ":" + std::to_string(port) + ".");
    }
    port_ = port;
  }
  thread_ = std::thread([this] { server_->listen_after_bind(); });
  // Stop before the accept loop runs would miss it; wait (boundedly) until it does.
  for (int tries = 0; tries < 500 && !server_->is_running(); ++tries) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

void ReportService::Stop() {
  if (!thread_.joinable()) return;
  server_->stop();
  thread_.join();
}

std::string ReportService::SessionString(const LoginSession& session) const {
  return "ConnectString={" + config_.connect_string + "};UserName=" + SessionSafe(session.user) +
         ";UserID=0;Language=" + session.language + ";DBMS Name=Microsoft SQL Server;DBMS Version=08.00.2039;";
}

// Names come from clients: a line break in one must not forge a log line.
void ReportService::Log(const std::string& event) const {
  if (!config_.log) return;
  std::string line = event;
  for (char& c : line) {
    if (static_cast<unsigned char>(c) < 0x20) c = '?';
  }
  config_.log(line);
}

std::optional<LoginSession> ReportService::RequireLogin(const httplib::Request& request, httplib::Response& response) {
  const std::string token = CookieToken(request);
  std::optional<LoginSession> session;
  if (!token.empty()) session = sessions_.Find(token);
  if (!session) ErrorReply(response, 401, ViewerText("登录已过期，请重新登录", request.get_param_value("language")));
  return session;
}

bool ReportService::CheckCsrf(const LoginSession& session, const httplib::Request& request,
                              httplib::Response& response) {
  if (request.get_header_value(kCsrfHeader) == session.csrf_token) return true;
  ErrorReply(response, 403, "The request lacks the login's " + std::string(kCsrfHeader) + " header.");
  return false;
}

void ReportService::AddRoutes() {
  using httplib::Request;
  using httplib::Response;
  // Reads under a login, and writes that also carry the login's second token.
  const auto guarded = [this](bool writes, auto handler) {
    return [this, writes, handler](const Request& request, Response& response) {
      const std::optional<LoginSession> session = RequireLogin(request, response);
      if (!session || (writes && !CheckCsrf(*session, request, response))) return;
      response.set_header("Cache-Control", "no-store");
      handler(*session, request, response);
    };
  };
  server_->Get("/api/texts", [](const Request& request, Response& response) {
    std::string language = request.get_param_value("language");
    if (!IsViewerLanguage(language)) language = "chs";
    JsonReply(response, 200, {{"language", language}, {"texts", ViewerTexts(language)}});
  });
  server_->Post("/api/login", [this](const Request& request, Response& response) { Login(request, response); });
  server_->Post("/api/logout", guarded(true, [this](const LoginSession& session, const Request&, Response& response) {
                  Logout(session, response);
                }));
  server_->Get("/api/session", guarded(false, [](const LoginSession& session, const Request&, Response& response) {
                 JsonReply(response, 200,
                           {{"user", session.user}, {"language", session.language}, {"csrf", session.csrf_token}});
               }));
  server_->Post("/api/language",
                guarded(true, [this](const LoginSession& session, const Request& request, Response& response) {
                  ChangeLanguage(session, request, response);
                }));
  server_->Get("/api/reports", guarded(false, [](const LoginSession& session, const Request&, Response& response) {
                 JsonReply(response, 200, ReportListJson(session.language));
               }));
  server_->Get(R"(/api/reports/([0-9A-Za-z.]+))",
               guarded(false, [](const LoginSession& session, const Request& request, Response& response) {
                 const frame::ReportSchema* schema = reports::FindReportSchema(request.matches[1].str());
                 if (schema == nullptr) return ErrorReply(response, 404, "No such report.");
                 JsonReply(response, 200, ReportDialogJson(*schema, session.language));
               }));
  server_->Post(R"(/api/reports/([0-9A-Za-z.]+)/run)",
                guarded(true, [this](const LoginSession& session, const Request& request, Response& response) {
                  RunReport(session, request.matches[1].str(), request, response);
                }));
  server_->Get(R"(/api/runs/([0-9a-f]+)/export)",
               guarded(false, [this](const LoginSession& session, const Request& request, Response& response) {
                 Export(session, request.matches[1].str(), request, response);
               }));
  server_->set_exception_handler([this](const Request& request, Response& response, std::exception_ptr error) {
    try {
      std::rethrow_exception(error);
    } catch (const std::exception& failure) {
      Log("http " + request.path + " failed: " + failure.what());
    } catch (...) {
      Log("http " + request.path + " failed");
    }
    ErrorReply(response, 500, "The request failed.");
  });
  server_->set_error_handler([](const Request& request, Response& response) {
    if (request.path.starts_with("/api/") && response.body.empty()) {
      ErrorReply(response, response.status, "The request was refused (HTTP " + std::to_string(response.status) + ").");
    }
  });
}

}  // namespace orv::http
