#include <array>

#include "BenchCommands.h"

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
