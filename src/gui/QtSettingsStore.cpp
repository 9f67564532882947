#include "gui/QtSettingsStore.h"
#include "gui/QtText.h"

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

QString qtKey(const std::string& section, const std::string& key) { return qs(section) + "/" + qs(key); }

constexpr std::uintmax_t kLargestSettingsFile = std::uintmax_t{1} << 20;

// Where QSettings keeps the user's values of an application on this system.
std::filesystem::path settingsFile(const std::string& application) {
  const std::filesystem::path folder =
      str(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
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
    std::cerr << fillIn(texts::kSettingsFileSkipped, {file.string()}) << std::endl;
  }
  return usable_ != 0;
}

std::string QtSettingsStore::read(const std::string& application, const std::string& section,
                                  const std::string& key, const std::string& defaultValue) {
  if (!usable(application)) return defaultValue;
  QSettings settings(QSettings::NativeFormat, QSettings::UserScope, qs(application), qs(application));
  const QVariant value = settings.value(qtKey(section, key));
  if (!value.isValid()) return defaultValue;
  // A value edited by hand as a, b reads back as a list; it is still one text.
  if (value.typeId() == QMetaType::QStringList) return str(value.toStringList().join(", "));
  return str(value.toString());
}

void QtSettingsStore::write(const std::string& application, const std::string& section,
                            const std::string& key, const std::string& value) {
  // The file found there is left as it is.
  if (!usable(application)) throw std::runtime_error("settings file not written: " + key);
  QSettings settings(QSettings::NativeFormat, QSettings::UserScope, qs(application), qs(application));
  settings.setValue(qtKey(section, key), qs(value));
  settings.sync();
  if (settings.status() != QSettings::NoError) {
    throw std::runtime_error("cannot store " + key + " in " + str(settings.fileName()));
  }
}

}  // namespace orvanta
