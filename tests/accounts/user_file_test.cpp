// The user file: passwords checked against salted hashes, names and lines
// validated, the file written for its owner only and read again on change.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <thread>

#include "accounts/user_file.h"

namespace orv::accounts {
namespace {

namespace fs = std::filesystem;

class UserFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    directory_ = fs::temp_directory_path() / ("orv_users_" + std::to_string(::getpid()));
    fs::create_directories(directory_);
    path_ = directory_ / "users";
  }
  void TearDown() override { fs::remove_all(directory_); }
  void Write(const std::string& text) { std::ofstream(path_, std::ios::binary) << text; }

  fs::path directory_;
  fs::path path_;
};

TEST_F(UserFileTest, PasswordsAreCheckedAgainstSaltedHashes) {
  UserFile file;
  file.Add("Alice", "correct horse", false, 1000);
  file.Add("bob", "correct horse", false, 1000);
  file.Save(path_);
  const UserFile read = UserFile::Load(path_);
  ASSERT_EQ(read.users().size(), 2u);
  // The same password under two salts gives two hashes, and neither holds the password.
  EXPECT_NE(read.users()[0].hash, read.users()[1].hash);
  std::ifstream in(path_);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(text.find("correct horse"), std::string::npos);
  EXPECT_TRUE(VerifyPassword(read.Find("alice"), "correct horse"));  // names ignore case
  EXPECT_FALSE(VerifyPassword(read.Find("alice"), "correct horsE"));
  EXPECT_FALSE(VerifyPassword(read.Find("nobody"), "correct horse"));
  struct stat status {};
  ASSERT_EQ(::stat(path_.c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 0777, 0600u);
}

TEST_F(UserFileTest, NamesAndPasswordsAreValidated) {
  UserFile file;
  EXPECT_THROW(file.Add("", "p", false, 1000), AccountError);
  EXPECT_THROW(file.Add("a:b", "p", false, 1000), AccountError);
  EXPECT_THROW(file.Add("a\nb", "p", false, 1000), AccountError);
  EXPECT_THROW(file.Add(std::string(129, 'x'), "p", false, 1000), AccountError);
  EXPECT_THROW(file.Add("carol", "", false, 1000), AccountError);
  file.Add("carol", "one", false, 1000);
  EXPECT_THROW(file.Add("CAROL", "two", false, 1000), AccountError);
  file.Add("CAROL", "two", true, 1000);
  EXPECT_TRUE(VerifyPassword(file.Find("carol"), "two"));
  EXPECT_TRUE(file.Remove("Carol"));
  EXPECT_FALSE(file.Remove("carol"));
}

TEST_F(UserFileTest, MalformedLinesAreReportedWithTheirNumber) {
  Write("# comment\n\nalice:pbkdf2-sha256:1000:00ff:" + std::string(64, 'a') + "\nbroken line\n");
  try {
    UserFile::Load(path_);
    FAIL() << "a malformed file loaded";
  } catch (const AccountError& error) {
    EXPECT_NE(std::string(error.what()).find("Line 4"), std::string::npos) << error.what();
  }
  Write("alice:md5:1000:00ff:" + std::string(64, 'a') + "\n");
  EXPECT_THROW(UserFile::Load(path_), AccountError);
  Write("alice:pbkdf2-sha256:1000:00ff:abcd\n");  // a hash of the wrong length
  EXPECT_THROW(UserFile::Load(path_), AccountError);
  EXPECT_TRUE(UserFile::Load(directory_ / "missing").users().empty());
}

TEST_F(UserFileTest, TheServersDirectoryReadsChangesAndKeepsTheLastGoodTable) {
  UserFile file;
  file.Add("alice", "first", false, 1000);
  file.Save(path_);
  UserDirectory directory(path_);
  EXPECT_TRUE(directory.Verify("alice", "first"));
  file.Add("alice", "second", true, 1000);
  file.Add("dave", "third", false, 1000);
  file.Save(path_);
  EXPECT_TRUE(directory.Verify("alice", "second"));
  EXPECT_FALSE(directory.Verify("alice", "first"));
  EXPECT_TRUE(directory.Verify("dave", "third"));
  Write("garbage that is longer than the file was before, so its size differs\n");
  EXPECT_TRUE(directory.Verify("dave", "third"));
  EXPECT_THROW(UserDirectory(directory_ / "missing"), AccountError);
}

}  // namespace
}  // namespace orv::accounts
