// Following WSJT-X: the DX call of its Status shown at once, the station
// window kept current, logged contacts counted once and, when asked, taken
// over into the user database.

#include <algorithm>
#include <array>
#include <charconv>
#include <memory>
#include <string>
#include <vector>

#include "app/frmVHF.h"
#include "link/Locator.h"
#include "maintenance/Merge.h"
#include "maintenance/SafeFiles.h"
#include "maintenance/TakeOver.h"
#include "platform/Paths.h"
#include "records/Text.h"
#include "search/ScanInput.h"
#include "search/SearchScan.h"
#include "search/WorkedBefore.h"
#include "ui/MessageTexts.h"
#include "ui/WindowDescription.h"

namespace orvanta {
namespace {

// The hits of a scan for a call, kept instead of shown: in a user database
// the first record whose call is the call, in a log the last contact with it.
class StationFinder final : public ScanListener {
 public:
  StationFinder(std::string_view call, bool log, const IFileSystem& files, const std::string& path)
      : call_(call), log_(log), files_(files), path_(path) {}
  void show(std::string& line, Encoding encoding) override {
    if (!matches(line)) return;
    line_ = line;
    encoding_ = encoding;
    found_ = true;
  }
  bool searchFurther() override { return log_ || !found_; }
  std::unique_ptr<IInputFile> reopen() override { return openDatabaseLines(files_, path_); }

  [[nodiscard]] bool found() const { return found_; }
  std::string& line() { return line_; }
  [[nodiscard]] Encoding encoding() const { return encoding_; }

 private:
  // Equal, not contained: a search for Q1AB must not stop at Q1ABC.
  [[nodiscard]] bool matches(std::string_view line) const {
    if (log_) {
      const auto contact = contactOfLogLine(line);
      return contact && equalsIgnoringCase(trimBlanks(contact->call), call_);
    }
    return equalsIgnoringCase(trimBlanks(line.substr(0, line.find(','))), call_);
  }

  std::string_view call_;
  bool log_;
  const IFileSystem& files_;
  const std::string& path_;
  std::string line_;
  Encoding encoding_ = Encoding::Utf8;
  bool found_ = false;
};

std::optional<std::uint16_t> parsePort(std::string_view text, bool allowZero) {
  text = trimBlanks(text);
  unsigned value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc{} || end != text.data() + text.size() || value > 65535) return {};
  if (value == 0 && !allowZero) return {};
  return static_cast<std::uint16_t>(value);
}

// MyGrid of the [Configuration] group of a WSJT-X settings file.
std::string myGridIn(const IFileSystem& files, const std::string& path) {
  try {
    const auto file = files.openRead(path);
    LineReader reader(*file, 1 << 16, 1 << 20);
    std::string_view line;
    bool inGroup = false;
    while (reader.next(line)) {
      line = trimBlanks(line);
      if (!line.empty() && line.front() == '[') inGroup = line == "[Configuration]";
      if (inGroup && line.starts_with("MyGrid=")) return std::string(trimBlanks(line.substr(7)));
    }
  } catch (const FileError&) {
    // A settings file that cannot be read gives no locator.
  }
  return {};
}

}  // namespace

frmVHF::~frmVHF() {
  // The watcher may outlive the form; it must not call it any more.
  if (socketWatcher_ != nullptr && receiver_) socketWatcher_->unwatch();
}

std::string frmVHF::settingOr(const char* key, const char* fallback) const {
  try {
    return settings_.read(kApplication, kSection, key, fallback);
  } catch (const std::exception&) {
    return fallback;
  }
}

void frmVHF::mnuFollow_Click() {
  if (Following) {
    stopFollowing();
  } else {
    startFollowing();
  }
  try {
    settings_.write(kApplication, kSection, "Follow", Following ? "1" : "0");
  } catch (const std::exception&) {
    // Not remembered this time; following itself goes on.
  }
}

void frmVHF::startFollowing() {
  listenAddress_ = std::string(trimBlanks(settingOr("UdpAddress", "127.0.0.1")));
  listenPort_ = std::string(trimBlanks(settingOr("UdpPort", "2237")));
  listenError_.clear();
  // The colours set go back through the socket they came by.
  stopHighlighting();
  if (socketWatcher_ != nullptr) socketWatcher_->unwatch();
  receiver_.reset();
  follow_.reset();
  Following = true;
  window_.setChecked(ctl::kMnuFollow, true);
  const auto port = parsePort(listenPort_, true);
  try {
    if (!port) throw FileError(std::string(texts::kConnectionBadPort.in(isGerman())));
    receiver_ = listen_ ? listen_(listenAddress_, *port) : listenUdp(listenAddress_, *port);
    if (*port == 0) listenPort_ = std::to_string(receiver_->port());
    if (socketWatcher_ != nullptr)
      socketWatcher_->watch(receiver_->descriptor(), [this] { followReadable(); });
  } catch (const FileError& e) {
    listenError_ = e.what();
  }
  // The logs are read now, beside the window, so that the first DX call
  // shows without waiting for them.
  if (cacheLoader_.joinable()) cacheLoader_.join();
  cacheLoader_ = std::jthread([this, logs = listedLogs()] {
    try {
      contactCache_.refresh(files_, logs);
    } catch (...) {
      // Memory short: the first DX call reads the logs itself.
    }
  });
  wsjtxLocator_.reset();
  if (Highlighting) startHighlighting();
  refreshStation(true);
}

void frmVHF::stopFollowing() {
  stopHighlighting();
  if (socketWatcher_ != nullptr) socketWatcher_->unwatch();
  receiver_.reset();
  follow_.reset();
  if (cacheLoader_.joinable()) cacheLoader_.join();
  contactCache_ = link::ContactCache();
  Following = false;
  window_.setChecked(ctl::kMnuFollow, false);
  refreshStation(false);
}

void frmVHF::followReadable() {
  if (!receiver_) return;
  // A flood is read in rounds, so that the window stays responsive.
  for (int i = 0; i < 256; ++i) {
    auto datagram = receiver_->receive();
    if (!datagram) return;
    followDatagram(*datagram);
    if (!receiver_) return;
  }
}

FollowReport frmVHF::followDatagram(const Datagram& datagram) {
  FollowReport report;
  report.message = link::readMessage(datagram.bytes);
  followMessage(report);
  try {
    highlightDatagram(datagram, report);
  } catch (const std::exception& e) {
    stationNotice_ = e.what();
    refreshStation(false);
  }
  return report;
}

void frmVHF::followMessage(FollowReport& report) {
  try {
    if (const auto* ignored = std::get_if<link::Ignored>(&report.message)) {
      follow_.ignored(ignored->reason);
    } else if (const auto* heartbeat = std::get_if<link::Heartbeat>(&report.message)) {
      follow_.seen(heartbeat->id);
    } else if (const auto* status = std::get_if<link::Status>(&report.message)) {
      followStatus(*status, report);
      return;
    } else if (const auto* logged = std::get_if<link::QsoLogged>(&report.message)) {
      followLogged(link::contactOf(*logged), report);
    } else if (const auto* adif = std::get_if<link::LoggedAdif>(&report.message)) {
      followLogged(link::contactOf(*adif), report);
    } else if (const auto* close = std::get_if<link::Close>(&report.message)) {
      follow_.close(close->id);
    } else {
      return;  // a Decode changes nothing here
    }
    refreshStation(false);
  } catch (const std::exception& e) {
    // A datagram never brings up a box; the station window tells it.
    stationNotice_ = e.what();
    refreshStation(false);
  }
}

void frmVHF::followStatus(const link::Status& status, FollowReport& report) {
  const bool changed = follow_.status(status);
  if (!changed) {
    // WSJT-X repeats its Status every second: only band and mode are new.
    if (status.id == stationInstance_) refreshStation(false);
    return;
  }
  report.call = follow_.instance(status.id)->dxCall;  // changed: the instance is held
  if (handlerDepth_ > 0) {
    follow_.defer(status.id);
    report.deferred = true;
    return;
  }
  showDxCall(status.id, report);
}

void frmVHF::afterHandler(std::string_view control) {
  // The operator's own search, step or choice of database stands.
  static constexpr auto kOperatorActions =
      std::to_array<std::string_view>({ctl::kCommand1, ctl::kCommand2, ctl::kCommand3, ctl::kCommand4,
                                       ctl::kText10, ctl::kCombo1, ctl::kMnuSuch, ctl::kMnuOpen});
  const auto pending = follow_.takePending();
  const bool operatorAction = std::ranges::find(kOperatorActions, control) != kOperatorActions.end();
  try {
    keepIndexCurrent();
    if (pending && !operatorAction) {
      FollowReport report;
      showDxCall(*pending, report);
    }
    for (const auto& contact : follow_.takePendingAdds()) {
      FollowReport report;
      addLoggedStation(contact, report);
      refreshStation(false);
    }
  } catch (const std::exception& e) {
    stationNotice_ = e.what();
    refreshStation(false);
  }
}

void frmVHF::showDxCall(const std::string& instanceId, FollowReport& report) {
  const link::Instance* instance = follow_.instance(instanceId);
  if (instance == nullptr || instance->dxCall.empty()) return;
  const std::string call = instance->dxCall;
  report.call = call;
  report.lookedUp = true;
  window_.setText(ctl::kText10, call);
  stationInstance_ = instanceId;
  stationCall_ = call;
  stationNotice_.clear();
  stationRecordGrid_.clear();
  std::string line;
  Encoding encoding = Encoding::Utf8;
  const std::string path = window_.text(ctl::kCombo1);
  if (findStationRecord(call, line, encoding)) {
    quietRecord_ = true;
    ShowRecord(line, encoding);
    quietRecord_ = false;
    report.found = true;
    // The steps go on from the record, as after a search.
    window_.setEnabled(ctl::kCommand2, true);
    window_.setEnabled(ctl::kCommand3, true);
    stationRecordGrid_ = window_.text(DbKind == "user" ? ctl::kText3 : ctl::kText7);
  } else {
    ClearFields();
    if (stationNotice_.empty())
      stationNotice_ = fillIn(texts::kFollowNotIn.in(isGerman()), {call, fileNameOf(path)});
  }
  for (std::size_t i = 0; i < kRecordBoxes; ++i) report.boxes[i] = window_.text(recordViewBoxName(i));
  stationWorked_ = countWorked(call, settingOr("BaseCall", "0") == "1");
  report.worked = stationWorked_.total;
  report.path =
      link::beamPath(ownLocator(instance), instance->dxGrid.empty() ? stationRecordGrid_ : instance->dxGrid);
  refreshStation(false);
}

bool frmVHF::findStationRecord(const std::string& call, std::string& line, Encoding& encoding) {
  const std::string path = window_.text(ctl::kCombo1);
  try {
    if (!FileExists(path)) return false;
    applyKindRule(path);
    StationFinder finder(call, DbKind == "log", files_, path);
    const ScanRequest request{call, call, 0};
    const auto file = openScanLines(files_, path, request);
    std::string lastStep = LastStepLine;
    runScan(*file, request, lastStep, finder);
    if (!finder.found()) return false;
    line = std::move(finder.line());
    encoding = finder.encoding();
    return true;
  } catch (const FileError& e) {
    // The notice is one line: the message's line ends become blanks.
    std::string text = failureText(e, path);
    for (auto at = text.find(newLine()); at != std::string::npos; at = text.find(newLine(), at))
      text.replace(at, newLine().size(), " ");
    stationNotice_ = std::move(text);
  }
  return false;
}

WorkedSummary frmVHF::countWorked(const std::string& call, bool baseCalls) {
  WorkedBeforeCount count(call, baseCalls);
  const std::vector<std::string> logs = listedLogs();
  if (Following) {
    // Calls change every minute or so: the logs are held, not read each time.
    if (cacheLoader_.joinable()) cacheLoader_.join();
    contactCache_.refresh(files_, logs);
    contactCache_.feed(call, count);
  } else {
    for (const auto& log : logs) count.addLog(files_, log);
  }
  // Contacts just logged may not be in a log file yet; the count takes each once.
  for (const auto& contact : follow_.loggedContacts()) count.addLine(contact.logLine);
  WorkedSummary summary = count.summary();
  if (Following) summary.unreadable = contactCache_.unreadable();
  return summary;
}

std::string frmVHF::ownLocator(const link::Instance* instance) {
  if (instance != nullptr && link::locatorCentre(instance->deGrid)) return instance->deGrid;
  if (std::string mine = settingOr("MyLocator", ""); link::locatorCentre(mine)) return mine;
  // WSJT-X's Status comes every second: its settings file is read once.
  if (!wsjtxLocator_) wsjtxLocator_ = wsjtxSettingsLocator();
  return *wsjtxLocator_;
}

std::string frmVHF::wsjtxSettingsLocator() const {
  if (environment_ == nullptr) return {};
  std::string folder = environment_->variable("XDG_CONFIG_HOME").value_or("");
  if (!isAbsolute(folder)) {
    const auto home = environment_->variable("HOME");
    if (!home || home->empty()) return {};
    folder = pathIn(*home, ".config");
  }
  std::vector<std::string> candidates{"WSJT-X.ini"};
  std::vector<std::string> rigs;
  try {
    for (auto& name : files_.listFolder(folder)) {
      if (name.starts_with("WSJT-X - ") && name.ends_with(".ini")) rigs.push_back(name);
    }
  } catch (const FileError&) {
    // No folder, no rig files; WSJT-X.ini and JTDX.ini are still tried.
  }
  std::sort(rigs.begin(), rigs.end());
  candidates.insert(candidates.end(), rigs.begin(), rigs.end());
  candidates.emplace_back("JTDX.ini");
  for (const auto& name : candidates) {
    if (std::string grid = myGridIn(files_, pathIn(folder, name)); link::locatorCentre(grid)) return grid;
  }
  return {};
}

void frmVHF::followLogged(const std::optional<link::LoggedContact>& contact, FollowReport& report) {
  if (!contact) return;
  if (callIndex_) {
    if (const auto worked = contactOfLogLine(contact->logLine)) callIndex_->addContact(*worked);
  }
  report.call = contact->call;
  report.repeatedContact = !follow_.logged(*contact);
  const bool baseCalls = settingOr("BaseCall", "0") == "1";
  const WorkedSummary summary = countWorked(contact->call, baseCalls);
  report.worked = summary.total;
  if (contact->call == stationCall_) stationWorked_ = summary;
  if (report.repeatedContact || settingOr("AutoAdd", "0") != "1") return;
  // Nothing is written while a handler works on the databases.
  if (handlerDepth_ > 0) {
    follow_.deferAdd(*contact);
    return;
  }
  addLoggedStation(*contact, report);
}

void frmVHF::addLoggedStation(const link::LoggedContact& contact, FollowReport& report) {
  const bool german = isGerman();
  const auto refuse = [&](std::string text) {
    report.added = AddResult::Refused;
    report.addReason = text;
    stationNotice_ = std::move(text);
  };
  std::string target;
  for (const auto& item : window_.listItems(ctl::kCombo1)) {
    if (target.empty() && isUserDatabasePath(item)) target = item;
  }
  if (target.empty()) return refuse(fillIn(texts::kFollowAddNoDatabase.in(german), {contact.call}));
  if (!isValidCall(contact.call) || !isValidGrid(contact.grid)) {
    return refuse(fillIn(texts::kFollowAddInvalid.in(german), {contact.call}));
  }
  try {
    // The notice is one line: the message's line ends become blanks.
    if (!files_.identity(target)) {
      return refuse(fillIn(texts::kFollowAddFailed.in(german),
                           {contact.call, fillIn(texts::kDatabaseNotFound.in(german), {target}, " ")}));
    }
    if (isBackupOfAnother(files_, target)) {
      return refuse(fillIn(texts::kFollowAddFailed.in(german),
                           {contact.call, fillIn(texts::kTakeOverIsBackup.in(german), {target})}));
    }
    FieldSeparator.assign(1, ',');
    LockedDatabase locked(files_, target);
    const TakeOverPlan plan = planTakeOverFromFiles(files_, locked, {contact.logLine}, {});
    if (plan.write) {
      replaceKeepingBackup(files_, locked, plan.write);
    } else if (!plan.text.empty()) {
      replaceKeepingBackup(files_, locked, plan.text);
    }
    const auto& counts = plan.counts;
    const auto done = counts.added > 0     ? texts::kFollowAddedNew
                      : counts.changed > 0 ? texts::kFollowAddedChanged
                                           : texts::kFollowAddedUnchanged;
    report.added = counts.added > 0     ? AddResult::New
                   : counts.changed > 0 ? AddResult::Changed
                                        : AddResult::Unchanged;
    stationNotice_ = fillIn(done.in(german), {contact.call, fileNameOf(target)});
  } catch (const FileLocked&) {
    refuse(fillIn(texts::kFollowAddLocked.in(german), {contact.call, target}));
  } catch (const FileError& e) {
    refuse(fillIn(texts::kFollowAddFailed.in(german), {contact.call, withoutScratchNames(e.what())}));
  }
}

std::string frmVHF::linkText() const {
  const bool german = isGerman();
  if (!Following) return std::string(texts::kFollowOff.in(german));
  if (!listenError_.empty()) {
    return fillIn(texts::kFollowCannotListen.in(german), {listenAddress_, listenPort_, listenError_});
  }
  if (const link::Instance* current = follow_.current()) {
    return fillIn((current->closed ? texts::kFollowClosed : texts::kFollowConnected).in(german),
                  {current->id});
  }
  return fillIn(texts::kFollowWaiting.in(german), {listenAddress_, listenPort_});
}

void frmVHF::refreshStation(bool open) {
  if (stationView_ == nullptr || (!open && !stationView_->isOpen())) return;
  const bool german = isGerman();
  StationPanel panel;
  panel.title = texts::kStationTitle.in(german);
  panel.link = linkText();
  std::size_t ignored = 0;
  std::string reasons;
  for (const auto& [reason, count] : follow_.ignoredCounts()) {
    ignored += count;
    if (!reasons.empty()) reasons += texts::kListSeparator;
    reasons += fillIn(texts::kFollowIgnoredReason, {reason, std::to_string(count)});
  }
  if (ignored > 0)
    panel.linkTooltip = fillIn(texts::kFollowIgnored.in(german), {std::to_string(ignored), reasons});
  const link::Instance* instance = follow_.instance(stationInstance_);
  const std::string dxGrid =
      instance != nullptr && !instance->dxGrid.empty() ? instance->dxGrid : stationRecordGrid_;
  const link::BeamPath path = link::beamPath(ownLocator(instance), dxGrid);
  const auto fact = [&](const BilingualText& label, std::string value) {
    panel.facts.emplace_back(label.in(german), std::move(value));
  };
  if (instance != nullptr) {
    fact(texts::kFollowInstance, instance->id);
    fact(texts::kFollowBand, instance->band);
    fact(texts::kFollowMode, instance->mode);
  }
  fact(texts::kFollowGrid, dxGrid);
  fact(texts::kFollowDistance,
       path.km ? fillIn(texts::kFollowKm.in(german), {std::to_string(*path.km)}) : "");
  fact(texts::kFollowBearing,
       path.degrees ? fillIn(texts::kFollowDegrees.in(german), {std::to_string(*path.degrees)}) : "");
  panel.notice = stationNotice_;
  if (!stationCall_.empty()) {
    panel.worked = workedTable(stationWorked_, listedLogs().empty());
    panel.worked.checked = settingOr("BaseCall", "0") == "1";
  }
  panel.autoAddText = texts::kFollowAutoAdd.in(german);
  panel.autoAdd = settingOr("AutoAdd", "0") == "1";
  panel.showAutoAdd = Following;
  if (Following && Highlighting) panel.highlightHint = texts::kHighlightHint.in(german);
  if (open) {
    stationView_->show(panel);
  } else {
    stationView_->update(panel);
  }
}

void frmVHF::stationAutoAdd_Click(bool checked) {
  try {
    settings_.write(kApplication, kSection, "AutoAdd", checked ? "1" : "0");
  } catch (const std::exception&) {
    // Not remembered this time.
  }
}

void frmVHF::stationBaseCall_Click(bool checked) {
  try {
    settings_.write(kApplication, kSection, "BaseCall", checked ? "1" : "0");
  } catch (const std::exception&) {
    // Not remembered this time; the table still follows the check box.
  }
  if (!stationCall_.empty()) stationWorked_ = countWorked(stationCall_, checked);
  highlightBaseCalls_ = checked;
  if (planner_) sendHighlights(planner_->review(HighlightPlanner::Clock::now()), nullptr);
  refreshStation(false);
}

void frmVHF::mnuConnection_Click() {
  if (connectionDialog_ == nullptr) return;
  const bool german = isGerman();
  ConnectionRequest request;
  request.title = texts::kConnectionTitle.in(german);
  request.addressLabel = texts::kConnectionAddress.in(german);
  request.portLabel = texts::kConnectionPort.in(german);
  request.myLocatorLabel = texts::kConnectionMyLocator.in(german);
  request.colourLabels = {std::string(texts::kConnectionColourNeeded.in(german)),
                          std::string(texts::kConnectionColourNewSlot.in(german)),
                          std::string(texts::kConnectionColourWorked.in(german))};
  request.hint = texts::kConnectionHint.in(german);
  request.okCaption = texts::kStationOk.in(german);
  request.cancelCaption = texts::kStationCancel.in(german);
  const HighlightColours colours = HighlightColours::fromSettings(
      [this](std::string_view key) { return settingOr(std::string(key).c_str(), ""); });
  request.initial = {settingOr("UdpAddress", "127.0.0.1"),
                     settingOr("UdpPort", "2237"),
                     settingOr("MyLocator", ""),
                     {colourText(colours.needed), colourText(colours.newSlot), colourText(colours.worked)}};
  request.check = [german](const ConnectionEntry& entry) -> std::string {
    const std::string address(trimBlanks(entry.address));
    if (!isMulticastAddress(address) && !isLocalAddress(address)) {
      return fillIn(texts::kConnectionNotLocal.in(german), {address});
    }
    if (!parsePort(entry.port, false)) return std::string(texts::kConnectionBadPort.in(german));
    if (!trimBlanks(entry.myLocator).empty() && !link::locatorCentre(entry.myLocator)) {
      return std::string(texts::kConnectionBadLocator.in(german));
    }
    for (const auto& colour : entry.colours) {
      if (!parseColour(colour)) return fillIn(texts::kConnectionBadColour.in(german), {trimBlanks(colour)});
    }
    return {};
  };
  const auto entry = connectionDialog_->ask(request);
  if (!entry || !request.check(*entry).empty()) return;
  try {
    settings_.write(kApplication, kSection, "UdpAddress", std::string(trimBlanks(entry->address)));
    settings_.write(kApplication, kSection, "UdpPort", std::string(trimBlanks(entry->port)));
    settings_.write(kApplication, kSection, "MyLocator", upperCaseUtf8(trimBlanks(entry->myLocator)));
    const std::array<std::string_view, 3> keys = {kColourNeededKey, kColourNewSlotKey, kColourWorkedKey};
    for (std::size_t i = 0; i < entry->colours.size(); ++i) {
      settings_.write(kApplication, kSection, std::string(keys[i]),
                      colourText(*parseColour(entry->colours[i])));
    }
  } catch (const std::exception&) {
    // Used for this run all the same.
  }
  // A confirmed dialog listens again on what it names.
  if (Following) startFollowing();
}

}  // namespace orvanta
