// The listener: accepts clients on one address and serves each on a thread
// of its own, up to a limit (a login must finish within the login time-out,
// so stalled logins free their places). Stop() closes the listening socket,
// wakes every connection and joins every thread.
#pragma once

#include <atomic>
#include <cstdint>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "tds/server_config.h"

namespace orv::tds {

class ClientConnection;

struct ListenOptions {
  std::string host = "127.0.0.1";
  uint16_t port = 1433;  // 0: any free port
  size_t max_connections = 256;
};

class Server {
 public:
  // `config` must outlive the server.
  Server(const ServerConfig& config, ListenOptions options);
  ~Server();
  Server(const Server&) = delete;
  Server& operator=(const Server&) = delete;

  // Binds and starts accepting. Throws std::runtime_error when the address
  // cannot be bound.
  void Start();
  void Stop();
  uint16_t port() const { return port_; }
  size_t active_connections() const;

 private:
  struct Worker {
    std::unique_ptr<ClientConnection> connection;
    std::thread thread;
    std::atomic<bool> finished{false};
  };
  void AcceptLoop();
  void ReapFinished();

  const ServerConfig& config_;
  ListenOptions options_;
  int listener_ = -1;
  int wake_pipe_[2] = {-1, -1};
  uint16_t port_ = 0;
  std::atomic<bool> stopping_{false};
  std::thread acceptor_;
  mutable std::mutex mutex_;
  std::list<Worker> workers_;
  uint16_t next_spid_ = 51;
};

}  // namespace orv::tds
