#include "gui/QtApplication.h"

#include <QApplication>

#include "gui/QtDesktop.h"

namespace orvanta {

int runQtApplication(int argc, char** argv, const FormFactory& makeForm) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Orvanta"));
  QtDesktop desktop;
  const std::unique_ptr<IWindowEvents> form = makeForm(desktop.services());
  desktop.attach(*form);
  desktop.start();
  const int code = QApplication::exec();
  desktop.detach();
  return code;
}

}  // namespace orvanta
