#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FileSystem.h"

namespace orvanta::testing {

// Hands every call to another file system; a test overrides the calls it
// makes fail.
class ForwardingFileSystem : public IFileSystem {
 public:
  explicit ForwardingFileSystem(IFileSystem& real) : real_(real) {}
  [[nodiscard]] std::string currentDirectory() const override { return real_.currentDirectory(); }
  [[nodiscard]] std::optional<std::string> findFirst(const std::string& p) const override {
    return real_.findFirst(p);
  }
  [[nodiscard]] std::vector<std::string> folderNames(const std::string& f) const override {
    return real_.folderNames(f);
  }
  [[nodiscard]] std::unique_ptr<IInputFile> openRead(const std::string& p) const override {
    return real_.openRead(p);
  }
  std::unique_ptr<IOutputFile> create(const std::string& p) override { return real_.create(p); }
  void rename(const std::string& f, const std::string& t) override { real_.rename(f, t); }
  void remove(const std::string& p) override { real_.remove(p); }
  [[nodiscard]] bool exists(const std::string& p) const override { return real_.exists(p); }
  [[nodiscard]] std::optional<FileIdentity> identity(const std::string& p) const override {
    return real_.identity(p);
  }
  void copyPermissions(const std::string& f, const std::string& t) override { real_.copyPermissions(f, t); }
  void syncFolder(const std::string& f) override { real_.syncFolder(f); }
  [[nodiscard]] std::optional<FileStatus> status(const std::string& p, bool followLinks) const override {
    return real_.status(p, followLinks);
  }
  [[nodiscard]] std::string resolve(const std::string& p) const override { return real_.resolve(p); }
  std::unique_ptr<ILockedFile> openLocked(const std::string& p) override { return real_.openLocked(p); }
  std::unique_ptr<IOutputFile> createExclusive(const std::string& p, unsigned permissions) override {
    return real_.createExclusive(p, permissions);
  }
  void append(const std::string& p, std::string_view bytes) override { real_.append(p, bytes); }
  void link(const std::string& f, const std::string& t) override { real_.link(f, t); }
  [[nodiscard]] std::vector<std::string> listFolder(const std::string& f) const override {
    return real_.listFolder(f);
  }
  bool exchange(const std::string& a, const std::string& b) override { return real_.exchange(a, b); }
  void copyAccess(const std::string& f, const std::string& t) override { real_.copyAccess(f, t); }
  [[nodiscard]] bool writeProtected(const std::string& p) const override { return real_.writeProtected(p); }

 private:
  IFileSystem& real_;
};

}  // namespace orvanta::testing
