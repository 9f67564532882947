#include "records/DatabaseKind.h"

#include <string>

#include "records/Adif.h"
#include "records/Text.h"

namespace orvanta {

PathKind kindOfPath(std::string_view path) {
  const std::string lower = lowerAscii(path);
  const std::string_view name(lower);
  PathKind result;
  result.txt = contains(name, ".txt");
  if (result.txt) result.kind = DatabaseKind::User;
  if (contains(name, ".log") || isAdifPath(name)) result.kind = DatabaseKind::Log;
  return result;
}

std::string_view kindText(DatabaseKind kind) {
  switch (kind) {
    case DatabaseKind::User:
      return "user";
    case DatabaseKind::Log:
      return "log";
    case DatabaseKind::None:
      break;
  }
  return {};
}

}  // namespace orvanta
