#pragma once

// The kind rule: which kind of database a path names, from its name alone.

#include <string_view>

namespace orvanta {

enum class DatabaseKind { None, User, Log };

struct PathKind {
  bool txt = false;  // the ".txt" test matched, even when the kind ends as a log
  DatabaseKind kind = DatabaseKind::None;
};

// In lower case, a path containing ".txt" is a user database; one containing
// ".log", or ending in ".adi" or ".adif", is a log, also when it contains
// ".txt" as well. A path passing no test is of no kind: whoever keeps a kind
// keeps the one it had.
PathKind kindOfPath(std::string_view path);

// The form's text for a kind: "user", "log", or empty for none.
std::string_view kindText(DatabaseKind kind);

inline bool isLogDatabasePath(std::string_view path) { return kindOfPath(path).kind == DatabaseKind::Log; }
inline bool isUserDatabasePath(std::string_view path) { return kindOfPath(path).kind == DatabaseKind::User; }

}  // namespace orvanta
