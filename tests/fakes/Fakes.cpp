#include "fakes/Fakes.h"

#include <stdexcept>

#include "ui/WindowDescription.h"

namespace orvanta::testing {
namespace {

void throwUnknownControl(std::string_view name) {
  throw std::logic_error("the window has no control named " + std::string(name));
}

UnknownControlHandler unknownControlHandler = &throwUnknownControl;

// The slot of a text box "Text2" to "Text10", or 0 for any other name.
std::size_t textBoxSlot(std::string_view name) {
  if (name.size() < 5 || name.size() > 6 || name.substr(0, 4) != "Text") return 0;
  std::size_t number = 0;
  for (const char ch : name.substr(4)) {
    if (ch < '0' || ch > '9') return 0;
    number = number * 10 + static_cast<std::size_t>(ch - '0');
  }
  return number >= 2 && number <= 10 ? number : 0;
}

}  // namespace

void setUnknownControlHandler(UnknownControlHandler handler) {
  unknownControlHandler = handler != nullptr ? handler : &throwUnknownControl;
}

// By default the fake knows exactly the controls of the real window, in the
// state they start in, so a misspelt name or a wrong start state is caught.
FakeWindow::FakeWindow() {
  for (const auto& state : initialControlStates()) know(state.name, state.enabled);
}

FakeWindow::FakeWindow(const std::vector<std::string>& knownControls) {
  for (const auto& name : knownControls) know(name, true);
  restricted_ = !knownControls.empty();
}

void FakeWindow::know(std::string_view name, bool enabled) {
  if (const std::size_t slot = textBoxSlot(name)) {
    knownTextBoxes_.set(slot);
    textBoxes_[slot].enabled = enabled;
  } else {
    controls_[std::string(name)].enabled = enabled;
  }
}

const FakeWindow::Control& FakeWindow::control(std::string_view name) const {
  return const_cast<FakeWindow*>(this)->mutableControl(name);
}

FakeWindow::Control& FakeWindow::mutableControl(std::string_view name) {
  if (const std::size_t slot = textBoxSlot(name)) {
    if (restricted_ && !knownTextBoxes_.test(slot)) unknownControlHandler(name);
    return textBoxes_[slot];
  }
  return namedControl(name);
}

// Kept out of line so that the look-up of a text box stays a few instructions.
[[gnu::noinline]] FakeWindow::Control& FakeWindow::namedControl(std::string_view name) {
  auto it = controls_.find(name);
  if (it == controls_.end()) {
    if (restricted_) unknownControlHandler(name);
    it = controls_.emplace(std::string(name), Control{}).first;
  }
  return it->second;
}

std::string FakeWindow::text(std::string_view c) const { return control(c).text; }
void FakeWindow::setText(std::string_view c, std::string_view t) { mutableControl(c).text.assign(t); }
std::string FakeWindow::caption(std::string_view c) const { return control(c).caption; }
void FakeWindow::setCaption(std::string_view c, std::string_view t) { mutableControl(c).caption = t; }
std::string FakeWindow::toolTip(std::string_view c) const { return control(c).toolTip; }
void FakeWindow::setToolTip(std::string_view c, std::string_view t) { mutableControl(c).toolTip = t; }
bool FakeWindow::isEnabled(std::string_view c) const { return control(c).enabled; }
void FakeWindow::setEnabled(std::string_view c, bool e) { mutableControl(c).enabled = e; }
bool FakeWindow::isChecked(std::string_view c) const { return control(c).checked; }
void FakeWindow::setChecked(std::string_view c, bool e) { mutableControl(c).checked = e; }
void FakeWindow::setFocus(std::string_view c) {
  mutableControl(c);
  focus = c;
}
std::vector<std::string> FakeWindow::listItems(std::string_view c) const { return control(c).items; }
void FakeWindow::addListItem(std::string_view c, std::string_view item) {
  mutableControl(c).items.emplace_back(item);
}
void FakeWindow::clearList(std::string_view c) {
  auto& ctl = mutableControl(c);
  ctl.items.clear();
  ctl.text.clear();
}

MessageAnswer FakeMessageBox::show(const std::string& text, const std::string& title, MessageIcon icon,
                                   MessageButtons buttons) {
  // Assigned field by field so that a run of prompts reuses the storage.
  last.text.assign(text);
  last.title.assign(title);
  last.icon = icon;
  last.buttons = buttons;
  ++count;
  if (recordCalls) calls.push_back(last);
  if (echo != nullptr) {
    std::string oneLine = text;
    for (char& ch : oneLine) {
      if (ch == '\r' || ch == '\n') ch = ' ';
    }
    *echo << "message [" << title << "]: " << oneLine << '\n';
  }
  if (onShow) onShow(last);
  if (buttons == MessageButtons::Ok) return MessageAnswer::Ok;
  ++yesNoCount;
  if (!answers.empty()) {
    const MessageAnswer scripted = answers.front();
    answers.pop_front();
    return scripted;
  }
  return answer ? answer(last) : MessageAnswer::Yes;
}

OpenFileResult FakeFileDialog::openFile(const OpenFileRequest& request) {
  if (recordRequests) requests.push_back(request);
  if (results.empty()) return OpenFileResult{};
  OpenFileResult result = results.front();
  results.pop_front();
  return result;
}

std::optional<StationEntry> FakeStationDialog::askStation(const StationDialogRequest& request) {
  requests.push_back(request);
  while (!entries.empty()) {
    const StationEntry entry = entries.front();
    entries.pop_front();
    const std::string problem = request.check ? request.check(entry) : std::string();
    if (problem.empty()) return entry;
    shownProblems.push_back(problem);
  }
  return std::nullopt;
}

std::string FakeSettingsStore::read(const std::string& application, const std::string& section,
                                    const std::string& key, const std::string& defaultValue) {
  const auto it = values.find(path(application, section, key));
  return it == values.end() ? defaultValue : it->second;
}

void FakeSettingsStore::write(const std::string& application, const std::string& section,
                              const std::string& key, const std::string& value) {
  if (failWrites) throw std::runtime_error("settings store is read-only");
  values[path(application, section, key)] = value;
  writes.emplace_back(path(application, section, key), value);
}

}  // namespace orvanta::testing
