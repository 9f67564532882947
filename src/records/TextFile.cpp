#include "records/TextFile.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace orvanta {

LineTooLongError::LineTooLongError(std::uint64_t line)
    : FileError("line " + std::to_string(line) + " is longer than 16 MiB"), line_(line) {}

LineReader::LineReader(IInputFile& file, std::size_t bufferSize, std::size_t longestLine)
    : file_(file), buffer_(std::max<std::size_t>(bufferSize, 16)), longestLine_(longestLine) {}

bool LineReader::fill() {
  if (eof_) return false;
  if (begin_ > 0) {
    std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
    end_ -= begin_;
    begin_ = 0;
  }
  if (end_ == buffer_.size()) {
    // A very long line: even without a CR at its end it is longer than
    // allowed, or the buffer grows, but never beyond the longest line allowed
    // and its CR LF; it goes there straight when the next doubling would pass
    // it, so that no buffer of nearly that size is copied once more.
    if (end_ - 1 > longestLine_) throw LineTooLongError(lineNumber_ + 1);
    std::size_t size = buffer_.size() * 2;
    if (longestLine_ / 2 < size) size = std::max(longestLine_ + 2, buffer_.size() + 1);
    buffer_.resize(size);
  }
  const std::size_t n = file_.read(buffer_.data() + end_, buffer_.size() - end_);
  if (n == 0) {
    eof_ = true;
    return false;
  }
  end_ += n;
  return true;
}

bool LineReader::next(std::string_view& line) {
  if (!started_) {
    started_ = true;
    while (end_ - begin_ < kUtf8Bom.size() && fill()) {
    }
    if (std::string_view(buffer_.data() + begin_, end_ - begin_).starts_with(kUtf8Bom)) {
      bom_ = true;
      begin_ += kUtf8Bom.size();
    }
  }
  for (;;) {
    const char* start = buffer_.data() + begin_;
    const std::size_t avail = end_ - begin_;
    if (const void* hit = std::memchr(start + scanned_, '\n', avail - scanned_)) {
      const std::size_t pos = static_cast<std::size_t>(static_cast<const char*>(hit) - start);
      std::size_t len = pos;
      if (len > 0 && start[len - 1] == '\r') {
        --len;
        crlf_ = true;
      } else {
        lf_ = true;
      }
      ++lineNumber_;
      if (len > longestLine_) throw LineTooLongError(lineNumber_);
      line = std::string_view(start, len);
      begin_ += pos + 1;
      scanned_ = 0;
      return true;
    }
    scanned_ = avail;
    if (!fill()) {
      if (end_ == begin_) return false;
      ++lineNumber_;
      if (end_ - begin_ > longestLine_) throw LineTooLongError(lineNumber_);
      line = std::string_view(buffer_.data() + begin_, end_ - begin_);
      begin_ = end_;
      scanned_ = 0;
      return true;
    }
  }
}

bool LineReader::next(std::string& line) {
  std::string_view view;
  if (!next(view)) return false;
  line.assign(view);
  return true;
}

TextFileContent readTextFile(const IFileSystem& fs, const std::string& path) {
  auto file = fs.openRead(path);
  LineReader reader(*file);
  EncodingDetector detector;
  TextFileContent content;
  std::string_view line;
  while (reader.next(line)) {
    detector.feedLine(line);
    content.lines.emplace_back(line);
  }
  if (reader.sawByteOrderMark()) detector.markByteOrderMark();
  content.format.encoding = detector.result();
  content.format.byteOrderMark = reader.sawByteOrderMark();
  content.format.lineEnd = (reader.sawLoneLf() && !reader.sawCrLf()) ? LineEnd::Lf : LineEnd::CrLf;
  return content;
}

std::string_view lineEndBytes(LineEnd lineEnd) { return lineEnd == LineEnd::Lf ? "\n" : "\r\n"; }

std::string joinLines(const std::vector<std::string>& lines, const TextFormat& format) {
  const std::string_view eol = lineEndBytes(format.lineEnd);
  std::size_t size = format.byteOrderMark ? kUtf8Bom.size() : 0;
  for (const auto& l : lines) size += l.size() + eol.size();
  std::string out;
  out.reserve(size);
  if (format.byteOrderMark) out += kUtf8Bom;
  for (const auto& l : lines) {
    out += l;
    out += eol;
  }
  return out;
}

}  // namespace orvanta
