// While a batch runs on the engine, a second thread watches the connection
// for the client's attention (its cancel) and, when one comes, cancels the
// session: the running statement stops at its next check instead of running
// to its end before the acknowledgement can be sent.
#pragma once

#include <atomic>
#include <functional>
#include <thread>

#include "engine/engine.h"

namespace orv::tds {

class AttentionWatcher {
 public:
  // `poll` reads what has arrived without waiting and tells whether an
  // attention is among it; it runs on the watching thread only while the
  // watcher lives, when nothing else reads the connection.
  AttentionWatcher(std::function<bool()> poll, engine::Session& session);
  ~AttentionWatcher();
  AttentionWatcher(const AttentionWatcher&) = delete;
  AttentionWatcher& operator=(const AttentionWatcher&) = delete;

  // Stops watching; whether an attention came.
  bool Stop();

 private:
  void Watch();

  std::function<bool()> poll_;
  engine::Session& session_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> seen_{false};
  std::thread thread_;
};

}  // namespace orv::tds
