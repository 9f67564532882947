#pragma once

// The scan behind "Suchen" and the "-"/"+" steps: one sequential pass over a
// database with a fixed-size buffer. Lines are compared as the raw bytes of
// the file, upper-cased in the file's encoding, so nothing is decoded except
// the few lines that contain the search text.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FileSystem.h"
#include "records/Encoding.h"
#include "records/TextFile.h"
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
  const std::string* inEncoding(Encoding encoding) const {
    if (encoding == Encoding::Utf8) return &utf8_;
    return representable1252_ ? &windows1252_ : nullptr;
  }
  std::string_view asciiAnchor() const { return anchor_; }
  bool empty() const { return utf8_.empty(); }

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
  bool empty() const { return anchor_.empty(); }

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
  const std::vector<std::string>& forms() const { return forms_; }

 private:
  const char* formEndingAt(const char* last, const char* begin) const;
  std::vector<std::string> forms_;
  std::string lastBytes_;  // the distinct last bytes of the forms
};

// What the scan asks of the form.
class ScanListener {
 public:
  virtual ~ScanListener() = default;
  // Shows a record line; the line may come back changed.
  virtual void show(std::string& line, Encoding encoding) = 0;
  // After a hit in a plain search: true to search further.
  virtual bool searchFurther() = 0;
};

struct ScanRequest {
  std::string primary;    // A: upper-cased UTF-8, not empty
  std::string secondary;  // B: upper-cased UTF-8, may be empty
  int direction = 0;      // 0 search, -1 step back, +1 step forward
};

struct ScanOutcome {
  bool found = false;      // a record is on screen and the operator stopped there
  bool continued = false;  // the operator went on after a hit
};

// Runs the scan over one file, from its first line. Each line is matched and
// shown in its own encoding (lineEncoding). lastStepLine is the line the last
// forward step showed (raw bytes); a forward step updates it. Throws
// FileError when the file cannot be read, and LineTooLongError when a line
// longer than longestLine would have to be held to compare or show it; a
// longer line that cannot hold the text is read through, never held whole.
ScanOutcome runScan(IInputFile& file, const ScanRequest& request, std::string& lastStepLine,
                    ScanListener& listener, std::size_t bufferSize = std::size_t{1} << 17,
                    std::size_t longestLine = kLongestHeldLine);

}  // namespace orvanta
