#include "maintenance/SafeFiles.h"

#include <utility>

namespace orvanta {

std::string FolderOf(const std::string& path) {
  const auto slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string FileNameOf(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string PathIn(const std::string& folder, std::string_view name) {
  std::string path = folder;
  if (path.empty() || path.back() != '/') path += '/';
  path += name;
  return path;
}

std::string TemporaryPathBeside(const std::string& target) {
  std::string name = ".";
  name += FileNameOf(target);
  name += ".orvanta-new";
  return PathIn(FolderOf(target), name);
}

void DiscardTemporary(IFileSystem& files, const std::string& temporary) noexcept {
  try {
    if (files.exists(temporary)) files.remove(temporary);
  } catch (...) {
    // Nothing of value is in it; a leftover is overwritten by the next run.
  }
}

std::string WriteTemporaryBeside(IFileSystem& files, const std::string& target, std::string_view bytes) {
  return WriteTemporaryBeside(files, target, [bytes](IOutputFile& out) { out.write(bytes); });
}

std::string WriteTemporaryBeside(IFileSystem& files, const std::string& target,
                                 const ContentWriter& content) {
  const std::string temporary = TemporaryPathBeside(target);
  try {
    auto out = files.create(temporary);
    content(*out);
    out->sync();
    out->close();
    files.copyPermissions(target, temporary);
  } catch (...) {
    DiscardTemporary(files, temporary);
    throw;
  }
  return temporary;
}

std::string ReadWholeFile(const IFileSystem& files, const std::string& path) {
  auto in = files.openRead(path);
  std::string bytes;
  std::size_t used = 0;
  bytes.resize(1 << 20);
  for (;;) {
    if (used == bytes.size()) bytes.resize(bytes.size() * 2);
    const std::size_t n = in->read(bytes.data() + used, bytes.size() - used);
    if (n == 0) break;
    used += n;
  }
  bytes.resize(used);
  return bytes;
}

}  // namespace orvanta
