#pragma once

// Small text helpers shared by every reader of databases and paths. Texts are
// compared byte for byte; blanks are space characters only.

#include <string>
#include <string_view>

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

// ASCII letters to lower case; every other byte stays, so a path of either
// encoding keeps its bytes.
inline std::string lowerAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

}  // namespace orvanta
