#include "AppHarness.h"

#include <gtest/gtest.h>

#include <csignal>

using namespace Qt::Literals::StringLiterals;

namespace {

// Collects the program's messages while it lives.
class Warnings
{
public:
    Warnings() : m_previous(qInstallMessageHandler(collect)) { s_lines.clear(); }
    ~Warnings() { qInstallMessageHandler(m_previous); }
    [[nodiscard]] const QStringList &lines() const { return s_lines; }

private:
    static void collect(QtMsgType, const QMessageLogContext &, const QString &message)
    {
        s_lines.append(message);
    }
    static inline QStringList s_lines;
    QtMessageHandler m_previous;
};

class StuckQueryTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        app.store(u"USE_FOLDER_TICKBOX"_s, u"1"_s);
        app.store(u"FF_LOCATION_TEXTBOX"_s, u"/mnt/share"_s);
        app.store(u"LOGFILE_TEXTBOX"_s, u"/tmp/run.log"_s);
        app.launch();
        app.show();
        // Queries never answer until the test lets them.
        app.workQueue().hold();
    }
    // Run Now, three seconds, and the query under way says where it waits.
    void startStuckRun()
    {
        app.form().RUN_NOW_BUTTON->click();
        app.clock().advance(3000);
        ASSERT_NE(app.sizes().latest, nullptr);
        app.sizes().latest->control().whereabouts().report(1, "/mnt/share/dead");
    }
    QString status() { return app.form().CURRENT_STATUS_LABEL->text(); }

    AppHarness app;
};

} // namespace

TEST_F(StuckQueryTest, StopAbandonsAQueryAndPastTheLimitARunFailsNamingTheFolder)
{
    for (std::size_t i = 0; i < MeasurementRun::MaxAbandoned; ++i) {
        startStuckRun();
        // Each run has a query of its own, however many are stuck before it.
        EXPECT_EQ(app.sizes().instancesCreated, int(i + 1));
        app.form().AUTO_STARTS_STOPS_BUTTON->click();
        EXPECT_EQ(status(), u"READY..."_s);
        EXPECT_TRUE(app.form().RUN_NOW_BUTTON->isEnabled());
    }
    app.form().RUN_NOW_BUTTON->click();
    app.clock().advance(3000);
    EXPECT_EQ(app.sizes().instancesCreated, int(MeasurementRun::MaxAbandoned));
    // Its error report goes to the log file away from the window, which answers STOP
    // meanwhile however long that takes.
    EXPECT_TRUE(app.writer().writes().empty());
    EXPECT_TRUE(app.form().AUTO_STARTS_STOPS_BUTTON->isEnabled());

    // The stuck queries answer at last: their answers are ignored, and the report is written.
    for (std::size_t i = 0; i < MeasurementRun::MaxAbandoned; ++i)
        ASSERT_TRUE(app.workQueue().finishNext());
    EXPECT_TRUE(app.writer().writes().empty());
    ASSERT_TRUE(app.workQueue().finishNext());
    EXPECT_TRUE(app.writer().writes().size() == 1) << "only the failed run wrote its report";
    EXPECT_EQ(status(), u"!!! ERROR - SIZING FAILED !!!"_s);
    EXPECT_TRUE(app.form().CURRENT_STATUS_LABEL->toolTip().contains(
        u"8 earlier measurements are still waiting on '/mnt/share/dead'"_s));
    EXPECT_TRUE(app.controller().lastRunFailed());

    // With no query left behind, a run can start again.
    startStuckRun();
    EXPECT_EQ(app.sizes().instancesCreated, int(MeasurementRun::MaxAbandoned) + 1);
    EXPECT_EQ(status(), u"MANUAL RUN"_s);
}

// A log file on a mount that stopped answering holds its write, not the window: STOP and
// close abandon the write as they abandon a query, and abandoned writes count towards the
// same limit.
TEST_F(StuckQueryTest, ALogWriteThatWaitsIsAbandonedLikeAQuery)
{
    Warnings warnings;
    const auto runToTheWrite = [&] {
        // The abandoned writes before it wait in the queue too, oldest first.
        app.sizes().answers = {FakeSizeQuery::answer(7)};
        app.form().RUN_NOW_BUTTON->click();
        app.clock().advance(3000);
        const std::size_t abandoned = app.workQueue().waiting() - 1;
        ASSERT_TRUE(app.workQueue().finishLatest()); // the query answers; the write waits
        ASSERT_EQ(app.workQueue().waiting(), abandoned + 1);
        EXPECT_FALSE(app.form().RUN_NOW_BUTTON->isEnabled());
    };
    for (std::size_t i = 0; i < MeasurementRun::MaxAbandoned; ++i) {
        runToTheWrite();
        app.form().AUTO_STARTS_STOPS_BUTTON->click();
        EXPECT_EQ(status(), u"READY..."_s);
        EXPECT_TRUE(app.form().CURRENT_STATUS_LABEL->toolTip().contains(
            u"may or may not hold the new run log"_s));
    }
    app.form().RUN_NOW_BUTTON->click();
    app.clock().advance(3000);
    EXPECT_EQ(app.sizes().instancesCreated, int(MeasurementRun::MaxAbandoned))
        << "past the limit no new query starts";

    // A late end of an abandoned write changes nothing on the window.
    ASSERT_TRUE(app.workQueue().finishNext());
    EXPECT_EQ(status(), u"MANUAL RUN"_s);

    // Closing while a write waits ends at once and says what became of the log.
    app.controller().closeOnSignal(SIGTERM);
    EXPECT_FALSE(app.window().isVisible());
    EXPECT_EQ(warnings.lines().filter(u"log file write cancelled by SIGTERM"_s).size(), 1)
        << warnings.lines().join(u'\n').toStdString();
}

TEST_F(StuckQueryTest, AStalledQueryNamesItsFolderOncePerStall)
{
    Warnings warnings;
    startStuckRun();
    const auto stalls = [&] {
        return warnings.lines().filter(u"no progress for 30 s"_s);
    };
    app.clock().advance(29000);
    EXPECT_TRUE(stalls().isEmpty());
    app.clock().advance(1500);
    ASSERT_EQ(stalls().size(), 1);
    EXPECT_TRUE(stalls()[0].contains(u"'/mnt/share/dead'"_s)) << stalls()[0].toStdString();
    app.clock().advance(120000);
    EXPECT_EQ(stalls().size(), 1);
    // It moves, then stalls again elsewhere.
    app.sizes().latest->control().addFound(1, 10);
    app.sizes().latest->control().whereabouts().report(1, "/mnt/share/other");
    app.clock().advance(1000);
    EXPECT_EQ(stalls().size(), 1);
    app.clock().advance(30000);
    ASSERT_EQ(stalls().size(), 2);
    EXPECT_TRUE(stalls()[1].contains(u"'/mnt/share/other'"_s));
}

TEST_F(StuckQueryTest, ASignalClosesLikeTheCloseBoxAndSetsTheExitStatus)
{
    startStuckRun();
    app.form().LOGFILE_TEXTBOX->setText(u"/tmp/changed.log"_s);
    app.controller().closeOnSignal(SIGTERM);
    EXPECT_FALSE(app.window().isVisible());
    EXPECT_TRUE(app.writer().writes().empty()) << "a cancelled run writes no log";
    EXPECT_EQ(app.stored(u"LOGFILE_TEXTBOX"_s).toString(), u"/tmp/changed.log"_s);
    EXPECT_EQ(app.controller().exitStatus(0), 128 + SIGTERM);
}

TEST(ExitStatusTest, SignalThenEventLoopThenTheLastRun)
{
    constexpr int HangUp = 1; // SIGHUP, which Windows' C library does not name
    struct Case
    {
        int signalNumber; // 0: none
        bool runFails;
        int eventLoop;
        int status;
    };
    const Case cases[] = {
        {0, false, 0, 0},        {0, true, 0, 1},        {0, false, 3, 3},
        {HangUp, false, 0, 129}, {SIGINT, true, 0, 130}, {SIGTERM, false, 3, 143},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.signalNumber << c.runFails << c.eventLoop);
        AppHarness app;
        app.store(u"USE_FILE_TICKBOX"_s, u"1"_s);
        app.launch();
        app.show();
        app.sizes().answers = {c.runFails ? FakeSizeQuery::failure(SizeError::NotFound, "gone")
                                          : FakeSizeQuery::answer(1)};
        app.form().RUN_NOW_BUTTON->click();
        app.clock().advance(3000);
        if (c.signalNumber != 0)
            app.controller().closeOnSignal(c.signalNumber);
        EXPECT_EQ(app.controller().exitStatus(c.eventLoop), c.status);
    }
}
