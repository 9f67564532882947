// Feeds arbitrary bytes through the ADIF reader and the log-line stream made
// from it. Besides not crashing or hanging, it checks what the search and the
// record view rely on: every line has exactly the 17 fields of a wsjtx.log
// line and no line end inside, read boundaries change nothing, and the
// reader's buffer stays bounded.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "fakes/PieceInput.h"
#include "records/Adif.h"
#include "records/TextFile.h"

namespace {

using namespace orvanta;

void check(bool condition) {
  if (!condition) std::abort();
}

std::vector<std::string> readAll(const std::string& bytes, std::size_t piece, std::size_t bufferSize) {
  testing::PieceInput input(bytes, piece);
  AdifReader reader(input, bufferSize);
  AdifRecord record;
  std::vector<std::string> lines;
  while (reader.next(record)) {
    check(record.has(AdifField::Call));
    lines.emplace_back();
    appendLogLine(record, lines.back());
    for (const auto& value : record.values) check(value.size() <= AdifReader::kMaxValue);
  }
  check(reader.bufferCapacity() <= 4 * AdifReader::kMaxValue + 8192 || reader.bufferCapacity() == bufferSize);
  return lines;
}

// The text "Q1" in any letter case.
const char* findQ1(const char* begin, const char* end) {
  for (const char* p = begin; p + 1 < end; ++p) {
    if ((*p == 'Q' || *p == 'q') && p[1] == '1') return p;
  }
  return end;
}

bool holdsQ1(const char* begin, const char* end) { return findQ1(begin, end) != end; }

std::vector<std::string> linesOf(std::unique_ptr<IInputFile> input) {
  std::vector<std::string> lines(1);
  char buffer[257];
  while (const std::size_t n = input->read(buffer, sizeof buffer)) {
    for (std::size_t i = 0; i < n; ++i) {
      if (buffer[i] == '\n') {
        lines.emplace_back();
      } else {
        lines.back().push_back(buffer[i]);
      }
    }
  }
  lines.pop_back();
  return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const std::size_t piece = size == 0 ? 1 : 1 + data[0] % 13;

  const std::vector<std::string> whole = readAll(bytes, bytes.size() + 1, 1 << 16);
  check(readAll(bytes, piece, 1) == whole);
  for (const auto& line : whole) {
    check(line.find_first_of("\r\n") == std::string::npos);
    std::size_t commas = 0;
    for (const char c : line) commas += c == ',' ? 1 : 0;
    check(commas == 16);
  }

  // The stream the scan reads: the same lines, each ended by LF.
  AdifLogInput input(std::make_unique<testing::PieceInput>(bytes, piece));
  LineReader reader(input, 16);
  std::vector<std::string> streamed;
  std::string line;
  while (reader.next(line)) streamed.push_back(line);
  // A line reader takes a byte-order mark at the very start for one, even
  // when a value put it there.
  std::vector<std::string> expected = whole;
  if (!expected.empty() && std::string_view(expected[0]).starts_with(kUtf8Bom))
    expected[0].erase(0, kUtf8Bom.size());
  check(streamed == expected);

  // Walking over the records that cannot hold a text keeps, in order, every
  // line that holds it; read in parts, the same lines come out.
  const auto filtered = [&](const AdifSplit& split) {
    return linesOf(std::make_unique<AdifLogInput>(std::make_unique<testing::PieceInput>(bytes, piece),
                                                  RawTextFilter{findQ1, 2}, split));
  };
  const std::vector<std::string> some = filtered(AdifSplit{});
  std::size_t at = 0;
  for (const auto& converted : whole) {
    const bool taken = at < some.size() && some[at] == converted;
    check(taken || !holdsQ1(converted.data(), converted.data() + converted.size()));
    at += taken ? 1 : 0;
  }
  check(at == some.size());
  check(filtered(AdifSplit{1 + size % 5, 1}) == some);
  return 0;
}
