#include "app/TargetTickRestore.h"

#include "platform/PathText.h"

#include <filesystem>
#include <system_error>

TargetTickRestore::Ticks TargetTickRestore::forBothTicked(TargetKind target)
{
    switch (target) {
    case TargetKind::File:
        return Ticks{1, 0};
    case TargetKind::Folder:
        return Ticks{0, 1};
    case TargetKind::Neither:
        break;
    }
    // The file pass comes first when both are ticked, so a missing target fails as it would.
    return Ticks{1, 0};
}

TargetTickRestore::TargetKind TargetTickRestore::kindOf(const QString &targetPath)
{
    const auto path = PathText::toPath(targetPath);
    if (!path || path->empty())
        return TargetKind::Neither;
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(*path, error);
    if (error)
        return TargetKind::Neither;
    if (std::filesystem::is_regular_file(status))
        return TargetKind::File;
    if (std::filesystem::is_directory(status))
        return TargetKind::Folder;
    return TargetKind::Neither;
}
