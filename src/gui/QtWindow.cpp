#include "gui/QtWindow.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFontDatabase>
#include <QIcon>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTranslator>
#include <QWindow>
#include <algorithm>
#include <cmath>
#include <vector>

#include "gui/QtFonts.h"
#include "gui/QtText.h"
#include "ui/WindowDescription.h"

namespace orvanta {
namespace {

int pixels(int twips) { return static_cast<int>(std::lround(twips / static_cast<double>(kTwipsPerPixel))); }
int twips(int pixels) { return pixels * kTwipsPerPixel; }

QRect pixelRect(const TwipRect& box) {
  return {pixels(box.left), pixels(box.top), std::max(1, pixels(box.width)), std::max(1, pixels(box.height))};
}

// One of the two halves of the separator rule: a one-pixel line in a colour
// of the palette, so it follows the desktop's colour scheme.
class RuleLine final : public QWidget {
 public:
  RuleLine(QWidget* parent, QPalette::ColorRole role) : QWidget(parent), role_(role) {}

 protected:
  void paintEvent(QPaintEvent* /*event*/) override {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(role_));
  }

 private:
  QPalette::ColorRole role_;
};

// A field box too narrow for its text (a long remark) shows the whole text as
// its tooltip: the box cannot be scrolled, since a click leaves it at once.
void showWholeTextAsTip(QLineEdit& box) {
  const int frame = box.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, &box);
  const QMargins margins = box.textMargins();
  // Qt keeps two pixels beside the text inside the frame.
  const int room = box.width() - 2 * frame - margins.left() - margins.right() - 4;
  const bool fits = box.fontMetrics().horizontalAdvance(box.text()) <= room;
  box.setToolTip(fits ? QString() : box.text());
}

}  // namespace

// Sees every key of the application before any widget does, for the keys
// that press a button wherever the focus is.
class QtWindow::StepKeyFilter final : public QObject {
 public:
  explicit StepKeyFilter(QtWindow& window) : QObject(&window), window_(window) {}
  bool eventFilter(QObject* watched, QEvent* event) override {
    return event->type() == QEvent::KeyPress &&
           window_.pressKeyButton(watched, *static_cast<QKeyEvent*>(event));
  }

 private:
  QtWindow& window_;
};

QtWindow::QtWindow() {
  setObjectName(ctl::kFrmVHF);
  QIcon icon;
  icon.addFile(":/orvanta/orvanta-16.png", QSize(16, 16));
  icon.addFile(":/orvanta/orvanta-32.png", QSize(32, 32));
  // Task bars and window switchers of today's desktops show larger ones.
  icon.addFile(":/orvanta/orvanta-48.png", QSize(48, 48));
  icon.addFile(":/orvanta/orvanta-64.png", QSize(64, 64));
  setWindowIcon(icon);
  setFont(windowFont(kDefaultFont));
  buildMenus();
  buildControls();
  frameTimer_.setInterval(50);
  connect(&frameTimer_, &QTimer::timeout, this, [this] { watchFrame(); });
  setWindowTitle(qs(orvanta::windowTitle(true)));
  // The step keys work wherever the focus is in this window.
  stepKeys_ = new StepKeyFilter(*this);
  QApplication::instance()->installEventFilter(stepKeys_);
  resize(pixels(kClientWidthTwips), pixels(kClientHeightTwips) + menuBar()->sizeHint().height());
}

QtWindow::~QtWindow() {
  QApplication::instance()->removeEventFilter(stepKeys_);
  listener_ = nullptr;
  if (busy_) QApplication::restoreOverrideCursor();
}

QWidget* QtWindow::createControl(const ControlDescription& c, QWidget* client) {
  switch (c.kind) {
    case ControlKind::Label: {
      auto* label = new QLabel(qs(c.caption), client);
      label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
      label->setTextFormat(Qt::PlainText);
      return label;
    }
    case ControlKind::ComboBox: {
      auto* combo = new QComboBox(client);
      combo->setEditable(true);
      // Typing into the text line neither adds entries nor completes from them.
      combo->setInsertPolicy(QComboBox::NoInsert);
      combo->setCompleter(nullptr);
      // Only choosing an entry from the list counts. Qt also reports
      // "activated" when Enter is pressed in the text line or the focus
      // leaves it while its text equals an entry; typing there runs nothing.
      QObject::disconnect(combo->lineEdit(), &QLineEdit::returnPressed, combo, nullptr);
      QObject::disconnect(combo->lineEdit(), &QLineEdit::editingFinished, combo, nullptr);
      combo->installEventFilter(this);
      connect(combo, &QComboBox::activated, this, [this](int) { report(ctl::kCombo1, WindowEvent::Click); });
      return combo;
    }
    case ControlKind::CommandButton: {
      auto* button = new QPushButton(qs(c.caption), client);
      // Enter and Return press a focused button, as Space does.
      button->setAutoDefault(true);
      const std::string name(c.name);
      connect(button, &QPushButton::clicked, this, [this, name] { report(name, WindowEvent::Click); });
      return button;
    }
    case ControlKind::TextBox: {
      auto* box = new QLineEdit(client);
      // The field boxes only display; tabbed into, their text can still be
      // selected and copied.
      box->setReadOnly(c.name != ctl::kText10);
      if (c.darkBlueText) {
        // The design's dark blue comes with the light background it was
        // chosen for, so that it stays readable on a dark desktop too.
        QPalette palette = box->palette();
        for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
          palette.setColor(group, QPalette::Text, QColor(0, 0, 128));
          palette.setColor(group, QPalette::Base, QColor(Qt::white));
        }
        box->setPalette(palette);
      }
      box->installEventFilter(this);
      return box;
    }
    case ControlKind::Line: {
      auto* line = new RuleLine(client, c.backgroundColour ? QPalette::Base : QPalette::WindowText);
      line->setAttribute(Qt::WA_TransparentForMouseEvents);
      return line;
    }
  }
  return nullptr;
}

void QtWindow::buildControls() {
  auto* client = new QWidget(this);
  client->setObjectName("client");
  client->setMinimumSize(pixels(kClientWidthTwips), pixels(kClientHeightTwips));
  setCentralWidget(client);

  for (const auto& c : windowControls()) {
    QWidget* w = createControl(c, client);
    w->setObjectName(qs(c.name));
    if (c.font.points != kDefaultFont.points || c.font.bold != kDefaultFont.bold)
      w->setFont(windowFont(c.font));
    w->setGeometry(pixelRect(c.geometry));
    if (c.kind == ControlKind::Line) w->setFixedHeight(1);
    w->setEnabled(c.enabled);
    entries_.emplace(std::string(c.name), w);
  }

  // Tab order by tab index; labels take no focus but hand it on with their access key.
  std::vector<const ControlDescription*> order;
  for (const auto& c : windowControls()) {
    if (c.tabIndex < 0) continue;
    if (c.kind == ControlKind::Label) {
      widget(c.name)->setFocusPolicy(Qt::NoFocus);
      static_cast<QLabel*>(widget(c.name))->setBuddy(widget(labelBuddy(c.name)));
      continue;
    }
    widget(c.name)->setFocusPolicy(Qt::StrongFocus);
    order.push_back(&c);
  }
  std::sort(order.begin(), order.end(), [](auto* a, auto* b) { return a->tabIndex < b->tabIndex; });
  for (std::size_t i = 1; i < order.size(); ++i) {
    QWidget::setTabOrder(widget(order[i - 1]->name), widget(order[i]->name));
  }
}

void QtWindow::buildMenus() {
  for (const auto& m : menuTree()) {
    QMenu* parentMenu = m.parent.empty() ? nullptr : menu(m.parent);
    const std::string name(m.name);
    if (m.hasItems) {
      QMenu* sub =
          parentMenu == nullptr ? menuBar()->addMenu(qs(m.caption)) : parentMenu->addMenu(qs(m.caption));
      sub->setObjectName(qs(m.name));
      if (m.parent.empty()) {
        connect(sub, &QMenu::aboutToShow, this, [this, name] { report(name, WindowEvent::MenuOpen); });
      }
      entries_.emplace(name, sub);
    } else {
      QAction* item = parentMenu->addAction(qs(m.caption));
      item->setObjectName(qs(m.name));
      if (!m.shortcut.empty()) item->setShortcut(QKeySequence(qs(m.shortcut)));
      connect(item, &QAction::triggered, this, [this, item, name] {
        // The form alone decides about check marks: undo Qt's own toggling.
        if (item->isCheckable()) item->setChecked(item->property("orvantaChecked").toBool());
        report(name, WindowEvent::Click);
      });
      entries_.emplace(name, item);
    }
  }
}

void QtWindow::report(std::string_view control, WindowEvent event, int key) {
  if (listener_ != nullptr) listener_->onWindowEvent(control, event, key);
}

void QtWindow::reportLoad() { report(ctl::kFrmVHF, WindowEvent::Load); }

void QtWindow::reportActivate() {
  if (activated_) return;
  activated_ = true;
  report(ctl::kFrmVHF, WindowEvent::Activate);
}

// A key of keyButtons() typed anywhere in this window presses its button,
// unless the focus is in the control that keeps the key. True when pressed.
bool QtWindow::pressKeyButton(QObject* watched, const QKeyEvent& key) {
  auto* target = qobject_cast<QWidget*>(watched);
  const bool plain = (key.modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
  if (target == nullptr || target->window() != this || !plain) return false;
  for (const auto& k : keyButtons()) {
    if (QKeySequence(qs(k.key))[0].key() != key.key()) continue;
    auto* keeper = qobject_cast<QWidget*>(entry(k.keptBy));
    const QWidget* focus = QApplication::focusWidget();
    if (keeper != nullptr && focus != nullptr && (focus == keeper || keeper->isAncestorOf(focus)))
      return false;
    if (auto* button = qobject_cast<QPushButton*>(entry(k.button))) button->click();
    return true;
  }
  return false;
}

bool QtWindow::eventFilter(QObject* watched, QEvent* event) {
  // The wheel over a database list that the operator is not working in would
  // switch the database while scrolling past it.
  if (event->type() == QEvent::Wheel && qobject_cast<QComboBox*>(watched) != nullptr &&
      !static_cast<QWidget*>(watched)->hasFocus()) {
    event->ignore();
    return true;
  }
  const std::string name = str(watched->objectName());
  if (event->type() == QEvent::KeyPress && name == ctl::kText10) {
    const auto* key = static_cast<QKeyEvent*>(event);
    int code = 0;
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
      code = 13;
    } else if (key->key() != Qt::Key_Tab && key->key() != Qt::Key_Backtab && !key->text().isEmpty()) {
      code = static_cast<int>(key->text().toUcs4().value(0));
    }
    // Reported before the box sees the key, which it still gets.
    if (code != 0) report(name, WindowEvent::KeyPress, code);
  } else if (event->type() == QEvent::MouseButtonRelease && name != ctl::kText10 &&
             qobject_cast<QLineEdit*>(watched) != nullptr) {
    const auto* mouse = static_cast<QMouseEvent*>(event);
    auto* box = static_cast<QWidget*>(watched);
    if (mouse->button() == Qt::LeftButton && box->rect().contains(mouse->position().toPoint())) {
      report(name, WindowEvent::Click);
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

void QtWindow::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  report(ctl::kFrmVHF, WindowEvent::Resize);
}

bool QtWindow::event(QEvent* event) {
  const bool handled = QMainWindow::event(event);
  // A window manager adds its frame after the window is first shown; the
  // frame's position and the outer height asked for are kept once the frame
  // is known.
  if (event->type() == QEvent::WindowActivate || event->type() == QEvent::Move ||
      event->type() == QEvent::Show) {
    placeFrame();
    if (requestedHeight_ > 0 && frameHeight() != appliedFrame_) applyHeight();
  }
  if (event->type() == QEvent::Show && framePending_) {
    frameWatch_.start();
    frameTimer_.start();
  }
  return handled;
}

void QtWindow::closeEvent(QCloseEvent* event) {
  if (!unloaded_) {
    unloaded_ = true;
    report(ctl::kFrmVHF, WindowEvent::Unload);
  }
  event->accept();
}

QObject* QtWindow::entry(std::string_view name) const {
  const auto it = entries_.find(name);
  return it == entries_.end() ? nullptr : it->second;
}

QWidget* QtWindow::widget(std::string_view name) const { return qobject_cast<QWidget*>(entry(name)); }
QAction* QtWindow::action(std::string_view name) const { return qobject_cast<QAction*>(entry(name)); }
QMenu* QtWindow::menu(std::string_view name) const { return qobject_cast<QMenu*>(entry(name)); }

std::string QtWindow::text(std::string_view control) const {
  QObject* e = entry(control);
  if (auto* box = qobject_cast<QLineEdit*>(e)) return str(box->text());
  if (auto* combo = qobject_cast<QComboBox*>(e)) return str(combo->currentText());
  if (auto* label = qobject_cast<QLabel*>(e)) return str(label->text());
  if (auto* button = qobject_cast<QPushButton*>(e)) return str(button->text());
  return {};
}

void QtWindow::setText(std::string_view control, std::string_view text) {
  QObject* e = entry(control);
  if (auto* box = qobject_cast<QLineEdit*>(e)) {
    box->setText(qs(text));
    box->setCursorPosition(0);
    if (box->isReadOnly()) showWholeTextAsTip(*box);
  } else if (auto* combo = qobject_cast<QComboBox*>(e)) {
    // Keep the list's current entry in step with the text, so that the arrow
    // keys move on from the database shown.
    const int index = combo->findText(qs(text), Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index >= 0) combo->setCurrentIndex(index);
    combo->setEditText(qs(text));
  } else {
    setCaption(control, text);
  }
}

std::string QtWindow::caption(std::string_view control) const {
  QObject* e = entry(control);
  if (auto* a = qobject_cast<QAction*>(e)) return str(a->text());
  if (auto* m = qobject_cast<QMenu*>(e)) return str(m->title());
  if (auto* label = qobject_cast<QLabel*>(e)) return str(label->text());
  if (auto* button = qobject_cast<QPushButton*>(e)) return str(button->text());
  return {};
}

void QtWindow::setCaption(std::string_view control, std::string_view caption) {
  QObject* e = entry(control);
  if (auto* a = qobject_cast<QAction*>(e)) a->setText(qs(caption));
  if (auto* m = qobject_cast<QMenu*>(e)) m->setTitle(qs(caption));
  if (auto* label = qobject_cast<QLabel*>(e)) label->setText(qs(caption));
  if (auto* button = qobject_cast<QPushButton*>(e)) button->setText(qs(caption));
}

std::string QtWindow::toolTip(std::string_view control) const {
  if (auto* w = widget(control)) return str(w->toolTip());
  if (auto* a = action(control)) return str(a->toolTip());
  return {};
}

void QtWindow::setToolTip(std::string_view control, std::string_view tip) {
  if (auto* w = widget(control)) w->setToolTip(qs(tip));
  if (auto* a = action(control)) a->setToolTip(qs(tip));
}

bool QtWindow::isEnabled(std::string_view control) const {
  if (auto* w = widget(control)) return w->isEnabled();
  if (auto* a = action(control)) return a->isEnabled();
  return false;
}

void QtWindow::setEnabled(std::string_view control, bool enabled) {
  if (auto* m = menu(control)) {
    m->menuAction()->setEnabled(enabled);
  } else if (auto* w = widget(control)) {
    w->setEnabled(enabled);
  } else if (auto* a = action(control)) {
    a->setEnabled(enabled);
  }
}

bool QtWindow::isChecked(std::string_view control) const {
  if (auto* a = action(control)) return a->isCheckable() && a->isChecked();
  return false;
}

void QtWindow::setChecked(std::string_view control, bool checked) {
  if (auto* a = action(control)) {
    a->setProperty("orvantaChecked", checked);
    a->setCheckable(checked || a->isCheckable());
    a->setChecked(checked);
  }
}

void QtWindow::setFocus(std::string_view control) {
  if (auto* w = widget(control)) w->setFocus(Qt::OtherFocusReason);
}

std::vector<std::string> QtWindow::listItems(std::string_view control) const {
  std::vector<std::string> items;
  if (auto* combo = qobject_cast<QComboBox*>(entry(control))) {
    for (int i = 0; i < combo->count(); ++i) items.push_back(str(combo->itemText(i)));
  }
  return items;
}

void QtWindow::addListItem(std::string_view control, std::string_view item) {
  if (auto* combo = qobject_cast<QComboBox*>(entry(control))) {
    // Adding to the list leaves the text line alone (Qt would show the first entry).
    const QString line = combo->currentText();
    combo->addItem(qs(item));
    combo->setEditText(line);
  }
}

void QtWindow::clearList(std::string_view control) {
  if (auto* combo = qobject_cast<QComboBox*>(entry(control))) {
    combo->clear();
    combo->clearEditText();
  }
}

std::string QtWindow::title() const { return str(windowTitle()); }
void QtWindow::setTitle(std::string_view title) { setWindowTitle(qs(title)); }

QPoint QtWindow::framePosition() const { return framePending_ ? wantedFrame_ : frameGeometry().topLeft(); }

int QtWindow::top() const { return twips(framePosition().y()); }
int QtWindow::left() const { return twips(framePosition().x()); }
int QtWindow::height() const { return twips(frameGeometry().height()); }

void QtWindow::setTop(int value) { moveFrame(QPoint(framePosition().x(), pixels(value))); }
void QtWindow::setLeft(int value) { moveFrame(QPoint(pixels(value), framePosition().y())); }

// Qt places a window that is not yet shown by its client area, since the
// frame is not known before the window manager has put it round the window:
// the frame would land a title bar higher than asked, and a window placed at
// the top of the screen would hide its title bar. The frame's place is
// therefore kept until the window manager has framed the window, and the
// window moved by what its frame is off.
void QtWindow::moveFrame(QPoint frame) {
  wantedFrame_ = frame;
  framePending_ = true;
  if (!isVisible()) {
    move(frame);
    return;
  }
  placeFrame();
}

// The window manager reports the frame in its own time, and not always with
// an event that reaches the window; the frame is looked at until it has been
// put in place, for a few seconds at most (without a frame there is nothing
// to wait for, and from then on the operator moves the window).
void QtWindow::watchFrame() {
  constexpr int kFrameWaitMs = 3000;
  placeFrame();
  if (framePending_ && frameWatch_.elapsed() < kFrameWaitMs) return;
  framePending_ = false;
  frameTimer_.stop();
}

void QtWindow::placeFrame() {
  if (!framePending_ || !isVisible() || windowHandle() == nullptr) return;
  if (isMinimized() || isMaximized() || isFullScreen()) return;
  // Computed from the frame alone, not from where the window is now: the
  // window manager's own moves and ours cross each other on the way.
  const QMargins frame = windowHandle()->frameMargins();
  const QPoint client = wantedFrame_ + QPoint(frame.left(), frame.top());
  if (windowHandle()->position() != client) {
    windowHandle()->setPosition(client);
  } else if (!frame.isNull()) {
    framePending_ = false;  // framed and in place: from now on the operator moves it
  }
}

void QtWindow::setHeight(int value) {
  requestedHeight_ = value;
  applyHeight();
}

int QtWindow::frameHeight() const { return frameGeometry().height() - geometry().height(); }

void QtWindow::applyHeight() {
  if (isMinimized() || isMaximized() || isFullScreen()) return;
  const int frame = frameHeight();
  appliedFrame_ = frame;
  const int client = std::max(pixels(requestedHeight_) - frame, minimumSizeHint().height());
  // Equal minimum and maximum height: the window manager offers no vertical
  // resize, so no unpainted band can open below the controls.
  setFixedHeight(client);
}

WindowState QtWindow::state() const {
  if (isMinimized()) return WindowState::Minimized;
  if (isMaximized() || isFullScreen()) return WindowState::Maximized;
  return WindowState::Normal;
}

std::vector<TwipRect> QtWindow::screens() const {
  std::vector<TwipRect> result;
  const QScreen* primary = QGuiApplication::primaryScreen();
  auto add = [&](const QScreen* screen) {
    // The whole screen: a window whose corner lies under a panel is still on it.
    const QRect r = screen->geometry();
    result.push_back(TwipRect{twips(r.left()), twips(r.top()), twips(r.width()), twips(r.height())});
  };
  if (primary != nullptr) add(primary);
  for (const QScreen* screen : QGuiApplication::screens()) {
    if (screen != primary) add(screen);
  }
  return result;
}

void QtWindow::setMousePointer(MousePointer pointer) {
  const bool busy = pointer == MousePointer::Busy;
  if (busy == busy_) return;
  busy_ = busy;
  if (busy) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
  } else {
    QApplication::restoreOverrideCursor();
  }
}

void QtWindow::setToolkitLanguage(std::string_view code) {
  const bool german = code == "de";
  QLocale::setDefault(german ? QLocale(QLocale::German, QLocale::Germany) : QLocale(QLocale::English));
  if (german == (translator_ != nullptr)) return;
  if (!german) {
    QCoreApplication::removeTranslator(translator_.get());
    translator_.reset();
    return;
  }
  // Qt's catalogue of its own texts: the buttons of message boxes, the file
  // dialog. Without it (the package is missing) they stay English.
  auto translator = std::make_unique<QTranslator>();
  if (translator->load(QLocale(QLocale::German), QStringLiteral("qtbase"), QStringLiteral("_"),
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QCoreApplication::installTranslator(translator.get());
    translator_ = std::move(translator);
  }
}

void QtWindow::beep() { QApplication::beep(); }

void QtWindow::close() { QMainWindow::close(); }

}  // namespace orvanta
