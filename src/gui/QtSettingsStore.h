#pragma once

#include <string>

#include "platform/SettingsStore.h"

namespace orvanta {

// The per-user settings store on Qt's QSettings, user scope, native format.
// The application name is also used as the organization, so on Linux the
// values of "VHF-Orvanta" live in $XDG_CONFIG_HOME/VHF-Orvanta/VHF-Orvanta.conf
// (~/.config/... when the variable is not set), one [section] per section.
// Every write reaches the disk before it returns. A settings file that is
// no regular file (a FIFO would hang the start) or is larger than 1 MiB is
// neither read nor overwritten: reads give the defaults, writes fail, and
// one line on standard error says so.
class QtSettingsStore final : public ISettingsStore {
 public:
  QtSettingsStore() = default;

  std::string read(const std::string& application, const std::string& section, const std::string& key,
                   const std::string& defaultValue) override;
  // Throws std::runtime_error when the value could not be stored.
  void write(const std::string& application, const std::string& section, const std::string& key,
             const std::string& value) override;

 private:
  // Whether the application's settings file may be opened; decided once.
  bool usable(const std::string& application);
  int usable_ = -1;  // -1: not decided yet
  std::string decidedFor_;
};

}  // namespace orvanta
