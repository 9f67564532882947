#include "maintenance/SafeFiles.h"

#include <cctype>
#include <random>
#include <utility>

#include "platform/Paths.h"
#include "records/Text.h"

namespace orvanta {
namespace {

constexpr std::string_view kScratchMarker = ".orvanta-";
// Marks the second name of a previous backup, set aside while a run puts
// the database in the backup's place.
constexpr std::string_view kKeeperMark = "prev-";
constexpr std::size_t kRandomLength = 6;
constexpr std::string_view kRandomAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
// Long names are cut and told apart by a hash, so that a scratch name stays
// within the 255 bytes every common file system takes.
constexpr std::size_t kLongName = 96;
constexpr int kAttempts = 100;
constexpr int kLateWriterMs = 200;

std::string randomSuffix() {
  static std::mt19937_64 generator{std::random_device{}()};
  std::string suffix(kRandomLength, 'A');
  for (auto& c : suffix) c = kRandomAlphabet[generator() % kRandomAlphabet.size()];
  return suffix;
}

std::string stemOf(std::string_view name) {
  if (name.size() <= kLongName) return std::string(name);
  std::uint64_t hash = 1469598103934665603ULL;  // FNV-1a
  for (const char c : name) hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ULL;
  static constexpr std::string_view kHex = "0123456789abcdef";
  std::string stem(name.substr(0, kLongName - 17));
  stem += '~';
  for (int shift = 60; shift >= 0; shift -= 4) stem += kHex[(hash >> shift) & 0xF];
  return stem;
}

std::string keeperPrefix(std::string_view backupName) {
  return scratchPrefix(backupName) + std::string(kKeeperMark);
}

// A second name for a file under a fresh scratch name.
std::string linkScratch(IFileSystem& files, const std::string& existing, const std::string& folder,
                        const std::string& prefix) {
  for (int attempt = 0;; ++attempt) {
    std::string path = pathIn(folder, prefix + randomSuffix());
    try {
      files.link(existing, path);
      return path;
    } catch (const FileError&) {
      // Someone took the name meanwhile: another name is tried.
      if (attempt >= kAttempts || !files.status(path, false)) throw;
    }
  }
}

// A copy of the locked file's bytes, for a backup on another file system,
// where no second name can be made.
std::string copyScratch(IFileSystem& files, LockedDatabase& database, const std::string& folder) {
  std::string copy =
      writeScratch(files, folder, fileNameOf(database.listed()), database.readStatus().permissions,
                   [&database](IOutputFile& out) {
                     database.input().rewind();
                     std::string buffer(std::size_t{1} << 20, '\0');
                     while (const std::size_t n = database.input().read(buffer.data(), buffer.size())) {
                       out.write(std::string_view(buffer.data(), n));
                     }
                   });
  try {
    files.copyAccess(database.real(), copy);
  } catch (...) {
    discardTemporary(files, copy);
    throw;
  }
  return copy;
}

// A run killed while the database stood in the backup's place leaves the
// previous backup under a keeper name. While the backup name holds the
// database itself, the database was not replaced and the previous backup is
// still the one to keep: it is put back. Otherwise it was superseded.
void settleKeepers(IFileSystem& files, const std::string& folder, const std::string& backupName,
                   const FileIdentity& database) noexcept {
  try {
    const std::string prefix = keeperPrefix(backupName);
    const std::string backup = pathIn(folder, backupName);
    for (const auto& name : files.listFolder(folder)) {
      if (name.size() != prefix.size() + kRandomLength || !name.starts_with(prefix)) continue;
      const auto held = files.status(backup, false);
      if (held && held->identity == database) {
        files.rename(pathIn(folder, name), backup);
      } else {
        discardTemporary(files, pathIn(folder, name));
      }
    }
  } catch (...) {
    // What cannot be settled now is settled by the next run.
  }
}

}  // namespace

std::string backupNameFor(std::string_view databaseName) {
  if (sameIgnoringCase(databaseName, "CALL3.txt")) return std::string(kBackupFileName);
  const auto dot = databaseName.rfind('.');
  if (dot == std::string_view::npos || dot == 0) return std::string(databaseName) + "_Old";
  return std::string(databaseName.substr(0, dot)) + "_Old" + std::string(databaseName.substr(dot));
}

bool isBackupOfAnother(const IFileSystem& files, const std::string& path) {
  const std::string name = fileNameOf(path);
  if (sameIgnoringCase(name, kBackupFileName)) return true;
  auto dot = name.rfind('.');
  if (dot == std::string::npos || dot == 0) dot = name.size();
  const std::string stem = name.substr(0, dot);
  if (stem.size() <= 4 || !stem.ends_with("_Old")) return false;
  const std::string original = pathIn(folderOf(path), stem.substr(0, stem.size() - 4) + name.substr(dot));
  return files.status(original).has_value();
}

std::string withoutScratchNames(std::string text) {
  for (auto at = text.find(kScratchMarker); at != std::string::npos; at = text.find(kScratchMarker, at)) {
    const auto slash = text.rfind('/', at);
    const std::size_t start = slash == std::string::npos ? 0 : slash + 1;
    std::size_t end = at + kScratchMarker.size();
    if (text.compare(end, kKeeperMark.size(), kKeeperMark) == 0) end += kKeeperMark.size();
    for (std::size_t n = 0;
         n < kRandomLength && end < text.size() && (std::isalnum(static_cast<unsigned char>(text[end])) != 0);
         ++n)
      ++end;
    if (text[start] != '.' || start == at) {
      at = end;
      continue;
    }
    const std::string owner = text.substr(start + 1, at - start - 1);
    text.replace(start, end - start, owner);
    at = start + owner.size();
  }
  return text;
}

std::string scratchPrefix(std::string_view ownerName) {
  std::string prefix = ".";
  prefix += stemOf(ownerName);
  prefix += kScratchMarker;
  return prefix;
}

std::unique_ptr<IOutputFile> createScratch(IFileSystem& files, const std::string& folder,
                                           std::string_view ownerName, unsigned permissions,
                                           std::string& path) {
  // A name taken already (by a link planted there, say) is never opened;
  // another random name is tried instead.
  for (int attempt = 0;; ++attempt) {
    path = pathIn(folder, scratchPrefix(ownerName) + randomSuffix());
    try {
      return files.createExclusive(path, permissions);
    } catch (const FileError&) {
      if (attempt >= kAttempts || !files.status(path, false)) throw;
    }
  }
}

std::string writeScratch(IFileSystem& files, const std::string& folder, std::string_view ownerName,
                         unsigned permissions, const std::function<void(IOutputFile&)>& content) {
  std::string path;
  auto out = createScratch(files, folder, ownerName, permissions, path);
  try {
    content(*out);
    out->sync();
    out->close();
  } catch (...) {
    out.reset();
    discardTemporary(files, path);
    throw;
  }
  return path;
}

void discardTemporary(IFileSystem& files, const std::string& temporary) noexcept {
  try {
    if (files.status(temporary, false)) files.remove(temporary);
  } catch (...) {
    // Nothing of value is in it; the next run holding the lock removes it.
  }
}

void removeStaleScratch(IFileSystem& files, const std::string& folder, std::string_view ownerName) noexcept {
  try {
    const std::string prefix = scratchPrefix(ownerName);
    for (const auto& name : files.listFolder(folder)) {
      if (name.size() == prefix.size() + kRandomLength && name.starts_with(prefix)) {
        discardTemporary(files, pathIn(folder, name));
      }
    }
  } catch (...) {
    // A folder that cannot be listed keeps its leftovers; they do no harm.
  }
}

namespace {

std::unique_ptr<ILockedFile> openForReading(IFileSystem& files, const std::string& path) {
  try {
    return files.openLocked(path);
  } catch (const FileLocked&) {
    throw;
  } catch (const FileError& e) {
    throw ReadError(path, e);
  }
}

}  // namespace

LockedDatabase::LockedDatabase(IFileSystem& files, std::string listed, std::string backupName)
    : listed_(std::move(listed)),
      backupName_(backupName.empty() ? backupNameFor(fileNameOf(listed_)) : std::move(backupName)),
      file_(openForReading(files, listed_)),
      status_(file_->status()) {
  real_ = files.resolve(listed_);
  removeStaleScratch(files, folderOf(listed_), fileNameOf(listed_));
  if (real_ != listed_) removeStaleScratch(files, folderOf(real_), fileNameOf(real_));
  settleKeepers(files, folderOf(listed_), backupName_, status_.identity);
}

void LockedDatabase::checkUnchanged(const IFileSystem& files, const std::string& name) const {
  const auto now = files.status(name);
  if (!now || !now->sameContentAs(status_) || !file_->status().sameContentAs(status_)) {
    throw FileChanged(listed_);
  }
}

namespace {

// Appends to `to` what another program wrote to `from` past `carried`
// bytes. A writer that opened `from` by its old name may still be writing to
// it: its lines are taken once it has closed the file. One that keeps it
// open longer than this leaves later lines in `from`.
void copyLateLines(IFileSystem& files, ILockedFile& from, std::uint64_t carried, const std::string& to) {
  from.waitUntilOnlyHolder(kLateWriterMs);
  for (int round = 0; round < 4; ++round) {
    const std::uint64_t size = from.status().size;
    if (size <= carried) return;
    std::string late(static_cast<std::size_t>(size - carried), '\0');
    from.seek(carried);
    std::size_t got = 0;
    while (got < late.size()) {
      const std::size_t n = from.read(late.data() + got, late.size() - got);
      if (n == 0) break;
      got += n;
    }
    late.resize(got);
    files.append(to, late);
    carried += got;
  }
}

}  // namespace

void LockedDatabase::carryOverLateLines(IFileSystem& files, const std::string& name) noexcept {
  try {
    copyLateLines(files, *file_, status_.size, name);
  } catch (...) {
    // The lines stay in the old file (the backup, after a merge).
  }
}

void LockedDatabase::putInPlace(IFileSystem& files, const std::string& scratch, const std::string& name) {
  checkUnchanged(files, name);
  const std::uint64_t written = files.status(scratch, false).value_or(FileStatus{}).size;
  if (!files.exchange(scratch, name)) {
    // Between this check and the rename lie a few microseconds in which
    // another program's write would still be lost; only an exchange closes that.
    files.rename(scratch, name);
    carryOverLateLines(files, name);
    return;
  }
  // The scratch name now holds the file that came out: the file read, unless
  // another program renamed its own over the name; one still writing to it
  // is waited for before its state is compared.
  const auto out = files.status(scratch, false);
  bool unchanged = out && out->identity == status_.identity;
  if (unchanged) {
    file_->waitUntilOnlyHolder(kLateWriterMs);
    unchanged = file_->status().sameContentAs(status_);
  }
  if (!unchanged) {
    putBack(files, scratch, name, written);
    throw FileChanged(listed_);
  }
  discardTemporary(files, scratch);  // the old file lives on as the backup
  carryOverLateLines(files, name);
}

void LockedDatabase::putBack(IFileSystem& files, const std::string& scratch, const std::string& name,
                             std::uint64_t written) {
  // Another program may have added lines to the new file while it was in
  // place; they go back with the old one.
  std::unique_ptr<ILockedFile> replaced;
  try {
    replaced = files.openLocked(name);
  } catch (const FileError&) {
    // Another run holds it, or it is gone: that run answers for its lines.
  }
  if (!files.exchange(scratch, name)) files.rename(scratch, name);
  if (replaced == nullptr) return;
  try {
    copyLateLines(files, *replaced, written, name);
  } catch (const FileError&) {
    // What cannot be copied stays in the new file.
  }
}

std::string backupPathOf(const LockedDatabase& database) {
  const std::string& listed = database.listed();
  if (!hasFolder(listed)) return database.backupName();
  return pathIn(folderOf(listed), database.backupName());
}

BackupStep backUp(IFileSystem& files, LockedDatabase& database, const std::string& folder) {
  BackupStep step;
  step.folder = folder;
  step.backup = pathIn(folder, database.backupName());
  const std::string owner = fileNameOf(database.listed());
  const auto previous = files.status(step.backup, false);
  const auto previousTarget = previous ? files.status(step.backup) : std::nullopt;
  if (previousTarget && previousTarget->identity == database.readStatus().identity) {
    step.alreadyBackup = true;  // left so by a run killed after its backup step
    return step;
  }
  if (previous) step.keeper = linkScratch(files, step.backup, folder, keeperPrefix(database.backupName()));
  std::string copy;
  try {
    const auto folderStatus = files.status(folder);
    copy = folderStatus && folderStatus->identity.device == database.readStatus().identity.device
               ? linkScratch(files, database.real(), folder, scratchPrefix(owner))
               : copyScratch(files, database, folder);
    files.rename(copy, step.backup);
    step.placed = true;
  } catch (...) {
    if (!copy.empty()) discardTemporary(files, copy);
    if (!step.keeper.empty()) discardTemporary(files, step.keeper);
    throw;
  }
  return step;
}

void undoBackup(IFileSystem& files, BackupStep& step) {
  if (!step.placed) return;
  if (step.keeper.empty()) {
    files.remove(step.backup);
  } else {
    files.rename(step.keeper, step.backup);
    step.keeper.clear();
  }
  step.placed = false;
}

void finishBackup(IFileSystem& files, BackupStep& step) noexcept {
  if (!step.keeper.empty()) discardTemporary(files, step.keeper);
  step.keeper.clear();
}

namespace {

void placeSteps(IFileSystem& files, LockedDatabase& database, const std::string& scratch) {
  const std::string target = database.real();
  BackupStep step;
  try {
    files.copyAccess(target, scratch);
    database.checkUnchanged(files);
    step = backUp(files, database, folderOf(database.listed()));
    database.putInPlace(files, scratch, target);
  } catch (...) {
    discardTemporary(files, scratch);
    try {
      undoBackup(files, step);
    } catch (const FileError& e) {
      throw BackupNotPutBack(database.listed(), backupPathOf(database), withoutScratchNames(e.what()));
    }
    throw;
  }
  finishBackup(files, step);
  try {
    files.syncFolder(folderOf(target));
  } catch (const FileError&) {
    // Both files are whole whichever rename a power cut might undo.
  }
}

// Runs a step of the replacement; a failure other than a lost race or a
// refused read is a failure to write the database.
template <typename Step>
void asWriteOf(const LockedDatabase& database, Step step) {
  try {
    step();
  } catch (const FileChanged&) {
    throw;
  } catch (const WriteError&) {
    throw;
  } catch (const FileError& e) {
    throw WriteError(database.listed(), withoutScratchNames(WriteError(database.listed(), e).reason()));
  }
}

}  // namespace

void replaceKeepingBackup(IFileSystem& files, LockedDatabase& database, std::string_view bytes) {
  replaceKeepingBackup(files, database, [bytes](IOutputFile& out) { out.write(bytes); });
}

void replaceKeepingBackup(IFileSystem& files, LockedDatabase& database,
                          const std::function<void(IOutputFile&)>& content) {
  asWriteOf(database, [&] {
    const std::string target = database.real();
    placeSteps(files, database,
               writeScratch(files, folderOf(target), fileNameOf(target), database.readStatus().permissions,
                            content));
  });
}

void placeKeepingBackup(IFileSystem& files, LockedDatabase& database, const std::string& scratch) {
  asWriteOf(database, [&] { placeSteps(files, database, scratch); });
}

}  // namespace orvanta
