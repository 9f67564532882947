#include "maintenance/MonthEnd.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "records/NormalizeRecord.h"
#include "records/TextFile.h"

namespace orvanta {
namespace {

constexpr std::size_t kRegularFields = 8;
constexpr std::size_t kPieceSize = std::size_t{4} << 20;

// Counts the bytes that pass, so that the size of the old file is known
// without reading it twice.
class CountingInput final : public IInputFile {
 public:
  explicit CountingInput(IInputFile& input) : input_(input) {}
  std::size_t read(char* buffer, std::size_t size) override {
    const std::size_t n = input_.read(buffer, size);
    count += n;
    return n;
  }
  std::size_t count = 0;

 private:
  IInputFile& input_;
};

class MemoryInput final : public IInputFile {
 public:
  explicit MemoryInput(std::string_view bytes) : rest_(bytes) {}
  std::size_t read(char* buffer, std::size_t size) override {
    const std::size_t n = std::min(size, rest_.size());
    std::memcpy(buffer, rest_.data(), n);
    rest_.remove_prefix(n);
    return n;
  }

 private:
  std::string_view rest_;
};

// True for a line of exactly eight fields whose field 7 holds a date: the
// regular form that NormalizeRecord leaves as it is (a date already present is
// never replaced). Most lines of a database kept up month by month look like
// this, and one pass over the bytes is much cheaper than splitting them.
bool isRegularDatedRecord(std::string_view line) {
  std::size_t commas = 0;
  std::size_t lastComma = 0;
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (line[i] == ',') {
      ++commas;
      lastComma = i;
    }
  }
  return commas == kRegularFields - 1 && line.find('/', lastComma + 1) != std::string_view::npos;
}

}  // namespace

std::string MonthText(const CivilDate& today, char dateSeparator) {
  char text[16];
  std::snprintf(text, sizeof text, "%02d%c%02d", today.month, dateSeparator,
                ((today.year % 100) + 100) % 100);
  std::string month = text;
  if (const auto dot = month.find('.'); dot != std::string::npos) month[dot] = '/';
  return month;
}

void MonthEndResult::append(std::string_view line) {
  if (pieces_.empty() || pieces_.back().size() + line.size() + 1 > pieces_.back().capacity()) {
    pieces_.emplace_back();
    pieces_.back().reserve(std::max(kPieceSize, line.size() + 1));
  }
  pieces_.back() += line;
  pieces_.back() += '\n';
  ++lines_;
}

std::size_t MonthEndResult::size() const {
  std::size_t total = byteOrderMark_ ? kUtf8Bom.size() : 0;
  for (const auto& piece : pieces_) total += piece.size();
  return total + (crlf_ ? lines_ : 0);
}

void MonthEndResult::writeTo(IOutputFile& out) const {
  if (byteOrderMark_) out.write(kUtf8Bom);
  if (!crlf_) {
    for (const auto& piece : pieces_) out.write(piece);
    return;
  }
  // The pieces hold LF alone; CR LF files get their CR back on the way out.
  std::string buffer;
  buffer.reserve(kPieceSize + kPieceSize / 8);
  for (const auto& piece : pieces_) {
    buffer.clear();
    std::size_t start = 0;
    for (std::size_t end = piece.find('\n'); end != std::string::npos; end = piece.find('\n', start)) {
      buffer.append(piece, start, end - start);
      buffer += "\r\n";
      start = end + 1;
    }
    out.write(buffer);
  }
}

std::string MonthEndResult::bytes() const {
  class StringOutput final : public IOutputFile {
   public:
    explicit StringOutput(std::string& s) : s_(s) {}
    void write(std::string_view bytes) override { s_ += bytes; }
    void sync() override {}
    void close() override {}

   private:
    std::string& s_;
  };
  std::string text;
  text.reserve(size());
  StringOutput out(text);
  writeTo(out);
  return text;
}

MonthEndResult MonthEndUpdate(IInputFile& input, std::string_view monthText, std::string& fieldSeparator) {
  fieldSeparator = ",";
  CountingInput counted(input);
  LineReader reader(counted, std::size_t{1} << 20);
  MonthEndResult result;
  std::string line;
  std::string_view view;
  bool lastLineEmpty = false;
  bool anyLine = false;
  while (reader.next(view)) {
    anyLine = true;
    lastLineEmpty = view.empty();
    if (IsCommentLine(view) || IsEmptyLine(view) || IsMonthEndTerminator(view) ||
        isRegularDatedRecord(view)) {
      result.append(view);
      continue;
    }
    line.assign(view);
    const auto fields = NormalizeRecord(line, monthText, "user", fieldSeparator, 7);
    // A line of one or two fields has no eight fields to write and stays.
    if (fields.size() >= kRegularFields && line != view) {
      ++result.changedLines;
      result.append(line);
    } else {
      result.append(view);
    }
  }
  if (anyLine && !lastLineEmpty) result.append({});
  result.crlf_ = !(reader.sawLoneLf() && !reader.sawCrLf());
  result.byteOrderMark_ = reader.sawByteOrderMark();
  result.originalSize = counted.count;
  return result;
}

MonthEndResult MonthEndUpdate(std::string_view fileBytes, std::string_view monthText,
                              std::string& fieldSeparator) {
  MemoryInput input(fileBytes);
  return MonthEndUpdate(input, monthText, fieldSeparator);
}

}  // namespace orvanta
