#include "app/frmVHF.h"
#include "ui/WindowDescription.h"

#include <array>
#include <exception>
#include <optional>
#include <string>

#include "platform/Paths.h"
#include "records/DatabaseKind.h"
#include "records/Text.h"
#include "ui/MessageTexts.h"

namespace orvanta {
frmVHF::frmVHF(const FormServices& services)
    : window_(services.window),
      messages_(services.messages),
      fileDialog_(services.fileDialog),
      settings_(services.settings),
      files_(services.files),
      clock_(services.clock),
      events_(services.events),
      workedBefore_(services.workedBefore),
      environment_(services.environment),
      stationDialog_(services.stationDialog),
      stationView_(services.stationView),
      connectionDialog_(services.connectionDialog),
      socketWatcher_(services.socketWatcher),
      listen_(services.listen) {
  if (stationView_ != nullptr) {
    stationView_->setHandlers([this](bool checked) { stationBaseCall_Click(checked); },
                              [this](bool checked) { stationAutoAdd_Click(checked); });
  }
}

void frmVHF::onWindowEvent(std::string_view control, WindowEvent event, int key) {
  // The last resort: whatever a handler lets escape, memory running out
  // included, is told to the operator, and the program goes on.
  ++handlerDepth_;
  try {
    dispatch(control, event, key);
  } catch (const std::exception& e) {
    reportUnexpected(e.what());
  } catch (...) {
    reportUnexpected(texts::kUnknownReason.in(isGerman()));
  }
  --handlerDepth_;
  if (handlerDepth_ == 0) afterHandler(control);
}

void frmVHF::reportUnexpected(std::string_view reason) noexcept {
  try {
    const std::string text = say(texts::kUnexpectedError, {reason});
    messages_.show(text, std::string(texts::kUnexpectedErrorTitle), MessageIcon::Stop, MessageButtons::Ok);
  } catch (...) {
    // Not even the message could be shown (memory still short): the program
    // goes on all the same.
  }
}

std::string frmVHF::lineTooLongText(std::uint64_t line) const {
  return say(texts::kLineTooLong, {std::to_string(line)});
}

void frmVHF::dispatch(std::string_view control, WindowEvent event, int key) {
  switch (event) {
    case WindowEvent::Load:
      Form_Load();
      return;
    case WindowEvent::Activate:
      Form_Activate();
      return;
    case WindowEvent::Resize:
      Form_Resize();
      return;
    case WindowEvent::Unload:
      Form_Unload();
      return;
    case WindowEvent::KeyPress:
      if (control == ctl::kText10) Text10_KeyPress(key);
      return;
    case WindowEvent::MenuOpen:
      if (control == ctl::kMnuOpt) mnuOpt_Click();
      if (control == ctl::kMnuExtr) mnuExtr_Click();
      return;
    case WindowEvent::Click:
      dispatchClick(control);
      return;
  }
}

void frmVHF::dispatchClick(std::string_view control) {
  struct Binding {
    std::string_view name;
    void (frmVHF::*handler)();
  };
  static constexpr auto kClicks = std::to_array<Binding>({
      {ctl::kCombo1, &frmVHF::Combo1_Click},
      {ctl::kText2, &frmVHF::Text2_Click},
      {ctl::kText3, &frmVHF::Text3_Click},
      {ctl::kText4, &frmVHF::Text4_Click},
      {ctl::kText5, &frmVHF::Text5_Click},
      {ctl::kText6, &frmVHF::Text6_Click},
      {ctl::kText7, &frmVHF::Text7_Click},
      {ctl::kText8, &frmVHF::Text8_Click},
      {ctl::kText9, &frmVHF::Text9_Click},
      {ctl::kCommand1, &frmVHF::Command1_Click},
      {ctl::kCommand2, &frmVHF::Command2_Click},
      {ctl::kCommand3, &frmVHF::Command3_Click},
      {ctl::kCommand4, &frmVHF::Command4_Click},
      {ctl::kMnuOpen, &frmVHF::mnuOpen_Click},
      {ctl::kMnuSuch, &frmVHF::mnuSuch_Click},
      {ctl::kMnuEnde, &frmVHF::mnuEnde_Click},
      {ctl::kMnuDeutsch, &frmVHF::mnuDeutsch_Click},
      {ctl::kMnuEnglisch, &frmVHF::mnuEnglisch_Click},
      {ctl::kMnuSetUpdate_Datum, &frmVHF::mnuSetUpdate_Datum_Click},
      {ctl::kMnuAktualiesieren, &frmVHF::mnuAktualiesieren_Click},
      {ctl::kMnuWorked, &frmVHF::mnuWorked_Click},
      {ctl::kMnuInfo, &frmVHF::mnuInfo_Click},
      {ctl::kMnuAddStation, &frmVHF::mnuAddStation_Click},
      {ctl::kMnuAddLog, &frmVHF::mnuAddLog_Click},
      {ctl::kMnuFollow, &frmVHF::mnuFollow_Click},
      {ctl::kMnuConnection, &frmVHF::mnuConnection_Click},
      {ctl::kMnuHighlight, &frmVHF::mnuHighlight_Click},
  });
  for (const auto& binding : kClicks) {
    if (binding.name == control) {
      (this->*binding.handler)();
      return;
    }
  }
}

bool frmVHF::FileExists(const std::string& path) {
  if (path.empty()) return false;
  std::optional<std::string> found;
  try {
    found = files_.findFirst(path);
  } catch (const FileError& e) {
    throw ReadError(path, e);
  }
  if (!found) return false;
  // A name without wildcards must exist as written: the readers open the
  // path as it stands, and on Linux another letter case is another file.
  const std::string last = fileNameOf(path);
  return last.find_first_of("*?") != std::string::npos || *found == last;
}

bool frmVHF::applyKindRule(const std::string& path) {
  const PathKind found = kindOfPath(path);
  if (found.kind != DatabaseKind::None) DbKind = kindText(found.kind);
  return found.txt;
}

void frmVHF::focusSearchBox() { window_.setFocus(ctl::kText10); }

}  // namespace orvanta
