#include "platform/IniFileSettingsBackend.h"
#include "settings/SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <sys/stat.h>

using namespace Qt::Literals::StringLiterals;

namespace {

const QByteArray Stored = "# settings\n[zemra]\nAUTOSTART_TICKBOX=0\nFF_LOCATION_TEXTBOX=/data\n";

// A file of max - below bytes with the target but no AutoStart entry: the saves in this test
// add "AUTOSTART_TICKBOX=1\n", 20 bytes, after the target.
QByteArray nearTheBound(qint64 below)
{
    const QByteArray section = "[zemra]\nFF_LOCATION_TEXTBOX=/data\n";
    const qint64 comment = IniFileSettingsBackend::MaxFileBytes - below - section.size();
    return '#' + QByteArray(comment - 2, '-') + '\n' + section;
}

QStringList g_warnings;

void collectWarnings(QtMsgType, const QMessageLogContext &, const QString &message)
{
    g_warnings.append(message);
}

bool put(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

struct TransactionCase
{
    const char *name;
    // Makes the settings file (or what stands in its place) in dir; returns its path.
    std::function<QString(const QString &dir)> prepare;
    // What others do to the file while the launch runs, between its read and its save.
    std::function<void(const QString &path)> meanwhile;
    bool readable;
    bool saved;
    // The file's bytes after the save, read through any link; empty: as before the save.
    QByteArray after;
    // What every line on standard error says.
    const char *warning = "";
};

// One launch's life against a real file: read at start, something happens to the file,
// then the launch saves AutoStart ticked (a change) and the target it read (no change).
TEST(SettingsTransactionTest, ASaveChangesOnlyWhatTheLaunchChanged)
{
    const auto plainFile = [](const QString &dir) {
        const QString path = dir + u"/ZEMRA.ini"_s;
        put(path, Stored);
        return path;
    };
    const auto edit = [](QByteArray from, QByteArray to) {
        return [from, to](const QString &path) {
            QByteArray bytes = bytesOf(path);
            put(path, bytes.replace(from, to));
        };
    };
    std::unique_ptr<QLockFile> held;
    const auto nothing = [](const QString &) {
    };
    const TransactionCase cases[] = {
        {"another entry edited meanwhile keeps the edit", plainFile, edit("=/data", "=/edited"),
         true, true, "# settings\n[zemra]\nAUTOSTART_TICKBOX=1\nFF_LOCATION_TEXTBOX=/edited\n"},
        {"the same entry edited meanwhile: the later save wins", plainFile,
         edit("AUTOSTART_TICKBOX=0", "AUTOSTART_TICKBOX=2"), true, true,
         "# settings\n[zemra]\nAUTOSTART_TICKBOX=1\nFF_LOCATION_TEXTBOX=/data\n"},
        {"a comment and another section added meanwhile stay", plainFile,
         edit("# settings\n", "# settings\n; note\n[other]\nk=v\n"), true, true,
         "# settings\n; note\n[other]\nk=v\n[zemra]\nAUTOSTART_TICKBOX=1\n"
         "FF_LOCATION_TEXTBOX=/data\n"},
#if !defined(Q_OS_WIN) // Windows has no FIFOs, and QFile::link makes shortcuts there
        {"a link to a file not made yet: the file is made, the link stays",
         [](const QString &dir) {
             QDir(dir).mkdir(u"dotfiles"_s);
             QFile::link(dir + u"/dotfiles/zemra.ini"_s, dir + u"/ZEMRA.ini"_s);
             return dir + u"/ZEMRA.ini"_s;
         },
         nothing, true, true, "[zemra]\nAUTOSTART_TICKBOX=1\nFF_LOCATION_TEXTBOX=\n"},
        {"a link to a device is not read, and not written",
         [](const QString &dir) {
             QFile::link(u"/dev/zero"_s, dir + u"/ZEMRA.ini"_s);
             return dir + u"/ZEMRA.ini"_s;
         },
         nothing,
         false,
         false,
         {}},
        {"a FIFO is not read (and the read does not wait for a writer)",
         [](const QString &dir) {
             ::mkfifo(QFile::encodeName(dir + u"/ZEMRA.ini"_s).constData(), 0600);
             return dir + u"/ZEMRA.ini"_s;
         },
         nothing,
         false,
         false,
         {}},
#endif
        {"a file over 1 MiB is not read, and not written",
         [](const QString &dir) {
             put(dir + u"/ZEMRA.ini"_s, Stored + QByteArray(1024 * 1024, '#'));
             return dir + u"/ZEMRA.ini"_s;
         },
         nothing,
         false,
         false,
         {}},
        {"a save that ends exactly at 1 MiB is written",
         [](const QString &dir) {
             put(dir + u"/ZEMRA.ini"_s, nearTheBound(20));
             return dir + u"/ZEMRA.ini"_s;
         },
         nothing, true, true, nearTheBound(20) + "AUTOSTART_TICKBOX=1\n"},
        {"a save that would grow the file past 1 MiB: refused, the file as it was",
         [](const QString &dir) {
             put(dir + u"/ZEMRA.ini"_s, nearTheBound(10));
             return dir + u"/ZEMRA.ini"_s;
         },
         nothing,
         true,
         false,
         {},
         "it would grow past 1 MiB"},
        {"a lock that is never released: no save, the file as it was",
         plainFile,
         [&held](const QString &path) {
             held = std::make_unique<QLockFile>(path + u".lock"_s);
             ASSERT_TRUE(held->tryLock(0));
         },
         true,
         false,
         {}},
        {"no home: nothing to read or write",
         [](const QString &) { return QString(); },
         nothing,
         false,
         false,
         {}},
    };
    for (const TransactionCase &c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString path = c.prepare(dir.path());
        const QString real = QFileInfo(path).isSymLink() ? QFileInfo(path).symLinkTarget() : path;
        IniFileSettingsBackend backend(path, {20, 50});
        g_warnings.clear();
        const QtMessageHandler previous = qInstallMessageHandler(collectWarnings);
        SettingsStore store(backend, u"zemra"_s);
        EXPECT_EQ(store.unreadable().isEmpty(), c.readable);
        c.meanwhile(path);
        const QByteArray before = QFileInfo(real).isFile() ? bytesOf(real) : QByteArray();
        store.writeTick(Setting::AutoStartTick, 1);
        store.writePath(Setting::TargetPath, store.readPath(Setting::TargetPath));
        EXPECT_EQ(store.save(), c.saved);
        // Refused again and again: said once.
        store.save();
        store.save();
        qInstallMessageHandler(previous);

        if (c.saved) {
            EXPECT_EQ(bytesOf(real).toStdString(), c.after.toStdString());
        } else if (QFileInfo(real).isFile()) {
            EXPECT_EQ(bytesOf(real), before) << "a refused save changed the file";
        }
        EXPECT_EQ(QFileInfo(path).isSymLink(), QFileInfo(dir.path() + u"/ZEMRA.ini"_s).isSymLink());
        EXPECT_EQ(g_warnings.size(), (c.readable ? 0 : 1) + (c.saved || !c.readable ? 0 : 1))
            << g_warnings.join(u'\n').toStdString();
        for (const QString &warning : std::as_const(g_warnings))
            EXPECT_TRUE(warning.contains(QLatin1StringView(c.warning))) << warning.toStdString();
        held.reset();
        // Whatever the save did, the next launch reads the file as this one did.
        EXPECT_EQ(IniFileSettingsBackend(path).read(u"zemra"_s).unreadable.isEmpty(), c.readable);
    }
}

} // namespace
