// Passwords are hashed with few iterations here: the tests check the gate,
// not the hash's cost.
#include "tests/http/service_fixture.h"

#include "demo/demo_database.h"
#include "http/login_sessions.h"
#include "platform/class_registry.h"
#include "reports/registration.h"

namespace orv::http::test {

void ServiceTest::SetUp() {
  static const bool registered = [] {
    platform::RegisterPlatformClasses();
    reports::RegisterComponent();
    demo::RegisterDemoDatabases();
    return true;
  }();
  (void)registered;
  folder_ = std::filesystem::temp_directory_path() / ("orvalent-http-test-" + RandomToken().substr(0, 12));
  std::filesystem::create_directory(folder_);
  accounts::UserFile file;
  file.Add("clerk", "pa55word", false, 1000);
  file.Save(folder_ / "users");
  users_ = std::make_unique<accounts::UserDirectory>(folder_ / "users");
  config_.connect_string = "Provider=Orvalent.Embedded;Data Source=demo-small";
  config_.users = users_.get();
  config_.max_body_bytes = 4096;
  config_.worker_threads = 4;
}

void ServiceTest::TearDown() {
  if (service_) service_->Stop();
  std::error_code ignored;
  std::filesystem::remove_all(folder_, ignored);
}

void ServiceTest::Start() {
  service_ = std::make_unique<ReportService>(config_);
  service_->Start("127.0.0.1", 0);
}

httplib::Client ServiceTest::Client() const {
  httplib::Client client("127.0.0.1", service_->port());
  client.set_connection_timeout(5);
  client.set_read_timeout(60);
  return client;
}

void ServiceTest::LogIn(const std::string& language) {
  const httplib::Result reply = Post(
      "/api/login", nlohmann::json{{"user", "clerk"}, {"password", "pa55word"}, {"language", language}}.dump(), false);
  ASSERT_TRUE(reply);
  ASSERT_EQ(reply->status, 200) << reply->body;
  const std::string set_cookie = reply->get_header_value("Set-Cookie");
  cookie_ = set_cookie.substr(0, set_cookie.find(';'));
  csrf_ = nlohmann::json::parse(reply->body).at("csrf");
}

httplib::Result ServiceTest::Get(const std::string& path) const {
  httplib::Headers headers;
  if (!cookie_.empty()) headers.emplace("Cookie", cookie_);
  return Client().Get(path, headers);
}

httplib::Result ServiceTest::Post(const std::string& path, const std::string& body, bool with_csrf) const {
  httplib::Headers headers;
  if (!cookie_.empty()) headers.emplace("Cookie", cookie_);
  if (with_csrf) headers.emplace("X-Orvalent-Csrf", csrf_);
  return Client().Post(path, headers, body, "application/json");
}

nlohmann::json ServiceTest::Run(const std::string& report, const nlohmann::json& conditions,
                                int expected_status) const {
  const httplib::Result reply =
      Post("/api/reports/" + report + "/run", nlohmann::json{{"conditions", conditions}}.dump());
  EXPECT_TRUE(reply);
  if (!reply) return {};
  EXPECT_EQ(reply->status, expected_status) << reply->body;
  return nlohmann::json::parse(reply->body, nullptr, false);
}

}  // namespace orv::http::test
