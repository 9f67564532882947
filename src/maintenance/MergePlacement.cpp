#include "maintenance/MergePlacement.h"

#include <optional>

#include "maintenance/Merge.h"
#include "maintenance/SafeFiles.h"

namespace orvanta {

DistinctDatabases DistinctFiles(const IFileSystem& files, const std::vector<std::string>& paths) {
  DistinctDatabases result;
  std::vector<FileIdentity> seen;
  for (const auto& path : paths) {
    const auto id = files.identity(path);
    if (!id) {
      result.missing.push_back(path);
      continue;
    }
    bool duplicate = false;
    for (const auto& other : seen) duplicate = duplicate || other == *id;
    if (duplicate) continue;
    seen.push_back(*id);
    result.paths.push_back(path);
  }
  return result;
}

std::vector<FolderPlacement> PlanPlacement(const IFileSystem& files,
                                           const std::vector<std::string>& databases,
                                           std::string_view fileName) {
  std::vector<FolderPlacement> placements;
  std::vector<std::optional<FileIdentity>> folderIds;
  for (const auto& database : databases) {
    const std::string folder = FolderOf(database);
    const auto folderId = files.identity(folder);
    bool known = false;
    for (std::size_t i = 0; i < placements.size() && !known; ++i) {
      known = folderId ? folderIds[i] == folderId : placements[i].folder == folder;
    }
    if (known) continue;
    FolderPlacement placement;
    placement.folder = folder;
    placement.target = PathIn(folder, fileName);
    placement.backupSource = files.exists(placement.target) ? placement.target : database;
    if (IsLogDatabasePath(placement.target)) throw PlacementRefused(placement.target);
    if (IsLogDatabasePath(placement.backupSource)) throw PlacementRefused(placement.backupSource);
    placements.push_back(std::move(placement));
    folderIds.push_back(folderId);
  }
  return placements;
}

void PlaceMergedDatabase(IFileSystem& files, std::vector<FolderPlacement>& placements, std::string_view bytes,
                         const std::function<void()>& yield) {
  auto discardAll = [&] {
    for (auto& placement : placements) {
      if (!placement.temporary.empty()) DiscardTemporary(files, placement.temporary);
      placement.temporary.clear();
    }
  };

  // Nothing is touched until the merged file is safely on disk in every folder.
  try {
    for (auto& placement : placements) {
      placement.temporary = WriteTemporaryBeside(files, placement.target, bytes);
    }
  } catch (const FileError& e) {
    discardAll();
    throw PlacementError(e.what(), {});
  }
  if (yield) yield();

  std::vector<std::string> completed;
  for (auto& placement : placements) {
    const std::string backup = PathIn(placement.folder, kBackupFileName);
    const std::string previous = PathIn(placement.folder, kPreviousBackupFileName);
    bool previousAside = false;
    bool backedUp = false;
    try {
      // The backup already there steps aside first rather than being
      // replaced, so that a failure below can still bring it back.
      if (!placement.backupSource.empty() && files.exists(backup)) {
        files.rename(backup, previous);
        previousAside = true;
      }
      // Both renames replace their target in one step, and there is no yield
      // between them, so the window in which the folder's database exists
      // only as the backup is as short as the file system allows.
      if (!placement.backupSource.empty()) {
        files.rename(placement.backupSource, backup);
        backedUp = true;
      }
      files.rename(placement.temporary, placement.target);
      placement.temporary.clear();
    } catch (const FileError& e) {
      try {
        if (backedUp) files.rename(backup, placement.backupSource);
        if (previousAside) files.rename(previous, backup);
      } catch (const FileError&) {
        // The old database stays whole under the backup name, the previous
        // backup under its waiting name.
      }
      discardAll();
      throw PlacementError(e.what(), completed);
    }
    try {
      files.syncFolder(placement.folder);
    } catch (const FileError&) {
      // Both files are whole whichever rename a power cut might undo.
    }
    // Superseded now; should removing it fail, the next merge replaces it.
    if (previousAside) DiscardTemporary(files, previous);
    completed.push_back(placement.folder);
    if (yield) yield();
  }
}

}  // namespace orvanta
