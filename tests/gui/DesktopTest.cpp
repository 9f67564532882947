// The window as an operator on a Linux desktop meets it: Qt's own texts in
// the program's language, message boxes that fit their title and text, keys
// that work as on other desktops, and field boxes that only display.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <functional>
#include <memory>

#include "QtFormFixture.h"
#include "app/frmVHF.h"
#include "fakes/Fakes.h"
#include "fakes/TempDir.h"
#include "gui/QtDesktop.h"
#include "gui/QtDialogs.h"
#include "ui/WindowDescription.h"

namespace orvanta {
namespace {

// Runs the check on the modal dialog once it shows, then lets it close. The
// form may yield to the event loop before it shows the dialog, so the
// dialog is waited for.
template <class Dialog>
void whenShown(std::function<void(Dialog*)> answer, int triesLeft = 500) {
  QTimer::singleShot(10, [answer, triesLeft] {
    auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr || !dialog->isVisible()) {
      if (triesLeft > 0) whenShown<Dialog>(answer, triesLeft - 1);
      if (triesLeft == 0) ADD_FAILURE() << "no dialog showed";
      return;
    }
    answer(dialog);
  });
}

// The real desktop with its real message box and file dialog, a database in
// the start folder and a WSJT-X folder under the user's data folder.
class RealDialogs : public ::testing::Test {
 protected:
  RealDialogs() {
    desktop.useSettings(settings);
    settings.values[testing::FakeSettingsStore::path("VHF-Orvanta", "Settings", "Database")] =
        dir.write("CALL3.txt", "Q1ABC,JO31,Alpha,,,,,03/21\r\nQ2XYZ,JN58\r\n");
    dir.write("data/WSJT-X/wsjtx.log", "x\n");
    environment.variables["XDG_DATA_HOME"] = dir.file("data");
    const DesktopServices s = desktop.services();
    form = std::make_unique<frmVHF>(FormServices{s.window, s.messages, s.fileDialog, s.settings, files, clock,
                                                 s.events, nullptr, &environment});
    desktop.attach(*form);
    desktop.start();
  }
  ~RealDialogs() override {
    form->mnuDeutsch_Click();  // the next test starts as the program does
    desktop.detach();
  }

  // Searches Q2XYZ and returns the texts of the Yes and No buttons of the
  // "search further" box.
  QStringList searchButtons() {
    QStringList texts;
    whenShown<QMessageBox>([&](QMessageBox* box) {
      if (box->button(QMessageBox::Yes) == nullptr) {
        ADD_FAILURE() << "not the search's question: " << box->text().toStdString();
        box->done(0);
        return;
      }
      texts << box->button(QMessageBox::Yes)->text() << box->button(QMessageBox::No)->text();
      box->button(QMessageBox::No)->click();
    });
    desktop.window().setText("Text10", "Q2XYZ");
    form->Command1_Click();
    return texts;
  }

  testing::TempDir dir;
  testing::CurrentDirectory cwd{dir.path()};
  testing::FakeSettingsStore settings;
  testing::FakeEnvironment environment;
  StdFileSystem files;
  testing::FakeClock clock;
  QtDesktop desktop;
  std::unique_ptr<frmVHF> form;
};

TEST_F(RealDialogs, MessageBoxButtonsFollowTheLanguage) {
  EXPECT_EQ(searchButtons(), QStringList({"&Ja", "&Nein"}));
  form->mnuEnglisch_Click();
  EXPECT_EQ(searchButtons(), QStringList({"&Yes", "&No"}));
  form->mnuDeutsch_Click();
  EXPECT_EQ(searchButtons(), QStringList({"&Ja", "&Nein"}));
}

TEST_F(RealDialogs, FileDialogSpeaksGermanAndOffersTheWsjtxFolder) {
  for (const bool german : {true, false}) {
    SCOPED_TRACE(german ? "de" : "en");
    if (!german) form->mnuEnglisch_Click();
    bool seen = false;
    whenShown<QFileDialog>([&](QFileDialog* dialog) {
      seen = true;
      auto* buttons = dialog->findChild<QDialogButtonBox*>();
      ASSERT_NE(buttons, nullptr);
      EXPECT_EQ(buttons->button(QDialogButtonBox::Cancel)->text(), german ? "Abbrechen" : "Cancel");
      EXPECT_TRUE(dialog->sidebarUrls().contains(
          QUrl::fromLocalFile(QString::fromStdString(dir.file("data/WSJT-X")))));
      dialog->reject();
    });
    form->Command4_Click();
    EXPECT_TRUE(seen);
  }
}

struct TitleCase {
  const char* name;
  const char* title;
  const char* text;
};

class MessageBoxWidth : public ::testing::TestWithParam<TitleCase> {};

TEST_P(MessageBoxWidth, AtLeastTheTitleAndRoomForTheTitleBarButtons) {
  QtMessageBox messages(nullptr);
  int width = 0;
  whenShown<QMessageBox>([&](QMessageBox* box) {
    width = box->width();
    // Whatever the title asks, the text is never cut.
    auto* label = box->findChild<QLabel*>("qt_msgbox_label");
    ASSERT_NE(label, nullptr);
    const QFontMetrics metrics(label->font());
    const int textLeft = label->mapTo(box, label->contentsRect().topLeft()).x();
    for (const QString& line : QString::fromUtf8(GetParam().text).split('\n')) {
      EXPECT_LE(metrics.horizontalAdvance(line), label->contentsRect().width()) << line.toStdString();
      EXPECT_LE(textLeft + metrics.horizontalAdvance(line), box->width()) << line.toStdString();
    }
    box->button(QMessageBox::Ok)->click();
  });
  messages.show(GetParam().text, GetParam().title, MessageIcon::Information, MessageButtons::Ok);
  const int title = QFontMetrics(QApplication::font()).horizontalAdvance(QString::fromUtf8(GetParam().title));
  EXPECT_GE(width, title + 120);
}

INSTANTIATE_TEST_SUITE_P(Titles, MessageBoxWidth,
                         ::testing::Values(TitleCase{"SearchSucceeded", " Suche erfolgreich",
                                                     "Weiter suchen ?"},
                                           TitleCase{"DatabaseError", " Datenbankfehler ", "x"},
                                           TitleCase{"ShortTitle", "Info", "Q1ABC"},
                                           TitleCase{"TextWiderThanTitle", "Add station",
                                                     "The station Q7NEW has been added to "
                                                     "/home/operator/.local/share/WSJT-X/CALL3.txt."}),
                         [](const auto& p) { return std::string(p.param.name); });

TEST(AboutBox, FitsTheScreenAndBreaksLinesOnlyWhereTheTextDoes) {
  for (const bool german : {true, false}) {
    SCOPED_TRACE(german ? "de" : "en");
    const QString text = QString::fromStdString(aboutText(german, "\n"));
    QtMessageBox messages(nullptr);
    bool seen = false;
    whenShown<QMessageBox>([&](QMessageBox* box) {
      seen = true;
      const QRect screen = box->screen()->availableGeometry();
      EXPECT_LE(box->frameGeometry().width(), screen.width());
      auto* label = box->findChild<QLabel*>("qt_msgbox_label");
      ASSERT_NE(label, nullptr);
      const QFontMetrics metrics(label->font());
      for (const QString& line : text.split('\n')) {
        EXPECT_LE(metrics.horizontalAdvance(line), label->contentsRect().width()) << line.toStdString();
      }
      // One line of text per line of the About text, none wrapped.
      const qsizetype lines = text.count('\n') + 1;
      EXPECT_LE(label->height(), metrics.lineSpacing() * lines + qsizetype{2} * metrics.height());
      box->button(QMessageBox::Ok)->click();
    });
    messages.show(text.toStdString(), std::string(kAboutTitle), MessageIcon::Information, MessageButtons::Ok);
    EXPECT_TRUE(seen);
  }
}

class WindowKeys : public testing::QtFormFixture {};

TEST_F(WindowKeys, EnterAndReturnPressAFocusedButton) {
  startForm();
  for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
    dialog.requests.clear();
    auto* open = find<QPushButton>("Command4");
    open->setFocus();
    QTest::keyClick(open, key);
    EXPECT_EQ(dialog.requests.size(), 1U) << key;
  }
}

TEST_F(WindowKeys, FieldBoxesOnlyDisplayAndShowTheWholeTextWhenItDoesNotFit) {
  startForm();
  for (int n = 2; n <= 9; ++n) {
    const std::string name = "Text" + std::to_string(n);
    SCOPED_TRACE(name);
    auto* box = find<QLineEdit>(name.c_str());
    EXPECT_TRUE(box->isReadOnly());
    desktop.window().setText(name, "Q1ABC");
    QTest::keyClicks(box, "xyz");
    EXPECT_EQ(box->text(), "Q1ABC");
    EXPECT_EQ(box->toolTip(), "") << "a text that fits needs no tooltip";
    const std::string remark = "Worked on 2 m, 70 cm and 23 cm in the contest, QSL via bureau and direct, " +
                               name + " has a remark longer than any of the field boxes is wide";
    desktop.window().setText(name, remark);
    EXPECT_EQ(box->toolTip().toStdString(), remark);
  }
  EXPECT_FALSE(find<QLineEdit>("Text10")->isReadOnly());
}

}  // namespace
}  // namespace orvanta
