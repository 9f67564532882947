// The search in the real window: typing into the search box and pressing
// Enter shows the record in the field boxes.

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <memory>

#include "QtFormFixture.h"
#include "app/frmVHF.h"
#include "fakes/Fakes.h"
#include "fakes/TempDir.h"
#include "gui/QtDesktop.h"
#include "platform/FileSystem.h"

namespace orvanta {
namespace {

class SearchWindow : public testing::QtFormFixture {
 protected:
  void startOn(const std::string& database) {
    settings.values[testing::FakeSettingsStore::path("VHF-Orvanta", "Settings", "Database")] = database;
    settings.values[testing::FakeSettingsStore::path("VHF-Orvanta", "Settings", "Sprache")] = "en";
    startForm();
  }

  QLineEdit* box(const char* name) { return find<QLineEdit>(name); }
};

TEST_F(SearchWindow, EnterInTheSearchBoxShowsTheRecord) {
  // A Windows-1252 database with CR LF, as the WSJT programs on Windows write it.
  const std::string path = dir.write("CALL3.txt",
                                     "//CALL3.txt format for WSJT-PROGRAMs by Q9ZZ\r\n"
                                     "Q1AAA,JO01AA,first,FT8,,,,01/20\r\n"
                                     "Q2MUE,JN58XY,M\xFCller EME,JT65B,2x12el,,,05/21\r\n"
                                     "Q3CCC,IO91,third,,,,,03/22\r\n"
                                     "ZZZZZZ,End-Of-Call3-Database\r\n");
  startOn(path);
  desktop.mainWindow().show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&desktop.mainWindow()));
  auto* command2 = desktop.mainWindow().findChild<QPushButton*>("Command2");
  ASSERT_NE(command2, nullptr);
  EXPECT_FALSE(command2->isEnabled());

  messages.answers = {MessageAnswer::No};
  QLineEdit* search = box("Text10");
  ASSERT_NE(search, nullptr);
  search->setFocus();
  QTest::keyClicks(search, "q2mue");
  QTest::keyClick(search, Qt::Key_Return);

  EXPECT_EQ(search->text(), "q2mue") << "the typed text stays in the search box";
  EXPECT_EQ(box("Text2")->text(), "Q2MUE");
  EXPECT_EQ(box("Text3")->text(), "JN58XY");
  EXPECT_EQ(box("Text4")->text(), QString::fromUtf8("MÜLLER EME"));
  EXPECT_EQ(box("Text6")->text(), "2X12EL");
  EXPECT_EQ(box("Text9")->text(), "05/21");
  ASSERT_EQ(messages.calls.size(), 1U);
  EXPECT_EQ(messages.calls[0].text, "Search further ?");
  EXPECT_TRUE(command2->isEnabled());

  // "+" in the window steps to the next record, as stored.
  QTest::mouseClick(desktop.mainWindow().findChild<QPushButton*>("Command3"), Qt::LeftButton);
  EXPECT_EQ(box("Text2")->text(), "Q3CCC");
  EXPECT_EQ(box("Text4")->text(), "third");
  EXPECT_EQ(search->text(), "Q3CCC");

  // A locator typed in lower case, found with the keypad's Enter.
  search->clear();
  QTest::keyClicks(search, "jo01aa");
  messages.answers = {MessageAnswer::No};
  QTest::keyClick(search, Qt::Key_Enter);
  EXPECT_EQ(box("Text2")->text(), "Q1AAA");
}

}  // namespace
}  // namespace orvanta
