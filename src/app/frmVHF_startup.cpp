// Start-up, the window height rule and shutdown: the form's first and last
// events. Every step here runs by itself: a step that fails is skipped without
// a message and the next one runs, so a broken settings store or an unreadable
// database never keeps the window from opening or closing.

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/frmVHF.h"
#include "platform/Paths.h"
#include "records/Adif.h"
#include "records/Text.h"
#include "ui/MessageTexts.h"
#include "ui/WindowDescription.h"

namespace orvanta {
namespace {

// Outer width of the window as designed (client area plus frame), used to
// bring a window that lies off every screen fully onto the primary one.
constexpr int kDesignWidth = 8352;

template <typename Step>
void skipOnFailure(Step&& step) noexcept {
  try {
    step();
  } catch (...) {
    // Deliberately silent: start-up and shutdown go on with the next step.
  }
}

// A stored edge in twips: the decimal text of a number, blanks around it
// allowed. Anything else (or a value no window could have) gives nothing, and
// that edge of the window stays where it is.
std::optional<int> parseTwips(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty()) return std::nullopt;
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc{} || end != text.data() + text.size() || !std::isfinite(value)) return std::nullopt;
  constexpr double kLimit = 1e9;
  if (value > kLimit || value < -kLimit) return std::nullopt;
  return static_cast<int>(std::lround(value));
}

bool lies(int value, int start, int length) { return value >= start && value < start + length; }

// A window whose top-left corner lies on no screen (a monitor that has been
// unplugged, a resolution that shrank) would open where the operator cannot
// reach it; it is brought onto the primary screen, as close to where it was
// as the screen allows. A corner on any screen stays exactly as stored.
void keepOnScreen(IWindow& window) {
  const std::vector<TwipRect> screens = window.screens();
  if (screens.empty()) return;
  const int left = window.left();
  const int top = window.top();
  for (const TwipRect& s : screens) {
    if (lies(left, s.left, s.width) && lies(top, s.top, s.height)) return;
  }
  const TwipRect& primary = screens.front();
  const int maxLeft = primary.left + std::max(0, primary.width - kDesignWidth);
  const int maxTop = primary.top + std::max(0, primary.height - kOuterHeightTwips);
  const int newLeft = std::clamp(left, primary.left, maxLeft);
  const int newTop = std::clamp(top, primary.top, maxTop);
  if (newTop != top) window.setTop(newTop);
  if (newLeft != left) window.setLeft(newLeft);
}

struct FirstLine {
  std::string line;
  Encoding encoding = Encoding::Windows1252;
};

// The first line of a database, in its own encoding. Nothing after its line
// end is read, and a first line too long to hold (a file without line ends,
// chosen by mistake) is refused like an unreadable file.
FirstLine readFirstLine(const IFileSystem& files, const std::string& path) {
  // An ADIF file shows its first record as a log line, never its header.
  auto file = openDatabaseLines(files, path);
  LineReader reader(*file, std::size_t{1} << 16, kLongestHeldLine);
  FirstLine result;
  if (reader.next(result.line)) result.encoding = lineEncoding(result.line);
  return result;
}

// The window where the last run left it, brought onto a screen.
void placeWindow(IWindow& window, ISettingsStore& settings) {
  skipOnFailure([&] {
    if (auto top = parseTwips(settings.read(kApplication, kSection, "Top", "1"))) window.setTop(*top);
  });
  skipOnFailure([&] {
    if (auto left = parseTwips(settings.read(kApplication, kSection, "Left", "1"))) window.setLeft(*left);
  });
  skipOnFailure([&] { keepOnScreen(window); });
}

}  // namespace

void frmVHF::Form_Load() {
  placeWindow(window_, settings_);

  SearchDirection = 0;
  NewLine = "\r\n";

  skipOnFailure([&] { window_.clearList(ctl::kCombo1); });
  skipOnFailure([&] { Language = settings_.read(kApplication, kSection, "Sprache", "de"); });

  std::string first;
  std::string second;
  skipOnFailure([&] { first = settings_.read(kApplication, kSection, "Database", ""); });
  skipOnFailure([&] { second = settings_.read(kApplication, kSection, "Database2", ""); });

  if (!first.empty()) {
    skipOnFailure([&] { applyKindRule(first); });
    skipOnFailure([&] { window_.addListItem(ctl::kCombo1, first); });
  }
  // The second database is listed as stored: no kind, no test for a
  // duplicate of the first.
  if (!second.empty()) skipOnFailure([&] { window_.addListItem(ctl::kCombo1, second); });
  const std::string given = listCommandLineFiles();
  if (!given.empty()) skipOnFailure([&] { applyKindRule(given); });

  skipOnFailure([&] { ApplyLanguage(); });
  skipOnFailure([&] { ClearFields(); });

  // Nothing remembered: offer the database and the log of the folder the
  // program was started in, else those of the first WSJT-X folder that has a
  // database. A log alone is not offered.
  // Files given on the command line say what to open: no folder is looked in.
  std::string current = given.empty() ? first : given;
  if (current.empty() && second.empty()) {
    skipOnFailure([&] { current = listFolderDatabases(files_.currentDirectory()); });
    // From the start folder the current database is the bare name, found
    // relative to it at activation; from elsewhere only the full path resolves.
    std::vector<std::string> folders;
    if (current.empty()) skipOnFailure([&] { folders = dataFolders(); });
    for (const std::string& folder : folders) {
      skipOnFailure([&] {
        const std::string name = listFolderDatabases(folder);
        if (!name.empty()) current = pathIn(folder, name);
      });
      if (!current.empty()) break;
    }
  }

  if (!current.empty()) {
    DbPath = current;
    skipOnFailure([&] { window_.setText(ctl::kCombo1, current); });
  }
  skipOnFailure([&] { resumeFollowing(); });
}

std::vector<std::string> frmVHF::dataFolders() const {
  if (environment_ == nullptr) return {};
  return wsjtxDataFolders(*environment_, files_);
}

std::string frmVHF::listCommandLineFiles() {
  std::string first;
  for (const std::string& file : CommandLineFiles) {
    if (file.empty()) continue;
    std::string path = file;
    skipOnFailure([&] {
      if (!isAbsolute(path)) path = pathIn(files_.currentDirectory(), path);
      path = std::filesystem::path(path).lexically_normal().string();
      const std::vector<std::string> listed = window_.listItems(ctl::kCombo1);
      if (std::find(listed.begin(), listed.end(), path) == listed.end())
        window_.addListItem(ctl::kCombo1, path);
    });
    if (first.empty()) first = path;
  }
  return first;
}

std::string frmVHF::listFolderDatabases(const std::string& folder) {
  std::string callName = files_.findFirst(pathIn(folder, "call3.txt")).value_or("");
  if (callName.empty()) return {};
  std::string logName;
  // WSJT-X's own log first, so that another log of the folder is not taken
  // by the chance of the directory's order.
  skipOnFailure([&] {
    logName = files_.findFirst(pathIn(folder, "wsjtx.log")).value_or("");
    if (logName.empty()) logName = files_.findFirst(pathIn(folder, "*.log")).value_or("");
  });
  window_.addListItem(ctl::kCombo1, pathIn(folder, callName));
  if (!logName.empty()) window_.addListItem(ctl::kCombo1, pathIn(folder, logName));
  return callName;
}

std::string frmVHF::openDialogFolder(const std::vector<std::string>& folders) const {
  const std::string current = window_.text(ctl::kCombo1);
  const std::string start = files_.currentDirectory();
  if (!current.empty()) {
    std::string folder = hasFolder(current) ? folderOf(current) : start;
    if (!isAbsolute(folder)) folder = pathIn(start, folder);
    if (files_.exists(folder)) return folder;
  }
  return folders.empty() ? start : folders.front();
}

void frmVHF::Form_Resize() {
  skipOnFailure([&] {
    if (window_.state() != WindowState::Normal) return;
    if (window_.height() != kOuterHeightTwips) window_.setHeight(kOuterHeightTwips);
  });
}

void frmVHF::Form_Activate() {
  std::string path;
  skipOnFailure([&] { path = window_.text(ctl::kCombo1); });
  skipOnFailure([&] { window_.setText(ctl::kText10, ""); });
  LastFieldIndex = 7;
  FieldSeparator = ",";

  bool found = false;
  skipOnFailure([&] { found = FileExists(path); });  // a path that cannot be examined counts as missing

  if (found) {
    DbPath = path;
    skipOnFailure([&] { applyKindRule(DbPath); });
    skipOnFailure([&] { ApplyLanguage(); });
    // A database that cannot be read shows as an empty first line, silently.
    FirstLine first;
    skipOnFailure([&] { first = readFirstLine(files_, path); });
    skipOnFailure([&] { ShowRecord(first.line, first.encoding); });
    // The steps through a log go on from its first contact.
    skipOnFailure([&] { rememberShownLine(path, 1); });
    return;
  }

  skipOnFailure([&] { ClearFields(); });
  SearchDirection = 0;
  if (path.empty()) path = "call*.txt";
  // Shown as the operator can find it: a relative path under the start
  // folder, an absolute one as it stands.
  std::string shown = path;
  if (!isAbsolute(path)) {
    std::string dir;
    skipOnFailure([&] { dir = files_.currentDirectory(); });
    shown = pathIn(dir, path);
  }
  skipOnFailure([&] {
    messages_.show(say(texts::kStartNotFound, {shown}), say(texts::kStartNotFoundTitle),
                   MessageIcon::Information, MessageButtons::Ok);
  });
  skipOnFailure([&] { window_.setFocus(ctl::kCombo1); });
}

void frmVHF::Form_Unload() {
  // No colour of this run stays in WSJT-X.
  skipOnFailure([&] { clearHighlights(); });
  skipOnFailure([&] { settings_.write(kApplication, kSection, "Top", std::to_string(window_.top())); });
  skipOnFailure([&] { settings_.write(kApplication, kSection, "Left", std::to_string(window_.left())); });

  std::string current;
  skipOnFailure([&] { current = window_.text(ctl::kCombo1); });

  // Only a current "call3.txt" or log database is remembered, with the last
  // listed database of the other kind beside it. An ADIF log counts as the
  // log when it is current, or when no "wsjtx.log" is listed.
  std::string callEntry;
  std::string logEntry;
  skipOnFailure([&] {
    std::string adifEntry;
    bool currentListed = false;
    for (const std::string& entry : window_.listItems(ctl::kCombo1)) {
      const std::string lower = lowerAscii(entry);
      if (contains(lower, "call3.txt")) callEntry = entry;
      if (contains(lower, "wsjtx.log")) logEntry = entry;
      if (isAdifPath(entry)) adifEntry = entry;
      currentListed = currentListed || entry == current;
    }
    if (currentListed && isAdifPath(current)) {
      logEntry = current;
    } else if (logEntry.empty()) {
      logEntry = adifEntry;
    }
  });

  std::string database;
  std::string database2;
  if (callEntry == current) {
    database = callEntry;
    database2 = logEntry;
  } else if (logEntry == current) {
    database = logEntry;
    database2 = callEntry;
  }
  skipOnFailure([&] { settings_.write(kApplication, kSection, "Database", database); });
  skipOnFailure([&] { settings_.write(kApplication, kSection, "Database2", database2); });
  skipOnFailure([&] { settings_.write(kApplication, kSection, "Sprache", Language); });
}

// Closing the window reports Unload, which writes the settings; the program
// ends with its only window.
void frmVHF::mnuEnde_Click() {
  skipOnFailure([&] { window_.close(); });
}

}  // namespace orvanta
