#include "AppHarness.h"
#include "ModalWindow.h"

#include "history/HistoryCsv.h"
#include "history/HistoryRecorder.h"
#include "history/HistoryStore.h"
#include "ui/HistoryWindow.h"
#include "ui/TextBox.h"

#include <QAccessible>
#include <QAction>
#include <QChart>
#include <QChartView>
#include <QClipboard>
#include <QLineSeries>
#include <QMenu>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QValueAxis>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

const QString Target = u"/srv/data"_s;

HistoryRecord recordAt(const QDateTime &time, std::optional<std::uint64_t> bytes)
{
    HistoryRecord record;
    record.time = time;
    record.executable = u"zemra"_s;
    record.target = Target;
    record.folder = true;
    record.bytes = bytes;
    record.files = bytes ? std::optional<std::uint64_t>(10) : std::nullopt;
    record.folders = bytes ? std::optional<std::uint64_t>(2) : std::nullopt;
    record.seconds = 1.5;
    record.outcome = bytes ? QString(HistoryRecord::goodOutcome()) : u"Cannot open folder"_s;
    return record;
}

// The accessibility events the run announcer sends: which object, which event, and the texts
// the object has for a screen reader at that moment.
struct AccessibilityEvent
{
    QObject *object;
    QAccessible::Event type;
    QString name;
    QString description;
};

class HistoryWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        app.store(u"FF_LOCATION_TEXTBOX"_s, Target);
        app.store(u"LOGFILE_TEXTBOX"_s, u"/tmp/zemra-history-test.log"_s);
        app.store(u"USE_FOLDER_TICKBOX"_s, u"1"_s);
        app.launch();
        app.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&app.window()));
    }
    void keepHistory(HistoryRecorder *recorder = nullptr)
    {
        app.controller().keepHistory(store, recorder);
    }
    // Opens the History window with Ctrl+H, as a user does.
    void openWithShortcut(const std::function<void(QWidget &)> &whileOpen)
    {
        app.window().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&app.window()));
        whileModal([this] { QTest::keyClick(&app.window(), Qt::Key_H, Qt::ControlModifier); },
                   whileOpen);
    }

    QTemporaryDir folder;
    HistoryStore store{folder.path() + u"/ZEMRA/history.sqlite"_s};
    AppHarness app;
};

template <typename T> T *child(QWidget &window, const char *name)
{
    T *found = window.findChild<T *>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

} // namespace

TEST_F(HistoryWindowTest, ShowsTheTargetsRecordsAsChartTableAndSummary)
{
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const QList<HistoryRecord> records{
        recordAt(now.addDays(-20), 1'000'000'000),
        recordAt(now.addDays(-6), 2'000'000'000),
        recordAt(now.addDays(-3), std::nullopt),
        recordAt(now.addSecs(-60), 2'600'000'000),
    };
    for (const HistoryRecord &record : records)
        ASSERT_TRUE(store.add(record).ok);
    HistoryRecord other = recordAt(now, 5);
    other.target = u"/srv/other"_s;
    ASSERT_TRUE(store.add(other).ok);
    keepHistory();
    const auto controls = [this] {
        QStringList names;
        for (const QWidget *control : app.window().findChildren<QWidget *>())
            names << control->objectName();
        return names;
    };
    const QStringList before = controls();

    openWithShortcut([&](QWidget &window) {
        EXPECT_EQ(window.windowTitle(), u"ZEMRA - HISTORY"_s);
        EXPECT_TRUE(window.isModal());
        EXPECT_EQ(window.pos(), QPoint(67, 67));
        EXPECT_EQ(window.size(), QSize(760, 440));
        EXPECT_EQ(QApplication::focusWidget(), child<QPushButton>(window, "OK_BUTTON"));

        auto *table = child<QTableWidget>(window, "RECORDS_TABLE");
        ASSERT_EQ(table->rowCount(), 4);
        EXPECT_EQ(table->item(3, 1)->text(), u"2.6 GB"_s);
        EXPECT_EQ(table->item(2, 1)->text(), QString());
        EXPECT_EQ(table->item(2, 5)->text(), u"Cannot open folder"_s);
        EXPECT_EQ(table->item(0, 2)->text(), u"10"_s);

        auto *view = child<QChartView>(window, "SIZE_CHART");
        ASSERT_EQ(view->chart()->series().size(), 1);
        auto *series = qobject_cast<QLineSeries *>(view->chart()->series().constFirst());
        ASSERT_NE(series, nullptr);
        // Three sizes, in gigabytes: the failed run has none.
        ASSERT_EQ(series->count(), 3);
        EXPECT_DOUBLE_EQ(series->at(2).y(), 2.6);
        EXPECT_DOUBLE_EQ(series->at(0).x(), double(records[0].time.toMSecsSinceEpoch()));
        const auto axes = view->chart()->axes(Qt::Vertical);
        ASSERT_EQ(axes.size(), 1);
        EXPECT_EQ(axes.constFirst()->titleText(), u"GB"_s);

        const QString summary = child<QLabel>(window, "SUMMARY_LABEL")->text();
        EXPECT_TRUE(summary.startsWith(u"Latest size: 2.6 GB"_s)) << summary.toStdString();
        EXPECT_TRUE(summary.contains(u"last week: +1"_s)) << summary.toStdString();
        EXPECT_TRUE(summary.contains(u"last month: +8"_s)) << summary.toStdString();
        // What a screen reader hears of the chart and the window.
        EXPECT_EQ(view->accessibleDescription(), summary);
        EXPECT_EQ(window.accessibleDescription(), summary);
        EXPECT_EQ(view->accessibleName(), u"Size over time"_s);
        window.close();
    });
    // The main window gained no control: all it has more is the History window it owns.
    const QStringList after = controls();
    EXPECT_EQ(after.size(),
              before.size() +
                  app.window().findChild<HistoryWindow *>()->findChildren<QWidget *>().size() + 1);
    for (const QString &name : before)
        EXPECT_TRUE(after.contains(name)) << name.toStdString();
    EXPECT_TRUE(app.isStored(u"HISTORY-Left"_s));
    EXPECT_FALSE(app.isStored(u"HISTORY-Width"_s));
}

TEST_F(HistoryWindowTest, RemembersItsPositionLikeTheOtherWindows)
{
    keepHistory();
    openWithShortcut([](QWidget &window) {
        window.move(210, 120);
        child<QPushButton>(window, "OK_BUTTON")->click();
    });
    EXPECT_EQ(app.stored(u"HISTORY-Left"_s).toString(), u"3150"_s);
    EXPECT_EQ(app.stored(u"HISTORY-Top"_s).toString(), u"1800"_s);
    openWithShortcut([](QWidget &window) {
        EXPECT_EQ(window.pos(), QPoint(210, 120));
        // Nothing recorded yet: the summary says so.
        EXPECT_TRUE(child<QLabel>(window, "SUMMARY_LABEL")->text().startsWith(u"No run"_s));
        window.close();
    });
}

TEST_F(HistoryWindowTest, RecordsAreCopiedAsCsv)
{
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const QList<HistoryRecord> records{recordAt(now.addDays(-2), 100),
                                       recordAt(now.addDays(-1), 200), recordAt(now, 300)};
    for (const HistoryRecord &record : records)
        ASSERT_TRUE(store.add(record).ok);
    keepHistory();
    openWithShortcut([&](QWidget &window) {
        auto *table = child<QTableWidget>(window, "RECORDS_TABLE");
        table->setFocus();
        table->selectRow(2);
        table->selectionModel()->select(table->model()->index(0, 0),
                                        QItemSelectionModel::Select | QItemSelectionModel::Rows);
        QApplication::clipboard()->clear();
        QTest::keyClick(table, Qt::Key_C, Qt::ControlModifier);
        // CSV's times are whole seconds: compare with what the store gave back.
        const QList<HistoryRecord> shown = static_cast<HistoryWindow &>(window).records();
        ASSERT_EQ(shown.size(), 3);
        EXPECT_EQ(QApplication::clipboard()->text(), HistoryCsv::document({shown[0], shown[2]}));
        child<QPushButton>(window, "COPY_BUTTON")->click();
        EXPECT_EQ(QApplication::clipboard()->text(), HistoryCsv::document(shown));
        window.close();
    });
}

TEST_F(HistoryWindowTest, TheSizeDisplaysContextMenuOffersTheHistory)
{
    keepHistory();
    TextBox *display = app.form().OUTPUT_WINDOW_TEXTBOX;
    QStringList entries;
    bool offered = false;
    QTimer::singleShot(0, [&] {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        for (QAction *action : menu->actions()) {
            entries << action->text();
            offered = offered || action->objectName() == u"HISTORY_ACTION"_s;
        }
        menu->close();
    });
    emit display->customContextMenuRequested(QPoint(5, 5));
    EXPECT_TRUE(offered) << entries.join(u", "_s).toStdString();
    // The display's own entries stay.
    EXPECT_TRUE(entries.filter(u"Copy"_s).size() == 1) << entries.join(u", "_s).toStdString();
    auto *action = app.window().findChild<QAction *>(u"HISTORY_ACTION"_s);
    ASSERT_NE(action, nullptr);
    EXPECT_EQ(action->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_H));
    whileModal([action] { action->trigger(); },
               [](QWidget &window) {
                   EXPECT_EQ(window.objectName(), u"ZEMRA_HISTORY_WINDOW"_s);
                   window.close();
               });
}

// A run in the window adds its record and tells screen readers the status and the size; the
// focus goes back to Run Now.
TEST_F(HistoryWindowTest, ARunIsRecordedAnnouncedAndLeavesTheFocusOnRunNow)
{
    FakeWorkQueue historyQueue;
    HistoryRecorder recorder(store, historyQueue);
    keepHistory(&recorder);
    app.sizes().answers = {FakeSizeQuery::answer(1234567890),
                           FakeSizeQuery::failure(SizeError::NotFound, "No folder '/srv/data'")};
    app.window().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&app.window()));
    QPushButton *runNow = app.form().RUN_NOW_BUTTON;
    runNow->setFocus();
    QLabel *status = app.form().CURRENT_STATUS_LABEL;
    QList<AccessibilityEvent> events;
    app.controller().runAnnouncer().setNotifier([&events](QAccessibleEvent *event) {
        QAccessibleInterface *accessible = event->accessibleInterface();
        events.append({event->object(), event->type(),
                       accessible ? accessible->text(QAccessible::Name) : QString(),
                       accessible ? accessible->text(QAccessible::Description) : QString()});
    });
    {
        QTest::keyClick(runNow, Qt::Key_Space);
        EXPECT_NE(QApplication::focusWidget(), runNow); // disabled while the run is pending
        app.clock().advance(3000);
        EXPECT_EQ(status->text(), u"READY..."_s);
        EXPECT_EQ(QApplication::focusWidget(), runNow);
        EXPECT_EQ(status->accessibleDescription(), u"Size: 1.235 GB"_s);
        bool named = false;
        bool described = false;
        for (const AccessibilityEvent &event : std::as_const(events)) {
            if (event.object != status)
                continue;
            named =
                named || (event.type == QAccessible::NameChanged && event.name == u"READY..."_s);
            described = described || (event.type == QAccessible::DescriptionChanged &&
                                      event.description == u"Size: 1.235 GB"_s);
        }
        EXPECT_TRUE(named);
        EXPECT_TRUE(described);
    }
    // A failed run: its reason is what is described.
    QTest::keyClick(runNow, Qt::Key_Space);
    app.clock().advance(3000);
    EXPECT_TRUE(status->accessibleDescription().contains(u"No folder '/srv/data'"_s))
        << status->accessibleDescription().toStdString();
    EXPECT_EQ(QApplication::focusWidget(), runNow);

    const QList<HistoryRecord> records = store.records(Target).records;
    ASSERT_EQ(records.size(), 2);
    EXPECT_EQ(records[0].bytes, 1234567890U);
    EXPECT_EQ(records[0].outcome, u"good"_s);
    EXPECT_FALSE(records[1].bytes.has_value());
    EXPECT_EQ(records[1].outcome, u"No folder '/srv/data'"_s);
}

// The autoclose countdown closes the main window while the History window is open: the
// History window closes first, keeping its position, and the main window's settings are saved.
TEST_F(HistoryWindowTest, ClosingTheMainWindowClosesItFirst)
{
    keepHistory();
    openWithShortcut([this](QWidget &window) {
        window.move(150, 90);
        app.window().close();
        EXPECT_FALSE(window.isVisible());
    });
    EXPECT_FALSE(app.window().isVisible());
    EXPECT_EQ(app.stored(u"HISTORY-Left"_s).toString(), u"2250"_s);
    EXPECT_EQ(app.stored(u"HISTORY-Top"_s).toString(), u"1350"_s);
    EXPECT_TRUE(app.isStored(u"MAIN-Left"_s));
}
