#include "gui/QtSettingsStore.h"
#include "gui/QtText.h"

#include <QSettings>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <stdexcept>

namespace orvanta {
namespace {

QString qtKey(const std::string& section, const std::string& key) { return qs(section) + "/" + qs(key); }

}  // namespace

std::string QtSettingsStore::read(const std::string& application, const std::string& section,
                                  const std::string& key, const std::string& defaultValue) {
  QSettings settings(QSettings::NativeFormat, QSettings::UserScope, qs(application), qs(application));
  const QVariant value = settings.value(qtKey(section, key));
  if (!value.isValid()) return defaultValue;
  // A value edited by hand as a, b reads back as a list; it is still one text.
  if (value.typeId() == QMetaType::QStringList) return str(value.toStringList().join(", "));
  return str(value.toString());
}

void QtSettingsStore::write(const std::string& application, const std::string& section,
                            const std::string& key, const std::string& value) {
  QSettings settings(QSettings::NativeFormat, QSettings::UserScope, qs(application), qs(application));
  settings.setValue(qtKey(section, key), qs(value));
  settings.sync();
  if (settings.status() != QSettings::NoError) {
    throw std::runtime_error("cannot store " + key + " in " + str(settings.fileName()));
  }
}

}  // namespace orvanta
