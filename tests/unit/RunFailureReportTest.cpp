#include "AppHarness.h"
#include "RealFilesHarness.h"
#include "SymbolicLink.h"
#include "WrittenFile.h"

#include "ui/TextBox.h"
#include "ui/TickBox.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>

using namespace Qt::Literals::StringLiterals;

namespace {

const QString LogNotWritten = u"!!! ERROR - LOG FILE NOT WRITTEN !!!"_s;
const QString TargetNotFound = u"!!! ERROR - TARGET NOT FOUND !!!"_s;

QStringList crlfLines(const QString &text)
{
    QStringList lines = text.split(u"\r\n"_s);
    EXPECT_EQ(lines.last(), QString()) << "the text does not end with CR LF";
    lines.removeLast();
    return lines;
}

TEST(LogFileIdentityTest, LogNamingTheTargetOrTheSettingsFileLeavesItUntouched)
{
    enum class Names { Target, HardLinkToTarget, SymlinkToTarget, SettingsFile };
    struct Case
    {
        const char *name;
        Names log;
        const char *why;
    };
    const Case cases[] = {
        {"target itself", Names::Target, "the target being measured"},
        {"hard link to the target", Names::HardLinkToTarget, "the target being measured"},
        {"symbolic link to the target", Names::SymlinkToTarget, "the target being measured"},
        {"settings file", Names::SettingsFile, "the program's settings file"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        RealFilesHarness app;
        const QString target = app.files() + u"/measured.bin"_s;
        writeFile(target, "precious bytes\0\xff"_ba);
        QString logPath;
        std::error_code error;
        switch (c.log) {
        case Names::Target:
            logPath = target;
            break;
        case Names::HardLinkToTarget:
            logPath = app.files() + u"/hard.log"_s;
            std::filesystem::create_hard_link(target.toStdString(), logPath.toStdString(), error);
            break;
        case Names::SymlinkToTarget:
            logPath = app.files() + u"/soft.log"_s;
            if (!makeSymbolicLink(target, logPath))
                continue;
            break;
        case Names::SettingsFile:
            logPath = app.iniPath();
            break;
        }
        ASSERT_FALSE(error);
        app.store(u"FF_LOCATION_TEXTBOX"_s, target);
        app.store(u"LOGFILE_TEXTBOX"_s, logPath);
        app.store(u"USE_FILE_TICKBOX"_s, u"1"_s);
        app.launch();
        const QByteArray targetBefore = RealFilesHarness::bytesOf(target);
        const QByteArray settingsBefore = RealFilesHarness::bytesOf(app.iniPath());
        ASSERT_FALSE(settingsBefore.isEmpty());

        app.runNow();

        Ui::ZEMRA_MAIN &f = app.form();
        EXPECT_EQ(RealFilesHarness::bytesOf(target), targetBefore);
        EXPECT_EQ(RealFilesHarness::bytesOf(app.iniPath()), settingsBefore);
        EXPECT_EQ(f.CURRENT_STATUS_LABEL->text(), LogNotWritten);
        const QString tip = f.CURRENT_STATUS_LABEL->toolTip();
        EXPECT_TRUE(tip.contains(QString::fromUtf8(c.why))) << tip.toStdString();
        // The reason names the paths with the system's separators.
        EXPECT_TRUE(tip.contains(QDir::toNativeSeparators(logPath))) << tip.toStdString();
        EXPECT_TRUE(tip.contains(
            QDir::toNativeSeparators(c.log == Names::SettingsFile ? app.iniPath() : target)));
        // The measurement itself succeeded; the reason follows the run log in its box.
        EXPECT_EQ(f.FILE_SIZE_BYTES_TEXTBOX->text(), u"16 B  "_s);
        const QStringList lines = crlfLines(f.LOG_FILE_OUTPUT_TEXTBOX->text());
        ASSERT_EQ(lines.size(), 19);
        EXPECT_EQ(lines[18], tip);
        EXPECT_TRUE(app.controller().lastRunFailed());
    }
}

TEST(FailureReasonTest, TooltipAndRunLogShowTheReasonUntilARunSucceeds)
{
    RealFilesHarness app;
    const QString target = app.files() + u"/t.bin"_s;
    writeFile(target, "1234567");
    const QString missingFolderLog = app.files() + u"/no/such/folder/run.log"_s;
    const QString goodLog = app.files() + u"/run.log"_s;
    app.store(u"FF_LOCATION_TEXTBOX"_s, target);
    app.store(u"LOGFILE_TEXTBOX"_s, missingFolderLog);
    app.store(u"USE_FILE_TICKBOX"_s, u"1"_s);
    app.launch();
    Ui::ZEMRA_MAIN &f = app.form();
    EXPECT_EQ(f.CURRENT_STATUS_LABEL->toolTip(), QString());

    struct Step
    {
        const char *name;
        QString logPath;
        bool fileTicked;
        QString status;
        const char *tipHolds; // empty: no tooltip
    };
    const Step steps[] = {
        {"log in a missing folder", missingFolderLog, true, LogNotWritten,
         "Cannot write the log file"},
        {"log written", goodLog, true, u"READY..."_s, ""},
        {"log is a folder", app.files(), true, LogNotWritten, "it is a folder"},
        // A run without a pass measured nothing, which is a failure told by the tooltip (and
        // the exit status) under the run's own texts; its log file repeats the run log, not
        // the reason of the failed write.
        {"no pass, log written", goodLog, false, u"READY..."_s, "neither FILE-Size"},
        {"empty log path", QString(), false, LogNotWritten, "no path was given"},
        {"target missing", goodLog, true, TargetNotFound, "missing"},
    };
    QString previousRunLog;
    for (const Step &s : steps) {
        SCOPED_TRACE(s.name);
        f.LOGFILE_TEXTBOX->setText(s.logPath);
        if (QString(s.name) == u"target missing"_s)
            f.FF_LOCATION_TEXTBOX->setText(app.files() + u"/missing"_s);
        if (TickBox::isTicked(*f.USE_FILE_TICKBOX) != s.fileTicked)
            f.USE_FILE_TICKBOX->click();
        if (s.fileTicked) {
            app.runNow();
        } else {
            // With no kind ticked Run Now is disabled; START still requests a run.
            f.AUTO_STARTS_STOPS_BUTTON->click();
            app.advance(10000 + 3000);
        }

        EXPECT_EQ(f.CURRENT_STATUS_LABEL->text(), s.status);
        const QString tip = f.CURRENT_STATUS_LABEL->toolTip();
        if (*s.tipHolds == '\0')
            EXPECT_EQ(tip, QString());
        else
            EXPECT_TRUE(tip.contains(QString::fromUtf8(s.tipHolds))) << tip.toStdString();

        const QStringList lines = crlfLines(f.LOG_FILE_OUTPUT_TEXTBOX->text());
        if (s.status == LogNotWritten || s.logPath.isEmpty()) {
            // The reason is the last line of the run log box; the file was not written.
            EXPECT_EQ(lines.last(), tip.section(u'\n', -1));
            EXPECT_FALSE(QFile::exists(s.logPath) && QFileInfo(s.logPath).isFile() &&
                         RealFilesHarness::bytesOf(s.logPath).contains("Cannot write"));
        } else if (s.logPath == goodLog && s.status != TargetNotFound) {
            const QByteArray written = RealFilesHarness::bytesOf(goodLog);
            EXPECT_EQ(written, f.LOG_FILE_OUTPUT_TEXTBOX->text().toUtf8());
            EXPECT_FALSE(written.contains("Cannot write"));
            EXPECT_EQ(lines.size(), 18);
        }
    }
    EXPECT_FALSE(QFile::exists(missingFolderLog));
}

TEST(UnnameablePathTest, TargetOrLogPathWithNulOrLoneSurrogateFailsClearly)
{
    const QChar nul(u'\0');
    const QChar surrogate(char16_t(0xd800));
    struct Case
    {
        const char *name;
        QString targetSuffix; // appended to the folder of real files
        QString logSuffix;
        QString status;
        const char *marker; // how the log and reason show the bad character
    };
    const Case cases[] = {
        {"NUL in the target", u"/t.bin"_s + nul + u"/../other.bin"_s, u"/run.log"_s, TargetNotFound,
         "<NUL>"},
        {"lone surrogate in the target", u"/t"_s + surrogate + u".bin"_s, u"/run.log"_s,
         TargetNotFound, "<U+D800>"},
        {"NUL in the log path", u"/t.bin"_s, u"/run.log"_s + nul + u"x"_s, LogNotWritten, "<NUL>"},
        {"lone surrogate in the log path", u"/t.bin"_s, u"/r"_s + surrogate + u".log"_s,
         LogNotWritten, "<U+D800>"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        RealFilesHarness app;
        writeFile(app.files() + u"/t.bin"_s, "abc");
        writeFile(app.files() + u"/other.bin"_s, "other");
        app.store(u"FF_LOCATION_TEXTBOX"_s, app.files() + c.targetSuffix);
        app.store(u"LOGFILE_TEXTBOX"_s, app.files() + c.logSuffix);
        app.store(u"USE_FILE_TICKBOX"_s, u"1"_s);
        app.launch();
        ASSERT_EQ(app.form().FF_LOCATION_TEXTBOX->text(), app.files() + c.targetSuffix)
            << "the settings file did not keep the character";
        app.runNow();

        Ui::ZEMRA_MAIN &f = app.form();
        EXPECT_EQ(f.CURRENT_STATUS_LABEL->text(), c.status);
        EXPECT_TRUE(app.controller().lastRunFailed());
        const QString tip = f.CURRENT_STATUS_LABEL->toolTip();
        EXPECT_TRUE(tip.contains(u"names no file"_s)) << tip.toStdString();
        EXPECT_TRUE(tip.contains(QString::fromLatin1(c.marker))) << tip.toStdString();
        EXPECT_FALSE(tip.contains(nul) || tip.contains(surrogate));
        // Neither the shortened path nor a mangled one was created or sized.
        const QStringList names = QDir(app.files()).entryList(QDir::Files | QDir::NoDotAndDotDot);
        if (c.status == TargetNotFound) {
            EXPECT_TRUE(f.FILE_SIZE_BYTES_TEXTBOX->text().isEmpty());
            const QByteArray log = RealFilesHarness::bytesOf(app.files() + u"/run.log"_s);
            EXPECT_FALSE(log.contains('\0'));
            EXPECT_TRUE(log.contains(QByteArray("ERROR = The target")));
            EXPECT_TRUE(log.contains(QByteArray(c.marker)));
            EXPECT_EQ(names, (QStringList{u"other.bin"_s, u"run.log"_s, u"t.bin"_s}));
        } else {
            EXPECT_EQ(f.FILE_SIZE_BYTES_TEXTBOX->text(), u"3 B  "_s);
            EXPECT_EQ(names, (QStringList{u"other.bin"_s, u"t.bin"_s}));
        }
    }
}

TEST(HandlerBoundaryTest, ExceptionDuringARunEndsItAsAFailureAndTheProgramGoesOn)
{
    AppHarness app;
    app.store(u"FF_LOCATION_TEXTBOX"_s, u"/t"_s);
    app.store(u"LOGFILE_TEXTBOX"_s, u"/tmp/l.log"_s);
    app.store(u"USE_FILE_TICKBOX"_s, u"1"_s);
    app.launch();
    app.show();
    bool throwNext = true;
    app.onSizeQueryCreated([&] {
        if (throwNext)
            throw std::runtime_error("disk on fire");
    });
    app.sizes().answers = {FakeSizeQuery::answer(42)};
    app.form().RUN_NOW_BUTTON->click();
    app.clock().advance(3000);

    Ui::ZEMRA_MAIN &f = app.form();
    EXPECT_EQ(f.CURRENT_STATUS_LABEL->text(), u"!!! ERROR - SIZING FAILED !!!"_s);
    EXPECT_TRUE(f.CURRENT_STATUS_LABEL->toolTip().contains(u"disk on fire"_s));
    EXPECT_TRUE(f.LOG_FILE_OUTPUT_TEXTBOX->text().contains(u"disk on fire"_s));
    EXPECT_TRUE(f.RUN_NOW_BUTTON->isEnabled());
    EXPECT_FALSE(app.timers().FILE_FOLDER_SIZER_TIMER->isEnabled());
    EXPECT_TRUE(app.controller().lastRunFailed());

    throwNext = false;
    app.form().RUN_NOW_BUTTON->click();
    app.clock().advance(3000);
    EXPECT_EQ(f.CURRENT_STATUS_LABEL->text(), u"READY..."_s);
    EXPECT_EQ(f.FILE_SIZE_BYTES_TEXTBOX->text(), u"42 B  "_s);
    EXPECT_EQ(f.CURRENT_STATUS_LABEL->toolTip(), QString());
}

} // namespace
