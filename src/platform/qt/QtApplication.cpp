#include "platform/qt/QtApplication.h"

#include <QApplication>

namespace orvanta {

int runQtApplication(int argc, char** argv, const FormFactory& /*makeForm*/) {
  QApplication app(argc, argv);
  return 0;
}

}  // namespace orvanta
