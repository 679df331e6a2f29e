#include "app/MainController.h"
#include "platform/doubles/FakeSizeQuery.h"
#include "platform/doubles/FakeWorkQueue.h"
#include "platform/doubles/FixedExecutableName.h"
#include "platform/doubles/FixedNumberLocale.h"
#include "platform/doubles/RecordingTextFileWriter.h"
#include "platform/doubles/RecordingZOrder.h"
#include "platform/doubles/VirtualClock.h"
#include "platform/SettingsBackend.h"
#include "settings/SettingsStore.h"

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

// A store that refuses its first writes, as one does whose lock other launches keep taken.
class RefusingBackend final : public SettingsBackend
{
public:
    explicit RefusingBackend(int refusals) : m_refusals(refusals) {}
    [[nodiscard]] SettingsSnapshot read(const QString &) override { return {}; }
    [[nodiscard]] bool write(const QString &,
                             const QList<std::pair<QString, QString>> &changes) override
    {
        ++writes;
        if (writes <= m_refusals)
            return false;
        saved = changes;
        return true;
    }
    [[nodiscard]] QString errorString() const override { return u"the file is locked"_s; }

    int writes = 0;
    QList<std::pair<QString, QString>> saved;

private:
    int m_refusals;
};

QStringList g_warnings;

void collectWarnings(QtMsgType, const QMessageLogContext &, const QString &message)
{
    g_warnings.append(message);
}

struct LastSaveCase
{
    const char *name;
    bool last;
    int refusals;
    bool saved;
    int writes;
    int warnings;
};

TEST(SettingsLastSaveTest, ARefusedLastSaveIsTriedOnceMoreBeforeItIsReported)
{
    const LastSaveCase cases[] = {
        {"an ordinary save is tried once: a later one carries its changes", false, 1, false, 1, 1},
        {"the last save taken at once", true, 0, true, 1, 0},
        {"the last save taken the second time, and not reported", true, 1, true, 2, 0},
        {"the last save refused twice: reported once", true, 2, false, 2, 1},
    };
    for (const LastSaveCase &c : cases) {
        SCOPED_TRACE(c.name);
        RefusingBackend backend(c.refusals);
        SettingsStore store(backend, u"zemra"_s);
        store.writeTick(Setting::AutoCloseTick, 1);
        g_warnings.clear();
        const QtMessageHandler previous = qInstallMessageHandler(collectWarnings);
        const bool saved = c.last ? store.saveLast() : store.save();
        qInstallMessageHandler(previous);
        EXPECT_EQ(saved, c.saved);
        EXPECT_EQ(backend.writes, c.writes);
        EXPECT_EQ(g_warnings.size(), c.warnings) << g_warnings.join(u'\n').toStdString();
    }
}

// Closing the main window is the launch's last save.
TEST(SettingsLastSaveTest, ClosingTheMainWindowRetriesARefusedSave)
{
    RefusingBackend backend(1);
    SettingsStore store(backend, u"zemra"_s);
    VirtualClock clock;
    FixedExecutableName executableName(u"zemra"_s);
    FixedNumberLocale numberLocale;
    RecordingTextFileWriter writer;
    RecordingZOrder zOrder;
    FakeWorkQueue workQueue;
    MainController controller({clock, executableName,
                               FakeSizeQuery::factory(std::make_shared<FakeSizeQuery::Log>()),
                               numberLocale, writer, zOrder, workQueue},
                              store);
    controller.window().show();
    controller.window().form().FF_LOCATION_TEXTBOX->setText(u"/data"_s);
    g_warnings.clear();
    const QtMessageHandler previous = qInstallMessageHandler(collectWarnings);
    controller.window().close();
    qInstallMessageHandler(previous);
    EXPECT_EQ(backend.writes, 2);
    EXPECT_TRUE(backend.saved.contains(std::pair(u"FF_LOCATION_TEXTBOX"_s, u"/data"_s)));
    EXPECT_TRUE(g_warnings.isEmpty()) << g_warnings.join(u'\n').toStdString();
}

} // namespace
