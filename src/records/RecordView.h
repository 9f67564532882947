#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvanta {

// What one record line puts into the eight field boxes Text2 to Text9, worked
// out without a window. Texts are the raw bytes of the line; the form decodes
// them for display.
struct RecordView {
  static constexpr std::size_t kBoxes = 8;
  // Text2 .. Text9 in this order. A box without a value is not written and
  // keeps the text it had: its field is missing from the line. Stepping over
  // empty lines relies on that.
  std::array<std::optional<std::string>, kBoxes> boxes;
  // For a log record: field 0 "," field 1 (date and time of the contact).
  std::optional<std::string> recordKey;
  // For a log line of more than 17 fields: how many fields it has beyond 17,
  // and its call field (field 4), for the "too many separators" message.
  std::size_t surplusFields = 0;
  std::string surplusCall;
};

// WSJT-X writes 13 fields a contact up to version 2.2, 14 from 2.3, 16 and
// then 17 from 3.0. Lines up to that length are regular contacts.
inline constexpr std::size_t kLongLogLayoutFields = 13;
inline constexpr std::size_t kMaxLogFields = 17;

// Name of the box that shows view box i (0 -> "Text2").
std::string_view RecordViewBoxName(std::size_t index);

// True when a field is a placeholder ("Feld", exactly so capitalised) that the
// view shows empty.
bool IsPlaceholderField(std::string_view field);

// Maps the field list of a line (as NormalizeRecord returns it) to the boxes.
// dbKind "user" selects the user layout, anything else the log layouts: the
// short one for up to 12 fields, the long one for 13 or more. Consumes the
// fields.
RecordView MakeRecordView(std::vector<std::string> fields, std::string_view dbKind);

}  // namespace orvanta
