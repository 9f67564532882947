// The real window on the offscreen platform: built as the window description
// says, every caption readable in both languages, and the events the form
// listens to.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStyle>
#include <QTest>
#include <QWheelEvent>
#include <algorithm>
#include <cstdlib>
#include <memory>
#include <utility>
#include <vector>

#include "QtFormFixture.h"
#include "app/frmVHF.h"
#include "fakes/Fakes.h"
#include "fakes/TempDir.h"
#include "gui/QtDesktop.h"
#include "platform/FileSystem.h"
#include "ui/WindowDescription.h"

namespace orvanta {
namespace {

QRect expectedRect(const ControlDescription& c) {
  auto px = [](int twips) { return static_cast<int>(std::lround(twips / 15.0)); };
  const int height = c.kind == ControlKind::Line ? 1 : px(c.geometry.height);
  return {px(c.geometry.left), px(c.geometry.top), px(c.geometry.width), height};
}

// The caption as shown: the access-key marker goes, "&&" stays one "&".
QString shown(QString caption) {
  caption.replace("&&", "\x01");
  caption.remove('&');
  caption.replace('\x01', '&');
  return caption;
}

struct Recorded {
  std::string control;
  WindowEvent event;
  int key;
};

class RecordingListener final : public IWindowEvents {
 public:
  void onWindowEvent(std::string_view control, WindowEvent event, int key) override {
    events.push_back({std::string(control), event, key});
  }
  [[nodiscard]] int count(std::string_view control, WindowEvent event) const {
    return static_cast<int>(std::count_if(events.begin(), events.end(), [&](const Recorded& r) {
      return r.control == control && r.event == event;
    }));
  }
  std::vector<Recorded> events;
};

using MainWindow = testing::QtFormFixture;

TEST_F(MainWindow, EveryControlHasItsNameAndPlace) {
  desktop.mainWindow().show();
  for (const auto& c : windowControls()) {
    auto* w = find<QWidget>(std::string(c.name).c_str());
    if (w == nullptr) continue;
    EXPECT_EQ(w->geometry(), expectedRect(c)) << c.name;
    EXPECT_EQ(w->isEnabled(), c.enabled) << c.name;
    EXPECT_EQ(w->font().bold(), c.font.bold) << c.name;
  }
  const QWidget* client = desktop.mainWindow().centralWidget();
  EXPECT_EQ(client->size(), QSize(549, 302));
  EXPECT_FALSE(find<QPushButton>("Command2")->isEnabled());
  EXPECT_FALSE(find<QPushButton>("Command3")->isEnabled());
  EXPECT_GT(find<QPushButton>("Command2")->font().pixelSize(),
            find<QPushButton>("Command3")->font().pixelSize());

  const QColor darkBlue(0, 0, 128);
  EXPECT_EQ(find<QLineEdit>("Text2")->palette().color(QPalette::Text), darkBlue);
  EXPECT_EQ(find<QLineEdit>("Text4")->palette().color(QPalette::Text), darkBlue);
  EXPECT_NE(find<QLineEdit>("Text3")->palette().color(QPalette::Text), darkBlue);
  EXPECT_TRUE(find<QComboBox>("Combo1")->isEditable());

  for (const auto& m : menuTree()) {
    auto* entry = desktop.mainWindow().findChild<QObject*>(QString::fromUtf8(m.name.data(), m.name.size()));
    ASSERT_NE(entry, nullptr) << m.name;
    EXPECT_EQ(qobject_cast<QMenu*>(entry) != nullptr, m.hasItems) << m.name;
  }
  EXPECT_EQ(find<QAction>("mnuInfo")->shortcut(), QKeySequence(Qt::Key_F1));
  // Ctrl+A stays select-all in the text boxes.
  EXPECT_EQ(find<QAction>("mnuAddStation")->shortcut(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_A));
  EXPECT_EQ(find<QMenu>("mnuHelp")->title(), " &? ");
  // The menu bar in the order of the tree.
  QStringList bar;
  for (QAction* a : desktop.mainWindow().menuBar()->actions()) bar << a->menu()->objectName();
  EXPECT_EQ(bar, QStringList({"mnuDat", "mnuOpt", "mnuExtr", "mnuHelp"}));
  for (QAction* a : find<QMenu>("mnuDat")->actions()) EXPECT_TRUE(a->isEnabled());
}

TEST_F(MainWindow, EveryTextIsReadableInLightAndDarkPalettes) {
  const QPalette light = QApplication::palette();
  QPalette dark(QColor(53, 53, 53));  // Fusion's dark scheme
  dark.setColor(QPalette::Base, QColor(42, 42, 42));
  for (const auto& [name, palette] : {std::pair{"light", light}, std::pair{"dark", dark}}) {
    QApplication::setPalette(palette);
    QApplication::processEvents();
    for (const auto& c : windowControls()) {
      const bool box = c.kind == ControlKind::TextBox;
      if (!box && c.kind != ControlKind::Label) continue;
      const QPalette& p = find<QWidget>(std::string(c.name).c_str())->palette();
      const int text = p.color(box ? QPalette::Text : QPalette::WindowText).lightness();
      EXPECT_GE(std::abs(text - p.color(box ? QPalette::Base : QPalette::Window).lightness()), 100)
          << c.name << " " << name;
    }
  }
  QApplication::setPalette(light);
}

TEST_F(MainWindow, TabOrderFollowsTheTabIndex) {
  std::vector<const ControlDescription*> order;
  for (const auto& c : windowControls()) {
    if (c.tabIndex >= 0 && c.kind != ControlKind::Label) order.push_back(&c);
  }
  std::sort(order.begin(), order.end(), [](auto* a, auto* b) { return a->tabIndex < b->tabIndex; });
  ASSERT_EQ(order.front()->name, "Text10");
  // Command2 and Command3 are disabled at start; enable them to see their place.
  find<QPushButton>("Command2")->setEnabled(true);
  find<QPushButton>("Command3")->setEnabled(true);
  desktop.mainWindow().show();
  desktop.mainWindow().activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&desktop.mainWindow()));

  find<QLineEdit>("Text10")->setFocus();
  for (std::size_t i = 1; i < order.size(); ++i) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QWidget* now = QApplication::focusWidget();
    // Combo1's text line has the focus on behalf of the combo box.
    while (now != nullptr && now->objectName().isEmpty()) now = now->parentWidget();
    ASSERT_NE(now, nullptr);
    EXPECT_EQ(now->objectName().toStdString(), order[i]->name) << "after " << order[i - 1]->name;
  }

  // A label's access key hands the focus to the control after it.
  EXPECT_EQ(find<QLabel>("Label1")->buddy(), find<QComboBox>("Combo1"));
  EXPECT_EQ(find<QLabel>("Label10")->buddy(), find<QLineEdit>("Text10"));
  EXPECT_EQ(find<QLabel>("Label4")->buddy(), find<QLineEdit>("Text4"));
}

// Every caption of both languages and both database kinds fits its control.
TEST_F(MainWindow, EveryCaptionFitsInBothLanguages) {
  startForm();
  const int buttonMargin = desktop.mainWindow().style()->pixelMetric(QStyle::PM_ButtonMargin) +
                           2 * desktop.mainWindow().style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
  for (const char* language : {"de", "en"}) {
    for (const char* kind : {"user", "log"}) {
      form->Language = language;
      form->DbKind = kind;
      form->ApplyLanguage();
      const std::string where = std::string(language) + "/" + kind + " ";
      for (QLabel* label : desktop.mainWindow().findChildren<QLabel*>()) {
        if (label->objectName().isEmpty()) continue;
        const QFontMetrics fm(label->font());
        const QString text = shown(label->text());
        EXPECT_LE(fm.horizontalAdvance(text), label->contentsRect().width())
            << where << label->objectName().toStdString() << " \"" << text.toStdString() << "\"";
        EXPECT_LE(fm.height(), label->contentsRect().height()) << where << label->objectName().toStdString();
      }
      for (QPushButton* button : desktop.mainWindow().findChildren<QPushButton*>()) {
        if (button->objectName().isEmpty()) continue;
        const QFontMetrics fm(button->font());
        const QString text = shown(button->text());
        EXPECT_LE(fm.horizontalAdvance(text) + buttonMargin, button->width())
            << where << button->objectName().toStdString() << " \"" << text.toStdString() << "\"";
        EXPECT_LE(fm.height(), button->height()) << where << button->objectName().toStdString();
      }
      for (const char* box : {"Text2", "Text10", "Text3"}) {
        auto* edit = find<QLineEdit>(box);
        EXPECT_GE(edit->height(), edit->minimumSizeHint().height()) << where << box;
      }
      // The menu bar shows every menu in full within the window's width.
      QMenuBar* bar = desktop.mainWindow().menuBar();
      for (QAction* a : bar->actions()) {
        const QRect place = bar->actionGeometry(a);
        const QFontMetrics fm(bar->font());
        EXPECT_TRUE(bar->rect().contains(place)) << where << a->menu()->objectName().toStdString();
        EXPECT_GE(place.width(), fm.horizontalAdvance(shown(a->text()))) << where;
      }
    }
  }
}

TEST_F(MainWindow, SwitchingLanguageRecaptionsAtOnce) {
  startForm();
  form->DbKind = "user";
  find<QAction>("mnuEnglisch")->trigger();
  EXPECT_EQ(find<QLabel>("Label1")->text(), "&Databases :");
  EXPECT_EQ(find<QLabel>("Label9")->text(), "Last Updated:");
  EXPECT_EQ(find<QMenu>("mnuDat")->title(), "&File");
  EXPECT_EQ(find<QAction>("mnuAktualiesieren")->text(), "&Databases renews/summarize");
  EXPECT_EQ(find<QPushButton>("Command4")->text(), "&Open");
  EXPECT_EQ(find<QComboBox>("Combo1")->toolTip(), "select user-Database");
  EXPECT_TRUE(desktop.mainWindow().windowTitle().startsWith(" Orvanta for WSJT "));

  find<QAction>("mnuDeutsch")->trigger();
  EXPECT_EQ(find<QLabel>("Label1")->text(), "&Datenbanken :");
  EXPECT_EQ(find<QLabel>("Label9")->text(), "Stand :");
  EXPECT_EQ(find<QMenu>("mnuExtr")->title(), "&Extras");
  EXPECT_EQ(find<QPushButton>("Command4")->text(), QString::fromUtf8("&Öffnen"));
  EXPECT_TRUE(desktop.mainWindow().windowTitle().startsWith(QString::fromUtf8(" Orvanta für WSJT ")));
}

TEST_F(MainWindow, ReportsTheEventsTheFormListensTo) {
  RecordingListener listener;
  desktop.attach(listener);
  desktop.start();
  ASSERT_GE(listener.events.size(), 2U);
  EXPECT_EQ(listener.events.front().event, WindowEvent::Load);
  EXPECT_EQ(listener.count("frmVHF", WindowEvent::Activate), 1);
  EXPECT_GE(listener.count("frmVHF", WindowEvent::Resize), 1);

  desktop.mainWindow().activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&desktop.mainWindow()));
  EXPECT_EQ(listener.count("frmVHF", WindowEvent::Activate), 1);  // once only

  const int resizes = listener.count("frmVHF", WindowEvent::Resize);
  desktop.mainWindow().resize(desktop.mainWindow().width() + 20, desktop.mainWindow().height());
  QApplication::processEvents();
  EXPECT_GT(listener.count("frmVHF", WindowEvent::Resize), resizes);

  QTest::mouseClick(find<QPushButton>("Command1"), Qt::LeftButton);
  EXPECT_EQ(listener.count("Command1", WindowEvent::Click), 1);
  QTest::mouseClick(find<QLineEdit>("Text5"), Qt::LeftButton);
  EXPECT_EQ(listener.count("Text5", WindowEvent::Click), 1);
  find<QAction>("mnuSuch")->trigger();
  EXPECT_EQ(listener.count("mnuSuch", WindowEvent::Click), 1);
  QTest::keyClick(&desktop.mainWindow(), Qt::Key_F1);
  EXPECT_EQ(listener.count("mnuInfo", WindowEvent::Click), 1);

  // Keys typed into the search box are reported and still reach it.
  auto* search = find<QLineEdit>("Text10");
  search->setFocus();
  QTest::keyClicks(search, "q1");
  QTest::keyClick(search, Qt::Key_Return);
  EXPECT_EQ(search->text(), "q1");
  std::vector<int> keys;
  for (const auto& r : listener.events) {
    if (r.control == "Text10" && r.event == WindowEvent::KeyPress) keys.push_back(r.key);
  }
  EXPECT_EQ(keys, (std::vector<int>{'q', '1', 13}));

  // Only a choice by the user is a click on Combo1, not a change by the program.
  IWindow& window = desktop.window();
  window.addListItem("Combo1", "/data/CALL3.txt");
  window.addListItem("Combo1", "/data/wsjtx.log");
  window.setText("Combo1", "/data/other.txt");
  EXPECT_EQ(listener.count("Combo1", WindowEvent::Click), 0);
  auto* combo = find<QComboBox>("Combo1");
  emit combo->activated(1);
  EXPECT_EQ(listener.count("Combo1", WindowEvent::Click), 1);

  find<QMenu>("mnuExtr")->popup(QPoint(0, 0));
  EXPECT_EQ(listener.count("mnuExtr", WindowEvent::MenuOpen), 1);
  find<QMenu>("mnuExtr")->hide();

  window.close();
  EXPECT_EQ(listener.count("frmVHF", WindowEvent::Unload), 1);
}

TEST_F(MainWindow, TypingIntoTheDatabaseListChoosesNothing) {
  RecordingListener listener;
  desktop.attach(listener);
  desktop.start();
  desktop.mainWindow().activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&desktop.mainWindow()));
  IWindow& window = desktop.window();
  window.addListItem("Combo1", "/data/CALL3.txt");
  window.addListItem("Combo1", "/data/wsjtx.log");
  window.setText("Combo1", "/data/wsjtx.log");
  auto* combo = find<QComboBox>("Combo1");
  EXPECT_EQ(combo->currentIndex(), 1);  // the list follows the text

  // The text of another entry typed in and confirmed with Enter, then the
  // focus moved on: no choice, so no handler.
  QLineEdit* line = combo->lineEdit();
  line->setFocus();
  line->selectAll();
  QTest::keyClicks(line, "/data/CALL3.txt");
  QTest::keyClick(line, Qt::Key_Return);
  find<QLineEdit>("Text10")->setFocus();
  QApplication::processEvents();
  EXPECT_EQ(listener.count("Combo1", WindowEvent::Click), 0);
  EXPECT_EQ(window.text("Combo1"), "/data/CALL3.txt");

  // The wheel over the list does not switch the database unless the
  // operator works in it.
  QWheelEvent wheel(QPointF(5, 5), combo->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, 120), Qt::NoButton,
                    Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(combo, &wheel);
  EXPECT_EQ(listener.count("Combo1", WindowEvent::Click), 0);

  // An arrow key in the list is a choice.
  window.setText("Combo1", "/data/CALL3.txt");
  combo->setFocus();
  QTest::keyClick(combo, Qt::Key_Down);
  EXPECT_EQ(listener.count("Combo1", WindowEvent::Click), 1);
  EXPECT_EQ(window.text("Combo1"), "/data/wsjtx.log");

  // Page Up and Down choose in the list, and press "-" and "+" everywhere else.
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageUp);
  EXPECT_EQ(window.text("Combo1"), "/data/CALL3.txt");
  window.setEnabled("Command2", true);
  window.setEnabled("Command3", true);
  for (const char* focus : {"Text10", "Text5", "Command1", "Command3"}) {
    find<QWidget>(focus)->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageDown);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageUp, Qt::KeypadModifier);
  }
  EXPECT_EQ(listener.count("Command3", WindowEvent::Click), 4);
  EXPECT_EQ(listener.count("Command2", WindowEvent::Click), 4);
  EXPECT_EQ(listener.count("Combo1", WindowEvent::Click), 2);
}

TEST_F(MainWindow, ControlsThroughTheWindowInterface) {
  desktop.mainWindow().show();
  IWindow& window = desktop.window();

  // Filling the list leaves the text line as it was.
  window.setText("Combo1", "");
  window.addListItem("Combo1", "/data/CALL3.txt");
  EXPECT_EQ(window.text("Combo1"), "");
  window.setText("Combo1", "/data/CALL3.txt");
  window.addListItem("Combo1", "/data/wsjtx.log");
  EXPECT_EQ(window.text("Combo1"), "/data/CALL3.txt");
  EXPECT_EQ(window.listItems("Combo1"), (std::vector<std::string>{"/data/CALL3.txt", "/data/wsjtx.log"}));
  window.clearList("Combo1");
  EXPECT_TRUE(window.listItems("Combo1").empty());
  EXPECT_EQ(window.text("Combo1"), "");

  // Texts come and go as UTF-8.
  window.setText("Text3", "Q1ABC Grüße");
  EXPECT_EQ(window.text("Text3"), "Q1ABC Grüße");
  window.setCaption("Label5", "Aktivitäten");
  EXPECT_EQ(window.caption("Label5"), "Aktivitäten");
  window.setCaption("mnuOpt", "&Options");
  EXPECT_EQ(find<QMenu>("mnuOpt")->title(), "&Options");
  window.setToolTip("Text10", "set searchtext");
  EXPECT_EQ(find<QLineEdit>("Text10")->toolTip(), "set searchtext");

  // Check marks belong to the form: choosing an item does not toggle them.
  window.setChecked("mnuDeutsch", true);
  EXPECT_TRUE(window.isChecked("mnuDeutsch"));
  EXPECT_FALSE(window.isChecked("mnuEnglisch"));
  find<QAction>("mnuDeutsch")->trigger();
  EXPECT_TRUE(window.isChecked("mnuDeutsch"));
  find<QAction>("mnuEnglisch")->trigger();
  EXPECT_FALSE(window.isChecked("mnuEnglisch"));

  window.setEnabled("mnuAktualiesieren", false);
  EXPECT_FALSE(find<QAction>("mnuAktualiesieren")->isEnabled());
  EXPECT_FALSE(window.isEnabled("mnuAktualiesieren"));
  window.setEnabled("Command2", true);
  EXPECT_TRUE(find<QPushButton>("Command2")->isEnabled());

  window.setTop(1500);
  window.setLeft(3000);
  EXPECT_EQ(window.top(), 1500);
  EXPECT_EQ(window.left(), 3000);
  window.setHeight(5220);
  QApplication::processEvents();
  EXPECT_EQ(window.height(), 5220);
  ASSERT_FALSE(window.screens().empty());
  EXPECT_GT(window.screens().front().width, 0);

  window.setMousePointer(MousePointer::Busy);
  ASSERT_NE(QApplication::overrideCursor(), nullptr);
  EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
  window.setMousePointer(MousePointer::Normal);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);

  EXPECT_FALSE(desktop.mainWindow().windowIcon().isNull());
}

}  // namespace
}  // namespace orvanta
