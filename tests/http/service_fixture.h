// A report service on a free loopback port for one test, with one user
// ("clerk", password "pa55word") in a user file of its own, and a client
// that keeps the login's cookie and second token.
#pragma once

#include <httplib.h>

#include <filesystem>
#include <memory>
#include <string>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "accounts/user_file.h"
#include "http/report_service.h"

namespace orv::http::test {

class ServiceTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // Starts the service; a test may change config_ first.
  void Start();

  httplib::Client Client() const;
  // Logs `client_cookie_` in; fails the test when that does not work.
  void LogIn(const std::string& language = "en");
  httplib::Result Get(const std::string& path) const;
  httplib::Result Post(const std::string& path, const std::string& body, bool with_csrf = true) const;
  // Runs `report` with `conditions`; the reply's JSON (empty when not 200).
  nlohmann::json Run(const std::string& report, const nlohmann::json& conditions, int expected_status = 200) const;

  std::filesystem::path folder_;
  std::unique_ptr<accounts::UserDirectory> users_;
  ServiceConfig config_;
  std::unique_ptr<ReportService> service_;
  std::string cookie_;
  std::string csrf_;
};

}  // namespace orv::http::test
