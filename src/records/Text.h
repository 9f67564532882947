#pragma once

// Small text helpers shared by every reader of databases and paths. Texts are
// compared byte for byte; blanks are space characters only.

#include <string>
#include <string_view>

#include "platform/Ascii.h"

namespace orvanta {

inline bool contains(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}

// The text without leading and trailing blanks (spaces, nothing else).
inline std::string_view trimBlanks(std::string_view text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  const std::size_t last = text.find_last_not_of(' ');
  return text.substr(first, last - first + 1);
}

// ASCII letters to lower or upper case; every other byte stays, so a path of
// either encoding keeps its bytes.
inline std::string lowerAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = lowerAscii(c);
  return out;
}

inline std::string upperAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = upperAscii(c);
  return out;
}

// Whether two texts are equal ignoring ASCII letter case.
inline bool sameIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (lowerAscii(a[i]) != lowerAscii(b[i])) return false;
  }
  return true;
}

// True when the text equals `upper`, an upper-case ASCII text, in any letter case.
inline bool equalsIgnoringCase(std::string_view text, std::string_view upper) {
  if (text.size() != upper.size()) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (upperAscii(text[i]) != upper[i]) return false;
  }
  return true;
}

}  // namespace orvanta
