#include "gui/QtDialogs.h"
#include "gui/QtText.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFileDialog>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QListView>
#include <QMessageBox>
#include <QScreen>
#include <QStringList>
#include <QStyle>
#include <QUrl>
#include <algorithm>

namespace orvanta {
namespace {

// "User-Datenbank (*.txt)" already names its pattern; others get it appended.
// On this platform "*.*" would hide every file without a dot, so "all files"
// is given to Qt as "*".
QString qtFilter(const FileFilter& filter) {
  QString description = qs(filter.description);
  QString pattern = qs(filter.pattern);
  if (pattern == "*.*") {
    description.replace("(*.*)", "(*)");
    pattern = "*";
  }
  if (description.endsWith("(" + pattern + ")")) return description;
  return description + " (" + pattern + ")";
}

// Widest box Qt lets a message box grow to on this screen; wider, it
// squeezes the text.
int widestBox(const QScreen* screen) {
  if (screen == nullptr) return 800;
  const int available = screen->availableGeometry().width();
  return available <= 1024 ? available : std::min(available - 480, 1000);
}

// Qt wraps message text at about 500 pixels, which breaks the About box's
// long lines in the middle, and sizes a box by a title font that the window
// manager does not use, which cuts titles. The text gets the room of its
// longest line, in a smaller font where the screen is too narrow for it, so
// lines break only where the text breaks them; the box is at least as wide as
// its title in the application's font and the room a title bar needs for its
// buttons.
void fitToText(QMessageBox& box, const QString& body, const QWidget* parent) {
  auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
  if (label == nullptr) return;
  const QScreen* screen = parent != nullptr ? parent->screen() : QGuiApplication::primaryScreen();
  const int icon = box.style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, &box);
  // What the box needs beside its text: the icon, the margins, the spacing.
  const int room = widestBox(screen) - icon - 64;
  const QStringList lines = body.split('\n');
  const auto longestIn = [&](const QFont& font) {
    const QFontMetrics metrics(font);
    int longest = 0;
    for (const QString& line : lines) longest = std::max(longest, metrics.horizontalAdvance(line));
    return longest;
  };
  QFont font = label->font();
  int longest = longestIn(font);
  for (int step = 0; longest > room && font.pointSizeF() > 5 && step < 20; ++step) {
    font.setPointSizeF(std::max(5.0, font.pointSizeF() * room / longest - 0.25));
    longest = longestIn(font);
  }
  if (font != label->font()) label->setFont(font);
  // An explicit minimum replaces the label's own, which the box is sized by:
  // it must never be less than the longest line, or the line is cut.
  int width = longest + 8;
  // The text beside the icon alone makes the box as wide as the title needs.
  const int title = QFontMetrics(QApplication::font()).horizontalAdvance(box.windowTitle()) + 120;
  width = std::max(width, std::min(title, widestBox(screen)) - icon);
  label->setMinimumWidth(width);
}

}  // namespace

MessageAnswer QtMessageBox::show(const std::string& text, const std::string& title, MessageIcon icon,
                                 MessageButtons buttons) {
  QString body = qs(text);
  body.replace("\r\n", "\n");
  body.replace('\r', '\n');
  QMessageBox::Icon qicon = QMessageBox::Information;
  if (icon == MessageIcon::Exclamation) qicon = QMessageBox::Warning;
  if (icon == MessageIcon::Stop) qicon = QMessageBox::Critical;
  const auto qbuttons = buttons == MessageButtons::YesNo ? QMessageBox::Yes | QMessageBox::No
                                                         : QMessageBox::StandardButtons(QMessageBox::Ok);
  QMessageBox box(qicon, qs(title), body, qbuttons, parent_);
  box.setTextFormat(Qt::PlainText);
  fitToText(box, body, parent_);
  if (buttons == MessageButtons::YesNo) {
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::No);
  }
  const int answer = box.exec();
  if (buttons == MessageButtons::Ok) return MessageAnswer::Ok;
  return answer == QMessageBox::Yes ? MessageAnswer::Yes : MessageAnswer::No;
}

OpenFileResult QtFileDialog::openFile(const OpenFileRequest& request) {
  QFileDialog dialog(parent_);
  if (!request.title.empty()) dialog.setWindowTitle(qs(request.title));
  if (!request.initialFolder.empty()) dialog.setDirectory(qs(request.initialFolder));
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  QStringList filters;
  for (const auto& filter : request.filters) filters << qtFilter(filter);
  if (!filters.isEmpty()) {
    dialog.setNameFilters(filters);
    const int index =
        request.filterIndex >= 1 && request.filterIndex <= filters.size() ? request.filterIndex : 1;
    dialog.selectNameFilter(filters.at(index - 1));
  }
  if (!request.fileName.empty()) dialog.selectFile(qs(request.fileName));
  // Qt's own dialog: a desktop's native one neither speaks the program's
  // language nor offers its places.
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  QList<QUrl> places = dialog.sidebarUrls();
  for (const std::string& place : request.places) {
    const QUrl url = QUrl::fromLocalFile(qs(place));
    if (!places.contains(url)) places << url;
  }
  dialog.setSidebarUrls(places);
  // The places keep their whole names ("WSJT-X - rig2"): the side bar is at
  // least as wide as its widest entry.
  if (auto* sidebar = dialog.findChild<QListView*>(QStringLiteral("sidebar"))) {
    sidebar->setTextElideMode(Qt::ElideNone);
    const int width = sidebar->sizeHintForColumn(0) + 2 * sidebar->frameWidth() +
                      sidebar->style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 8;
    sidebar->setMinimumWidth(width);
  }

  const bool accepted = dialog.exec() == QDialog::Accepted;
  OpenFileResult result;
  const QStringList chosen = dialog.selectedFiles();
  if (!accepted || chosen.isEmpty() || chosen.first().isEmpty()) return result;
  result.outcome = OpenFileResult::Outcome::Chosen;
  result.path = str(chosen.first());
  return result;
}

void QtEventLoop::yield() { QCoreApplication::processEvents(); }

}  // namespace orvanta
