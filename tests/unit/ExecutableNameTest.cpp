#include "platform/ProcessExecutableName.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace {

TEST(ExecutableNameTest, TheNameIsTheInvokedFileNameWithoutExtension)
{
    const QString resolved = QStringLiteral("/opt/zemra/bin/zemra");
    const struct
    {
        QString invoked;
        QString name;
    } cases[] = {
        {QStringLiteral("/usr/local/bin/sizer"), QStringLiteral("sizer")},
        {QStringLiteral("./sizer.exe"), QStringLiteral("sizer")},
        {QStringLiteral("sizer"), QStringLiteral("sizer")},
        {QStringLiteral("sizer.v2.bin"), QStringLiteral("sizer.v2")},
        {QStringLiteral(".hidden"), QStringLiteral(".hidden")},
        {QStringLiteral("/a/b c/my sizer"), QStringLiteral("my sizer")},
        {QString(), QStringLiteral("zemra")},
        {QStringLiteral("/opt/folder/"), QStringLiteral("zemra")},
    };
    for (const auto &c : cases)
        EXPECT_EQ(ProcessExecutableName::fromPaths(c.invoked, resolved), c.name)
            << c.invoked.toStdString();

    // Without an invoked name the running executable's own file gives the name.
    EXPECT_EQ(ProcessExecutableName(QString()).name(),
              QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName());
    EXPECT_EQ(ProcessExecutableName(QStringLiteral("/tmp/link-name")).name(),
              QStringLiteral("link-name"));
}

} // namespace
