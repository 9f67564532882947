#include "records/RecordView.h"

#include <utility>

namespace orvanta {
namespace {

// Box positions in RecordView::boxes.
enum Box : std::size_t { kText2, kText3, kText4, kText5, kText6, kText7, kText8, kText9 };

std::string joined(const std::string& a, std::string_view between, const std::string& b) {
  std::string out;
  out.reserve(a.size() + between.size() + b.size());
  out += a;
  out += between;
  out += b;
  return out;
}

}  // namespace

std::string_view RecordViewBoxName(std::size_t index) {
  static constexpr std::string_view kNames[RecordView::kBoxes] = {"Text2", "Text3", "Text4", "Text5",
                                                                  "Text6", "Text7", "Text8", "Text9"};
  return index < RecordView::kBoxes ? kNames[index] : std::string_view{};
}

bool IsPlaceholderField(std::string_view field) { return field.find("Feld") != std::string_view::npos; }

RecordView MakeRecordView(std::vector<std::string> fields, std::string_view dbKind) {
  RecordView view;
  for (auto& field : fields) {
    if (IsPlaceholderField(field)) field.clear();
  }
  const std::size_t n = fields.size();
  // An empty line writes nothing at all.
  if (n == 0) return view;
  auto field = [&](std::size_t i) -> std::optional<std::string> {
    if (i < n) return std::move(fields[i]);
    return std::nullopt;
  };

  if (dbKind == "user") {
    // NormalizeRecord leaves at most eight fields; a ninth would have no box.
    for (std::size_t i = 0; i < RecordView::kBoxes; ++i) view.boxes[i] = field(i);
    return view;
  }

  // Date and time are read by two boxes and the record key, so they are
  // copied, not moved.
  if (n >= 2) {
    view.boxes[kText3] = joined(fields[0], " ", fields[1]);
    view.recordKey = joined(fields[0], ",", fields[1]);
  }
  if (n < kLongLogLayoutFields) {
    view.boxes[kText2] = field(2);
    view.boxes[kText4] = field(4);
    view.boxes[kText5] = std::string();
    view.boxes[kText6] = field(8);
    view.boxes[kText7] = field(3);
    view.boxes[kText8] = field(5);
    view.boxes[kText9] = field(9);
    return view;
  }

  if (n > kMaxLogFields) {
    view.surplusFields = n - kMaxLogFields;
    view.surplusCall = fields[4];
  }
  view.boxes[kText5] = joined(fields[2], " ", fields[3]);
  view.boxes[kText2] = field(4);
  view.boxes[kText4] = field(6);
  view.boxes[kText6] = field(12);
  view.boxes[kText7] = field(5);
  view.boxes[kText8] = field(7);
  std::string comment = std::move(fields[11]);
  if (!fields[10].empty()) {
    comment += " / ";
    comment += fields[10];
  }
  view.boxes[kText9] = std::move(comment);
  return view;
}

}  // namespace orvanta
