#include "gui/QtDialogs.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <QStringList>
#include <algorithm>

namespace orvanta {
namespace {

QString qs(const std::string& text) { return QString::fromStdString(text); }

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
  // Qt wraps message text at about 500 pixels, which breaks the About box's
  // long lines in the middle; give the text the room of its longest line, as
  // far as the screen allows.
  const QFontMetrics metrics(box.font());
  int longest = 0;
  for (const QString& line : body.split('\n')) longest = std::max(longest, metrics.horizontalAdvance(line));
  const QScreen* screen = parent_ != nullptr ? parent_->screen() : QGuiApplication::primaryScreen();
  const int room = screen != nullptr ? screen->availableGeometry().width() * 3 / 4 : 800;
  if (longest > 480) {
    box.setStyleSheet(
        QStringLiteral("QLabel#qt_msgbox_label { min-width: %1px; }").arg(std::min(longest + 16, room)));
  }
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

  const bool accepted = dialog.exec() == QDialog::Accepted;
  OpenFileResult result;
  const QStringList chosen = dialog.selectedFiles();
  if (!accepted || chosen.isEmpty() || chosen.first().isEmpty()) return result;
  result.outcome = OpenFileResult::Outcome::Chosen;
  result.path = chosen.first().toStdString();
  return result;
}

void QtEventLoop::yield() { QCoreApplication::processEvents(); }

}  // namespace orvanta
