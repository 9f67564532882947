#include "records/NormalizeRecord.h"

#include <cstddef>

namespace orvanta {
namespace {

constexpr std::size_t kRegularFields = 8;  // fields 0 to 7 of a regular user record
constexpr std::size_t kDateField = 7;
constexpr std::size_t kSurplusField = 6;  // gathers the surplus text of over-long records

bool holdsDate(std::string_view field) { return field.find('/') != std::string_view::npos; }

std::string_view trimBlanks(std::string_view text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  const std::size_t last = text.find_last_not_of(' ');
  return text.substr(first, last - first + 1);
}

std::size_t findSeparator(std::string_view line, std::string_view separator, std::size_t from) {
  return separator.size() == 1 ? line.find(separator[0], from) : line.find(separator, from);
}

// With a one-character separator, joining fields that hold no separator and
// splitting the result again gives the same fields, so the list built beside
// the line can be kept. Anything else is split again from the line itself.
bool listMatchesLine(std::string_view separator, std::string_view addedText) {
  return separator.size() == 1 && addedText.find(separator[0]) == std::string_view::npos;
}

// Three to seven fields: the update date becomes field 7.
void normalizeShort(std::string& line, std::vector<std::string>& fields, std::string_view date,
                    std::string_view separator) {
  const std::size_t u = fields.size() - 1;  // index of the last stored field, 2 to 6
  std::string ownDate;
  std::string_view d = date;
  if (holdsDate(fields[u])) {
    // The record's own date; the line keeps the separator before it.
    ownDate = std::move(fields[u]);
    fields.pop_back();
    line.resize(line.size() - ownDate.size());
    d = ownDate;
  }
  // A line end carried in by a caller is not part of the record.
  bool cut = false;
  if (line.ends_with("\r\n")) {
    line.resize(line.size() - 2);
    cut = true;
  }
  const std::size_t separators = kDateField - u;
  line.reserve(line.size() + separators * separator.size() + d.size());
  for (std::size_t i = 0; i < separators; ++i) line += separator;
  line += d;
  if (cut || !listMatchesLine(separator, d)) {
    fields = SplitFields(line, separator);
    return;
  }
  fields.resize(kDateField);
  fields.emplace_back(d);
}

}  // namespace

std::vector<std::string> SplitFields(std::string_view line, std::string_view separator) {
  std::vector<std::string> fields;
  if (line.empty()) return fields;
  if (separator.empty()) {
    fields.emplace_back(line);
    return fields;
  }
  // Room for a regular record and its date; longer lines grow as they go.
  fields.reserve(9);
  std::size_t start = 0;
  for (;;) {
    const std::size_t pos = findSeparator(line, separator, start);
    if (pos == std::string_view::npos) {
      fields.emplace_back(line.substr(start));
      return fields;
    }
    fields.emplace_back(line.substr(start, pos - start));
    start = pos + separator.size();
  }
}

std::string JoinFields(const std::vector<std::string>& fields, std::string_view separator) {
  std::size_t size = 0;
  for (const auto& f : fields) size += f.size() + separator.size();
  std::string out;
  out.reserve(size);
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) out += separator;
    out += fields[i];
  }
  return out;
}

std::vector<std::string> NormalizeRecord(std::string& line, std::string_view date, std::string_view dbKind,
                                         std::string& fieldSeparator, int lastFieldIndex) {
  if (dbKind == "log") {
    fieldSeparator.assign(1, ',');  // (not = ",": GCC 12 warns falsely about that at -O3)
    return SplitFields(line, fieldSeparator);
  }
  std::vector<std::string> fields = SplitFields(line, fieldSeparator);
  if (dbKind != "user" || fields.size() < 3) return fields;

  const std::string_view separator = fieldSeparator;
  const std::string_view d = date.empty() ? kDefaultUpdateDate : date;

  if (fields.size() < kRegularFields) {
    normalizeShort(line, fields, d, separator);
    return fields;
  }

  if (fields.size() == kRegularFields) {
    std::string& field7 = fields[kDateField];
    if (holdsDate(field7)) return fields;  // a date already present is never replaced
    line.resize(line.size() - field7.size());
    line += d;
    if (!listMatchesLine(separator, d)) return SplitFields(line, separator);
    field7.assign(d);
    return fields;
  }

  // Nine or more fields: fold the surplus from the last field down to field 7.
  // The regular record always ends at field 7; a LastFieldIndex of any other
  // value (0 before the window is first activated) would lose or double
  // fields, so the fold ends at field 7 then as well.
  (void)lastFieldIndex;
  for (std::size_t i = fields.size() - 1; i >= kDateField; --i) {
    if (holdsDate(fields[i])) {
      if (i != kDateField) fields[kDateField] = std::move(fields[i]);
      continue;
    }
    const std::string_view text = trimBlanks(fields[i]);
    if (text.empty()) continue;
    std::string& surplus = fields[kSurplusField];
    if (!surplus.empty()) surplus += ' ';
    surplus += text;
  }
  fields.resize(kRegularFields);
  line = JoinFields(fields, separator);
  if (!listMatchesLine(separator, fields[kSurplusField])) return SplitFields(line, separator);
  return fields;
}

bool IsMergeTerminator(std::string_view line, std::string_view separator) {
  constexpr std::string_view kTerminator = "ZZZZZZ";
  if (!line.starts_with(kTerminator)) return false;
  const std::string_view rest = line.substr(kTerminator.size());
  return rest.empty() || (!separator.empty() && rest.starts_with(separator));
}

}  // namespace orvanta
