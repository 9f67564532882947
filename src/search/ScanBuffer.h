#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/FileSystem.h"
#include "records/ReadWindow.h"

namespace orvanta {

// Finds the places in raw bytes where a line could hold the search text.
class CandidateFinder {
 public:
  virtual ~CandidateFinder() = default;
  // A position in [begin, end) inside the first possible occurrence, or end.
  virtual const char* find(const char* begin, const char* end) const = 0;
};

// A line that may hold the search text, and the line before it.
struct Candidate {
  std::string_view line;
  std::string_view previous;  // empty when there is none or it was not held
  bool hasPrevious = false;   // false for line 1
  bool previousHeld = true;   // false: longer than the buffer may hold, its bytes are gone
  bool previousComment = false;
  std::uint64_t offset = 0;          // of the line in the file
  std::uint64_t previousOffset = 0;  // of the line before it
};

// A line longer than may be held, found where it starts in the file. Lines
// are numbered only then, by reading the file again up to there: counting
// every line feed of every search would cost more than the search.
class LongLineAt : public FileError {
 public:
  explicit LongLineAt(std::uint64_t at) : FileError("line longer than may be held"), offset(at) {}
  std::uint64_t offset;
};

// The number, counted from 1, of the line that starts at offset. Throws
// FileError when reading fails.
std::uint64_t lineNumberAt(IInputFile& file, std::uint64_t offset);

// The buffer the scan reads through. It holds a window of the file: the
// previous line, the lines not yet looked at, and the part of a line that
// the last read cut off. It grows for a line longer than itself, but never
// beyond the previous line and one line of longestLine: a longer line is
// read through holding only a few of its bytes, and refused only when it
// would have to be held.
class ScanBuffer {
 public:
  // overlap: how many bytes a candidate may span, so that one cut by a read
  // is still found in a line too long to hold.
  ScanBuffer(IInputFile& file, std::size_t size, std::size_t longestLine, std::size_t overlap);

  // The next line that the finder reports as a candidate, and the line before
  // it as stored. The views stay valid until the next call. Throws
  // LongLineAt for a candidate longer than longestLine that is no comment
  // line.
  bool nextCandidate(const CandidateFinder& finder, Candidate& candidate);

  // The next line as stored; the view stays valid until the next call.
  // Throws LongLineAt when the line is longer than longestLine.
  bool nextLine(std::string_view& line);
  // As nextLine, but a line longer than longestLine is read through without
  // being held and comes back empty with tooLong set.
  bool nextLineOrSkip(std::string_view& line, bool& tooLong);

  // Where in the file the line nextLine returned last starts.
  [[nodiscard]] std::uint64_t lastLineOffset() const { return offsetOf(previousStart_); }

 private:
  enum class More { Line, End, TooLong };
  void start();
  [[nodiscard]] std::string_view withoutCr(std::size_t start, std::size_t stop) const;
  void setPrevious(std::size_t start, std::size_t stop);
  [[nodiscard]] std::size_t lineStartBefore(std::size_t at) const;
  [[nodiscard]] std::uint64_t offsetOf(std::size_t at) const { return dropped_ + at; }
  void findComplete();
  More more();
  bool fill();
  void dropLongPrevious();
  bool skipLongLine(const CandidateFinder& finder);

  ReadWindow window_;
  std::size_t longestLine_;
  std::size_t initialSize_;
  std::size_t overlap_;
  std::size_t pos_ = 0;        // start of the next line not looked at
  std::size_t complete_ = 0;   // end of the whole lines in the buffer
  std::uint64_t dropped_ = 0;  // bytes of the file before the window
  std::uint64_t previousOffset_ = 0;
  std::size_t previousStart_ = 0;
  std::size_t previousLength_ = 0;
  bool hasPrevious_ = false;
  bool previousHeld_ = true;
  bool previousComment_ = false;
  bool started_ = false;
};

// Number of line feeds in [begin, end).
std::size_t countLineFeeds(const char* begin, const char* end);

}  // namespace orvanta
