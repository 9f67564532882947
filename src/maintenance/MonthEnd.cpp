#include "maintenance/MonthEnd.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <memory>

#include "maintenance/RegularRecord.h"
#include "maintenance/SafeFiles.h"
#include "records/NormalizeRecord.h"
#include "records/TextFile.h"

namespace orvanta {
namespace {

constexpr std::size_t kRegularFields = 8;
constexpr std::size_t kBufferSize = std::size_t{1} << 20;

// Counts the bytes that pass and marks failures as failures to read.
class ReadingInput final : public IInputFile {
 public:
  explicit ReadingInput(IInputFile& input) : input_(input) {}
  std::size_t read(char* buffer, std::size_t size) override {
    std::size_t n = 0;
    try {
      n = input_.read(buffer, size);
    } catch (const FileError& e) {
      throw ReadError(std::string(), e);
    }
    count += n;
    return n;
  }
  std::size_t count = 0;

 private:
  IInputFile& input_;
};

// Gathers small writes into large ones.
class BufferedOutput {
 public:
  explicit BufferedOutput(IOutputFile& out) : out_(out) { buffer_.reserve(kBufferSize); }
  void put(std::string_view bytes) {
    if (buffer_.size() + bytes.size() > kBufferSize) flush();
    buffer_ += bytes;
    written += bytes.size();
  }
  void flush() {
    if (!buffer_.empty()) out_.write(buffer_);
    buffer_.clear();
  }
  std::size_t written = 0;

 private:
  IOutputFile& out_;
  std::string buffer_;
};

struct PassResult {
  std::size_t changedLines = 0;
  bool unchanged = false;
  // The file turned out to mix LF with CR LF after LF alone had been
  // written; the pass must run again with CR LF throughout.
  bool restartWithCrLf = false;
};

// A record of the user database split at ",", brought to its regular form.
std::vector<std::string> userRecordFields(std::string& line, std::string_view monthText) {
  std::string separator(1, ',');
  return NormalizeRecord(line, monthText, "user", separator);
}

// Writes a line of the user database: a record that its regular form
// changes in that form, any other line as it is. True when it changed.
bool putRegular(BufferedOutput& out, std::string_view current, std::string& line,
                std::string_view monthText) {
  if (isCommentLine(current) || isEmptyLine(current) || isMonthEndTerminator(current) ||
      regularDateField(current) != std::string_view::npos) {
    out.put(current);
    return false;
  }
  line.assign(current);
  const auto fields = userRecordFields(line, monthText);
  // A line of one or two fields has no eight fields to write and stays.
  if (fields.size() >= kRegularFields && line != current) {
    out.put(line);
    return true;
  }
  out.put(current);
  return false;
}

// The line end written: chosen at the first line end the file shows, LF
// alone only as long as the file uses nothing else.
struct LineEndChoice {
  bool decided = false;
  std::string_view eol = "\r\n";

  // False when LF alone has been written and the file turns out to use CR LF.
  bool settle(const LineReader& reader) {
    if (!decided) {
      if (reader.sawLoneLf() && !reader.sawCrLf()) eol = "\n";
      decided = reader.sawLoneLf() || reader.sawCrLf();
      return true;
    }
    return eol != "\n" || !reader.sawCrLf();
  }
};

// One pass from input to out.
PassResult updatePass(IInputFile& input, IOutputFile& output, std::string_view monthText, bool forceCrLf) {
  ReadingInput counted(input);
  // Every line is rewritten, so every line is held whole: one too long for
  // that ends the update before anything is replaced.
  LineReader reader(counted, kBufferSize, kLongestHeldLine);
  BufferedOutput out(output);
  PassResult result;
  LineEndChoice lineEnd;
  lineEnd.decided = forceCrLf;
  std::string line;
  std::string held;
  std::string_view view;
  bool lastLineEmpty = false;
  bool anyLine = false;
  bool more = reader.next(view);
  while (more) {
    // The reader keeps a CR that ends the file in the last line. Such a CR
    // is a line end cut short: the line is written without it, followed by
    // the file's line end. Only a line ending in CR needs a look at the
    // next one to know.
    std::string_view current = view;
    bool advanced = false;
    if (!current.empty() && current.back() == '\r') {
      held.assign(current);
      current = held;
      more = reader.next(view);
      advanced = true;
      if (!more) current.remove_suffix(1);
    }
    if (!anyLine && reader.sawByteOrderMark()) out.put(kUtf8Bom);
    if (!lineEnd.settle(reader)) {
      result.restartWithCrLf = true;
      return result;
    }
    anyLine = true;
    lastLineEmpty = current.empty();
    if (putRegular(out, current, line, monthText)) ++result.changedLines;
    out.put(lineEnd.eol);
    if (!advanced) more = reader.next(view);
  }
  if (anyLine && !lastLineEmpty) out.put(lineEnd.eol);
  out.flush();
  result.unchanged = result.changedLines == 0 && out.written == counted.count;
  return result;
}

}  // namespace

std::string monthText(const CivilDate& today, char dateSeparator) {
  std::array<char, 16> text{};
  std::snprintf(text.data(), text.size(), "%02d%c%02d", today.month, dateSeparator,
                ((today.year % 100) + 100) % 100);
  std::string month = text.data();
  if (const auto dot = month.find('.'); dot != std::string::npos) month[dot] = '/';
  return month;
}

namespace {

// The pass over the locked database into a fresh scratch file, and the
// replacement. Throws; the scratch file is gone then.
MonthEndOutcome rewrite(IFileSystem& files, LockedDatabase& database, std::string_view monthText) {
  const std::string target = database.real();
  for (const bool forceCrLf : {false, true}) {
    std::string temporary;
    try {
      database.input().rewind();
      auto output = createScratch(files, folderOf(target), fileNameOf(target),
                                  database.readStatus().permissions, temporary);
      const PassResult pass = updatePass(database.input(), *output, monthText, forceCrLf);
      if (pass.restartWithCrLf || pass.unchanged) {
        output.reset();
        discardTemporary(files, temporary);
        if (pass.restartWithCrLf) continue;
        return MonthEndOutcome{false, 0};
      }
      output->sync();
      output->close();
      // The previous version stays as the database's backup.
      placeKeepingBackup(files, database, temporary);
      return MonthEndOutcome{true, pass.changedLines};
    } catch (...) {
      if (!temporary.empty()) discardTemporary(files, temporary);
      throw;
    }
  }
  return {};  // the second pass never restarts
}

}  // namespace

MonthEndOutcome updateMonthEnd(IFileSystem& files, const std::string& path, std::string_view monthText) {
  LockedDatabase database(files, path);
  try {
    if (files.writeProtected(database.real())) return MonthEndOutcome{false, 0, true};
    return rewrite(files, database, monthText);
  } catch (const FileChanged&) {
    throw;
  } catch (const ReadError&) {
    throw;
  } catch (const WriteError&) {
    throw;
  } catch (const FileError& e) {
    throw WriteError(path, e);
  }
}

}  // namespace orvanta
