#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FileSystem.h"
#include "records/Encoding.h"
#include "records/ReadWindow.h"

namespace orvanta {

// Lines end in CR LF (Windows) or LF (Linux).
enum class LineEnd { CrLf, Lf };

struct TextFormat {
  Encoding encoding = Encoding::Windows1252;
  bool byteOrderMark = false;
  LineEnd lineEnd = LineEnd::CrLf;
  friend bool operator==(const TextFormat&, const TextFormat&) = default;
};

// The longest line a command holds whole to show, compare or rewrite it. A
// longer one is refused rather than read into memory: no database record
// comes near it, and a file without line ends (a binary file listed by
// mistake) must not take all memory.
inline constexpr std::size_t kLongestHeldLine = std::size_t{16} << 20;

// A line longer than a reader may hold; line() counts the file's lines from 1.
class LineTooLongError : public ReadError {
 public:
  explicit LineTooLongError(std::uint64_t line);
  // The same line of the file at path.
  LineTooLongError(const std::string& path, const LineTooLongError& cause)
      : ReadError(path, cause), line_(cause.line_) {}
  [[nodiscard]] std::uint64_t line() const { return line_; }

 private:
  std::uint64_t line_;
};

// Splits a byte stream into lines. A line ends at CR LF or at a lone LF; a
// last line without a line end is still a line. A lone CR is part of the line.
// A byte-order mark at the very start is not part of the first line.
class LineReader {
 public:
  // Lines longer than longestLine bytes are refused; the buffer never grows
  // beyond what one such line needs.
  explicit LineReader(IInputFile& file, std::size_t bufferSize = 1 << 16,
                      std::size_t longestLine = std::size_t(-1));

  // The next line without its line end; false at the end of the file. The view
  // stays valid until the next call. Throws FileError when reading fails and
  // LineTooLongError for a line longer than longestLine.
  bool next(std::string_view& line);
  bool next(std::string& line);

  [[nodiscard]] bool sawByteOrderMark() const { return bom_; }
  [[nodiscard]] bool sawCrLf() const { return crlf_; }
  [[nodiscard]] bool sawLoneLf() const { return lf_; }
  // Number of the line returned last, counted from 1.
  [[nodiscard]] std::uint64_t lineNumber() const { return lineNumber_; }

 private:
  bool fill();

  ReadWindow window_;
  std::size_t begin_ = 0;    // start of the bytes not yet returned
  std::size_t scanned_ = 0;  // bytes after begin_ already known to hold no LF
  std::size_t longestLine_;
  std::uint64_t lineNumber_ = 0;
  bool started_ = false;
  bool bom_ = false;
  bool crlf_ = false;
  bool lf_ = false;
};

// A whole file read into memory, line by line, with its format.
struct TextFileContent {
  std::vector<std::string> lines;  // raw bytes, without line ends and without a BOM
  TextFormat format;
};

// Reads a whole file. Throws FileError.
TextFileContent readTextFile(const IFileSystem& fs, const std::string& path);

// Joins lines with the format's line end (every line followed by it) and puts
// the byte-order mark in front when the format has one.
std::string joinLines(const std::vector<std::string>& lines, const TextFormat& format);
std::string_view lineEndBytes(LineEnd lineEnd);

}  // namespace orvanta
