#include "records/RecordView.h"

#include <array>
#include <utility>

namespace orvanta {
namespace {

// Box positions: Text2 to Text9.
enum Box : std::size_t { kText2, kText3, kText4, kText5, kText6, kText7, kText8, kText9 };

void joinInto(std::string& out, std::string_view a, std::string_view between, std::string_view b) {
  out.clear();
  out.reserve(a.size() + between.size() + b.size());
  out += a;
  out += between;
  out += b;
}

}  // namespace

std::string_view recordViewBoxName(std::size_t index) {
  static constexpr std::array<std::string_view, kRecordBoxes> kNames = {"Text2", "Text3", "Text4", "Text5",
                                                                        "Text6", "Text7", "Text8", "Text9"};
  return index < kRecordBoxes ? kNames[index] : std::string_view{};
}

bool isPlaceholderField(std::string_view field) {
  // Asked for every field of every record shown; fields are short, so a walk
  // over the bytes is cheaper than a general substring search.
  for (std::size_t i = 0; i + 4 <= field.size(); ++i) {
    if (field[i] == 'F' && field[i + 1] == 'e' && field[i + 2] == 'l' && field[i + 3] == 'd') return true;
  }
  return false;
}

void fillRecordBoxes(std::span<const std::string_view> fields, std::string_view dbKind, RecordBoxes& out) {
  out.written = {};
  out.hasRecordKey = false;
  out.recordKey.clear();
  out.surplusFields = 0;
  out.surplusCall = {};
  const std::size_t n = fields.size();
  // An empty line writes nothing at all.
  if (n == 0) return;
  // A placeholder shows empty, wherever its text goes.
  auto text = [&](std::size_t i) -> std::string_view {
    return isPlaceholderField(fields[i]) ? std::string_view{} : fields[i];
  };
  auto put = [&](Box box, std::string_view value) { out.put(box, value); };
  // A field missing from the line leaves its box alone.
  auto putField = [&](Box box, std::size_t i) {
    if (i < n) put(box, text(i));
  };

  if (dbKind == "user") {
    // NormalizeRecord leaves at most eight fields; a ninth would have no box.
    for (std::size_t i = 0; i < kRecordBoxes; ++i) putField(static_cast<Box>(i), i);
    return;
  }

  if (n >= 2) {
    joinInto(out.dateTime, text(0), " ", text(1));
    put(kText3, out.dateTime);
    joinInto(out.recordKey, text(0), ",", text(1));
    out.hasRecordKey = true;
  }
  if (n < kLongLogLayoutFields) {
    putField(kText2, 2);
    putField(kText4, 4);
    put(kText5, {});
    putField(kText6, 8);
    putField(kText7, 3);
    putField(kText8, 5);
    putField(kText9, 9);
    return;
  }

  if (n > kMaxLogFields) {
    out.surplusFields = n - kMaxLogFields;
    out.surplusCall = text(4);
  }
  joinInto(out.band, text(2), " ", text(3));
  put(kText5, out.band);
  putField(kText2, 4);
  putField(kText4, 6);
  putField(kText6, 12);
  putField(kText7, 5);
  putField(kText8, 7);
  if (text(10).empty()) {
    put(kText9, text(11));
  } else {
    joinInto(out.comment, text(11), " / ", text(10));
    put(kText9, out.comment);
  }
}

}  // namespace orvanta
