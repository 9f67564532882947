#include "maintenance/Merge.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <limits>

#include "maintenance/RegularRecord.h"
#include "records/Adif.h"
#include "records/NormalizeRecord.h"

namespace orvanta {
namespace {

constexpr std::size_t kDateField = 7;
constexpr std::int16_t kYearWithoutDate = 2000;

std::int16_t yearOf(const std::vector<std::string>& fields) {
  return fields.size() > kDateField ? UpdateYear(fields[kDateField]) : kYearWithoutDate;
}

// One pass over a line finds what the merge needs to know of it. Lines are
// short, so a plain loop beats several library searches.
struct LineScan {
  bool comment = false;
  std::size_t leadingBlanks = 0;
  std::size_t firstComma = 0;  // index of the first ",", or the line's length
};

LineScan scanLine(std::string_view line) {
  LineScan scan;
  const std::size_t n = line.size();
  while (scan.leadingBlanks < n && line[scan.leadingBlanks] == ' ') ++scan.leadingBlanks;
  scan.firstComma = n;
  for (std::size_t i = scan.leadingBlanks; i < n; ++i) {
    const char c = line[i];
    if (c == ',' && scan.firstComma == n) scan.firstComma = i;
    if (c == '/' && i + 1 < n && line[i + 1] == '/') {
      scan.comment = true;
      break;
    }
  }
  return scan;
}

// The first eight bytes as one unsigned number, so that comparing two keys
// orders like comparing the bytes; shorter lines are padded with zero bytes.
std::uint64_t sortKey(std::string_view line) {
  std::uint64_t key = 0;
  for (std::size_t i = 0; i < 8; ++i) {
    key <<= 8;
    if (i < line.size()) key |= static_cast<unsigned char>(line[i]);
  }
  return key;
}

struct SortEntry {
  std::uint64_t key;
  const char* data;
  std::uint32_t size;
  // Field 0 ends at the first ",". NormalizeRecord never changes the text
  // before the first separator, so call signs compare without normalizing.
  std::uint32_t callSignSize;

  [[nodiscard]] std::string_view text() const { return {data, size}; }
  [[nodiscard]] std::string_view callSign() const { return {data, callSignSize}; }
  // Whether two entries have the same call sign. A call sign and its ","
  // usually fit in the key, which then answers without reading the line.
  [[nodiscard]] bool sameCallSign(const SortEntry& other) const {
    if (callSignSize != other.callSignSize) return false;
    if (callSignSize == 0) return true;
    if (callSignSize < 8) {
      const unsigned shift = 8 * (8 - callSignSize);
      return (key >> shift) == (other.key >> shift);
    }
    return callSign() == other.callSign();
  }
  friend bool operator<(const SortEntry& a, const SortEntry& b) {
    if (a.key != b.key) return a.key < b.key;
    // Equal keys: the first eight bytes agree (a shorter line's zero padding
    // included), so the bytes from the ninth on decide, then the length.
    // Records of one call sign differ a few bytes further on; a plain loop
    // finds that sooner than a library call.
    const std::size_t n = std::min(a.size, b.size);
    for (std::size_t i = 8; i < n; ++i) {
      if (a.data[i] != b.data[i])
        return static_cast<unsigned char>(a.data[i]) < static_cast<unsigned char>(b.data[i]);
    }
    return a.size < b.size;
  }
};

// Comment lines ("//" anywhere), empty lines and terminator entries never
// reach the merged file. Every other line is sorted, the first line of the
// first file included, so that a record there is de-duplicated like any
// other. Leading blanks are removed before sorting, so that a record
// indented by mistake still meets the other records of its call sign.
void addEntry(std::vector<SortEntry>& entries, std::string_view raw) {
  const LineScan scan = scanLine(raw);
  if (scan.comment) return;
  const std::string_view line = raw.substr(scan.leadingBlanks);
  if (line.empty() || isMergeTerminator(line, ",")) return;
  entries.push_back(SortEntry{sortKey(line), line.data(), static_cast<std::uint32_t>(line.size()),
                              static_cast<std::uint32_t>(scan.firstComma - scan.leadingBlanks)});
}

// A record brought to its regular form, and its update year.
struct Normalized {
  std::string buffer;
  std::string_view text;
  std::int16_t year = kYearWithoutDate;

  void assign(std::string_view entry) {
    if (const std::size_t date = regularDateField(entry); date != std::string_view::npos) {
      text = entry;
      year = UpdateYear(entry.substr(date));
      return;
    }
    buffer.assign(entry);
    std::string separator(1, ',');
    year = yearOf(NormalizeRecord(buffer, {}, "user", separator));
    text = buffer;
  }
};

// The sorted entries point all over the files' text; asking for a line a few
// entries early hides most of the wait for it.
void prefetchAhead(const std::vector<SortEntry>& entries, std::size_t index) {
  constexpr std::size_t kDistance = 16;
  if (index + kDistance < entries.size()) __builtin_prefetch(entries[index + kDistance].data);
}

MergedRecords mergeEntries(std::vector<SortEntry> entries, std::string_view lineEnd,
                           const std::function<void()>& yield) {
  auto yieldNow = [&yield] {
    if (yield) yield();
  };
  yieldNow();

  // Ordinal order of the whole text; the key decides most comparisons
  // without touching the lines themselves.
  std::sort(entries.begin(), entries.end());
  yieldNow();

  MergedRecords result;
  std::size_t bytes = 0;
  for (const auto& entry : entries) bytes += entry.size;
  result.text.reserve(bytes / 2 + 4096);
  // The best record so far and the one compared with it; which is which
  // flips when the other wins, so no line is copied for nothing.
  std::array<Normalized, 2> slots;
  std::size_t best = 0;
  std::size_t k = 0;
  while (k < entries.size()) {
    prefetchAhead(entries, k);
    slots[best].assign(entries[k].text());
    // The records of one call sign lie next to each other; each is
    // normalized once, and a later one wins only with a strictly greater year.
    std::size_t j = k + 1;
    for (; j < entries.size() && entries[j].sameCallSign(entries[k]); ++j) {
      prefetchAhead(entries, j);
      Normalized& other = slots[1 - best];
      other.assign(entries[j].text());
      if (slots[best].year < other.year) best = 1 - best;
    }
    result.text += slots[best].text;
    result.text += lineEnd;
    ++result.records;
    k = j;
  }
  yieldNow();
  return result;
}

}  // namespace

std::string mergedFileName(std::string_view dbFileName) {
  if (dbFileName.empty() || isLogDatabasePath(dbFileName)) return std::string(kDefaultDbFileName);
  return std::string(dbFileName);
}

std::int16_t UpdateYear(std::string_view date) {
  if (date.find("\r\n") != std::string_view::npos) date.remove_suffix(std::min<std::size_t>(2, date.size()));
  if (date.empty()) date = "0000";
  std::string_view tail = date.size() > 2 ? date.substr(date.size() - 2) : date;

  // The numeric value at the start of the two characters, blanks skipped:
  // an optional sign, digits and a decimal fraction; anything else ends it.
  double value = 0;
  double scale = 0;  // 0 before the decimal point, then 0.1, 0.01, ...
  bool negative = false;
  bool started = false;
  for (const char c : tail) {
    if (c == ' ') continue;
    if ((c == '-' || c == '+') && !started) {
      negative = c == '-';
      started = true;
    } else if (c >= '0' && c <= '9') {
      started = true;
      if (scale == 0) {
        value = value * 10 + (c - '0');
      } else {
        value += (c - '0') * scale;
        scale /= 10;
      }
    } else if (c == '.' && scale == 0) {
      started = true;
      scale = 0.1;
    } else {
      break;
    }
  }
  if (negative) value = -value;
  // Rounded half to even, as whole-number conversion of such values always was.
  const auto y = static_cast<int>(std::nearbyint(value));
  return static_cast<std::int16_t>(y <= 80 ? y + 2000 : y + 1900);
}

namespace {

// Remembers the last byte that passed, so that a CR ending the file can be
// told from a CR inside it.
class LastByteInput final : public IInputFile {
 public:
  explicit LastByteInput(IInputFile& input) : input_(input) {}
  std::size_t read(char* buffer, std::size_t size) override {
    const std::size_t n = input_.read(buffer, size);
    if (n > 0) last = buffer[n - 1];
    return n;
  }
  char last = '\0';

 private:
  IInputFile& input_;
};

}  // namespace

MergeSource loadMergeSource(IInputFile& file, const std::string& path) {
  LastByteInput in(file);
  LineReader reader(in, std::size_t{1} << 20);
  EncodingDetector detector;
  MergeSource source;
  source.path = path;
  std::string_view line;
  while (reader.next(line)) {
    detector.feed(line);
    if (line.size() > std::numeric_limits<std::uint32_t>::max()) throw FileError(path + ": line too long");
    source.bytes.append(line);
    source.lengths.push_back(static_cast<std::uint32_t>(line.size()));
  }
  // The reader keeps a CR that ends the file in the last line; it is a line
  // end cut short, and left there it would hide the record's update year.
  if (in.last == '\r' && !source.lengths.empty() && source.lengths.back() > 0 && !source.bytes.empty() &&
      source.bytes.back() == '\r') {
    source.bytes.pop_back();
    --source.lengths.back();
  }
  if (reader.sawByteOrderMark()) detector.markByteOrderMark();
  source.format.encoding = detector.result();
  source.format.byteOrderMark = reader.sawByteOrderMark();
  source.format.lineEnd = (reader.sawLoneLf() && !reader.sawCrLf()) ? LineEnd::Lf : LineEnd::CrLf;
  source.sawLineEnd = reader.sawLoneLf() || reader.sawCrLf();
  return source;
}

TextFormat mergedFormat(const std::vector<MergeSource>& sources) {
  TextFormat format;
  format.encoding = Encoding::Windows1252;
  bool anyLineEnd = false;
  bool anyCrLf = false;
  for (const auto& source : sources) {
    if (source.format.encoding == Encoding::Utf8) format.encoding = Encoding::Utf8;
    if (source.format.byteOrderMark) format.byteOrderMark = true;
    // An empty file, or one of a single line without an end, says nothing
    // about the line ends its owner uses.
    if (!source.sawLineEnd) continue;
    anyLineEnd = true;
    if (source.format.lineEnd != LineEnd::Lf) anyCrLf = true;
  }
  format.lineEnd = anyLineEnd && !anyCrLf ? LineEnd::Lf : LineEnd::CrLf;
  if (format.encoding != Encoding::Utf8) format.byteOrderMark = false;
  return format;
}

void convertSource(MergeSource& source, Encoding target) {
  if (target != Encoding::Utf8) return;
  if (isAscii(source.bytes) || (source.format.encoding == target && isValidUtf8(source.bytes))) {
    source.format.encoding = target;
    return;
  }
  std::string converted;
  converted.reserve(source.bytes.size() + source.bytes.size() / 8);
  std::size_t offset = 0;
  for (auto& length : source.lengths) {
    const std::string_view line(source.bytes.data() + offset, length);
    offset += length;
    const std::size_t before = converted.size();
    if (isAscii(line) || isValidUtf8(line)) {
      converted.append(line);
    } else {
      converted += toUtf8(line, Encoding::Windows1252);
    }
    length = static_cast<std::uint32_t>(converted.size() - before);
  }
  source.bytes = std::move(converted);
  source.format.encoding = target;
}

MergedRecords MergeRecords(std::vector<std::string_view> lines, std::string_view lineEnd,
                           const std::function<void()>& yield) {
  std::vector<SortEntry> entries;
  entries.reserve(lines.size());
  for (const std::string_view line : lines) addEntry(entries, line);
  lines = std::vector<std::string_view>();
  return mergeEntries(std::move(entries), lineEnd, yield);
}

MergedRecords MergeRecords(const std::vector<MergeSource>& sources, std::string_view lineEnd,
                           const std::function<void()>& yield) {
  std::size_t count = 0;
  for (const auto& source : sources) count += source.lengths.size();
  std::vector<SortEntry> entries;
  entries.reserve(count);
  for (const auto& source : sources) {
    std::size_t offset = 0;
    for (const auto length : source.lengths) {
      addEntry(entries, std::string_view(source.bytes.data() + offset, length));
      offset += length;
    }
  }
  return mergeEntries(std::move(entries), lineEnd, yield);
}

std::string mergeHeaderLine(std::string_view fileName) {
  std::string line = "//";
  line += fileName;
  line += " format for WSJT-PROGRAMs by Q9ZZ";
  return line;
}

std::string mergeTerminatorLine(const CivilDate& today, std::string_view legalNotice) {
  std::array<char, 32> date{};
  std::snprintf(date.data(), date.size(), "%04d.%02d.%02d", today.year, today.month, today.day);
  std::string line = "ZZZZZZ,End-Of-Call3-Database ";
  line += date.data();
  line += " Orvanta ";
  line += legalNotice;
  return line;
}

std::string mergedDatabaseText(std::string_view header, std::string_view records, std::string_view terminator,
                               const TextFormat& format) {
  const std::string_view eol = lineEndBytes(format.lineEnd);
  std::string text;
  text.reserve(kUtf8Bom.size() + header.size() + records.size() + terminator.size() + 3 * eol.size());
  if (format.byteOrderMark) text += kUtf8Bom;
  text += header;
  text += eol;
  text += records;
  text += terminator;
  text += eol;
  text += eol;
  return text;
}

}  // namespace orvanta
