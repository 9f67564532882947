// The message box and file-open dialog adapters, answered by a timer the way
// an operator would answer them.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <array>
#include <functional>

#include "fakes/TempDir.h"
#include "gui/QtDialogs.h"

namespace orvanta {
namespace {

// Runs the check on the modal dialog once it shows, then lets it close.
template <class Dialog>
void whenShown(std::function<void(Dialog*)> answer) {
  QTimer::singleShot(0, [answer] {
    auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    answer(dialog);
  });
}

TEST(QtMessageBoxAdapter, ShowsTextTitleIconAndReturnsTheAnswer) {
  QtMessageBox messages(nullptr);
  struct Case {
    MessageIcon icon;
    QMessageBox::Icon shown;
    MessageButtons buttons;
    QMessageBox::StandardButton press;
    MessageAnswer expected;
  };
  const auto cases = std::to_array<Case>({
      {MessageIcon::Information, QMessageBox::Information, MessageButtons::Ok, QMessageBox::Ok,
       MessageAnswer::Ok},
      {MessageIcon::Exclamation, QMessageBox::Warning, MessageButtons::YesNo, QMessageBox::Yes,
       MessageAnswer::Yes},
      {MessageIcon::Stop, QMessageBox::Critical, MessageButtons::YesNo, QMessageBox::No, MessageAnswer::No},
  });
  for (const auto& c : cases) {
    bool seen = false;
    whenShown<QMessageBox>([&](QMessageBox* box) {
      seen = true;
      EXPECT_EQ(box->windowTitle(), " Info");
      EXPECT_EQ(box->text(), QString::fromUtf8("Q1ABC gefunden\nWeiter suchen ?\n\nÄnderung <b>"));
      EXPECT_EQ(box->icon(), c.shown);
      const auto expectedButtons = c.buttons == MessageButtons::Ok
                                       ? QMessageBox::StandardButtons(QMessageBox::Ok)
                                       : QMessageBox::Yes | QMessageBox::No;
      EXPECT_EQ(box->standardButtons(), expectedButtons);
      box->button(c.press)->click();
    });
    EXPECT_EQ(
        messages.show("Q1ABC gefunden\r\nWeiter suchen ?\r\n\r\nÄnderung <b>", " Info", c.icon, c.buttons),
        c.expected);
    EXPECT_TRUE(seen);
  }
}

TEST(QtMessageBoxAdapter, EscapeAnswersNo) {
  QtMessageBox messages(nullptr);
  whenShown<QMessageBox>([](QMessageBox* box) { box->reject(); });
  EXPECT_EQ(messages.show("Weiter suchen ?", "Suchen", MessageIcon::Information, MessageButtons::YesNo),
            MessageAnswer::No);
}

OpenFileRequest germanRequest(const std::string& folder, int filterIndex) {
  return OpenFileRequest{"Öffnen",
                         folder,
                         "CALL3.txt",
                         {{"User-Datenbank (*.txt)", "*.txt"},
                          {"Log-Datei (*.log)", "*.log"},
                          {"ADIF-Log (*.adi *.adif)", "*.adi *.adif"},
                          {"Alle Dateien (*.*)", "*.*"}},
                         filterIndex};
}

TEST(QtFileDialogAdapter, OffersTitleFolderNameAndFiltersAndReturnsTheChosenFile) {
  testing::TempDir dir;
  const std::string chosen = dir.write("CALL3.txt", "Q1ABC,JO01AA\r\n");
  dir.write("README", "x");
  QtFileDialog files(nullptr);
  bool seen = false;
  whenShown<QFileDialog>([&](QFileDialog* dialog) {
    seen = true;
    EXPECT_EQ(dialog->windowTitle(), QString::fromUtf8("Öffnen"));
    EXPECT_EQ(QDir(dialog->directory()).canonicalPath(),
              QDir(QString::fromStdString(dir.path())).canonicalPath());
    // "*.*" stands for every file here, also those without a dot.
    EXPECT_EQ(dialog->nameFilters(), QStringList({"User-Datenbank (*.txt)", "Log-Datei (*.log)",
                                                  "ADIF-Log (*.adi *.adif)", "Alle Dateien (*)"}));
    EXPECT_EQ(dialog->selectedNameFilter(), "User-Datenbank (*.txt)");
    EXPECT_EQ(dialog->fileMode(), QFileDialog::ExistingFile);
    static_cast<QDialog*>(dialog)->accept();  // the dialog's own Open button
  });
  const OpenFileResult result = files.openFile(germanRequest(dir.path(), 1));
  EXPECT_TRUE(seen);
  EXPECT_EQ(result.outcome, OpenFileResult::Outcome::Chosen);
  EXPECT_EQ(QFileInfo(QString::fromStdString(result.path)).canonicalFilePath(),
            QFileInfo(QString::fromStdString(chosen)).canonicalFilePath());
}

TEST(QtFileDialogAdapter, PreselectsTheFilterAndReportsACancel) {
  testing::TempDir dir;
  QtFileDialog files(nullptr);
  for (const int index : {2, 3, 0, 7}) {
    whenShown<QFileDialog>([&](QFileDialog* dialog) {
      const QStringList filters = dialog->nameFilters();
      const int expected = index == 2 ? 1 : index == 3 ? 2 : 0;  // out of range: the first
      EXPECT_EQ(dialog->selectedNameFilter(), filters.value(expected)) << index;
      dialog->reject();
    });
    const OpenFileResult result = files.openFile(germanRequest(dir.path(), index));
    EXPECT_EQ(result.outcome, OpenFileResult::Outcome::Cancelled);
    EXPECT_TRUE(result.path.empty());
  }
}

}  // namespace
}  // namespace orvanta
