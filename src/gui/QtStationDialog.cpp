#include "gui/QtStationDialog.h"
#include "gui/QtFormField.h"
#include "gui/QtText.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace orvanta {

std::optional<StationEntry> QtStationDialog::askStation(const StationDialogRequest& request) {
  QDialog dialog(parent_);
  dialog.setObjectName("StationDialog");
  dialog.setWindowTitle(qs(request.title));
  auto* layout = new QVBoxLayout(&dialog);
  auto* form = new QFormLayout;
  layout->addLayout(form);
  QLineEdit* call = addFormField(*form, "call", request.callLabel, request.initial.call);
  QLineEdit* locator = addFormField(*form, "locator", request.locatorLabel, request.initial.locator);
  QLineEdit* remark = addFormField(*form, "remark", request.remarkLabel, request.initial.remark);
  auto* problem = new QLabel(&dialog);
  problem->setObjectName("problem");
  problem->setWordWrap(true);
  problem->setTextFormat(Qt::PlainText);
  problem->setStyleSheet("color: #b00000;");
  problem->hide();
  layout->addWidget(problem);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  buttons->button(QDialogButtonBox::Ok)->setText(qs(request.okCaption));
  buttons->button(QDialogButtonBox::Cancel)->setText(qs(request.cancelCaption));
  layout->addWidget(buttons);
  // Wide enough for its title in a window manager's bold title bar beside its
  // buttons, and for a call sign, locator and remark of common length.
  const QFontMetrics metrics(QApplication::font());
  dialog.setMinimumWidth(std::max(metrics.horizontalAdvance(dialog.windowTitle()) * 3 / 2 + 120,
                                  metrics.horizontalAdvance(QLatin1Char('M')) * 32));

  StationEntry entry;
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, [&] {
    entry = StationEntry{str(call->text()), str(locator->text()), str(remark->text())};
    const std::string wrong = request.check ? request.check(entry) : std::string();
    if (wrong.empty()) {
      dialog.accept();
      return;
    }
    problem->setText(qs(wrong));
    problem->show();
    // Grow for the message rather than squeeze the fields.
    dialog.adjustSize();
  });
  // The call is prefilled from the search box, so the locator is what the
  // operator types first.
  (request.initial.call.empty() ? call : locator)->setFocus();
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return entry;
}

}  // namespace orvanta
