// Whole-file OFD locks with a polling busy time-out.
#include "engine/catalog/file_lock.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

#include "engine/common/errors.h"

namespace orv::engine {

FileLock::FileLock(std::string path) : path_(std::move(path)) {
  fd_ = ::open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (fd_ < 0) Throw(ErrorCode::kCannotOpenFile, {path_, std::to_string(errno) + "(" + std::strerror(errno) + ")"});
}

FileLock::~FileLock() {
  if (fd_ >= 0) ::close(fd_);
}

bool FileLock::Take(Byte which, short type, int busy_ms) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(busy_ms);
  while (true) {
    struct flock lock {};
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    lock.l_start = which;
    lock.l_len = 1;
    if (::fcntl(fd_, F_OFD_SETLK, &lock) == 0) return true;
    if (errno != EAGAIN && errno != EACCES && errno != EINTR) {
      Throw(ErrorCode::kCannotOpenFile, {path_, std::to_string(errno) + "(" + std::strerror(errno) + ")"});
    }
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

bool FileLock::Shared(Byte which, int busy_ms) { return Take(which, F_RDLCK, busy_ms); }

bool FileLock::Exclusive(Byte which, int busy_ms) { return Take(which, F_WRLCK, busy_ms); }

void FileLock::Unlock(Byte which) {
  struct flock lock {};
  lock.l_type = F_UNLCK;
  lock.l_whence = SEEK_SET;
  lock.l_start = which;
  lock.l_len = 1;
  ::fcntl(fd_, F_OFD_SETLK, &lock);
}

}  // namespace orv::engine
