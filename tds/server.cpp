// Accepting and running connections.
#include "tds/server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <stdexcept>

#include "tds/client_connection.h"

namespace orv::tds {
namespace {

std::string PeerAddress(const sockaddr_storage& address) {
  char text[INET6_ADDRSTRLEN] = "?";
  if (address.ss_family == AF_INET) {
    inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in&>(address).sin_addr, text, sizeof text);
  } else if (address.ss_family == AF_INET6) {
    inet_ntop(AF_INET6, &reinterpret_cast<const sockaddr_in6&>(address).sin6_addr, text, sizeof text);
  }
  return text;
}

// A socket bound to host:port and listening. Throws std::runtime_error.
int Listen(const std::string& host, uint16_t port, uint16_t& bound_port) {
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_PASSIVE | AI_NUMERICSERV;
  addrinfo* found = nullptr;
  const std::string service = std::to_string(port);
  if (const int error = getaddrinfo(host.empty() ? nullptr : host.c_str(), service.c_str(), &hints, &found)) {
    throw std::runtime_error("Cannot resolve '" + host + "': " + gai_strerror(error));
  }
  std::string failure = "no address";
  int listener = -1;
  for (addrinfo* candidate = found; candidate != nullptr && listener < 0; candidate = candidate->ai_next) {
    const int fd = ::socket(candidate->ai_family, candidate->ai_socktype | SOCK_CLOEXEC, candidate->ai_protocol);
    if (fd < 0) continue;
    const int yes = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    if (::bind(fd, candidate->ai_addr, candidate->ai_addrlen) == 0 && ::listen(fd, 128) == 0) {
      listener = fd;
    } else {
      failure = std::strerror(errno);
      ::close(fd);
    }
  }
  freeaddrinfo(found);
  if (listener < 0) throw std::runtime_error("Cannot listen on " + host + ":" + service + ": " + failure);
  sockaddr_storage address{};
  socklen_t length = sizeof address;
  ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
  bound_port = ntohs(address.ss_family == AF_INET6 ? reinterpret_cast<sockaddr_in6&>(address).sin6_port
                                                   : reinterpret_cast<sockaddr_in&>(address).sin_port);
  return listener;
}

}  // namespace

Server::Server(const ServerConfig& config, ListenOptions options) : config_(config), options_(std::move(options)) {}

Server::~Server() { Stop(); }

void Server::Start() {
  listener_ = Listen(options_.host, options_.port, port_);
  if (::pipe2(wake_pipe_, O_CLOEXEC) != 0) {
    ::close(listener_);
    throw std::runtime_error(std::string("Cannot create a pipe: ") + std::strerror(errno));
  }
  acceptor_ = std::thread([this] { AcceptLoop(); });
}

void Server::AcceptLoop() {
  while (!stopping_) {
    pollfd descriptors[2] = {{listener_, POLLIN, 0}, {wake_pipe_[0], POLLIN, 0}};
    if (::poll(descriptors, 2, 1000) <= 0) {
      ReapFinished();
      continue;
    }
    if (descriptors[1].revents != 0) break;
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    const int client = ::accept4(listener_, reinterpret_cast<sockaddr*>(&address), &length, SOCK_CLOEXEC);
    if (client < 0) {
      // Out of descriptors: the pending client stays queued; wait instead of spinning.
      if (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
      }
      continue;
    }
    ReapFinished();
    std::lock_guard lock(mutex_);
    if (workers_.size() >= options_.max_connections) {
      if (config_.log) config_.log(PeerAddress(address) + ": refused, " + std::to_string(workers_.size()) + " connections open");
      ::close(client);
      continue;
    }
    const int yes = 1;
    ::setsockopt(client, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
    Worker& worker = workers_.emplace_back();
    worker.connection = std::make_unique<ClientConnection>(client, PeerAddress(address), next_spid_, config_);
    next_spid_ = next_spid_ >= 32000 ? 51 : next_spid_ + 1;
    worker.thread = std::thread([&worker] {
      worker.connection->Run();
      worker.finished = true;
    });
  }
}

void Server::ReapFinished() {
  std::list<Worker> done;
  {
    std::lock_guard lock(mutex_);
    for (auto it = workers_.begin(); it != workers_.end();) {
      auto next = std::next(it);
      if (it->finished) done.splice(done.end(), workers_, it);
      it = next;
    }
  }
  for (Worker& worker : done) worker.thread.join();
}

size_t Server::active_connections() const {
  std::lock_guard lock(mutex_);
  size_t active = 0;
  for (const Worker& worker : workers_) active += worker.finished ? 0 : 1;
  return active;
}

void Server::Stop() {
  if (listener_ < 0) return;
  stopping_ = true;
  const char wake = 1;
  (void)!::write(wake_pipe_[1], &wake, 1);
  acceptor_.join();
  {
    std::lock_guard lock(mutex_);
    for (Worker& worker : workers_) {
      if (!worker.finished && worker.connection) worker.connection->Shutdown();
    }
  }
  for (Worker& worker : workers_) worker.thread.join();
  workers_.clear();
  ::close(listener_);
  ::close(wake_pipe_[0]);
  ::close(wake_pipe_[1]);
  listener_ = -1;
}

}  // namespace orv::tds
