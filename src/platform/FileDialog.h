#pragma once

#include <string>
#include <vector>

namespace orvanta {

struct FileFilter {
  std::string description;  // "User-Datenbank (*.txt)"
  std::string pattern;      // "*.txt"
};

struct OpenFileRequest {
  std::string title;
  std::string initialFolder;
  std::string fileName;  // proposed name
  std::vector<FileFilter> filters;
  int filterIndex = 1;                   // 1-based, preselected entry
  std::vector<std::string> places = {};  // folders to offer besides the system's own places
};

struct OpenFileResult {
  enum class Outcome { Chosen, Cancelled, Failed };
  Outcome outcome = Outcome::Cancelled;
  std::string path;   // full path of the chosen existing file
  std::string error;  // description when Failed
};

// Modal file-open dialog for one existing file.
class IFileDialog {
 public:
  virtual ~IFileDialog() = default;
  virtual OpenFileResult openFile(const OpenFileRequest& request) = 0;
};

}  // namespace orvanta
