#include "measure/OneShotRun.h"
#include "platform/doubles/FakeWorkQueue.h"
#include "platform/doubles/FixedNumberLocale.h"
#include "platform/doubles/RecordingTextFileWriter.h"
#include "platform/doubles/VirtualClock.h"
#include "platform/PathText.h"
#include "platform/SaveFileWriter.h"
#include "platform/SizeQuery.h"

#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

// A target named on the command line with bytes that are not UTF-8 is measured under its
// own name; the log shows those bytes as U+FFFD. A log path with such bytes is refused.
TEST(OneShotRunTest, ACommandLineNameThatIsNotUtf8IsMeasured)
{
    QTemporaryDir files;
    const QByteArray folder = QFile::encodeName(files.path()) + "/caf\xe9";
    ASSERT_EQ(::mkdir(folder.constData(), 0700), 0);
    const int file = ::open((folder + "/five").constData(), O_CREAT | O_WRONLY, 0600);
    ASSERT_GE(file, 0);
    ASSERT_EQ(::write(file, "12345", 5), 5);
    ::close(file);
    VirtualClock clock;
    FixedNumberLocale numberLocale;
    SaveFileWriter writer;
    FakeWorkQueue workQueue;
    RecordingTextFileWriter standardOutput;
    for (const bool logNamedLikeIt : {false, true}) {
        SCOPED_TRACE(logNamedLikeIt ? "log path not UTF-8" : "log to standard output");
        const QString target = PathText::fromNativeBytes(folder);
        OneShotRun run({clock, &createSizeQuery, numberLocale, writer, workQueue, standardOutput,
                        u"zemra"_s, QString()},
                       {true, target, logNamedLikeIt ? target + u".log"_s : u"-"_s});
        QSignalSpy finished(&run, &OneShotRun::finished);
        run.start();
        ASSERT_EQ(finished.count(), 1);
        EXPECT_EQ(finished.at(0).at(0).toInt(), logNamedLikeIt ? 1 : 0);
    }
    ASSERT_EQ(standardOutput.writes().size(), 1);
    const QString log = standardOutput.writes()[0].text;
    EXPECT_TRUE(log.contains(u"FOLDER = "_s + files.path() + u"/caf\uFFFD\r\n"_s))
        << log.toStdString();
    EXPECT_TRUE(log.contains(u"\r\n5 B  \r\n"_s)) << log.toStdString();
}
