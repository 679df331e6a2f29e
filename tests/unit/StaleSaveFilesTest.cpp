#include "platform/IniFileSettingsBackend.h"
#include "platform/SaveFileWriter.h"
#include "WrittenFile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace {

enum class Kind { File, Folder, Link, OthersFile };

struct EntryCase
{
    const char *suffix;
    Kind kind;
    int ageMinutes;
    bool removedBySettingsSave;
    bool removedByLogWrite;
};

// Entries beside the file that a save replaces, and which of them its next save removes: a
// settings save, which holds the lock that every settings save takes, removes every
// leftover; a log write, which has no lock, only those ten minutes old.
TEST(StaleSaveFilesTest, TheNextSaveOfTheFileRemovesItsLeftovers)
{
    const EntryCase entries[] = {
        {".kQxWbe", Kind::File, 0, true, false},
        {".aBcDeF", Kind::File, 9, true, false},
        {".uVwXyZ", Kind::File, 11, true, true},
        // Names a person gives a copy, and names of another form.
        {".backup", Kind::File, 60, false, false},
        {".BACKUP", Kind::File, 60, false, false},
        {".Before", Kind::File, 60, false, false},
        {".kQxWb", Kind::File, 60, false, false},
        {".kQxWbeZ", Kind::File, 60, false, false},
        {"X.kQxWbe", Kind::File, 60, false, false},
        {".pQrStU", Kind::Folder, 60, false, false},
        {".lMnOpQ", Kind::Link, 60, false, false},
        {".zYxWvU", Kind::OthersFile, 60, false, false},
    };
    struct Writer
    {
        const char *fileName;
        std::function<bool(const QString &path)> save;
        bool EntryCase::*removed;
    };
    const Writer writers[] = {
        {"ZEMRA.ini",
         [](const QString &path) {
             return IniFileSettingsBackend(path).write(u"zemra"_s,
                                                       {{u"USE_FILE_TICKBOX"_s, u"1"_s}});
         },
         &EntryCase::removedBySettingsSave},
        {"run.log", [](const QString &path) { return SaveFileWriter().write(path, u"log"_s).ok; },
         &EntryCase::removedByLogWrite},
    };
    // Only root can give a file to another user.
    const bool root = ::geteuid() == 0;
    for (const Writer &writer : writers) {
        SCOPED_TRACE(writer.fileName);
        QTemporaryDir dir;
        const QString path = dir.filePath(QString::fromUtf8(writer.fileName));
        writeFile(path, "old\n");
        writeFile(dir.filePath(u"target"_s), "a file a link names\n");
        for (const EntryCase &entry : entries) {
            const QString entryPath = path + QString::fromUtf8(entry.suffix);
            if (entry.kind == Kind::Folder) {
                ASSERT_TRUE(QDir().mkdir(entryPath));
            } else if (entry.kind == Kind::Link) {
                ASSERT_TRUE(QFile::link(u"target"_s, entryPath));
            } else {
                writeFile(entryPath, "new\n");
                QFile file(entryPath);
                ASSERT_TRUE(file.open(QIODevice::ReadWrite));
                ASSERT_TRUE(file.setFileTime(
                    QDateTime::currentDateTime().addSecs(-60 * qint64{entry.ageMinutes}),
                    QFileDevice::FileModificationTime));
            }
            if (entry.kind == Kind::OthersFile && root) {
                ASSERT_EQ(::chown(QFile::encodeName(entryPath).constData(), 65534, 65534), 0);
            }
        }

        ASSERT_TRUE(writer.save(path));

        for (const EntryCase &entry : entries) {
            const QFileInfo left(path + QString::fromUtf8(entry.suffix));
            if (entry.kind != Kind::OthersFile || root) {
                EXPECT_EQ(!left.exists() && !left.isSymLink(), entry.*writer.removed)
                    << entry.suffix;
            }
        }
        EXPECT_TRUE(QFileInfo::exists(dir.filePath(u"target"_s)));
    }
}

} // namespace
