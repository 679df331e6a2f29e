#pragma once

#include "platform/ExecutableName.h"

// The name the program was started under: the file name of argv[0] without its extension.
// Through a symbolic link named "sizer" that is "sizer", not the link's target, so a link
// gives a second copy settings of its own just as a renamed copy does. Only when the invoked
// name is empty (a launcher may pass none) is the name of the file the OS reports for the
// running program used instead.
class ProcessExecutableName final : public ExecutableName
{
public:
    // invokedPath: argv[0] as given, e.g. "/usr/local/bin/sizer" or "sizer.exe".
    explicit ProcessExecutableName(QString invokedPath);

    [[nodiscard]] QString name() const override;

    // The name for an invoked path, falling back to resolvedPath when the invoked one has no
    // file name: "/opt/z/sizer" gives "sizer", "C:\\z\\sizer.exe" gives "sizer" on Windows.
    [[nodiscard]] static QString fromPaths(const QString &invokedPath, const QString &resolvedPath);

    // The file name without its last extension: "sizer.exe" gives "sizer", "zemra" stays.
    [[nodiscard]] static QString fromFileName(const QString &fileName);

private:
    QString m_invokedPath;
};
