#include "search/ScanBuffer.h"

#include <algorithm>
#include <cstring>

#include "records/Encoding.h"
#include "records/NormalizeRecord.h"
#include "records/TextFile.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace orvanta {

std::size_t countLineFeeds(const char* begin, const char* end) {
  std::size_t count = 0;
  const char* p = begin;
#if defined(__SSE2__)
  // Every byte of the file passes here once, so 64 bytes a round: four byte
  // counters take up to 255 rounds each before they are summed.
  const __m128i lf = _mm_set1_epi8('\n');
  const auto load = [](const char* at) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at)); };
  while (end - p >= 64) {
    const std::size_t rounds = std::min<std::size_t>(static_cast<std::size_t>(end - p) / 64, 255);
    __m128i c0 = _mm_setzero_si128();
    __m128i c1 = c0;
    __m128i c2 = c0;
    __m128i c3 = c0;
    for (std::size_t k = 0; k < rounds; ++k, p += 64) {
      c0 = _mm_sub_epi8(c0, _mm_cmpeq_epi8(load(p), lf));
      c1 = _mm_sub_epi8(c1, _mm_cmpeq_epi8(load(p + 16), lf));
      c2 = _mm_sub_epi8(c2, _mm_cmpeq_epi8(load(p + 32), lf));
      c3 = _mm_sub_epi8(c3, _mm_cmpeq_epi8(load(p + 48), lf));
    }
    const __m128i zero = _mm_setzero_si128();
    const __m128i sums = _mm_add_epi64(_mm_add_epi64(_mm_sad_epu8(c0, zero), _mm_sad_epu8(c1, zero)),
                                       _mm_add_epi64(_mm_sad_epu8(c2, zero), _mm_sad_epu8(c3, zero)));
    count += static_cast<std::size_t>(_mm_cvtsi128_si32(sums)) +
             static_cast<std::size_t>(_mm_cvtsi128_si32(_mm_unpackhi_epi64(sums, sums)));
  }
#endif
  return count + static_cast<std::size_t>(std::count(p, end, '\n'));
}

std::uint64_t lineNumberAt(IInputFile& file, std::uint64_t offset) {
  std::vector<char> bytes(std::size_t{1} << 17);
  std::uint64_t lines = 0;
  while (offset > 0) {
    const std::size_t n =
        file.read(bytes.data(), static_cast<std::size_t>(std::min<std::uint64_t>(offset, bytes.size())));
    if (n == 0) break;
    lines += countLineFeeds(bytes.data(), bytes.data() + n);
    offset -= n;
  }
  return lines + 1;
}

ScanBuffer::ScanBuffer(IInputFile& file, std::size_t size, std::size_t longestLine, std::size_t overlap)
    : window_(file, std::max({size, std::size_t{64}, 2 * overlap + 2})),
      longestLine_(longestLine),
      initialSize_(window_.room()),
      overlap_(std::max<std::size_t>(overlap, 1)) {}

// A byte-order mark at the start belongs to no line.
void ScanBuffer::start() {
  started_ = true;
  while (window_.end() < kUtf8Bom.size() && fill()) {
  }
  if (std::string_view(window_.data(), window_.end()).starts_with(kUtf8Bom)) pos_ = kUtf8Bom.size();
  findComplete();
}

// The line [start, stop); a CR before its LF is part of the line end, but a
// CR that ends the file is part of the last line.
std::string_view ScanBuffer::withoutCr(std::size_t start, std::size_t stop) const {
  const char* bytes = window_.data();
  if (stop < window_.end() && bytes[stop] == '\n' && stop > start && bytes[stop - 1] == '\r') --stop;
  return {bytes + start, stop - start};
}

void ScanBuffer::setPrevious(std::size_t start, std::size_t stop) {
  previousStart_ = start;
  previousLength_ = withoutCr(start, stop).size();
  hasPrevious_ = true;
  previousHeld_ = true;
  previousComment_ = false;
}

// Start of the line that holds the byte at offset at (not before pos_).
std::size_t ScanBuffer::lineStartBefore(std::size_t at) const {
  if (at <= pos_) return pos_;
  const void* nl = ::memrchr(window_.data() + pos_, '\n', at - pos_);
  return nl != nullptr ? static_cast<std::size_t>(static_cast<const char*>(nl) - window_.data()) + 1 : pos_;
}

// complete_ := end of the last whole line in the buffer (everything at the
// end of the file).
void ScanBuffer::findComplete() {
  const std::size_t end = window_.end();
  if (window_.atEndOfFile()) {
    complete_ = end;
    return;
  }
  const void* nl = end > pos_ ? ::memrchr(window_.data() + pos_, '\n', end - pos_) : nullptr;
  complete_ =
      nl != nullptr ? static_cast<std::size_t>(static_cast<const char*>(nl) - window_.data()) + 1 : pos_;
}

// Reads on until at least one more whole line is there, the end of the file,
// or a line that has grown longer than may be held (CR included).
ScanBuffer::More ScanBuffer::more() {
  while (!window_.atEndOfFile()) {
    if (window_.end() - pos_ > longestLine_ + 1) return More::TooLong;
    fill();
    findComplete();
    if (complete_ > pos_) return More::Line;
  }
  findComplete();
  return complete_ > pos_ ? More::Line : More::End;
}

// A previous line too long to hold is not kept for a step back: only whether
// it is a comment line, which a step back shows as empty, is remembered.
void ScanBuffer::dropLongPrevious() {
  if (!hasPrevious_ || !previousHeld_ || previousLength_ <= longestLine_) return;
  const std::string_view previous(window_.data() + previousStart_, previousLength_);
  previousComment_ = isCommentLine(previous);
  previousHeld_ = false;
  previousOffset_ = offsetOf(previousStart_);
}

// Moves the bytes still needed (the previous line and what follows it) to
// the front and reads after them.
bool ScanBuffer::fill() {
  if (window_.atEndOfFile()) return false;
  dropLongPrevious();
  const bool keepPrevious = hasPrevious_ && previousHeld_;
  const std::size_t keep = keepPrevious ? std::min(previousStart_, pos_) : pos_;
  if (keep > 0) {
    window_.drop(keep);
    dropped_ += keep;
    pos_ -= keep;
    complete_ = complete_ > keep ? complete_ - keep : 0;
    if (keepPrevious) previousStart_ -= keep;
  }
  if (window_.full()) {
    // Room for the previous line, a whole line of the longest kind held and a
    // read; a line found longer than that is read through in what is there.
    // Doubling goes straight to that room when the next doubling would pass
    // it, so that no buffer of nearly that size is copied once more.
    const std::size_t held = keepPrevious ? pos_ : 0;
    const std::size_t room = held + longestLine_ + 2 + initialSize_;
    std::size_t size = window_.room() * 2;
    if (size * 2 > room) size = room;
    window_.grow(std::max(window_.end() + 1, size));
  }
  return window_.readMore();
}

// The line at pos_ is longer than may be held: reads through to its end,
// keeping only the last bytes a candidate cut by a read may start in. True
// when the line holds a candidate and is no comment line.
bool ScanBuffer::skipLongLine(const CandidateFinder& finder) {
  previousOffset_ = offsetOf(pos_);
  hasPrevious_ = false;  // a line too long to hold never needs the one before it
  bool candidate = false;
  bool comment = false;
  std::size_t searched = pos_;  // bytes before this were looked at for a line feed
  for (;;) {
    const char* base = window_.data();
    const std::size_t end = window_.end();
    const void* nl = std::memchr(base + searched, '\n', end - searched);
    const std::size_t stop =
        nl != nullptr ? static_cast<std::size_t>(static_cast<const char*>(nl) - base) : end;
    const std::size_t from = std::max(pos_, searched > overlap_ ? searched - overlap_ : 0);
    if (!candidate) candidate = finder.find(base + from, base + stop) != base + stop;
    if (!comment) comment = ::memmem(base + from, stop - from, "//", 2) != nullptr;
    if (nl != nullptr || window_.atEndOfFile()) {
      pos_ = nl != nullptr ? stop + 1 : stop;
      hasPrevious_ = true;
      previousHeld_ = false;
      previousComment_ = comment;
      findComplete();
      return candidate && !comment;
    }
    const std::size_t keep = std::max(pos_, end - std::min(end, overlap_));
    window_.drop(keep);
    dropped_ += keep;
    pos_ = complete_ = 0;
    searched = window_.end();
    window_.readMore();
  }
}

// NOLINTNEXTLINE(readability-function-cognitive-complexity): hot search loop, kept whole for speed
bool ScanBuffer::nextCandidate(const CandidateFinder& finder, Candidate& candidate) {
  if (!started_) start();
  for (;;) {
    if (pos_ >= complete_) {
      const More state = more();
      if (state == More::End) return false;
      if (state == More::TooLong && skipLongLine(finder)) throw LongLineAt(previousOffset_);
      continue;
    }
    const char* base = window_.data();
    const char* hit = finder.find(base + pos_, base + complete_);
    if (hit == base + complete_) {
      // No candidate among these lines: the last of them becomes the
      // previous line of whatever follows.
      const std::size_t lastEnd = base[complete_ - 1] == '\n' ? complete_ - 1 : complete_;
      setPrevious(lineStartBefore(lastEnd), lastEnd);
      pos_ = complete_;
      continue;
    }
    const auto at = static_cast<std::size_t>(hit - base);
    const std::size_t start = lineStartBefore(at);
    if (start != pos_) setPrevious(lineStartBefore(start - 1), start - 1);
    const void* nl = std::memchr(base + at, '\n', complete_ - at);
    const std::size_t stop =
        nl != nullptr ? static_cast<std::size_t>(static_cast<const char*>(nl) - base) : complete_;
    candidate.offset = offsetOf(start);
    candidate.previousOffset = hasPrevious_ && previousHeld_ ? offsetOf(previousStart_) : previousOffset_;
    candidate.hasPrevious = hasPrevious_;
    candidate.previousHeld = previousHeld_;
    candidate.previousComment = previousComment_;
    candidate.previous = hasPrevious_ && previousHeld_
                             ? std::string_view(base + previousStart_, previousLength_)
                             : std::string_view();
    candidate.line = withoutCr(start, stop);
    setPrevious(start, stop);
    pos_ = nl != nullptr ? stop + 1 : stop;
    if (candidate.line.size() > longestLine_ && !isCommentLine(candidate.line)) {
      throw LongLineAt(candidate.offset);
    }
    return true;
  }
}

bool ScanBuffer::nextLine(std::string_view& line) {
  if (!started_) start();
  while (pos_ >= complete_) {
    const More state = more();
    if (state == More::End) return false;
    if (state == More::TooLong) throw LongLineAt(offsetOf(pos_));
  }
  const char* base = window_.data();
  const void* nl = std::memchr(base + pos_, '\n', complete_ - pos_);
  const std::size_t stop =
      nl != nullptr ? static_cast<std::size_t>(static_cast<const char*>(nl) - base) : complete_;
  line = withoutCr(pos_, stop);
  if (line.size() > longestLine_) throw LongLineAt(offsetOf(pos_));
  setPrevious(pos_, stop);
  pos_ = nl != nullptr ? stop + 1 : stop;
  return true;
}

bool ScanBuffer::nextLineOrSkip(std::string_view& line, bool& tooLong) {
  tooLong = false;
  try {
    return nextLine(line);
  } catch (const LongLineAt&) {
    // nextLine stops at the start of the long line: read through it.
    class NoCandidate final : public CandidateFinder {
      const char* find(const char* /*begin*/, const char* end) const override { return end; }
    };
    skipLongLine(NoCandidate());
    line = {};
    tooLong = true;
    return true;
  }
}

}  // namespace orvanta
