// TLS through OpenSSL over memory buffers: the server never hands OpenSSL the
// socket, because during the handshake the TLS records travel inside PRELOGIN
// packets and only afterwards directly over TCP.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "tds/wire.h"

typedef struct ssl_ctx_st SSL_CTX;
typedef struct ssl_st SSL;

namespace orv::tds {

// The operator's certificate chain and private key (PEM files).
class TlsContext {
 public:
  // Throws std::runtime_error naming the file and OpenSSL's reason.
  TlsContext(const std::string& certificate_file, const std::string& key_file);
  ~TlsContext();
  TlsContext(const TlsContext&) = delete;
  TlsContext& operator=(const TlsContext&) = delete;
  SSL_CTX* get() const { return context_; }

 private:
  SSL_CTX* context_ = nullptr;
};

class TlsSession {
 public:
  explicit TlsSession(const TlsContext& context);
  ~TlsSession();
  TlsSession(const TlsSession&) = delete;
  TlsSession& operator=(const TlsSession&) = delete;

  // Feeds handshake bytes from the client; returns the bytes to send back.
  // Throws ProtocolError when the handshake fails.
  std::string Handshake(Bytes incoming);
  bool handshake_done() const { return done_; }

  // After the handshake: ciphertext in, plaintext out, and the reverse.
  void Feed(Bytes ciphertext);
  // Appends what plaintext the fed records hold; false when the peer closed TLS.
  bool ReadPlain(std::string& out);
  std::string Encrypt(std::string_view plain);

 private:
  std::string DrainOutput();
  SSL* ssl_ = nullptr;
  bool done_ = false;
};

}  // namespace orv::tds
