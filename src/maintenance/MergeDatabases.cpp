#include "maintenance/MergeDatabases.h"

#include <memory>

#include "maintenance/Merge.h"
#include "maintenance/MergePlacement.h"
#include "maintenance/SafeFiles.h"

namespace orvanta {
namespace {

MergeOutcome outcome(MergeResult result, std::string path = {}, std::string reason = {}) {
  MergeOutcome o;
  o.result = result;
  o.path = std::move(path);
  o.reason = std::move(reason);
  return o;
}

// The databases under lock, each file once.
struct Locks {
  std::vector<std::unique_ptr<LockedDatabase>> held;

  LockedDatabase* find(const FileIdentity& id) {
    for (auto& lock : held) {
      if (lock->readStatus().identity == id) return lock.get();
    }
    return nullptr;
  }
  // Locks the file at path unless it is held already; returns its lock.
  LockedDatabase* take(IFileSystem& files, const std::string& path) {
    const auto status = files.status(path);
    if (status) {
      if (auto* known = find(status->identity)) return known;
    }
    // Every folder keeps its previous database under one name after a merge.
    held.push_back(std::make_unique<LockedDatabase>(files, path, std::string(kBackupFileName)));
    return held.back().get();
  }
};

// Log databases are only ever read: they take no part.
std::vector<std::string> userDatabases(const std::vector<std::string>& listed) {
  std::vector<std::string> databases;
  for (const auto& item : listed) {
    if (!item.empty() && !isLogDatabasePath(item)) databases.push_back(item);
  }
  return databases;
}

// A listed database that is its folder's backup would be overwritten by the
// backup of the folder's other database. A database of the merged name that
// is its own backup as well (a run killed between the two steps of its
// backup leaves it so) is no such case.
const std::string* listedBackup(const IFileSystem& files, const std::vector<std::string>& databases,
                                const std::string& fileName) {
  for (const auto& path : databases) {
    if (sameNameIgnoringCase(fileNameOf(path), fileName)) continue;
    const auto backup = files.status(pathIn(folderOf(path), kBackupFileName));
    const auto database = files.status(path);
    if (backup && database && backup->identity == database->identity) return &path;
  }
  return nullptr;
}

// Every distinct database, read from its lock.
MergeOutcome readAll(IFileSystem& files, const std::vector<std::string>& databases, Locks& locks,
                     std::vector<MergeSource>& sources) {
  for (const auto& path : databases) {
    if (!files.status(path)) return outcome(MergeResult::NotFound, path);
  }
  for (const auto& path : databases) {
    const std::size_t before = locks.held.size();
    try {
      LockedDatabase* lock = locks.take(files, path);
      if (locks.held.size() != before) sources.push_back(loadMergeSource(lock->input(), path));
    } catch (const FileLocked&) {
      return outcome(MergeResult::Locked, path);
    } catch (const FileError& e) {
      return outcome(MergeResult::CannotRead, path, e.what());
    }
  }
  return outcome(sources.size() < 2 ? MergeResult::TooFew : MergeResult::Done);
}

// The placements with the lock of every file they replace or keep.
MergeOutcome plan(IFileSystem& files, const std::vector<std::string>& databases, const std::string& fileName,
                  Locks& locks, std::vector<FolderPlacement>& placements) {
  try {
    placements = planPlacement(files, databases, fileName);
    for (auto& placement : placements) {
      placement.source = locks.take(files, placement.backupSource);
      if (placement.backupSource == placement.target) placement.targetLock = placement.source;
      for (const std::string* replaced : {&placement.target, &placement.backupSource}) {
        if (files.status(*replaced) && files.writeProtected(*replaced))
          return outcome(MergeResult::WriteProtected, *replaced);
      }
    }
  } catch (const PlacementRefused& e) {
    return outcome(e.notAFile ? MergeResult::NotAFile : MergeResult::LogNeverReplaced, e.path);
  } catch (const FileLocked& e) {
    return outcome(MergeResult::Locked, e.path);
  }
  return outcome(MergeResult::Done);
}

std::string mergedText(std::vector<MergeSource>& sources, const MergeRequest& request,
                       const std::string& fileName, std::string& fieldSeparator, std::size_t& records) {
  const TextFormat format = mergedFormat(sources);
  for (auto& source : sources) convertSource(source, format.encoding);
  MergedRecords merged = MergeRecords(sources, fieldSeparator, lineEndBytes(format.lineEnd), request.yield);
  sources.clear();
  sources.shrink_to_fit();
  records = merged.records;
  const std::string header = mergeHeaderLine(fromUtf8(fileName, format.encoding));
  const std::string terminator = mergeTerminatorLine(request.today, request.legalNotice);
  return mergedDatabaseText(header, merged.text, terminator, format);
}

MergeOutcome place(IFileSystem& files, std::vector<FolderPlacement>& placements, const std::string& text,
                   const MergeRequest& request, MergeOutcome done) {
  try {
    placeMergedDatabase(files, placements, text, request.yield, done.temporaryPath);
  } catch (const PlacementError& e) {
    if (!e.changedPath.empty() && e.completedFolders.empty() && e.notPutBack.empty()) {
      return outcome(MergeResult::Changed, e.changedPath);
    }
    MergeOutcome failed = outcome(MergeResult::CannotWrite, {}, withoutScratchNames(e.what()));
    failed.updatedFolders = e.completedFolders;
    failed.notPutBack = e.notPutBack;
    return failed;
  }
  return done;
}

MergeOutcome mergeLocked(IFileSystem& files, const MergeRequest& request, const std::string& fileName,
                         std::string& fieldSeparator) {
  const std::vector<std::string> databases = userDatabases(request.listed);
  Locks locks;
  std::vector<MergeSource> sources;
  if (MergeOutcome read = readAll(files, databases, locks, sources); read.result != MergeResult::Done) {
    return read;
  }
  if (const std::string* backup = listedBackup(files, databases, fileName))
    return outcome(MergeResult::IsBackup, *backup);
  if (request.yield) request.yield();

  MergeOutcome done = outcome(MergeResult::Done);
  const std::string text = mergedText(sources, request, fileName, fieldSeparator, done.records);
  std::vector<FolderPlacement> placements;
  if (MergeOutcome planned = plan(files, databases, fileName, locks, placements);
      planned.result != MergeResult::Done) {
    return planned;
  }
  return place(files, placements, text, request, std::move(done));
}

}  // namespace

MergeOutcome mergeDatabases(IFileSystem& files, const MergeRequest& request, std::string& fieldSeparator) {
  // Databases restored at start-up leave DbFileName empty; the dialog's own
  // default name is what the operator expects then. DbFileName is also set
  // when a log was opened last; a merge never replaces a log, so then too
  // the default name is used.
  const std::string fileName = mergedFileName(request.dbFileName);
  MergeOutcome result;
  if (userDatabases(request.listed).size() < 2) {
    result = outcome(MergeResult::TooFew);
  } else if (fileName == kBackupFileName) {
    result = outcome(MergeResult::ReservedName, fileName);
  } else {
    if (request.started) request.started();
    try {
      result = mergeLocked(files, request, fileName, fieldSeparator);
    } catch (const std::exception& e) {
      // Running out of memory, say, before anything was placed.
      result = outcome(MergeResult::Unexpected, {}, e.what());
    }
  }
  result.fileName = fileName;
  return result;
}

}  // namespace orvanta
