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

// A file operation that failed; what() is the system's description, fit to show.
class FileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class IInputFile {
 public:
  virtual ~IInputFile() = default;
  // Reads up to size bytes; returns 0 at the end of the file. Throws FileError.
  virtual std::size_t read(char* buffer, std::size_t size) = 0;
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

// Everything the program needs of the file system. Paths use "/" and relative
// paths are taken relative to the current directory. Every operation but
// currentDirectory throws FileError when it fails.
class IFileSystem {
 public:
  virtual ~IFileSystem() = default;

  virtual std::string currentDirectory() const = 0;

  // Name (without folder) of the first ordinary, non-hidden file that the
  // path names; "*" and "?" in its last component match without regard to
  // letter case. Empty when nothing matches. Throws when the folder cannot be
  // examined at all.
  virtual std::optional<std::string> findFirst(const std::string& pattern) const = 0;
  // Names of the non-hidden folders inside a folder, in no particular order.
  // Empty when the folder does not exist.
  virtual std::vector<std::string> folderNames(const std::string& folder) const = 0;

  virtual std::unique_ptr<IInputFile> openRead(const std::string& path) const = 0;
  // Creates the file, or truncates an existing one.
  virtual std::unique_ptr<IOutputFile> create(const std::string& path) = 0;
  // Renames within one file system; an existing target is replaced atomically.
  virtual void rename(const std::string& from, const std::string& to) = 0;
  virtual void remove(const std::string& path) = 0;
  // True when anything (file or folder) exists under the path.
  virtual bool exists(const std::string& path) const = 0;
  virtual std::optional<FileIdentity> identity(const std::string& path) const = 0;
  // Gives `to` the permission bits of `from`, so that a file written anew
  // keeps the access its operator gave the old one. Nothing when `from` does
  // not exist.
  virtual void copyPermissions(const std::string& from, const std::string& to) = 0;
  // Makes renames and creations inside the folder durable.
  virtual void syncFolder(const std::string& folder) = 0;
};

// The real file system through the C++ and POSIX libraries.
class StdFileSystem final : public IFileSystem {
 public:
  // Called before every operation that changes the disk (create, write, sync,
  // close, rename, remove, copyPermissions), with the operation's name and path. Tests use it to
  // inject failures or to stop the process at a chosen step.
  using Hook = std::function<void(std::string_view operation, const std::string& path)>;

  StdFileSystem() = default;
  explicit StdFileSystem(Hook hook) : hook_(std::move(hook)) {}

  std::string currentDirectory() const override;
  std::optional<std::string> findFirst(const std::string& pattern) const override;
  std::vector<std::string> folderNames(const std::string& folder) const override;
  std::unique_ptr<IInputFile> openRead(const std::string& path) const override;
  std::unique_ptr<IOutputFile> create(const std::string& path) override;
  void rename(const std::string& from, const std::string& to) override;
  void remove(const std::string& path) override;
  bool exists(const std::string& path) const override;
  std::optional<FileIdentity> identity(const std::string& path) const override;
  void copyPermissions(const std::string& from, const std::string& to) override;
  void syncFolder(const std::string& folder) override;

 private:
  void before(std::string_view operation, const std::string& path) const {
    if (hook_) hook_(operation, path);
  }
  Hook hook_;
};

// Matches a file name against a pattern with "*" and "?", ignoring ASCII letter case.
bool wildcardMatch(std::string_view pattern, std::string_view name);

}  // namespace orvanta
