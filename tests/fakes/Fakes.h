#pragma once

#include <array>
#include <bitset>
#include <cstddef>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Clock.h"
#include "platform/Environment.h"
#include "platform/EventLoop.h"
#include "platform/FileDialog.h"
#include "platform/MessageBox.h"
#include "platform/SettingsStore.h"
#include "platform/StationDialog.h"
#include "platform/Window.h"
#include "platform/WorkedBeforeView.h"

namespace orvanta::testing {

// The fakes serve the tests and the headless benchmark alike. A name the
// window does not have is a fault of the caller: the test programs make it a
// test failure, everything else gets a std::logic_error.
using UnknownControlHandler = void (*)(std::string_view name);
void setUnknownControlHandler(UnknownControlHandler handler);

// A window that records every control's state. By default it has the real
// window's controls in their start state, and an unknown name is reported;
// made with an explicit list, it knows those names, each starting enabled,
// unchecked and empty.
class FakeWindow final : public IWindow {
 public:
  struct Control {
    std::string text;
    std::string caption;
    std::string toolTip;
    bool enabled = true;
    bool checked = false;
    std::vector<std::string> items;
  };

  FakeWindow();
  explicit FakeWindow(const std::vector<std::string>& knownControls);

  [[nodiscard]] std::string text(std::string_view control) const override;
  void setText(std::string_view control, std::string_view text) override;
  [[nodiscard]] std::string caption(std::string_view control) const override;
  void setCaption(std::string_view control, std::string_view t) override;
  [[nodiscard]] std::string toolTip(std::string_view control) const override;
  void setToolTip(std::string_view control, std::string_view tip) override;
  [[nodiscard]] bool isEnabled(std::string_view control) const override;
  void setEnabled(std::string_view control, bool enabled) override;
  [[nodiscard]] bool isChecked(std::string_view control) const override;
  void setChecked(std::string_view control, bool e) override;
  void setFocus(std::string_view control) override;
  [[nodiscard]] std::vector<std::string> listItems(std::string_view control) const override;
  void addListItem(std::string_view control, std::string_view item) override;
  void clearList(std::string_view control) override;
  [[nodiscard]] std::string title() const override { return title_; }
  void setTitle(std::string_view title) override { title_ = title; }
  [[nodiscard]] int top() const override { return top_; }
  [[nodiscard]] int left() const override { return left_; }
  [[nodiscard]] int height() const override { return height_; }
  void setTop(int twips) override { top_ = twips; }
  void setLeft(int twips) override { left_ = twips; }
  void setHeight(int twips) override { height_ = twips; }
  [[nodiscard]] WindowState state() const override { return state_; }
  [[nodiscard]] std::vector<TwipRect> screens() const override { return screens_; }
  void setMousePointer(MousePointer pointer) override {
    pointer_ = pointer;
    pointerHistory.push_back(pointer);
  }
  void beep() override { ++beeps; }
  void setToolkitLanguage(std::string_view code) override { toolkitLanguage = code; }
  void close() override { ++closeRequests; }

  // Test access.
  [[nodiscard]] const Control& control(std::string_view name) const;
  std::string focus;  // name of the control that has the focus
  std::vector<MousePointer> pointerHistory;
  [[nodiscard]] MousePointer pointer() const { return pointer_; }
  int beeps = 0;
  std::string toolkitLanguage;  // empty until the form sets it
  int closeRequests = 0;
  void setState(WindowState s) { state_ = s; }
  void setScreens(std::vector<TwipRect> s) { screens_ = std::move(s); }

 private:
  Control& mutableControl(std::string_view name);
  Control& namedControl(std::string_view name);
  void know(std::string_view name, bool enabled);

  // Text2 to Text10 are written for every record shown; they get slots of
  // their own so that a benchmark run costs next to nothing per record.
  static constexpr std::size_t kTextBoxSlots = 11;
  std::array<Control, kTextBoxSlots> textBoxes_{};
  std::bitset<kTextBoxSlots> knownTextBoxes_;
  bool restricted_ = true;  // names outside the known ones are reported
  std::map<std::string, Control, std::less<>> controls_;
  std::string title_;
  int top_ = 0;
  int left_ = 0;
  int height_ = 5220;
  WindowState state_ = WindowState::Normal;
  std::vector<TwipRect> screens_{TwipRect{0, 0, 28800, 16200}};
  MousePointer pointer_ = MousePointer::Normal;
};

// Records every message box and answers Yes/No boxes from a script, then by
// a rule, else Yes; Ok boxes are answered Ok.
class FakeMessageBox final : public IMessageBox {
 public:
  struct Call {
    std::string text;
    std::string title;
    MessageIcon icon = MessageIcon::Information;
    MessageButtons buttons = MessageButtons::Ok;
  };
  MessageAnswer show(const std::string& text, const std::string& title, MessageIcon icon,
                     MessageButtons buttons) override;
  std::vector<Call> calls;  // every box, unless recordCalls is off
  std::deque<MessageAnswer> answers;
  // Decides a Yes/No box once the script has run out.
  std::function<MessageAnswer(const Call&)> answer;
  // Runs before each box is answered, e.g. to look at the window meanwhile.
  std::function<void(const Call&)> onShow;
  // A benchmark that answers a hundred thousand prompts keeps only the last
  // one and the counts, so that its memory stays flat.
  bool recordCalls = true;
  Call last;
  std::size_t count = 0;
  std::size_t yesNoCount = 0;
  // When set, every box is written there on one line as it is shown.
  std::ostream* echo = nullptr;
};

// A file dialog that records each request and answers from a script
// (Cancelled when the script runs out).
class FakeFileDialog final : public IFileDialog {
 public:
  OpenFileResult openFile(const OpenFileRequest& request) override;
  std::vector<OpenFileRequest> requests;
  bool recordRequests = true;
  std::deque<OpenFileResult> results;
  static OpenFileResult chosen(std::string path) {
    return OpenFileResult{OpenFileResult::Outcome::Chosen, std::move(path), {}};
  }
};

// A station dialog that records each request and types the scripted entries
// in turn, as an operator would: an entry the request's check refuses is
// kept in shownProblems and the next one is tried; cancels when the script
// runs out.
class FakeStationDialog final : public IStationDialog {
 public:
  std::optional<StationEntry> askStation(const StationDialogRequest& request) override;
  std::vector<StationDialogRequest> requests;
  std::deque<StationEntry> entries;
  std::vector<std::string> shownProblems;
};

// Settings in memory; "application/section/key" -> value. Every write is logged in order.
class FakeSettingsStore final : public ISettingsStore {
 public:
  std::string read(const std::string& application, const std::string& section, const std::string& key,
                   const std::string& defaultValue) override;
  void write(const std::string& application, const std::string& section, const std::string& key,
             const std::string& value) override;
  static std::string path(const std::string& application, const std::string& section,
                          const std::string& key) {
    return application + "/" + section + "/" + key;
  }
  std::map<std::string, std::string> values;
  std::vector<std::pair<std::string, std::string>> writes;  // key path, value
  bool failWrites = false;
};

class FakeClock final : public IClock {
 public:
  [[nodiscard]] CivilDate today() const override { return date; }
  CivilDate date{2019, 5, 7};
};

// An environment of chosen variables; every other variable is unset.
class FakeEnvironment final : public IEnvironment {
 public:
  [[nodiscard]] std::optional<std::string> variable(const std::string& name) const override {
    const auto it = variables.find(name);
    if (it == variables.end()) return std::nullopt;
    return it->second;
  }
  std::map<std::string, std::string> variables;
};

class FakeEventLoop final : public IEventLoop {
 public:
  void yield() override {
    ++yields;
    if (onYield) onYield();
  }
  int yields = 0;
  std::function<void()> onYield;
};

// Records every table shown; toggles the check box as scripted while shown,
// keeping each table the window would show then.
class FakeWorkedBeforeView final : public IWorkedBeforeView {
 public:
  void show(const WorkedBeforeTable& table, const std::function<WorkedBeforeTable(bool)>& retable) override {
    ++shows;
    tables.push_back(table);
    for (const bool checked : toggles) tables.push_back(retable(checked));
  }
  int shows = 0;
  std::vector<WorkedBeforeTable> tables;
  std::vector<bool> toggles;
};

}  // namespace orvanta::testing
