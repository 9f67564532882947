#include <array>

#include "BenchCommands.h"
#include "ui/WindowDescription.h"

namespace orvanta::bench {

BenchSession::BenchSession(std::string language) : language_(std::move(language)) {
  messages.recordCalls = false;
  dialog.recordRequests = false;
}

void BenchSession::start(const std::string& database, const std::vector<std::string>& others) {
  using testing::FakeSettingsStore;
  settings.values[FakeSettingsStore::path("VHF-Orvanta", "Settings", "Sprache")] = language_;
  settings.values[FakeSettingsStore::path("VHF-Orvanta", "Settings", "Database")] = database;
  form.Form_Load();
  for (const auto& other : others) window.addListItem(ctl::kCombo1, other);
  form.Form_Resize();
  form.Form_Activate();
}

void BenchSession::printFields(std::ostream& out) const {
  static constexpr std::array<std::string_view, 8> kBoxes = {
      ctl::kText2, ctl::kText3, ctl::kText4, ctl::kText5, ctl::kText6, ctl::kText7, ctl::kText8, ctl::kText9};
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
