#include "fakes/Fakes.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "ui/WindowDescription.h"

namespace orvanta::testing {

// By default the fake knows exactly the controls of the real window, in the
// state they start in, so a misspelt name or a wrong start state fails a test.
FakeWindow::FakeWindow() {
  for (const auto& state : initialControlStates()) {
    known_.push_back(state.name);
    controls_[state.name].enabled = state.enabled;
  }
}

FakeWindow::FakeWindow(std::vector<std::string> knownControls) : known_(std::move(knownControls)) {}

const FakeWindow::Control& FakeWindow::control(std::string_view name) const {
  return const_cast<FakeWindow*>(this)->mutableControl(name);
}

FakeWindow::Control& FakeWindow::mutableControl(std::string_view name) {
  if (!known_.empty() && std::find(known_.begin(), known_.end(), name) == known_.end()) {
    ADD_FAILURE() << "the window has no control named " << name;
  }
  auto it = controls_.find(name);
  if (it == controls_.end()) it = controls_.emplace(std::string(name), Control{}).first;
  return it->second;
}

std::string FakeWindow::text(std::string_view c) const { return control(c).text; }
void FakeWindow::setText(std::string_view c, std::string_view t) { mutableControl(c).text = t; }
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
  calls.push_back(Call{text, title, icon, buttons});
  if (onShow) onShow(calls.back());
  if (buttons == MessageButtons::Ok) return MessageAnswer::Ok;
  if (answers.empty()) return MessageAnswer::Yes;
  const MessageAnswer answer = answers.front();
  answers.pop_front();
  return answer;
}

OpenFileResult FakeFileDialog::openFile(const OpenFileRequest& request) {
  requests.push_back(request);
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
