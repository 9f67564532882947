#pragma once

// The letter case of ASCII, the one rule every case-insensitive comparison
// of names and texts uses; every byte other than A-Z and a-z stays, so text
// of either encoding keeps its bytes. The file-name matching of this folder
// needs it, so it sits here; everything above uses it through
// records/Text.h.

namespace orvanta {

inline constexpr char lowerAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

inline constexpr char upperAscii(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

}  // namespace orvanta
