#pragma once

#include <QString>

// The running executable's file name without its extension ("zemra" for zemra or
// zemra.exe). It names the settings section, the main window and every run log.
class ExecutableName
{
public:
    virtual ~ExecutableName() = default;
    [[nodiscard]] virtual QString name() const = 0;
};
