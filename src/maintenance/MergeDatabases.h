#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Clock.h"
#include "platform/FileSystem.h"

namespace orvanta {

enum class MergeResult {
  Done,
  TooFew,            // fewer than two distinct user databases listed
  ReservedName,      // path: the merged name is the backup's name
  NotFound,          // path: a listed database
  IsBackup,          // path: a listed database that is its folder's backup
  WriteProtected,    // path: a database the merge would replace may not be written
  CannotRead,        // reason
  LogNeverReplaced,  // path: the log the merge would have replaced
  NotAFile,          // path: a folder or other non-regular file at a target or backup name
  Locked,            // path: another run holds it
  Changed,           // path: another program wrote it meanwhile; nothing changed
  CannotWrite,       // reason; updatedFolders and notPutBack tell what changed
  Unexpected,        // reason; nothing changed
};

struct MergeOutcome {
  MergeResult result = MergeResult::Done;
  std::string fileName;  // the name the merged database is written under
  std::string path;
  std::string reason;  // the system's description of a failure
  // Folders that hold the merged database, their old one as CALL3_Old.txt.
  std::vector<std::string> updatedFolders;
  // Folders that still hold their old database, but whose CALL3_Old.txt
  // could not be put back and is now a copy of it.
  std::vector<std::string> notPutBack;
  std::string temporaryPath;  // the first scratch file of the merged database
  std::size_t records = 0;
};

struct MergeRequest {
  std::vector<std::string> listed;  // the database list as it stands, logs and empty entries included
  std::string dbFileName;           // the name chosen in the dialog, maybe empty
  CivilDate today;
  std::string_view legalNotice;
  std::function<void()> started;  // runs once the request passed its first checks
  std::function<void()> yield;
};

// The whole merge: every listed user database is locked and read once,
// however often and under whichever spelling or link it is listed; the
// merged database replaces each folder's database, the old one kept as the
// folder's backup. Nothing is replaced unless every database is still the
// file that was read. No exception leaves it: every failure is an outcome,
// and a failure leaves each folder as it was except those the outcome names.
// Sets fieldSeparator to ",".
MergeOutcome mergeDatabases(IFileSystem& files, const MergeRequest& request, std::string& fieldSeparator);

}  // namespace orvanta
