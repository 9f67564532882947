// The "worked before?" window on Qt, driven the way an operator would.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>

#include "gui/QtWorkedBeforeView.h"

namespace orvanta {
namespace {

WorkedBeforeTable tableOf(bool checked) {
  WorkedBeforeTable table;
  table.title = "Worked before?";
  table.heading = checked ? "Q1ABC: 3 contacts" : "Q1ABC: 2 contacts";
  table.columns = {"Band", "FT4", "FT8", "First", "Last", "Grids"};
  table.rows = {{"20m", "1", "", "2020-03-01", "2020-03-01", ""},
                {"2m", "", checked ? "2" : "1", "2020-01-01", "2020-01-05", "JO62, JO62QM"}};
  table.notes = {"Cannot be read: /gone.log (No such file or directory)"};
  table.checkBoxText = "Match the base call (without /P, /M, prefix)";
  table.checked = checked;
  table.closeText = "Close";
  return table;
}

QStringList rowTexts(const QTableWidget& table, int row) {
  QStringList cells;
  for (int c = 0; c < table.columnCount(); ++c)
    cells << (table.item(row, c) != nullptr ? table.item(row, c)->text() : "-");
  return cells;
}

TEST(QtWorkedBeforeView, ShowsTheTableTogglesAndCloses) {
  QtWorkedBeforeView view(nullptr);
  std::vector<bool> asked;
  bool seen = false;
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    seen = true;
    EXPECT_EQ(dialog->windowTitle(), "Worked before?");
    auto* heading = dialog->findChild<QLabel*>("heading");
    auto* table = dialog->findChild<QTableWidget*>("table");
    auto* notes = dialog->findChild<QLabel*>("notes");
    auto* empty = dialog->findChild<QLabel*>("empty");
    auto* box = dialog->findChild<QCheckBox*>("baseCall");
    auto* close = dialog->findChild<QPushButton*>("close");
    ASSERT_TRUE(heading && table && notes && empty && box && close);
    EXPECT_EQ(heading->text(), "Q1ABC: 2 contacts");
    ASSERT_EQ(table->columnCount(), 6);
    EXPECT_EQ(table->horizontalHeaderItem(1)->text(), "FT4");
    ASSERT_EQ(table->rowCount(), 2);
    EXPECT_EQ(rowTexts(*table, 1), QStringList({"2m", "", "1", "2020-01-01", "2020-01-05", "JO62, JO62QM"}));
    EXPECT_TRUE(notes->text().contains("/gone.log"));
    EXPECT_TRUE(empty->isHidden());
    EXPECT_EQ(box->text(), "Match the base call (without /P, /M, prefix)");
    EXPECT_FALSE(box->isChecked());
    EXPECT_EQ(close->text(), "Close");
    EXPECT_EQ(table->editTriggers(), QAbstractItemView::NoEditTriggers);

    box->click();
    EXPECT_EQ(heading->text(), "Q1ABC: 3 contacts");
    EXPECT_EQ(rowTexts(*table, 1).at(2), "2");
    EXPECT_TRUE(box->isChecked());
    box->click();
    EXPECT_EQ(heading->text(), "Q1ABC: 2 contacts");
    close->click();
  });
  view.show(tableOf(false), [&](bool checked) {
    asked.push_back(checked);
    return tableOf(checked);
  });
  EXPECT_TRUE(seen);
  EXPECT_EQ(asked, (std::vector<bool>{true, false}));
}

TEST(QtWorkedBeforeView, NoContactSaysSo) {
  WorkedBeforeTable table = tableOf(false);
  table.rows.clear();
  table.notes.clear();
  table.emptyText = "No contact with this call sign.";
  bool seen = false;
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    seen = true;
    EXPECT_EQ(dialog->findChild<QTableWidget*>("table")->rowCount(), 0);
    EXPECT_FALSE(dialog->findChild<QLabel*>("empty")->isHidden());
    EXPECT_EQ(dialog->findChild<QLabel*>("empty")->text(), "No contact with this call sign.");
    EXPECT_TRUE(dialog->findChild<QLabel*>("notes")->isHidden());
    dialog->reject();  // the window's own close command
  });
  QtWorkedBeforeView(nullptr).show(table, [&](bool) { return table; });
  EXPECT_TRUE(seen);
}

}  // namespace
}  // namespace orvanta
