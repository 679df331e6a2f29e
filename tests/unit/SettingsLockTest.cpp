#include "platform/IniFileSettingsBackend.h"
#include "platform/IniText.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

using namespace Qt::Literals::StringLiterals;

namespace {

using Backend = IniFileSettingsBackend;

struct PauseCase
{
    int failedAttempts;
    int leftMs;
    int pauseMs;
};

TEST(SettingsLockTest, PausesStartShortGrowAndEndWithTheWait)
{
    const PauseCase cases[] = {
        {0, 1000, Backend::FirstLockPauseMs},
        {1, 1000, 2 * Backend::FirstLockPauseMs},
        {3, 1000, 8 * Backend::FirstLockPauseMs},
        {4, 1000, Backend::MaxLockPauseMs},
        {1000, 1000, Backend::MaxLockPauseMs},
        // The last pause ends where the wait does, so the last attempt falls at its end.
        {0, 1, 1},
        {10, 7, 7},
        // No wait left: give up.
        {0, 0, 0},
        {10, -5, 0},
    };
    for (const PauseCase &c : cases) {
        EXPECT_EQ(Backend::lockPauseMs(c.failedAttempts, c.leftMs), c.pauseMs)
            << c.failedAttempts << " failed, " << c.leftMs << " ms left";
    }
    // One save's attempts, were each pause exactly as long as asked: they reach the end of
    // its second, MaxLockPauseMs apart at most (QLockFile's own wait made five).
    int attempts = 1;
    int lastAttemptMs = 0;
    while (const int pause = Backend::lockPauseMs(attempts - 1, 1000 - lastAttemptMs)) {
        lastAttemptMs += pause;
        ++attempts;
    }
    EXPECT_EQ(lastAttemptMs, 1000);
    EXPECT_GE(attempts, 1000 / Backend::MaxLockPauseMs);
}

// Launches saving to one file at once (a thread and a backend each): every save lands. The
// file is on a tmpfs where there is one, so that flushes to disk do not make waits long.
TEST(SettingsLockTest, SavesAtTheSameTimeAllLand)
{
    const QString base = QDir(u"/dev/shm"_s).exists() ? u"/dev/shm/zemra-XXXXXX"_s : QString();
    QTemporaryDir dir(base.isEmpty() ? QDir::tempPath() + u"/zemra-XXXXXX"_s : base);
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.path() + u"/ZEMRA.ini"_s;
    constexpr int Launches = 3;
    constexpr int SavesEach = 20;

    std::atomic<int> refused{0};
    std::vector<std::thread> launches;
    for (int launch = 0; launch < Launches; ++launch) {
        launches.emplace_back([&, launch] {
            Backend backend(path);
            for (int save = 1; save <= SavesEach; ++save) {
                const QString key = u"KEY_%1"_s.arg(launch);
                if (!backend.write(u"zemra"_s, {{key, QString::number(save)}}))
                    ++refused;
            }
        });
    }
    for (std::thread &launch : launches)
        launch.join();

    EXPECT_EQ(refused.load(), 0);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    for (int launch = 0; launch < Launches; ++launch) {
        EXPECT_EQ(IniText::value(bytes, u"zemra"_s, u"KEY_%1"_s.arg(launch)),
                  QString::number(SavesEach))
            << bytes.toStdString();
    }
    EXPECT_FALSE(QFile::exists(path + u".lock"_s));
}

} // namespace
