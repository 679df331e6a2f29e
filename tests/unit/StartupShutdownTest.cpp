#include "AppHarness.h"

#include "ui/TickBox.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace {

QString text(const QPlainTextEdit *box)
{
    return box->toPlainText();
}

} // namespace

TEST(StartupTest, FirstLaunchOpensWithDefaults)
{
    AppHarness app;
    app.launch(QStringLiteral("sizer"));
    Ui::ZEMRA_MAIN &form = app.form();

    EXPECT_EQ(app.window().windowTitle(), QStringLiteral("ZEMRA - sizer"));
    EXPECT_EQ(form.APP_EXE_NAME_LABEL->text(), QStringLiteral("sizer"));
    EXPECT_EQ(app.window().pos(), QPoint(67, 67));
    EXPECT_EQ(app.window().size(), QSize(354, 256));
    EXPECT_EQ(app.window().minimumSize(), app.window().maximumSize());

    EXPECT_EQ(TickBox::value(*form.AlwaysOnTopTimer_TICKBOX), 1);
    for (QCheckBox *box : {form.AUTOSTART_TICKBOX, form.AUTOCLOSE_TICKBOX, form.USE_FILE_TICKBOX,
                           form.USE_FOLDER_TICKBOX})
        EXPECT_EQ(TickBox::value(*box), 0) << box->objectName().toStdString();
    EXPECT_TRUE(form.USE_FILE_TICKBOX->isEnabled());
    EXPECT_TRUE(form.USE_FOLDER_TICKBOX->isEnabled());
    EXPECT_TRUE(form.FF_LOCATION_TEXTBOX->text().isEmpty());
    EXPECT_TRUE(form.LOGFILE_TEXTBOX->text().isEmpty());

    EXPECT_EQ(form.CURRENT_STATUS_LABEL->text(), QStringLiteral("READY..."));
    EXPECT_EQ(form.AUTO_STARTS_STOPS_BUTTON->text(), QStringLiteral("START"));
    EXPECT_TRUE(form.RUN_NOW_BUTTON->isEnabled());
    EXPECT_FALSE(form.FF_LOCATION_TEXTBOX->isReadOnly());

    for (QLineEdit *box : {form.FILE_SIZE_BYTES_TEXTBOX, form.FILE_SIZE_KILOBYTES_TEXTBOX,
                           form.FILE_SIZE_MEGABYTES_TEXTBOX, form.FILE_SIZE_GIGABYTES_TEXTBOX,
                           form.FILE_SIZE_TERABYTES_TEXTBOX, form.FILE_SIZE_PETABYTES_TEXTBOX})
        EXPECT_TRUE(box->text().isEmpty()) << box->objectName().toStdString();
    EXPECT_TRUE(text(form.OUTPUT_WINDOW_TEXTBOX).isEmpty());

    const MainTimers &timers = app.timers();
    EXPECT_TRUE(timers.AlwaysOnTopTimer->isEnabled());
    EXPECT_EQ(timers.AlwaysOnTopTimer->interval(), 1000);
    EXPECT_FALSE(timers.AUTOSTART_TIMER->isEnabled());
    EXPECT_EQ(timers.AUTOSTART_TIMER->interval(), 10000);
    EXPECT_FALSE(timers.FILE_FOLDER_SIZER_TIMER->isEnabled());
    EXPECT_EQ(timers.FILE_FOLDER_SIZER_TIMER->interval(), 3000);
    EXPECT_FALSE(timers.AUTOCLOSE_TIMER->isEnabled());
    EXPECT_EQ(timers.AUTOCLOSE_TIMER->interval(), 10000);
    EXPECT_FALSE(timers.FIVE_MIN_REPEAT_TIMER->isEnabled());
    EXPECT_EQ(timers.FIVE_MIN_REPEAT_TIMER->interval(), 0);

    // The load reads and never writes: a first launch leaves no settings file behind.
    EXPECT_FALSE(QFile::exists(app.iniPath()));
}

TEST(StartupTest, TimersAreNamedChildrenOfTheMainWindow)
{
    AppHarness app;
    app.launch();
    for (const char *name : {"AlwaysOnTopTimer", "AUTOSTART_TIMER", "FILE_FOLDER_SIZER_TIMER",
                             "AUTOCLOSE_TIMER", "FIVE_MIN_REPEAT_TIMER"})
        EXPECT_NE(app.window().findChild<Timer *>(QString::fromLatin1(name)), nullptr) << name;
}

TEST(StartupTest, StoredFolderKindDisablesTheFileTickbox)
{
    AppHarness app;
    app.store(QStringLiteral("USE_FOLDER_TICKBOX"), QStringLiteral("1"));
    app.launch();
    Ui::ZEMRA_MAIN &form = app.form();
    EXPECT_EQ(TickBox::value(*form.USE_FOLDER_TICKBOX), 1);
    EXPECT_TRUE(form.USE_FOLDER_TICKBOX->isEnabled());
    EXPECT_EQ(TickBox::value(*form.USE_FILE_TICKBOX), 0);
    EXPECT_FALSE(form.USE_FILE_TICKBOX->isEnabled());
    EXPECT_TRUE(form.RUN_NOW_BUTTON->isEnabled());
}

TEST(StartupTest, StoredAutoStartEntersTheCountdownWithThePathEditable)
{
    AppHarness app;
    app.store(QStringLiteral("AUTOSTART_TICKBOX"), QStringLiteral("1"));
    app.store(QStringLiteral("USE_FILE_TICKBOX"), QStringLiteral("1"));
    app.launch();
    Ui::ZEMRA_MAIN &form = app.form();
    EXPECT_EQ(form.CURRENT_STATUS_LABEL->text(), QStringLiteral("!!! AUTOSTARTING - 10 SECS !!!"));
    EXPECT_EQ(form.AUTO_STARTS_STOPS_BUTTON->text(), QStringLiteral("STOP"));
    EXPECT_FALSE(form.RUN_NOW_BUTTON->isEnabled());
    EXPECT_FALSE(form.FF_LOCATION_TEXTBOX->isReadOnly());
    EXPECT_TRUE(app.timers().AUTOSTART_TIMER->isEnabled());
    EXPECT_FALSE(app.timers().FILE_FOLDER_SIZER_TIMER->isEnabled());
}

TEST(StartupTest, StoredAlwaysOnTopUntickedLeavesItsTimerDisabled)
{
    AppHarness app;
    app.store(QStringLiteral("AlwaysOnTopTimer_TICKBOX"), QStringLiteral("0"));
    app.launch();
    EXPECT_EQ(TickBox::value(*app.form().AlwaysOnTopTimer_TICKBOX), 0);
    EXPECT_FALSE(app.timers().AlwaysOnTopTimer->isEnabled());
    EXPECT_EQ(app.timers().AlwaysOnTopTimer->interval(), 1000);

    app.form().AlwaysOnTopTimer_TICKBOX->click();
    EXPECT_TRUE(app.timers().AlwaysOnTopTimer->isEnabled());
    app.form().AlwaysOnTopTimer_TICKBOX->click();
    EXPECT_FALSE(app.timers().AlwaysOnTopTimer->isEnabled());
}

TEST(StartupTest, StoredSizeIsHonouredAndNeverWritten)
{
    AppHarness app;
    app.store(QStringLiteral("MAIN-Width"), QStringLiteral("13395"));
    app.store(QStringLiteral("MAIN-Height"), QStringLiteral("8265"));
    app.launch();
    EXPECT_EQ(app.window().size(), QSize(887, 526));
    app.close();
    EXPECT_EQ(app.stored(QStringLiteral("MAIN-Width")).toString(), QStringLiteral("13395"));
    EXPECT_EQ(app.stored(QStringLiteral("MAIN-Height")).toString(), QStringLiteral("8265"));

    AppHarness fresh;
    fresh.launch();
    fresh.close();
    EXPECT_FALSE(fresh.isStored(QStringLiteral("MAIN-Width")));
    EXPECT_FALSE(fresh.isStored(QStringLiteral("MAIN-Height")));
}

TEST(ShutdownTest, CloseWritesPositionTicksAndPathsThenRelaunchRestoresThem)
{
    AppHarness app;
    app.launch();
    Ui::ZEMRA_MAIN &form = app.form();
    form.USE_FOLDER_TICKBOX->click();
    form.AUTOCLOSE_TICKBOX->click();
    form.AlwaysOnTopTimer_TICKBOX->click();
    form.FF_LOCATION_TEXTBOX->setText(QStringLiteral("  /data/with blanks  "));
    form.LOGFILE_TEXTBOX->setText(QStringLiteral("/tmp/zemra.log"));
    app.window().move(-100, 150);
    app.close();

    EXPECT_EQ(app.stored(QStringLiteral("MAIN-Left")).toString(), QStringLiteral("-1500"));
    EXPECT_EQ(app.stored(QStringLiteral("MAIN-Top")).toString(), QStringLiteral("2250"));
    EXPECT_EQ(app.stored(QStringLiteral("AlwaysOnTopTimer_TICKBOX")).toString(),
              QStringLiteral("0"));
    EXPECT_EQ(app.stored(QStringLiteral("AUTOSTART_TICKBOX")).toString(), QStringLiteral("0"));
    EXPECT_EQ(app.stored(QStringLiteral("AUTOCLOSE_TICKBOX")).toString(), QStringLiteral("1"));
    EXPECT_EQ(app.stored(QStringLiteral("USE_FILE_TICKBOX")).toString(), QStringLiteral("0"));
    EXPECT_EQ(app.stored(QStringLiteral("USE_FOLDER_TICKBOX")).toString(), QStringLiteral("1"));
    EXPECT_EQ(app.stored(QStringLiteral("FF_LOCATION_TEXTBOX")).toString(),
              QStringLiteral("  /data/with blanks  "));
    EXPECT_EQ(app.stored(QStringLiteral("LOGFILE_TEXTBOX")).toString(),
              QStringLiteral("/tmp/zemra.log"));

    app.launch();
    EXPECT_EQ(app.window().pos(), QPoint(-100, 150));
    EXPECT_EQ(app.window().size(), QSize(354, 256));
    EXPECT_EQ(TickBox::value(*app.form().USE_FOLDER_TICKBOX), 1);
    EXPECT_EQ(TickBox::value(*app.form().AUTOCLOSE_TICKBOX), 1);
    EXPECT_EQ(TickBox::value(*app.form().AlwaysOnTopTimer_TICKBOX), 0);
    EXPECT_EQ(app.form().FF_LOCATION_TEXTBOX->text(), QStringLiteral("  /data/with blanks  "));
}

TEST(ShutdownTest, UnmovedWindowKeepsItsStoredTwipsExactly)
{
    AppHarness app;
    app.launch();
    app.close();
    EXPECT_EQ(app.stored(QStringLiteral("MAIN-Left")).toString(), QStringLiteral("1000"));
    EXPECT_EQ(app.stored(QStringLiteral("MAIN-Top")).toString(), QStringLiteral("1000"));

    app.store(QStringLiteral("MAIN-Left"), QStringLiteral("1234.5"));
    app.launch();
    app.close();
    EXPECT_EQ(app.stored(QStringLiteral("MAIN-Left")).toString(), QStringLiteral("1234.5"));
}

TEST(ShutdownTest, ClearedPathIsStoredAsPresentButEmpty)
{
    AppHarness app;
    app.store(QStringLiteral("FF_LOCATION_TEXTBOX"), QStringLiteral("/etc"));
    app.launch();
    EXPECT_EQ(app.form().FF_LOCATION_TEXTBOX->text(), QStringLiteral("/etc"));
    app.form().FF_LOCATION_TEXTBOX->clear();
    app.close();
    EXPECT_TRUE(app.isStored(QStringLiteral("FF_LOCATION_TEXTBOX")));
    EXPECT_EQ(app.stored(QStringLiteral("FF_LOCATION_TEXTBOX")).toString(), QString());
    app.launch();
    EXPECT_TRUE(app.form().FF_LOCATION_TEXTBOX->text().isEmpty());
}

TEST(ShutdownTest, AnotherExecutableNameStartsFromDefaultsAndLeavesTheFirstAlone)
{
    AppHarness app;
    app.launch();
    app.form().FF_LOCATION_TEXTBOX->setText(QStringLiteral("/first"));
    app.form().USE_FILE_TICKBOX->click();
    app.close();

    app.launch(QStringLiteral("copy"));
    EXPECT_TRUE(app.form().FF_LOCATION_TEXTBOX->text().isEmpty());
    EXPECT_EQ(TickBox::value(*app.form().USE_FILE_TICKBOX), 0);
    EXPECT_EQ(app.window().windowTitle(), QStringLiteral("ZEMRA - copy"));
    app.form().FF_LOCATION_TEXTBOX->setText(QStringLiteral("/second"));
    app.close();

    EXPECT_EQ(app.stored(QStringLiteral("FF_LOCATION_TEXTBOX")).toString(),
              QStringLiteral("/first"));
    EXPECT_EQ(app.stored(QStringLiteral("FF_LOCATION_TEXTBOX"), QStringLiteral("copy")).toString(),
              QStringLiteral("/second"));
    EXPECT_EQ(app.stored(QStringLiteral("USE_FILE_TICKBOX")).toString(), QStringLiteral("1"));
}

TEST(StartupTest, UnusableStoredValuesFallBackToTheirDefaults)
{
    AppHarness app;
    app.store(QStringLiteral("MAIN-Left"), QStringLiteral("left"));
    app.store(QStringLiteral("MAIN-Top"), QStringLiteral("nan"));
    app.store(QStringLiteral("MAIN-Width"), QStringLiteral(""));
    app.store(QStringLiteral("AlwaysOnTopTimer_TICKBOX"), QStringLiteral("7"));
    app.store(QStringLiteral("USE_FILE_TICKBOX"), QStringLiteral("-1"));
    app.store(QStringLiteral("AUTOSTART_TICKBOX"), QStringLiteral("yes"));
    app.launch();
    EXPECT_EQ(app.window().pos(), QPoint(67, 67));
    EXPECT_EQ(app.window().size(), QSize(354, 256));
    EXPECT_EQ(TickBox::value(*app.form().AlwaysOnTopTimer_TICKBOX), 1);
    EXPECT_EQ(TickBox::value(*app.form().USE_FILE_TICKBOX), 0);
    EXPECT_EQ(app.form().CURRENT_STATUS_LABEL->text(), QStringLiteral("READY..."));
}

TEST(StartupTest, GreyTickValuesAreRestoredButCountAsUnticked)
{
    AppHarness app;
    app.store(QStringLiteral("AUTOSTART_TICKBOX"), QStringLiteral("2"));
    app.store(QStringLiteral("AlwaysOnTopTimer_TICKBOX"), QStringLiteral("2"));
    app.store(QStringLiteral("USE_FILE_TICKBOX"), QStringLiteral("2"));
    app.launch();
    Ui::ZEMRA_MAIN &form = app.form();
    EXPECT_EQ(TickBox::value(*form.AUTOSTART_TICKBOX), 2);
    EXPECT_EQ(form.CURRENT_STATUS_LABEL->text(), QStringLiteral("READY..."));
    EXPECT_FALSE(app.timers().AlwaysOnTopTimer->isEnabled());
    EXPECT_TRUE(form.USE_FOLDER_TICKBOX->isEnabled());
    app.close();
    EXPECT_EQ(app.stored(QStringLiteral("USE_FILE_TICKBOX")).toString(), QStringLiteral("2"));
}

TEST(StartupTest, BothTargetKindsStoredAsTickedWithNoTargetKeepFileSizeAndTheStoredTicks)
{
    AppHarness app;
    app.store(QStringLiteral("USE_FILE_TICKBOX"), QStringLiteral("1"));
    app.store(QStringLiteral("USE_FOLDER_TICKBOX"), QStringLiteral("1"));
    app.launch();
    Ui::ZEMRA_MAIN &form = app.form();
    // The file pass comes first when both are ticked: a missing target fails as it would.
    EXPECT_EQ(TickBox::value(*form.USE_FILE_TICKBOX), 1);
    EXPECT_EQ(TickBox::value(*form.USE_FOLDER_TICKBOX), 0);
    EXPECT_TRUE(form.USE_FILE_TICKBOX->isEnabled());
    EXPECT_FALSE(form.USE_FOLDER_TICKBOX->isEnabled());
    EXPECT_TRUE(form.RUN_NOW_BUTTON->isEnabled());
    app.close();
    EXPECT_EQ(app.stored(QStringLiteral("USE_FILE_TICKBOX")).toString(), QStringLiteral("1"));
    EXPECT_EQ(app.stored(QStringLiteral("USE_FOLDER_TICKBOX")).toString(), QStringLiteral("1"));
}

TEST(StartupTest, PositionOffEveryScreenOpensAtTheDefaultPosition)
{
    AppHarness app;
    app.store(QStringLiteral("MAIN-Left"), QStringLiteral("900000"));
    app.store(QStringLiteral("MAIN-Top"), QStringLiteral("-900000"));
    app.launch();
    EXPECT_EQ(app.window().pos(), QPoint(67, 67));

    // Partly on screen, a negative position is applied as stored.
    app.store(QStringLiteral("MAIN-Left"), QStringLiteral("-1200"));
    app.store(QStringLiteral("MAIN-Top"), QStringLiteral("-150"));
    app.launch();
    EXPECT_EQ(app.window().pos(), QPoint(-80, -10));
    app.close();
    EXPECT_EQ(app.stored(QStringLiteral("MAIN-Left")).toString(), QStringLiteral("-1200"));
}

TEST(SettingsFailureTest, UnusableConfigFolderStartsWithDefaultsAndKeepsWorking)
{
    // A config "folder" that is a regular file can be neither read nor created, even by root.
    AppHarness app;
    QFile blocker(app.configDir() + QStringLiteral("/blocker"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    app.setIniPath(blocker.fileName() + QStringLiteral("/ZEMRA/ZEMRA.ini"));

    app.launch();
    EXPECT_EQ(app.form().CURRENT_STATUS_LABEL->text(), QStringLiteral("READY..."));
    EXPECT_EQ(app.window().pos(), QPoint(67, 67));
    app.form().FF_LOCATION_TEXTBOX->setText(QStringLiteral("/x"));
    app.close();
    EXPECT_TRUE(QFileInfo(blocker.fileName()).isFile());
    EXPECT_EQ(QFileInfo(blocker.fileName()).size(), 0);
}

TEST(SettingsFailureTest, UnreadableSettingsOpenAtTheDefaultsSaySoAndWriteNothing)
{
    AppHarness app;
    const QByteArray tooLarge =
        "[zemra]\nFF_LOCATION_TEXTBOX=/kept\n" + QByteArray(1024 * 1024, '#') + "\n";
    ASSERT_TRUE(app.put(tooLarge));
    app.launch();
    EXPECT_EQ(app.form().FF_LOCATION_TEXTBOX->text(), QString());
    const QString tip = app.form().CURRENT_STATUS_LABEL->toolTip();
    EXPECT_TRUE(tip.contains(QStringLiteral("could not be read"))) << tip.toStdString();
    EXPECT_TRUE(tip.contains(QStringLiteral("larger than 1 MiB"))) << tip.toStdString();
    app.form().FF_LOCATION_TEXTBOX->setText(QStringLiteral("/changed"));
    app.close();
    EXPECT_TRUE(app.iniBytes() == tooLarge) << "the unreadable file was written";
}

TEST(SettingsFailureTest, FailedWriteReportsFalseAndLeavesTheFileAsItWas)
{
    AppHarness app;
    app.store(QStringLiteral("FF_LOCATION_TEXTBOX"), QStringLiteral("/kept"));
    QFile file(app.iniPath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();

    // Replacing the folder by a file makes every later write fail.
    IniFileSettingsBackend backend(app.iniPath());
    ASSERT_TRUE(backend.write(QStringLiteral("zemra"),
                              {{QStringLiteral("MAIN-Left"), QStringLiteral("15")}}));
    const QString folder = QFileInfo(app.iniPath()).absolutePath();
    ASSERT_TRUE(QFile::rename(folder, folder + QStringLiteral(".moved")));
    QFile blocker(folder);
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    EXPECT_FALSE(backend.write(QStringLiteral("zemra"),
                               {{QStringLiteral("MAIN-Top"), QStringLiteral("30")}}));
    EXPECT_FALSE(backend.errorString().isEmpty());
    EXPECT_EQ(storedEntry(backend.read(QStringLiteral("zemra")), QStringLiteral("MAIN-Top")),
              std::nullopt);

    QFile moved(folder + QStringLiteral(".moved/ZEMRA.ini"));
    ASSERT_TRUE(moved.open(QIODevice::ReadOnly));
    const QByteArray after = moved.readAll();
    EXPECT_TRUE(after.contains("FF_LOCATION_TEXTBOX=/kept"));
    EXPECT_TRUE(after.contains("MAIN-Left=15"));
    EXPECT_FALSE(after.contains("MAIN-Top"));
    EXPECT_NE(before, QByteArray());

    // When the folder comes back, the next write adds its own entry and removes none.
    moved.close();
    ASSERT_TRUE(QFile::remove(folder));
    ASSERT_TRUE(QFile::rename(folder + QStringLiteral(".moved"), folder));
    EXPECT_TRUE(backend.write(QStringLiteral("zemra"),
                              {{QStringLiteral("AUTOSTART_TICKBOX"), QStringLiteral("1")}}));
    EXPECT_EQ(
        storedEntry(backend.read(QStringLiteral("zemra")), QStringLiteral("FF_LOCATION_TEXTBOX")),
        QStringLiteral("/kept"));
    EXPECT_EQ(storedEntry(backend.read(QStringLiteral("zemra")), QStringLiteral("MAIN-Left")),
              QStringLiteral("15"));
    EXPECT_EQ(
        storedEntry(backend.read(QStringLiteral("zemra")), QStringLiteral("AUTOSTART_TICKBOX")),
        QStringLiteral("1"));
    EXPECT_EQ(storedEntry(backend.read(QStringLiteral("zemra")), QStringLiteral("MAIN-Top")),
              std::nullopt);
}

TEST(SettingsFileTest, DefaultFileFollowsXdgConfigHome)
{
    const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", "/tmp/zemra-xdg-test");
    EXPECT_EQ(IniFileSettingsBackend::defaultFilePath(),
              QStringLiteral("/tmp/zemra-xdg-test/ZEMRA/ZEMRA.ini"));
    if (saved.isNull())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", saved);
}

TEST(SettingsFileTest, EntriesLiveInOneSectionPerExecutableAsPlainText)
{
    AppHarness app;
    app.launch();
    app.close();
    QFile file(app.iniPath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray content = file.readAll();
    EXPECT_TRUE(content.startsWith("[zemra]")) << content.constData();
    for (const char *line : {"MAIN-Left=1000", "MAIN-Top=1000", "AlwaysOnTopTimer_TICKBOX=1",
                             "AUTOSTART_TICKBOX=0", "FF_LOCATION_TEXTBOX=", "LOGFILE_TEXTBOX="})
        EXPECT_TRUE(content.contains(line)) << line;
}
