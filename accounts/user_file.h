// The file of the users who may log in to the server: one line per user with
// a salted PBKDF2-HMAC-SHA256 hash of the password, never the password. The
// operator manages it with `orvalent user`; the server reads it and reads it
// again when it changes. Names compare without regard to ASCII case.
#pragma once

#include <cstdint>
#include <filesystem>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace orv::accounts {

inline constexpr uint32_t kDefaultIterations = 120000;
inline constexpr size_t kMaxNameChars = 128;

// A malformed file, a bad name or password, or a file that cannot be read or written.
class AccountError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct UserEntry {
  std::string name;
  uint32_t iterations = 0;
  std::string salt;  // raw bytes
  std::string hash;  // raw bytes
};

class UserFile {
 public:
  // A missing file reads as an empty one; a malformed line is an AccountError naming its line.
  static UserFile Load(const std::filesystem::path& path);

  // Throws AccountError for a name that is empty, too long or holds ':' or a
  // control character, an empty password, or (unless `replace`) a name already there.
  void Add(std::string_view name, std::string_view password, bool replace, uint32_t iterations = kDefaultIterations);
  bool Remove(std::string_view name);
  const UserEntry* Find(std::string_view name) const;
  const std::vector<UserEntry>& users() const { return users_; }

  // Writes a new file beside the old one and renames it over, readable by its owner only.
  void Save(const std::filesystem::path& path) const;

 private:
  std::vector<UserEntry> users_;
};

// Whether `password` is the user's. Takes the same time for an unknown user
// (pass nullptr), so a caller cannot tell names from the delay.
bool VerifyPassword(const UserEntry* user, std::string_view password);

// The server's view of the file: Verify reads it again when its size or time changed.
class UserDirectory {
 public:
  // Throws AccountError when the file cannot be read or is malformed.
  explicit UserDirectory(std::filesystem::path path);
  bool Verify(std::string_view name, std::string_view password);

 private:
  void ReloadIfChanged();

  std::filesystem::path path_;
  std::mutex mutex_;
  UserFile file_;
  std::optional<std::filesystem::file_time_type> stamp_;
  uintmax_t size_ = 0;
};

}  // namespace orv::accounts
