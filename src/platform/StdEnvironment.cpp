#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "platform/Environment.h"
#include "platform/Paths.h"

namespace orvanta {
namespace {

std::optional<std::string> homeFromUserDatabase() {
  long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
  std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 16384);
  passwd entry{};
  passwd* found = nullptr;
  if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || found == nullptr ||
      found->pw_dir == nullptr || found->pw_dir[0] == '\0') {
    return std::nullopt;
  }
  return std::string(found->pw_dir);
}

bool startsWith(std::string_view text, std::string_view start) {
  return text.substr(0, start.size()) == start;
}

}  // namespace

std::optional<std::string> StdEnvironment::variable(const std::string& name) const {
  if (const char* value = std::getenv(name.c_str())) return std::string(value);
  if (name == "HOME") return homeFromUserDatabase();
  return std::nullopt;
}

std::vector<std::string> wsjtxDataFolders(const IEnvironment& environment, const IFileSystem& files) {
  // A relative XDG_DATA_HOME is invalid and ignored, as every desktop program does.
  std::string data = environment.variable("XDG_DATA_HOME").value_or("");
  if (!isAbsolute(data)) {
    const std::string home = environment.variable("HOME").value_or("");
    if (home.empty()) return {};
    data = pathIn(home, ".local/share");
  }
  while (data.size() > 1 && data.back() == '/') data.pop_back();

  std::vector<std::string> names;
  try {
    names = files.folderNames(data);
  } catch (const FileError&) {
    return {};
  }
  // Byte order, whatever the locale: "WSJT-X - Rig" before "WSJT-X - rig".
  std::sort(names.begin(), names.end());

  std::vector<std::string> folders;
  for (const std::string_view program : {"WSJT-X", "JTDX"}) {
    const std::string prefix = std::string(program) + " - ";
    if (std::find(names.begin(), names.end(), program) != names.end())
      folders.push_back(pathIn(data, program));
    for (const std::string& name : names) {
      if (startsWith(name, prefix)) folders.push_back(pathIn(data, name));
    }
  }
  return folders;
}

}  // namespace orvanta
