#include "AppHarness.h"

#include "ui/TickBox.h"

#include <gtest/gtest.h>

namespace {

struct RunState
{
    QString status;
    QString button;
    bool runNowEnabled;
    bool autostart;
    bool sizer;
    bool autoclose;

    bool operator==(const RunState &) const = default;
};

void PrintTo(const RunState &s, std::ostream *os)
{
    *os << '"' << s.status.toStdString() << "\" \"" << s.button.toStdString()
        << "\" runNow=" << s.runNowEnabled << " autostart=" << s.autostart << " sizer=" << s.sizer
        << " autoclose=" << s.autoclose;
}

RunState state(AppHarness &app)
{
    Ui::ZEMRA_MAIN &f = app.form();
    return {f.CURRENT_STATUS_LABEL->text(),
            f.AUTO_STARTS_STOPS_BUTTON->text(),
            f.RUN_NOW_BUTTON->isEnabled(),
            app.timers().AUTOSTART_TIMER->isEnabled(),
            app.timers().FILE_FOLDER_SIZER_TIMER->isEnabled(),
            app.timers().AUTOCLOSE_TIMER->isEnabled()};
}

const QString Ready = QStringLiteral("READY...");
const QString Starting = QStringLiteral("!!! STARTING !!!");
const QString Autostarting = QStringLiteral("!!! AUTOSTARTING - 10 SECS !!!");
const QString RunningNow = QStringLiteral("!!! RUNNING NOW !!!");
const QString ManualRun = QStringLiteral("MANUAL RUN");
const QString Autoclosing = QStringLiteral("!!! AUTOCLOSING - 10 SECS !!!");
const QString Start = QStringLiteral("START");
const QString Stop = QStringLiteral("STOP");

const RunState ReadyState{Ready, Start, true, false, false, false};

class RunControlTest : public ::testing::Test
{
protected:
    // fileTicked: FILE-Size is stored ticked and every run measures a file (a run that
    // measures nothing fails), unless a test needs it unticked.
    void launch(bool autostart = false, bool autoclose = false, bool fileTicked = true)
    {
        if (autostart)
            app.store(QStringLiteral("AUTOSTART_TICKBOX"), QStringLiteral("1"));
        if (autoclose)
            app.store(QStringLiteral("AUTOCLOSE_TICKBOX"), QStringLiteral("1"));
        if (fileTicked)
            app.store(QStringLiteral("USE_FILE_TICKBOX"), QStringLiteral("1"));
        app.store(QStringLiteral("LOGFILE_TEXTBOX"), QStringLiteral("/tmp/run.log"));
        app.sizes().answers.assign(8, FakeSizeQuery::answer(1));
        app.launch();
        app.show();
    }
    int runs() { return int(app.writer().writes().size()); }

    AppHarness app;
};

} // namespace

TEST_F(RunControlTest, RunNowRequestsOneRunThreeSecondsLater)
{
    launch();
    app.form().RUN_NOW_BUTTON->click();
    EXPECT_EQ(state(app), (RunState{ManualRun, Stop, false, false, true, false}));
    app.clock().advance(2999);
    EXPECT_EQ(runs(), 0);
    app.clock().advance(1);
    EXPECT_EQ(runs(), 1);
    EXPECT_EQ(state(app), ReadyState);
    app.clock().advance(60000);
    EXPECT_EQ(runs(), 1);
}

TEST_F(RunControlTest, StartWithoutAutoStartCountsDownThenRunsUnlocked)
{
    launch();
    app.form().AUTO_STARTS_STOPS_BUTTON->click();
    EXPECT_EQ(state(app), (RunState{Starting, Stop, false, true, false, false}));
    app.clock().advance(9999);
    EXPECT_EQ(state(app), (RunState{Starting, Stop, false, true, false, false}));
    app.clock().advance(1);
    EXPECT_EQ(state(app), (RunState{Starting, Start, false, false, true, false}));
    EXPECT_FALSE(app.form().FF_LOCATION_TEXTBOX->isReadOnly());
    EXPECT_EQ(app.stored(QStringLiteral("LOGFILE_TEXTBOX")).toString(),
              QStringLiteral("/tmp/run.log"));
    app.clock().advance(3000);
    EXPECT_EQ(runs(), 1);
    EXPECT_EQ(state(app), ReadyState);
}

TEST_F(RunControlTest, AutostartLocksThePathUntilAnUntickedCountdownEnds)
{
    launch(true);
    app.form().FF_LOCATION_TEXTBOX->setText(QStringLiteral("/typed/during/countdown"));
    app.clock().advance(10000);
    EXPECT_EQ(state(app), (RunState{RunningNow, Stop, false, false, true, false}));
    EXPECT_TRUE(app.form().FF_LOCATION_TEXTBOX->isReadOnly());
    EXPECT_EQ(app.stored(QStringLiteral("FF_LOCATION_TEXTBOX")).toString(),
              QStringLiteral("/typed/during/countdown"));

    app.clock().advance(3000);
    EXPECT_EQ(runs(), 1);
    EXPECT_EQ(state(app), ReadyState);
    EXPECT_TRUE(app.form().FF_LOCATION_TEXTBOX->isReadOnly());
    app.form().AUTO_STARTS_STOPS_BUTTON->click();
    app.form().AUTO_STARTS_STOPS_BUTTON->click();
    EXPECT_TRUE(app.form().FF_LOCATION_TEXTBOX->isReadOnly());

    // A countdown that ends with AutoStart unticked unlocks it.
    app.form().AUTOSTART_TICKBOX->click();
    app.form().AUTO_STARTS_STOPS_BUTTON->click();
    app.clock().advance(10000);
    EXPECT_FALSE(app.form().FF_LOCATION_TEXTBOX->isReadOnly());
}

TEST_F(RunControlTest, UntickingAutoStartDuringTheCountdownDoesNotCancelIt)
{
    launch(true);
    app.form().AUTOSTART_TICKBOX->click();
    app.clock().advance(10000);
    EXPECT_EQ(state(app), (RunState{Autostarting, Start, false, false, true, false}));
    app.clock().advance(3000);
    EXPECT_EQ(runs(), 1);
}

TEST_F(RunControlTest, StopInEveryWaitingStateReturnsToReadyAndSavesNothing)
{
    const std::function<void(AppHarness &)> reach[] = {
        [](AppHarness &) {}, // autostart
        [](AppHarness &a) {
            a.form().AUTO_STARTS_STOPS_BUTTON->click(); // STOP, then
            a.form().AUTO_STARTS_STOPS_BUTTON->click();
        },                                               // start countdown
        [](AppHarness &a) { a.clock().advance(10000); }, // pending, "STOP"
        [](AppHarness &a) {
            a.form().AUTOCLOSE_TICKBOX->click(); // autoclose
            a.clock().advance(13000);
        },
    };
    for (std::size_t i = 0; i < std::size(reach); ++i) {
        AppHarness app;
        app.store(QStringLiteral("AUTOSTART_TICKBOX"), QStringLiteral("1"));
        app.launch();
        app.show();
        reach[i](app);
        ASSERT_EQ(app.form().AUTO_STARTS_STOPS_BUTTON->text(), Stop) << "case " << i;
        const int runsBefore = int(app.writer().writes().size());
        QFile::remove(app.iniPath());

        app.form().AUTO_STARTS_STOPS_BUTTON->click();
        EXPECT_EQ(state(app), ReadyState) << "case " << i;
        EXPECT_FALSE(QFile::exists(app.iniPath())) << "case " << i;
        app.clock().advance(60000);
        EXPECT_EQ(int(app.writer().writes().size()), runsBefore) << "case " << i;
        EXPECT_TRUE(app.window().isVisible()) << "case " << i;
    }
}

TEST_F(RunControlTest, AutocloseWaitsWhileUntickedAndClosesAtTheNextTickOnceTickedAgain)
{
    launch(false, true);
    app.form().RUN_NOW_BUTTON->click();
    app.clock().advance(3000);
    EXPECT_EQ(state(app), (RunState{Autoclosing, Stop, false, false, false, true}));

    app.form().AUTOCLOSE_TICKBOX->click();
    app.clock().advance(30000);
    EXPECT_TRUE(app.window().isVisible());
    EXPECT_EQ(state(app), (RunState{Autoclosing, Stop, false, false, false, true}));

    app.form().AUTOCLOSE_TICKBOX->click();
    app.form().FF_LOCATION_TEXTBOX->setText(QStringLiteral("/saved/at/close"));
    app.clock().advance(10000);
    EXPECT_FALSE(app.window().isVisible());
    EXPECT_EQ(app.stored(QStringLiteral("AUTOCLOSE_TICKBOX")).toString(), QStringLiteral("1"));
    EXPECT_EQ(app.stored(QStringLiteral("FF_LOCATION_TEXTBOX")).toString(),
              QStringLiteral("/saved/at/close"));
    EXPECT_TRUE(app.isStored(QStringLiteral("MAIN-Left")));
}

TEST_F(RunControlTest, TickingAutoCloseWhileReadyStartsNothing)
{
    launch();
    app.form().AUTOCLOSE_TICKBOX->click();
    app.clock().advance(60000);
    EXPECT_EQ(state(app), ReadyState);
    EXPECT_TRUE(app.window().isVisible());
}

TEST_F(RunControlTest, StartWhileARunIsPendingKeepsThatRunAndRequestsAnother)
{
    launch();
    app.form().AUTO_STARTS_STOPS_BUTTON->click();
    app.clock().advance(10000); // countdown ends unticked: run pending, caption "START"
    ASSERT_EQ(app.form().AUTO_STARTS_STOPS_BUTTON->text(), Start);
    app.form().AUTO_STARTS_STOPS_BUTTON->click();
    EXPECT_EQ(state(app), (RunState{Starting, Stop, false, true, true, false}));

    app.clock().advance(3000);
    EXPECT_EQ(runs(), 1);
    EXPECT_EQ(state(app), (RunState{Ready, Start, true, true, false, false}));
    app.clock().advance(7000); // ten seconds after the START click
    EXPECT_TRUE(app.timers().FILE_FOLDER_SIZER_TIMER->isEnabled());
    app.clock().advance(3000);
    EXPECT_EQ(runs(), 2);
}

TEST_F(RunControlTest, RunNowDuringTheStartupCountdownGivesTwoRuns)
{
    launch(true, false, false);
    app.form().USE_FILE_TICKBOX->click(); // re-enables Run Now
    app.sizes().answers = {FakeSizeQuery::answer(1), FakeSizeQuery::answer(2)};
    app.form().RUN_NOW_BUTTON->click();
    app.clock().advance(3000);
    EXPECT_EQ(runs(), 1);
    EXPECT_TRUE(app.timers().AUTOSTART_TIMER->isEnabled());
    app.clock().advance(10000);
    EXPECT_EQ(runs(), 2);
}

TEST_F(RunControlTest, GreyTickValuesCountAsUntickedInBothCountdowns)
{
    app.store(QStringLiteral("AUTOCLOSE_TICKBOX"), QStringLiteral("2"));
    launch();
    TickBox::setValue(*app.form().AUTOSTART_TICKBOX, 2);
    app.form().AUTO_STARTS_STOPS_BUTTON->click();
    app.clock().advance(10000);
    EXPECT_FALSE(app.form().FF_LOCATION_TEXTBOX->isReadOnly());
    EXPECT_EQ(app.form().AUTO_STARTS_STOPS_BUTTON->text(), Start);
    app.clock().advance(3000);
    EXPECT_EQ(state(app), ReadyState);
    EXPECT_TRUE(app.window().isVisible());
}

TEST_F(RunControlTest, InertControlsNeverRunAnything)
{
    launch();
    app.form().AUTOUPDATE_5MIN_TICKBOX->setEnabled(true);
    app.form().AUTOUPDATE_5MIN_TICKBOX->click();
    app.form().AUTOUPDATE_LOG_TICKBOX->setEnabled(true);
    app.form().AUTOUPDATE_LOG_TICKBOX->click();
    app.clock().advance(10 * 60 * 1000);
    EXPECT_EQ(runs(), 0);
    EXPECT_FALSE(app.timers().FIVE_MIN_REPEAT_TIMER->isEnabled());
    EXPECT_EQ(state(app), ReadyState);
}
