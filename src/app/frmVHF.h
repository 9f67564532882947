#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "app/FollowReport.h"
#include "link/ContactCache.h"
#include "link/Follow.h"
#include "link/HighlightPlanner.h"
#include "platform/Clock.h"
#include "platform/Environment.h"
#include "platform/EventLoop.h"
#include "platform/FileDialog.h"
#include "platform/FileSystem.h"
#include "platform/MessageBox.h"
#include "platform/SettingsStore.h"
#include "platform/StationDialog.h"
#include "platform/StationView.h"
#include "platform/UdpReceiver.h"
#include "platform/Window.h"
#include "platform/WorkedBeforeView.h"
#include "records/TextFile.h"
#include "search/WorkedBefore.h"
#include "ui/MessageTexts.h"

namespace orvanta {

class LockedDatabase;
class PlacementError;

struct MergeOutcome;
struct ScanOutcome;

// Where the form keeps what it remembers between runs.
inline constexpr const char* kApplication = "VHF-Orvanta";
inline constexpr const char* kSection = "Settings";

// Everything the form needs from its surroundings.
struct FormServices {
  IWindow& window;
  IMessageBox& messages;
  IFileDialog& fileDialog;
  ISettingsStore& settings;
  IFileSystem& files;
  IClock& clock;
  IEventLoop& events;
  // The "worked before?" window; without one the menu item does nothing.
  IWorkedBeforeView* workedBefore = nullptr;
  // Where the user's WSJT-X folders are; without it start-up and the open
  // dialog know only the current folder.
  const IEnvironment* environment = nullptr;
  // Asks for a station typed in by hand; without one, that command does nothing.
  IStationDialog* stationDialog = nullptr;
  // The station window beside the main window; without one F3 shows the
  // modal worked-before window and following shows nothing but the record.
  IStationView* stationView = nullptr;
  // Asks for the WSJT-X address, port and own locator.
  IConnectionDialog* connectionDialog = nullptr;
  // Calls the form when a datagram waits; without one the caller polls
  // followReceiver() itself.
  ISocketWatcher* socketWatcher = nullptr;
  // Opens the socket following listens on; listenUdp when not given.
  std::function<std::unique_ptr<IUdpReceiver>(const std::string&, std::uint16_t)> listen = {};
};

// The one window of the program. It owns the form state and every handler;
// the window toolkit reports events through onWindowEvent, and the form
// reaches the controls only through IWindow.
class frmVHF final : public IWindowEvents {
 public:
  explicit frmVHF(const FormServices& services);
  ~frmVHF() override;
  frmVHF(const frmVHF&) = delete;
  frmVHF& operator=(const frmVHF&) = delete;

  void onWindowEvent(std::string_view control, WindowEvent event, int key) override;

  // ---- Form state ----
  std::string NewLine;               // CR LF, set at loading
  std::string Language;              // "de" selects German, anything else English
  std::int16_t LastFieldIndex = 0;   // index of the update date (7)
  std::string DbFileName;            // file name last chosen in the file dialog
  std::string MergeTempPath;         // temporary file of the merge
  std::int16_t SearchDirection = 0;  // 0 search, -1 step back, +1 step forward
  std::string FieldSeparator;        // "," from the first activation on
  std::string DbKind;                // "user", "log" or empty
  std::string DbPath;                // path a handler has just taken as current
  std::string StepKey;               // what the next step looks for in a log
  std::string RecordKey;             // date and time of the log record shown last
  std::string RecordLine;            // the log record shown last, as it was shown
  std::string LastStepLine;          // line the last forward step showed
  bool MaintenanceRunning = false;   // a merge or month-end update is under way
  // Files named on the command line: listed at loading after the remembered
  // databases, each once, the first made current.
  std::vector<std::string> CommandLineFiles;
  // The log line on screen, when the start or a step showed it: the steps go
  // on from it while the database, its file and the search box are as they
  // were then. Anything else (a search, another database) forgets it.
  struct ShownLine {
    std::string path;
    std::uint64_t number = 0;  // line of the file, from 1; 0 when none is known
    FileStatus file;           // the file when that line was read
    std::string searchBox;     // what the step left in the search box
  };
  ShownLine Shown;

  // ---- Start-up and shutdown ----
  void Form_Load();
  void Form_Resize();
  void Form_Activate();
  void Form_Unload();
  void mnuEnde_Click();

  // ---- Database list and field boxes ----
  void Combo1_Click();
  void Text2_Click();
  void Text3_Click();
  void Text4_Click();
  void Text5_Click();
  void Text6_Click();
  void Text7_Click();
  void Text8_Click();
  void Text9_Click();

  // ---- Search, stepping and the file dialog ----
  void Command1_Click();
  void Command2_Click();
  void Command3_Click();
  void Text10_KeyPress(int& KeyAscii);
  void mnuSuch_Click();
  void Command4_Click();
  void mnuOpen_Click();

  // ---- Maintenance ----
  void mnuAktualiesieren_Click();
  void mnuSetUpdate_Datum_Click();
  // Extras "Schon gearbeitet?" (F3): the contacts with the call sign across
  // every listed log, by band and mode.
  void mnuWorked_Click();

  // ---- Taking stations over ----
  void mnuAddStation_Click();
  void mnuAddLog_Click();

  // ---- Following WSJT-X ----
  // Extras "WSJT-X folgen" (F4): starts or stops listening.
  void mnuFollow_Click();
  // Extras "WSJT-X-Verbindung ...": address, port and own locator.
  void mnuConnection_Click();
  // The socket following listens on; null when not listening.
  IUdpReceiver* followReceiver() const { return receiver_.get(); }
  // Why listening failed; empty while it works.
  const std::string& followError() const { return listenError_; }
  // The socket has datagrams: reads and handles every one waiting.
  void followReadable();
  // Handles one datagram as following does.
  FollowReport followDatagram(const Datagram& datagram);
  // The station window's check boxes.
  void stationAutoAdd_Click(bool checked);
  void stationBaseCall_Click(bool checked);
  bool Following = false;
  bool Highlighting = false;  // the option, whether following or not

  // ---- Colouring the calls in WSJT-X ----
  // Extras "Rufzeichen in WSJT-X färben": while following, the calls of
  // WSJT-X's band activity get the colour of their state.
  void mnuHighlight_Click();
  // Takes back every colour set and says which; the sends go out at once.
  std::vector<HighlightAction> clearHighlights();
  // The index colouring asks; null while colouring is off or not following.
  CallIndex* highlightIndex() { return callIndex_.get(); }

  // ---- Language, menus, About ----
  void mnuDeutsch_Click();
  void mnuEnglisch_Click();
  void mnuOpt_Click();
  void mnuExtr_Click();
  void mnuInfo_Click();

  // ---- Form procedures ----
  void ApplyLanguage();
  void ClearFields();
  // Shows one record line (raw bytes in the given encoding) in Text2..Text9.
  // The line comes back as NormalizeRecord left it. The boxes get UTF-8;
  // RecordKey (log records) keeps the raw bytes of the file, because the
  // steps compare it against the file's raw lines upper-cased in its own
  // encoding. A box whose field the line lacks keeps its text.
  void ShowRecord(std::string& line, Encoding encoding = Encoding::Utf8);
  // True when the path names at least one ordinary file. Throws FileError
  // when the path cannot be examined.
  bool FileExists(const std::string& path);
  // Sets DbKind by the kind rule (kindOfPath); a path of no kind leaves it.
  // Returns true when the ".txt" test succeeded.
  bool applyKindRule(const std::string& path);

 private:
  bool isGerman() const { return Language == "de"; }
  // A second maintenance command while one runs is refused with a beep.
  bool refusedWhileMaintaining();
  // NewLine, or CR LF before loading has set it.
  const std::string& newLine() const;
  // A catalogue text in the form's language, filled in, with the form's line ends.
  std::string say(const BilingualText& text, std::initializer_list<std::string_view> values = {}) const;
  // The one text of a failure below the form, whichever command met it.
  // path: the file the command worked on, for an error that names none.
  std::string failureText(const FileError& error, const std::string& path) const;
  std::string mergeRefusalText(const MergeOutcome& outcome) const;
  std::string mergeWriteFailureText(const PlacementError& error) const;
  void focusSearchBox();
  void dispatch(std::string_view control, WindowEvent event, int key);
  void dispatchClick(std::string_view control);
  std::string stepKeyText() const;
  // Steps from the log line on screen when it is still known; false when the
  // step has to look for the contact instead.
  bool stepFromShownLine(const std::string& path);
  void rememberShownLine(const std::string& path, std::uint64_t number);
  void endStep();
  // The search up to its outcome; false when there was nothing to search.
  // Throws FileError.
  bool runSearch(const std::string& path, std::string& primary, ScanOutcome& outcome);
  void showNotFound(bool continued, const std::string& key);
  void reportUnexpected(std::string_view reason) noexcept;
  // The reason shown for a line too long to hold: "line N is longer than 16 MiB".
  std::string lineTooLongText(std::uint64_t line) const;
  std::vector<std::string> listedLogs();
  // The WSJT-X and JTDX folders of the user that exist, in the order they are tried.
  std::vector<std::string> dataFolders() const;
  // Lists the call3 database of a folder and its log; returns the database's
  // name as stored, empty (nothing listed) when the folder has none.
  std::string listFolderDatabases(const std::string& folder);
  // Lists CommandLineFiles; returns the first as a full path, empty when none.
  std::string listCommandLineFiles();
  // Where the open dialog starts: the folder of the current database, else
  // the first WSJT-X folder, else the current folder.
  std::string openDialogFolder(const std::vector<std::string>& folders) const;
  void addStationByHand(const std::string& database);
  void takeOverContacts(const std::string& title, const std::vector<std::string>& logLines,
                        const std::vector<std::string>& logs);
  bool takeOverTarget(const std::string& title, std::string& target);
  bool writableDatabase(const std::string& title, const std::string& database);
  void tellTakeOverFailure(const std::string& title, const FileError& error, const std::string& path);
  void tell(const std::string& title, std::string_view text, MessageIcon icon);
  void startFollowing();
  void stopFollowing();
  void followMessage(FollowReport& report);
  void followStatus(const link::Status& status, FollowReport& report);
  void followLogged(const std::optional<link::LoggedContact>& contact, FollowReport& report);
  void showDxCall(const std::string& instanceId, FollowReport& report);
  bool findStationRecord(const std::string& call, std::string& line, Encoding& encoding);
  void addLoggedStation(const link::LoggedContact& contact, FollowReport& report);
  std::string ownLocator(const link::Instance* instance);
  std::string wsjtxSettingsLocator() const;
  std::string settingOr(const char* key, const char* fallback) const;
  WorkedSummary countWorked(const std::string& call, bool baseCalls);
  void refreshStation(bool open);
  std::string linkText() const;
  // After the outermost handler: the DX call that waited is shown.
  void afterHandler(std::string_view control);
  WorkedBeforeTable workedTable(const WorkedSummary& summary, bool noLog) const;
  // Following and colouring go on where the last run left them.
  void resumeFollowing();
  // Builds the index anew from the listed files, with no colour set yet.
  void startHighlighting();
  void stopHighlighting();
  // The listed files the index is to hold: user databases, then logs.
  std::pair<std::vector<std::string>, std::vector<std::string>> highlightFiles();
  // A database opened or dropped from the list is indexed again.
  void keepIndexCurrent();
  void highlightDatagram(const Datagram& datagram, FollowReport& report);
  void sendHighlights(const std::vector<HighlightAction>& actions, FollowReport* report);

  int handlerDepth_ = 0;
  bool quietRecord_ = false;  // no warning box for a record shown by following
  link::FollowState follow_;
  link::ContactCache contactCache_;  // the listed logs, held while following
  // Reads the listed logs into contactCache_ when following starts, so that
  // ticking the menu item does not wait for them; joined before the cache is used.
  std::jthread cacheLoader_;
  // MyGrid of WSJT-X's settings, read once while following.
  std::optional<std::string> wsjtxLocator_;
  std::unique_ptr<IUdpReceiver> receiver_;
  std::string listenAddress_;
  std::string listenPort_;
  std::string listenError_;
  // What the station window shows of the call last shown.
  std::string stationInstance_;
  std::string stationCall_;
  WorkedSummary stationWorked_;
  std::string stationRecordGrid_;
  std::string stationNotice_;
  std::vector<std::string_view> recordFields_;  // ShowRecord's field list, reused
  // Colouring: the planner over the index, both there only while it is on
  // and following.
  std::unique_ptr<CallIndex> callIndex_;
  std::unique_ptr<HighlightPlanner> planner_;
  std::pair<std::vector<std::string>, std::vector<std::string>> indexedFiles_;
  std::uint64_t indexVersion_ = 0;  // the index's version the colours were last reviewed at
  bool highlightBaseCalls_ = false;
  IWindow& window_;
  IMessageBox& messages_;
  IFileDialog& fileDialog_;
  ISettingsStore& settings_;
  IFileSystem& files_;
  IClock& clock_;
  IEventLoop& events_;
  IWorkedBeforeView* workedBefore_;
  const IEnvironment* environment_;
  IStationDialog* stationDialog_;
  IStationView* stationView_;
  IConnectionDialog* connectionDialog_;
  ISocketWatcher* socketWatcher_;
  std::function<std::unique_ptr<IUdpReceiver>(const std::string&, std::uint16_t)> listen_;
};

}  // namespace orvanta
