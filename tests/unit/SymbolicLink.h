#pragma once

#include <QString>

#include <gtest/gtest.h>

#include <filesystem>
#include <system_error>

// Makes a symbolic link at link that points to target. Windows lets only administrators and
// developer mode make them (Wine not at all): there a refusal answers false, and the test
// leaves out what needs the link. Elsewhere a refusal fails the test.
[[nodiscard]] inline bool makeSymbolicLink(const QString &target, const QString &link)
{
    std::error_code error;
    std::filesystem::create_symlink(target.toStdString(), link.toStdString(), error);
#if !defined(Q_OS_WIN)
    EXPECT_FALSE(error) << "symbolic link " << link.toStdString() << ": " << error.message();
#endif
    return !error;
}
