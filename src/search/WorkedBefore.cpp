#include "search/WorkedBefore.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <memory>

#include "records/Adif.h"
#include "records/NormalizeRecord.h"
#include "records/Text.h"
#include "records/TextFile.h"
#include "search/ScanInput.h"
#include "search/SearchScan.h"

namespace orvanta {
namespace {

std::optional<double> parseMHz(std::string_view text) {
  text = trimBlanks(text);
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc{} || end != text.data() + text.size()) return std::nullopt;
  return value;
}

// Date and time to the minute, digits only, so that "2020-01-01,12:50:13"
// and "20200101,1250" are one contact.
std::string minuteKey(std::string_view date, std::string_view time) {
  std::string key;
  for (const char c : date) {
    if (c >= '0' && c <= '9') key.push_back(c);
  }
  key.push_back(' ');
  std::size_t digits = 0;
  for (const char c : time) {
    if (c >= '0' && c <= '9' && digits++ < 4) key.push_back(c);
  }
  return key;
}

}  // namespace

const std::vector<AmateurBand>& adifBands() {
  static const std::vector<AmateurBand> bands = {
      {"2190m", 0.1357, 0.1378},   {"630m", 0.472, 0.479},      {"560m", 0.501, 0.504},
      {"160m", 1.8, 2.0},          {"80m", 3.5, 4.0},           {"60m", 5.06, 5.45},
      {"40m", 7.0, 7.3},           {"30m", 10.1, 10.15},        {"20m", 14.0, 14.35},
      {"17m", 18.068, 18.168},     {"15m", 21.0, 21.45},        {"12m", 24.89, 24.99},
      {"10m", 28.0, 29.7},         {"8m", 40.0, 45.0},          {"6m", 50.0, 54.0},
      {"5m", 54.000001, 69.9},     {"4m", 70.0, 71.0},          {"2m", 144.0, 148.0},
      {"1.25m", 222.0, 225.0},     {"70cm", 420.0, 450.0},      {"33cm", 902.0, 928.0},
      {"23cm", 1240.0, 1300.0},    {"13cm", 2300.0, 2450.0},    {"9cm", 3300.0, 3500.0},
      {"6cm", 5650.0, 5925.0},     {"3cm", 10000.0, 10500.0},   {"1.25cm", 24000.0, 24250.0},
      {"6mm", 47000.0, 47200.0},   {"4mm", 75500.0, 81000.0},   {"2.5mm", 119980.0, 123000.0},
      {"2mm", 134000.0, 149000.0}, {"1mm", 241000.0, 250000.0},
  };
  return bands;
}

std::optional<std::size_t> bandOfFrequency(double mhz) {
  const auto& bands = adifBands();
  for (std::size_t i = 0; i < bands.size(); ++i) {
    if (mhz >= bands[i].lowMHz && mhz <= bands[i].highMHz) return i;
  }
  return std::nullopt;
}

std::optional<std::size_t> bandNamed(std::string_view name) {
  const std::string lower = lowerAscii(trimBlanks(name));
  const auto& bands = adifBands();
  for (std::size_t i = 0; i < bands.size(); ++i) {
    if (bands[i].name == lower) return i;
  }
  return std::nullopt;
}

std::string_view baseCall(std::string_view call) {
  std::string_view longest;
  for (std::size_t start = 0; start <= call.size();) {
    const std::size_t stop = std::min(call.find('/', start), call.size());
    if (stop - start > longest.size()) longest = call.substr(start, stop - start);
    start = stop + 1;
  }
  return longest;
}

std::optional<WorkedContact> contactOfLogLine(std::string_view line, std::string_view adifBand) {
  // Only fields 0 to 7 are ever read; the rest are only counted, for the layout.
  std::array<std::string_view, 8> fields;
  std::size_t count = 0;
  for (std::size_t start = 0;; ++count) {
    const std::size_t comma = std::min(line.find(',', start), line.size());
    if (count < fields.size()) fields[count] = line.substr(start, comma - start);
    if (comma == line.size()) break;
    start = comma + 1;
  }
  ++count;
  const std::size_t first = count >= 13 ? 4 : 2;
  if (count <= first) return std::nullopt;
  const auto field = [&](std::size_t i) { return i < count ? fields[i] : std::string_view(); };
  WorkedContact contact;
  contact.call = trimBlanks(field(first));
  contact.date = field(0);
  contact.time = field(1);
  contact.grid = upperAscii(trimBlanks(field(first + 1)));
  contact.mode = upperAscii(trimBlanks(field(first + 3)));
  contact.band = bandNamed(adifBand);
  if (!contact.band) {
    if (const auto mhz = parseMHz(field(first + 2))) contact.band = bandOfFrequency(*mhz);
  }
  return contact;
}

std::string contactIdentity(const WorkedContact& contact) {
  const std::string band = contact.band ? std::to_string(*contact.band) : "?";
  return contact.call + '\x1F' + minuteKey(contact.date, contact.time) + '\x1F' + band;
}

// ---- WorkedBeforeCount ----

WorkedBeforeCount::WorkedBeforeCount(std::string_view call, bool baseCalls)
    : call_(upperAscii(trimBlanks(call))),
      wanted_(baseCalls ? baseCall(call_) : call_),
      baseCalls_(baseCalls),
      finder_(isAscii(wanted_) ? wanted_ : std::string()) {}

bool WorkedBeforeCount::mayMatch(std::string_view line) const {
  const char* const end = line.data() + line.size();
  return finder_.empty() || finder_.find(line.data(), end) != end;
}

void WorkedBeforeCount::Span::add(const WorkedContact& contact) {
  ++cell.count;
  const std::string order = contact.date + ' ' + contact.time;
  if (cell.count == 1 || order < firstKey) {
    firstKey = order;
    cell.first = contact.date;
  }
  if (cell.count == 1 || order > lastKey) {
    lastKey = order;
    cell.last = contact.date;
  }
}

void WorkedBeforeCount::addLine(std::string_view line, std::string_view adifBand) {
  if (!mayMatch(line)) return;
  if (const auto contact = contactOfLogLine(line, adifBand)) add(*contact);
}

void WorkedBeforeCount::add(const WorkedContact& contact) {
  std::string call = upperAscii(contact.call);
  if (baseCalls_) call = std::string(baseCall(call));
  if (call.empty() || call != wanted_) return;
  if (!seen_.insert(contactIdentity(contact)).second) return;
  Slot& slot = slots_[contact.band.value_or(adifBands().size())];
  slot.modes[contact.mode.empty() ? "?" : contact.mode].add(contact);
  slot.all.add(contact);
  if (!contact.grid.empty()) slot.grids.insert(contact.grid);
  ++total_;
}

// The call of a counted record stands in its values as written, so the
// records whose values do not hold it are walked over, not read.
void WorkedBeforeCount::addAdif(IInputFile& file) {
  AdifReader reader(file);
  AdifRecord record;
  std::string line;
  const RawTextFilter filter = finder_.empty() ? RawTextFilter{} : anchorFilter(wanted_);
  WalkedRecord walked;
  bool more = reader.next(record);
  while (more) {
    if (mayMatch(record[AdifField::Call])) {
      line.clear();
      appendLogLine(record, line);
      if (const auto contact = contactOfLogLine(line, record[AdifField::Band])) add(*contact);
    }
    if (filter.length == 0) {
      more = reader.next(record);
      continue;
    }
    more = false;
    while (!more && reader.walk(filter, walked)) more = walked.holdsText && reader.readWalked(record);
  }
}

void WorkedBeforeCount::addLog(const IFileSystem& files, const std::string& path) {
  try {
    auto file = files.openRead(path);
    if (isAdifPath(path)) {
      addAdif(*file);
      return;
    }
    LineReader reader(*file);
    std::string_view line;
    while (reader.next(line)) addLine(line);
  } catch (const FileError& e) {
    unreadable_.emplace_back(path, e.reason());
  }
}

WorkedSummary WorkedBeforeCount::summary() const {
  WorkedSummary summary;
  summary.call = call_;
  summary.total = total_;
  summary.unreadable = unreadable_;
  std::set<std::string> modes;
  for (const auto& [band, slot] : slots_) {
    WorkedRow row;
    row.band = band < adifBands().size() ? std::string(adifBands()[band].name) : "?";
    for (const auto& [mode, span] : slot.modes) {
      row.modes.emplace(mode, span.cell);
      modes.insert(mode);
    }
    row.first = slot.all.cell.first;
    row.last = slot.all.cell.last;
    row.grids = slot.grids;
    summary.rows.push_back(std::move(row));
  }
  summary.modes.assign(modes.begin(), modes.end());
  return summary;
}

std::string workedBeforeText(const WorkedSummary& summary) {
  std::string text;
  for (const auto& row : summary.rows) {
    for (const auto& [mode, cell] : row.modes) {
      text += row.band + ' ' + mode + ' ' + std::to_string(cell.count) + ' ' + cell.first + ' ' + cell.last +
              '\n';
    }
  }
  text += "total " + std::to_string(summary.total) + '\n';
  return text;
}

}  // namespace orvanta
