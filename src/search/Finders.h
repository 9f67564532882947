#pragma once

// What the scan looks for, and how it finds the lines that may hold it
// without looking at every line: the search texts in both encodings, and the
// finders that run over the raw bytes sixteen at a time.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "records/Encoding.h"
#include "search/ScanBuffer.h"

namespace orvanta {

// An upper-case text to look for in raw file bytes, in both encodings, with the
// longest run of ASCII characters as the anchor that the fast search finds
// without regard to letter case.
class SearchNeedle {
 public:
  SearchNeedle() = default;
  explicit SearchNeedle(std::string_view upperUtf8);

  // The text in the file's encoding; empty optional when the encoding cannot
  // hold one of its characters (no line of such a file can contain it).
  [[nodiscard]] const std::string* inEncoding(Encoding encoding) const {
    if (encoding == Encoding::Utf8) return &utf8_;
    return representable1252_ ? &windows1252_ : nullptr;
  }
  [[nodiscard]] std::string_view asciiAnchor() const { return anchor_; }
  [[nodiscard]] bool empty() const { return utf8_.empty(); }

 private:
  std::string utf8_;
  std::string windows1252_;
  bool representable1252_ = true;
  std::string anchor_;
};

// Finds an upper-case ASCII anchor in bytes, matching letters of either case.
class AnchorFinder final : public CandidateFinder {
 public:
  explicit AnchorFinder(std::string_view upperAscii);
  // First position in [begin, end) where the anchor starts, or end; begin
  // itself for an empty anchor.
  const char* find(const char* begin, const char* end) const override;
  [[nodiscard]] bool empty() const { return anchor_.empty(); }

 private:
  bool matchesAt(const char* p) const;
  std::string anchor_;               // letters in lower case
  std::vector<unsigned char> fold_;  // 0x20 for letters: byte | fold == anchor byte
  std::size_t first_ = 0;            // the two positions the wide test looks at
  std::size_t second_ = 0;
};

// An anchor holding "I" also stands in a UTF-8 line as the dotless "Ä±",
// which upper-cases to "I" without being ASCII: such a line is a candidate
// too. The search for it only covers the bytes before the anchor's next
// occurrence, so every byte is looked at once.
class DotlessIFinder final : public CandidateFinder {
 public:
  explicit DotlessIFinder(const AnchorFinder& anchor) : anchor_(anchor) {}
  const char* find(const char* begin, const char* end) const override;

 private:
  const AnchorFinder& anchor_;
};

// Finds one character that is not ASCII, in every letter case and in both
// encodings: the raw forms of all characters that upper-case to it. For a
// search text without a single ASCII character.
class LetterFinder final : public CandidateFinder {
 public:
  explicit LetterFinder(std::string_view upperUtf8Character);
  // Start of the first raw form in [begin, end), or end.
  const char* find(const char* begin, const char* end) const override;
  [[nodiscard]] const std::vector<std::string>& forms() const { return forms_; }

 private:
  const char* formEndingAt(const char* last, const char* begin) const;
  std::vector<std::string> forms_;
  std::string lastBytes_;  // the distinct last bytes of the forms
};

}  // namespace orvanta
