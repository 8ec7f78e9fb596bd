// The report service over HTTP: the viewer's pages from the static folder and
// a JSON API under /api. Every report call needs a login (a session cookie
// from the user file's names and passwords) and, when it changes state, the
// login's second token in the X-Orvalent-Csrf header.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "accounts/login_throttle.h"
#include "http/finished_runs.h"
#include "http/login_sessions.h"
#include "http/service_config.h"

namespace httplib {
class Server;
struct Request;
struct Response;
}  // namespace httplib

namespace orv::http {

class ReportService {
 public:
  explicit ReportService(ServiceConfig config);
  ~ReportService();
  ReportService(const ReportService&) = delete;
  ReportService& operator=(const ReportService&) = delete;

  // Binds `host`:`port` (0 takes a free port) and serves on a thread of its
  // own. Throws std::runtime_error when the address cannot be bound.
  void Start(const std::string& host, uint16_t port);
  // Stops listening and waits for the requests under way.
  void Stop();
  uint16_t port() const { return port_; }

  // The session string a login's reports run with.
  std::string SessionString(const LoginSession& session) const;

 private:
  void AddRoutes();
  // The login of the request's cookie, or nothing (the response then says why).
  std::optional<LoginSession> RequireLogin(const httplib::Request& request, httplib::Response& response);
  bool CheckCsrf(const LoginSession& session, const httplib::Request& request, httplib::Response& response);

  void Login(const httplib::Request& request, httplib::Response& response);
  void Logout(const LoginSession& session, httplib::Response& response);
  void ChangeLanguage(const LoginSession& session, const httplib::Request& request, httplib::Response& response);
  void RunReport(const LoginSession& session, const std::string& number, const httplib::Request& request,
                 httplib::Response& response);
  void Export(const LoginSession& session, const std::string& id, const httplib::Request& request,
              httplib::Response& response);
  void Log(const std::string& event) const;

  ServiceConfig config_;
  LoginSessions sessions_;
  FinishedRuns runs_;
  accounts::LoginThrottle throttle_;
  std::unique_ptr<httplib::Server> server_;
  std::thread thread_;
  uint16_t port_ = 0;
  std::mutex run_mutex_;
  size_t runs_under_way_ = 0;
};

}  // namespace orv::http
