#include "AppHarness.h"
#include "SymbolicLink.h"

#include "app/TargetTickRestore.h"
#include "ui/TickBox.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

using Kind = TargetTickRestore::TargetKind;

TEST(TargetTickRestore, BothTickedKeepsTheKindThatFitsTheTarget)
{
    struct Case
    {
        Kind target;
        qint16 useFile;
        qint16 useFolder;
    };
    const Case cases[] = {{Kind::File, 1, 0}, {Kind::Folder, 0, 1}, {Kind::Neither, 1, 0}};
    for (const Case &c : cases) {
        const TargetTickRestore::Ticks ticks = TargetTickRestore::forBothTicked(c.target);
        EXPECT_EQ(ticks.useFile, c.useFile);
        EXPECT_EQ(ticks.useFolder, c.useFolder);
    }
}

class StoredTargetTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        QFile file(filePath);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("12345");
        file.close();
        links = makeSymbolicLink(filePath, fileLink) && makeSymbolicLink(dir.path(), folderLink);
    }

    QTemporaryDir dir;
    bool links = false;
    QString filePath = dir.path() + u"/file.bin"_s;
    QString fileLink = dir.path() + u"/file-link"_s;
    QString folderLink = dir.path() + u"/folder-link"_s;
};

TEST_F(StoredTargetTest, KindOfFollowsLinksAndRefusesWhatNamesNoFile)
{
    struct Case
    {
        QString path;
        Kind kind;
        bool symbolicLink = false;
    };
    const Case cases[] = {
        {filePath, Kind::File},
        {fileLink, Kind::File, true},
        {dir.path(), Kind::Folder},
        {folderLink, Kind::Folder, true},
        {dir.path() + u"/missing"_s, Kind::Neither},
        {QString(), Kind::Neither},
        {u"/dev/null"_s, Kind::Neither},
        {filePath + QChar(u'\0') + u"x"_s, Kind::Neither},
        {dir.path() + QChar(0xd800), Kind::Neither},
    };
    for (const Case &c : cases) {
        if (c.symbolicLink && !links)
            continue;
        SCOPED_TRACE(c.path.toStdString());
        EXPECT_EQ(TargetTickRestore::kindOf(c.path), c.kind);
    }
}

TEST_F(StoredTargetTest, BothStoredTickedRestoresTheFittingKindWithTheInterlock)
{
    struct Case
    {
        const char *name;
        QString target;
        bool fileTicked;
        bool folderTicked;
    };
    const Case cases[] = {
        {"file", filePath, true, false},
        {"folder", dir.path(), false, true},
        {"missing", dir.path() + u"/missing"_s, true, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        AppHarness app;
        app.store(u"USE_FILE_TICKBOX"_s, u"1"_s);
        app.store(u"USE_FOLDER_TICKBOX"_s, u"1"_s);
        app.store(u"FF_LOCATION_TEXTBOX"_s, c.target);
        app.launch();
        Ui::ZEMRA_MAIN &form = app.form();
        EXPECT_EQ(TickBox::isTicked(*form.USE_FILE_TICKBOX), c.fileTicked);
        EXPECT_EQ(TickBox::isTicked(*form.USE_FOLDER_TICKBOX), c.folderTicked);
        // The interlock: a ticked kind disables the other; with neither ticked both are free.
        EXPECT_EQ(form.USE_FILE_TICKBOX->isEnabled(), !c.folderTicked);
        EXPECT_EQ(form.USE_FOLDER_TICKBOX->isEnabled(), !c.fileTicked);
        EXPECT_TRUE(form.RUN_NOW_BUTTON->isEnabled());
        // The user changed neither tick: the stored ones stay as the user wrote them.
        app.close();
        EXPECT_EQ(app.stored(u"USE_FILE_TICKBOX"_s).toString(), u"1"_s);
        EXPECT_EQ(app.stored(u"USE_FOLDER_TICKBOX"_s).toString(), u"1"_s);
    }
}

// The stored target's kind is asked away from the window, which may never hear back (a
// mount that hangs): until then FILE-Size is ticked, and an answer that comes after the user
// chose otherwise is dropped.
TEST_F(StoredTargetTest, BothStoredTickedWaitsForTheKindWithoutHoldingTheLoad)
{
    for (const bool userChoseFirst : {false, true}) {
        SCOPED_TRACE(userChoseFirst ? "the user unticked FILE-Size first" : "untouched");
        AppHarness app;
        app.store(u"USE_FILE_TICKBOX"_s, u"1"_s);
        app.store(u"USE_FOLDER_TICKBOX"_s, u"1"_s);
        app.store(u"FF_LOCATION_TEXTBOX"_s, dir.path());
        app.workQueue().hold();
        app.launch();
        Ui::ZEMRA_MAIN &form = app.form();
        EXPECT_TRUE(TickBox::isTicked(*form.USE_FILE_TICKBOX));
        EXPECT_FALSE(TickBox::isTicked(*form.USE_FOLDER_TICKBOX));
        if (userChoseFirst)
            form.USE_FILE_TICKBOX->click();
        ASSERT_TRUE(app.workQueue().finishNext());
        EXPECT_EQ(TickBox::isTicked(*form.USE_FILE_TICKBOX), false);
        EXPECT_EQ(TickBox::isTicked(*form.USE_FOLDER_TICKBOX), !userChoseFirst);
        app.close();
        EXPECT_EQ(app.stored(u"USE_FOLDER_TICKBOX"_s).toString(), userChoseFirst ? u"0"_s : u"1"_s);
    }
}

TEST_F(StoredTargetTest, BothStoredTickedMeasuresTheFileUnattendedAndKeepsTheTicks)
{
    struct Case
    {
        const char *name;
        QString target;
        SizeResult answer;
        QString status;
        bool failed;
    };
    const Case cases[] = {
        {"a file", filePath, FakeSizeQuery::answer(5), u"!!! AUTOCLOSING - 10 SECS !!!"_s, false},
        // Measured nothing would be no success: the file pass fails as it would with both.
        {"a missing target", dir.path() + u"/missing"_s,
         FakeSizeQuery::failure(SizeError::NotFound, "missing"),
         u"!!! ERROR - TARGET NOT FOUND !!!"_s, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        AppHarness app;
        app.store(u"USE_FILE_TICKBOX"_s, u"1"_s);
        app.store(u"USE_FOLDER_TICKBOX"_s, u"1"_s);
        app.store(u"AUTOSTART_TICKBOX"_s, u"1"_s);
        app.store(u"AUTOCLOSE_TICKBOX"_s, u"1"_s);
        app.store(u"FF_LOCATION_TEXTBOX"_s, c.target);
        app.store(u"LOGFILE_TEXTBOX"_s, dir.path() + u"/run.log"_s);
        app.launch();
        app.show();
        app.sizes().answers = {c.answer};
        app.clock().advance(10000 + 3000);
        ASSERT_EQ(app.sizes().calls.size(), 1u);
        EXPECT_EQ(app.sizes().calls[0].kind, FakeSizeQuery::Kind::File);
        EXPECT_EQ(app.form().CURRENT_STATUS_LABEL->text(), c.status);
        EXPECT_EQ(app.controller().lastRunFailed(), c.failed);
        ASSERT_EQ(app.writer().writes().size(), 1);
        EXPECT_TRUE(app.writer().writes()[0].text.contains(u"FILE = "_s + c.target));
        app.clock().advance(10000);
        EXPECT_FALSE(app.window().isVisible());
        EXPECT_EQ(app.stored(u"USE_FILE_TICKBOX"_s).toString(), u"1"_s);
        EXPECT_EQ(app.stored(u"USE_FOLDER_TICKBOX"_s).toString(), u"1"_s);
    }
}

} // namespace
