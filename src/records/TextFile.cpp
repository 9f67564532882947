#include "records/TextFile.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace orvanta {

LineTooLongError::LineTooLongError(std::uint64_t line)
    : ReadError("line " + std::to_string(line) + " is longer than 16 MiB"), line_(line) {}

LineReader::LineReader(IInputFile& file, std::size_t bufferSize, std::size_t longestLine)
    : window_(file, std::max<std::size_t>(bufferSize, 16)), longestLine_(longestLine) {}

bool LineReader::fill() {
  if (window_.atEndOfFile()) return false;
  window_.drop(begin_);
  begin_ = 0;
  if (window_.full()) {
    // A very long line: even without a CR at its end it is longer than
    // allowed, or the buffer grows, but never beyond the longest line allowed
    // and its CR LF; it goes there straight when the next doubling would pass
    // it, so that no buffer of nearly that size is copied once more.
    const std::size_t held = window_.end();
    if (held - 1 > longestLine_) throw LineTooLongError(lineNumber_ + 1);
    std::size_t size = window_.room() * 2;
    if (longestLine_ / 2 < size) size = std::max(longestLine_ + 2, held + 1);
    window_.grow(size);
  }
  return window_.readMore();
}

bool LineReader::next(std::string_view& line) {
  if (!started_) {
    started_ = true;
    while (window_.end() < kUtf8Bom.size() && fill()) {
    }
    if (std::string_view(window_.data(), window_.end()).starts_with(kUtf8Bom)) {
      bom_ = true;
      begin_ += kUtf8Bom.size();
    }
  }
  for (;;) {
    const char* start = window_.data() + begin_;
    const std::size_t avail = window_.end() - begin_;
    if (const void* hit = std::memchr(start + scanned_, '\n', avail - scanned_)) {
      const auto pos = static_cast<std::size_t>(static_cast<const char*>(hit) - start);
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
      if (window_.end() == begin_) return false;
      ++lineNumber_;
      if (window_.end() - begin_ > longestLine_) throw LineTooLongError(lineNumber_);
      line = std::string_view(window_.data() + begin_, window_.end() - begin_);
      begin_ = window_.end();
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
