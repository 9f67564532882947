#include "gui/QtSettingsStore.h"

#include <QSettings>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <cstdint>
#include <filesystem>
#include <iostream>
#include <stdexcept>
#include <system_error>

#include "ui/MessageTexts.h"

namespace orvanta {
namespace {

QString qt(const std::string& text) { return QString::fromStdString(text); }

QString qtKey(const std::string& section, const std::string& key) { return qt(section) + "/" + qt(key); }

constexpr std::uintmax_t kLargestSettingsFile = std::uintmax_t{1} << 20;

// Where QSettings keeps the user's values of an application on this system.
std::filesystem::path settingsFile(const std::string& application) {
  const std::filesystem::path folder =
      QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation).toStdString();
  return folder / application / (application + ".conf");
}

}  // namespace

bool QtSettingsStore::usable(const std::string& application) {
  if (usable_ >= 0 && decidedFor_ == application) return usable_ != 0;
  decidedFor_ = application;
  const std::filesystem::path file = settingsFile(application);
  std::error_code error;
  const auto status = std::filesystem::status(file, error);
  usable_ = 1;
  if (std::filesystem::exists(status) &&
      (!std::filesystem::is_regular_file(status) ||
       std::filesystem::file_size(file, error) > kLargestSettingsFile || error)) {
    usable_ = 0;
    std::cerr << texts::kSettingsFileSkipped << file.string() << std::endl;
  }
  return usable_ != 0;
}

std::string QtSettingsStore::read(const std::string& application, const std::string& section,
                                  const std::string& key, const std::string& defaultValue) {
  if (!usable(application)) return defaultValue;
  QSettings settings(QSettings::NativeFormat, QSettings::UserScope, qt(application), qt(application));
  const QVariant value = settings.value(qtKey(section, key));
  if (!value.isValid()) return defaultValue;
  // A value edited by hand as a, b reads back as a list; it is still one text.
  if (value.typeId() == QMetaType::QStringList) return value.toStringList().join(", ").toStdString();
  return value.toString().toStdString();
}

void QtSettingsStore::write(const std::string& application, const std::string& section,
                            const std::string& key, const std::string& value) {
  // The file found there is left as it is.
  if (!usable(application)) throw std::runtime_error("settings file not written: " + key);
  QSettings settings(QSettings::NativeFormat, QSettings::UserScope, qt(application), qt(application));
  settings.setValue(qtKey(section, key), qt(value));
  settings.sync();
  if (settings.status() != QSettings::NoError) {
    throw std::runtime_error("cannot store " + key + " in " + settings.fileName().toStdString());
  }
}

}  // namespace orvanta
