#include "search/SearchScan.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace orvanta {
namespace {

bool contains(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}

// Length of a UTF-8 sequence as its lead byte announces it; 0 for a byte that
// cannot start one.
std::size_t announcedLength(unsigned char lead) {
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  return 0;
}

// Bytes that are everywhere in databases (call-sign prefix, digits,
// separators, dates) make poor anchors for the wide test.
int commonness(unsigned char upper) {
  if (upper == 'Q' || upper == ',' || upper == ' ' || upper == '/' || upper == '.' || upper == '-' ||
      upper == ':' || (upper >= '0' && upper <= '9')) {
    return 2;
  }
  if (upper != 0 && std::strchr("EATOINSRHL", upper) != nullptr) return 1;
  return 0;
}

}  // namespace

// ---- EncodingTracker ----

// Checks bytes one sequence at a time from i until at least stop; false at
// the first byte that is not valid UTF-8.
bool EncodingTracker::checkBytes(std::string_view bytes, std::size_t& i, std::size_t stop) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const std::size_t n = bytes.size();
  while (i < stop) {
    const unsigned char b = p[i];
    if (b < 0x80) {
      ++i;
      continue;
    }
    if (b >= 0xC2 && b <= 0xDF && i + 1 < n && (p[i + 1] & 0xC0) == 0x80) {
      nonAscii_ = true;
      i += 2;
      continue;
    }
    const std::size_t len = announcedLength(b);
    if (len == 0 || i + len > n || !isValidUtf8(bytes.substr(i, len))) return false;
    nonAscii_ = true;
    i += len;
  }
  return true;
}

void EncodingTracker::feed(std::string_view bytes) {
  if (settled()) return;
  std::size_t i = 0;
#if defined(__SSE2__)
  // Sixteen bytes at a time as long as they are ASCII or two-byte sequences
  // (the accented Latin letters of remarks and names); anything else goes
  // through checkBytes for the rest of that block.
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const std::size_t n = bytes.size();
  const __m128i continuationEnd = _mm_set1_epi8(static_cast<char>(0xC0));
  const __m128i leadBefore = _mm_set1_epi8(static_cast<char>(0xC1));
  const __m128i leadEnd = _mm_set1_epi8(static_cast<char>(0xE0));
  unsigned carry = 0;  // the last block ended with the lead byte of a pair
  while (i + 16 <= n) {
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
    const auto high = static_cast<unsigned>(_mm_movemask_epi8(block));
    if (high == 0 && carry == 0) {
      i += 16;
      continue;
    }
    // As signed bytes, continuations 80..BF lie below C0 and two-byte leads
    // C2..DF between C1 and E0.
    const auto continuation =
        static_cast<unsigned>(_mm_movemask_epi8(_mm_cmplt_epi8(block, continuationEnd)));
    const auto lead = static_cast<unsigned>(
        _mm_movemask_epi8(_mm_and_si128(_mm_cmpgt_epi8(block, leadBefore), _mm_cmplt_epi8(block, leadEnd))));
    if ((high & ~(continuation | lead)) == 0 && continuation == (((lead << 1) | carry) & 0xFFFFu)) {
      if (high != 0) nonAscii_ = true;
      carry = (lead >> 15) & 1u;
      i += 16;
      continue;
    }
    if (carry != 0) {
      --i;  // start again at the lead byte the last block ended with
      carry = 0;
    }
    if (!checkBytes(bytes, i, i + 16)) {
      invalid_ = true;
      return;
    }
  }
  if (carry != 0) --i;
#endif
  if (!checkBytes(bytes, i, bytes.size())) invalid_ = true;
}

// ---- SearchNeedle ----

SearchNeedle::SearchNeedle(std::string_view upperUtf8) : utf8_(upperUtf8) {
  windows1252_ = fromUtf8(utf8_, Encoding::Windows1252);
  // fromUtf8 writes "?" for what Windows-1252 cannot hold; such a text can
  // never stand in a Windows-1252 file.
  representable1252_ = toUtf8(windows1252_, Encoding::Windows1252) == utf8_;
  // The longest run of ASCII characters stands in both encodings as it is.
  std::size_t start = 0;
  while (start < utf8_.size()) {
    while (start < utf8_.size() && static_cast<unsigned char>(utf8_[start]) >= 0x80) ++start;
    std::size_t stop = start;
    while (stop < utf8_.size() && static_cast<unsigned char>(utf8_[stop]) < 0x80) ++stop;
    if (stop - start > anchor_.size()) anchor_ = utf8_.substr(start, stop - start);
    start = stop;
  }
}

// ---- DotlessIFinder ----

const char* DotlessIFinder::find(const char* begin, const char* end) const {
  static constexpr char kDotlessI[] = "\xC4\xB1";
  const char* hit = anchor_.find(begin, end);
  // A dotless i that starts before the anchor's hit comes first.
  const char* stop = hit == end ? end : hit + 1;
  const void* dotless = ::memmem(begin, static_cast<std::size_t>(stop - begin), kDotlessI, 2);
  return dotless != nullptr && static_cast<const char*>(dotless) < hit ? static_cast<const char*>(dotless)
                                                                       : hit;
}

// ---- AnchorFinder ----

AnchorFinder::AnchorFinder(std::string_view upperAscii) {
  anchor_.reserve(upperAscii.size());
  for (const char ch : upperAscii) {
    const auto b = static_cast<unsigned char>(ch);
    const bool letter = (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z');
    anchor_.push_back(letter ? static_cast<char>(b | 0x20) : ch);
    fold_.push_back(letter ? 0x20 : 0x00);
  }
  if (anchor_.empty()) return;
  // The wide test compares two positions; take the two least common bytes,
  // preferring positions far apart.
  std::size_t best = 0;
  for (std::size_t i = 1; i < anchor_.size(); ++i) {
    const auto upper = static_cast<unsigned char>(upperAscii[i]);
    if (commonness(upper) < commonness(static_cast<unsigned char>(upperAscii[best]))) best = i;
  }
  std::size_t other = best;
  for (std::size_t i = 0; i < anchor_.size(); ++i) {
    if (i == best) continue;
    const auto upper = static_cast<unsigned char>(upperAscii[i]);
    if (other == best) {
      other = i;
      continue;
    }
    const int ci = commonness(upper);
    const int co = commonness(static_cast<unsigned char>(upperAscii[other]));
    const auto dist = [best](std::size_t k) { return k > best ? k - best : best - k; };
    if (ci < co || (ci == co && dist(i) > dist(other))) other = i;
  }
  first_ = std::min(best, other);
  second_ = std::max(best, other);
}

bool AnchorFinder::matchesAt(const char* p) const {
  for (std::size_t k = 0; k < anchor_.size(); ++k) {
    if ((static_cast<unsigned char>(p[k]) | fold_[k]) != static_cast<unsigned char>(anchor_[k])) return false;
  }
  return true;
}

const char* AnchorFinder::find(const char* begin, const char* end) const {
  const std::size_t len = anchor_.size();
  if (len == 0) return begin;
  if (static_cast<std::size_t>(end - begin) < len) return end;
  const char* p = begin;
#if defined(__SSE2__)
  const __m128i firstByte = _mm_set1_epi8(anchor_[first_]);
  const __m128i firstFold = _mm_set1_epi8(static_cast<char>(fold_[first_]));
  const __m128i secondByte = _mm_set1_epi8(anchor_[second_]);
  const __m128i secondFold = _mm_set1_epi8(static_cast<char>(fold_[second_]));
  // Every anchor start p + 0..15 tested in one round must leave the whole
  // anchor inside the bytes.
  while (static_cast<std::size_t>(end - p) >= len + 15) {
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + first_));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + second_));
    const __m128i hits = _mm_and_si128(_mm_cmpeq_epi8(_mm_or_si128(a, firstFold), firstByte),
                                       _mm_cmpeq_epi8(_mm_or_si128(b, secondFold), secondByte));
    auto mask = static_cast<unsigned>(_mm_movemask_epi8(hits));
    while (mask != 0) {
      const auto bit = static_cast<std::size_t>(__builtin_ctz(mask));
      if (matchesAt(p + bit)) return p + bit;
      mask &= mask - 1;
    }
    p += 16;
  }
#endif
  for (; static_cast<std::size_t>(end - p) >= len; ++p) {
    if (matchesAt(p)) return p;
  }
  return end;
}

// ---- LetterFinder ----

LetterFinder::LetterFinder(std::string_view upperUtf8Character) {
  const std::string target(upperUtf8Character);
  const auto add = [this](std::string form) {
    if (std::find(forms_.begin(), forms_.end(), form) != forms_.end()) return;
    if (lastBytes_.find(form.back()) == std::string::npos) lastBytes_.push_back(form.back());
    forms_.push_back(std::move(form));
  };
  add(target);
  // Windows-1252: every byte whose upper case is the character.
  const std::string narrow = fromUtf8(target, Encoding::Windows1252);
  if (toUtf8(narrow, Encoding::Windows1252) == target) {
    for (int b = 0x80; b <= 0xFF; ++b) {
      const std::string byte(1, static_cast<char>(b));
      if (upperCaseWindows1252(byte) == narrow) add(byte);
    }
  }
  // UTF-8: upper-casing changes only two-byte characters.
  for (int lead = 0xC2; lead <= 0xDF; ++lead) {
    for (int next = 0x80; next <= 0xBF; ++next) {
      const std::string pair{static_cast<char>(lead), static_cast<char>(next)};
      if (upperCaseUtf8(pair) == target) add(pair);
    }
  }
}

const char* LetterFinder::formEndingAt(const char* last, const char* begin) const {
  for (const auto& form : forms_) {
    if (form.back() != *last || static_cast<std::size_t>(last - begin) + 1 < form.size()) continue;
    const char* start = last + 1 - form.size();
    if (std::memcmp(start, form.data(), form.size()) == 0) return start;
  }
  return nullptr;
}

const char* LetterFinder::find(const char* begin, const char* end) const {
  const char* p = begin;
#if defined(__SSE2__)
  while (end - p >= 16) {
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    __m128i hits = _mm_setzero_si128();
    for (const char last : lastBytes_) hits = _mm_or_si128(hits, _mm_cmpeq_epi8(block, _mm_set1_epi8(last)));
    auto mask = static_cast<unsigned>(_mm_movemask_epi8(hits));
    while (mask != 0) {
      const auto bit = static_cast<std::size_t>(__builtin_ctz(mask));
      if (const char* start = formEndingAt(p + bit, begin)) return start;
      mask &= mask - 1;
    }
    p += 16;
  }
#endif
  for (; p < end; ++p) {
    if (lastBytes_.find(*p) == std::string::npos) continue;
    if (const char* start = formEndingAt(p, begin)) return start;
  }
  return end;
}

// ---- The buffer the scan reads through ----

namespace {

// Holds a window of the file: the previous line, the lines not yet looked
// at, and the part of a line that the last read cut off. The window grows
// only for a line longer than the buffer.
class ScanBuffer {
 public:
  ScanBuffer(IInputFile& file, std::size_t size, EncodingTracker& tracker)
      : file_(file), tracker_(tracker), buffer_(std::max<std::size_t>(size, 64)) {}

  // Reads line 1, which the scan never tests, and a byte-order mark before it.
  void skipFirstLine() {
    while (end_ < kUtf8Bom.size() && fill()) {
    }
    if (std::string_view(buffer_.data(), end_).starts_with(kUtf8Bom)) {
      tracker_.markByteOrderMark();
      pos_ = validated_ = kUtf8Bom.size();
    }
    findComplete();
    std::string_view first;
    hasPrevious_ = false;
    (void)nextLine(first);
    hasPrevious_ = false;  // line 1 is never anyone's previous line
  }

  // The next line that contains the anchor (every line when the anchor is
  // empty), and the line before it as stored; previous is empty with
  // hasPrevious false when the line before it is line 1. The views stay valid
  // until the next call.
  bool nextCandidate(const CandidateFinder& anchor, std::string_view& line, std::string_view& previous,
                     bool& hasPrevious) {
    for (;;) {
      if (pos_ >= complete_) {
        if (!more()) return false;
        continue;
      }
      const char* base = buffer_.data();
      const char* hit = anchor.find(base + pos_, base + complete_);
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
      previous = hasPrevious_ ? std::string_view(base + previousStart_, previousLength_) : std::string_view();
      hasPrevious = hasPrevious_;
      line = withoutCr(start, stop);
      setPrevious(start, stop);
      pos_ = nl != nullptr ? stop + 1 : stop;
      return true;
    }
  }

  // The next line as stored. The view stays valid until the next call.
  bool nextLine(std::string_view& line) {
    while (pos_ >= complete_) {
      if (!more()) return false;
    }
    const char* base = buffer_.data();
    const void* nl = std::memchr(base + pos_, '\n', complete_ - pos_);
    const std::size_t stop =
        nl != nullptr ? static_cast<std::size_t>(static_cast<const char*>(nl) - base) : complete_;
    line = withoutCr(pos_, stop);
    setPrevious(pos_, stop);
    pos_ = nl != nullptr ? stop + 1 : stop;
    return true;
  }

  // The file's encoding as decided by everything up to the end of the line
  // returned last.
  Encoding encoding() {
    validateTo(pos_);
    return tracker_.encoding();
  }

 private:
  // The line [start, stop); a CR before its LF is part of the line end, but a
  // CR that ends the file is part of the last line.
  std::string_view withoutCr(std::size_t start, std::size_t stop) const {
    if (stop < end_ && buffer_[stop] == '\n' && stop > start && buffer_[stop - 1] == '\r') --stop;
    return std::string_view(buffer_.data() + start, stop - start);
  }

  void setPrevious(std::size_t start, std::size_t stop) {
    const std::string_view line = withoutCr(start, stop);
    previousStart_ = start;
    previousLength_ = line.size();
    hasPrevious_ = true;
  }

  // Start of the line that holds the byte at offset at (not before pos_).
  std::size_t lineStartBefore(std::size_t at) const {
    if (at <= pos_) return pos_;
    const void* nl = ::memrchr(buffer_.data() + pos_, '\n', at - pos_);
    return nl != nullptr ? static_cast<std::size_t>(static_cast<const char*>(nl) - buffer_.data()) + 1 : pos_;
  }

  void validateTo(std::size_t offset) {
    if (offset <= validated_) return;
    tracker_.feed(std::string_view(buffer_.data() + validated_, offset - validated_));
    validated_ = offset;
  }

  // complete_ := end of the last whole line in the buffer (everything at the
  // end of the file).
  void findComplete() {
    if (eof_) {
      complete_ = end_;
      return;
    }
    const void* nl = end_ > pos_ ? ::memrchr(buffer_.data() + pos_, '\n', end_ - pos_) : nullptr;
    complete_ =
        nl != nullptr ? static_cast<std::size_t>(static_cast<const char*>(nl) - buffer_.data()) + 1 : pos_;
  }

  // Reads on until at least one more whole line is there; false at the end.
  bool more() {
    while (!eof_) {
      fill();
      findComplete();
      if (complete_ > pos_) return true;
    }
    findComplete();
    return complete_ > pos_;
  }

  // Moves the bytes still needed (the previous line and what follows it) to
  // the front and reads after them.
  bool fill() {
    if (eof_) return false;
    validateTo(pos_);
    const std::size_t keep = hasPrevious_ ? std::min(previousStart_, pos_) : pos_;
    if (keep > 0) {
      std::memmove(buffer_.data(), buffer_.data() + keep, end_ - keep);
      end_ -= keep;
      pos_ -= keep;
      validated_ -= keep;
      complete_ = complete_ > keep ? complete_ - keep : 0;
      if (hasPrevious_) previousStart_ -= keep;
    }
    if (end_ == buffer_.size()) buffer_.resize(buffer_.size() * 2);
    const std::size_t n = file_.read(buffer_.data() + end_, buffer_.size() - end_);
    if (n == 0) {
      eof_ = true;
      return false;
    }
    end_ += n;
    return true;
  }

  IInputFile& file_;
  EncodingTracker& tracker_;
  std::vector<char> buffer_;
  std::size_t pos_ = 0;        // start of the next line not looked at
  std::size_t complete_ = 0;   // end of the whole lines in the buffer
  std::size_t end_ = 0;        // end of the bytes read
  std::size_t validated_ = 0;  // bytes before this went through the tracker
  std::size_t previousStart_ = 0;
  std::size_t previousLength_ = 0;
  bool hasPrevious_ = false;
  bool eof_ = false;
};

}  // namespace

// ---- The scan ----

ScanOutcome runScan(IInputFile& file, const ScanRequest& request, std::string& lastStepLine,
                    ScanListener& listener, std::size_t bufferSize) {
  const SearchNeedle primary(request.primary);
  const SearchNeedle secondary(request.secondary);
  // Both texts must be in a matching line, so the longer anchor of the two
  // lets the fewest lines through.
  std::string_view asciiAnchor = primary.asciiAnchor().size() >= secondary.asciiAnchor().size()
                                     ? primary.asciiAnchor()
                                     : secondary.asciiAnchor();
  // The dotless i upper-cases to "I", so a line can hold an "I" of the text
  // without holding the byte. The longest piece of the anchor without "I"
  // is found as it stands; only an anchor of nothing but "I" needs the
  // slower look for the dotless i as well.
  std::string_view withoutI;
  for (std::size_t start = 0; start <= asciiAnchor.size();) {
    const std::size_t stop = std::min(asciiAnchor.find('I', start), asciiAnchor.size());
    if (stop - start > withoutI.size()) withoutI = asciiAnchor.substr(start, stop - start);
    start = stop + 1;
  }
  const bool withDotless = withoutI.empty() && !asciiAnchor.empty();
  if (!withDotless) asciiAnchor = withoutI;
  const AnchorFinder ascii(asciiAnchor);
  // A text without ASCII: its first character in any case and encoding.
  std::unique_ptr<LetterFinder> letter;
  if (ascii.empty() && !request.primary.empty()) {
    const std::string_view text = request.primary;
    std::size_t length = 1;
    const auto lead = static_cast<unsigned char>(text[0]);
    if (lead >= 0xC0) length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
    letter = std::make_unique<LetterFinder>(text.substr(0, std::min(length, text.size())));
  }
  const DotlessIFinder dotless(ascii);
  const CandidateFinder& anchor = letter        ? static_cast<const CandidateFinder&>(*letter)
                                  : withDotless ? static_cast<const CandidateFinder&>(dotless)
                                                : ascii;
  EncodingTracker tracker;
  ScanBuffer buffer(file, bufferSize, tracker);
  buffer.skipFirstLine();

  ScanOutcome outcome;
  std::string upper;
  std::string current;
  std::string_view line;
  std::string_view previous;
  bool hasPrevious = false;
  while (buffer.nextCandidate(anchor, line, previous, hasPrevious)) {
    if (contains(line, "//")) continue;  // comment lines never match
    Encoding encoding = buffer.encoding();
    const std::string* a = primary.inEncoding(encoding);
    const std::string* b = secondary.inEncoding(encoding);
    if (a == nullptr || b == nullptr) continue;
    upperCaseInto(line, encoding, upper);
    if (!contains(upper, *a) || !contains(upper, *b)) continue;
    outcome.found = true;

    if (request.direction > 0) {
      // The line after the hit as stored; at the end of the file the hit
      // itself stays.
      current = upper;
      std::string_view next;
      if (buffer.nextLine(next)) current.assign(next);
      if (current == lastStepLine && buffer.nextLine(next)) current.assign(next);
      lastStepLine = current;
      encoding = buffer.encoding();
    } else if (request.direction < 0) {
      // The line before the hit as the scan holds it: upper-cased, or empty
      // for line 1 and for a comment line.
      current = hasPrevious && !contains(previous, "//") ? upperCase(previous, encoding) : std::string();
    } else {
      current.swap(upper);
    }

    if (contains(current, "ZZZZZZ")) {
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

}  // namespace orvanta
