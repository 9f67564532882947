#include <span>

#include "app/frmVHF.h"
#include "records/Text.h"
#include "ui/WindowDescription.h"

namespace orvanta {

void frmVHF::ApplyLanguage() {
  // The column is chosen anew on every call: exactly "de" is German.
  const bool german = isGerman();
  const auto apply = [&](std::span<const LanguageText> table) {
    for (const auto& entry : table) {
      const std::string_view text = german ? entry.german : entry.english;
      if (entry.property == TextProperty::Caption) {
        window_.setCaption(entry.control, text);
      } else {
        window_.setToolTip(entry.control, text);
      }
    }
  };
  window_.setTitle(windowTitle(german));
  // The toolkit's own texts follow, so a German message box says "Ja", not "Yes".
  window_.setToolkitLanguage(german ? "de" : "en");
  apply(commonTexts());
  // Without a known kind the field labels and Combo1's tooltip stay as they are.
  if (DbKind == "user") apply(userDatabaseTexts());
  if (DbKind == "log") apply(logDatabaseTexts());
}

void frmVHF::mnuDeutsch_Click() {
  Language = "de";
  ApplyLanguage();
  refreshStation(false);
}

void frmVHF::mnuEnglisch_Click() {
  Language = "en";
  ApplyLanguage();
  refreshStation(false);
}

void frmVHF::mnuOpt_Click() {
  window_.setChecked(ctl::kMnuDeutsch, Language == "de");
  window_.setChecked(ctl::kMnuEnglisch, Language == "en");
}

void frmVHF::mnuExtr_Click() {
  const std::string current = window_.text(ctl::kCombo1);
  if (current.empty()) {
    window_.setEnabled(ctl::kMnuAktualiesieren, false);
    return;
  }
  // The last three characters, upper-cased, name a user database; anything
  // else (a log) leaves the merge item as it was.
  const std::string ending = upperAscii(current.substr(current.size() >= 3 ? current.size() - 3 : 0));
  if (ending == "TXT") window_.setEnabled(ctl::kMnuAktualiesieren, true);
}

void frmVHF::mnuInfo_Click() {
  messages_.show(aboutText(isGerman(), NewLine), std::string(kAboutTitle), MessageIcon::Information,
                 MessageButtons::Ok);
  focusSearchBox();
}

}  // namespace orvanta
