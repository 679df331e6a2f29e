#include "AppHarness.h"

#include "ui/TextBox.h"
#include "ui/TickBox.h"

#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

// A run whose size query is still under way: the query is held in the work queue until the
// test lets it answer.
namespace {

const QString Ready = QStringLiteral("READY...");
const QString Running = QStringLiteral(" - !!! - RUNNING - !!! - ");
const QString EarlierDisplay = QStringLiteral("earlier figures");

class MeasurementInProgressTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        app.store(QStringLiteral("FF_LOCATION_TEXTBOX"), QStringLiteral("/data/big.bin"));
        app.store(QStringLiteral("LOGFILE_TEXTBOX"), QStringLiteral("/tmp/zemra.log"));
        app.launch();
        app.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&app.window()));
        app.form().USE_FILE_TICKBOX->click();
        app.form().OUTPUT_WINDOW_TEXTBOX->setText(EarlierDisplay);
        app.workQueue().hold();
    }

    // Run Now, and three seconds later the run starts its query, which waits.
    void startHeldRun()
    {
        app.form().RUN_NOW_BUTTON->click();
        app.clock().advance(3000);
        ASSERT_EQ(app.workQueue().waiting(), 1u);
        ASSERT_NE(app.sizes().latest, nullptr);
    }

    // The held query answers, and then the log write it leads to happens.
    void answerAndWrite()
    {
        ASSERT_TRUE(app.workQueue().finishNext()) << "no query was waiting";
        ASSERT_TRUE(app.workQueue().finishNext()) << "no log write followed the answer";
    }

    QString status() { return app.form().CURRENT_STATUS_LABEL->text(); }
    QString display() { return app.form().OUTPUT_WINDOW_TEXTBOX->text(); }
    void stopClick() { QTest::mouseClick(app.form().AUTO_STARTS_STOPS_BUTTON, Qt::LeftButton); }

    AppHarness app;
};

} // namespace

TEST_F(MeasurementInProgressTest, RunWaitsForTheAnswerThenCompletesInOrder)
{
    app.sizes().answers = {FakeSizeQuery::answer(1234)};
    startHeldRun();

    EXPECT_EQ(status(), Running);
    EXPECT_TRUE(app.writer().writes().isEmpty());
    EXPECT_EQ(app.stored(QStringLiteral("FF_LOCATION_TEXTBOX")).toString(),
              QStringLiteral("/data/big.bin"));
    EXPECT_EQ(app.window().cursor().shape(), Qt::BusyCursor);
    EXPECT_FALSE(app.form().RUN_NOW_BUTTON->isEnabled());

    ASSERT_TRUE(app.workQueue().finishNext());
    EXPECT_EQ(app.form().FILE_SIZE_BYTES_TEXTBOX->text(), QStringLiteral("1,234 B  "));
    // The log file is written away from the window too, which stays locked meanwhile.
    EXPECT_TRUE(app.writer().writes().isEmpty());
    EXPECT_EQ(status(), Running);
    EXPECT_FALSE(app.form().RUN_NOW_BUTTON->isEnabled());
    ASSERT_TRUE(app.workQueue().finishNext());
    ASSERT_EQ(app.writer().writes().size(), 1);
    EXPECT_EQ(app.writer().writes()[0].text, app.form().LOG_FILE_OUTPUT_TEXTBOX->text());
    EXPECT_EQ(status(), Ready);
    EXPECT_TRUE(app.form().RUN_NOW_BUTTON->isEnabled());
    EXPECT_EQ(app.form().AUTO_STARTS_STOPS_BUTTON->text(), QStringLiteral("START"));
    EXPECT_FALSE(app.timers().FILE_FOLDER_SIZER_TIMER->isEnabled());
    EXPECT_NE(app.window().cursor().shape(), Qt::BusyCursor);
    EXPECT_FALSE(app.controller().lastRunFailed());
}

TEST_F(MeasurementInProgressTest, TimerStartsNoSecondRunButARequestMadeMeanwhileIsServedAfter)
{
    app.sizes().answers = {FakeSizeQuery::answer(1), FakeSizeQuery::answer(2)};
    startHeldRun();
    app.clock().advance(30000);
    EXPECT_EQ(app.sizes().instancesCreated, 1);

    // A run requested while the query waits (the request enables the timer) ticks in vain
    // until the first run has ended, and then happens once.
    app.timers().FILE_FOLDER_SIZER_TIMER->setEnabled(true);
    app.clock().advance(9000);
    EXPECT_EQ(app.sizes().instancesCreated, 1);
    ASSERT_TRUE(app.workQueue().finishNext());
    // Nor does it start while the first run writes its log.
    app.clock().advance(9000);
    EXPECT_EQ(app.sizes().instancesCreated, 1);
    ASSERT_TRUE(app.workQueue().finishNext());
    EXPECT_EQ(app.writer().writes().size(), 1);
    EXPECT_TRUE(app.timers().FILE_FOLDER_SIZER_TIMER->isEnabled());

    app.clock().advance(3000);
    EXPECT_EQ(app.sizes().instancesCreated, 2);
    answerAndWrite();
    EXPECT_EQ(app.writer().writes().size(), 2);
    app.clock().advance(30000);
    EXPECT_EQ(app.sizes().instancesCreated, 2);
    EXPECT_FALSE(app.timers().FILE_FOLDER_SIZER_TIMER->isEnabled());
}

TEST_F(MeasurementInProgressTest, StopCancelsTheQueryAndWritesNoLog)
{
    app.sizes().answers = {FakeSizeQuery::answer(99)};
    startHeldRun();
    stopClick();

    EXPECT_TRUE(app.sizes().latest->control().cancelRequested());
    EXPECT_EQ(status(), Ready);
    EXPECT_EQ(app.form().AUTO_STARTS_STOPS_BUTTON->text(), QStringLiteral("START"));
    EXPECT_TRUE(app.form().RUN_NOW_BUTTON->isEnabled());
    for (const Timer *timer : {app.timers().AUTOSTART_TIMER, app.timers().FILE_FOLDER_SIZER_TIMER,
                               app.timers().AUTOCLOSE_TIMER})
        EXPECT_FALSE(timer->isEnabled()) << timer->objectName().toStdString();
    EXPECT_EQ(display(), EarlierDisplay);
    EXPECT_NE(app.window().cursor().shape(), Qt::BusyCursor);

    // The query ends on its own thread later; nothing of the run follows.
    ASSERT_TRUE(app.workQueue().finishNext());
    app.clock().advance(30000);
    EXPECT_TRUE(app.writer().writes().isEmpty());
    EXPECT_EQ(status(), Ready);
    EXPECT_EQ(display(), EarlierDisplay);
    EXPECT_TRUE(app.form().FILE_SIZE_BYTES_TEXTBOX->text().isEmpty());
    EXPECT_TRUE(app.controller().lastRunFailed());
}

TEST_F(MeasurementInProgressTest, ClosingCancelsTheQueryAndStillSavesTheSettings)
{
    app.sizes().answers = {FakeSizeQuery::answer(99)};
    startHeldRun();
    QTest::mouseClick(app.form().AUTOCLOSE_TICKBOX, Qt::LeftButton);
    app.close();

    EXPECT_FALSE(app.window().isVisible());
    EXPECT_TRUE(app.sizes().latest->control().cancelRequested());
    EXPECT_EQ(app.stored(QStringLiteral("AUTOCLOSE_TICKBOX")).toString(), QStringLiteral("0"))
        << "input during the query is ignored, so the tick did not change";
    EXPECT_EQ(app.stored(QStringLiteral("USE_FILE_TICKBOX")).toString(), QStringLiteral("1"));
    ASSERT_TRUE(app.workQueue().finishNext());
    EXPECT_TRUE(app.writer().writes().isEmpty());
    EXPECT_TRUE(app.controller().lastRunFailed());
}

TEST_F(MeasurementInProgressTest, ProgressShowsBytesSoFarFromHalfASecondAndEndsAtTheFinalLines)
{
    app.sizes().answers = {FakeSizeQuery::answer(5000000)};
    startHeldRun();
    SizeQueryControl &control = app.sizes().latest->control();
    control.addFound(10, 1234567);

    app.clock().advance(499);
    EXPECT_EQ(display(), EarlierDisplay);
    app.clock().advance(1);
    EXPECT_EQ(display(), QStringLiteral("1,234,567 B  "));

    // At most five updates a second: count the changes over one second of steady growth.
    int updates = 0;
    QString shown = display();
    for (int ms = 0; ms < 1000; ms += 10) {
        control.addFound(1, 1);
        app.clock().advance(10);
        if (display() != shown) {
            ++updates;
            shown = display();
        }
    }
    EXPECT_EQ(updates, 5);

    answerAndWrite();
    EXPECT_EQ(display().split(QStringLiteral("\r\n")).size(), 6);
    EXPECT_TRUE(display().startsWith(QStringLiteral("5,000,000 B  \r\n5,000. KB")));
    const QString final = display();
    app.clock().advance(5000);
    EXPECT_EQ(display(), final);
    EXPECT_EQ(app.writer().writes()[0].text.count(QStringLiteral("1,234,")), 0);
}

TEST_F(MeasurementInProgressTest, InputOtherThanStopIsIgnoredNotQueued)
{
    app.sizes().answers = {FakeSizeQuery::answer(1)};
    startHeldRun();
    Ui::ZEMRA_MAIN &f = app.form();
    QSignalSpy logOutputClicks(f.LOG_OUTPUT_BUTTON, &QPushButton::clicked);

    QTest::mouseClick(f.USE_FILE_TICKBOX, Qt::LeftButton);
    QTest::mouseClick(f.AUTOCLOSE_TICKBOX, Qt::LeftButton);
    // Should the click get through, the modal window it opens is closed again as soon as it
    // is up, so that the test fails instead of waiting for it. The timer ends with the test:
    // it never closes a window of a later test.
    bool opened = false;
    QTimer closeModal;
    QObject::connect(&closeModal, &QTimer::timeout, [&opened] {
        if (QWidget *modal = QApplication::activeModalWidget()) {
            opened = true;
            modal->close();
        }
    });
    closeModal.start(10);
    QTest::mouseClick(f.LOG_OUTPUT_BUTTON, Qt::LeftButton);
    closeModal.stop();
    EXPECT_FALSE(opened) << "the log output window opened during the run";
    f.LOGFILE_TEXTBOX->setFocus();
    QTest::keyClicks(f.LOGFILE_TEXTBOX, QStringLiteral("x"));
    QTest::keyClick(f.LOGFILE_TEXTBOX, Qt::Key_Backspace);
    QCoreApplication::processEvents();

    EXPECT_EQ(TickBox::value(*f.USE_FILE_TICKBOX), 1);
    EXPECT_EQ(TickBox::value(*f.AUTOCLOSE_TICKBOX), 0);
    EXPECT_EQ(logOutputClicks.size(), 0);
    EXPECT_EQ(f.LOGFILE_TEXTBOX->text(), QStringLiteral("/tmp/zemra.log"));

    // Once the run has ended, the same input works again.
    answerAndWrite();
    QTest::mouseClick(f.AUTOCLOSE_TICKBOX, Qt::LeftButton);
    EXPECT_EQ(TickBox::value(*f.AUTOCLOSE_TICKBOX), 1);
    EXPECT_EQ(app.writer().writes()[0].path, QStringLiteral("/tmp/zemra.log"));
}

TEST_F(MeasurementInProgressTest, StopDuringTheFolderPassEndsTheWholeRun)
{
    app.form().USE_FILE_TICKBOX->click();
    app.form().USE_FOLDER_TICKBOX->click();
    app.sizes().answers = {FakeSizeQuery::answer(7)};
    startHeldRun();
    EXPECT_EQ(status(), QStringLiteral("MANUAL RUN"));
    stopClick();
    ASSERT_TRUE(app.workQueue().finishNext());
    EXPECT_FALSE(app.workQueue().finishNext());
    EXPECT_EQ(app.sizes().calls.size(), 1u);
    EXPECT_TRUE(app.writer().writes().isEmpty());
    EXPECT_EQ(status(), Ready);
}
