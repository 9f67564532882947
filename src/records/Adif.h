#pragma once

// ADIF files (ADI format), the log every logging program reads and writes,
// read as the lines WSJT-X writes into wsjtx.log for the same contacts, so
// that everything working on log lines works on ADIF files unchanged.

#include <array>
#include <cstddef>
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
  bool has(AdifField field) const { return present[static_cast<std::size_t>(field)]; }
  void clear();
};

// The 17-field wsjtx.log line of a record, without a line end: dates as
// YYYY-MM-DD, times as HH:MM:SS, the end taken from the start when missing,
// the submode of an "MFSK" contact as its mode; commas and line ends inside
// values become blanks.
void appendLogLine(const AdifRecord& record, std::string& out);

// Reads the records of an ADIF file one at a time through a buffer of
// bounded size, whatever the file holds.
class AdifReader {
 public:
  explicit AdifReader(IInputFile& file, std::size_t bufferSize = std::size_t{1} << 16);

  // The next record that has a call sign; false at the end of the file.
  // Throws FileError when reading fails.
  bool next(AdifRecord& record);

  // Values longer than this are cut: no contact has one, and a broken
  // length must not make the reader hold the file.
  static constexpr std::size_t kMaxValue = std::size_t{64} * 1024;

  // Bytes the reader holds, for checking that it stays bounded.
  std::size_t bufferCapacity() const { return buffer_.size(); }

 private:
  enum class TagKind { None, Field, EndOfHeader, EndOfRecord, Other };
  struct Tag {
    TagKind kind = TagKind::None;
    int field = -1;  // AdifField, -1 for a field the program does not use
    std::size_t length = 0;
  };

  std::size_t available() const { return end_ - pos_; }
  bool ensure(std::size_t bytes);
  bool fill();
  void start();
  bool parseTag(Tag& tag);
  void readValue(std::size_t length, std::string* out);
  void readLongValue(std::size_t length, std::string* out);
  std::size_t charactersEnd(std::size_t from, std::size_t count) const;
  bool endsBeforeTag(std::size_t offset);

  IInputFile& file_;
  std::vector<char> buffer_;
  std::size_t pos_ = 0;
  std::size_t end_ = 0;
  bool eof_ = false;
  bool started_ = false;
  bool mayHaveHeader_ = false;  // no "<" first and no record ended yet
};

// The log lines of an ADIF file as a byte stream, each line ended by LF:
// the scan, the start-up view and anything else that reads lines read an
// ADIF file through it as they read wsjtx.log. The bytes of the values are
// kept as they are in the file, so the reader of the lines decides the
// encoding as for any other file.
class AdifLogInput final : public IInputFile {
 public:
  explicit AdifLogInput(std::unique_ptr<IInputFile> file);
  std::size_t read(char* buffer, std::size_t size) override;

 private:
  std::unique_ptr<IInputFile> file_;
  AdifReader reader_;
  AdifRecord record_;
  std::string pending_;
  std::size_t served_ = 0;
};

// Opens a database for reading its lines: an ADIF file as its log lines,
// any other file as it is. Throws FileError.
std::unique_ptr<IInputFile> openDatabaseLines(const IFileSystem& files, const std::string& path);

}  // namespace orvanta
