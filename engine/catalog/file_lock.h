// The locks that keep processes sharing one database file apart, two bytes of
// a lock file beside the database locked with open-file-description locks:
// the writer byte (exclusive for a whole write transaction: one writer at a
// time) and the files byte (shared while a process reads the files, exclusive
// while a commit writes them). Each wait polls up to a busy time-out: a second
// writer gets an error, never a hang.
#pragma once

#include <string>

namespace orv::engine {

class FileLock {
 public:
  // Opens (creating if need be) the lock file; raises 5120 when it cannot.
  explicit FileLock(std::string path);
  ~FileLock();
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

  enum Byte : short { kWriter = 0, kFiles = 1 };
  // False when another process kept a conflicting lock for `busy_ms`.
  bool Shared(Byte which, int busy_ms);
  bool Exclusive(Byte which, int busy_ms);
  void Unlock(Byte which);

 private:
  bool Take(Byte which, short type, int busy_ms);

  std::string path_;
  int fd_ = -1;
};

// Releases one byte of a FileLock when it goes out of scope.
class HeldFileLock {
 public:
  HeldFileLock(FileLock& lock, FileLock::Byte which) : lock_(lock), which_(which) {}
  ~HeldFileLock() { lock_.Unlock(which_); }
  HeldFileLock(const HeldFileLock&) = delete;
  HeldFileLock& operator=(const HeldFileLock&) = delete;

 private:
  FileLock& lock_;
  FileLock::Byte which_;
};

}  // namespace orv::engine
