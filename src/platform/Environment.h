#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/FileSystem.h"

namespace orvanta {

// The process's environment as the program reads it: where the user's data
// lives. Kept behind an interface so that start-up can be tried against any
// home folder without touching the real one.
class IEnvironment {
 public:
  virtual ~IEnvironment() = default;
  // The variable's value; nothing when it is not set.
  [[nodiscard]] virtual std::optional<std::string> variable(const std::string& name) const = 0;
};

// The real environment. HOME, when unset, is taken from the user database.
class StdEnvironment final : public IEnvironment {
 public:
  [[nodiscard]] std::optional<std::string> variable(const std::string& name) const override;
};

// The folders in which WSJT-X and JTDX keep the user's CALL3 database and
// logs, in the order they are tried: <data>/WSJT-X, then <data>/"WSJT-X - *"
// (one per rig, in byte order of their names), then JTDX and "JTDX - *" the
// same way. <data> is $XDG_DATA_HOME when it is an absolute path, else
// $HOME/.local/share. Only folders that exist are listed; none when neither
// variable gives a folder or it cannot be read.
std::vector<std::string> wsjtxDataFolders(const IEnvironment& environment, const IFileSystem& files);

}  // namespace orvanta
