#pragma once

// ADIF files (ADI format), the log every logging program reads and writes,
// read as the lines WSJT-X writes into wsjtx.log for the same contacts, so
// that everything working on log lines works on ADIF files unchanged.

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FileSystem.h"

namespace orvanta {

// True when the path, in lower case, ends in ".adi" or ".adif".
bool isAdifPath(std::string_view path);

// The fields of a record the program uses, as written in the file.
enum class AdifField {
  QsoDate,
  TimeOn,
  QsoDateOff,
  TimeOff,
  Call,
  Gridsquare,
  Freq,
  Mode,
  Submode,
  RstSent,
  RstRcvd,
  TxPwr,
  Comment,
  Name,
  PropMode,
  SatName,
  SatMode,
  FreqRx,
  Band,
};
inline constexpr std::size_t kAdifFieldCount = 19;

struct AdifRecord {
  std::array<std::string, kAdifFieldCount> values;
  std::array<bool, kAdifFieldCount> present{};
  const std::string& operator[](AdifField field) const { return values[static_cast<std::size_t>(field)]; }
  [[nodiscard]] bool has(AdifField field) const { return present[static_cast<std::size_t>(field)]; }
  void clear();
};

// The 17-field wsjtx.log line of a record, without a line end: dates as
// YYYY-MM-DD, times as HH:MM:SS, the end taken from the start when missing,
// the submode of an "MFSK" contact as its mode; commas and line ends inside
// values become blanks.
void appendLogLine(const AdifRecord& record, std::string& out);

// A text looked for in the raw bytes of values: find gives the first place
// in [begin, end) where it starts, or end.
struct RawTextFilter {
  std::function<const char*(const char*, const char*)> find;
  std::size_t length = 0;  // bytes of the text; 0 looks for nothing
};

// What walking over a record saw of its values.
struct WalkedRecord {
  bool holdsText = false;  // a value holds the text, or the record is too big to tell cheaply
  bool ascii = true;       // every value is ASCII
  bool validUtf8 = true;   // every value is valid UTF-8
};

// Reads the records of an ADIF file one at a time through a buffer of
// bounded size, whatever the file holds.
class AdifReader {
 public:
  explicit AdifReader(IInputFile& file, std::size_t bufferSize = std::size_t{1} << 16);

  // The next record that has a call sign; false at the end of the file.
  // Throws FileError when reading fails.
  bool next(AdifRecord& record);

  // Walks over the next record following the field lengths as next() does,
  // without keeping its values; false at the end of the file. Most records
  // hold nothing a caller looks for, and walking costs a fraction of
  // reading. A header is not walked: the first record is read with next().
  bool walk(const RawTextFilter& filter, WalkedRecord& walked);
  // Reads the record walk() has just walked over, as next() would have;
  // false when it has no call sign, which next() would have passed over.
  bool readWalked(AdifRecord& record);

  // Values longer than this are cut: no contact has one, and a broken
  // length must not make the reader hold the file.
  static constexpr std::size_t kMaxValue = std::size_t{64} * 1024;
  // A record walked over is kept in the buffer until the caller decides;
  // one longer than this is handed back as holding the text instead.
  static constexpr std::size_t kMaxWalk = std::size_t{256} * 1024;

  // Bytes the reader holds, for checking that it stays bounded.
  [[nodiscard]] std::size_t bufferCapacity() const { return buffer_.size(); }

  // For a reader of a file's part: the file it reads starts at the given
  // offset, right after a record's <EOR>, past any header.
  void startAfterRecord(std::uint64_t offset);
  // Offset in the file of the next byte to look at: after walk() or next(),
  // right after the record's <EOR>.
  [[nodiscard]] std::uint64_t offset() const { return dropped_ + pos_; }

 private:
  enum class TagKind { None, Field, EndOfHeader, EndOfRecord, Other };
  struct Tag {
    TagKind kind = TagKind::None;
    int field = -1;  // AdifField, -1 for a field the program does not use
    std::size_t length = 0;
  };

  [[nodiscard]] std::size_t available() const { return end_ - pos_; }
  // The next "<" in the bytes read, or null. The next tag mostly follows a
  // blank or a line end, so the two bytes at hand are looked at first.
  [[nodiscard]] const char* nextOpen() const {
    const char* const here = buffer_.data() + pos_;
    if (available() > 2 && here[0] == '<') return here;
    if (available() > 2 && here[1] == '<') return here + 1;
    return static_cast<const char*>(std::memchr(here, '<', available()));
  }
  bool ensure(std::size_t bytes);
  bool fill();
  void start();
  bool read(AdifRecord& record, bool untilCall);
  bool parseTag(Tag& tag, bool identify);
  std::size_t valueBytes(std::size_t length, bool& ascii, bool& validUtf8);
  void readValue(std::size_t length, std::string* out);
  void checkWalkedValue(const RawTextFilter& filter, std::size_t bytes, bool ascii, bool validUtf8,
                        WalkedRecord& walked);
  bool walkTag(const RawTextFilter& filter, WalkedRecord& walked, bool& recordEnd);
  void readLongValue(std::size_t length, std::string* out);
  std::size_t charactersEnd(std::size_t count, bool& validUtf8) const;
  bool endsBeforeTag(std::size_t offset);

  IInputFile& file_;
  std::vector<char> buffer_;
  std::uint64_t dropped_ = 0;  // offset in the file of the buffer's first byte
  std::size_t pos_ = 0;
  std::size_t end_ = 0;
  bool eof_ = false;
  bool started_ = false;
  bool mayHaveHeader_ = false;  // no "<" first and no record ended yet
  static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
  std::size_t walkStart_ = kNone;  // start of the record walked over, kept in the buffer
  std::size_t textAt_ = kNone;     // where the filter's text starts next, from the last look
  std::size_t nonAsciiAt_ = 0;     // the first byte beyond ASCII from the last look on
};

// What the log lines given out so far hold, which decides whether a record
// walked over must still be read: the reader of the lines takes the first
// line, and decides the encoding by the first lines beyond ASCII.
struct LinesSoFar {
  bool given = false;   // a line has been given out
  bool utf8 = false;    // lines given out hold valid UTF-8 that is not ASCII
  bool broken = false;  // a line given out is not valid UTF-8
  // True when the record's line must be given: its values may hold the
  // text, or it is the first line, or the first to hold letters beyond
  // ASCII or bytes that are no UTF-8.
  [[nodiscard]] bool mustRead(const WalkedRecord& walked) const;
  void add(std::string_view line);
  friend bool operator==(const LinesSoFar&, const LinesSoFar&) = default;
};

// How a large ADIF file is read for a text: in up to `parts` parts side by
// side, each of at least `minPartBytes` bytes.
struct AdifSplit {
  std::size_t parts = 1;
  std::uint64_t minPartBytes = 0;
  // As many parts as the machine has cores, up to eight, of 8 MiB at least.
  static AdifSplit automatic();
};

class AdifParts;

// The log lines of an ADIF file as a byte stream, each line ended by LF:
// the scan, the start-up view and anything else that reads lines read an
// ADIF file through it as they read wsjtx.log. The bytes of the values are
// kept as they are in the file, so the reader of the lines decides the
// encoding as for any other file.
//
// With a filter, the lines of records whose values cannot hold its text are
// left out where that changes nothing for a reader looking for the text:
// the first line and every line that may decide the encoding stay.
//
// A large file read with a filter is walked in parts side by side, on
// threads of their own, when the file can give readers of its parts.
class AdifLogInput final : public IInputFile {
 public:
  explicit AdifLogInput(std::unique_ptr<IInputFile> file, RawTextFilter filter = {},
                        const AdifSplit& split = AdifSplit::automatic());
  ~AdifLogInput() override;
  AdifLogInput(const AdifLogInput&) = delete;
  AdifLogInput& operator=(const AdifLogInput&) = delete;
  std::size_t read(char* buffer, std::size_t size) override;
  // Parts read side by side; 1 when the file is read in one go.
  [[nodiscard]] std::size_t parts() const;

 private:
  bool nextLine();
  std::unique_ptr<IInputFile> file_;
  RawTextFilter filter_;
  LinesSoFar lines_;
  std::unique_ptr<AdifParts> parts_;
  AdifReader reader_;
  AdifRecord record_;
  std::string pending_;
  std::size_t served_ = 0;
};

// Opens a database for reading its lines: an ADIF file as its log lines,
// any other file as it is. Throws FileError.
std::unique_ptr<IInputFile> openDatabaseLines(const IFileSystem& files, const std::string& path,
                                              RawTextFilter filter = {});

}  // namespace orvanta
