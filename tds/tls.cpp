// OpenSSL server sessions on memory BIOs.
#include "tds/tls.h"

#include <openssl/bio.h>
#include <openssl/err.h>
#include <openssl/ssl.h>

#include <stdexcept>

namespace orv::tds {
namespace {

std::string OpenSslReason() {
  const unsigned long code = ERR_get_error();
  ERR_clear_error();
  if (code == 0) return "unknown reason";
  char text[256];
  ERR_error_string_n(code, text, sizeof text);
  return text;
}

}  // namespace

TlsContext::TlsContext(const std::string& certificate_file, const std::string& key_file) {
  context_ = SSL_CTX_new(TLS_server_method());
  if (context_ == nullptr) throw std::runtime_error("Cannot set up TLS: " + OpenSslReason());
  // TLS inside PRELOGIN is TLS 1.2: clients of this protocol version expect no more, and
  // a TLS 1.3 server would send session tickets after the handshake, outside its packets.
  SSL_CTX_set_min_proto_version(context_, TLS1_2_VERSION);
  SSL_CTX_set_max_proto_version(context_, TLS1_2_VERSION);
  // No renegotiation either: its records would need sending while the server only reads.
  SSL_CTX_set_options(context_, SSL_OP_NO_TICKET | SSL_OP_NO_RENEGOTIATION);
  if (SSL_CTX_use_certificate_chain_file(context_, certificate_file.c_str()) != 1) {
    const std::string reason = OpenSslReason();
    SSL_CTX_free(context_);
    throw std::runtime_error("Cannot read the TLS certificate '" + certificate_file + "': " + reason);
  }
  if (SSL_CTX_use_PrivateKey_file(context_, key_file.c_str(), SSL_FILETYPE_PEM) != 1 ||
      SSL_CTX_check_private_key(context_) != 1) {
    const std::string reason = OpenSslReason();
    SSL_CTX_free(context_);
    throw std::runtime_error("Cannot use the TLS key '" + key_file + "': " + reason);
  }
}

TlsContext::~TlsContext() { SSL_CTX_free(context_); }

TlsSession::TlsSession(const TlsContext& context) {
  ssl_ = SSL_new(context.get());
  if (ssl_ == nullptr) throw ProtocolError("Cannot start a TLS session: " + OpenSslReason());
  BIO* incoming = BIO_new(BIO_s_mem());
  BIO* outgoing = BIO_new(BIO_s_mem());
  SSL_set_bio(ssl_, incoming, outgoing);
  SSL_set_accept_state(ssl_);
}

TlsSession::~TlsSession() { SSL_free(ssl_); }

void TlsSession::Feed(Bytes ciphertext) {
  if (!ciphertext.empty()) BIO_write(SSL_get_rbio(ssl_), ciphertext.data(), static_cast<int>(ciphertext.size()));
}

std::string TlsSession::DrainOutput() {
  std::string out;
  BIO* outgoing = SSL_get_wbio(ssl_);
  char buffer[16384];
  for (int read; (read = BIO_read(outgoing, buffer, sizeof buffer)) > 0;) out.append(buffer, static_cast<size_t>(read));
  return out;
}

std::string TlsSession::Handshake(Bytes incoming) {
  Feed(incoming);
  const int result = SSL_do_handshake(ssl_);
  if (result == 1) {
    done_ = true;
  } else {
    const int error = SSL_get_error(ssl_, result);
    if (error != SSL_ERROR_WANT_READ && error != SSL_ERROR_WANT_WRITE) {
      throw ProtocolError("The TLS handshake failed: " + OpenSslReason());
    }
  }
  return DrainOutput();
}

bool TlsSession::ReadPlain(std::string& out) {
  char buffer[16384];
  for (;;) {
    const int read = SSL_read(ssl_, buffer, sizeof buffer);
    if (read > 0) {
      out.append(buffer, static_cast<size_t>(read));
      continue;
    }
    const int error = SSL_get_error(ssl_, read);
    if (error == SSL_ERROR_WANT_READ) return true;
    if (error == SSL_ERROR_ZERO_RETURN) return false;
    throw ProtocolError("A TLS record could not be read: " + OpenSslReason());
  }
}

std::string TlsSession::Encrypt(std::string_view plain) {
  size_t pos = 0;
  while (pos < plain.size()) {
    const int written = SSL_write(ssl_, plain.data() + pos, static_cast<int>(std::min<size_t>(plain.size() - pos, 1 << 20)));
    if (written <= 0) throw ProtocolError("A TLS record could not be written: " + OpenSslReason());
    pos += static_cast<size_t>(written);
  }
  return DrainOutput();
}

}  // namespace orv::tds
