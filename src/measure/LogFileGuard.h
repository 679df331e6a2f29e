#pragma once

#include "platform/WriteResult.h"

#include <QString>

class TextFileWriter;

// Decides, just before the run log is written, whether the log path may be written at all.
// Writing replaces the file's whole content, so a log path that names the very file being
// measured, or the program's own settings file, would destroy it without a word.
namespace LogFileGuard {

// An empty text when the run log may be written to logPath. Otherwise the reason it may
// not, a sentence naming the paths concerned: the log path holds a NUL character or an
// unpaired surrogate and so names no file, it holds bytes that are not UTF-8 (kept from the
// command line, see PathText), or it is the same file (same device and inode,
// links resolved) as targetPath or as settingsFilePath. settingsFilePath may be empty
// (settings not kept in a file); a target path that names no file is not compared.
[[nodiscard]] QString refusal(const QString &logPath, const QString &targetPath,
                              const QString &settingsFilePath);

// Writes runLog to logPath through writer unless refusal() names a reason, which is then
// the failure's reason. Touches the filesystem (the comparisons stat both paths), so it may
// block on a mount that does not answer: call it away from the user-interface thread. Safe
// on any thread as long as writer is; never throws.
[[nodiscard]] WriteResult write(TextFileWriter &writer, const QString &logPath,
                                const QString &runLog, const QString &targetPath,
                                const QString &settingsFilePath);

} // namespace LogFileGuard
