#include "records/Encoding.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

namespace orvanta {
namespace {

// Windows-1252 bytes 0x80..0x9F; the five unassigned bytes keep their own
// number as C1 control characters so that decoding never loses a byte.
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char32_t windows1252ToCodePoint(unsigned char byte) {
  if (byte >= 0x80 && byte <= 0x9F) return kHighControls[byte - 0x80];
  return byte;
}

void appendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

constexpr std::size_t kCutShort = static_cast<std::size_t>(-1);

// Length of the UTF-8 sequence at s[i] when it is valid; 0 when it is not;
// kCutShort when the bytes end inside a sequence that is valid so far. The
// one check of UTF-8 in the program.
// NOLINTNEXTLINE(readability-function-cognitive-complexity): hot UTF-8 check, kept whole for speed
std::size_t sequenceAt(std::string_view s, std::size_t i) {
  const auto b0 = static_cast<unsigned char>(s[i]);
  if (b0 < 0x80) return 1;
  std::size_t len = 0;
  unsigned char lo = 0x80;
  unsigned char hi = 0xBF;
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    len = 2;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    len = 3;
    if (b0 == 0xE0) lo = 0xA0;  // overlong
    if (b0 == 0xED) hi = 0x9F;  // surrogates
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    len = 4;
    if (b0 == 0xF0) lo = 0x90;  // overlong
    if (b0 == 0xF4) hi = 0x8F;  // beyond U+10FFFF
  } else {
    return 0;
  }
  for (std::size_t k = 1; k < len; ++k) {
    if (i + k >= s.size()) return kCutShort;
    const auto b = static_cast<unsigned char>(s[i + k]);
    if (b < (k == 1 ? lo : 0x80) || b > (k == 1 ? hi : 0xBF)) return 0;
  }
  return len;
}

// Length of the valid UTF-8 sequence at s[i], or 0 when it is not valid.
std::size_t validSequenceLength(std::string_view s, std::size_t i) {
  const std::size_t length = sequenceAt(s, i);
  return length == kCutShort ? 0 : length;
}

// Number of ASCII bytes at the start. Databases are mostly ASCII: eight
// bytes at a time.
std::size_t asciiRun(std::string_view bytes) {
  std::size_t i = 0;
  for (; i + 8 <= bytes.size(); i += 8) {
    std::uint64_t word;
    std::memcpy(&word, bytes.data() + i, 8);
    if ((word & 0x8080808080808080ULL) != 0U) break;
  }
  while (i < bytes.size() && static_cast<unsigned char>(bytes[i]) < 0x80) ++i;
  return i;
}

char32_t decodeSequence(std::string_view s, std::size_t i, std::size_t len) {
  const auto b0 = static_cast<unsigned char>(s[i]);
  char32_t cp = len == 1 ? b0 : len == 2 ? (b0 & 0x1FU) : len == 3 ? (b0 & 0x0FU) : (b0 & 0x07U);
  for (std::size_t k = 1; k < len; ++k) cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3FU);
  return cp;
}

char32_t upperCodePoint(char32_t cp) {
  if (cp >= U'a' && cp <= U'z') return cp - 0x20;
  if (cp < 0xE0) return cp;
  if (cp <= 0xFE) return cp == 0xF7 ? cp : cp - 0x20;
  if (cp == 0xFF) return 0x178;
  if (cp == 0x131) return U'I';  // dotless i
  if ((cp >= 0x100 && cp <= 0x137) || (cp >= 0x14A && cp <= 0x177)) return (cp & 1U) != 0U ? cp - 1 : cp;
  if ((cp >= 0x139 && cp <= 0x148) || (cp >= 0x179 && cp <= 0x17E)) return (cp & 1U) != 0U ? cp : cp - 1;
  if (cp == 0x192) return 0x191;
  return cp;
}

}  // namespace

void EncodingDetector::feed(std::string_view bytes) {
  if (invalid_) return;
  // A sequence that the last piece ended in goes on here.
  while (cutLength_ > 0 && !bytes.empty()) {
    cut_[cutLength_++] = bytes.front();
    bytes.remove_prefix(1);
    const std::size_t length = sequenceAt(std::string_view(cut_.data(), cutLength_), 0);
    if (length == 0) {
      invalid_ = true;
      return;
    }
    if (length != kCutShort) cutLength_ = 0;
  }
  for (std::size_t i = asciiRun(bytes); i < bytes.size(); i += asciiRun(bytes.substr(i))) {
    const std::size_t length = sequenceAt(bytes, i);
    if (length == 0) {
      invalid_ = true;
      return;
    }
    nonAscii_ = true;
    if (length == kCutShort) {
      cutLength_ = bytes.size() - i;
      std::copy(bytes.begin() + static_cast<std::ptrdiff_t>(i), bytes.end(), cut_.begin());
      return;
    }
    i += length;
  }
}

Encoding EncodingDetector::result() const {
  if (bom_) return Encoding::Utf8;
  return (nonAscii_ && !invalid_ && cutLength_ == 0) ? Encoding::Utf8 : Encoding::Windows1252;
}

bool isAscii(std::string_view bytes) { return asciiRun(bytes) == bytes.size(); }

Encoding lineEncoding(std::string_view line) {
  return isValidUtf8(line) ? Encoding::Utf8 : Encoding::Windows1252;
}

bool isValidUtf8(std::string_view bytes) {
  for (std::size_t i = asciiRun(bytes); i < bytes.size(); i += asciiRun(bytes.substr(i))) {
    const std::size_t length = validSequenceLength(bytes, i);
    if (length == 0) return false;
    i += length;
  }
  return true;
}

std::string toUtf8(std::string_view raw, Encoding encoding) {
  std::string out;
  out.reserve(raw.size() + raw.size() / 4);
  for (std::size_t i = 0; i < raw.size();) {
    // Most of a record is ASCII, which both encodings share: copy it in runs.
    const std::size_t ascii = asciiRun(raw.substr(i));
    out.append(raw.substr(i, ascii));
    i += ascii;
    if (i == raw.size()) break;
    if (encoding == Encoding::Windows1252) {
      appendUtf8(out, windows1252ToCodePoint(static_cast<unsigned char>(raw[i])));
      ++i;
      continue;
    }
    const std::size_t len = validSequenceLength(raw, i);
    if (len == 0) {
      out += "\xEF\xBF\xBD";
      ++i;
    } else {
      out.append(raw.substr(i, len));
      i += len;
    }
  }
  return out;
}

std::string fromUtf8(std::string_view utf8, Encoding encoding) {
  if (encoding == Encoding::Utf8) return std::string(utf8);
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size();) {
    const std::size_t len = validSequenceLength(utf8, i);
    if (len == 0) {
      out.push_back('?');
      ++i;
      continue;
    }
    const char32_t cp = decodeSequence(utf8, i, len);
    i += len;
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
      out.push_back(static_cast<char>(cp));
      continue;
    }
    const auto* const it = std::find(kHighControls.begin(), kHighControls.end(), cp);
    out.push_back(it == kHighControls.end() ? '?' : static_cast<char>(0x80 + (it - kHighControls.begin())));
  }
  return out;
}

namespace {

void appendUpperUtf8(std::string_view utf8, std::string& out) {
  for (std::size_t i = 0; i < utf8.size();) {
    const auto b = static_cast<unsigned char>(utf8[i]);
    if (b < 0x80) {
      out.push_back((b >= 'a' && b <= 'z') ? static_cast<char>(b - 0x20) : static_cast<char>(b));
      ++i;
      continue;
    }
    const std::size_t len = validSequenceLength(utf8, i);
    if (len == 0) {
      out.push_back(static_cast<char>(b));
      ++i;
      continue;
    }
    appendUtf8(out, upperCodePoint(decodeSequence(utf8, i, len)));
    i += len;
  }
}

// Upper case of every Windows-1252 byte, built once.
struct Windows1252UpperTable {
  std::array<unsigned char, 256> map{};
  constexpr Windows1252UpperTable() {
    for (unsigned b = 0; b < 256; ++b) {
      unsigned u = b;
      if ((b >= 'a' && b <= 'z') || (b >= 0xE0 && b <= 0xFE && b != 0xF7)) {
        u = b - 0x20;
      } else if (b == 0x9A || b == 0x9C || b == 0x9E) {
        u = b - 0x10;  // š œ ž
      } else if (b == 0xFF) {
        u = 0x9F;  // ÿ
      }
      map[b] = static_cast<unsigned char>(u);
    }
  }
};
constexpr Windows1252UpperTable kWindows1252Upper;

}  // namespace

std::string upperCaseUtf8(std::string_view utf8) {
  std::string out;
  upperCaseInto(utf8, Encoding::Utf8, out);
  return out;
}

std::string upperCaseWindows1252(std::string_view raw) {
  std::string out;
  upperCaseInto(raw, Encoding::Windows1252, out);
  return out;
}

std::string upperCase(std::string_view raw, Encoding encoding) {
  std::string out;
  upperCaseInto(raw, encoding, out);
  return out;
}

namespace {

constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;

// Upper case of eight ASCII bytes at once (no byte above 0x7F): the bytes
// from 'a' get their high bit set by adding 0x1F, those beyond 'z' by adding
// 0x05; no sum carries into the next byte. 0x80 >> 2 is the 0x20 between
// the cases.
constexpr std::uint64_t upperAsciiWord(std::uint64_t word) {
  const std::uint64_t fromA = word + 0x1F1F1F1F1F1F1F1FULL;
  const std::uint64_t beyondZ = word + 0x0505050505050505ULL;
  return word - ((fromA & ~beyondZ & kHighBits) >> 2);
}

}  // namespace

// A search upper-cases every line that may hold the text, so ASCII, which
// reads the same in both encodings, goes eight bytes at a time.
void upperCaseInto(std::string_view raw, Encoding encoding, std::string& out) {
  out.clear();
  out.reserve(raw.size());
  if (encoding == Encoding::Utf8) {
    // Only the ASCII words at the start: after them a character may span words.
    std::size_t i = 0;
    out.resize(raw.size() & ~std::size_t{7});
    for (; i + 8 <= raw.size(); i += 8) {
      std::uint64_t word;
      std::memcpy(&word, raw.data() + i, 8);
      if ((word & kHighBits) != 0) break;
      word = upperAsciiWord(word);
      std::memcpy(out.data() + i, &word, 8);
    }
    out.resize(i);
    appendUpperUtf8(raw.substr(i), out);
    return;
  }
  // Read from the line, not from `out`: loading a word just stored byte by
  // byte (or by memcpy in other widths) stalls the processor.
  out.assign(raw);
  char* const bytes = out.data();
  const std::size_t size = out.size();
  auto mapByte = [&](std::size_t k) {
    bytes[k] = static_cast<char>(kWindows1252Upper.map[static_cast<unsigned char>(raw[k])]);
  };
  std::size_t i = 0;
  for (; i + 8 <= size; i += 8) {
    std::uint64_t word;
    std::memcpy(&word, raw.data() + i, 8);
    if ((word & kHighBits) == 0) {
      word = upperAsciiWord(word);
      std::memcpy(bytes + i, &word, 8);
    } else {
      for (std::size_t k = i; k < i + 8; ++k) mapByte(k);
    }
  }
  for (; i < size; ++i) mapByte(i);
}

}  // namespace orvanta
