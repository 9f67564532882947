#pragma once

#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/FileSystem.h"

namespace orvanta {

// What the merge does in one folder: the merged database goes to target; the
// file it displaces (target itself when it exists, else the first listed
// database of the folder) becomes the folder's backup. Other listed
// databases of the folder stay where they are: nothing is overwritten that
// is not kept as the backup.
struct FolderPlacement {
  std::string folder;
  std::string target;
  std::string backupSource;  // empty when the folder has nothing to keep
  std::string temporary;     // the merged file while it waits beside target
};

// The databases of a merge after the duplicates are gone: each file once,
// however its path is spelled, in list order.
struct DistinctDatabases {
  std::vector<std::string> paths;
  std::vector<std::string> missing;  // listed paths that name no file
};
DistinctDatabases DistinctFiles(const IFileSystem& files, const std::vector<std::string>& paths);

// A merge the planner refuses before anything is touched; path names the
// file it would have read, renamed or replaced.
class PlacementRefused : public std::runtime_error {
 public:
  explicit PlacementRefused(const std::string& file) : std::runtime_error(file), path(file) {}
  std::string path;
};

// One placement per folder (folders compared by identity), in list order.
// Throws PlacementRefused when a target or a file to keep as the backup is a
// log by the kind rule: logs are only ever read.
std::vector<FolderPlacement> PlanPlacement(const IFileSystem& files,
                                           const std::vector<std::string>& databases,
                                           std::string_view fileName);

// A placement that failed part-way; completedFolders lists the folders that
// already hold the merged database (and their backup).
class PlacementError : public FileError {
 public:
  PlacementError(const std::string& what, std::vector<std::string> completed)
      : FileError(what), completedFolders(std::move(completed)) {}
  std::vector<std::string> completedFolders;
};

// Puts the merged database into every folder. First the merged file is
// written completely and flushed beside each target; only then, folder by
// folder, the displaced file is renamed to the backup name and the merged
// file renamed to its target. A backup already in the folder waits under
// kPreviousBackupFileName meanwhile and is removed only once the folder holds
// the merged file. At every moment each folder's old database is whole at its
// own name or at the backup name, its previous backup at the backup name or
// the waiting name, and a merged file at the target name is complete. When a
// step fails the folder at hand is put back (database and previous backup),
// the scratch files are removed and PlacementError is thrown. yield runs after
// the scratch files are written and after each folder.
void PlaceMergedDatabase(IFileSystem& files, std::vector<FolderPlacement>& placements, std::string_view bytes,
                         const std::function<void()>& yield);

}  // namespace orvanta
