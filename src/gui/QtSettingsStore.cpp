#include "gui/QtSettingsStore.h"

#include <QSettings>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <stdexcept>

namespace orvanta {
namespace {

QString qt(const std::string& text) { return QString::fromStdString(text); }

QString qtKey(const std::string& section, const std::string& key) { return qt(section) + "/" + qt(key); }

}  // namespace

std::string QtSettingsStore::read(const std::string& application, const std::string& section,
                                  const std::string& key, const std::string& defaultValue) {
  QSettings settings(QSettings::NativeFormat, QSettings::UserScope, qt(application), qt(application));
  const QVariant value = settings.value(qtKey(section, key));
  if (!value.isValid()) return defaultValue;
  // A value edited by hand as a, b reads back as a list; it is still one text.
  if (value.typeId() == QMetaType::QStringList) return value.toStringList().join(", ").toStdString();
  return value.toString().toStdString();
}

void QtSettingsStore::write(const std::string& application, const std::string& section,
                            const std::string& key, const std::string& value) {
  QSettings settings(QSettings::NativeFormat, QSettings::UserScope, qt(application), qt(application));
  settings.setValue(qtKey(section, key), qt(value));
  settings.sync();
  if (settings.status() != QSettings::NoError) {
    throw std::runtime_error("cannot store " + key + " in " + settings.fileName().toStdString());
  }
}

}  // namespace orvanta
