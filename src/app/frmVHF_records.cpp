#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "app/frmVHF.h"
#include "records/NormalizeRecord.h"
#include "records/RecordView.h"
#include "ui/MessageTexts.h"
#include "ui/WindowDescription.h"

namespace orvanta {

void frmVHF::ClearFields() {
  for (std::size_t i = 0; i < kRecordBoxes; ++i) window_.setText(recordViewBoxName(i), "");
}

// The boxes show the line decoded from its file's encoding. RecordKey keeps
// the raw bytes of the file: the "+"/"-" steps look for it in the raw lines
// (upper-cased in the file's own encoding), so decoding it would make a key
// with umlauts in a Windows-1252 log never match again.
void frmVHF::ShowRecord(std::string& line, Encoding encoding) {
  const std::string date;  // empty: a user record without a date shows "01/00"
  // A search shows every hit, so the fields stay views into the line and the
  // boxes views into the fields; only the joined boxes of a log are built.
  // The field list is kept from record to record for its storage only, and
  // is done with before the first box is written.
  orvanta::normalizeRecordFields(line, date, DbKind, FieldSeparator, recordFields_);
  RecordBoxes view;
  fillRecordBoxes(recordFields_, DbKind, view);
  recordFields_.clear();
  // The boxes hold only text of the line, so an ASCII line needs no decoding.
  const bool asciiLine = isAscii(line);
  for (std::size_t i = 0; i < kRecordBoxes; ++i) {
    if (!view.written[i]) continue;
    // ASCII reads the same in every encoding; only other text needs decoding.
    const std::string_view box = view.box(i);
    if (asciiLine) {
      window_.setText(recordViewBoxName(i), box);
    } else {
      window_.setText(recordViewBoxName(i), toUtf8(box, encoding));
    }
  }
  if (view.hasRecordKey) {
    RecordKey.assign(view.recordKey);
    RecordLine.assign(line);
  }
  // While following, the record comes without a word from the operator and
  // must not bring up a box.
  if (view.surplusFields == 0 || quietRecord_) return;

  // The message only informs; the boxes keep the record.
  window_.setMousePointer(MousePointer::Normal);
  const std::string call = toUtf8(view.surplusCall, encoding);
  messages_.show(say(texts::kSurplusSeparators, {call, std::to_string(view.surplusFields)}),
                 say(texts::kDatabaseErrorTitle), MessageIcon::Exclamation, MessageButtons::Ok);
}

void frmVHF::Combo1_Click() {
  DbPath = window_.text(ctl::kCombo1);
  Shown = {};
  if (!DbPath.empty() && applyKindRule(DbPath)) {
    // A user database has no record keys; a log chosen after a log keeps the
    // previous keys, so the next step looks for the last record shown there.
    StepKey.clear();
    RecordKey.clear();
  }
  ApplyLanguage();
  ClearFields();
  focusSearchBox();
}

// The field boxes only display: a click sends the caret back to the search box.
void frmVHF::Text2_Click() { focusSearchBox(); }

void frmVHF::Text3_Click() { focusSearchBox(); }

void frmVHF::Text4_Click() { focusSearchBox(); }

void frmVHF::Text5_Click() { focusSearchBox(); }

void frmVHF::Text6_Click() { focusSearchBox(); }

void frmVHF::Text7_Click() { focusSearchBox(); }

void frmVHF::Text8_Click() { focusSearchBox(); }

void frmVHF::Text9_Click() { focusSearchBox(); }

}  // namespace orvanta
