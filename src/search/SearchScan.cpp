#include "search/SearchScan.h"

#include <algorithm>
#include <memory>

#include "records/NormalizeRecord.h"
#include "records/Text.h"

namespace orvanta {
namespace {

// The finder that lets the fewest lines through for a request.
class RequestFinder {
 public:
  explicit RequestFinder(const ScanRequest& request, const SearchNeedle& primary,
                         const SearchNeedle& secondary)
      : ascii_(asciiAnchor(primary, secondary, withDotless_)), dotless_(ascii_) {
    // A text without ASCII: its first character in any case and encoding.
    if (ascii_.empty()) {
      const std::string_view text = request.primary;
      std::size_t length = 1;
      const auto lead = static_cast<unsigned char>(text[0]);
      if (lead >= 0xC0) length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
      letter_ = std::make_unique<LetterFinder>(text.substr(0, std::min(length, text.size())));
    }
  }
  RequestFinder(const RequestFinder&) = delete;
  RequestFinder& operator=(const RequestFinder&) = delete;

  [[nodiscard]] const CandidateFinder& get() const {
    if (letter_) return *letter_;
    if (withDotless_) return dotless_;
    return ascii_;
  }

 private:
  // Both texts must be in a matching line, so the longer anchor of the two
  // lets the fewest lines through. The dotless i upper-cases to "I", so a
  // line can hold an "I" of the text without holding the byte. The longest
  // piece of the anchor without "I" is found as it stands; only an anchor of
  // nothing but "I" needs the slower look for the dotless i as well.
  static std::string_view asciiAnchor(const SearchNeedle& primary, const SearchNeedle& secondary,
                                      bool& withDotless) {
    const std::string_view anchor = primary.asciiAnchor().size() >= secondary.asciiAnchor().size()
                                        ? primary.asciiAnchor()
                                        : secondary.asciiAnchor();
    std::string_view withoutI;
    for (std::size_t start = 0; start <= anchor.size();) {
      const std::size_t stop = std::min(anchor.find('I', start), anchor.size());
      if (stop - start > withoutI.size()) withoutI = anchor.substr(start, stop - start);
      start = stop + 1;
    }
    withDotless = withoutI.empty() && !anchor.empty();
    return withDotless ? anchor : withoutI;
  }

  bool withDotless_ = false;
  AnchorFinder ascii_;
  DotlessIFinder dotless_;
  std::unique_ptr<LetterFinder> letter_;
};

// The line after a hit as stored, for a forward step; at the end of the file
// the hit itself stays. A line equal to the one the last step showed is
// passed over.
Encoding lineAfterHit(ScanBuffer& buffer, std::string& current, Encoding hitEncoding,
                      std::string& lastStepLine, std::uint64_t& shownOffset) {
  Encoding encoding = hitEncoding;
  std::string_view next;
  if (buffer.nextLine(next)) {
    current.assign(next);
    encoding = lineEncoding(next);
    shownOffset = buffer.lastLineOffset();
  }
  if (current == lastStepLine && buffer.nextLine(next)) {
    current.assign(next);
    encoding = lineEncoding(next);
    shownOffset = buffer.lastLineOffset();
  }
  lastStepLine = current;
  return encoding;
}

// The line before a hit as the scan holds it, for a backward step:
// upper-cased, or empty for line 1 and for a comment line. One too long to
// hold that would have to be shown is refused.
Encoding lineBeforeHit(const Candidate& hit, std::size_t longestLine, std::string& current) {
  current.clear();
  constexpr Encoding kEmptyLine = Encoding::Utf8;  // as lineEncoding decides for ASCII
  if (!hit.hasPrevious) return kEmptyLine;
  const bool held = hit.previousHeld && hit.previous.size() <= longestLine;
  const bool comment = hit.previousHeld ? isCommentLine(hit.previous) : hit.previousComment;
  if (comment) return kEmptyLine;
  if (!held) throw LongLineAt(hit.previousOffset);
  const Encoding encoding = lineEncoding(hit.previous);
  upperCaseInto(hit.previous, encoding, current);
  return encoding;
}

}  // namespace

namespace {

// NOLINTNEXTLINE(readability-function-cognitive-complexity): hot search loop, kept whole for speed
ScanOutcome scanLines(IInputFile& file, const ScanRequest& request, std::string& lastStepLine,
                      ScanListener& listener, std::size_t bufferSize, std::size_t longestLine) {
  const SearchNeedle primary(request.primary);
  const SearchNeedle secondary(request.secondary);
  const RequestFinder finder(request, primary, secondary);
  // A candidate in a line too long to hold spans at most the longer text.
  ScanBuffer buffer(file, bufferSize, longestLine,
                    std::max(request.primary.size(), request.secondary.size()));

  ScanOutcome outcome;
  std::string upper;
  std::string current;
  Candidate hit;
  while (buffer.nextCandidate(finder.get(), hit)) {
    if (isCommentLine(hit.line)) continue;  // comment lines never match
    // An ASCII line reads the same in both encodings and is upper-cased the
    // cheaper way, byte for byte.
    const bool ascii = isAscii(hit.line);
    Encoding encoding = ascii ? Encoding::Utf8 : lineEncoding(hit.line);
    const std::string* a = primary.inEncoding(encoding);
    const std::string* b = secondary.inEncoding(encoding);
    if (a == nullptr || b == nullptr) continue;
    upperCaseInto(hit.line, ascii ? Encoding::Windows1252 : encoding, upper);
    if (!contains(upper, *a) || !contains(upper, *b)) continue;
    outcome.found = true;

    if (request.direction > 0) {
      current = upper;
      std::uint64_t shown = hit.offset;
      encoding = lineAfterHit(buffer, current, encoding, lastStepLine, shown);
      outcome.shownOffset = shown;
    } else if (request.direction < 0) {
      encoding = lineBeforeHit(hit, longestLine, current);
      if (hit.hasPrevious) outcome.shownOffset = hit.previousOffset;
    } else {
      current.swap(upper);
    }

    if (isSearchTerminator(current)) {
      outcome.found = false;  // the terminator line ends the search
    } else {
      listener.show(current, encoding);
    }
    if (request.direction != 0 || !outcome.found) break;
    if (!listener.searchFurther()) break;
    outcome.found = false;
    outcome.continued = true;
  }
  return outcome;
}

}  // namespace

ScanOutcome runScan(IInputFile& file, const ScanRequest& request, std::string& lastStepLine,
                    ScanListener& listener, std::size_t bufferSize, std::size_t longestLine) {
  try {
    return scanLines(file, request, lastStepLine, listener, bufferSize, longestLine);
  } catch (const LongLineAt& at) {
    const auto again = listener.reopen();
    throw LineTooLongError(lineNumberAt(*again, at.offset));
  }
}

}  // namespace orvanta
