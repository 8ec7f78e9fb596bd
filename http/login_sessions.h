// The logins of the web viewer: a random session token (the cookie), a
// second random token that every state-changing request must echo in a
// header (so a page of another site cannot post for the user), the user and
// the language the pages speak. Idle sessions end; the table is bounded.
#pragma once

#include <chrono>
#include <cstddef>
#include <map>
#include <mutex>
#include <optional>
#include <string>

namespace orv::http {

struct LoginSession {
  std::string token;
  std::string csrf_token;
  std::string user;
  std::string language;  // chs, cht or en
};

// 32 random bytes from the system's generator, in hex.
std::string RandomToken();

class LoginSessions {
 public:
  LoginSessions(std::chrono::minutes idle, size_t max_sessions) : idle_(idle), max_sessions_(max_sessions) {}

  // A new session; the least recently used one goes when the table is full.
  LoginSession Create(const std::string& user, const std::string& language);
  // The session of `token` (its idle time restarts), or nothing.
  std::optional<LoginSession> Find(const std::string& token);
  bool SetLanguage(const std::string& token, const std::string& language);
  void Remove(const std::string& token);

 private:
  using Clock = std::chrono::steady_clock;
  struct Entry {
    LoginSession session;
    Clock::time_point last_used;
  };
  void DropExpired(Clock::time_point now);

  std::chrono::minutes idle_;
  size_t max_sessions_;
  std::mutex mutex_;
  std::map<std::string, Entry, std::less<>> sessions_;
};

}  // namespace orv::http
