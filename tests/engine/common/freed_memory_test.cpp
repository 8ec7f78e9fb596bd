// The process keeps what a statement frees for the next one, instead of
// handing it back for the kernel to clear again.
#include "engine/common/freed_memory.h"

#include <gtest/gtest.h>
#include <malloc.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <thread>

#if defined(__SANITIZE_ADDRESS__)
#define ORV_OWN_ALLOCATOR 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ORV_OWN_ALLOCATOR 1
#endif
#endif

namespace orv::engine {
namespace {

TEST(FreedMemory, AColumnSizedBufferStaysInTheProcessOnceFreed) {
#ifdef ORV_OWN_ALLOCATOR
  GTEST_SKIP() << "the sanitizer's allocator keeps its own freed memory";
#endif
  KeepFreedMemory();
  constexpr size_t kBytes = size_t{16} << 20;  // a million 16-byte values
  const size_t mapped_before = mallinfo2().hblkhd;
  void* buffer = std::malloc(kBytes);
  ASSERT_NE(buffer, nullptr);
  std::memset(buffer, 1, kBytes);
  EXPECT_EQ(mallinfo2().hblkhd, mapped_before) << "taken from a mapping of its own";
  std::free(buffer);
  EXPECT_GE(mallinfo2().fordblks, kBytes) << "handed back to the system";
}

TEST(FreedMemory, WhatAWorkerThreadFreesStaysToo) {
#ifdef ORV_OWN_ALLOCATOR
  GTEST_SKIP() << "the sanitizer's allocator keeps its own freed memory";
#endif
  KeepFreedMemory();
  // More than one of a thread heap's 64 MiB regions, as a column copy takes.
  constexpr size_t kBytes = size_t{24} << 20;
  std::thread worker([] {
    std::array<void*, 4> buffers{};
    for (void*& buffer : buffers) buffer = std::malloc(kBytes);
    for (void* buffer : buffers) std::free(buffer);
  });
  worker.join();
  EXPECT_GE(mallinfo2().fordblks, 4 * kBytes) << "handed back to the system";
}

}  // namespace
}  // namespace orv::engine
