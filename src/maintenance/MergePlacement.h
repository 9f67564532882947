#pragma once

#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "maintenance/SafeFiles.h"
#include "platform/FileSystem.h"

namespace orvanta {

// What the merge does in one folder: the merged database goes to target; the
// file it displaces (target itself when it exists, else the first listed
// database of the folder) becomes the folder's backup. Other listed
// databases of the folder stay where they are: nothing is overwritten that
// is not kept as the backup.
struct FolderPlacement {
  std::string folder;
  // The listed database of the folder whose name is the merged name in any
  // letter case (so WSJT-X's CALL3.TXT stays CALL3.TXT), else folder & name.
  std::string target;
  std::string backupSource;  // empty when the folder has nothing to keep
  // Where the new file is renamed to: the final file of a target that is a
  // link, so that the link stays a link; target itself when it is new.
  std::string realTarget;
  LockedDatabase* source = nullptr;      // the lock on backupSource
  LockedDatabase* targetLock = nullptr;  // the lock on target; none when target is new
};

struct PlacementPlan {
  std::vector<FolderPlacement> folders;
  // Set when the merge is refused before anything is touched: the file it
  // would have read, renamed or replaced.
  std::string refused;
  bool notAFile = false;  // a folder or another non-regular file has the name; else a log would be replaced
};

// One placement per folder (folders compared by identity), in list order;
// databases lists every listed database, each spelling of one file included.
// Refused, with no placements, when a target or a file to keep as the backup
// is a log by the kind rule (logs are only ever read), or when the target or
// backup name is taken by something other than a file.
PlacementPlan planPlacement(const IFileSystem& files, const std::vector<std::string>& databases,
                            std::string_view fileName);

// A placement that failed part-way. completedFolders hold the merged
// database and their old one as the backup; notPutBack folders still hold
// their old database, but their backup could not be put back and is now a
// copy of it; every other folder is as it was.
class PlacementError : public FileError {
 public:
  PlacementError(const std::string& what, std::vector<std::string> completed, std::vector<std::string> kept,
                 std::string changed = {})
      : FileError(what),
        completedFolders(std::move(completed)),
        notPutBack(std::move(kept)),
        changedPath(std::move(changed)) {}
  std::vector<std::string> completedFolders;
  std::vector<std::string> notPutBack;
  std::string changedPath;  // set when another program wrote a database meanwhile
};

// Puts the merged database into every folder. The merged file is first
// written completely and flushed beside each final target; then each
// folder's displaced file becomes its backup under a second name, so its own
// name never goes missing; then, after checking that each database is still
// the file that was read, the merged file is renamed over it. When a step
// fails, the folders not yet done get their previous backup back, the
// scratch files are removed and PlacementError is thrown. yield runs after
// the scratch files are written and after each folder. The first scratch
// file's path goes to firstTemporary.
void placeMergedDatabase(IFileSystem& files, std::vector<FolderPlacement>& placements, std::string_view bytes,
                         const std::function<void()>& yield, std::string& firstTemporary);

}  // namespace orvanta
