#include "AppHarness.h"
#include "ModalWindow.h"

#include "platform/NativeWindow.h"
#include "platform/QtFlagZOrder.h"

#include <QTest>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

using Kind = RecordingZOrder::Kind;
using Call = RecordingZOrder::Call;

// Stands for the main window's native id in the tables below.
constexpr NativeWindowId Ours = ~NativeWindowId(0);
constexpr NativeWindowId OtherA = 0x2a00001;
constexpr NativeWindowId OtherB = 0x3c00007;

class AlwaysOnTopTest : public ::testing::Test
{
protected:
    // A first launch with an empty store, or with the tickbox stored as given.
    void launch(const QString &storedTick = {})
    {
        m_app = std::make_unique<AppHarness>();
        AppHarness &app = *m_app;
        if (!storedTick.isEmpty())
            app.store(u"AlwaysOnTopTimer_TICKBOX"_s, storedTick);
        app.launch();
        app.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&app.window()));
        ours = NativeWindow::id(app.window());
        ASSERT_NE(ours, 0u);
    }
    NativeWindowId resolve(NativeWindowId window) const { return window == Ours ? ours : window; }
    QList<Call> resolve(const QList<Call> &calls) const
    {
        QList<Call> resolved;
        for (const Call &call : calls)
            resolved.append({call.kind, resolve(call.window)});
        return resolved;
    }
    int promotions() const
    {
        const QList<Call> &calls = m_app->zOrder().calls();
        return int(std::count_if(calls.begin(), calls.end(),
                                 [](const Call &call) { return call.kind == Kind::Promote; }));
    }
    [[nodiscard]] AppHarness &app() { return *m_app; }

    std::unique_ptr<AppHarness> m_app;
    NativeWindowId ours = 0;
};

} // namespace

TEST_F(AlwaysOnTopTest, EachTickDemotesTheForegroundWindowThenPromotesOurs)
{
    const struct
    {
        const char *name;
        QList<NativeWindowId> foregroundAnswers;
        QList<Call> expected;
        bool oursTopmost;
    } cases[] = {
        {"ours in the foreground: no z-order call", {Ours}, {{Kind::Foreground, Ours}}, false},
        {"another window in the foreground",
         {OtherA, OtherA},
         {{Kind::Foreground, OtherA},
          {Kind::Foreground, OtherA},
          {Kind::Demote, OtherA},
          {Kind::Promote, Ours}},
         true},
        {"the foreground changes between the two queries: the second answer is demoted",
         {OtherA, OtherB},
         {{Kind::Foreground, OtherA},
          {Kind::Foreground, OtherB},
          {Kind::Demote, OtherB},
          {Kind::Promote, Ours}},
         true},
        {"the second answer is ours: ours is demoted, then promoted again",
         {OtherA, Ours},
         {{Kind::Foreground, OtherA},
          {Kind::Foreground, Ours},
          {Kind::Demote, Ours},
          {Kind::Promote, Ours}},
         true},
        {"no foreground window: the null demotion is made and ours still promoted",
         {0, 0},
         {{Kind::Foreground, 0}, {Kind::Foreground, 0}, {Kind::Demote, 0}, {Kind::Promote, Ours}},
         true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        launch();
        QList<NativeWindowId> answers;
        for (NativeWindowId answer : c.foregroundAnswers)
            answers.append(resolve(answer));
        app().zOrder().queueForeground(answers);
        // Any further query finds ours in the foreground and ends the tick.
        app().zOrder().setForeground(ours);

        app().clock().advance(999);
        EXPECT_TRUE(app().zOrder().calls().isEmpty());
        app().clock().advance(1);
        EXPECT_EQ(app().zOrder().calls(), resolve(c.expected));
        EXPECT_EQ(app().zOrder().isTopmost(ours), c.oursTopmost);
    }
}

TEST_F(AlwaysOnTopTest, TicksOncePerSecondWhileTicked)
{
    launch();
    app().zOrder().setForeground(OtherA);
    app().clock().advance(4500);
    EXPECT_EQ(promotions(), 4);
    EXPECT_EQ(app().window().pos(), QPoint(67, 67));
}

TEST_F(AlwaysOnTopTest, StoredUntickedNeverTicksUntilTheUserTicksIt)
{
    launch(u"0"_s);
    app().zOrder().setForeground(OtherA);
    app().clock().advance(10000);
    EXPECT_TRUE(app().zOrder().calls().isEmpty());
    EXPECT_FALSE(app().zOrder().isTopmost(ours));

    app().form().AlwaysOnTopTimer_TICKBOX->click();
    app().clock().advance(1000);
    EXPECT_EQ(promotions(), 1);
    EXPECT_TRUE(app().zOrder().isTopmost(ours));
}

TEST_F(AlwaysOnTopTest, UntickingStopsTheTicksAndLeavesOursTopmost)
{
    launch();
    app().zOrder().setForeground(OtherA);
    app().clock().advance(1000);
    ASSERT_TRUE(app().zOrder().isTopmost(ours));

    app().form().AlwaysOnTopTimer_TICKBOX->click();
    app().zOrder().clearCalls();
    app().clock().advance(10000);
    EXPECT_TRUE(app().zOrder().calls().isEmpty());
    EXPECT_TRUE(app().zOrder().isTopmost(ours));

    app().form().AlwaysOnTopTimer_TICKBOX->click();
    app().clock().advance(1000);
    EXPECT_EQ(promotions(), 1);
}

TEST_F(AlwaysOnTopTest, OurOpenDialogInTheForegroundIsDemotedToo)
{
    launch();
    for (QPushButton *button : {app().form().LOG_OUTPUT_BUTTON, app().form().ABOUT_BUTTON}) {
        SCOPED_TRACE(button->objectName().toStdString());
        whileModal(button, [&](QWidget &dialog) {
            const NativeWindowId dialogId = NativeWindow::id(dialog);
            ASSERT_NE(dialogId, 0u);
            ASSERT_NE(dialogId, ours);
            app().zOrder().setForeground(dialogId);
            app().zOrder().clearCalls();
            // The main window's timer keeps ticking while the dialog is open.
            app().clock().advance(1000);
            EXPECT_EQ(app().zOrder().calls(), (QList<Call>{{Kind::Foreground, dialogId},
                                                           {Kind::Foreground, dialogId},
                                                           {Kind::Demote, dialogId},
                                                           {Kind::Promote, ours}}));
            dialog.close();
        });
    }
}

// The fallback for window systems without a way to reach other programs' windows: it sees
// and changes only this program's windows, through Qt's stay-on-top flag.
TEST(QtFlagZOrderTest, PromotesAndDemotesOwnWindowsWithoutMovingThem)
{
    QWidget window;
    window.setGeometry(120, 90, 200, 100);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QtFlagZOrder zOrder;
    EXPECT_EQ(zOrder.foregroundWindow(), NativeWindow::id(window));

    const QRect geometry = window.geometry();
    zOrder.promote(NativeWindow::id(window));
    EXPECT_TRUE(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.geometry(), geometry);

    // Ids that name none of this program's windows change nothing.
    for (NativeWindowId other : {NativeWindowId(0), OtherA}) {
        zOrder.demote(other);
        EXPECT_TRUE(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    }

    zOrder.demote(NativeWindow::id(window));
    EXPECT_FALSE(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.geometry(), geometry);
}
