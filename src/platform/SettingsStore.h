#pragma once

#include <string>

namespace orvanta {

// Per-user settings: texts addressed by application, section and key.
// Both operations may throw std::exception when the store cannot be used.
class ISettingsStore {
 public:
  virtual ~ISettingsStore() = default;
  virtual std::string read(const std::string& application, const std::string& section, const std::string& key,
                           const std::string& defaultValue) = 0;
  virtual void write(const std::string& application, const std::string& section, const std::string& key,
                     const std::string& value) = 0;
};

}  // namespace orvanta
