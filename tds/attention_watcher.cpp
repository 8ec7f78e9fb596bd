// The watching thread polls a few times a millisecond's worth: an attention
// is rare, and a batch should not wait long for the watcher to end.
#include "tds/attention_watcher.h"

#include <chrono>

namespace orv::tds {
namespace {

constexpr auto kPollInterval = std::chrono::milliseconds(5);

}  // namespace

AttentionWatcher::AttentionWatcher(std::function<bool()> poll, engine::Session& session)
    : poll_(std::move(poll)), session_(session), thread_([this] { Watch(); }) {}

AttentionWatcher::~AttentionWatcher() { Stop(); }

bool AttentionWatcher::Stop() {
  stop_.store(true);
  if (thread_.joinable()) thread_.join();
  return seen_.load();
}

void AttentionWatcher::Watch() {
  while (!stop_.load()) {
    bool attention = false;
    try {
      attention = poll_();
    } catch (const std::exception&) {
      return;  // a broken connection is the serving thread's to report when it reads again
    }
    if (attention) {
      seen_.store(true);
      session_.Cancel();
      return;
    }
    std::this_thread::sleep_for(kPollInterval);
  }
}

}  // namespace orv::tds
