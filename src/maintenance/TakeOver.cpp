#include "maintenance/TakeOver.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <exception>
#include <memory>
#include <optional>
#include <thread>

#include "maintenance/Merge.h"
#include "maintenance/RegularRecord.h"
#include "records/Adif.h"
#include "records/NormalizeRecord.h"
#include "records/Text.h"
#include "records/TextFile.h"

namespace orvanta {
namespace {

// A date NormalizeRecord gives records that have none; it is no MM/YY, so
// such a record counts as undated.
constexpr std::string_view kNoDate = "-";
constexpr std::size_t kRegularFields = 8;

void upperInto(std::string_view text, std::string& out) {
  out.resize(text.size());
  std::transform(text.begin(), text.end(), out.begin(), [](char c) { return upperAscii(c); });
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool letterIn(char c, char last) {
  const char u = upperAscii(c);
  return u >= 'A' && u <= last;
}

// Digits at [at, at + count) as a number, or -1.
int number(std::string_view text, std::size_t at, std::size_t count) {
  int value = 0;
  for (std::size_t i = at; i < at + count; ++i) {
    if (i >= text.size() || !isDigit(text[i])) return -1;
    value = value * 10 + (text[i] - '0');
  }
  return value;
}

int monthFromName(std::string_view name) {
  static constexpr std::array<std::string_view, 12> kMonths = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                                               "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
  if (name.size() != 3) return -1;
  const std::string up = upperAscii(name);
  for (std::size_t i = 0; i < kMonths.size(); ++i) {
    if (kMonths[i] == up) return static_cast<int>(i) + 1;
  }
  return -1;
}

// Seconds of the day from HH:MM:SS, HH:MM, HHMMSS or HHMM; -1 when invalid.
int secondsOfDay(std::string_view time) {
  int h = -1;
  int m = -1;
  int s = 0;
  if (time.size() == 8 && time[2] == ':' && time[5] == ':') {
    h = number(time, 0, 2), m = number(time, 3, 2), s = number(time, 6, 2);
  } else if (time.size() == 5 && time[2] == ':') {
    h = number(time, 0, 2), m = number(time, 3, 2);
  } else if (time.size() == 6 || time.size() == 4) {
    h = number(time, 0, 2), m = number(time, 2, 2);
    if (time.size() == 6) s = number(time, 4, 2);
  }
  if (h < 0 || h > 23 || m < 0 || m > 59 || s < 0 || s > 59) return -1;
  return (h * 100 + m) * 100 + s;
}

// "MM/YY"
std::string monthText(int year, int month) {
  const auto digit = [](int value) { return static_cast<char>('0' + value % 10); };
  return {digit(month / 10), digit(month), '/', digit(year % 100 / 10), digit(year)};
}

// Months since year 0 of an update date "MM/YY" (year as UpdateYear reads
// it); nullopt for anything else.
std::optional<int> updateMonth(std::string_view field) {
  const std::string_view date = trimBlanks(field);
  if (date.size() != 5 || date[2] != '/') return std::nullopt;
  const int month = number(date, 0, 2);
  if (month < 1 || month > 12 || number(date, 3, 2) < 0) return std::nullopt;
  return UpdateYear(date) * 12 + month - 1;
}

std::uint64_t hashOf(const CallKey& call) {
  std::uint64_t hash = call.high * 0x9E3779B97F4A7C15ULL ^ call.low * 0xC2B2AE3D27D4EB4FULL;
  return hash ^ (hash >> 29);
}

// The call of a record line: field 0 trimmed and upper-cased, as a key of
// its first 16 bytes and its whole length.
struct LineCall {
  CallKey key;
  std::size_t length = 0;
};

LineCall lineCall(std::string_view line) {
  const std::string_view call = trimBlanks(line.substr(0, line.find(',')));
  std::array<char, 16> first{};
  const std::size_t n = std::min(call.size(), first.size());
  std::transform(call.begin(), call.begin() + static_cast<std::ptrdiff_t>(n), first.begin(),
                 [](char c) { return upperAscii(c); });
  return LineCall{makeCallKey(std::string_view(first.data(), n)), call.size()};
}

// ---- The database as lines of bytes ----

// A line's end is where the next one begins: 16 bytes a line, as a large
// database has millions.
struct LineSpan {
  std::size_t begin = 0;
  std::size_t contentEnd = 0;  // where the line end starts
};

enum class LineClass : unsigned char { Other, Record, Terminator };

struct Database {
  std::string_view bytes;
  std::size_t start = 0;  // after a byte-order mark
  std::vector<LineSpan> lines;
  std::vector<LineClass> classes;
  // The call of each record line. Calls are compared by their first 16
  // bytes: a valid call is shorter, so that decides between it and any line.
  std::vector<LineCall> keys;
  std::string_view eol = "\r\n";

  [[nodiscard]] std::string_view content(std::size_t i) const {
    return bytes.substr(lines[i].begin, lines[i].contentEnd - lines[i].begin);
  }
  [[nodiscard]] std::string_view lineEnd(std::size_t i) const {
    const std::size_t end = i + 1 < lines.size() ? lines[i + 1].begin : bytes.size();
    return bytes.substr(lines[i].contentEnd, end - lines[i].contentEnd);
  }
};

LineClass classify(std::string_view content) {
  if (content.empty() || isCommentLine(content)) return LineClass::Other;
  if (content.starts_with("ZZZZZZ")) return LineClass::Terminator;
  return LineClass::Record;
}

// A CR that ends the file is a line end cut short, not part of the last line.
Database splitDatabase(std::string_view bytes) {
  Database db;
  db.bytes = bytes;
  db.start = bytes.starts_with(kUtf8Bom) ? kUtf8Bom.size() : 0;
  bool crlf = false;
  bool lf = false;
  for (std::size_t pos = db.start; pos < bytes.size();) {
    const std::size_t nl = bytes.find('\n', pos);
    LineSpan span{pos, nl == std::string_view::npos ? bytes.size() : nl};
    if (span.contentEnd > pos && bytes[span.contentEnd - 1] == '\r') {
      --span.contentEnd;
      crlf = crlf || nl != std::string_view::npos;
    } else if (nl != std::string_view::npos) {
      lf = true;
    }
    db.lines.push_back(span);
    pos = nl == std::string_view::npos ? bytes.size() : nl + 1;
  }
  db.eol = lf && !crlf ? "\n" : "\r\n";
  db.classes.reserve(db.lines.size());
  db.keys.resize(db.lines.size());
  for (std::size_t i = 0; i < db.lines.size(); ++i) {
    const std::string_view line = db.content(i);
    db.classes.push_back(classify(line));
    if (db.classes[i] == LineClass::Record) db.keys[i] = lineCall(line);
  }
  return db;
}

// New contents of some lines, in line order, kept one after the other in
// one text rather than one string each.
struct Replacements {
  struct Line {
    std::size_t index;
    std::size_t offset;
    std::size_t length;
  };
  std::string text;
  std::vector<Line> lines;

  void add(std::size_t index, std::size_t offset) { lines.push_back({index, offset, text.size() - offset}); }
  [[nodiscard]] std::string_view content(std::size_t k) const {
    return std::string_view(text).substr(lines[k].offset, lines[k].length);
  }
};

struct Insertion {
  CallKey call;
  std::string line;
};

// The database with some lines replaced (by index, ascending) and new lines
// (in call order) inserted: each before the first record whose call sorts
// after it, else before the first terminator line, else at the end.
// The pieces handed on at a time when the new database streams to a file.
constexpr std::size_t kPiece = std::size_t{1} << 20;

// The first of the new lines whose call sorts after every record's call:
// from there on they go before the terminator.
std::size_t tailStart(const Database& db, const std::vector<Insertion>& inserted) {
  const CallKey* maxKey = nullptr;
  for (std::size_t i = 0; i < db.lines.size(); ++i) {
    if (db.classes[i] == LineClass::Record && (maxKey == nullptr || db.keys[i].key > *maxKey))
      maxKey = &db.keys[i].key;
  }
  if (maxKey == nullptr) return 0;
  const auto first = std::partition_point(inserted.begin(), inserted.end(),
                                          [&](const Insertion& n) { return n.call < *maxKey; });
  return static_cast<std::size_t>(first - inserted.begin());
}

// Puts the new database together in out; with spill, out is handed on (and
// emptied) each time it holds a piece, so that it never holds the whole.
class Assembly {
 public:
  Assembly(const Database& db, const std::vector<Insertion>& inserted, std::string& out,
           const std::function<void(std::string_view)>& spill)
      : db_(db), inserted_(inserted), out_(out), spill_(spill) {}

  // Unchanged lines are copied in runs, up to the next place that changes.
  void copyTo(std::size_t at) {
    while (copied_ < at) {
      const std::size_t n = spill_ ? std::min(at - copied_, kPiece) : at - copied_;
      out_.append(db_.bytes.substr(copied_, n));
      copied_ += n;
      spillFull();
    }
  }
  // The new lines from..to.
  void put(std::size_t from, std::size_t to) {
    for (std::size_t j = from; j < to; ++j) out_.append(inserted_[j].line).append(db_.eol), spillFull();
  }
  // Line i with new content; its line end stays.
  void replace(std::size_t i, std::string_view content) {
    copyTo(db_.lines[i].begin);
    out_.append(content);
    copied_ = db_.lines[i].contentEnd;
  }
  // After everything copied: a last line without its line end gets one.
  void endLastLine() {
    if (db_.lines.empty()) return;
    const std::string_view end = db_.lineEnd(db_.lines.size() - 1);
    if (end.empty()) out_.append(db_.eol);
    if (end == "\r") out_.append("\n");
  }
  void finish() {
    if (spill_ && !out_.empty()) spill_(out_), out_.clear();
  }

 private:
  void spillFull() {
    if (spill_ && out_.size() >= kPiece) spill_(out_), out_.clear();
  }

  const Database& db_;
  const std::vector<Insertion>& inserted_;
  std::string& out_;
  const std::function<void(std::string_view)>& spill_;
  std::size_t copied_ = 0;
};

void render(const Database& db, const Replacements& replaced, const std::vector<Insertion>& inserted,
            std::string& out, const std::function<void(std::string_view)>& spill) {
  const std::size_t tail = tailStart(db, inserted);
  std::size_t added = 0;
  for (const auto& n : inserted) added += n.line.size() + db.eol.size();
  if (!spill) out.reserve(db.bytes.size() + added + 2);
  Assembly assembly(db, inserted, out, spill);
  std::size_t next = 0;
  std::size_t replacement = 0;
  bool tailPut = false;
  for (std::size_t i = 0; i < db.lines.size(); ++i) {
    if (db.classes[i] == LineClass::Record) {
      const std::size_t from = next;
      while (next < tail && inserted[next].call < db.keys[i].key) ++next;
      if (next > from) assembly.copyTo(db.lines[i].begin);
      assembly.put(from, next);
    } else if (db.classes[i] == LineClass::Terminator && !tailPut) {
      assembly.copyTo(db.lines[i].begin);
      assembly.put(tail, inserted.size());
      tailPut = true;
    }
    if (replacement < replaced.lines.size() && replaced.lines[replacement].index == i)
      assembly.replace(i, replaced.content(replacement++));
  }
  assembly.copyTo(db.bytes.size());
  if (!tailPut && tail < inserted.size()) {
    assembly.endLastLine();
    assembly.put(tail, inserted.size());
  }
  assembly.finish();
}

std::string render(const Database& db, const Replacements& replaced, const std::vector<Insertion>& inserted) {
  std::string out;
  render(db, replaced, inserted, out, nullptr);
  return out;
}

// The fields of a record in its eight regular fields; a record of one or
// two fields is padded with empty fields, its fields kept in place.
std::vector<std::string> regularFields(std::string_view content, std::string_view date) {
  std::string line(content);
  std::string fieldSeparator(1, ',');
  std::vector<std::string> fields = NormalizeRecord(line, date, "user", fieldSeparator);
  if (fields.size() < kRegularFields) fields.resize(kRegularFields);
  return fields;
}

// Buffers that the records share, so that looking at one allocates nothing.
struct RecordScratch {
  std::string separator = ",";
  std::string normalized;
  std::vector<std::string_view> fields;
};

// Appends the record as the newest contact of its call changes it to out;
// false, and nothing appended, when it stays. Most records are in their
// regular form already (eight fields, a date); those are read and rewritten
// without splitting them.
bool changeByContact(std::string_view content, const ContactCollector::Contact& c, RecordScratch& scratch,
                     std::string& out) {
  const std::size_t dateAt = regularDateField(content);
  const std::size_t locatorAt = content.find(',') + 1;
  std::vector<std::string_view>& fields = scratch.fields;
  std::string_view locator;
  std::string_view date;
  if (dateAt != std::string_view::npos) {
    locator = content.substr(locatorAt, content.find(',', locatorAt) - locatorAt);
    date = content.substr(dateAt);
  } else {
    scratch.normalized.assign(content);
    normalizeRecordFields(scratch.normalized, kNoDate, "user", scratch.separator, fields);
    locator = fields.size() > 1 ? fields[1] : std::string_view();
    date = fields.size() >= kRegularFields ? fields[7] : std::string_view();
  }
  const auto recordMonth = updateMonth(date);
  if (recordMonth && c.year * 12 + c.month - 1 <= *recordMonth) return false;
  locator = trimBlanks(locator);
  const std::string_view grid = c.gridText();
  if (equalsIgnoringCase(locator, grid) ||
      (grid.size() == 4 && equalsIgnoringCase(locator.substr(0, 4), grid)))
    return false;
  if (dateAt != std::string_view::npos) {
    const std::size_t afterLocator = content.find(',', locatorAt);
    out.append(content.substr(0, locatorAt)).append(grid);
    out.append(content.substr(afterLocator, dateAt - afterLocator)).append(monthText(c.year, c.month));
    return true;
  }
  // Fields 0 to 6 of the record as NormalizeRecord gave it are those of its
  // regular form; a record of one or two fields gets empty ones.
  out.append(fields.empty() ? std::string_view() : fields[0]).append(",").append(grid);
  for (std::size_t j = 2; j + 1 < kRegularFields; ++j) {
    out += ',';
    if (j < fields.size()) out.append(fields[j]);
  }
  out.append(",").append(monthText(c.year, c.month));
  return true;
}

// U+0000 to U+001F, U+007F, U+0080 to U+009F, U+2028 and U+2029 in UTF-8.
bool hasControlCharacter(std::string_view utf8) {
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    const auto byte = static_cast<unsigned char>(utf8[i]);
    if (byte < 0x20 || byte == 0x7F) return true;
    const std::string_view rest = utf8.substr(i);
    if (byte == 0xC2 && rest.size() > 1 && static_cast<unsigned char>(rest[1]) <= 0x9F) return true;
    if (rest.starts_with("\xE2\x80\xA8") || rest.starts_with("\xE2\x80\xA9")) return true;
  }
  return false;
}

Encoding encodingOf(std::string_view bytes) {
  EncodingDetector detector;
  if (bytes.starts_with(kUtf8Bom)) detector.markByteOrderMark();
  detector.feed(bytes);
  return detector.result();
}

}  // namespace

bool isValidCall(std::string_view call) {
  if (call.size() < 3 || call.size() > 13) return false;
  // "//" would make the line a comment line that no reader ever finds.
  if (call.front() == '/' || call.back() == '/' || call.find("//") != std::string_view::npos) return false;
  bool digit = false;
  bool letter = false;
  for (const char c : call) {
    digit = digit || isDigit(c);
    letter = letter || (c >= 'A' && c <= 'Z');
    if (!isDigit(c) && !(c >= 'A' && c <= 'Z') && c != '/') return false;
  }
  return digit && letter;
}

bool isValidGrid(std::string_view grid) {
  if (grid.size() != 4 && grid.size() != 6 && grid.size() != 8) return false;
  if (!letterIn(grid[0], 'R') || !letterIn(grid[1], 'R') || !isDigit(grid[2]) || !isDigit(grid[3]))
    return false;
  if (grid.size() >= 6 && (!letterIn(grid[4], 'X') || !letterIn(grid[5], 'X'))) return false;
  if (grid.size() == 8 && (!isDigit(grid[6]) || !isDigit(grid[7]))) return false;
  return upperAscii(grid) != "RR73";
}

bool parseContactTime(std::string_view date, std::string_view time, ContactTime& out) {
  date = trimBlanks(date);
  if (date.size() < 10 || date[4] != '-') return false;
  const int year = number(date, 0, 4);
  int month = -1;
  int day = -1;
  if (date.size() == 10 && date[7] == '-') {
    month = number(date, 5, 2);
    day = number(date, 8, 2);
  } else if (date.size() == 11 && date[8] == '-') {
    month = monthFromName(date.substr(5, 3));
    day = number(date, 9, 2);
  }
  const int seconds = secondsOfDay(trimBlanks(time));
  if (year < 0 || month < 1 || month > 12 || day < 1 || day > 31 || seconds < 0) return false;
  out.year = year;
  out.month = month;
  out.stamp =
      (static_cast<std::uint64_t>(year) * 10000 + static_cast<std::uint64_t>(month * 100 + day)) * 1000000 +
      static_cast<std::uint64_t>(seconds);
  return true;
}

void readLogLines(const IFileSystem& files, const std::string& path,
                  const std::function<void(std::string_view)>& line) {
  // An ADIF file arrives as the log lines WSJT-X writes for its contacts.
  const std::unique_ptr<IInputFile> input = openDatabaseLines(files, path);
  LineReader reader(*input, std::size_t{1} << 16, kLongestHeldLine);
  std::string_view view;
  while (reader.next(view)) line(view);
}

CallKey makeCallKey(std::string_view call) {
  CallKey key;
  for (std::size_t i = 0; i < 16; ++i) {
    const auto byte = static_cast<std::uint64_t>(i < call.size() ? static_cast<unsigned char>(call[i]) : 0);
    (i < 8 ? key.high : key.low) |= byte << (8 * (7 - i % 8));
  }
  return key;
}

std::string callText(const CallKey& key) {
  std::string text;
  for (std::size_t i = 0; i < 16; ++i) {
    const auto byte = static_cast<char>(((i < 8 ? key.high : key.low) >> (8 * (7 - i % 8))) & 0xFF);
    if (byte == 0) break;
    text += byte;
  }
  return text;
}

void ContactCollector::addLine(std::string_view line) {
  // "//" inside a contact (a web address in its comment) is no comment mark
  // in a log: only a line starting with it is a comment.
  if (line.empty() || trimBlanks(line).starts_with("//")) return;
  splitFieldViews(line, ",", fields_);
  const std::size_t n = fields_.size();
  if (n < 6) return;
  upperInto(trimBlanks(fields_[n <= 12 ? 2 : 4]), call_);
  const std::string_view grid = trimBlanks(fields_[n <= 12 ? 3 : 5]);
  ContactTime time;
  if (!isValidCall(call_) || !isValidGrid(grid) || !parseContactTime(fields_[0], fields_[1], time)) {
    ++skipped_;
    return;
  }
  Contact contact;
  contact.call = makeCallKey(call_);
  contact.stamp = time.stamp;
  contact.year = static_cast<std::uint16_t>(time.year);
  contact.month = static_cast<std::uint8_t>(time.month);
  contact.gridLength = static_cast<std::uint8_t>(grid.size());
  std::transform(grid.begin(), grid.end(), contact.grid.begin(), [](char c) { return upperAscii(c); });
  const auto [at, added] = places_.try_emplace(contact.call, newest_.size());
  if (added) {
    newest_.push_back(contact);
  } else if (contact.stamp >= newest_[at->second].stamp) {
    // Of equal date and time the later line wins.
    newest_[at->second] = contact;
  }
}

std::size_t ContactCollector::KeyHash::operator()(const CallKey& call) const noexcept {
  return static_cast<std::size_t>(hashOf(call));
}

std::size_t ContactCollector::find(const CallKey& call) const {
  const auto at = places_.find(call);
  return at == places_.end() ? npos : at->second;
}

namespace {

// The lines a take-over replaces and inserts, before they are put together.
struct Changes {
  Replacements replaced;
  std::vector<Insertion> inserted;
  [[nodiscard]] bool any() const { return !replaced.lines.empty() || !inserted.empty(); }
};

// A database read for a take-over and what changes in it, kept until the
// new file is written.
struct PendingTakeOver {
  std::string bytes;
  Database db;
  Changes changes;
};

TakeOverCounts planChanges(const Database& db, const ContactCollector& contacts, Changes& changes) {
  TakeOverPlan plan;
  plan.counts.skipped = contacts.skipped();
  const std::vector<ContactCollector::Contact>& newest = contacts.newest();

  // The record of a call is its first record line.
  constexpr auto kNone = static_cast<std::size_t>(-1);
  std::vector<std::size_t> recordOf(newest.size(), kNone);
  for (std::size_t i = 0; i < db.lines.size(); ++i) {
    if (db.classes[i] != LineClass::Record || db.keys[i].length < 3 || db.keys[i].length > 13) continue;
    const std::size_t k = contacts.find(db.keys[i].key);
    if (k != ContactCollector::npos && recordOf[k] == kNone) recordOf[k] = i;
  }
  // Records are looked at in file order, which keeps the reads sequential.
  std::vector<std::pair<std::size_t, std::size_t>> matched;  // record line, contact
  std::vector<std::size_t> added;
  for (std::size_t k = 0; k < newest.size(); ++k) {
    if (recordOf[k] == kNone) {
      added.push_back(k);
    } else {
      matched.emplace_back(recordOf[k], k);
    }
  }
  std::sort(matched.begin(), matched.end());
  Replacements& replaced = changes.replaced;
  RecordScratch scratch;
  for (const auto& [line, k] : matched) {
    const std::size_t offset = replaced.text.size();
    if (changeByContact(db.content(line), newest[k], scratch, replaced.text)) {
      replaced.add(line, offset);
    } else {
      ++plan.counts.unchanged;
    }
  }
  std::sort(added.begin(), added.end(),
            [&](std::size_t a, std::size_t b) { return newest[a].call < newest[b].call; });
  std::vector<Insertion>& inserted = changes.inserted;
  inserted.reserve(added.size());
  for (const std::size_t k : added) {
    const auto& c = newest[k];
    inserted.push_back(
        {c.call, callText(c.call) + "," + std::string(c.gridText()) + ",,,,,," + monthText(c.year, c.month)});
  }
  plan.counts.added = inserted.size();
  plan.counts.changed = replaced.lines.size();
  return plan.counts;
}

}  // namespace

TakeOverPlan planTakeOver(std::string_view database, const ContactCollector& contacts) {
  const Database db = splitDatabase(database);
  Changes changes;
  TakeOverPlan plan;
  plan.counts = planChanges(db, contacts, changes);
  if (changes.any()) plan.text = render(db, changes.replaced, changes.inserted);
  return plan;
}

namespace {

std::string readPieces(LockedDatabase& database) {
  database.input().rewind();
  // Appended piece by piece. A line too long to hold ends the reading there, so a file without line
  // ends is never read whole.
  std::string bytes;
  // Room for the file as it was locked, so that the text is never copied
  // while it grows; pages are only taken as the bytes arrive.
  bytes.reserve(static_cast<std::size_t>(database.readStatus().size));
  std::vector<char> piece(std::size_t{1} << 18);
  std::uint64_t lineNumber = 1;
  std::size_t lineLength = 0;
  while (const std::size_t n = database.input().read(piece.data(), piece.size())) {
    for (std::size_t at = 0; at < n;) {
      const void* found = std::memchr(piece.data() + at, '\n', n - at);
      const std::size_t end =
          found != nullptr ? static_cast<std::size_t>(static_cast<const char*>(found) - piece.data()) : n;
      lineLength += end - at;
      if (lineLength > kLongestHeldLine + 1) throw LineTooLongError(lineNumber);  // + 1: its CR
      if (found != nullptr) {
        ++lineNumber;
        lineLength = 0;
      }
      at = found != nullptr ? end + 1 : n;
    }
    bytes.append(piece.data(), n);
  }
  return bytes;
}

}  // namespace

std::string readLockedDatabase(LockedDatabase& database) {
  try {
    return readPieces(database);
  } catch (const LineTooLongError& e) {
    throw LineTooLongError(database.listed(), e);
  } catch (const FileError& e) {
    throw ReadError(database.listed(), e);
  }
}

Encoding databaseEncoding(const IFileSystem& files, const std::string& path) {
  const std::unique_ptr<IInputFile> input = files.openRead(path);
  EncodingDetector detector;
  std::vector<char> piece(std::size_t{1} << 18);
  bool first = true;
  while (const std::size_t n = input->read(piece.data(), piece.size())) {
    std::string_view bytes(piece.data(), n);
    if (first && bytes.starts_with(kUtf8Bom)) detector.markByteOrderMark();
    first = false;
    detector.feed(bytes);
  }
  return detector.result();
}

// The calls to make room for: a log line of WSJT-X is about a hundred bytes
// (ADIF records are longer), and a huge file is more likely a wrong one, so
// the room stays bounded. A log that cannot be examined fails when read.
std::size_t expectedContacts(const IFileSystem& files, const std::vector<std::string>& logs) {
  constexpr std::uint64_t kLineBytes = 100;
  constexpr std::uint64_t kMostCalls = std::uint64_t{1} << 18;
  std::uint64_t bytes = 0;
  for (const auto& log : logs) {
    try {
      if (const auto status = files.status(log)) bytes += status->size;
    } catch (const FileError&) {
    }
  }
  return static_cast<std::size_t>(std::min(bytes / kLineBytes, kMostCalls));
}

TakeOverPlan planTakeOverFromFiles(const IFileSystem& files, LockedDatabase& database,
                                   const std::vector<std::string>& lines,
                                   const std::vector<std::string>& logs) {
  // The logs are read on a second thread while this one reads and splits
  // the database; the two touch nothing in common.
  ContactCollector contacts;
  contacts.reserve(expectedContacts(files, logs) + lines.size());
  std::exception_ptr logFailure;
  std::jthread logReader([&] {
    try {
      for (const auto& line : lines) contacts.addLine(line);
      for (const auto& log : logs) {
        try {
          readLogLines(files, log, [&contacts](std::string_view line) { contacts.addLine(line); });
        } catch (const LineTooLongError& e) {
          throw LineTooLongError(log, e);
        } catch (const FileError& e) {
          throw ReadError(log, e);
        }
      }
    } catch (...) {
      logFailure = std::current_exception();
    }
  });
  const auto pending = std::make_shared<PendingTakeOver>();
  pending->bytes = readLockedDatabase(database);
  pending->db = splitDatabase(pending->bytes);
  logReader.join();
  if (logFailure) std::rethrow_exception(logFailure);
  TakeOverPlan plan;
  plan.counts = planChanges(pending->db, contacts, pending->changes);
  if (!pending->changes.any()) return plan;
  plan.write = [pending](IOutputFile& out) {
    std::string piece;
    render(pending->db, pending->changes.replaced, pending->changes.inserted, piece,
           [&out](std::string_view bytes) { out.write(bytes); });
  };
  return plan;
}

StationProblem checkStation(std::string_view call, std::string_view locator, std::string_view remark) {
  const std::string upperCall = upperAscii(trimBlanks(call));
  if (!isValidCall(upperCall)) return StationProblem::Call;
  if (upperCall.find("ZZZ") != std::string::npos) return StationProblem::CallTerminator;
  if (!isValidGrid(trimBlanks(locator))) return StationProblem::Locator;
  if (hasControlCharacter(remark)) return StationProblem::RemarkControl;
  if (remark.find(',') != std::string_view::npos || remark.find("//") != std::string_view::npos ||
      remark.find("ZZZ") != std::string_view::npos)
    return StationProblem::Remark;
  return StationProblem::None;
}

std::string charactersNotHeld(std::string_view utf8, Encoding encoding) {
  std::string missing;
  if (encoding == Encoding::Utf8) return missing;
  for (std::size_t at = 0; at < utf8.size();) {
    const auto lead = static_cast<unsigned char>(utf8[at]);
    const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    const std::string_view character = utf8.substr(at, length);
    at += length;
    if (character != "?" && fromUtf8(character, encoding) == "?" &&
        missing.find(character) == std::string::npos) {
      missing.append(missing.empty() ? "" : " ").append(character);
    }
  }
  return missing;
}

AddStationPlan planAddStation(std::string_view database, std::string_view call, std::string_view locator,
                              std::string_view remark) {
  const std::string theCall = upperAscii(trimBlanks(call));
  const std::string theLocator = upperAscii(trimBlanks(locator));
  const Encoding encoding = encodingOf(database);
  AddStationPlan plan;
  plan.call = theCall;
  // Nothing is planned rather than a remark written with "?" in its place.
  plan.notHeld = charactersNotHeld(trimBlanks(remark), encoding);
  if (!plan.notHeld.empty()) return plan;
  const std::string theRemark = fromUtf8(trimBlanks(remark), encoding);
  const Database db = splitDatabase(database);
  Replacements replaced;
  std::vector<Insertion> inserted;
  for (std::size_t i = 0; i < db.lines.size() && !plan.existed; ++i) {
    if (db.classes[i] != LineClass::Record || db.keys[i].length != theCall.size() ||
        db.keys[i].key != makeCallKey(theCall))
      continue;
    std::vector<std::string> fields = regularFields(db.content(i), "");
    fields[1] = theLocator;
    fields[2] = theRemark;
    fields[7].clear();
    for (std::size_t j = 0; j < fields.size(); ++j) {
      if (j > 0) replaced.text += ',';
      replaced.text += fields[j];
    }
    replaced.add(i, 0);
    plan.existed = true;
  }
  if (!plan.existed)
    inserted.push_back({makeCallKey(theCall), theCall + "," + theLocator + "," + theRemark + ",,,,,"});
  plan.text = render(db, replaced, inserted);
  return plan;
}

}  // namespace orvanta
