#pragma once

#include <string>

#include "platform/SettingsStore.h"

namespace orvanta {

// The per-user settings store on Qt's QSettings, user scope, native format.
// The application name is also used as the organization, so on Linux the
// values of "VHF-Orvanta" live in $XDG_CONFIG_HOME/VHF-Orvanta/VHF-Orvanta.conf
// (~/.config/... when the variable is not set), one [section] per section.
// Every write reaches the disk before it returns.
class QtSettingsStore final : public ISettingsStore {
 public:
  QtSettingsStore() = default;

  std::string read(const std::string& application, const std::string& section, const std::string& key,
                   const std::string& defaultValue) override;
  // Throws std::runtime_error when the value could not be stored.
  void write(const std::string& application, const std::string& section, const std::string& key,
             const std::string& value) override;
};

}  // namespace orvanta
