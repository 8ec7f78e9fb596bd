// FreeTDS's tsql and unixODBC's isql against the listener, reading what they
// print: rows, row counts and the server's errors. Over TLS too, with a
// certificate made for the test, and plain logins refused when TLS is required.
#include <gtest/gtest.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "tests/tds/tds_test_client.h"
#include "tests/tds/test_server.h"

namespace orv::tds::testing {
namespace {

namespace fs = std::filesystem;

bool HaveTool(const std::string& tool) { return std::system(("command -v " + tool + " >/dev/null 2>&1").c_str()) == 0; }

// Runs `command` with `input` on its standard input, bounded by a 30 s time-out; stdout and stderr together.
std::string RunTool(const fs::path& directory, const std::string& command, const std::string& input) {
  std::ofstream(directory / "input") << input;
  const std::string line = "timeout 30 " + command + " <'" + (directory / "input").string() + "' >'" +
                           (directory / "output").string() + "' 2>&1";
  (void)std::system(line.c_str());
  std::ifstream output(directory / "output");
  std::ostringstream text;
  text << output.rdbuf();
  return text.str();
}

std::string TsqlCommand(const TestServer& server) {
  return "tsql -H 127.0.0.1 -p " + std::to_string(server.port()) + " -U " + kUser + " -P '" + kPassword + "' -D " +
         server.database_name();
}

// A self-signed certificate and its key, written as PEM files into `directory`.
void MakeCertificate(const fs::path& directory) {
  EVP_PKEY* key = EVP_EC_gen("P-256");
  X509* certificate = X509_new();
  ASN1_INTEGER_set(X509_get_serialNumber(certificate), 1);
  X509_gmtime_adj(X509_getm_notBefore(certificate), 0);
  X509_gmtime_adj(X509_getm_notAfter(certificate), 3600);
  X509_set_pubkey(certificate, key);
  X509_NAME* name = X509_get_subject_name(certificate);
  X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC, reinterpret_cast<const unsigned char*>("localhost"), -1, -1, 0);
  X509_set_issuer_name(certificate, name);
  X509_sign(certificate, key, EVP_sha256());
  FILE* file = std::fopen((directory / "cert.pem").c_str(), "w");
  PEM_write_X509(file, certificate);
  std::fclose(file);
  file = std::fopen((directory / "key.pem").c_str(), "w");
  PEM_write_PrivateKey(file, key, nullptr, nullptr, 0, nullptr, nullptr);
  std::fclose(file);
  X509_free(certificate);
  EVP_PKEY_free(key);
}

TEST(ClientTools, TsqlSeesRowsCountsAndErrors) {
  if (!HaveTool("tsql")) GTEST_SKIP() << "tsql is not installed";
  TestServer server("demo-tiny");
  const std::string output = RunTool(server.directory(), TsqlCommand(server),
                                 "SELECT TOP 2 FNumber, FName FROM t_Item WHERE FItemClassID = 2 ORDER BY FNumber\ngo\n"
                                 "SELECT 1 / 0\ngo\nSELECT * FROM nosuch\ngo\nexit\n");
  EXPECT_NE(output.find("FNumber\tFName\n01\t总公司\n01.01\t行政部\n(2 rows affected)"), std::string::npos) << output;
  EXPECT_NE(output.find("Msg 8134 (severity 16, state 1) from orvalent Line 1:\n\t\"Divide by zero error encountered.\""),
            std::string::npos) << output;
  EXPECT_NE(output.find("Msg 208 (severity 16, state 1) from orvalent Line 1:\n\t\"Invalid object name 'nosuch'.\""),
            std::string::npos) << output;
}

TEST(ClientTools, IsqlRunsBatchesThroughUnixOdbc) {
  if (!HaveTool("isql")) GTEST_SKIP() << "isql is not installed";
  TestServer server("demo-tiny");
  const std::string connect = "Driver=FreeTDS;Server=127.0.0.1;Port=" + std::to_string(server.port()) + ";UID=" + kUser +
                              ";PWD=" + kPassword + ";Database=demo-tiny;TDS_Version=7.4;ClientCharset=UTF-8";
  const std::string output = RunTool(server.directory(), "isql -v -b -d'|' -k '" + connect + "'",
                                 "SELECT TOP 2 FNumber, FName FROM t_Item WHERE FItemClassID = 2 ORDER BY FNumber\nSELECT * FROM nosuch\n");
  EXPECT_NE(output.find("01|总公司\n01.01|行政部"), std::string::npos) << output;
  EXPECT_NE(output.find("[S0002]"), std::string::npos) << output;
  EXPECT_NE(output.find("Invalid object name 'nosuch'."), std::string::npos) << output;
}

class TlsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    directory_ = fs::temp_directory_path() / ("orv_tls_" + std::to_string(::getpid()));
    fs::create_directories(directory_);
    MakeCertificate(directory_);
    context_ = std::make_unique<TlsContext>((directory_ / "cert.pem").string(), (directory_ / "key.pem").string());
  }
  void TearDown() override { fs::remove_all(directory_); }

  std::unique_ptr<TestServer> Start(bool required) {
    return std::make_unique<TestServer>("", [&](ServerConfig& config, ListenOptions&) {
      config.tls = context_.get();
      config.tls_required = required;
    });
  }

  // tsql through a configuration that asks for `encryption` (require, off).
  std::string TsqlOver(const TestServer& server, const std::string& encryption) {
    std::ofstream(directory_ / "freetds.conf") << "[global]\n[tlstest]\n\thost = 127.0.0.1\n\tport = "
                                               << server.port() << "\n\ttds version = 7.4\n\tencryption = " << encryption
                                               << "\n";
    return RunTool(directory_, "env FREETDSCONF='" + (directory_ / "freetds.conf").string() + "' tsql -S tlstest -U " + kUser +
                               " -P '" + kPassword + "'",
               "SELECT 40 + 2 AS answer\ngo\nexit\n");
  }

  fs::path directory_;
  std::unique_ptr<TlsContext> context_;
};

TEST_F(TlsTest, TsqlLogsInOverTlsWhenTheServerRequiresIt) {
  if (!HaveTool("tsql")) GTEST_SKIP() << "tsql is not installed";
  const auto server = Start(true);
  const std::string output = TsqlOver(*server, "require");
  EXPECT_NE(output.find("answer\n42\n(1 row affected)"), std::string::npos) << output;
}

TEST_F(TlsTest, OnlyTheLoginIsEncryptedWhenTheClientAsksForNoMore) {
  if (!HaveTool("tsql")) GTEST_SKIP() << "tsql is not installed";
  const auto server = Start(false);
  const std::string output = TsqlOver(*server, "off");
  EXPECT_NE(output.find("answer\n42\n(1 row affected)"), std::string::npos) << output;
}

TEST_F(TlsTest, PlainLoginsAreRefusedWhenTlsIsRequired) {
  const auto server = Start(true);
  // A client that cannot encrypt is told encryption is required, and cut off.
  TestClient cannot(server->port());
  cannot.Send(Packets(0x12, PreloginPayload(2)));
  const std::string reply = cannot.ReadMessage();
  // The encryption byte follows the 26-byte option table and the 6-byte version: ENCRYPT_REQ.
  ASSERT_GT(reply.size(), 32u);
  EXPECT_EQ(reply[32], 3);
  EXPECT_TRUE(cannot.WaitClosed());
  // One that says it will encrypt but sends its login in the clear gets no further.
  TestClient liar(server->port());
  liar.Send(Packets(0x12, PreloginPayload(0)));
  liar.ReadMessage();
  liar.Send(Packets(0x10, Login7Payload(kUser, kPassword, "")));
  EXPECT_TRUE(liar.WaitClosed());
}

}  // namespace
}  // namespace orv::tds::testing
