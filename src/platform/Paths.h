#pragma once

// Joining and splitting paths with "/" as the folder separator.

#include <filesystem>
#include <string>
#include <string_view>

namespace orvanta {

// The folder part of a path, without the last "/" ("." for a bare file name,
// "/" for a file in the root folder).
inline std::string folderOf(const std::string& path) {
  std::string folder = std::filesystem::path(path).parent_path().string();
  return folder.empty() ? std::string(".") : folder;
}

// The file-name part of a path.
inline std::string fileNameOf(const std::string& path) {
  return std::filesystem::path(path).filename().string();
}

// Whether a path starts at the root folder.
inline bool isAbsolute(const std::string& path) { return std::filesystem::path(path).is_absolute(); }

// Whether a path names a folder before its file name.
inline bool hasFolder(const std::string& path) { return std::filesystem::path(path).has_parent_path(); }

// folder & "/" & name, without doubling a "/" the folder already ends with.
inline std::string pathIn(const std::string& folder, std::string_view name) {
  return (std::filesystem::path(folder) / name).string();
}

}  // namespace orvanta
