#include "platform/SaveFileWriter.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <functional>
#include <grp.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

using FileStatus = struct stat;

constexpr int kSkipped = 77;

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("<unreadable>");
    return file.readAll();
}

bool put(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

mode_t modeOf(const QString &path)
{
    FileStatus status{};
    ::lstat(QFile::encodeName(path).constData(), &status);
    return status.st_mode;
}

// Runs body in a forked child, so that what it changes about its process (user, limits,
// mounts) never reaches the test binary. Returns the child's exit code: body's result.
int inChild(const std::function<int()> &body)
{
    std::fflush(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0)
        ::_exit(body());
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// In a child: reports a failed check on stderr and gives its number as the exit code.
int check(bool condition, int code, const WriteResult &result)
{
    if (!condition)
        std::fprintf(stderr, "check %d failed; ok=%d reason=%s\n", code, result.ok,
                     qPrintable(result.reason));
    return condition ? 0 : code;
}

class SaveFileWriterTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }
    QString path(const QString &name) const { return m_dir.filePath(name); }

    QTemporaryDir m_dir;
    SaveFileWriter m_writer;
};

TEST_F(SaveFileWriterTest, WritesTheTextExactlyInTheSystemEncoding)
{
    struct Case
    {
        QString text;
        QByteArray bytes;
    };
    const Case cases[] = {
        {QStringLiteral("a\r\nb\r\n"), QByteArray("a\r\nb\r\n")}, // no extra line end, no BOM
        {QString(), QByteArray()},
        {QStringLiteral("Gr\u00f6\u00dfe \u4e2d\r\n"), QByteArray("Gr\xc3\xb6\xc3\x9f"
                                                                  "e \xe4\xb8\xad\r\n")},
        {QStringLiteral("x") + QChar(0xD800) + QStringLiteral("y"), QByteArray("x?y")},
        {QStringLiteral("x") + QChar(0xDC00), QByteArray("x?")},
        {QString::fromUtf8("\xf0\x9f\x98\x80"), QByteArray("\xf0\x9f\x98\x80")},
    };
    for (const auto &c : cases) {
        const QString file = path(QStringLiteral("log.txt"));
        const WriteResult result = m_writer.write(file, c.text);
        EXPECT_TRUE(result.ok) << qPrintable(result.reason);
        EXPECT_TRUE(result.reason.isEmpty());
        EXPECT_EQ(contentOf(file).toHex().toStdString(), c.bytes.toHex().toStdString());
    }
}

TEST_F(SaveFileWriterTest, ReplacesTheWholeContent)
{
    const QString file = path(QStringLiteral("  log file.txt  "));
    ASSERT_TRUE(m_writer.write(file, QString(5000, u'a')).ok);
    ASSERT_TRUE(m_writer.write(file, QStringLiteral("second\r\n")).ok);
    EXPECT_EQ(contentOf(file), QByteArray("second\r\n"));
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1)
        << "no temporary file may be left behind";
}

TEST_F(SaveFileWriterTest, KeepsPermissionsAndWritesThroughSymbolicLinks)
{
    const QString existing = path(QStringLiteral("existing.log"));
    ASSERT_TRUE(put(existing, "old"));
    ASSERT_EQ(::chmod(QFile::encodeName(existing).constData(), 0640), 0);
    ASSERT_TRUE(m_writer.write(existing, QStringLiteral("new")).ok);
    EXPECT_EQ(modeOf(existing) & 07777, 0640u);

    const mode_t previousMask = ::umask(022);
    const QString fresh = path(QStringLiteral("fresh.log"));
    const WriteResult freshResult = m_writer.write(fresh, QStringLiteral("new"));
    ::umask(previousMask);
    ASSERT_TRUE(freshResult.ok);
    EXPECT_EQ(modeOf(fresh) & 07777, 0644u) << "a new file is made like any created file";

    // A link to an existing file and a dangling link: both keep being links.
    const QString link = path(QStringLiteral("link.log"));
    const QString dangling = path(QStringLiteral("dangling.log"));
    const QString missingTarget = path(QStringLiteral("made-through-link.log"));
    ASSERT_TRUE(QFile::link(existing, link));
    ASSERT_TRUE(QFile::link(missingTarget, dangling));
    ASSERT_TRUE(m_writer.write(link, QStringLiteral("via link")).ok);
    ASSERT_TRUE(m_writer.write(dangling, QStringLiteral("via dangling link")).ok);
    EXPECT_TRUE(S_ISLNK(modeOf(link)));
    EXPECT_TRUE(S_ISLNK(modeOf(dangling)));
    EXPECT_EQ(contentOf(existing), QByteArray("via link"));
    EXPECT_EQ(contentOf(missingTarget), QByteArray("via dangling link"));
    EXPECT_EQ(modeOf(existing) & 07777, 0640u);
}

TEST_F(SaveFileWriterTest, ReadersSeeTheOldOrTheNewLogNeverAPartOne)
{
    const QString file = path(QStringLiteral("log.txt"));
    const QByteArray oldLog(256 * 1024, 'o');
    const QByteArray newLog(200 * 1024, 'n');
    ASSERT_TRUE(put(file, oldLog));

    // A reader that opened the file before the write keeps the complete old log.
    QFile earlyReader(file);
    ASSERT_TRUE(earlyReader.open(QIODevice::ReadOnly));
    ASSERT_TRUE(m_writer.write(file, QString::fromLatin1(newLog)).ok);
    EXPECT_TRUE(earlyReader.readAll() == oldLog);
    EXPECT_TRUE(contentOf(file) == newLog);

    // Readers running alongside repeated writes only ever see one complete log.
    std::atomic<bool> writing{true};
    std::atomic<int> reads{0};
    std::atomic<int> partialReads{0};
    std::thread reader([&] {
        while (writing.load()) {
            const QByteArray seen = contentOf(file);
            if (seen != oldLog && seen != newLog)
                ++partialReads;
            ++reads;
        }
    });
    for (int i = 0; i < 20; ++i) {
        const QByteArray &next = i % 2 == 0 ? oldLog : newLog;
        EXPECT_TRUE(m_writer.write(file, QString::fromLatin1(next)).ok);
    }
    writing = false;
    reader.join();
    EXPECT_GT(reads.load(), 0);
    EXPECT_EQ(partialReads.load(), 0);
}

TEST_F(SaveFileWriterTest, FailuresReturnAReasonNamingThePath)
{
    const QString fifo = path(QStringLiteral("no-reader.fifo"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    struct Case
    {
        const char *what;
        QString path;
        QString message; // a part the reason must contain
    };
    const Case cases[] = {
        {"empty path", QString(), QStringLiteral("no path")},
        {"missing folder", path(QStringLiteral("missing/log.txt")),
         path(QStringLiteral("missing/log.txt"))},
        {"folder", m_dir.path(), QStringLiteral("folder")},
        {"fifo without reader", fifo, qt_error_string(ENXIO)},
    };
    for (const auto &c : cases) {
        const WriteResult result = m_writer.write(c.path, QStringLiteral("log\r\n"));
        EXPECT_FALSE(result.ok) << c.what;
        EXPECT_TRUE(result.reason.contains(c.message))
            << c.what << ": " << qPrintable(result.reason);
        if (!c.path.isEmpty()) {
            EXPECT_TRUE(result.reason.contains(c.path))
                << c.what << ": " << qPrintable(result.reason);
        }
    }
    EXPECT_TRUE(S_ISFIFO(modeOf(fifo)));
    EXPECT_TRUE(QFileInfo(m_dir.path()).isDir());
}

TEST_F(SaveFileWriterTest, DevicesAndFifosAreWrittenInPlace)
{
    // Private copies of the null and full devices come first: a writer that replaced
    // devices stops the test here, before it could reach the real ones.
    struct Device
    {
        const char *name;
        unsigned minor;
        bool writable;
    };
    const Device devices[] = {{"null", 3, true}, {"full", 7, false}};
    for (const auto &device : devices) {
        const QString own = path(QString::fromLatin1(device.name));
        const QString real = QStringLiteral("/dev/") + QString::fromLatin1(device.name);
        if (::mknod(QFile::encodeName(own).constData(), S_IFCHR | 0666, makedev(1, device.minor)) !=
            0) {
            if (::geteuid() == 0)
                GTEST_SKIP() << "cannot make a device node to try first";
        } else {
            const WriteResult result = m_writer.write(own, QStringLiteral("log\r\n"));
            ASSERT_TRUE(S_ISCHR(modeOf(own))) << device.name;
            ASSERT_EQ(result.ok, device.writable) << qPrintable(result.reason);
        }

        FileStatus before{};
        ASSERT_EQ(::stat(QFile::encodeName(real).constData(), &before), 0);
        ASSERT_TRUE(S_ISCHR(before.st_mode));
        const WriteResult result = m_writer.write(real, QStringLiteral("log\r\n"));
        FileStatus after{};
        ASSERT_EQ(::stat(QFile::encodeName(real).constData(), &after), 0);
        EXPECT_TRUE(S_ISCHR(after.st_mode)) << device.name;
        EXPECT_EQ(after.st_ino, before.st_ino) << device.name;
        EXPECT_EQ(after.st_rdev, before.st_rdev) << device.name;
        EXPECT_EQ(result.ok, device.writable) << qPrintable(result.reason);
        if (!device.writable) {
            EXPECT_TRUE(result.reason.contains(real));
            EXPECT_TRUE(result.reason.contains(qt_error_string(ENOSPC)))
                << qPrintable(result.reason);
        }
    }

    // A FIFO with a reader receives the exact text and stays a FIFO.
    const QString fifo = path(QStringLiteral("log.fifo"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const int readEnd = ::open(QFile::encodeName(fifo).constData(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(readEnd, 0);
    ASSERT_TRUE(m_writer.write(fifo, QStringLiteral("one\r\ntwo\r\n")).ok);
    char buffer[64] = {};
    const ssize_t got = ::read(readEnd, buffer, sizeof buffer);
    ::close(readEnd);
    EXPECT_EQ(QByteArray(buffer, static_cast<qsizetype>(got)), QByteArray("one\r\ntwo\r\n"));
    EXPECT_TRUE(S_ISFIFO(modeOf(fifo)));
}

TEST_F(SaveFileWriterTest, AFailurePartWayKeepsThePreviousLog)
{
    const QString file = path(QStringLiteral("log.txt"));
    ASSERT_TRUE(put(file, "previous complete log\r\n"));
    // In a child limited to 4 KiB per file, writing 64 KiB fails after the first 4 KiB.
    const int code = inChild([&] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{4096, 4096};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0)
            return kSkipped;
        const WriteResult result = m_writer.write(file, QString(64 * 1024, u'n'));
        return check(!result.ok && result.reason.contains(file) &&
                         result.reason.contains(qt_error_string(EFBIG)),
                     1, result);
    });
    EXPECT_EQ(code, 0);
    EXPECT_EQ(contentOf(file), QByteArray("previous complete log\r\n"));
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

TEST_F(SaveFileWriterTest, WithoutPermissionOnlyAWritableFileIsWritten)
{
    // Tests run as root, who may write anywhere; the child drops to an unprivileged user.
    const QString closed = path(QStringLiteral("closed"));
    const QString open = path(QStringLiteral("open"));
    ASSERT_TRUE(QDir().mkdir(closed) && QDir().mkdir(open));
    const QString protectedFile = open + QStringLiteral("/protected.log");
    const QString writableInClosed = closed + QStringLiteral("/writable.log");
    ASSERT_TRUE(put(protectedFile, "kept") && put(writableInClosed, "kept"));
    ASSERT_EQ(::chmod(QFile::encodeName(m_dir.path()).constData(), 0755), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(closed).constData(), 0755), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(open).constData(), 0777), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(protectedFile).constData(), 0644), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(writableInClosed).constData(), 0666), 0);

    const int code = inChild([&] {
        if (::geteuid() == 0) {
            const uid_t nobody = 65534;
            if (::setgroups(0, nullptr) != 0 || ::setgid(nobody) != 0 || ::setuid(nobody) != 0)
                return kSkipped;
        }
        // A new file in a folder the user cannot write to.
        const QString fresh = closed + QStringLiteral("/new.log");
        WriteResult result = m_writer.write(fresh, QStringLiteral("x"));
        if (int failed = check(!result.ok && result.reason.contains(fresh), 1, result))
            return failed;
        // A file the user cannot write, in a folder where a rename would be allowed.
        result = m_writer.write(protectedFile, QStringLiteral("x"));
        if (int failed = check(!result.ok && result.reason.contains(protectedFile), 2, result))
            return failed;
        // A writable file in an unwritable folder is written in place.
        result = m_writer.write(writableInClosed, QStringLiteral("x"));
        return check(result.ok, 3, result);
    });
    ASSERT_NE(code, kSkipped) << "could not drop privileges";
    EXPECT_EQ(code, 0);
    EXPECT_FALSE(QFile::exists(closed + QStringLiteral("/new.log")));
    EXPECT_EQ(contentOf(protectedFile), QByteArray("kept"));
    EXPECT_EQ(contentOf(writableInClosed), QByteArray("x"));
}

TEST_F(SaveFileWriterTest, ReadOnlyAndFullFilesystemsFailAndKeepThePreviousLog)
{
    const QString readOnly = path(QStringLiteral("ro"));
    const QString tiny = path(QStringLiteral("tiny"));
    ASSERT_TRUE(QDir().mkdir(readOnly) && QDir().mkdir(tiny));
    // The child mounts small filesystems in its own mount namespace; nothing outside the
    // child ever sees them.
    const int code = inChild([&] {
        if (::unshare(CLONE_NEWNS) != 0 ||
            ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            ::mount("tmpfs", QFile::encodeName(tiny).constData(), "tmpfs", 0, "size=16k") != 0 ||
            ::mount("tmpfs", QFile::encodeName(readOnly).constData(), "tmpfs", MS_RDONLY,
                    "size=16k") != 0)
            return kSkipped;
        const QString roFile = readOnly + QStringLiteral("/log.txt");
        WriteResult result = m_writer.write(roFile, QStringLiteral("x"));
        if (int failed = check(!result.ok && result.reason.contains(roFile) &&
                                   result.reason.contains(qt_error_string(EROFS)),
                               1, result))
            return failed;

        const QString fullFile = tiny + QStringLiteral("/log.txt");
        if (!put(fullFile, "previous"))
            return 2;
        result = m_writer.write(fullFile, QString(64 * 1024, u'n'));
        if (int failed = check(!result.ok && result.reason.contains(fullFile) &&
                                   result.reason.contains(qt_error_string(ENOSPC)),
                               3, result))
            return failed;
        return contentOf(fullFile) == "previous" ? 0 : 4;
    });
    if (code == kSkipped)
        GTEST_SKIP() << "no permission to mount in a private namespace";
    EXPECT_EQ(code, 0);
}

} // namespace
