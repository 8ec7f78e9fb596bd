// Tokens come from OpenSSL's generator; a failure there is fatal for the
// request rather than a weak token.
#include "http/login_sessions.h"

#include <openssl/rand.h>

#include <algorithm>
#include <stdexcept>

namespace orv::http {

std::string RandomToken() {
  unsigned char bytes[32];
  if (RAND_bytes(bytes, sizeof bytes) != 1) throw std::runtime_error("No random bytes for a session token.");
  static constexpr char kHex[] = "0123456789abcdef";
  std::string token;
  for (const unsigned char byte : bytes) {
    token += kHex[byte >> 4];
    token += kHex[byte & 15];
  }
  return token;
}

LoginSession LoginSessions::Create(const std::string& user, const std::string& language) {
  LoginSession session{RandomToken(), RandomToken(), user, language};
  const std::lock_guard lock(mutex_);
  const Clock::time_point now = Clock::now();
  DropExpired(now);
  if (sessions_.size() >= max_sessions_ && !sessions_.empty()) {
    const auto oldest = std::min_element(sessions_.begin(), sessions_.end(), [](const auto& a, const auto& b) {
      return a.second.last_used < b.second.last_used;
    });
    sessions_.erase(oldest);
  }
  sessions_[session.token] = {session, now};
  return session;
}

std::optional<LoginSession> LoginSessions::Find(const std::string& token) {
  const std::lock_guard lock(mutex_);
  const Clock::time_point now = Clock::now();
  const auto found = sessions_.find(token);
  if (found == sessions_.end()) return std::nullopt;
  if (now - found->second.last_used > idle_) {
    sessions_.erase(found);
    return std::nullopt;
  }
  found->second.last_used = now;
  return found->second.session;
}

bool LoginSessions::SetLanguage(const std::string& token, const std::string& language) {
  const std::lock_guard lock(mutex_);
  const auto found = sessions_.find(token);
  if (found == sessions_.end()) return false;
  found->second.session.language = language;
  return true;
}

void LoginSessions::Remove(const std::string& token) {
  const std::lock_guard lock(mutex_);
  sessions_.erase(token);
}

void LoginSessions::DropExpired(Clock::time_point now) {
  std::erase_if(sessions_, [&](const auto& entry) { return now - entry.second.last_used > idle_; });
}

}  // namespace orv::http
