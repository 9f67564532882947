#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "platform/FileSystem.h"

namespace orvanta {

// The folder part of a path, without the last "/" ("." for a bare file name,
// "/" for a file in the root folder).
std::string FolderOf(const std::string& path);
// The file-name part of a path.
std::string FileNameOf(const std::string& path);
// folder & "/" & name, without doubling a "/" the folder already ends with.
std::string PathIn(const std::string& folder, std::string_view name);

// Name of the scratch file that stands beside target while its new content is
// written. It starts with "." so that no file listing of the program shows it.
std::string TemporaryPathBeside(const std::string& target);

// Writes bytes completely into a fresh scratch file beside target and flushes
// it to the disk; target itself is not touched. Returns the scratch file's
// path. On failure the scratch file is removed again and FileError is thrown.
std::string WriteTemporaryBeside(IFileSystem& files, const std::string& target, std::string_view bytes);
// The same with the content written by a function.
using ContentWriter = std::function<void(IOutputFile&)>;
std::string WriteTemporaryBeside(IFileSystem& files, const std::string& target, const ContentWriter& content);

// Removes a scratch file; a failure is ignored, as the file holds nothing of value.
void DiscardTemporary(IFileSystem& files, const std::string& temporary) noexcept;

// Reads a whole file into memory. Throws FileError.
std::string ReadWholeFile(const IFileSystem& files, const std::string& path);

}  // namespace orvanta
