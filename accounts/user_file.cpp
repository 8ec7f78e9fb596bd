// Reading, changing and writing the user file, and checking passwords.
// A line: name:pbkdf2-sha256:iterations:salt-hex:hash-hex. Lines starting
// with '#' and blank lines are kept out of the table.
#include "accounts/user_file.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/rand.h>
#include <sys/stat.h>

#include <algorithm>
#include <charconv>
#include <fstream>
#include <sstream>

namespace orv::accounts {
namespace {

constexpr std::string_view kScheme = "pbkdf2-sha256";
constexpr size_t kSaltBytes = 16;
constexpr size_t kHashBytes = 32;
constexpr uint32_t kMinIterations = 1000;
constexpr uint32_t kMaxIterations = 10000000;

bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
           return lower(x) == lower(y);
         });
}

std::string Hex(std::string_view bytes) {
  static const char* digits = "0123456789abcdef";
  std::string out;
  for (const char c : bytes) {
    out.push_back(digits[static_cast<uint8_t>(c) >> 4]);
    out.push_back(digits[static_cast<uint8_t>(c) & 15]);
  }
  return out;
}

std::optional<std::string> FromHex(std::string_view hex) {
  if (hex.size() % 2 != 0) return std::nullopt;
  std::string out;
  for (size_t i = 0; i < hex.size(); i += 2) {
    uint8_t byte = 0;
    const auto [end, error] = std::from_chars(hex.data() + i, hex.data() + i + 2, byte, 16);
    if (error != std::errc() || end != hex.data() + i + 2) return std::nullopt;
    out.push_back(static_cast<char>(byte));
  }
  return out;
}

std::string Derive(std::string_view password, std::string_view salt, uint32_t iterations) {
  std::string hash(kHashBytes, '\0');
  if (PKCS5_PBKDF2_HMAC(password.data(), static_cast<int>(password.size()),
                        reinterpret_cast<const unsigned char*>(salt.data()), static_cast<int>(salt.size()),
                        static_cast<int>(iterations), EVP_sha256(), static_cast<int>(hash.size()),
                        reinterpret_cast<unsigned char*>(hash.data())) != 1) {
    throw AccountError("The password hash could not be computed.");
  }
  return hash;
}

void CheckName(std::string_view name) {
  if (name.empty() || name.size() > kMaxNameChars) {
    throw AccountError("A user name must have 1 to " + std::to_string(kMaxNameChars) + " characters.");
  }
  for (const char c : name) {
    if (c == ':' || static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
      throw AccountError("A user name must not hold ':' or control characters.");
    }
  }
}

std::vector<std::string_view> SplitFields(std::string_view line) {
  std::vector<std::string_view> fields;
  size_t start = 0;
  for (size_t colon; (colon = line.find(':', start)) != std::string_view::npos; start = colon + 1) {
    fields.push_back(line.substr(start, colon - start));
  }
  fields.push_back(line.substr(start));
  return fields;
}

UserEntry ParseLine(std::string_view line, size_t number) {
  const auto bad = [number](const std::string& why) {
    return AccountError("Line " + std::to_string(number) + " of the user file: " + why);
  };
  const std::vector<std::string_view> fields = SplitFields(line);
  if (fields.size() != 5) throw bad("expected name:scheme:iterations:salt:hash");
  UserEntry entry;
  entry.name = std::string(fields[0]);
  try {
    CheckName(entry.name);
  } catch (const AccountError& error) {
    throw bad(error.what());
  }
  if (fields[1] != kScheme) throw bad("unknown scheme '" + std::string(fields[1]) + "'");
  const auto [end, error] = std::from_chars(fields[2].data(), fields[2].data() + fields[2].size(), entry.iterations);
  if (error != std::errc() || end != fields[2].data() + fields[2].size() || entry.iterations < kMinIterations ||
      entry.iterations > kMaxIterations) {
    throw bad("bad iteration count");
  }
  const std::optional<std::string> salt = FromHex(fields[3]);
  const std::optional<std::string> hash = FromHex(fields[4]);
  if (!salt || salt->empty() || !hash || hash->size() != kHashBytes) throw bad("bad salt or hash");
  entry.salt = *salt;
  entry.hash = *hash;
  return entry;
}

}  // namespace

UserFile UserFile::Load(const std::filesystem::path& path) {
  UserFile file;
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    if (!std::filesystem::exists(path)) return file;
    throw AccountError("Cannot read the user file '" + path.string() + "'.");
  }
  std::string line;
  for (size_t number = 1; std::getline(in, line); ++number) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    UserEntry entry = ParseLine(line, number);
    if (file.Find(entry.name)) throw AccountError("Line " + std::to_string(number) + " of the user file repeats '" + entry.name + "'.");
    file.users_.push_back(std::move(entry));
  }
  return file;
}

void UserFile::Add(std::string_view name, std::string_view password, bool replace, uint32_t iterations) {
  CheckName(name);
  if (password.empty()) throw AccountError("The password must not be empty.");
  if (iterations < kMinIterations || iterations > kMaxIterations) throw AccountError("Bad iteration count.");
  auto existing = std::find_if(users_.begin(), users_.end(), [&](const UserEntry& user) { return SameName(user.name, name); });
  if (existing != users_.end() && !replace) throw AccountError("The user '" + std::string(name) + "' already exists.");
  UserEntry entry;
  entry.name = std::string(name);
  entry.iterations = iterations;
  entry.salt.assign(kSaltBytes, '\0');
  if (RAND_bytes(reinterpret_cast<unsigned char*>(entry.salt.data()), static_cast<int>(kSaltBytes)) != 1) {
    throw AccountError("No random bytes for the salt.");
  }
  entry.hash = Derive(password, entry.salt, iterations);
  if (existing != users_.end()) {
    *existing = std::move(entry);
  } else {
    users_.push_back(std::move(entry));
  }
}

bool UserFile::Remove(std::string_view name) {
  return std::erase_if(users_, [&](const UserEntry& user) { return SameName(user.name, name); }) > 0;
}

const UserEntry* UserFile::Find(std::string_view name) const {
  for (const UserEntry& user : users_) {
    if (SameName(user.name, name)) return &user;
  }
  return nullptr;
}

void UserFile::Save(const std::filesystem::path& path) const {
  std::ostringstream text;
  text << "# Orvalent users: name:scheme:iterations:salt:hash. Manage with `orvalent user`.\n";
  for (const UserEntry& user : users_) {
    text << user.name << ':' << kScheme << ':' << user.iterations << ':' << Hex(user.salt) << ':' << Hex(user.hash)
         << '\n';
  }
  const std::filesystem::path temporary = path.string() + ".new";
  {
    const mode_t old_mask = ::umask(077);
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    ::umask(old_mask);
    if (!(out << text.str()) || !out.flush()) throw AccountError("Cannot write '" + temporary.string() + "'.");
  }
  std::error_code error;
  std::filesystem::rename(temporary, path, error);
  if (error) throw AccountError("Cannot replace '" + path.string() + "': " + error.message());
}

bool VerifyPassword(const UserEntry* user, std::string_view password) {
  static const UserEntry decoy{"", kDefaultIterations, std::string(kSaltBytes, 'x'), std::string(kHashBytes, '\0')};
  const UserEntry& checked = user ? *user : decoy;
  const std::string hash = Derive(password, checked.salt, checked.iterations);
  const bool same = CRYPTO_memcmp(hash.data(), checked.hash.data(), kHashBytes) == 0;
  return user != nullptr && same;
}

UserDirectory::UserDirectory(std::filesystem::path path) : path_(std::move(path)) {
  if (!std::filesystem::exists(path_)) throw AccountError("The user file '" + path_.string() + "' does not exist.");
  ReloadIfChanged();
}

void UserDirectory::ReloadIfChanged() {
  std::error_code error;
  const auto stamp = std::filesystem::last_write_time(path_, error);
  const uintmax_t size = std::filesystem::file_size(path_, error);
  if (error) {
    if (!stamp_) throw AccountError("Cannot read the user file '" + path_.string() + "'.");
    return;  // a file being replaced: keep the users already read
  }
  if (stamp_ && *stamp_ == stamp && size_ == size) return;
  file_ = UserFile::Load(path_);
  stamp_ = stamp;
  size_ = size;
}

bool UserDirectory::Verify(std::string_view name, std::string_view password) {
  UserEntry user;
  bool found = false;
  {
    std::lock_guard lock(mutex_);
    try {
      ReloadIfChanged();
    } catch (const AccountError&) {
      // A broken edit keeps the last good table; the server goes on.
    }
    if (const UserEntry* entry = file_.Find(name)) {
      user = *entry;
      found = true;
    }
  }
  return VerifyPassword(found ? &user : nullptr, password);
}

}  // namespace orv::accounts
