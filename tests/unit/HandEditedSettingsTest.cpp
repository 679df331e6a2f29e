#include "AppHarness.h"

#include "platform/IniFileSettingsBackend.h"
#include "ui/TickBox.h"

#include <gtest/gtest.h>

namespace {

// Every entry the main window writes when it closes, with the values a first launch shows.
const QByteArray DefaultEntries = "MAIN-Left=1000\nMAIN-Top=1000\nAlwaysOnTopTimer_TICKBOX=1\n"
                                  "AUTOSTART_TICKBOX=0\nAUTOCLOSE_TICKBOX=0\nUSE_FILE_TICKBOX=0\n"
                                  "USE_FOLDER_TICKBOX=0\nFF_LOCATION_TEXTBOX=\nLOGFILE_TEXTBOX=\n";

// Just under the largest settings file the program reads (1 MiB).
QByteArray megabyteOfOtherSections()
{
    QByteArray text = "# a large file that other programs share\n";
    for (int section = 0; text.size() < 1000 * 1000; ++section) {
        text += "[tool" + QByteArray::number(section) + "]\n";
        for (int key = 0; key < 40; ++key)
            text += "key" + QByteArray::number(key) + " = value, with; marks \"and\" \\x\n";
        text += "; end of section\n\n";
    }
    return text;
}

// A hand-edited file, launched and closed without touching the window: what the window
// shows, and the whole file afterwards.
struct UnloadCase
{
    const char *name;
    QByteArray before;
    QByteArray after;
    QString targetPath;
    QString logPath;
    qint16 alwaysOnTop;
    qint16 useFile;
};

TEST(HandEditedSettingsTest, AFullUnloadLosesNothingTheUserWrote)
{
    const QByteArray commented = "\xEF\xBB\xBF# Zemra settings, scheduled nightly\r\n"
                                 "[zemra]\r\n"
                                 "; position on the left monitor\r\n"
                                 "MAIN-Left = 1234.5\r\n"
                                 "MAIN-Top = 300\r\n"
                                 "MAIN-Width=9000\r\n"
                                 "AlwaysOnTopTimer_TICKBOX=0\r\n"
                                 "AUTOSTART_TICKBOX=0\r\n"
                                 "AUTOCLOSE_TICKBOX=1\r\n"
                                 "USE_FILE_TICKBOX=1\r\n"
                                 "USE_FOLDER_TICKBOX=0\r\n"
                                 "FF_LOCATION_TEXTBOX=/data/a, b\r\n"
                                 "LOGFILE_TEXTBOX=\"quoted\".log\r\n"
                                 "MY_NOTE=keep me\r\n"
                                 "not an entry at all\r\n"
                                 "\r\n"
                                 "[other-program]\r\n"
                                 "MAIN-Left=5\r\n";
    const QByteArray unusable =
        "[zemra]\nMAIN-Left=1e30\nMAIN-Top=abc\nMAIN-Width=-5000\nMAIN-Height=1e30\n"
        "AlwaysOnTopTimer_TICKBOX=1\nAUTOSTART_TICKBOX=0\nAUTOCLOSE_TICKBOX=7\n"
        "USE_FILE_TICKBOX=0\nUSE_FOLDER_TICKBOX=0\nFF_LOCATION_TEXTBOX=\nLOGFILE_TEXTBOX=\n";
    const QByteArray large =
        megabyteOfOtherSections() + "[zemra]\n" + DefaultEntries + "# the end\n";

    const UnloadCase cases[] = {
        {"commented file with CR LF, BOM, unknown keys and other sections", commented, commented,
         QStringLiteral("/data/a, b"), QStringLiteral("\"quoted\".log"), 0, 1},
        {"missing entries are added to the section, after its last entry",
         "# scheduled nightly\n[zemra]\nAUTOSTART_TICKBOX=0\nFF_LOCATION_TEXTBOX=/data/x\n\n"
         "[other]\nk=v\n",
         "# scheduled nightly\n[zemra]\nAUTOSTART_TICKBOX=0\nFF_LOCATION_TEXTBOX=/data/x\n"
         "MAIN-Left=1000\nMAIN-Top=1000\nAlwaysOnTopTimer_TICKBOX=1\nAUTOCLOSE_TICKBOX=0\n"
         "USE_FILE_TICKBOX=0\nUSE_FOLDER_TICKBOX=0\nLOGFILE_TEXTBOX=\n\n[other]\nk=v\n",
         QStringLiteral("/data/x"), QString(), 1, 0},
        {"unusable values stay as written while the window leaves them unchanged", unusable,
         unusable, QString(), QString(), 1, 0},
        {"a position off every screen is kept",
         "[zemra]\nMAIN-Left=450000\nMAIN-Top=-300000\n" + DefaultEntries.mid(29),
         "[zemra]\nMAIN-Left=450000\nMAIN-Top=-300000\n" + DefaultEntries.mid(29), QString(),
         QString(), 1, 0},
        {"entries after a megabyte of other sections", large, large, QString(), QString(), 1, 0},
        {"a file of an earlier version",
         "[zemra]\nFF_LOCATION_TEXTBOX=\"/data/a, b\"\nLOGFILE_TEXTBOX=C:\\\\logs\\\\z.log\n"
         "MAIN-Left=1000\nMAIN-Top=1000\n",
         "[zemra]\nFF_LOCATION_TEXTBOX=\"/data/a, b\"\nLOGFILE_TEXTBOX=C:\\\\logs\\\\z.log\n"
         "MAIN-Left=1000\nMAIN-Top=1000\nAlwaysOnTopTimer_TICKBOX=1\nAUTOSTART_TICKBOX=0\n"
         "AUTOCLOSE_TICKBOX=0\nUSE_FILE_TICKBOX=0\nUSE_FOLDER_TICKBOX=0\n",
         QStringLiteral("/data/a, b"), QStringLiteral("C:\\logs\\z.log"), 1, 0},
    };
    for (const UnloadCase &c : cases) {
        AppHarness app;
        ASSERT_TRUE(app.put(c.before)) << c.name;
        app.launch();
        EXPECT_EQ(app.form().FF_LOCATION_TEXTBOX->text(), c.targetPath) << c.name;
        EXPECT_EQ(app.form().LOGFILE_TEXTBOX->text(), c.logPath) << c.name;
        EXPECT_EQ(TickBox::value(*app.form().AlwaysOnTopTimer_TICKBOX), c.alwaysOnTop) << c.name;
        EXPECT_EQ(TickBox::value(*app.form().USE_FILE_TICKBOX), c.useFile) << c.name;
        app.close();
        const QByteArray after = app.iniBytes();
        if (after.size() < 4096)
            EXPECT_EQ(after.toStdString(), c.after.toStdString()) << c.name;
        else
            EXPECT_TRUE(after == c.after) << c.name << ": " << after.size() << " bytes";
    }
}

TEST(HandEditedSettingsTest, ChangesMadeInTheWindowReplaceOnlyTheirValues)
{
    AppHarness app;
    ASSERT_TRUE(app.put("# keep\r\n[zemra]\r\nFF_LOCATION_TEXTBOX = /old  ; typed by hand\r\n"
                        "; keep too\r\n[other]\r\nFF_LOCATION_TEXTBOX=/other\r\n"));
    app.launch();
    EXPECT_EQ(app.form().FF_LOCATION_TEXTBOX->text(), QStringLiteral("/old  ; typed by hand"));
    app.form().FF_LOCATION_TEXTBOX->setText(QStringLiteral(" /new, with = marks "));
    app.form().USE_FOLDER_TICKBOX->click();
    app.close();
    EXPECT_EQ(app.iniBytes().toStdString(),
              "# keep\r\n[zemra]\r\nFF_LOCATION_TEXTBOX = \" /new, with = marks \"\r\n"
              "MAIN-Left=1000\r\nMAIN-Top=1000\r\nAlwaysOnTopTimer_TICKBOX=1\r\n"
              "AUTOSTART_TICKBOX=0\r\nAUTOCLOSE_TICKBOX=0\r\nUSE_FILE_TICKBOX=0\r\n"
              "USE_FOLDER_TICKBOX=1\r\nLOGFILE_TEXTBOX=\r\n"
              "; keep too\r\n[other]\r\nFF_LOCATION_TEXTBOX=/other\r\n");
    app.launch();
    EXPECT_EQ(app.form().FF_LOCATION_TEXTBOX->text(), QStringLiteral(" /new, with = marks "));
}

TEST(HandEditedSettingsTest, TheUsersStoreIsTheIniFileInTheConfigFolder)
{
    QTemporaryDir config;
    ASSERT_TRUE(config.isValid());
    const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    const std::unique_ptr<SettingsBackend> backend = createSettingsBackend();
    if (saved.isNull())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", saved);

    const QString file = config.path() + QStringLiteral("/ZEMRA/ZEMRA.ini");
    EXPECT_EQ(backend->storageFilePath(), file);
    EXPECT_TRUE(backend->write(QStringLiteral("zemra"),
                               {{QStringLiteral("MAIN-Left"), QStringLiteral("15")}}));
    EXPECT_EQ(storedEntry(backend->read(QStringLiteral("zemra")), QStringLiteral("MAIN-Left")),
              QStringLiteral("15"));
    QFile written(file);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll(), QByteArray("[zemra]\nMAIN-Left=15\n"));
    EXPECT_FALSE(QFile::exists(file + QStringLiteral(".lock"))) << "the lock is released";
}

} // namespace
