#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace orvanta {

// A file operation that failed: the one way every layer below the form
// reports a failure. what() is fit to show; path() names the file concerned
// (empty when the error does not know it) and reason() tells what went wrong
// with it. The subclasses carry what a handler needs beyond the text.
class FileError : public std::runtime_error {
 public:
  explicit FileError(const std::string& what) : std::runtime_error(what), reason_(what) {}
  FileError(const std::string& path, const std::string& reason)
      : std::runtime_error(path.empty() ? reason : path + ": " + reason), path_(path), reason_(reason) {}
  [[nodiscard]] const std::string& path() const { return path_; }
  [[nodiscard]] const std::string& reason() const { return reason_; }

 protected:
  // A failure on the way to path: the cause's reason, with the cause's own
  // path when that is another file (a scratch file, say).
  FileError(const std::string& path, const FileError& cause)
      : FileError(path, cause.path().empty() || cause.path() == path ? cause.reason() : cause.what()) {}

 private:
  std::string path_;
  std::string reason_;
};

// Reading a file failed; nothing was written.
class ReadError : public FileError {
 public:
  using FileError::FileError;
  ReadError(const std::string& path, const FileError& cause) : FileError(path, cause) {}
};

// Writing a file anew failed; path names the file that stays unchanged.
class WriteError : public FileError {
 public:
  using FileError::FileError;
  WriteError(const std::string& path, const FileError& cause) : FileError(path, cause) {}
};

class IInputFile {
 public:
  virtual ~IInputFile() = default;
  // Reads up to size bytes; returns 0 at the end of the file. Throws FileError.
  virtual std::size_t read(char* buffer, std::size_t size) = 0;
  // The file's size in bytes when it was opened, when the file can tell.
  [[nodiscard]] virtual std::optional<std::uint64_t> size() const { return std::nullopt; }
  // A reader of its own of the same open file, from the given offset on,
  // that may be used on another thread than this one; null when the file
  // cannot give one. Reading the parts of a large file side by side needs it.
  [[nodiscard]] virtual std::unique_ptr<IInputFile> readerAt(std::uint64_t /*offset*/) const {
    return nullptr;
  }
};

class IOutputFile {
 public:
  virtual ~IOutputFile() = default;
  virtual void write(std::string_view bytes) = 0;
  // Flushes everything written so far to the disk. Throws FileError.
  virtual void sync() = 0;
  // Closes the file; a failure to close (a late write error) throws FileError.
  virtual void close() = 0;
};

// Identifies a file independently of how its path is spelled.
struct FileIdentity {
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

enum class FileType { Regular, Directory, SymbolicLink, Other };

// What tells one state of a file from another: the same file (device and
// inode) with the same size and modification time to the nanosecond has not
// been written since.
struct FileStatus {
  FileIdentity identity;
  FileType type = FileType::Other;
  std::uint64_t size = 0;
  std::int64_t modifiedNs = 0;
  unsigned permissions = 0;  // the permission bits, 07777
  [[nodiscard]] bool sameContentAs(const FileStatus& other) const {
    return identity == other.identity && size == other.size && modifiedNs == other.modifiedNs;
  }
};

// A regular file opened for reading and held under an exclusive advisory
// lock until the object goes. Only programs that ask for the lock respect it.
class ILockedFile : public IInputFile {
 public:
  // The file's state as the open descriptor sees it now.
  [[nodiscard]] virtual FileStatus status() const = 0;
  // Goes on reading at the given offset from the start.
  virtual void seek(std::uint64_t offset) = 0;
  void rewind() { seek(0); }
  // Waits up to the given time until no other descriptor, in any process,
  // has the file open; false when that time passed or the system cannot
  // tell. After the file has been renamed away, nobody can write to it once
  // this holds.
  virtual bool waitUntilOnlyHolder(int milliseconds) = 0;
};

// Another run holds the lock on the file.
class FileLocked : public FileError {
 public:
  explicit FileLocked(const std::string& file) : FileError(file, "locked") {}
};

// Another program wrote the file after it was read; nothing was replaced.
class FileChanged : public FileError {
 public:
  explicit FileChanged(const std::string& file) : FileError(file, "changed meanwhile") {}
};

// Everything the program needs of the file system. Paths use "/" and relative
// paths are taken relative to the current directory. Every operation but
// currentDirectory throws FileError when it fails.
class IFileSystem {
 public:
  virtual ~IFileSystem() = default;

  [[nodiscard]] virtual std::string currentDirectory() const = 0;

  // Name (without folder) of the first ordinary, non-hidden file that the
  // path names; "*" and "?" in its last component match without regard to
  // letter case. Empty when nothing matches. Throws when the folder cannot be
  // examined at all.
  [[nodiscard]] virtual std::optional<std::string> findFirst(const std::string& pattern) const = 0;
  // Names of the non-hidden folders inside a folder, in no particular order.
  // Empty when the folder does not exist.
  [[nodiscard]] virtual std::vector<std::string> folderNames(const std::string& folder) const = 0;

  // Opens a regular file, or a link to one, for reading. Anything else (a
  // folder, a FIFO, a device) throws FileError at once, without blocking.
  [[nodiscard]] virtual std::unique_ptr<IInputFile> openRead(const std::string& path) const = 0;
  // Creates the file, or truncates an existing one.
  virtual std::unique_ptr<IOutputFile> create(const std::string& path) = 0;
  // Renames within one file system; an existing target is replaced atomically.
  virtual void rename(const std::string& from, const std::string& to) = 0;
  virtual void remove(const std::string& path) = 0;
  // True when anything (file or folder) exists under the path.
  [[nodiscard]] virtual bool exists(const std::string& path) const = 0;
  // Nothing when nothing is under the path; throws when it cannot be examined.
  [[nodiscard]] virtual std::optional<FileIdentity> identity(const std::string& path) const = 0;
  // Gives `to` the permission bits of `from`, so that a file written anew
  // keeps the access its operator gave the old one. Nothing when `from` does
  // not exist.
  virtual void copyPermissions(const std::string& from, const std::string& to) = 0;
  // Makes renames and creations inside the folder durable.
  virtual void syncFolder(const std::string& folder) = 0;

  // The operations of the writers that replace databases. A file system that
  // cannot do them fails each with FileError, so that a command using them
  // ends through its normal failure path.

  // The state of what the path names, following links unless told not to;
  // nothing when there is nothing.
  [[nodiscard]] virtual std::optional<FileStatus> status(const std::string& path,
                                                         bool followLinks = true) const;
  // The path with every link and "." or ".." resolved.
  [[nodiscard]] virtual std::string resolve(const std::string& path) const;
  // Opens a regular file without blocking (a FIFO or device is refused,
  // never opened for good) and takes the exclusive lock without waiting.
  // Throws FileLocked when another holder has it, FileError otherwise. On a
  // file system that keeps no locks the file comes back unlocked.
  virtual std::unique_ptr<ILockedFile> openLocked(const std::string& path);
  // Creates a new file that must not exist yet, not even as a link, with the
  // given permission bits.
  virtual std::unique_ptr<IOutputFile> createExclusive(const std::string& path, unsigned permissions);
  // Adds bytes at the end of an existing regular file.
  virtual void append(const std::string& path, std::string_view bytes);
  // A second name for an existing file; `to` must not exist.
  virtual void link(const std::string& from, const std::string& to);
  // Names of the entries of a folder, hidden ones included.
  [[nodiscard]] virtual std::vector<std::string> listFolder(const std::string& folder) const;
  // Swaps the files the two names hold, in one step. False, and nothing
  // changed, when the file system cannot do that.
  virtual bool exchange(const std::string& first, const std::string& second);
  // Gives `to` what decides who may use `from`: its owner where that is
  // permitted, its group, permission bits, access control list and user
  // attributes. Throws FileError when the group cannot be kept for a file
  // its group may write; nothing else of `to` is changed then.
  virtual void copyAccess(const std::string& from, const std::string& to);
  // True when the file must not be written: it has no write permission bit
  // at all, or this user may not write it.
  [[nodiscard]] virtual bool writeProtected(const std::string& path) const;
};

// The real file system through the C++ and POSIX libraries.
class StdFileSystem final : public IFileSystem {
 public:
  // Called before every operation that changes the disk (create, write, sync,
  // close, rename, exchange, remove, copyPermissions, copyAccess, link,
  // append), with the operation's name and path. Tests use it
  // to inject failures or to stop the process at a chosen step.
  using Hook = std::function<void(std::string_view operation, const std::string& path)>;

  StdFileSystem() = default;
  explicit StdFileSystem(Hook hook) : hook_(std::move(hook)) {}

  [[nodiscard]] std::string currentDirectory() const override;
  [[nodiscard]] std::optional<std::string> findFirst(const std::string& pattern) const override;
  [[nodiscard]] std::vector<std::string> folderNames(const std::string& folder) const override;
  [[nodiscard]] std::unique_ptr<IInputFile> openRead(const std::string& path) const override;
  std::unique_ptr<IOutputFile> create(const std::string& path) override;
  void rename(const std::string& from, const std::string& to) override;
  void remove(const std::string& path) override;
  [[nodiscard]] bool exists(const std::string& path) const override;
  [[nodiscard]] std::optional<FileIdentity> identity(const std::string& path) const override;
  void copyPermissions(const std::string& from, const std::string& to) override;
  void syncFolder(const std::string& folder) override;
  [[nodiscard]] std::optional<FileStatus> status(const std::string& path,
                                                 bool followLinks = true) const override;
  [[nodiscard]] std::string resolve(const std::string& path) const override;
  std::unique_ptr<ILockedFile> openLocked(const std::string& path) override;
  std::unique_ptr<IOutputFile> createExclusive(const std::string& path, unsigned permissions) override;
  void append(const std::string& path, std::string_view bytes) override;
  void link(const std::string& from, const std::string& to) override;
  [[nodiscard]] std::vector<std::string> listFolder(const std::string& folder) const override;
  bool exchange(const std::string& first, const std::string& second) override;
  void copyAccess(const std::string& from, const std::string& to) override;
  [[nodiscard]] bool writeProtected(const std::string& path) const override;

 private:
  void before(std::string_view operation, const std::string& path) const {
    if (hook_) hook_(operation, path);
  }
  Hook hook_;
};

// Matches a file name against a pattern with "*" and "?", ignoring ASCII letter case.
bool wildcardMatch(std::string_view pattern, std::string_view name);

}  // namespace orvanta
