#pragma once

#include "platform/ExecutableName.h"

// The name of the executable this process runs, as the OS reports it.
class ProcessExecutableName final : public ExecutableName
{
public:
    [[nodiscard]] QString name() const override;

    // The file name without its last extension: "sizer.exe" gives "sizer", "zemra" stays.
    [[nodiscard]] static QString fromFileName(const QString &fileName);
};
