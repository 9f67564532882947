#include "maintenance/MergePlacement.h"

#include <optional>

#include "maintenance/Merge.h"
#include "records/Text.h"

namespace orvanta {
namespace {

// The target of a folder: a listed database named like the merged file in
// any letter case is that file, under its own spelling.
std::string targetIn(const std::string& folder, const std::vector<std::string>& databases,
                     std::string_view fileName) {
  for (const auto& database : databases) {
    if (folderOf(database) == folder && sameIgnoringCase(fileNameOf(database), fileName)) return database;
  }
  return pathIn(folder, fileName);
}

// A rename over a folder, FIFO or device would hide it or fail half-way:
// the name that is no file, or empty.
std::string whatIsNoFile(const IFileSystem& files, const FolderPlacement& placement) {
  const auto target = files.status(placement.target);
  if (target && target->type != FileType::Regular) return placement.target;
  if (!target && files.status(placement.target, false)) return placement.target;
  std::string backup = pathIn(placement.folder, kBackupFileName);
  // A link at the backup name is replaced itself; what it points to is never touched.
  const auto backupEntry = files.status(backup, false);
  if (backupEntry && backupEntry->type != FileType::Regular && backupEntry->type != FileType::SymbolicLink) {
    return backup;
  }
  return {};
}

}  // namespace

PlacementPlan planPlacement(const IFileSystem& files, const std::vector<std::string>& databases,
                            std::string_view fileName) {
  PlacementPlan plan;
  std::vector<FolderPlacement>& placements = plan.folders;
  std::vector<std::optional<FileIdentity>> folderIds;
  for (const auto& database : databases) {
    const std::string folder = folderOf(database);
    const auto status = files.status(folder);
    const auto folderId = status ? std::optional<FileIdentity>(status->identity) : std::nullopt;
    bool known = false;
    for (std::size_t i = 0; i < placements.size() && !known; ++i) {
      known = folderId ? folderIds[i] == folderId : placements[i].folder == folder;
    }
    if (known) continue;
    FolderPlacement placement;
    placement.folder = folder;
    placement.target = targetIn(folder, databases, fileName);
    const bool targetExists = files.status(placement.target).has_value();
    placement.backupSource = targetExists ? placement.target : database;
    for (const std::string* log : {&placement.target, &placement.backupSource}) {
      if (isLogDatabasePath(*log)) return PlacementPlan{{}, *log, false};
    }
    if (std::string noFile = whatIsNoFile(files, placement); !noFile.empty()) {
      return PlacementPlan{{}, std::move(noFile), true};
    }
    placement.realTarget = targetExists ? files.resolve(placement.target) : placement.target;
    placements.push_back(std::move(placement));
    folderIds.push_back(folderId);
  }
  return plan;
}

namespace {

// The merged file beside every final target; placements that share one
// final target (two links to one file) share one scratch file.
std::vector<std::string> writeScratchFiles(IFileSystem& files, const std::vector<FolderPlacement>& placements,
                                           std::string_view bytes) {
  std::vector<std::string> scratch(placements.size());
  try {
    for (std::size_t i = 0; i < placements.size(); ++i) {
      const auto& placement = placements[i];
      bool shared = false;
      for (std::size_t j = 0; j < i && !shared; ++j)
        shared = placements[j].realTarget == placement.realTarget;
      if (shared) continue;
      const LockedDatabase& owner =
          placement.targetLock != nullptr ? *placement.targetLock : *placement.source;
      const std::string ownerName = placement.targetLock != nullptr ? fileNameOf(placement.realTarget)
                                                                    : fileNameOf(placement.backupSource);
      scratch[i] =
          writeScratch(files, folderOf(placement.realTarget), ownerName, owner.readStatus().permissions,
                       [bytes](IOutputFile& out) { out.write(bytes); });
      files.copyAccess(placement.targetLock != nullptr ? placement.realTarget : placement.backupSource,
                       scratch[i]);
    }
  } catch (...) {
    for (const auto& path : scratch) {
      if (!path.empty()) discardTemporary(files, path);
    }
    throw;
  }
  return scratch;
}

// Puts back the backups of the folders from index `from` on; returns the
// folders whose backup could not be put back.
std::vector<std::string> undoFrom(IFileSystem& files, std::vector<BackupStep>& steps, std::size_t from) {
  std::vector<std::string> notPutBack;
  for (std::size_t i = from; i < steps.size(); ++i) {
    try {
      undoBackup(files, steps[i]);
    } catch (...) {
      notPutBack.push_back(steps[i].folder);
    }
  }
  return notPutBack;
}

void discardFrom(IFileSystem& files, const std::vector<std::string>& scratch, std::size_t from) {
  for (std::size_t i = from; i < scratch.size(); ++i) {
    if (!scratch[i].empty()) discardTemporary(files, scratch[i]);
  }
}

void checkAllUnchanged(const IFileSystem& files, const std::vector<FolderPlacement>& placements) {
  for (const auto& placement : placements) {
    placement.source->checkUnchanged(files, placement.backupSource);
    if (placement.targetLock != nullptr) placement.targetLock->checkUnchanged(files, placement.realTarget);
  }
}

[[noreturn]] void failPlacement(const std::exception& e, std::vector<std::string> completed,
                                std::vector<std::string> notPutBack) {
  const auto* changed = dynamic_cast<const FileChanged*>(&e);
  throw PlacementError(e.what(), std::move(completed), std::move(notPutBack),
                       changed != nullptr ? changed->path() : std::string());
}

}  // namespace

void placeMergedDatabase(IFileSystem& files, std::vector<FolderPlacement>& placements, std::string_view bytes,
                         const std::function<void()>& yield, std::string& firstTemporary) {
  std::vector<std::string> scratch;
  try {
    scratch = writeScratchFiles(files, placements, bytes);
    firstTemporary = scratch.front();
    checkAllUnchanged(files, placements);
  } catch (const std::exception& e) {
    discardFrom(files, scratch, 0);
    failPlacement(e, {}, {});
  }
  if (yield) yield();

  std::vector<BackupStep> steps;
  try {
    for (auto& placement : placements) steps.push_back(backUp(files, *placement.source, placement.folder));
  } catch (const std::exception& e) {
    discardFrom(files, scratch, 0);
    failPlacement(e, {}, undoFrom(files, steps, 0));
  }

  std::vector<std::string> completed;
  for (std::size_t i = 0; i < placements.size(); ++i) {
    const auto& placement = placements[i];
    try {
      // A final target shared with an earlier folder (two links to one
      // file) has been replaced already.
      if (!scratch[i].empty()) {
        if (placement.targetLock != nullptr) {
          placement.targetLock->putInPlace(files, scratch[i], placement.realTarget);
        } else {
          files.rename(scratch[i], placement.realTarget);
        }
      }
      scratch[i].clear();
    } catch (const std::exception& e) {
      discardFrom(files, scratch, i);
      // The folders done keep their new backup; their previous one is superseded.
      for (std::size_t done = 0; done < i; ++done) finishBackup(files, steps[done]);
      failPlacement(e, completed, undoFrom(files, steps, i));
    }
    // A database of another name displaced by the merged file lives on as
    // the backup; should removing its own name fail, it stays as well.
    if (placement.backupSource != placement.target) discardTemporary(files, placement.backupSource);
    completed.push_back(placement.folder);
    if (yield) yield();
  }
  for (std::size_t i = 0; i < placements.size(); ++i) {
    finishBackup(files, steps[i]);
    try {
      files.syncFolder(placements[i].folder);
    } catch (const FileError&) {
      // Both files are whole whichever rename a power cut might undo.
    }
  }
}

}  // namespace orvanta
