#pragma once

#include <QString>
#include <QtGlobal>

// What to restore when both target tickboxes are stored as ticked, which only an edited or
// damaged settings file can hold. Restoring both would leave both disabled by the interlock,
// and restoring neither makes an unattended launch measure nothing; so the tickbox that fits
// what the stored target is keeps its tick, and FILE-Size when the target is neither (a run
// with both ticked sizes the file first, so it fails the same way: target not found).
namespace TargetTickRestore {

enum class TargetKind { File, Folder, Neither };

// Tick values for USE_FILE_TICKBOX and USE_FOLDER_TICKBOX.
struct Ticks
{
    qint16 useFile = 0;
    qint16 useFolder = 0;
};

// Pure. An existing regular file keeps FILE-Size, an existing folder FOLDER-Size, and a
// target that is neither FILE-Size.
[[nodiscard]] Ticks forBothTicked(TargetKind target);

// What targetPath names now, symbolic links followed: a regular file, a folder, or
// neither (missing, unreadable, another kind of file, or text that names no file).
[[nodiscard]] TargetKind kindOf(const QString &targetPath);

} // namespace TargetTickRestore
