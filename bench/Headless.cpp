#include "BenchCommands.h"

#include <array>

namespace orvanta::bench {

// Kept out of line so that the look-up of a text box stays a few
// instructions.
[[gnu::noinline]] HeadlessWindow::Control& HeadlessWindow::namedControl(std::string_view name) const {
  auto it = controls_.find(name);
  if (it == controls_.end()) it = controls_.emplace(std::string(name), Control{}).first;
  return it->second;
}

HeadlessWindow::Control& HeadlessWindow::control(std::string_view name) const {
  // The boxes Text2 to Text10 go by their number, without a map look-up: a
  // search writes eight of them for every hit.
  if ((name.size() == 5 || name.size() == 6) && name[0] == 'T' && name[1] == 'e' && name[2] == 'x' &&
      name[3] == 't') {
    const int number = name.size() == 5 ? name[4] - '0' : (name[4] - '0') * 10 + (name[5] - '0');
    if (number >= 2 && number <= 10) return textBoxes_[static_cast<std::size_t>(number)];
  }
  return namedControl(name);
}

std::string HeadlessWindow::text(std::string_view c) const { return control(c).text; }
void HeadlessWindow::setText(std::string_view c, std::string_view t) { control(c).text.assign(t); }
std::string HeadlessWindow::caption(std::string_view c) const { return control(c).caption; }
void HeadlessWindow::setCaption(std::string_view c, std::string_view t) {
  control(c).caption = std::string(t);
}
std::string HeadlessWindow::toolTip(std::string_view c) const { return control(c).toolTip; }
void HeadlessWindow::setToolTip(std::string_view c, std::string_view t) {
  control(c).toolTip = std::string(t);
}
bool HeadlessWindow::isEnabled(std::string_view c) const { return control(c).enabled; }
void HeadlessWindow::setEnabled(std::string_view c, bool e) { control(c).enabled = e; }
bool HeadlessWindow::isChecked(std::string_view c) const { return control(c).checked; }
void HeadlessWindow::setChecked(std::string_view c, bool e) { control(c).checked = e; }
std::vector<std::string> HeadlessWindow::listItems(std::string_view c) const { return control(c).items; }
void HeadlessWindow::addListItem(std::string_view c, std::string_view item) {
  control(c).items.emplace_back(item);
}
void HeadlessWindow::clearList(std::string_view c) {
  auto& ctl = control(c);
  ctl.items.clear();
  ctl.text.clear();
}

MessageAnswer HeadlessMessageBox::show(const std::string& text, const std::string& title, MessageIcon icon,
                                       MessageButtons buttons) {
  ++count;
  // Assigned field by field so that a run of prompts reuses the storage.
  last.text.assign(text);
  last.title.assign(title);
  last.icon = icon;
  last.buttons = buttons;
  if (echo != nullptr) {
    std::string oneLine = text;
    for (char& ch : oneLine) {
      if (ch == '\r' || ch == '\n') ch = ' ';
    }
    *echo << "message [" << title << "]: " << oneLine << '\n';
  }
  if (buttons == MessageButtons::Ok) return MessageAnswer::Ok;
  ++yesNoCount;
  return answer ? answer(last) : MessageAnswer::Yes;
}

OpenFileResult HeadlessFileDialog::openFile(const OpenFileRequest& /*request*/) {
  if (paths.empty()) return OpenFileResult{};
  OpenFileResult result{OpenFileResult::Outcome::Chosen, paths.front(), {}};
  paths.pop_front();
  return result;
}

std::string HeadlessSettingsStore::read(const std::string& /*application*/, const std::string& /*section*/,
                                        const std::string& key, const std::string& defaultValue) {
  const auto it = values.find(key);
  return it == values.end() ? defaultValue : it->second;
}

void HeadlessSettingsStore::write(const std::string& /*application*/, const std::string& /*section*/,
                                  const std::string& key, const std::string& value) {
  values[key] = value;
}

BenchSession::BenchSession(std::string language) : language_(std::move(language)) {}

void BenchSession::start(const std::string& database, const std::vector<std::string>& others) {
  settings.values["Sprache"] = language_;
  settings.values["Database"] = database;
  form.Form_Load();
  for (const auto& other : others) window.addListItem("Combo1", other);
  form.Form_Resize();
  form.Form_Activate();
}

void BenchSession::printFields(std::ostream& out) const {
  static constexpr std::array<std::string_view, 8> kBoxes = {"Text2", "Text3", "Text4", "Text5",
                                                             "Text6", "Text7", "Text8", "Text9"};
  for (const auto box : kBoxes) out << box << ": " << window.text(box) << '\n';
}

void BenchSession::printLastNotice(std::ostream& out) const {
  if (messages.count == 0 || messages.last.buttons != MessageButtons::Ok) return;
  std::string text = messages.last.text;
  for (char& ch : text) {
    if (ch == '\r' || ch == '\n') ch = ' ';
  }
  out << "message [" << messages.last.title << "]: " << text << '\n';
}

}  // namespace orvanta::bench
