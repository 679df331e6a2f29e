#include "RealFilesHarness.h"
#include "WrittenFile.h"

#include "measure/OneShotRun.h"
#include "platform/doubles/FixedNumberLocale.h"
#include "platform/doubles/RecordingTextFileWriter.h"
#include "platform/doubles/VirtualClock.h"

#include <QDir>
#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

struct OneShotCase
{
    const char *name;
    bool folder;
    QString target; // relative to the files folder
    bool toStandardOutput;
    int status;
};

} // namespace

// The one-shot run and a window run of the same target must write the same bytes: the same
// log for a good run, the same error report for a failed one.
TEST(OneShotRunTest, WritesTheBytesAWindowRunOfTheSameTargetWrites)
{
    const OneShotCase cases[] = {
        {"a file", false, u"/tree/a.bin"_s, false, 0},
        {"a folder tree", true, u"/tree"_s, false, 0},
        {"a folder tree to standard output", true, u"/tree"_s, true, 0},
        {"a missing target", false, u"/tree/missing"_s, false, 1},
        {"a folder asked as a file", false, u"/tree"_s, true, 1},
    };
    for (const OneShotCase &c : cases) {
        SCOPED_TRACE(c.name);
        RealFilesHarness window;
        QDir(window.files()).mkpath(u"tree/sub"_s);
        writeFile(window.files() + u"/tree/a.bin"_s, QByteArray(1234567, 'a'));
        writeFile(window.files() + u"/tree/sub/b.bin"_s, "bb");
        const QString target = window.files() + c.target;

        const QString windowLog = window.files() + u"/window.log"_s;
        window.store(c.folder ? u"USE_FOLDER_TICKBOX"_s : u"USE_FILE_TICKBOX"_s, u"1"_s);
        window.store(u"FF_LOCATION_TEXTBOX"_s, target);
        window.store(u"LOGFILE_TEXTBOX"_s, windowLog);
        window.launch();
        window.runNow();
        EXPECT_EQ(window.controller().lastRunFailed(), c.status != 0);
        const QByteArray expected = RealFilesHarness::bytesOf(windowLog);
        ASSERT_FALSE(expected.isEmpty());

        VirtualClock clock;
        FixedNumberLocale numberLocale;
        SaveFileWriter writer;
        FakeWorkQueue workQueue;
        RecordingTextFileWriter standardOutput;
        const QString oneShotLog = window.files() + u"/one-shot.log"_s;
        OneShotRun run({clock, &createSizeQuery, numberLocale, writer, workQueue, standardOutput,
                        u"zemra"_s, window.iniPath()},
                       {c.folder, target, c.toStandardOutput ? u"-"_s : oneShotLog});
        QSignalSpy finished(&run, &OneShotRun::finished);
        run.start();
        ASSERT_EQ(finished.count(), 1);
        EXPECT_EQ(finished.at(0).at(0).toInt(), c.status);
        ASSERT_EQ(standardOutput.writes().size(), c.toStandardOutput ? 1 : 0);
        const QByteArray written = c.toStandardOutput
                                       ? SaveFileWriter::encode(standardOutput.writes()[0].text)
                                       : RealFilesHarness::bytesOf(oneShotLog);
        EXPECT_EQ(written.toStdString(), expected.toStdString());
        EXPECT_EQ(QFile::exists(oneShotLog), !c.toStandardOutput);
    }
}

// The log path is checked as a window run checks it: never the target itself.
TEST(OneShotRunTest, ALogPathNamingTheTargetIsRefused)
{
    QTemporaryDir files;
    const QString target = files.path() + u"/precious.bin"_s;
    writeFile(target, "precious");
    VirtualClock clock;
    FixedNumberLocale numberLocale;
    SaveFileWriter writer;
    FakeWorkQueue workQueue;
    RecordingTextFileWriter standardOutput;
    OneShotRun run({clock, &createSizeQuery, numberLocale, writer, workQueue, standardOutput,
                    u"zemra"_s, QString()},
                   {false, target, target});
    QSignalSpy finished(&run, &OneShotRun::finished);
    run.start();
    ASSERT_EQ(finished.count(), 1);
    EXPECT_EQ(finished.at(0).at(0).toInt(), 1);
    EXPECT_EQ(RealFilesHarness::bytesOf(target), QByteArray("precious"));
}
