// The API calls that do the work: log in and out, change the language, run a
// report, export a run.
// A report runs on the request's own thread; only max_concurrent_runs run (or
// export) at once and a request beyond that is told the service is busy (503)
// rather than queued, so a slow report cannot pile up waiting threads. A run
// has a time limit: the engine batch running when it passes is cancelled, and
// the client is told so (504).
#include <httplib.h>

#include <algorithm>
#include <chrono>
#include <stdexcept>

#include "accounts/user_file.h"
#include "engine/common/interrupt.h"
#include "frame/condition_check.h"
#include "http/api_replies.h"
#include "http/report_service.h"
#include "http/result_export.h"
#include "http/shown_result.h"
#include "http/viewer_texts.h"
#include "platform/automation_error.h"
#include "platform/host_objects.h"
#include "reports/report_catalog.h"
#include "results/json_conditions.h"
#include "results/recordset_table.h"
#include "results/report_run.h"

namespace orv::http {
namespace {

// The body as one JSON object; nothing (and a 400) otherwise.
std::optional<nlohmann::json> JsonBody(const httplib::Request& request, httplib::Response& response) {
  nlohmann::json body = nlohmann::json::parse(request.body, nullptr, false);
  if (body.is_discarded() || !body.is_object()) {
    ErrorReply(response, 400, "The request body must be one JSON object.");
    return std::nullopt;
  }
  return body;
}

std::string TextField(const nlohmann::json& body, const char* name) {
  const auto found = body.find(name);
  return found != body.end() && found->is_string() ? found->get<std::string>() : std::string();
}

// A whole number in 0..limit-1 from a query parameter, or nothing.
std::optional<size_t> IndexParam(const std::string& text, size_t limit) {
  if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos) return std::nullopt;
  const size_t index = std::stoul(text);
  if (index >= limit) return std::nullopt;
  return index;
}

// "columns=0,3,4&sort=3&desc=1" as the grid sends them; throws std::invalid_argument on a bad one.
ExportLayout LayoutOf(const httplib::Request& request, size_t column_count) {
  ExportLayout layout;
  const std::string columns = request.get_param_value("columns");
  size_t start = 0;
  while (start < columns.size()) {
    size_t end = columns.find(',', start);
    if (end == std::string::npos) end = columns.size();
    const std::optional<size_t> index = IndexParam(columns.substr(start, end - start), column_count);
    if (!index) throw std::invalid_argument("A column of the export does not exist.");
    layout.columns.push_back(*index);
    start = end + 1;
  }
  if (request.has_param("sort")) {
    layout.sort_column = IndexParam(request.get_param_value("sort"), column_count);
    if (!layout.sort_column) throw std::invalid_argument("The sort column does not exist.");
  }
  layout.descending = request.get_param_value("desc") == "1";
  return layout;
}

nlohmann::json IssuesJson(const std::vector<frame::ConditionIssue>& issues) {
  nlohmann::json list = nlohmann::json::array();
  for (const frame::ConditionIssue& issue : issues) {
    list.push_back({{"key", issue.key},
                    {"message", issue.message},
                    {"severity", issue.severity == frame::IssueSeverity::Error ? "error" : "warning"}});
  }
  return list;
}

// "...{0}..." with `value` in place of {0}.
std::string WithValue(std::string text, const std::string& value) {
  const size_t at = text.find("{0}");
  if (at != std::string::npos) text.replace(at, 3, value);
  return text;
}

// Holds one of the service's run places for its lifetime, if one was free.
class RunPlace {
 public:
  RunPlace(std::mutex& mutex, size_t& under_way, size_t limit) : mutex_(mutex), under_way_(under_way) {
    const std::lock_guard lock(mutex_);
    held_ = under_way_ < limit;
    if (held_) ++under_way_;
  }
  ~RunPlace() {
    if (!held_) return;
    const std::lock_guard lock(mutex_);
    --under_way_;
  }
  RunPlace(const RunPlace&) = delete;
  RunPlace& operator=(const RunPlace&) = delete;
  bool held() const { return held_; }

 private:
  std::mutex& mutex_;
  size_t& under_way_;
  bool held_ = false;
};

}  // namespace

void JsonReply(httplib::Response& response, int status, const nlohmann::json& body) {
  response.status = status;
  response.set_content(body.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace), "application/json");
}

void ErrorReply(httplib::Response& response, int status, const std::string& message) {
  JsonReply(response, status, {{"error", message}});
}

void ReportService::Login(const httplib::Request& request, httplib::Response& response) {
  const std::optional<nlohmann::json> body = JsonBody(request, response);
  if (!body) return;
  std::string language = TextField(*body, "language");
  if (!IsViewerLanguage(language)) language = "chs";
  const std::string user = TextField(*body, "user");
  if (!throttle_.Allowed(request.remote_addr)) {
    Log("http login refused (throttled) from " + request.remote_addr);
    return ErrorReply(response, 429, ViewerText("登录失败次数过多，请稍后再试", language));
  }
  if (!config_.users->Verify(user, TextField(*body, "password"))) {
    throttle_.RecordFailure(request.remote_addr);
    Log("http login failed for '" + user + "' from " + request.remote_addr);
    return ErrorReply(response, 401, ViewerText("用户名或密码错误", language));
  }
  throttle_.RecordSuccess(request.remote_addr);
  const LoginSession session = sessions_.Create(user, language);
  Log("http login of '" + user + "' from " + request.remote_addr);
  response.set_header("Set-Cookie", "orv_session=" + session.token + "; Path=/; HttpOnly; SameSite=Strict");
  JsonReply(response, 200, {{"user", session.user}, {"language", session.language}, {"csrf", session.csrf_token}});
}

void ReportService::Logout(const LoginSession& session, httplib::Response& response) {
  sessions_.Remove(session.token);
  runs_.Forget(session.token);
  response.set_header("Set-Cookie", "orv_session=; Path=/; HttpOnly; SameSite=Strict; Max-Age=0");
  JsonReply(response, 200, nlohmann::json::object());
}

void ReportService::ChangeLanguage(const LoginSession& session, const httplib::Request& request,
                                   httplib::Response& response) {
  const std::optional<nlohmann::json> body = JsonBody(request, response);
  if (!body) return;
  const std::string language = TextField(*body, "language");
  if (!IsViewerLanguage(language)) return ErrorReply(response, 400, "The language is chs, cht or en.");
  sessions_.SetLanguage(session.token, language);
  JsonReply(response, 200, {{"language", language}});
}

void ReportService::RunReport(const LoginSession& session, const std::string& number, const httplib::Request& request,
                              httplib::Response& response) {
  const frame::ReportSchema* schema = reports::FindReportSchema(number);
  if (schema == nullptr) return ErrorReply(response, 404, "No such report.");
  const std::optional<nlohmann::json> body = JsonBody(request, response);
  if (!body) return;
  const auto dct = std::make_shared<platform::ConditionDictionary>();
  try {
    results::AddJsonConditions(*dct, body->contains("conditions") ? body->at("conditions") : nlohmann::json::object());
  } catch (const std::runtime_error& error) {
    return ErrorReply(response, 400, error.what());
  }
  const std::vector<frame::ConditionIssue> issues = frame::CheckConditions(*schema, *dct, false);
  for (const frame::ConditionIssue& issue : issues) {
    if (issue.severity != frame::IssueSeverity::Error) continue;
    return JsonReply(response, 400,
                     {{"error", ViewerText("过滤条件有误", session.language)}, {"issues", IssuesJson(issues)}});
  }
  const RunPlace place(run_mutex_, runs_under_way_, config_.max_concurrent_runs);
  if (!place.held()) return ErrorReply(response, 503, ViewerText("服务器正忙，请稍后再试", session.language));
  const auto started = std::chrono::steady_clock::now();
  // Every batch the report runs on this thread stops at this deadline too.
  engine::CancelFlag never_raised;
  const engine::InterruptScope time_limit(never_raised, config_.run_timeout);
  const std::string what = "http report " + std::string(schema->number) + " for '" + session.user + "'";
  const auto timed_out = [&] {
    Log(what + " stopped at the time limit");
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(config_.run_timeout).count();
    ErrorReply(response, 504,
               WithValue(ViewerText("查询超过 {0} 秒，已停止，请缩小过滤条件", session.language),
                         std::to_string(std::max<int64_t>(seconds, 1))));
  };
  std::shared_ptr<const ShownResult> shown;
  try {
    const std::shared_ptr<platform::Recordset> rows =
        results::RunReportClass(*schema, SessionString(session), *dct);
    // Whatever the report made of the cancel, rows past the limit are not its answer.
    if (time_limit.interrupted()) return timed_out();
    // Refused before a row is read: reading a million lines into cells is the cost the limit spares.
    if (static_cast<size_t>(rows->RecordCount()) > config_.max_result_rows) {
      return ErrorReply(response, 422,
                        WithValue(ViewerText("结果超过 {0} 行，请缩小过滤条件", session.language),
                                  std::to_string(config_.max_result_rows)));
    }
    const results::ResultTable raw = results::Materialize(results::RecordsetRows(rows));
    shown = std::make_shared<const ShownResult>(ShowResult(raw, *schema, session.language));
  } catch (const platform::AutomationError& error) {
    if (time_limit.interrupted()) return timed_out();
    Log(what + " raised: " + error.description());
    return JsonReply(response, 422, {{"error", error.description()}, {"number", error.number()}});
  } catch (const std::runtime_error& error) {
    if (time_limit.interrupted()) return timed_out();
    Log(what + " failed: " + error.what());
    return ErrorReply(response, 500, ViewerText("查询失败", session.language));
  }
  const auto elapsed =
      std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started);
  const std::string id = runs_.Keep(session.token, shown);
  JsonReply(
      response, 200,
      {{"run", id}, {"elapsed_ms", elapsed.count()}, {"issues", IssuesJson(issues)}, {"result", ResultJson(*shown)}});
}

void ReportService::Export(const LoginSession& session, const std::string& id, const httplib::Request& request,
                           httplib::Response& response) {
  const std::shared_ptr<const ShownResult> shown = runs_.Find(session.token, id);
  if (!shown) return ErrorReply(response, 404, "No such run; run the report again.");
  // An export of a large result costs as much as a run.
  const RunPlace place(run_mutex_, runs_under_way_, config_.max_concurrent_runs);
  if (!place.held()) return ErrorReply(response, 503, ViewerText("服务器正忙，请稍后再试", session.language));
  const std::string format = request.get_param_value("format");
  if (format != "csv" && format != "xlsx") return ErrorReply(response, 400, "The format is csv or xlsx.");
  ExportLayout layout;
  try {
    layout = LayoutOf(request, shown->columns.size());
  } catch (const std::invalid_argument& error) {
    return ErrorReply(response, 400, error.what());
  }
  try {
    if (format == "csv") {
      response.set_content(CsvExport(*shown, layout), "text/csv; charset=utf-8");
    } else {
      response.set_content(XlsxExport(*shown, layout),
                           "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet");
    }
  } catch (const std::runtime_error& error) {
    Log(std::string("http export failed: ") + error.what());
    return ErrorReply(response, 500, error.what());
  }
  response.set_header("Content-Disposition", "attachment; filename=\"" + shown->report + "." + format + "\"");
}

}  // namespace orv::http
