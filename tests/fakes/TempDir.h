#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace orvanta::testing {

// A fresh folder under the system's temporary folder, removed with everything
// in it when the object goes.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  [[nodiscard]] const std::string& path() const { return path_; }
  // Full path of a name inside the folder.
  [[nodiscard]] std::string file(std::string_view name) const { return path_ + "/" + std::string(name); }
  // Writes raw bytes to a file inside the folder (creating sub-folders) and returns its path,
  // which many callers do not need.
  std::string write(  // NOLINT(modernize-use-nodiscard)
      std::string_view name, std::string_view bytes) const;
  [[nodiscard]] std::string read(std::string_view name) const;

 private:
  std::string path_;
};

// Makes a folder the current directory for the object's lifetime.
class CurrentDirectory {
 public:
  explicit CurrentDirectory(const std::string& folder);
  ~CurrentDirectory();
  CurrentDirectory(const CurrentDirectory&) = delete;
  CurrentDirectory& operator=(const CurrentDirectory&) = delete;

 private:
  std::filesystem::path previous_;
};

std::string readFile(const std::string& path);
void writeFile(const std::string& path, std::string_view bytes);

}  // namespace orvanta::testing
