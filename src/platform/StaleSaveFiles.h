#pragma once

#include <QString>

#include <chrono>

// The temporary files that an atomic save (QSaveFile) leaves beside its file when the process
// is killed between writing the new content and renaming it over the file: the file's name,
// a dot and six random letters ("ZEMRA.ini.kQxWbe"). Nothing else removes them; the next save
// of the same file does, through remove().
namespace StaleSaveFiles {

// Whether name (a name in the folder of the file called fileName) is such a temporary file's:
// fileName, a dot and six ASCII letters or digits, with a capital after the first of them and
// a small letter among them. Names a person would give, such as "ZEMRA.ini.backup",
// "run.log.BACKUP" or "run.log.Before", never count, at the cost of one leftover in about
// twenty staying where it is. Pure.
[[nodiscard]] bool isLeftoverName(const QString &name, const QString &fileName);

// The file that a save of path replaces: path itself, or the end of its chain of symbolic
// links (whether that file exists or not), beside which the save makes its temporary file.
[[nodiscard]] QString fileBehindLinks(const QString &path);

// Removes the leftovers of saves of the file at path (links followed) that were last
// modified at least minimumAge ago: regular files only, never links or folders, and on POSIX
// only the user's own. A leftover that cannot be removed is left alone: nothing is reported,
// and the save goes on. Returns how many were removed.
//
// The age is what tells a dead save's file from a live one's: a save in progress is seconds
// old. A caller that holds the lock that every save of the file takes may pass 0.
int remove(const QString &path, std::chrono::seconds minimumAge);

} // namespace StaleSaveFiles
