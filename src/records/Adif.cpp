#include "records/Adif.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <system_error>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "records/AdifParts.h"
#include "records/Text.h"
#include "records/TextFile.h"

namespace orvanta {
namespace {

// Tag names, upper-cased and packed eight bytes to a word, so that finding
// the field of a name takes two comparisons per candidate of its length:
// an ADIF file of a million contacts has some twenty million tags.
struct PackedName {
  std::uint64_t low = 0;
  std::uint64_t high = 0;
  friend constexpr bool operator==(const PackedName&, const PackedName&) = default;
};

constexpr std::size_t kLongestKnownName = 12;

constexpr PackedName pack(std::string_view upperName) {
  PackedName packed;
  for (std::size_t i = 0; i < upperName.size() && i < 16; ++i) {
    const auto byte = static_cast<std::uint64_t>(static_cast<unsigned char>(upperName[i]));
    (i < 8 ? packed.low : packed.high) |= byte << (8 * (i % 8));
  }
  return packed;
}

struct KnownField {
  std::size_t length;
  PackedName name;
  AdifField field;
};

constexpr KnownField known(std::string_view name, AdifField field) {
  return {name.size(), pack(name), field};
}

constexpr auto kKnownFields = std::to_array<KnownField>({
    known("QSO_DATE", AdifField::QsoDate),
    known("TIME_ON", AdifField::TimeOn),
    known("QSO_DATE_OFF", AdifField::QsoDateOff),
    known("TIME_OFF", AdifField::TimeOff),
    known("CALL", AdifField::Call),
    known("GRIDSQUARE", AdifField::Gridsquare),
    known("FREQ", AdifField::Freq),
    known("MODE", AdifField::Mode),
    known("SUBMODE", AdifField::Submode),
    known("RST_SENT", AdifField::RstSent),
    known("RST_RCVD", AdifField::RstRcvd),
    known("TX_PWR", AdifField::TxPwr),
    known("COMMENT", AdifField::Comment),
    known("NAME", AdifField::Name),
    known("PROP_MODE", AdifField::PropMode),
    known("SAT_NAME", AdifField::SatName),
    known("SAT_MODE", AdifField::SatMode),
    known("FREQ_RX", AdifField::FreqRx),
    known("BAND", AdifField::Band),
});
constexpr PackedName kEndOfRecord = pack("EOR");
constexpr PackedName kEndOfHeader = pack("EOH");

// Per byte: its upper case when it may stand in a tag name, 0 otherwise.
struct NameTable {
  std::array<unsigned char, 256> upper{};
  constexpr NameTable() {
    for (int c = 'A'; c <= 'Z'; ++c) upper[static_cast<std::size_t>(c)] = static_cast<unsigned char>(c);
    for (int c = 'a'; c <= 'z'; ++c) upper[static_cast<std::size_t>(c)] = static_cast<unsigned char>(c - 32);
    for (int c = '0'; c <= '9'; ++c) upper[static_cast<std::size_t>(c)] = static_cast<unsigned char>(c);
    upper['_'] = '_';
  }
};
constexpr NameTable kNameChars;

// A tag name longer than this is taken for text: real names are short, and
// the reader must not look far ahead for the end of something that is none.
constexpr std::size_t kMaxTagName = 64;
constexpr std::size_t kMaxTagBytes = kMaxTagName + 32;
// How far blanks and line ends after a value are followed to the next tag.
constexpr std::size_t kMaxGap = 4096;

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

int knownField(std::size_t length, const PackedName& name) {
  if (length > kLongestKnownName) return -1;
  for (const auto& k : kKnownFields) {
    if (k.length == length && k.name == name) return static_cast<int>(k.field);
  }
  return -1;
}

// The packed upper case of a tag name of name characters only. Reads
// sixteen bytes at once where the buffer has them; no name character has
// its high bit set, so the letters are upper-cased eight at a time.
PackedName packName(const char* name, std::size_t length, const char* end) {
  if (length > 16) return {};
  if (end - name < 16) {
    PackedName packed;
    for (std::size_t i = 0; i < length; ++i) {
      const std::uint64_t upper = kNameChars.upper[static_cast<unsigned char>(name[i])];
      (i < 8 ? packed.low : packed.high) |= upper << (8 * (i % 8));
    }
    return packed;
  }
  std::array<std::uint64_t, 2> words{};
  std::memcpy(words.data(), name, sizeof words);
  for (std::size_t w = 0; w < 2; ++w) {
    const std::size_t bytes = length > 8 * w ? std::min<std::size_t>(length - 8 * w, 8) : 0;
    const std::uint64_t keep = bytes == 8 ? ~std::uint64_t{0} : (std::uint64_t{1} << (8 * bytes)) - 1;
    const std::uint64_t word = words[w] & keep;
    // From 'a' (0x61) on a byte gains its high bit by adding 0x1F.
    words[w] = word - (((word + 0x1F1F1F1F1F1F1F1FULL) & 0x8080808080808080ULL & keep) >> 2);
  }
  return PackedName{words[0], words[1]};
}

// How many of the (up to) sixteen bytes at p are name characters, looked at
// in one go: the byte-by-byte loop over names of every length mispredicts.
std::size_t nameCharsAt(const char* p, const char* end) {
#if defined(__SSE2__)
  if (end - p >= 16) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    // Signed compares: bytes from 0x80 on are negative and in no range.
    const auto within = [&v](char low, char high) {
      return _mm_and_si128(_mm_cmpgt_epi8(v, _mm_set1_epi8(static_cast<char>(low - 1))),
                           _mm_cmplt_epi8(v, _mm_set1_epi8(static_cast<char>(high + 1))));
    };
    const __m128i name = _mm_or_si128(_mm_or_si128(within('A', 'Z'), within('a', 'z')),
                                      _mm_or_si128(within('0', '9'), _mm_cmpeq_epi8(v, _mm_set1_epi8('_'))));
    const auto mask = static_cast<unsigned>(_mm_movemask_epi8(name));
    return static_cast<std::size_t>(__builtin_ctz(~mask));
  }
#endif
  (void)p;
  (void)end;
  return 0;
}

// True when the bytes hold a comma or a line end. Eight at a time: a byte
// equal to the one looked for becomes zero under XOR, which the classic
// zero-byte test finds.
bool hasSpecial(std::string_view value) {
  constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
  constexpr std::uint64_t kHigh = 0x8080808080808080ULL;
  const auto zeroByte = [](std::uint64_t w) { return (w - kOnes) & ~w & kHigh; };
  std::size_t i = 0;
  for (; i + 8 <= value.size(); i += 8) {
    std::uint64_t w;
    std::memcpy(&w, value.data() + i, 8);
    if ((zeroByte(w ^ (kOnes * ',')) | zeroByte(w ^ (kOnes * '\r')) | zeroByte(w ^ (kOnes * '\n'))) != 0U)
      return true;
  }
  for (; i < value.size(); ++i) {
    if (value[i] == ',' || value[i] == '\r' || value[i] == '\n') return true;
  }
  return false;
}

// Offset of the first byte from `from` on that is not ASCII, or end.
std::size_t firstNonAscii(const char* base, std::size_t from, std::size_t end) {
  std::size_t i = from;
#if defined(__SSE2__)
  for (; i + 16 <= end; i += 16) {
    const auto mask =
        static_cast<unsigned>(_mm_movemask_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(base + i))));
    if (mask != 0) return i + static_cast<std::size_t>(__builtin_ctz(mask));
  }
#endif
  while (i < end && static_cast<unsigned char>(base[i]) < 0x80) ++i;
  return i;
}

// Bytes of the UTF-8 character at p, or 1 for a byte that starts none.
std::size_t characterBytes(const char* p, std::size_t available) {
  const auto lead = static_cast<unsigned char>(*p);
  if (lead < 0xC2) return 1;
  // Accented Latin letters, the most common by far: two bytes, always valid.
  if (lead <= 0xDF) return available >= 2 && (static_cast<unsigned char>(p[1]) & 0xC0) == 0x80 ? 2 : 1;
  const std::size_t len = lead <= 0xEF ? 3 : lead <= 0xF4 ? 4 : 1;
  if (len == 1 || len > available || !isValidUtf8(std::string_view(p, len))) return 1;
  return len;
}

// The end of the name characters from p on.
[[gnu::always_inline]] inline const char* skipNameChars(const char* p, const char* end) {
  while (p < end && kNameChars.upper[static_cast<unsigned char>(*p)] != 0) ++p;
  return p;
}

// Reads the length written at p into value: the end of its digits, or null
// when there are none or too many to be a length.
[[gnu::always_inline]] inline const char* lengthAt(const char* p, const char* end, std::size_t& value) {
  int digits = 0;
  for (; p < end && isDigit(*p); ++p, ++digits) {
    if (digits == 18) return nullptr;
    value = value * 10 + static_cast<std::size_t>(*p - '0');
  }
  return digits == 0 ? nullptr : p;
}

bool allDigits(std::string_view text) { return std::all_of(text.begin(), text.end(), isDigit); }

// A value in a log line: a comma would split the field and a line end the
// line, so each becomes a blank (CR LF as one).
void appendValue(std::string_view value, std::string& out) {
  if (!hasSpecial(value)) {
    out.append(value);
    return;
  }
  while (!value.empty()) {
    const auto* const special =
        std::find_if(value.begin(), value.end(), [](char c) { return c == ',' || c == '\r' || c == '\n'; });
    const auto stop = static_cast<std::size_t>(special - value.begin());
    if (special == value.end()) {
      out.append(value);
      return;
    }
    out.append(value.substr(0, stop));
    out.push_back(' ');
    const bool crlf = value[stop] == '\r' && stop + 1 < value.size() && value[stop + 1] == '\n';
    value.remove_prefix(stop + (crlf ? 2 : 1));
  }
}

void appendDate(std::string_view date, std::string& out) {
  if (date.size() != 8 || !allDigits(date)) {
    appendValue(date, out);
    return;
  }
  out.append(date.substr(0, 4))
      .append(1, '-')
      .append(date.substr(4, 2))
      .append(1, '-')
      .append(date.substr(6));
}

void appendTime(std::string_view time, std::string& out) {
  if ((time.size() != 6 && time.size() != 4) || !allDigits(time)) {
    appendValue(time, out);
    return;
  }
  out.append(time.substr(0, 2)).append(1, ':').append(time.substr(2, 2)).append(1, ':');
  out.append(time.size() == 6 ? time.substr(4) : "00");
}

}  // namespace

bool isAdifPath(std::string_view path) {
  const auto endsWith = [&](std::string_view suffix) {
    return path.size() >= suffix.size() &&
           equalsIgnoringCase(path.substr(path.size() - suffix.size()), suffix);
  };
  return endsWith(".ADI") || endsWith(".ADIF");
}

void AdifRecord::clear() {
  for (std::size_t i = 0; i < kAdifFieldCount; ++i) {
    if (present[i]) values[i].clear();
  }
  present.fill(false);
}

void appendLogLine(const AdifRecord& r, std::string& out) {
  using F = AdifField;
  const auto given = [&](F field) { return r.has(field) && !r[field].empty(); };
  appendDate(r[F::QsoDate], out);
  out.push_back(',');
  appendTime(r[F::TimeOn], out);
  out.push_back(',');
  appendDate(given(F::QsoDateOff) ? r[F::QsoDateOff] : r[F::QsoDate], out);
  out.push_back(',');
  appendTime(given(F::TimeOff) ? r[F::TimeOff] : r[F::TimeOn], out);
  const std::string_view mode = r[F::Mode];
  const bool submode = (mode.empty() || equalsIgnoringCase(mode, "MFSK")) && given(F::Submode);
  for (const F field :
       {F::Call, F::Gridsquare, F::Freq, submode ? F::Submode : F::Mode, F::RstSent, F::RstRcvd, F::TxPwr,
        F::Comment, F::Name, F::PropMode, F::SatName, F::SatMode, F::FreqRx}) {
    out.push_back(',');
    appendValue(r[field], out);
  }
}

// ---- AdifReader ----

AdifReader::AdifReader(IInputFile& file, std::size_t bufferSize)
    : file_(file), buffer_(std::max<std::size_t>(bufferSize, kMaxTagBytes)) {}

bool AdifReader::fill() {
  if (eof_) return false;
  const std::size_t keep = std::min(pos_, walkStart_);
  dropped_ += keep;
  if (keep > 0) {
    std::memmove(buffer_.data(), buffer_.data() + keep, end_ - keep);
    end_ -= keep;
    pos_ -= keep;
    if (walkStart_ != kNone) walkStart_ -= keep;
  }
  textAt_ = kNone;  // a text may now run on into the bytes read
  nonAsciiAt_ = 0;
  if (end_ == buffer_.size()) buffer_.resize(buffer_.size() * 2);
  const std::size_t n = file_.read(buffer_.data() + end_, buffer_.size() - end_);
  if (n == 0) {
    eof_ = true;
    return false;
  }
  end_ += n;
  return true;
}

// At least `bytes` bytes from pos_ on in the buffer, unless the file ends
// first. Callers ask for a bounded amount, so the buffer stays bounded.
bool AdifReader::ensure(std::size_t bytes) {
  if (bytes > buffer_.size()) buffer_.resize(bytes);
  while (available() < bytes) {
    if (!fill()) return false;
  }
  return true;
}

void AdifReader::startAfterRecord(std::uint64_t offset) {
  started_ = true;
  mayHaveHeader_ = false;
  dropped_ = offset - pos_;
}

void AdifReader::start() {
  started_ = true;
  ensure(kUtf8Bom.size());
  if (std::string_view(buffer_.data() + pos_, available()).starts_with(kUtf8Bom)) pos_ += kUtf8Bom.size();
  // Text before the first tag is a header, which <EOH> ends.
  ensure(1);
  mayHaveHeader_ = available() > 0 && buffer_[pos_] != '<';
}

// Parses the tag at pos_ ("<NAME:LENGTH>", "<NAME:LENGTH:TYPE>" or "<NAME>")
// and moves past it. False, with pos_ unchanged, when the "<" starts no tag.
// Inlined into next(): it runs for every tag of the file.
// Without identify, field names are not looked up (tag.field stays -1).
[[gnu::always_inline]] inline bool AdifReader::parseTag(Tag& tag, bool identify) {
  if (available() < kMaxTagBytes) ensure(kMaxTagBytes);
  const char* const begin = buffer_.data() + pos_;
  const char* const end = begin + std::min(available(), kMaxTagBytes);
  const std::size_t counted = nameCharsAt(begin + 1, end);
  const char* p = begin + 1 + counted;
  if (counted == 0 || counted == 16) p = skipNameChars(p, end);
  const auto length = static_cast<std::size_t>(p - begin - 1);
  if (length == 0 || length > kMaxTagName || p == end) return false;
  if (*p == '>') {
    const PackedName name = length == 3 ? packName(begin + 1, length, end) : PackedName{};
    tag.kind = length == 3 && name == kEndOfRecord   ? TagKind::EndOfRecord
               : length == 3 && name == kEndOfHeader ? TagKind::EndOfHeader
                                                     : TagKind::Other;
    pos_ += static_cast<std::size_t>(p + 1 - begin);
    return true;
  }
  if (*p != ':') return false;
  std::size_t valueLength = 0;
  p = lengthAt(p + 1, end, valueLength);
  if (p == nullptr || p == end) return false;
  if (*p == ':') p = skipNameChars(p + 1, end);
  if (p == end || *p != '>') return false;
  tag.kind = TagKind::Field;
  tag.field = identify ? knownField(length, packName(begin + 1, length, end)) : -1;
  tag.length = valueLength;
  pos_ += static_cast<std::size_t>(p + 1 - begin);
  return true;
}

// Offset from pos_ after `count` characters, or the end of the bytes read
// when they end first; validUtf8 tells whether the bytes up to there are.
std::size_t AdifReader::charactersEnd(std::size_t count, bool& validUtf8) const {
  const char* const base = buffer_.data() + pos_;
  const std::size_t size = available();
  std::size_t at = 0;
  validUtf8 = true;
  for (; count > 0 && at < size; --count) {
    const std::size_t bytes = characterBytes(base + at, size - at);
    if (bytes == 1 && static_cast<unsigned char>(base[at]) >= 0x80) validUtf8 = false;
    at += bytes;
  }
  return std::min(at, size);
}

// True when only blanks and line ends lie between the offset (from pos_)
// and the next tag, or the end of the file.
bool AdifReader::endsBeforeTag(std::size_t offset) {
  for (std::size_t i = offset; i <= offset + kMaxGap; ++i) {
    if (i >= available() && !ensure(i + 1)) return true;
    const char c = buffer_[pos_ + i];
    if (c == '<') return true;
    if (!isBlank(c)) return false;
  }
  return false;
}

// Reads a value of `length` characters into out (nothing kept when out is
// null). Programs that count bytes instead write shorter lengths for values
// with non-ASCII letters; when the character count does not end before a tag
// but the byte count does, the bytes are taken.
// ascii and validUtf8 tell what the bytes taken are.
[[gnu::always_inline]] inline std::size_t AdifReader::valueBytes(std::size_t length, bool& ascii,
                                                                 bool& validUtf8) {
  if (available() < length * 4) ensure(length * 4);
  const std::size_t byteEnd = std::min(length, available());
  // Most values lie before the next byte beyond ASCII, which is looked for
  // once for many values.
  if (nonAsciiAt_ <= pos_) nonAsciiAt_ = firstNonAscii(buffer_.data(), pos_, end_);
  ascii = pos_ + byteEnd <= nonAsciiAt_;
  validUtf8 = true;
  if (ascii) return byteEnd;
  const std::size_t charEnd = charactersEnd(length, validUtf8);
  if (charEnd != byteEnd && !endsBeforeTag(charEnd) && endsBeforeTag(byteEnd)) {
    validUtf8 = isValidUtf8(std::string_view(buffer_.data() + pos_, byteEnd));
    return byteEnd;
  }
  return charEnd;
}

[[gnu::always_inline]] inline void AdifReader::readValue(std::size_t length, std::string* out) {
  if (length > kMaxValue) {
    readLongValue(length, out);
    return;
  }
  bool ascii = true;
  bool validUtf8 = true;
  const std::size_t take = valueBytes(length, ascii, validUtf8);
  if (out != nullptr) out->assign(buffer_.data() + pos_, take);
  pos_ += take;
}

// A value too long to look at in one piece: read through by characters,
// keeping only its first kMaxValue bytes.
void AdifReader::readLongValue(std::size_t length, std::string* out) {
  while (length > 0) {
    if (available() < 4) ensure(4);
    if (available() == 0) return;
    const char* const p = buffer_.data() + pos_;
    std::size_t run = 0;
    const std::size_t limit = std::min(length, available());
    while (run < limit && static_cast<unsigned char>(p[run]) < 0x80) ++run;
    const std::size_t bytes = run > 0 ? run : characterBytes(p, available());
    if (out != nullptr && out->size() < kMaxValue) {
      out->append(p, std::min(bytes, kMaxValue - out->size()));
    }
    pos_ += bytes;
    length -= run > 0 ? run : 1;
  }
}

bool AdifReader::next(AdifRecord& record) { return read(record, true); }

// Reads records until one has a call sign, or only the next one.
bool AdifReader::read(AdifRecord& record, bool untilCall) {
  if (!started_) start();
  walkStart_ = kNone;
  textAt_ = kNone;
  record.clear();
  const auto hasCall = [&] {
    const std::string& call = record[AdifField::Call];
    return record.has(AdifField::Call) && call.find_first_not_of(' ') != std::string::npos;
  };
  for (;;) {
    const char* const open = nextOpen();
    if (open == nullptr) {
      pos_ = end_;
      if (!fill()) break;
      continue;
    }
    pos_ = static_cast<std::size_t>(open - buffer_.data());
    Tag tag;
    if (!parseTag(tag, true)) {
      ++pos_;  // a "<" in text between fields
      continue;
    }
    if (tag.kind == TagKind::Field) {
      std::string* value = nullptr;
      if (tag.field >= 0) {
        const auto index = static_cast<std::size_t>(tag.field);
        record.present[index] = true;
        value = &record.values[index];
      }
      readValue(tag.length, value);
    } else if (tag.kind == TagKind::EndOfHeader && mayHaveHeader_) {
      mayHaveHeader_ = false;
      record.clear();
    } else if (tag.kind == TagKind::EndOfRecord) {
      mayHaveHeader_ = false;
      if (hasCall() || !untilCall) return hasCall();
      record.clear();
    }
  }
  // The last record counts without its <EOR>.
  return hasCall();
}

// The value of `bytes` bytes at pos_, walked over: does it hold the text,
// and what is it made of. The text is looked for from one value on to the
// end of the bytes read, and looked for again only past that place, so each
// byte is looked at about once.
[[gnu::always_inline]] inline void AdifReader::checkWalkedValue(const RawTextFilter& filter,
                                                                std::size_t bytes, bool ascii, bool validUtf8,
                                                                WalkedRecord& walked) {
  const char* const base = buffer_.data();
  if (textAt_ == kNone || textAt_ < pos_) {
    textAt_ = static_cast<std::size_t>(filter.find(base + pos_, base + end_) - base);
  }
  if (textAt_ + filter.length <= pos_ + bytes) walked.holdsText = true;
  if (!ascii) {
    walked.ascii = false;
    walked.validUtf8 = walked.validUtf8 && validUtf8;
  }
}

// One step of walk(): the next tag and its value. False at the end of the
// file; recordEnd when the tag ends the record or the walk gives up on it.
[[gnu::always_inline]] inline bool AdifReader::walkTag(const RawTextFilter& filter, WalkedRecord& walked,
                                                       bool& recordEnd) {
  if (pos_ - walkStart_ > kMaxWalk) {
    // Too long to keep for reading again: next() reads it, bounded.
    walked.holdsText = true;
    recordEnd = true;
    return true;
  }
  const char* const open = nextOpen();
  if (open == nullptr) {
    pos_ = end_;
    return pos_ - walkStart_ > kMaxWalk || fill();
  }
  pos_ = static_cast<std::size_t>(open - buffer_.data());
  Tag tag;
  if (!parseTag(tag, false)) {
    ++pos_;
    return true;
  }
  if (tag.kind == TagKind::EndOfRecord || (tag.kind == TagKind::Field && tag.length > kMaxValue)) {
    // A value cut to kMaxValue may end inside a character: such records
    // are left to next() to read.
    walked.holdsText = walked.holdsText || tag.kind != TagKind::EndOfRecord;
    recordEnd = true;
    return true;
  }
  if (tag.kind == TagKind::Field) {
    bool ascii = true;
    bool validUtf8 = true;
    const std::size_t bytes = valueBytes(tag.length, ascii, validUtf8);
    checkWalkedValue(filter, bytes, ascii, validUtf8, walked);
    pos_ += bytes;
  }
  return true;
}

bool AdifReader::walk(const RawTextFilter& filter, WalkedRecord& walked) {
  if (!started_ || mayHaveHeader_) {
    walked = WalkedRecord{};
    walked.holdsText = true;
    walkStart_ = pos_;
    return !(eof_ && available() == 0);
  }
  walked = WalkedRecord{};
  walkStart_ = pos_;
  bool recordEnd = false;
  while (!recordEnd) {
    if (!walkTag(filter, walked, recordEnd)) {
      // The file ends: a record without <EOR> still counts.
      walked.holdsText = true;
      return end_ > walkStart_ && std::memchr(buffer_.data() + walkStart_, '<', end_ - walkStart_) != nullptr;
    }
  }
  return true;
}

bool AdifReader::readWalked(AdifRecord& record) {
  if (walkStart_ != kNone) pos_ = walkStart_;
  nonAsciiAt_ = 0;  // looked for from a later place on
  return read(record, false);
}

// ---- AdifLogInput ----

bool LinesSoFar::mustRead(const WalkedRecord& walked) const {
  if (walked.holdsText || !given) return true;
  if (walked.ascii || broken) return false;
  return !(utf8 && walked.validUtf8);
}

void LinesSoFar::add(std::string_view line) {
  given = true;
  if (!broken && !isAscii(line)) {
    broken = !isValidUtf8(line);
    utf8 = !broken;
  }
}

AdifLogInput::AdifLogInput(std::unique_ptr<IInputFile> file, RawTextFilter filter, const AdifSplit& split)
    : file_(std::move(file)), filter_(std::move(filter)), reader_(*file_) {
  if (filter_.length == 0) return;
  try {
    parts_ = AdifParts::open(*file_, filter_, split);
  } catch (const std::system_error&) {
    // No threads to be had: the file is read in one go.
  }
}

AdifLogInput::~AdifLogInput() = default;

std::size_t AdifLogInput::parts() const { return parts_ ? parts_->count() : 1; }

// The next line into pending_.
bool AdifLogInput::nextLine() {
  if (parts_) return parts_->next(lines_, pending_);
  if (filter_.length == 0 || !lines_.given) {
    if (!reader_.next(record_)) return false;
  } else {
    WalkedRecord walked;
    do {
      if (!reader_.walk(filter_, walked)) return false;
    } while (!lines_.mustRead(walked) || !reader_.readWalked(record_));
  }
  appendLogLine(record_, pending_);
  return true;
}

std::size_t AdifLogInput::read(char* buffer, std::size_t size) {
  std::size_t written = 0;
  while (written < size) {
    if (served_ < pending_.size()) {
      const std::size_t n = std::min(size - written, pending_.size() - served_);
      std::memcpy(buffer + written, pending_.data() + served_, n);
      served_ += n;
      written += n;
      continue;
    }
    pending_.clear();
    served_ = 0;
    if (!nextLine()) break;
    lines_.add(pending_);
    pending_.push_back('\n');
  }
  return written;
}

std::unique_ptr<IInputFile> openDatabaseLines(const IFileSystem& files, const std::string& path,
                                              RawTextFilter filter) {
  auto file = files.openRead(path);
  if (!isAdifPath(path)) return file;
  return std::make_unique<AdifLogInput>(std::move(file), std::move(filter));
}

}  // namespace orvanta
