#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/Paths.h"

namespace orvanta {

// The name every folder keeps its previous database under after a merge,
// and the backup of CALL3.txt.
inline constexpr std::string_view kBackupFileName = "CALL3_Old.txt";

// The name a database's previous version is kept under in its folder:
// "<stem>_Old<last extension>" ("mydb.txt" gives "mydb_Old.txt", "calls"
// gives "calls_Old"); CALL3.txt in any letter case keeps CALL3_Old.txt.
std::string backupNameFor(std::string_view databaseName);
// Whether the file at path is the backup of another database of its folder:
// CALL3_Old.txt, or "<stem>_Old<ext>" beside an existing "<stem><ext>".
bool isBackupOfAnother(const IFileSystem& files, const std::string& path);
// The text with every scratch file's path replaced by the path of the file
// it stands for, so that a message never names a hidden scratch file.
std::string withoutScratchNames(std::string text);

// Scratch files stand beside the file they belong to under a name of their
// own: "." & that file's name & ".orvanta-" & six random characters. Each is
// created anew and never through a link, so that two runs never share one,
// and only the run holding the lock on its owner writes or removes it.
std::string scratchPrefix(std::string_view ownerName);
// Creates a fresh scratch file in folder for the owner; its path goes to path.
std::unique_ptr<IOutputFile> createScratch(IFileSystem& files, const std::string& folder,
                                           std::string_view ownerName, unsigned permissions,
                                           std::string& path);
// Fills a fresh scratch file through content and flushes it to the disk.
// On failure the file is removed again and the error passed on.
std::string writeScratch(IFileSystem& files, const std::string& folder, std::string_view ownerName,
                         unsigned permissions, const std::function<void(IOutputFile&)>& content);
// Removes a scratch file; a failure is ignored, as the file holds nothing of
// value and the next run that holds the lock removes it.
void discardTemporary(IFileSystem& files, const std::string& temporary) noexcept;
// Removes the scratch files a killed run left for this owner. Only the
// holder of the owner's lock may call it.
void removeStaleScratch(IFileSystem& files, const std::string& folder, std::string_view ownerName) noexcept;

// Replacing a database failed after its backup had been replaced, and the
// previous backup could not be put back: the database is unchanged, but its
// backup (backup(), spelt as the database is listed) is now a copy of it.
class BackupNotPutBack : public WriteError {
 public:
  BackupNotPutBack(const std::string& database, std::string backup, const std::string& why)
      : WriteError(database, why), backup_(std::move(backup)) {}
  [[nodiscard]] const std::string& backup() const { return backup_; }

 private:
  std::string backup_;
};

// A database held under the lock from reading until its replacement is in
// place. A database that is a link is read, locked and replaced at its final
// target; the listed name stays the link it is.
class LockedDatabase {
 public:
  // Throws FileLocked when another run holds it, ReadError when it cannot
  // be opened or is no regular file. Removes what killed runs left beside
  // it; a previous backup a killed run had set aside is put back when the
  // backup name holds the database itself, else removed. backupName is the
  // file name of the database's backup, backupNameFor(its name) when empty.
  LockedDatabase(IFileSystem& files, std::string listed, std::string backupName = {});

  [[nodiscard]] const std::string& listed() const { return listed_; }
  [[nodiscard]] const std::string& backupName() const { return backupName_; }
  [[nodiscard]] const std::string& real() const { return real_; }
  [[nodiscard]] const FileStatus& readStatus() const { return status_; }
  ILockedFile& input() { return *file_; }

  // Throws FileChanged unless the name still holds the file as it was
  // when it was locked.
  void checkUnchanged(const IFileSystem& files) const { checkUnchanged(files, real_); }
  // The same for another name of the file (a hard link).
  void checkUnchanged(const IFileSystem& files, const std::string& name) const;
  // Called right after the new file was renamed over the database: lines
  // another program appended to the old file in the instant between the
  // last check and the rename are added to the new file, so they are not
  // lost with the old one. A failure leaves them in the old file.
  void carryOverLateLines(IFileSystem& files) noexcept { carryOverLateLines(files, real_); }
  void carryOverLateLines(IFileSystem& files, const std::string& name) noexcept;
  // Puts the flushed scratch file in place of name, the database's final
  // file. Where the file system can, the two are exchanged in one step and
  // the file that came out is compared with what was read once nobody else
  // holds it; should another program have replaced or written it in the
  // last instant, it is exchanged back and FileChanged thrown, with the
  // scratch file holding the new bytes again. Elsewhere the scratch file is
  // renamed over the database after a last check.
  void putInPlace(IFileSystem& files, const std::string& scratch, const std::string& name);

 private:
  // Swaps the file read back in place of the new one of `written` bytes.
  static void putBack(IFileSystem& files, const std::string& scratch, const std::string& name,
                      std::uint64_t written);

  std::string listed_;
  std::string backupName_;
  std::string real_;
  std::unique_ptr<ILockedFile> file_;
  FileStatus status_;
};

// The backup the database keeps its previous version under, spelt as the
// database is listed (a bare name for a bare name).
std::string backupPathOf(const LockedDatabase& database);

// Keeping a database as its backup without the database's name
// ever going missing: a second name for the database is made under a scratch
// name and renamed over the backup name, so the backup name holds the
// previous backup or the database at every instant, and the database keeps
// its own name. The previous backup waits under a second name until undo or
// finish decides about it.
struct BackupStep {
  std::string folder;
  std::string backup;          // folder & the database's backup name
  std::string keeper;          // second name of the previous backup; empty when there was none
  bool placed = false;         // the backup name holds the database
  bool alreadyBackup = false;  // the backup name held the very file already
};
// Throws FileError; nothing in the folder has changed then.
BackupStep backUp(IFileSystem& files, LockedDatabase& database, const std::string& folder);
// Puts the previous backup back. Throws FileError when that fails.
void undoBackup(IFileSystem& files, BackupStep& step);
// Drops the previous backup, now superseded.
void finishBackup(IFileSystem& files, BackupStep& step) noexcept;

// The whole replacement of one locked database: the new bytes go to a
// scratch file beside its final target; when the database is still as it was
// read, it becomes its backup in its listed folder and the new file takes
// its place. Throws FileChanged or WriteError with the database unchanged
// (its previous backup included), BackupNotPutBack when only the backup
// changed.
void replaceKeepingBackup(IFileSystem& files, LockedDatabase& database, std::string_view bytes);
// The same with the new bytes written through content.
void replaceKeepingBackup(IFileSystem& files, LockedDatabase& database,
                          const std::function<void(IOutputFile&)>& content);
// The same for a scratch file written and flushed already; it gets the
// database's owner, group and access first, and is gone afterwards.
void placeKeepingBackup(IFileSystem& files, LockedDatabase& database, const std::string& scratch);

}  // namespace orvanta
