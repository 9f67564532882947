#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace orvanta {

// The eight field boxes Text2 to Text9 that one record line fills.
inline constexpr std::size_t kRecordBoxes = 8;

// What one record line puts into the field boxes, worked out without a
// window, without copying its fields: each box is a view into the fields passed to FillRecordBoxes or into
// the buffers here that hold the joined boxes. Hence not copyable; the buffers keep their room from record to
// record.
struct RecordBoxes {
  RecordBoxes() = default;
  RecordBoxes(const RecordBoxes&) = delete;
  RecordBoxes& operator=(const RecordBoxes&) = delete;

  // Text2 .. Text9; a box with written[i] false is not written (box(i) is
  // empty then).
  std::array<bool, kRecordBoxes> written{};
  [[nodiscard]] std::string_view box(std::size_t i) const {
    return written[i] ? std::string_view(boxData_[i], boxSize_[i]) : std::string_view();
  }
  void put(std::size_t i, std::string_view text) {
    boxData_[i] = text.data();
    boxSize_[i] = text.size();
    written[i] = true;
  }

  bool hasRecordKey = false;
  std::string recordKey;
  std::size_t surplusFields = 0;
  std::string_view surplusCall;
  // Date and time, band, comment of the log layouts.
  std::string dateTime, band, comment;

 private:
  // Left uninitialised on purpose: a search fills a RecordBoxes for every
  // hit, and clearing eight views each time costs more than the rest of
  // filling them. Only boxes marked written are read.
  std::array<const char*, kRecordBoxes> boxData_;
  std::array<std::size_t, kRecordBoxes> boxSize_;
};

// WSJT-X writes 13 fields a contact up to version 2.2, 14 from 2.3, 16 and
// then 17 from 3.0. Lines up to that length are regular contacts.
inline constexpr std::size_t kLongLogLayoutFields = 13;
inline constexpr std::size_t kMaxLogFields = 17;

// Name of the box that shows view box i (0 -> "Text2").
std::string_view recordViewBoxName(std::size_t index);

// True when a field is a placeholder ("Feld", exactly so capitalised) that the
// view shows empty.
bool isPlaceholderField(std::string_view field);

// Maps the fields of a line (as NormalizeRecordFields gives them) to the
// boxes. dbKind "user" selects the user layout, anything else the log layouts:
// the short one for up to 12 fields, the long one for 13 or more. Texts are
// the raw bytes of the line; the form decodes them for display. A box not
// written keeps the text it had: its field is missing from the line, and
// stepping over empty lines relies on that. The fields must outlive the use
// of `out`.
void fillRecordBoxes(std::span<const std::string_view> fields, std::string_view dbKind, RecordBoxes& out);

}  // namespace orvanta
