// The dialog that asks for a station typed in by hand, answered the way an
// operator would: a wrong entry is told in the dialog, which stays open.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <functional>

#include "gui/QtStationDialog.h"

namespace orvanta {
namespace {

void whenShown(const std::function<void(QDialog*)>& answer) {
  QTimer::singleShot(0, [answer] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    answer(dialog);
  });
}

QLineEdit* field(QDialog* dialog, const char* name) {
  auto* edit = dialog->findChild<QLineEdit*>(name);
  EXPECT_NE(edit, nullptr) << name;
  return edit;
}

QPushButton* button(QDialog* dialog, QDialogButtonBox::StandardButton which) {
  return dialog->findChild<QDialogButtonBox*>()->button(which);
}

StationDialogRequest request() {
  StationDialogRequest r;
  r.title = "Station übernehmen";
  r.callLabel = "Rufzeichen:";
  r.locatorLabel = "Locator:";
  r.remarkLabel = "Bemerkung:";
  r.okCaption = "OK";
  r.cancelCaption = "Abbrechen";
  r.initial.call = "q1abc";
  r.check = [](const StationEntry& entry) {
    return entry.locator == "JO62QM" ? std::string() : std::string("Der Locator ist ungültig.");
  };
  return r;
}

TEST(QtStationDialog, TellsAWrongEntryAndReturnsTheCorrectedOne) {
  QtStationDialog stationDialog(nullptr);
  bool seen = false;
  whenShown([&](QDialog* dialog) {
    seen = true;
    EXPECT_EQ(dialog->windowTitle(), QString::fromUtf8("Station übernehmen"));
    EXPECT_EQ(field(dialog, "call")->text(), "q1abc");
    EXPECT_EQ(button(dialog, QDialogButtonBox::Cancel)->text(), "Abbrechen");
    auto* problem = dialog->findChild<QLabel*>("problem");
    ASSERT_NE(problem, nullptr);
    EXPECT_TRUE(problem->isHidden());

    field(dialog, "locator")->setText("RR73");
    button(dialog, QDialogButtonBox::Ok)->click();
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_FALSE(problem->isHidden());
    EXPECT_EQ(problem->text(), QString::fromUtf8("Der Locator ist ungültig."));

    field(dialog, "locator")->setText("JO62QM");
    field(dialog, "remark")->setText(QString::fromUtf8("Müller"));
    button(dialog, QDialogButtonBox::Ok)->click();
  });
  const auto entry = stationDialog.askStation(request());
  EXPECT_TRUE(seen);
  ASSERT_TRUE(entry.has_value());
  EXPECT_EQ(entry->call, "q1abc");
  EXPECT_EQ(entry->locator, "JO62QM");
  EXPECT_EQ(entry->remark, "Müller");
}

TEST(QtStationDialog, CancelReturnsNothing) {
  QtStationDialog stationDialog(nullptr);
  whenShown([](QDialog* dialog) {
    field(dialog, "locator")->setText("JO62QM");
    button(dialog, QDialogButtonBox::Cancel)->click();
  });
  EXPECT_FALSE(stationDialog.askStation(request()).has_value());
}

}  // namespace
}  // namespace orvanta
