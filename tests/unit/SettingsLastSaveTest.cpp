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
    int refusals;
    int writes;
    int warnings;
};

// Closing the main window is the launch's last save: a refused one is sent once more before
// it is reported (an ordinary save is tried once: the next one carries its changes).
TEST(SettingsLastSaveTest, ClosingTheMainWindowRetriesARefusedSaveOnce)
{
    const LastSaveCase cases[] = {{0, 1, 0}, {1, 2, 0}, {2, 2, 1}};
    for (const LastSaveCase &c : cases) {
        SCOPED_TRACE(c.refusals);
        RefusingBackend backend(c.refusals);
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
        EXPECT_EQ(backend.writes, c.writes);
        EXPECT_EQ(backend.saved.contains(std::pair(u"FF_LOCATION_TEXTBOX"_s, u"/data"_s)),
                  c.writes > c.refusals);
        EXPECT_EQ(g_warnings.size(), c.warnings) << g_warnings.join(u'\n').toStdString();
    }
}

} // namespace
