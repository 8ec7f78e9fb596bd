// Base of every automation object the platform layer hands out (condition
// dictionaries, loaders, connections, record sets, report classes): shared
// ownership stands in for reference counting, and a process-wide count of
// live objects answers "can the library unload".
#pragma once

#include <atomic>
#include <cstddef>

namespace orv::platform {

class Object {
 public:
  Object() { ++live_; }
  Object(const Object&) { ++live_; }
  Object& operator=(const Object&) = default;
  virtual ~Object() { --live_; }

  static size_t LiveCount() { return live_.load(); }

 private:
  static inline std::atomic<size_t> live_{0};
};

}  // namespace orv::platform
