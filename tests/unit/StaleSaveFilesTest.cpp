#include "platform/StaleSaveFiles.h"
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

struct NameCase
{
    const char *name;
    const char *fileName;
    bool leftover;
};

TEST(StaleSaveFilesTest, OnlyTheSavesOwnTemporaryNamesCount)
{
    const NameCase cases[] = {
        {"ZEMRA.ini.kQxWbe", "ZEMRA.ini", true},
        {"ZEMRA.ini.aB3dEf", "ZEMRA.ini", true},
        {"run.log.ZZaiCx", "run.log", true},
        // Names a person gives a copy.
        {"ZEMRA.ini.backup", "ZEMRA.ini", false},
        {"ZEMRA.ini.BACKUP", "ZEMRA.ini", false},
        {"ZEMRA.ini.Before", "ZEMRA.ini", false},
        {"run.log.old123", "run.log", false},
        // Not six letters or digits after the file's own name and a dot.
        {"ZEMRA.ini.lock", "ZEMRA.ini", false},
        {"ZEMRA.ini.kQxWb", "ZEMRA.ini", false},
        {"ZEMRA.ini.kQxWbeZ", "ZEMRA.ini", false},
        {"ZEMRA.ini.kQ-Wbe", "ZEMRA.ini", false},
        {"ZEMRA.ini.kQxWb\xc3\xa9", "ZEMRA.ini", false},
        {"ZEMRA.inixkQxWbe", "ZEMRA.ini", false},
        {"other.ini.kQxWbe", "ZEMRA.ini", false},
        {"ZEMRA.ini", "ZEMRA.ini", false},
        {".kQxWbe", "", false},
    };
    for (const NameCase &c : cases) {
        EXPECT_EQ(StaleSaveFiles::isLeftoverName(QString::fromUtf8(c.name),
                                                 QString::fromUtf8(c.fileName)),
                  c.leftover)
            << c.name;
    }
}

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
// settings save, which holds the lock every settings save takes, removes every leftover; a
// log write, which has no lock, only those ten minutes old.
TEST(StaleSaveFilesTest, TheNextSaveOfTheFileRemovesItsLeftovers)
{
    const EntryCase entries[] = {
        {".kQxWbe", Kind::File, 0, true, false},   {".aB3dEf", Kind::File, 9, true, false},
        {".uVwXyZ", Kind::File, 11, true, true},   {".backup", Kind::File, 60, false, false},
        {".kQxWb", Kind::File, 60, false, false},  {".pQrStU", Kind::Folder, 60, false, false},
        {".lMnOpQ", Kind::Link, 60, false, false}, {".zYxWvU", Kind::OthersFile, 60, false, false},
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
                                                       {{u"AUTOSTART_TICKBOX"_s, u"1"_s}});
         },
         &EntryCase::removedBySettingsSave},
        {"run.log",
         [](const QString &path) { return SaveFileWriter().write(path, u"log\r\n"_s).ok; },
         &EntryCase::removedByLogWrite},
    };
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
                continue;
            }
            if (entry.kind == Kind::Link) {
                ASSERT_TRUE(QFile::link(u"target"_s, entryPath));
                continue;
            }
            writeFile(entryPath, "new\n");
            QFile file(entryPath);
            ASSERT_TRUE(file.open(QIODevice::ReadWrite));
            ASSERT_TRUE(file.setFileTime(
                QDateTime::currentDateTime().addSecs(-60 * qint64{entry.ageMinutes}),
                QFileDevice::FileModificationTime));
            if (entry.kind == Kind::OthersFile && ::geteuid() == 0) {
                ASSERT_EQ(::chown(QFile::encodeName(entryPath).constData(), 65534, 65534), 0);
            }
        }

        ASSERT_TRUE(writer.save(path));

        for (const EntryCase &entry : entries) {
            const QString entryPath = path + QString::fromUtf8(entry.suffix);
            const bool othersFileOfOurs = entry.kind == Kind::OthersFile && ::geteuid() != 0;
            if (!othersFileOfOurs) {
                EXPECT_EQ(!QFileInfo(entryPath).exists() && !QFileInfo(entryPath).isSymLink(),
                          entry.*writer.removed)
                    << entry.suffix;
            }
        }
        EXPECT_TRUE(QFileInfo::exists(dir.filePath(u"target"_s)));
    }
}

} // namespace
