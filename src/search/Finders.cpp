#include "search/Finders.h"

#include <algorithm>
#include <cstring>
#include <memory>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace orvanta {
namespace {

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
  static constexpr std::string_view kDotlessI = "\xC4\xB1";
  const char* hit = anchor_.find(begin, end);
  // A dotless i that starts before the anchor's hit comes first.
  const char* stop = hit == end ? end : hit + 1;
  const void* dotless =
      ::memmem(begin, static_cast<std::size_t>(stop - begin), kDotlessI.data(), kDotlessI.size());
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

}  // namespace orvanta
