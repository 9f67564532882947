#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FileSystem.h"

namespace orvanta {

// Databases come from WSJT programs on Windows (Windows-1252, CR LF) and on
// Linux (UTF-8, LF). Lines are kept as the raw bytes of their file; only the
// view decodes them, so a line that no operation changes is written back byte
// for byte.
enum class Encoding { Windows1252, Utf8 };
enum class LineEnd { CrLf, Lf };

struct TextFormat {
  Encoding encoding = Encoding::Windows1252;
  bool byteOrderMark = false;
  LineEnd lineEnd = LineEnd::CrLf;
  friend bool operator==(const TextFormat&, const TextFormat&) = default;
};

inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// Splits a byte stream into lines. A line ends at CR LF or at a lone LF; a
// last line without a line end is still a line. A lone CR is part of the line.
// A byte-order mark at the very start is not part of the first line.
class LineReader {
 public:
  explicit LineReader(IInputFile& file, std::size_t bufferSize = 1 << 16);

  // The next line without its line end; false at the end of the file. The view
  // stays valid until the next call. Throws FileError when reading fails.
  bool next(std::string_view& line);
  bool next(std::string& line);

  bool sawByteOrderMark() const { return bom_; }
  bool sawCrLf() const { return crlf_; }
  bool sawLoneLf() const { return lf_; }

 private:
  bool fill();

  IInputFile& file_;
  std::vector<char> buffer_;
  std::size_t begin_ = 0;    // start of unconsumed bytes in buffer_
  std::size_t end_ = 0;      // end of valid bytes in buffer_
  std::size_t scanned_ = 0;  // bytes after begin_ already known to hold no LF
  bool eof_ = false;
  bool started_ = false;
  bool bom_ = false;
  bool crlf_ = false;
  bool lf_ = false;
};

// Decides a file's encoding from its bytes, fed in pieces: UTF-8 when it
// starts with a byte-order mark, or when all bytes are valid UTF-8 and some
// are not ASCII; Windows-1252 otherwise.
class EncodingDetector {
 public:
  void feed(std::string_view bytes);
  // Feeds one line read without its line end, then the line end: a UTF-8
  // sequence never spans two lines.
  void feedLine(std::string_view line) {
    feed(line);
    feed("\n");
  }
  void markByteOrderMark() { bom_ = true; }
  Encoding result() const;

 private:
  bool bom_ = false;
  bool nonAscii_ = false;
  bool invalid_ = false;
  int pending_ = 0;         // continuation bytes still expected
  unsigned char lead_ = 0;  // lead byte of the sequence in progress
  bool firstContinuation_ = false;
};

bool isValidUtf8(std::string_view bytes);
// True when every byte is below 0x80.
bool isAscii(std::string_view bytes);

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

// Raw file bytes to UTF-8 for display. Windows-1252 maps every byte (the five
// unassigned ones to the C1 controls of the same number, so nothing is lost);
// invalid UTF-8 bytes become U+FFFD.
std::string toUtf8(std::string_view raw, Encoding encoding);
// UTF-8 text to the file's encoding. Characters Windows-1252 cannot hold become "?".
std::string fromUtf8(std::string_view utf8, Encoding encoding);

// Upper-cases letters of Windows-1252 and Latin-1/Latin Extended-A in UTF-8
// text ("ä" to "Ä", "é" to "É", "œ" to "Œ", "š" to "Š", "ÿ" to "Ÿ"); "ß" and
// everything else stay. Invalid bytes pass through unchanged.
std::string upperCaseUtf8(std::string_view utf8);
// The same on raw Windows-1252 bytes, byte for byte.
std::string upperCaseWindows1252(std::string_view raw);
// Upper-cases raw bytes of a file in the given encoding.
std::string upperCase(std::string_view raw, Encoding encoding);
// The same into a caller's buffer, so that a scan reuses one allocation.
void upperCaseInto(std::string_view raw, Encoding encoding, std::string& out);

}  // namespace orvanta
