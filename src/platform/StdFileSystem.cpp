#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

#include "platform/Ascii.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"

namespace orvanta {
namespace {

[[noreturn]] void fail(const std::string& path, int error) { throw FileError(path, std::strerror(error)); }

[[noreturn]] void failNotRegular(const std::string& path, const struct stat& st) {
  if (S_ISDIR(st.st_mode)) fail(path, EISDIR);
  throw FileError(path, "not a regular file");
}

// Reads with pread at an offset of its own, so that readers of one open
// file (readerAt) can go side by side on several threads.
class PosixInputFile final : public IInputFile {
 public:
  struct Descriptor {
    Descriptor(int descriptor, std::string name, std::uint64_t bytes)
        : fd(descriptor), path(std::move(name)), size(bytes) {}
    ~Descriptor() { ::close(fd); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int fd;
    std::string path;
    std::uint64_t size;
  };

  PosixInputFile(std::shared_ptr<const Descriptor> descriptor, std::uint64_t offset)
      : descriptor_(std::move(descriptor)), offset_(offset) {}

  std::size_t read(char* buffer, std::size_t size) override {
    for (;;) {
      const ssize_t n = ::pread(descriptor_->fd, buffer, size, static_cast<off_t>(offset_));
      if (n >= 0) {
        offset_ += static_cast<std::uint64_t>(n);
        return static_cast<std::size_t>(n);
      }
      if (errno != EINTR) fail(descriptor_->path, errno);
    }
  }
  [[nodiscard]] std::optional<std::uint64_t> size() const override { return descriptor_->size; }
  [[nodiscard]] std::unique_ptr<IInputFile> readerAt(std::uint64_t offset) const override {
    return std::make_unique<PosixInputFile>(descriptor_, offset);
  }

 private:
  std::shared_ptr<const Descriptor> descriptor_;
  std::uint64_t offset_;
};

class PosixOutputFile final : public IOutputFile {
 public:
  PosixOutputFile(int fd, std::string path, StdFileSystem::Hook hook)
      : fd_(fd), path_(std::move(path)), hook_(std::move(hook)) {}
  ~PosixOutputFile() override {
    if (fd_ >= 0) ::close(fd_);
  }
  PosixOutputFile(const PosixOutputFile&) = delete;
  PosixOutputFile& operator=(const PosixOutputFile&) = delete;

  void write(std::string_view bytes) override {
    if (hook_) hook_("write", path_);
    while (!bytes.empty()) {
      const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
      if (n < 0) {
        if (errno == EINTR) continue;
        fail(path_, errno);
      }
      bytes.remove_prefix(static_cast<std::size_t>(n));
    }
  }

  void sync() override {
    if (hook_) hook_("sync", path_);
    if (::fsync(fd_) != 0) fail(path_, errno);
  }

  void close() override {
    if (fd_ < 0) return;
    if (hook_) hook_("close", path_);
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) fail(path_, errno);
  }

 private:
  int fd_;
  std::string path_;
  StdFileSystem::Hook hook_;
};

bool isHiddenName(std::string_view name) { return !name.empty() && name.front() == '.'; }

FileStatus statusOf(const struct stat& st) {
  FileStatus status;
  status.identity =
      FileIdentity{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
  status.type = S_ISREG(st.st_mode)   ? FileType::Regular
                : S_ISDIR(st.st_mode) ? FileType::Directory
                : S_ISLNK(st.st_mode) ? FileType::SymbolicLink
                                      : FileType::Other;
  status.size = static_cast<std::uint64_t>(st.st_size);
  status.modifiedNs = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  status.permissions = static_cast<unsigned>(st.st_mode & 07777);
  return status;
}

class PosixLockedFile final : public ILockedFile {
 public:
  PosixLockedFile(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
  ~PosixLockedFile() override { ::close(fd_); }  // closing the descriptor drops the lock
  PosixLockedFile(const PosixLockedFile&) = delete;
  PosixLockedFile& operator=(const PosixLockedFile&) = delete;

  std::size_t read(char* buffer, std::size_t size) override {
    for (;;) {
      const ssize_t n = ::read(fd_, buffer, size);
      if (n >= 0) return static_cast<std::size_t>(n);
      if (errno != EINTR) fail(path_, errno);
    }
  }
  [[nodiscard]] FileStatus status() const override {
    struct stat st {};
    if (::fstat(fd_, &st) != 0) fail(path_, errno);
    return statusOf(st);
  }
  bool waitUntilOnlyHolder(int milliseconds) override {
    // A write lease is granted only while no other descriptor has the file
    // open; it is given back at once, as only the answer counts.
    for (int waited = 0;; waited += 1) {
      if (::fcntl(fd_, F_SETLEASE, F_WRLCK) == 0) {
        ::fcntl(fd_, F_SETLEASE, F_UNLCK);
        return true;
      }
      if ((errno != EAGAIN && errno != EBUSY) || waited >= milliseconds) return false;
      ::usleep(1000);
    }
  }
  void seek(std::uint64_t offset) override {
    if (::lseek(fd_, static_cast<off_t>(offset), SEEK_SET) < 0) fail(path_, errno);
  }

 private:
  int fd_;
  std::string path_;
};

// Opens path for reading without blocking and without following it into
// anything but a regular file; the descriptor is returned in blocking mode.
int openRegularNonBlocking(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) fail(path, errno);
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    const int error = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
    ::close(fd);
    throw FileError(path, error == EISDIR ? std::strerror(error) : "not a regular file");
  }
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  return fd;
}

// The user attributes and the access control list of a file, the
// attributes that decide who may use it and that a copy must keep.
bool keptAttribute(std::string_view name) {
  return name.starts_with("user.") || name == "system.posix_acl_access";
}

void copyAttributes(const std::string& from, int fd) {
  const ssize_t listed = ::listxattr(from.c_str(), nullptr, 0);
  if (listed <= 0) return;  // none, or a file system that keeps none
  std::string names(static_cast<std::size_t>(listed), '\0');
  const ssize_t got = ::listxattr(from.c_str(), names.data(), names.size());
  if (got < 0) fail(from, errno);
  names.resize(static_cast<std::size_t>(got));
  std::string value;
  for (std::size_t at = 0; at < names.size(); at += std::strlen(names.c_str() + at) + 1) {
    const char* name = names.c_str() + at;
    if (!keptAttribute(name)) continue;
    const ssize_t length = ::getxattr(from.c_str(), name, nullptr, 0);
    if (length < 0) continue;  // removed meanwhile
    value.resize(static_cast<std::size_t>(length));
    const ssize_t read = ::getxattr(from.c_str(), name, value.data(), value.size());
    if (read < 0) fail(from, errno);
    if (::fsetxattr(fd, name, value.data(), static_cast<std::size_t>(read), 0) != 0 && errno != ENOTSUP)
      fail(from, errno);
  }
}

// Owner and group of from for the open file; the owner only where this user
// may give it away. A group-writable file whose group cannot be kept fails.
void copyOwner(const std::string& from, const struct stat& model, int fd) {
  struct stat now {};
  if (::fstat(fd, &now) != 0) fail(from, errno);
  if (now.st_uid == model.st_uid && now.st_gid == model.st_gid) return;
  if (::fchown(fd, model.st_uid, model.st_gid) == 0) return;
  if (::fchown(fd, static_cast<uid_t>(-1), model.st_gid) == 0) return;
  const int error = errno;
  if ((model.st_mode & S_IWGRP) != 0 && now.st_gid != model.st_gid) {
    throw FileError(from, "the file's group (" + std::to_string(model.st_gid) +
                              ") cannot be kept: " + std::strerror(error));
  }
}

}  // namespace

bool wildcardMatch(std::string_view pattern, std::string_view name) {
  // Iterative matcher with backtracking to the last "*": linear in practice,
  // never exponential.
  std::size_t p = 0;
  std::size_t n = 0;
  std::size_t starP = std::string_view::npos;
  std::size_t starN = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == '?' || lowerAscii(pattern[p]) == lowerAscii(name[n]))) {
      ++p;
      ++n;
    } else if (p < pattern.size() && pattern[p] == '*') {
      starP = p++;
      starN = n;
    } else if (starP != std::string_view::npos) {
      p = starP + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

std::string StdFileSystem::currentDirectory() const {
  std::error_code ec;
  auto dir = std::filesystem::current_path(ec);
  return ec ? std::string(".") : dir.string();
}

std::optional<std::string> StdFileSystem::findFirst(const std::string& pattern) const {
  const std::string folder = folderOf(pattern);
  const std::string last = fileNameOf(pattern);
  if (last.empty()) return std::nullopt;  // a folder path names no file

  // A name without wildcards that exists as written is preferred to another
  // spelling of it, so that a folder holding both finds the one asked for.
  if (last.find_first_of("*?") == std::string::npos && !isHiddenName(last)) {
    struct stat st {};
    const std::string full = pathIn(folder, last);
    if (::stat(full.c_str(), &st) == 0 && S_ISREG(st.st_mode)) return last;
  }

  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) {
    // A folder that is not there simply holds no file; anything else is an error.
    if (errno == ENOENT || errno == ENOTDIR) return std::nullopt;
    fail(folder, errno);
  }
  std::optional<std::string> found;
  while (dirent* entry = ::readdir(dir)) {
    const std::string_view name = entry->d_name;
    if (isHiddenName(name) || !wildcardMatch(last, name)) continue;
    struct stat st {};
    const std::string full = pathIn(folder, name);
    if (::stat(full.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
      found = std::string(name);
      break;
    }
  }
  ::closedir(dir);
  return found;
}

std::vector<std::string> StdFileSystem::folderNames(const std::string& folder) const {
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) {
    if (errno == ENOENT || errno == ENOTDIR) return {};
    fail(folder, errno);
  }
  std::vector<std::string> names;
  while (dirent* entry = ::readdir(dir)) {
    const std::string_view name = entry->d_name;
    if (isHiddenName(name)) continue;
    struct stat st {};
    const std::string full = pathIn(folder, name);
    // A link to a folder counts: a rig folder may well live elsewhere.
    if (::stat(full.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) names.emplace_back(name);
  }
  ::closedir(dir);
  return names;
}

// Only a regular file is read, reached through links or not. A FIFO would
// block the window until some other program writes to it, and a device such
// as /dev/zero never ends: both are refused before they are read. The name is
// looked at first, so that no device is even opened; the open itself does not
// block, and the file opened is checked again, since the name may have been
// replaced in between.
std::unique_ptr<IInputFile> StdFileSystem::openRead(const std::string& path) const {
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) failNotRegular(path, st);
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) fail(path, errno);
  if (::fstat(fd, &st) != 0) {
    const int error = errno;
    ::close(fd);
    fail(path, error);
  }
  if (!S_ISREG(st.st_mode)) {
    ::close(fd);
    failNotRegular(path, st);
  }
  return std::make_unique<PosixInputFile>(
      std::make_shared<const PosixInputFile::Descriptor>(fd, path, static_cast<std::uint64_t>(st.st_size)),
      0);
}

std::unique_ptr<IOutputFile> StdFileSystem::create(const std::string& path) {
  before("create", path);
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) fail(path, errno);
  return std::make_unique<PosixOutputFile>(fd, path, hook_);
}

void StdFileSystem::rename(const std::string& from, const std::string& to) {
  before("rename", from);
  if (std::rename(from.c_str(), to.c_str()) != 0) fail(from, errno);
}

void StdFileSystem::remove(const std::string& path) {
  before("remove", path);
  if (::unlink(path.c_str()) != 0) fail(path, errno);
}

bool StdFileSystem::exists(const std::string& path) const {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0;
}

std::optional<FileIdentity> StdFileSystem::identity(const std::string& path) const {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) {
    if (errno == ENOENT || errno == ENOTDIR) return std::nullopt;
    fail(path, errno);
  }
  return FileIdentity{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
}

void StdFileSystem::copyPermissions(const std::string& from, const std::string& to) {
  struct stat st {};
  if (::stat(from.c_str(), &st) != 0) return;
  before("copyPermissions", to);
  if (::chmod(to.c_str(), st.st_mode & 07777) != 0) fail(to, errno);
}

void StdFileSystem::copyAccess(const std::string& from, const std::string& to) {
  struct stat model {};
  if (::stat(from.c_str(), &model) != 0) return;
  before("copyAccess", to);
  const int fd = ::open(to.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) fail(to, errno);
  try {
    copyOwner(from, model, fd);
    // After the owner: a change of owner clears the set-id bits.
    if (::fchmod(fd, model.st_mode & 07777) != 0) fail(to, errno);
    copyAttributes(from, fd);
  } catch (...) {
    ::close(fd);
    throw;
  }
  ::close(fd);
}

bool StdFileSystem::exchange(const std::string& first, const std::string& second) {
  before("exchange", first);
  if (::renameat2(AT_FDCWD, first.c_str(), AT_FDCWD, second.c_str(), RENAME_EXCHANGE) == 0) return true;
  if (errno == EINVAL || errno == ENOSYS || errno == ENOTSUP) return false;
  fail(first, errno);
}

bool StdFileSystem::writeProtected(const std::string& path) const {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) fail(path, errno);
  // Root may write anything; a file nobody may write is protected all the same.
  if ((st.st_mode & 0222) == 0) return true;
  if (::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0) return false;
  return errno == EACCES || errno == EPERM || errno == EROFS;
}

void StdFileSystem::syncFolder(const std::string& folder) {
  before("syncFolder", folder);
  const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) fail(folder, errno);
  const int rc = ::fsync(fd);
  const int error = errno;
  ::close(fd);
  if (rc != 0) fail(folder, error);
}

std::optional<FileStatus> StdFileSystem::status(const std::string& path, bool followLinks) const {
  struct stat st {};
  const int rc = followLinks ? ::stat(path.c_str(), &st) : ::lstat(path.c_str(), &st);
  if (rc != 0) {
    if (errno == ENOENT || errno == ENOTDIR) return std::nullopt;
    fail(path, errno);
  }
  return statusOf(st);
}

std::string StdFileSystem::resolve(const std::string& path) const {
  char* resolved = ::realpath(path.c_str(), nullptr);
  if (resolved == nullptr) fail(path, errno);
  std::string result = resolved;
  std::free(resolved);
  return result;
}

std::unique_ptr<ILockedFile> StdFileSystem::openLocked(const std::string& path) {
  // The lock belongs to the file, not to its name: a run that opened the old
  // file just before another run renamed a new one over the name would lock
  // a file nobody sees any more. Such a run opens the name again.
  for (int attempt = 0; attempt < 8; ++attempt) {
    const int fd = openRegularNonBlocking(path);
    // A file system that keeps no locks (some network shares) leaves the
    // file unlocked; the check before replacing still guards it.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno != ENOLCK && errno != EOPNOTSUPP && errno != EINVAL) {
      const int error = errno;
      ::close(fd);
      if (error == EWOULDBLOCK) throw FileLocked(path);
      fail(path, error);
    }
    struct stat held {};
    struct stat named {};
    if (::fstat(fd, &held) == 0 && ::stat(path.c_str(), &named) == 0 && held.st_dev == named.st_dev &&
        held.st_ino == named.st_ino) {
      return std::make_unique<PosixLockedFile>(fd, path);
    }
    ::close(fd);
  }
  throw FileLocked(path);
}

std::unique_ptr<IOutputFile> StdFileSystem::createExclusive(const std::string& path, unsigned permissions) {
  before("create", path);
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) fail(path, errno);
  // Set through the descriptor, after the umask had its say at creation.
  if (::fchmod(fd, static_cast<mode_t>(permissions & 07777)) != 0) {
    const int error = errno;
    ::close(fd);
    ::unlink(path.c_str());
    fail(path, error);
  }
  return std::make_unique<PosixOutputFile>(fd, path, hook_);
}

void StdFileSystem::append(const std::string& path, std::string_view bytes) {
  before("append", path);
  const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) fail(path, errno);
  PosixOutputFile out(fd, path, nullptr);
  out.write(bytes);
  out.close();
}

void StdFileSystem::link(const std::string& from, const std::string& to) {
  before("link", to);
  if (::link(from.c_str(), to.c_str()) != 0) fail(to, errno);
}

std::vector<std::string> StdFileSystem::listFolder(const std::string& folder) const {
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (dir == nullptr) fail(folder, errno);
  std::vector<std::string> names;
  while (dirent* entry = ::readdir(dir)) {
    const std::string_view name = entry->d_name;
    if (name != "." && name != "..") names.emplace_back(name);
  }
  ::closedir(dir);
  return names;
}

// A file system that lacks the writers' operations refuses them.
std::optional<FileStatus> IFileSystem::status(const std::string& path, bool /*followLinks*/) const {
  throw FileError(path, "not supported");
}
std::string IFileSystem::resolve(const std::string& path) const { throw FileError(path, "not supported"); }
std::unique_ptr<ILockedFile> IFileSystem::openLocked(const std::string& path) {
  throw FileError(path, "not supported");
}
std::unique_ptr<IOutputFile> IFileSystem::createExclusive(const std::string& path, unsigned /*permissions*/) {
  throw FileError(path, "not supported");
}
void IFileSystem::append(const std::string& path, std::string_view /*bytes*/) {
  throw FileError(path, "not supported");
}
void IFileSystem::link(const std::string& /*from*/, const std::string& to) {
  throw FileError(to, "not supported");
}
std::vector<std::string> IFileSystem::listFolder(const std::string& folder) const {
  throw FileError(folder, "not supported");
}
bool IFileSystem::exchange(const std::string& /*first*/, const std::string& /*second*/) { return false; }
void IFileSystem::copyAccess(const std::string& from, const std::string& to) { copyPermissions(from, to); }
bool IFileSystem::writeProtected(const std::string& path) const {
  const auto found = status(path);
  return found && (found->permissions & 0222) == 0;
}

}  // namespace orvanta
