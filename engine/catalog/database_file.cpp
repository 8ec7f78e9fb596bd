// Opening, logging, recovering and checkpointing a database file.
#include "engine/catalog/database_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "engine/catalog/block_format.h"
#include "engine/catalog/byte_codec.h"
#include "engine/catalog/redo_codec.h"
#include "engine/catalog/snapshot_format.h"
#include "engine/common/errors.h"
#include "engine/storage/huge_pages.h"

namespace orv::engine {
namespace {

constexpr std::string_view kLogMagic = "ORVWAL1";

std::string OsError(int error) { return std::to_string(error) + "(" + std::strerror(error) + ")"; }

[[noreturn]] void ThrowDamaged(const std::string& what, const char* where, const std::string& path) {
  Throw(ErrorCode::kFileDamaged, {what, where, path});
}

// The file's bytes; false (errno set) when it cannot be read.
bool ReadWhole(const std::string& path, std::string& out) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  out.clear();
  struct stat info {};
  if (::fstat(fd, &info) == 0) {
    // One allocation, in huge pages where the kernel gives them: a page fault
    // every 4 KiB was most of the time a large file took to open.
    out.reserve(static_cast<size_t>(info.st_size));
    AdviseHugePages(out.data(), out.capacity());
  }
  char buffer[1 << 16];
  while (true) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      const int error = errno;
      ::close(fd);
      errno = error;
      return n == 0;
    }
    out.append(buffer, static_cast<size_t>(n));
  }
}

bool WriteAt(int fd, std::string_view bytes, uint64_t offset) {
  while (!bytes.empty()) {
    const ssize_t n = ::pwrite(fd, bytes.data(), bytes.size(), static_cast<off_t>(offset));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<size_t>(n));
    offset += static_cast<uint64_t>(n);
  }
  return true;
}

void SyncDirectoryOf(const std::string& path) {
  std::string dir = std::filesystem::path(path).parent_path().string();
  if (dir.empty()) dir = ".";
  const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd >= 0) {
    ::fsync(fd);
    ::close(fd);
  }
}

// Writes `bytes` as the whole new content of `path`: into the side file,
// flushed, then renamed over it, so a crash leaves the old file or the new one.
void ReplaceFile(const std::string& path, std::string_view bytes, const std::string& side) {
  const int fd = ::open(side.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) Throw(ErrorCode::kCannotOpenFile, {side, OsError(errno)});
  const bool written = WriteAt(fd, bytes, 0) && ::fsync(fd) == 0;
  const int error = errno;
  ::close(fd);
  if (!written || ::rename(side.c_str(), path.c_str()) != 0) {
    ::unlink(side.c_str());
    Throw(ErrorCode::kLogWriteFailed, {path, OsError(written ? errno : error)});
  }
  SyncDirectoryOf(path);
}

std::string LogHeader(uint64_t sequence) {
  ByteWriter header;
  header.Raw(kLogMagic.data(), kLogMagic.size());
  header.U64(sequence);
  std::string out;
  PutBlock(out, header.bytes(), Compression::None);
  return out;
}

ino_t InodeOf(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 ? info.st_ino : 0;
}

}  // namespace

DatabaseFile::DatabaseFile(std::string path, Catalog& catalog, const FileOptions& options)
    : path_(std::move(path)), wal_path_(path_ + "-wal"), catalog_(catalog), options_(options), lock_(path_ + "-lock") {}

std::unique_ptr<DatabaseFile> DatabaseFile::Open(const std::string& path, Catalog& catalog,
                                                 const FileOptions& options) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0 && !options.create) Throw(ErrorCode::kCannotOpenFile, {path, OsError(errno)});
  std::unique_ptr<DatabaseFile> file(new DatabaseFile(path, catalog, options));
  file->Load();
  catalog.set_durability(file.get());
  return file;
}

void DatabaseFile::Load() {
  if (!lock_.Shared(FileLock::kFiles, options_.busy_timeout_ms)) Throw(ErrorCode::kDatabaseLocked, {path_});
  HeldFileLock held(lock_, FileLock::kFiles);
  auto bytes = std::make_shared<std::string>();
  if (!ReadWhole(path_, *bytes)) {
    if (errno != ENOENT || !options_.create) Throw(ErrorCode::kCannotOpenFile, {path_, OsError(errno)});
    // A new database: its first checkpoint is written under the files lock.
    lock_.Unlock(FileLock::kFiles);
    if (!lock_.Exclusive(FileLock::kFiles, options_.busy_timeout_ms)) Throw(ErrorCode::kDatabaseLocked, {path_});
    if (!ReadWhole(path_, *bytes)) {
      *bytes = EncodeSnapshot(catalog_, 1);
      ReplaceFile(path_, *bytes, path_ + "-new");
      ::unlink(wal_path_.c_str());
    }
  }
  try {
    sequence_ = DecodeSnapshot(std::move(bytes), path_, catalog_);
  } catch (const FileDamaged& damage) {
    ThrowDamaged(damage.what, "the database file", path_);
  }
  main_inode_ = InodeOf(path_);
  wal_fd_ = ::open(wal_path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (wal_fd_ < 0) Throw(ErrorCode::kCannotOpenFile, {wal_path_, OsError(errno)});
  std::string log;
  if (!ReadWhole(wal_path_, log)) Throw(ErrorCode::kCannotOpenFile, {wal_path_, OsError(errno)});
  wal_seen_ = log.size();
  size_t pos = 0;
  std::string block;
  // A log that is not of this checkpoint (a crash came between the new
  // checkpoint and emptying the log) holds nothing to replay.
  if (GetBlock(log, pos, block) != BlockRead::Ok || block.size() != kLogMagic.size() + 8 ||
      !block.starts_with(kLogMagic) || ByteReader(std::string_view(block).substr(kLogMagic.size())).U64() != sequence_) {
    log_ready_ = false;
    return;
  }
  log_ready_ = true;
  wal_valid_ = pos;
  while (pos < log.size()) {
    const size_t start = pos;
    const BlockRead read = GetBlock(log, pos, block);
    if (read == BlockRead::Truncated) break;  // torn by a crash: never acknowledged
    if (read == BlockRead::Damaged) {
      uint32_t stored = 0;
      std::memcpy(&stored, log.data() + start, 4);
      if (start + kBlockHeadSize + stored == log.size()) break;  // the last block, torn
      ThrowDamaged("incorrect checksum in the block at offset " + std::to_string(start), "the write-ahead log",
                   wal_path_);
    }
    try {
      ByteReader records(block);
      const size_t count = records.Count();
      for (size_t i = 0; i < count; ++i) redo::Apply(records.Str(), catalog_);
    } catch (const FileDamaged& damage) {
      ThrowDamaged(damage.what, "the write-ahead log", wal_path_);
    }
    wal_valid_ = pos;
  }
}

bool DatabaseFile::Unchanged() const {
  struct stat info {};
  if (::fstat(wal_fd_, &info) != 0) return false;
  return InodeOf(path_) == main_inode_ && static_cast<uint64_t>(info.st_size) == wal_seen_;
}

void DatabaseFile::BeginWrite() {
  if (!lock_.Exclusive(FileLock::kWriter, options_.busy_timeout_ms)) Throw(ErrorCode::kDatabaseLocked, {path_});
  if (!Unchanged()) {
    lock_.Unlock(FileLock::kWriter);
    Throw(ErrorCode::kDatabaseChanged, {path_});
  }
  writing_ = true;
}

void DatabaseFile::EndWrite() {
  writing_ = false;
  lock_.Unlock(FileLock::kWriter);
}

void DatabaseFile::ResetLog() {
  const std::string header = LogHeader(sequence_);
  if (::ftruncate(wal_fd_, 0) != 0 || !WriteAt(wal_fd_, header, 0) || ::fdatasync(wal_fd_) != 0) {
    Throw(ErrorCode::kLogWriteFailed, {wal_path_, OsError(errno)});
  }
  wal_valid_ = wal_seen_ = header.size();
  log_ready_ = true;
}

void DatabaseFile::Commit(const std::vector<std::string>& redo) {
  // Processes loading the files wait for this write, and it for them.
  if (!lock_.Exclusive(FileLock::kFiles, options_.busy_timeout_ms)) Throw(ErrorCode::kDatabaseLocked, {path_});
  HeldFileLock held(lock_, FileLock::kFiles);
  ByteWriter records;
  size_t bytes = 0;
  for (const std::string& record : redo) bytes += record.size() + 10;
  records.bytes().reserve(bytes + 10);
  AdviseHugePages(records.bytes().data(), records.bytes().capacity());
  records.Var(redo.size());
  for (const std::string& record : redo) records.Str(record);
  std::string block;
  PutBlock(block, records.bytes(), Compression::Fast);
  // A log that does not belong to this checkpoint, or ends in a torn block, is set right first.
  if (!log_ready_) {
    ResetLog();
  } else if (wal_seen_ != wal_valid_) {
    if (::ftruncate(wal_fd_, static_cast<off_t>(wal_valid_)) != 0) {
      Throw(ErrorCode::kLogWriteFailed, {wal_path_, OsError(errno)});
    }
    wal_seen_ = wal_valid_;
  }
  if (!WriteAt(wal_fd_, block, wal_valid_) || ::fdatasync(wal_fd_) != 0) {
    const int error = errno;
    if (::ftruncate(wal_fd_, static_cast<off_t>(wal_valid_)) == 0) wal_seen_ = wal_valid_;
    Throw(ErrorCode::kLogWriteFailed, {wal_path_, OsError(error)});
  }
  wal_valid_ += block.size();
  wal_seen_ = wal_valid_;
  if (wal_valid_ > options_.checkpoint_bytes) {
    try {
      Checkpoint();
    } catch (const SqlError&) {
      // The commit is in the log already; the checkpoint is tried again at the next one.
    }
  }
}

void DatabaseFile::Checkpoint() {
  ReplaceFile(path_, EncodeSnapshot(catalog_, sequence_ + 1), path_ + "-new");
  ++sequence_;
  main_inode_ = InodeOf(path_);
  ResetLog();
}

DatabaseFile::~DatabaseFile() {
  catalog_.set_durability(nullptr);
  const bool has_commits = log_ready_ && wal_valid_ > LogHeader(sequence_).size();
  if (wal_fd_ >= 0 && has_commits && !writing_ && lock_.Exclusive(FileLock::kWriter, 0)) {
    if (lock_.Exclusive(FileLock::kFiles, 0)) {
      try {
        if (Unchanged()) Checkpoint();
      } catch (const SqlError&) {
        // The log keeps every commit; the next open replays it.
      }
      lock_.Unlock(FileLock::kFiles);
    }
    lock_.Unlock(FileLock::kWriter);
  }
  if (wal_fd_ >= 0) ::close(wal_fd_);
}

void SaveDatabaseCopy(const Catalog& catalog, const std::string& path) {
  // A side file of this process's own: others may be saving the same copy.
  ReplaceFile(path, EncodeSnapshot(catalog, 1), path + "-new" + std::to_string(::getpid()));
}

void LoadDatabaseCopy(const std::string& path, Catalog& catalog) {
  auto bytes = std::make_shared<std::string>();
  if (!ReadWhole(path, *bytes)) Throw(ErrorCode::kCannotOpenFile, {path, OsError(errno)});
  // Read into a catalog of its own first, so a damaged copy leaves nothing behind.
  Catalog copy;
  try {
    DecodeSnapshot(std::move(bytes), path, copy);
  } catch (const FileDamaged& damage) {
    ThrowDamaged(damage.what, "the database file", path);
  }
  for (const std::shared_ptr<Table>& table : copy.Tables()) catalog.AddTable(table);
  for (const ViewDefinition* view : copy.Views()) catalog.AddView(*view);
  for (const auto& [key, procedure] : copy.routines().All()) catalog.routines().Put(procedure);
}

}  // namespace orv::engine
