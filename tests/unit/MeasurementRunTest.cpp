#include "AppHarness.h"

#include "measure/RunLogTexts.h"
#include "ui/TextBox.h"
#include "ui/TickBox.h"

#include <gtest/gtest.h>

namespace {

const QString Splitter = QString(61, QLatin1Char('='));

QStringList crlfLines(const QString &text)
{
    EXPECT_TRUE(text.endsWith(QStringLiteral("\r\n")));
    QStringList lines = text.split(QStringLiteral("\r\n"));
    lines.removeLast();
    return lines;
}

class MeasurementRunTest : public ::testing::Test
{
protected:
    void launch(const QString &target, const QString &logFile = QStringLiteral("/tmp/zemra.log"))
    {
        app.store(QStringLiteral("FF_LOCATION_TEXTBOX"), target);
        app.store(QStringLiteral("LOGFILE_TEXTBOX"), logFile);
        app.launch();
        app.show();
    }
    void runNow()
    {
        app.form().RUN_NOW_BUTTON->click();
        app.clock().advance(3000);
    }
    QString status() { return app.form().CURRENT_STATUS_LABEL->text(); }
    QString runLog() { return app.form().LOG_FILE_OUTPUT_TEXTBOX->text(); }
    QString display() { return app.form().OUTPUT_WINDOW_TEXTBOX->text(); }

    AppHarness app;
};

} // namespace

TEST_F(MeasurementRunTest, FileRunFillsTheDisplayAndWritesTheEighteenLineLog)
{
    launch(QStringLiteral("  /data/big file.bin "));
    app.form().USE_FILE_TICKBOX->click();
    app.sizes().answers = {FakeSizeQuery::answer(1234567890)};
    QStringList statusAtQuery;
    app.onSizeQueryCreated([&] { statusAtQuery << status(); });
    runNow();

    ASSERT_EQ(app.sizes().calls.size(), 1u);
    EXPECT_EQ(app.sizes().calls[0].kind, FakeSizeQuery::Kind::File);
    EXPECT_EQ(app.sizes().calls[0].path, std::filesystem::path("  /data/big file.bin "));
    EXPECT_EQ(statusAtQuery, QStringList{QStringLiteral(" - !!! - RUNNING - !!! - ")});

    Ui::ZEMRA_MAIN &f = app.form();
    const QStringList sizeLines{
        QStringLiteral("1,234,567,890 B  "), QStringLiteral("1,234,567.89 KB"),
        QStringLiteral("1,234.568 MB"),      QStringLiteral("1.235 GB"),
        QStringLiteral("0.001235 TB"),       QStringLiteral("0.000001235 PB")};
    EXPECT_EQ(f.FILE_SIZE_BYTES_TEXTBOX->text(), sizeLines[0]);
    EXPECT_EQ(f.FILE_SIZE_GIGABYTES_TEXTBOX->text(), sizeLines[3]);
    EXPECT_EQ(f.FILE_SIZE_PETABYTES_TEXTBOX->text(), sizeLines[5]);
    EXPECT_EQ(display(), sizeLines.join(QStringLiteral("\r\n")));

    QStringList expected{Splitter,
                         QStringLiteral("!!! - QUENLOW - Zemra-Gauge - !!!"),
                         Splitter,
                         QStringLiteral("EXE File = zemra"),
                         QStringLiteral("FILE =   /data/big file.bin "),
                         Splitter,
                         QString()};
    expected << sizeLines << QString() << Splitter
             << QStringLiteral("!!! - Thanks for using Quenlow Software - !!!")
             << QStringLiteral("!!! - www.quenlow.example - Vorrel42 !!! :)") << Splitter;
    EXPECT_EQ(crlfLines(runLog()), expected);

    ASSERT_EQ(app.writer().writes().size(), 1);
    EXPECT_EQ(app.writer().writes()[0].path, QStringLiteral("/tmp/zemra.log"));
    EXPECT_EQ(app.writer().writes()[0].text, runLog());
    EXPECT_EQ(status(), QStringLiteral("READY..."));
    EXPECT_FALSE(app.timers().FILE_FOLDER_SIZER_TIMER->isEnabled());
}

TEST_F(MeasurementRunTest, FolderRunLogsTheFolderAndNeverShowsRunning)
{
    launch(QStringLiteral("/srv"));
    app.form().USE_FOLDER_TICKBOX->click();
    app.sizes().answers = {FakeSizeQuery::answer(0)};
    QStringList statusAtQuery;
    app.onSizeQueryCreated([&] { statusAtQuery << status(); });
    runNow();

    ASSERT_EQ(app.sizes().calls.size(), 1u);
    EXPECT_EQ(app.sizes().calls[0].kind, FakeSizeQuery::Kind::Folder);
    EXPECT_EQ(statusAtQuery, QStringList{QStringLiteral("MANUAL RUN")});
    EXPECT_EQ(crlfLines(runLog())[4], QStringLiteral("FOLDER = /srv"));
    EXPECT_EQ(app.form().FILE_SIZE_BYTES_TEXTBOX->text(), QStringLiteral("0 B  "));
    EXPECT_EQ(app.form().FILE_SIZE_KILOBYTES_TEXTBOX->text(), QStringLiteral("0. KB"));
}

TEST_F(MeasurementRunTest, RunWithNoTargetKindSavesRewritesTheLogAndCountsAsFailed)
{
    launch(QStringLiteral("/x"), QStringLiteral("/tmp/first.log"));
    app.form().FF_LOCATION_TEXTBOX->setText(QStringLiteral("/changed"));
    runNow();
    EXPECT_TRUE(app.sizes().calls.empty());
    EXPECT_EQ(app.sizes().instancesCreated, 0);
    EXPECT_EQ(app.stored(QStringLiteral("FF_LOCATION_TEXTBOX")).toString(),
              QStringLiteral("/changed"));
    ASSERT_EQ(app.writer().writes().size(), 1);
    EXPECT_EQ(app.writer().writes()[0].text,
              QStringLiteral("!!! LOG GENERATED AFTER RUN COMPLETION !!!\r\n"));
    EXPECT_TRUE(display().isEmpty());
    // Nothing was measured: the tooltip says so and the launch's exit status will too, under
    // the run's own status texts.
    EXPECT_EQ(status(), QStringLiteral("READY..."));
    EXPECT_TRUE(app.form().CURRENT_STATUS_LABEL->toolTip().contains(QStringLiteral("neither")));
    EXPECT_TRUE(app.controller().lastRunFailed());
    EXPECT_TRUE(app.form().RUN_NOW_BUTTON->isEnabled());
}

TEST_F(MeasurementRunTest, EachPassMakesItsOwnServiceAndALaterRunWithoutPassRepeatsTheLog)
{
    launch(QStringLiteral("/f"));
    app.form().USE_FILE_TICKBOX->click();
    app.sizes().answers = {FakeSizeQuery::answer(5), FakeSizeQuery::answer(7)};
    runNow();
    runNow();
    EXPECT_EQ(app.sizes().instancesCreated, 2);
    EXPECT_EQ(app.form().FILE_SIZE_BYTES_TEXTBOX->text(), QStringLiteral("7 B  "));

    app.form().USE_FILE_TICKBOX->click();
    app.form().RUN_NOW_BUTTON->setEnabled(true);
    runNow();
    EXPECT_EQ(app.sizes().instancesCreated, 2);
    ASSERT_EQ(app.writer().writes().size(), 3);
    EXPECT_EQ(app.writer().writes()[2].text, app.writer().writes()[1].text);
}

TEST_F(MeasurementRunTest, AutocloseHandOverKeepsRunNowDisabledAndTheCaption)
{
    app.store(QStringLiteral("AUTOCLOSE_TICKBOX"), QStringLiteral("1"));
    launch(QStringLiteral("/f"));
    app.form().USE_FILE_TICKBOX->click();
    app.sizes().answers = {FakeSizeQuery::answer(1)};
    runNow();
    EXPECT_EQ(status(), QStringLiteral("!!! AUTOCLOSING - 10 SECS !!!"));
    EXPECT_FALSE(app.form().RUN_NOW_BUTTON->isEnabled());
    EXPECT_EQ(app.form().AUTO_STARTS_STOPS_BUTTON->text(), QStringLiteral("STOP"));
    EXPECT_TRUE(app.timers().AUTOCLOSE_TIMER->isEnabled());
    EXPECT_FALSE(app.timers().FILE_FOLDER_SIZER_TIMER->isEnabled());
}

TEST_F(MeasurementRunTest, FailedQueryEmptiesTheDisplayAndReportsTheReason)
{
    const struct
    {
        SizeError error;
        bool folder;
        const char *status;
    } cases[] = {
        {SizeError::NotFound, false, "!!! ERROR - TARGET NOT FOUND !!!"},
        {SizeError::NotAFile, false, "!!! ERROR - NOT A FILE !!!"},
        {SizeError::NotAFolder, true, "!!! ERROR - NOT A FOLDER !!!"},
        {SizeError::AccessDenied, true, "!!! ERROR - ACCESS DENIED !!!"},
        {SizeError::Other, true, "!!! ERROR - SIZING FAILED !!!"},
    };
    for (const auto &c : cases) {
        AppHarness app;
        app.store(QStringLiteral("FF_LOCATION_TEXTBOX"), QStringLiteral("/t"));
        app.store(QStringLiteral("LOGFILE_TEXTBOX"), QStringLiteral("/tmp/l.log"));
        app.launch();
        (c.folder ? app.form().USE_FOLDER_TICKBOX : app.form().USE_FILE_TICKBOX)->click();
        app.sizes().answers = {FakeSizeQuery::answer(1500000),
                               FakeSizeQuery::failure(c.error, "cannot size \"/t\": some reason")};
        app.form().RUN_NOW_BUTTON->click();
        app.clock().advance(3000);
        ASSERT_FALSE(app.form().FILE_SIZE_BYTES_TEXTBOX->text().isEmpty());
        app.form().RUN_NOW_BUTTON->click();
        app.clock().advance(3000);

        Ui::ZEMRA_MAIN &f = app.form();
        EXPECT_EQ(f.CURRENT_STATUS_LABEL->text(), QString::fromLatin1(c.status));
        for (QLineEdit *box : {f.FILE_SIZE_BYTES_TEXTBOX, f.FILE_SIZE_MEGABYTES_TEXTBOX,
                               f.FILE_SIZE_PETABYTES_TEXTBOX})
            EXPECT_TRUE(box->text().isEmpty()) << c.status;
        EXPECT_TRUE(f.OUTPUT_WINDOW_TEXTBOX->toPlainText().isEmpty()) << c.status;

        const QStringList lines = crlfLines(f.LOG_FILE_OUTPUT_TEXTBOX->text());
        ASSERT_EQ(lines.size(), 13) << c.status;
        EXPECT_EQ(lines[4], QString::fromLatin1(c.folder ? "FOLDER = /t" : "FILE = /t"));
        EXPECT_EQ(lines[5], Splitter);
        EXPECT_EQ(lines[6], QString());
        EXPECT_EQ(lines[7], QStringLiteral("ERROR = cannot size \"/t\": some reason"));
        EXPECT_EQ(lines[8], QString());
        EXPECT_EQ(lines[9], Splitter);
        EXPECT_EQ(lines[12], Splitter);
        ASSERT_EQ(app.writer().writes().size(), 2);
        EXPECT_EQ(app.writer().writes()[1].text, f.LOG_FILE_OUTPUT_TEXTBOX->text());

        // The hand-over still happens, so the next run can be requested.
        EXPECT_TRUE(f.RUN_NOW_BUTTON->isEnabled());
        EXPECT_EQ(f.AUTO_STARTS_STOPS_BUTTON->text(), QStringLiteral("START"));
        EXPECT_FALSE(app.timers().FILE_FOLDER_SIZER_TIMER->isEnabled());
    }
}

TEST_F(MeasurementRunTest, FailedFilePassSkipsTheFolderPass)
{
    launch(QStringLiteral("/t"));
    app.form().USE_FILE_TICKBOX->click();
    TickBox::setValue(*app.form().USE_FOLDER_TICKBOX, 1);
    app.sizes().answers = {FakeSizeQuery::failure(SizeError::NotAFile, "not a file"),
                           FakeSizeQuery::answer(9)};
    runNow();
    EXPECT_EQ(app.sizes().calls.size(), 1u);
    EXPECT_EQ(status(), QStringLiteral("!!! ERROR - NOT A FILE !!!"));
}

TEST_F(MeasurementRunTest, UnwritableLogFileIsAFailureAndKeepsTheLogInItsBox)
{
    launch(QStringLiteral("/f"), QString());
    app.form().USE_FILE_TICKBOX->click();
    app.sizes().answers = {FakeSizeQuery::answer(3),
                           FakeSizeQuery::failure(SizeError::NotFound, "gone")};
    app.writer().failWith(QStringLiteral("Cannot write the log file \"\": empty path"));
    runNow();
    EXPECT_EQ(status(), QStringLiteral("!!! ERROR - LOG FILE NOT WRITTEN !!!"));
    // The run log keeps its 18 lines, followed in the box by the reason it was not written.
    const QStringList lines = crlfLines(runLog());
    ASSERT_EQ(lines.size(), 19);
    EXPECT_EQ(lines[18], QStringLiteral("Cannot write the log file \"\": empty path"));
    ASSERT_EQ(app.writer().writes().size(), 1);
    EXPECT_EQ(crlfLines(app.writer().writes()[0].text), lines.mid(0, 18));
    EXPECT_EQ(app.form().FILE_SIZE_BYTES_TEXTBOX->text(), QStringLiteral("3 B  "));

    // A failed pass followed by a failed write shows the first failure.
    runNow();
    EXPECT_EQ(status(), QStringLiteral("!!! ERROR - TARGET NOT FOUND !!!"));
}

TEST_F(MeasurementRunTest, FailureInTheAutocloseHandOverKeepsTheErrorTextAndStillCounts)
{
    app.store(QStringLiteral("AUTOCLOSE_TICKBOX"), QStringLiteral("1"));
    launch(QString());
    app.form().USE_FILE_TICKBOX->click();
    app.sizes().answers = {FakeSizeQuery::failure(SizeError::NotFound, "no such file")};
    runNow();
    EXPECT_EQ(status(), QStringLiteral("!!! ERROR - TARGET NOT FOUND !!!"));
    EXPECT_TRUE(app.timers().AUTOCLOSE_TIMER->isEnabled());
    EXPECT_FALSE(app.form().RUN_NOW_BUTTON->isEnabled());
}

TEST_F(MeasurementRunTest, LastRunFailedFollowsTheLatestRun)
{
    launch(QStringLiteral("/f"));
    AppHarness &h = app;
    h.form().USE_FILE_TICKBOX->click();
    h.sizes().answers = {FakeSizeQuery::failure(SizeError::NotFound, "x"),
                         FakeSizeQuery::answer(1)};
    runNow();
    EXPECT_EQ(status(), QStringLiteral("!!! ERROR - TARGET NOT FOUND !!!"));
    EXPECT_TRUE(h.controller().lastRunFailed());
    runNow();
    EXPECT_EQ(status(), QStringLiteral("READY..."));
    EXPECT_FALSE(h.controller().lastRunFailed());
}

TEST_F(MeasurementRunTest, RefusedSettingsWritesDoNotStopTheRun)
{
    QFile blocker(app.configDir() + QStringLiteral("/blocker"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    app.setIniPath(blocker.fileName() + QStringLiteral("/ZEMRA/ZEMRA.ini"));
    app.launch();
    app.form().USE_FILE_TICKBOX->click();
    app.form().LOGFILE_TEXTBOX->setText(QStringLiteral("/tmp/x.log"));
    app.sizes().answers = {FakeSizeQuery::answer(10)};
    runNow();
    EXPECT_EQ(status(), QStringLiteral("READY..."));
    EXPECT_EQ(app.writer().writes().size(), 1);
}
