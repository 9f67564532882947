#include "records/NormalizeRecord.h"

#include "records/Text.h"

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace orvanta {
namespace {

constexpr std::size_t kRegularFields = 8;  // fields 0 to 7 of a regular user record
constexpr std::size_t kDateField = 7;
constexpr std::size_t kSurplusField = 6;  // gathers the surplus text of over-long records

bool holdsDate(std::string_view field) { return field.find('/') != std::string_view::npos; }

// Calls add(field) for every field of a non-empty line, in order.
template <typename Add>
void forEachField(std::string_view line, std::string_view separator, Add add) {
  if (separator.empty()) {
    add(line);
    return;
  }
  if (separator.size() == 1) {
    // Fields are short and of any length, so looking at every byte, or a
    // memchr call for every field, mostly pays for branches. Eight bytes at
    // a time: a word's separators become high bits (exactly, no false hits)
    // that are then taken lowest first, which is the first in the line on a
    // little-endian machine.
    const char sep = separator[0];
    const char* const data = line.data();
    const std::size_t size = line.size();
    std::size_t start = 0;
    std::size_t i = 0;
    if constexpr (std::endian::native == std::endian::little) {
      constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7FULL;
      const std::uint64_t pattern = 0x0101010101010101ULL * static_cast<unsigned char>(sep);
      for (; i + 8 <= size; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, data + i, 8);
        word ^= pattern;  // a separator byte is now zero
        std::uint64_t zeros = ~(((word & kLow7) + kLow7) | word | kLow7);
        while (zeros != 0) {
          const std::size_t pos = i + static_cast<std::size_t>(std::countr_zero(zeros)) / 8;
          add(std::string_view(data + start, pos - start));
          start = pos + 1;
          zeros &= zeros - 1;
        }
      }
    }
    for (; i < size; ++i) {
      if (data[i] != sep) continue;
      add(std::string_view(data + start, i - start));
      start = i + 1;
    }
    add(std::string_view(data + start, size - start));
    return;
  }
  std::size_t start = 0;
  for (;;) {
    const std::size_t pos = line.find(separator, start);
    if (pos == std::string_view::npos) {
      add(line.substr(start));
      return;
    }
    add(line.substr(start, pos - start));
    start = pos + separator.size();
  }
}

// Three to seven fields: the update date becomes field 7. Rewrites the line
// only; the caller splits it again.
void normalizeShort(std::string& line, std::string_view lastField, std::size_t fieldCount,
                    std::string_view date, std::string_view separator) {
  const std::size_t u = fieldCount - 1;  // index of the last field, 2 to 6
  std::string ownDate;
  std::string_view d = date;
  if (holdsDate(lastField)) {
    // The record's own date; the line keeps the separator before it.
    ownDate.assign(lastField);
    line.resize(line.size() - ownDate.size());
    d = ownDate;
  }
  // A line end carried in by a caller is not part of the record.
  if (line.ends_with("\r\n")) line.resize(line.size() - 2);
  const std::size_t separators = kDateField - u;
  line.reserve(line.size() + separators * separator.size() + d.size());
  for (std::size_t i = 0; i < separators; ++i) line += separator;
  line += d;
}

// Nine or more fields: folds the surplus from the last field down to field 7
// into field 6 (texts) and field 7 (a date) and rewrites the line from the
// eight fields left.
void foldSurplus(std::string& line, const std::vector<std::string_view>& fields, std::string_view separator) {
  std::string surplus(fields[kSurplusField]);
  std::string_view field7 = fields[kDateField];
  for (std::size_t i = fields.size() - 1; i >= kDateField; --i) {
    const std::string_view field = i == kDateField ? field7 : fields[i];
    if (holdsDate(field)) {
      field7 = field;
      continue;
    }
    const std::string_view text = trimBlanks(field);
    if (text.empty()) continue;
    if (!surplus.empty()) surplus += ' ';
    surplus += text;
  }
  std::string out;
  out.reserve(line.size() + surplus.size());
  for (std::size_t i = 0; i < kSurplusField; ++i) {
    out += fields[i];
    out += separator;
  }
  out += surplus;
  out += separator;
  out += field7;
  line = std::move(out);
}

}  // namespace

std::vector<std::string> splitFields(std::string_view line, std::string_view separator) {
  std::vector<std::string> fields;
  if (line.empty()) return fields;
  // Room for a regular record and its date; longer lines grow as they go.
  fields.reserve(9);
  forEachField(line, separator, [&](std::string_view field) { fields.emplace_back(field); });
  return fields;
}

void splitFieldViews(std::string_view line, std::string_view separator,
                     std::vector<std::string_view>& fields) {
  fields.clear();
  if (line.empty()) return;
  forEachField(line, separator, [&](std::string_view field) { fields.push_back(field); });
}

void normalizeRecordFields(std::string& line, std::string_view date, std::string_view dbKind,
                           std::string& fieldSeparator, std::vector<std::string_view>& fields) {
  if (dbKind == "log") {
    fieldSeparator.assign(1, ',');  // (not = ",": GCC 12 warns falsely about that at -O3)
    splitFieldViews(line, fieldSeparator, fields);
    return;
  }
  splitFieldViews(line, fieldSeparator, fields);
  if (dbKind != "user" || fields.size() < 3) return;

  const std::string_view separator = fieldSeparator;
  const std::string_view d = date.empty() ? kDefaultUpdateDate : date;

  if (fields.size() < kRegularFields) {
    normalizeShort(line, fields.back(), fields.size(), d, separator);
  } else if (fields.size() == kRegularFields) {
    const std::string_view field7 = fields[kDateField];
    if (holdsDate(field7)) return;  // a date already present is never replaced
    line.resize(line.size() - field7.size());
    line += d;
  } else {
    foldSurplus(line, fields, separator);
  }
  // The line was rewritten: its fields are those of the new line.
  splitFieldViews(line, separator, fields);
}

std::vector<std::string> NormalizeRecord(std::string& line, std::string_view date, std::string_view dbKind,
                                         std::string& fieldSeparator) {
  std::vector<std::string_view> views;
  normalizeRecordFields(line, date, dbKind, fieldSeparator, views);
  return {views.begin(), views.end()};
}

bool isMergeTerminator(std::string_view line, std::string_view separator) {
  constexpr std::string_view kTerminator = "ZZZZZZ";
  if (!line.starts_with(kTerminator)) return false;
  const std::string_view rest = line.substr(kTerminator.size());
  return rest.empty() || (!separator.empty() && rest.starts_with(separator));
}

}  // namespace orvanta
