#pragma once

// The command-line driver runs the real form headlessly: a window that only
// keeps the texts of its controls, message boxes answered by a rule, and the
// real file system and clock. Each area adds its commands from its own file
// with ORVANTA_BENCH_COMMAND, so the driver needs no edit for them.

#include <array>
#include <deque>
#include <functional>
#include <map>
#include <ostream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "app/frmVHF.h"
#include "platform/Clock.h"
#include "platform/EventLoop.h"
#include "platform/FileDialog.h"
#include "platform/FileSystem.h"
#include "platform/MessageBox.h"
#include "platform/SettingsStore.h"
#include "platform/Window.h"

namespace orvanta::bench {

// A window without a screen: controls spring into being on first use,
// enabled and empty, and keep whatever the form writes.
class HeadlessWindow final : public IWindow {
 public:
  std::string text(std::string_view control) const override;
  void setText(std::string_view control, std::string_view text) override;
  std::string caption(std::string_view control) const override;
  void setCaption(std::string_view control, std::string_view caption) override;
  std::string toolTip(std::string_view control) const override;
  void setToolTip(std::string_view control, std::string_view tip) override;
  bool isEnabled(std::string_view control) const override;
  void setEnabled(std::string_view control, bool enabled) override;
  bool isChecked(std::string_view control) const override;
  void setChecked(std::string_view control, bool checked) override;
  void setFocus(std::string_view control) override { focus = std::string(control); }
  std::vector<std::string> listItems(std::string_view control) const override;
  void addListItem(std::string_view control, std::string_view item) override;
  void clearList(std::string_view control) override;
  std::string title() const override { return title_; }
  void setTitle(std::string_view title) override { title_ = std::string(title); }
  int top() const override { return top_; }
  int left() const override { return left_; }
  int height() const override { return height_; }
  void setTop(int twips) override { top_ = twips; }
  void setLeft(int twips) override { left_ = twips; }
  void setHeight(int twips) override { height_ = twips; }
  WindowState state() const override { return WindowState::Normal; }
  std::vector<TwipRect> screens() const override { return {TwipRect{0, 0, 28800, 16200}}; }
  void setMousePointer(MousePointer pointer) override { pointer_ = pointer; }
  void beep() override {}
  void setToolkitLanguage(std::string_view) override {}
  void close() override {}

  std::string focus;
  MousePointer pointer() const { return pointer_; }

 private:
  struct Control {
    std::string text;
    std::string caption;
    std::string toolTip;
    bool enabled = true;
    bool checked = false;
    std::vector<std::string> items;
  };
  Control& control(std::string_view name) const;
  Control& namedControl(std::string_view name) const;

  struct NameHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view name) const { return std::hash<std::string_view>{}(name); }
  };
  mutable std::unordered_map<std::string, Control, NameHash, std::equal_to<>> controls_;
  // Text2 to Text10 are written for every record shown; they get slots of
  // their own so that the window costs next to nothing per record.
  mutable std::array<Control, 11> textBoxes_{};
  std::string title_;
  int top_ = 0;
  int left_ = 0;
  int height_ = 5220;
  MousePointer pointer_ = MousePointer::Normal;
};

// Answers every Yes/No box by a rule (Yes unless told otherwise) and keeps
// count; every box can also be echoed to a stream.
class HeadlessMessageBox final : public IMessageBox {
 public:
  struct Shown {
    std::string text;
    std::string title;
    MessageIcon icon;
    MessageButtons buttons;
  };
  MessageAnswer show(const std::string& text, const std::string& title, MessageIcon icon,
                     MessageButtons buttons) override;

  // Decides the answer to a Yes/No box; unset means Yes.
  std::function<MessageAnswer(const Shown&)> answer;
  // When set, every box is written there as it is shown.
  std::ostream* echo = nullptr;
  std::size_t count = 0;
  std::size_t yesNoCount = 0;
  Shown last{};
};

// Chooses the scripted paths in order; cancels when the script runs out.
class HeadlessFileDialog final : public IFileDialog {
 public:
  OpenFileResult openFile(const OpenFileRequest& request) override;
  std::deque<std::string> paths;
};

class HeadlessSettingsStore final : public ISettingsStore {
 public:
  std::string read(const std::string& application, const std::string& section, const std::string& key,
                   const std::string& defaultValue) override;
  void write(const std::string& application, const std::string& section, const std::string& key,
             const std::string& value) override;
  std::map<std::string, std::string> values;  // keyed by the setting's key alone
};

class HeadlessEventLoop final : public IEventLoop {
 public:
  void yield() override { ++yields; }
  std::size_t yields = 0;
};

// One headless run of the form.
class BenchSession {
 public:
  // The language the form starts in ("de" or "en").
  explicit BenchSession(std::string language = "en");
  BenchSession(const BenchSession&) = delete;
  BenchSession& operator=(const BenchSession&) = delete;

  // Starts the form as the program does when the database is the one stored
  // from the last run: Form_Load, Form_Resize and Form_Activate, which derive
  // its kind and show its first line. The other paths are listed after it.
  void start(const std::string& database, const std::vector<std::string>& others = {});

  // Prints "TextN: value" for Text2 to Text9, one a line.
  void printFields(std::ostream& out) const;

  HeadlessWindow window;
  HeadlessMessageBox messages;
  HeadlessFileDialog dialog;
  HeadlessSettingsStore settings;
  StdFileSystem files;
  SystemClock clock;
  HeadlessEventLoop events;
  frmVHF form{FormServices{window, messages, dialog, settings, files, clock, events}};

 private:
  std::string language_;
};

// A command of the driver: gets the arguments after its name, writes what the
// form showed to out and returns the process's exit code. Usage errors are
// reported by throwing UsageError.
using BenchCommand = std::function<int(const std::vector<std::string>& args, std::ostream& out)>;

struct UsageError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// Adds a command; usage is the argument synopsis shown in the help text.
bool registerBenchCommand(std::string name, std::string usage, BenchCommand command);

}  // namespace orvanta::bench

#define ORVANTA_BENCH_CONCAT_INNER(a, b) a##b
#define ORVANTA_BENCH_CONCAT(a, b) ORVANTA_BENCH_CONCAT_INNER(a, b)
// ORVANTA_BENCH_COMMAND("merge", "DATABASE...", [](const auto& args, std::ostream& out) { ... });
#define ORVANTA_BENCH_COMMAND(name, usage, ...)                                      \
  namespace {                                                                        \
  [[maybe_unused]] const bool ORVANTA_BENCH_CONCAT(orvantaBenchCommand_, __LINE__) = \
      ::orvanta::bench::registerBenchCommand(name, usage, __VA_ARGS__);              \
  }
