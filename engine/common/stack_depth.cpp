// The thread's stack bounds are read once per thread (pthread_getattr_np);
// each check then compares one frame address.
#include "engine/common/stack_depth.h"

#include <pthread.h>

#include <cstdint>

#include "engine/common/errors.h"

namespace orv::engine {
namespace {

// The lowest frame address the walks may reach: halfway down the stack.
uintptr_t FindStackFloor() {
  pthread_attr_t attributes;
  if (pthread_getattr_np(pthread_self(), &attributes) != 0) return 0;
  void* low = nullptr;
  size_t size = 0;
  const bool known = pthread_attr_getstack(&attributes, &low, &size) == 0;
  pthread_attr_destroy(&attributes);
  if (!known) return 0;
  return reinterpret_cast<uintptr_t>(low) + size / 2;
}

}  // namespace

void CheckStackDepth() {
  thread_local const uintptr_t floor = FindStackFloor();
  if (reinterpret_cast<uintptr_t>(__builtin_frame_address(0)) < floor) Throw(ErrorCode::kNestedTooDeeply);
}

}  // namespace orv::engine
