#include "measure/LogFileGuard.h"
#include "platform/FileIdentity.h"

#include "SymbolicLink.h"
#include "WrittenFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>

using namespace Qt::Literals::StringLiterals;

namespace {

class LogFileGuardTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        writeFile(target, "measured");
        writeFile(settings, "[zemra]\n");
        writeFile(other, "other");
        std::error_code error;
        std::filesystem::create_hard_link(target.toStdString(),
                                          (base + u"/hard.bin"_s).toStdString(), error);
        ASSERT_FALSE(error);
        links = makeSymbolicLink(target, base + u"/soft.bin"_s) &&
                makeSymbolicLink(settings, base + u"/settings-link.ini"_s);
        ASSERT_TRUE(QDir(base).mkdir(u"sub"_s));
    }

    QTemporaryDir dir;
    bool links = false;
    QString base = dir.path();
    QString target = base + u"/target.bin"_s;
    QString settings = base + u"/ZEMRA.ini"_s;
    QString other = base + u"/other.log"_s;
};

TEST_F(LogFileGuardTest, RefusesThePathsThatNameTheTargetOrTheSettingsFile)
{
    enum class Expect { Written, Target, Settings, Unnameable };
    struct Case
    {
        QString logPath;
        Expect expect;
        bool symbolicLink = false;
    };
    const Case cases[] = {
        {other, Expect::Written},
        {base + u"/new.log"_s, Expect::Written},
        {base + u"/missing/new.log"_s, Expect::Written}, // the writer reports that one
        {target, Expect::Target},
        {base + u"/sub/../target.bin"_s, Expect::Target},
        {base + u"/hard.bin"_s, Expect::Target},
        {base + u"/soft.bin"_s, Expect::Target, true},
        {settings, Expect::Settings},
        {base + u"/settings-link.ini"_s, Expect::Settings, true},
        {base + u"/./ZEMRA.ini"_s, Expect::Settings},
        {base + u"/a"_s + QChar(u'\0') + u"b.log"_s, Expect::Unnameable},
        {base + u"/a"_s + QChar(0xd800) + u"b.log"_s, Expect::Unnameable},
    };
    // The reason names the paths with the system's separators.
    const auto named = [](const QString &path) {
        return QDir::toNativeSeparators(path);
    };
    for (const Case &c : cases) {
        if (c.symbolicLink && !links)
            continue;
        SCOPED_TRACE(c.logPath.toStdString());
        const QString reason = LogFileGuard::refusal(c.logPath, target, settings);
        switch (c.expect) {
        case Expect::Written:
            EXPECT_EQ(reason, QString());
            break;
        case Expect::Target:
            EXPECT_TRUE(reason.contains(u"the target being measured"_s)) << reason.toStdString();
            EXPECT_TRUE(reason.contains(named(c.logPath)));
            EXPECT_TRUE(reason.contains(named(target)));
            break;
        case Expect::Settings:
            EXPECT_TRUE(reason.contains(u"settings file"_s)) << reason.toStdString();
            EXPECT_TRUE(reason.contains(named(c.logPath)));
            EXPECT_TRUE(reason.contains(named(settings)));
            break;
        case Expect::Unnameable:
            EXPECT_TRUE(reason.contains(u"names no file"_s)) << reason.toStdString();
            // The reason shows the bad character as a marker, never raw.
            EXPECT_FALSE(reason.contains(QChar(u'\0')));
            EXPECT_FALSE(reason.contains(QChar(0xd800)));
            break;
        }
    }
}

TEST_F(LogFileGuardTest, TargetOrSettingsThatNameNoFileAreNotCompared)
{
    const QString nulTarget = target + QChar(u'\0');
    EXPECT_EQ(LogFileGuard::refusal(other, nulTarget, QString()), QString());
    EXPECT_EQ(LogFileGuard::refusal(target, QString(), QString()), QString());
    EXPECT_EQ(LogFileGuard::refusal(settings, target, QString()), QString());
    // A missing target is not the log file, even where the log file is missing too.
    EXPECT_EQ(LogFileGuard::refusal(base + u"/gone"_s, base + u"/gone"_s, QString()), QString());
}

TEST(FileIdentity, SameOnlyForOneExistingFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::filesystem::path a = (dir.path() + u"/a"_s).toStdString();
    const std::filesystem::path b = (dir.path() + u"/b"_s).toStdString();
    writeFile(dir.path() + u"/a"_s, "same bytes");
    writeFile(dir.path() + u"/b"_s, "same bytes");
    EXPECT_TRUE(FileIdentity::same(a, a));
    EXPECT_FALSE(FileIdentity::same(a, b)); // equal content is not the same file
    EXPECT_FALSE(FileIdentity::same(a, dir.path().toStdString()));
    EXPECT_FALSE(FileIdentity::same(a, std::filesystem::path()));
    EXPECT_FALSE(
        FileIdentity::same(dir.path().toStdString() + "/none", dir.path().toStdString() + "/none"));
}

} // namespace
