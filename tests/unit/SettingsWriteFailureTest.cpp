#include "AppHarness.h"

#include "ui/TickBox.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>
#include <fcntl.h>
#include <functional>
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr int kSkipped = 77;

const QByteArray StoredFile = "# scheduled nightly\n[zemra]\nMAIN-Left=1200\nMAIN-Top=1500\n"
                              "AlwaysOnTopTimer_TICKBOX=1\nAUTOSTART_TICKBOX=0\n"
                              "AUTOCLOSE_TICKBOX=0\nUSE_FILE_TICKBOX=0\nUSE_FOLDER_TICKBOX=0\n"
                              "FF_LOCATION_TEXTBOX=/kept\nLOGFILE_TEXTBOX=/kept.log\n";

bool put(const QString &path, const QByteArray &bytes, mode_t mode)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() &&
           ::chmod(QFile::encodeName(path).constData(), mode) == 0;
}

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

bool makeFolder(const QString &path, mode_t mode)
{
    return QDir().mkpath(path) && ::chmod(QFile::encodeName(path).constData(), mode) == 0;
}

// Runs body in a forked child as the unprivileged user "nobody" (tests run as root, who may
// write anywhere), with its standard error going to errorsPath. Returns the child's exit
// code: body's result, or kSkipped when privileges could not be dropped.
int asNobody(const QString &errorsPath, const std::function<int()> &body)
{
    std::fflush(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::geteuid() == 0) {
            const uid_t nobody = 65534;
            if (::setgroups(0, nullptr) != 0 || ::setgid(nobody) != 0 || ::setuid(nobody) != 0)
                ::_exit(kSkipped);
        }
        const int errors = ::open(QFile::encodeName(errorsPath).constData(), O_WRONLY | O_TRUNC);
        if (errors < 0 || ::dup2(errors, STDERR_FILENO) < 0)
            ::_exit(kSkipped);
        ::_exit(body());
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

const QString SaveFailed =
    QStringLiteral("zemra: settings not saved: cannot save the settings in ");
const QString ReadFailed =
    QStringLiteral("zemra: settings not read: cannot read the settings file ");

struct FailureCase
{
    const char *name;
    // Sets up the config folder; returns the file whose bytes must not change.
    std::function<QString(const QString &config)> prepare;
    QString reason;
    // Lines on standard error over both launches: one per failed save (a launch with
    // nothing changed saves nothing), or one per launch for a file that cannot be read.
    int errorLines;
    QString linePrefix;
    QString shownPath;
    QPoint shownPosition;
};

TEST(SettingsWriteFailureTest, AStoreThatRefusesWritesKeepsTheProgramAndTheFileIntact)
{
    const FailureCase cases[] = {
        {"read-only file",
         [](const QString &config) {
             const QString file = config + QStringLiteral("/ZEMRA/ZEMRA.ini");
             return makeFolder(config + QStringLiteral("/ZEMRA"), 0777) &&
                            put(file, StoredFile, 0444)
                        ? file
                        : QString();
         },
         QStringLiteral("not writable"),
         // The first launch's close saves its two changes; the second launch changes nothing.
         1, SaveFailed, QStringLiteral("/kept"), QPoint(80, 100)},
        {"read-only folder",
         [](const QString &config) {
             const QString file = config + QStringLiteral("/ZEMRA/ZEMRA.ini");
             return makeFolder(config + QStringLiteral("/ZEMRA"), 0777) &&
                            put(file, StoredFile, 0666) &&
                            makeFolder(config + QStringLiteral("/ZEMRA"), 0555)
                        ? file
                        : QString();
         },
         QStringLiteral("permission denied"), 1, SaveFailed, QStringLiteral("/kept"),
         QPoint(80, 100)},
        {"file that may be written but not read",
         [](const QString &config) {
             // Rewriting it unread would keep only the one entry being written.
             const QString file = config + QStringLiteral("/ZEMRA/ZEMRA.ini");
             return makeFolder(config + QStringLiteral("/ZEMRA"), 0777) &&
                            put(file, StoredFile, 0622)
                        ? file
                        : QString();
         },
         QStringLiteral("Permission denied"), 2, ReadFailed, QString(), QPoint(67, 67)},
        {"folder that is a file",
         [](const QString &config) {
             const QString file = config + QStringLiteral("/ZEMRA");
             return put(file, "not a folder\n", 0644) ? file : QString();
         },
         QStringLiteral("/ZEMRA is not a folder"), 2, SaveFailed, QString(), QPoint(67, 67)},
    };
    for (const FailureCase &c : cases) {
        QTemporaryDir root;
        ASSERT_TRUE(root.isValid());
        ASSERT_EQ(::chmod(QFile::encodeName(root.path()).constData(), 0755), 0);
        const QString config = root.path() + QStringLiteral("/config");
        ASSERT_TRUE(makeFolder(config, 0755));
        const QString watched = c.prepare(config);
        ASSERT_FALSE(watched.isEmpty()) << c.name;
        const QByteArray before = contentOf(watched);
        const QString errorsPath = root.path() + QStringLiteral("/stderr.txt");
        ASSERT_TRUE(put(errorsPath, {}, 0666));
        const QString ini = config + QStringLiteral("/ZEMRA/ZEMRA.ini");

        const int code = asNobody(errorsPath, [&] {
            AppHarness app;
            app.setIniPath(ini);
            app.launch();
            if (app.form().FF_LOCATION_TEXTBOX->text() != c.shownPath)
                return 1;
            app.form().FF_LOCATION_TEXTBOX->setText(QStringLiteral("/changed"));
            app.form().USE_FILE_TICKBOX->click();
            app.close();
            // The refused values are not taken for stored ones: the file still answers.
            app.launch();
            if (app.form().FF_LOCATION_TEXTBOX->text() != c.shownPath)
                return 2;
            if (app.window().pos() != c.shownPosition)
                return 3;
            if (TickBox::value(*app.form().USE_FILE_TICKBOX) != 0)
                return 4;
            if (app.form().CURRENT_STATUS_LABEL->text() != QStringLiteral("READY..."))
                return 5;
            app.close();
            return 0;
        });
        ASSERT_NE(code, kSkipped) << c.name << ": could not become an unprivileged user";
        EXPECT_EQ(code, 0) << c.name;
        EXPECT_EQ(contentOf(watched), before) << c.name;

        const QStringList lines =
            QString::fromUtf8(contentOf(errorsPath)).split(u'\n', Qt::SkipEmptyParts);
        EXPECT_EQ(lines.size(), c.errorLines) << c.name << ":\n" << lines.join(u'\n').toStdString();
        for (const QString &line : lines) {
            EXPECT_TRUE(line.startsWith(c.linePrefix)) << c.name << ": " << line.toStdString();
            EXPECT_TRUE(line.contains(ini)) << c.name << ": " << line.toStdString();
            EXPECT_TRUE(line.contains(c.reason)) << c.name << ": " << line.toStdString();
        }
        ::chmod(QFile::encodeName(config + QStringLiteral("/ZEMRA")).constData(), 0755);
    }
}

} // namespace
