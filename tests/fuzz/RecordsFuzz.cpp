// Feeds arbitrary bytes through everything that reads a database line: the
// line reader, the encoding detector, decoding and upper-casing, the record
// normalization of both kinds and the record view. Besides not crashing, it
// checks the promises the rest of the program builds on.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "fakes/PieceInput.h"
#include "records/NormalizeRecord.h"
#include "records/RecordView.h"
#include "records/TextFile.h"

namespace {

using namespace orvanta;

void check(bool condition) {
  if (!condition) std::abort();
}

using BytesInput = testing::PieceInput;

void exerciseLine(const std::string& raw, Encoding encoding) {
  const std::string display = toUtf8(raw, encoding);
  check(isValidUtf8(display));
  check(isValidUtf8(upperCaseUtf8(display)));
  const std::string upper = upperCase(raw, encoding);
  if (encoding == Encoding::Windows1252) {
    check(upper.size() == raw.size());
    check(fromUtf8(display, encoding) == raw);
  } else if (isValidUtf8(raw)) {
    check(fromUtf8(display, encoding) == raw);
  }

  for (const std::string_view kind :
       {std::string_view("user"), std::string_view("log"), std::string_view("")}) {
    std::string line = raw;
    std::string separator = ",";
    std::vector<std::string> fields = NormalizeRecord(line, "", kind, separator);
    check(separator == ",");
    check(fields == SplitFields(line, ","));
    if (kind != "user") {
      check(line == raw);
    } else if (fields.size() >= 3) {
      check(fields.size() == 8);
      // A normalized record stays regular when normalized again; only an
      // update date missing after a fold is added then.
      std::string again = line;
      const auto second = NormalizeRecord(again, "", kind, separator);
      check(second.size() == 8 && std::equal(second.begin(), second.begin() + 7, fields.begin()));
      check(second[7] == (fields[7].find('/') != std::string::npos ? fields[7] : "01/00"));
    } else {
      check(line == raw);
    }
    const std::vector<std::string_view> views(fields.begin(), fields.end());
    RecordBoxes boxes;
    FillRecordBoxes(views, kind, boxes);
    for (std::size_t i = 0; i < kRecordBoxes; ++i) {
      if (boxes.written[i]) check(isValidUtf8(toUtf8(boxes.box(i), encoding)));
    }
    if (kind == "user") check(!boxes.hasRecordKey && boxes.surplusFields == 0);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::size_t piece = size == 0 ? 1 : 1 + data[0] % 17;

  BytesInput input(std::string(bytes), piece);
  LineReader reader(input, 16);
  EncodingDetector detector;
  std::vector<std::string> lines;
  std::string line;
  while (reader.next(line)) {
    detector.feedLine(line);
    lines.push_back(line);
  }
  if (reader.sawByteOrderMark()) detector.markByteOrderMark();

  // The whole input at once decides like the lines one by one, as long as no
  // line end sits inside a sequence.
  EncodingDetector whole;
  whole.feed(reader.sawByteOrderMark() ? bytes.substr(kUtf8Bom.size()) : bytes);
  if (reader.sawByteOrderMark()) whole.markByteOrderMark();
  check(whole.result() == detector.result() || detector.result() == Encoding::Windows1252);

  // Written back with the line end it had, a file of one kind of line end and
  // a final line end is the same file again.
  const TextFormat format{detector.result(), reader.sawByteOrderMark(),
                          reader.sawLoneLf() && !reader.sawCrLf() ? LineEnd::Lf : LineEnd::CrLf};
  const std::string written = joinLines(lines, format);
  if (!(reader.sawLoneLf() && reader.sawCrLf()) && bytes.ends_with('\n')) {
    check(written == bytes);
  }

  for (const auto& l : lines) {
    exerciseLine(l, Encoding::Windows1252);
    exerciseLine(l, Encoding::Utf8);
  }
  return 0;
}
