#pragma once

// The two encodings of databases: checking UTF-8, the Windows-1252 table,
// upper-casing in both, and deciding which one a file or a line is in.

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace orvanta {

// Databases come from WSJT programs on Windows (Windows-1252) and on Linux
// (UTF-8). Lines are kept as the raw bytes of their file; only the view
// decodes them, so a line that no operation changes is written back byte for
// byte.
enum class Encoding { Windows1252, Utf8 };

inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

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
  [[nodiscard]] Encoding result() const;

 private:
  bool bom_ = false;
  bool nonAscii_ = false;
  bool invalid_ = false;
  std::array<char, 4> cut_{};  // a sequence the last piece ended in
  std::size_t cutLength_ = 0;
};

bool isValidUtf8(std::string_view bytes);
// True when every byte is below 0x80.
bool isAscii(std::string_view bytes);

// The encoding of one line on its own: UTF-8 when its bytes are valid UTF-8,
// Windows-1252 otherwise. A file edited by programs of both worlds mixes
// them; deciding line by line keeps its UTF-8 lines readable beside a stray
// Windows-1252 one. ASCII reads the same either way.
Encoding lineEncoding(std::string_view line);

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
