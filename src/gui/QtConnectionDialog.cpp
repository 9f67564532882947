#include "gui/QtConnectionDialog.h"
#include "gui/QtFormField.h"
#include "gui/QtText.h"

#include <array>

#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSocketNotifier>
#include <QVBoxLayout>

namespace orvanta {

std::optional<ConnectionEntry> QtConnectionDialog::ask(const ConnectionRequest& request) {
  QDialog dialog(parent_);
  dialog.setObjectName("connection");
  dialog.setWindowTitle(qs(request.title));
  auto* layout = new QVBoxLayout(&dialog);
  auto* form = new QFormLayout;
  QLineEdit* address = addFormField(*form, "address", request.addressLabel, request.initial.address);
  QLineEdit* port = addFormField(*form, "port", request.portLabel, request.initial.port);
  QLineEdit* myLocator = addFormField(*form, "myLocator", request.myLocatorLabel, request.initial.myLocator);
  static constexpr std::array<const char*, 3> kColourNames = {"colourNeeded", "colourNewSlot",
                                                              "colourWorked"};
  std::array<QLineEdit*, 3> colours{};
  for (std::size_t i = 0; i < colours.size(); ++i) {
    colours[i] = addFormField(*form, kColourNames[i], request.colourLabels[i], request.initial.colours[i]);
  }
  layout->addLayout(form);
  auto* hint = new QLabel(qs(request.hint));
  hint->setWordWrap(true);
  layout->addWidget(hint);
  auto* problem = new QLabel;
  problem->setObjectName("problem");
  problem->setWordWrap(true);
  problem->setStyleSheet("color: #b00000");
  problem->hide();
  layout->addWidget(problem);
  auto* buttons = new QDialogButtonBox;
  QPushButton* ok = buttons->addButton(qs(request.okCaption), QDialogButtonBox::AcceptRole);
  ok->setObjectName("ok");
  ok->setDefault(true);
  buttons->addButton(qs(request.cancelCaption), QDialogButtonBox::RejectRole)->setObjectName("cancel");
  layout->addWidget(buttons);
  ConnectionEntry entry;
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, [&] {
    entry = {str(address->text()), str(port->text()), str(myLocator->text()), {}};
    for (std::size_t i = 0; i < colours.size(); ++i) entry.colours[i] = str(colours[i]->text());
    // A refused entry keeps the dialog open with the reason under the fields.
    const std::string reason = request.check ? request.check(entry) : std::string();
    problem->setText(qs(reason));
    problem->setVisible(!reason.empty());
    if (reason.empty()) dialog.accept();
  });
  dialog.setMinimumWidth(420);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return entry;
}

struct QtSocketWatcher::Notifier {
  std::unique_ptr<QSocketNotifier> notifier;
};

QtSocketWatcher::QtSocketWatcher() : notifier_(std::make_unique<Notifier>()) {}

QtSocketWatcher::~QtSocketWatcher() = default;

void QtSocketWatcher::watch(int descriptor, std::function<void()> readable) {
  notifier_->notifier = std::make_unique<QSocketNotifier>(descriptor, QSocketNotifier::Read);
  QObject::connect(notifier_->notifier.get(), &QSocketNotifier::activated, notifier_->notifier.get(),
                   [readable = std::move(readable)] { readable(); });
}

void QtSocketWatcher::unwatch() { notifier_->notifier.reset(); }

}  // namespace orvanta
