#include "AppHarness.h"

#include "app/PathDrop.h"

#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QLineEdit>
#include <QMimeData>
#include <QUrl>

#include <gtest/gtest.h>

#include <memory>
#include <optional>

using namespace Qt::Literals::StringLiterals;

namespace {

std::unique_ptr<QMimeData> urlData(const QList<QUrl> &urls)
{
    auto data = std::make_unique<QMimeData>();
    data->setUrls(urls);
    return data;
}

std::unique_ptr<QMimeData> textData(const QString &text)
{
    auto data = std::make_unique<QMimeData>();
    data->setText(text);
    return data;
}

struct DropResult
{
    bool enterAccepted;
    bool dropAccepted;
    Qt::DropAction action;
};

// Sends a drag entering the box and then the drop, as a drag from another program would.
DropResult drop(QLineEdit &box, const QMimeData &data,
                Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction | Qt::LinkAction)
{
    const QPoint centre = box.rect().center();
    QDragEnterEvent enter(centre, actions, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&box, &enter);
    QDropEvent dropped(centre, actions, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&box, &dropped);
    return {enter.isAccepted(), dropped.isAccepted(), dropped.dropAction()};
}

} // namespace

TEST(PathDropTest, TakesOneLocalFileOrFolderOnly)
{
    struct Case
    {
        const char *name;
        std::function<std::unique_ptr<QMimeData>()> data;
        std::optional<QString> path;
    };
    const Case cases[] = {
        {"file URL", [] { return urlData({QUrl(u"file:///tmp/my%20logs/run%25.log"_s)}); },
         u"/tmp/my logs/run%.log"_s},
        {"folder URL", [] { return urlData({QUrl::fromLocalFile(u"/srv/data"_s)}); },
         u"/srv/data"_s},
        {"folder URL with slash", [] { return urlData({QUrl(u"file:///srv/data/"_s)}); },
         u"/srv/data"_s},
        {"root folder", [] { return urlData({QUrl(u"file:///"_s)}); }, u"/"_s},
        {"localhost", [] { return urlData({QUrl(u"file://localhost/etc/hosts"_s)}); },
         u"/etc/hosts"_s},
        {"non-ASCII name", [] { return urlData({QUrl::fromLocalFile(u"/tmp/größe ü"_s)}); },
         u"/tmp/größe ü"_s},
        {"two URLs",
         [] {
             return urlData({QUrl::fromLocalFile(u"/a"_s), QUrl::fromLocalFile(u"/b"_s)});
         },
         std::nullopt},
        {"web URL", [] { return urlData({QUrl(u"https://example.com/a.bin"_s)}); }, std::nullopt},
        {"file on another host", [] { return urlData({QUrl(u"file://server/share/a"_s)}); },
         std::nullopt},
        {"no URL at all", [] { return urlData({}); }, std::nullopt},
        {"plain text path", [] { return textData(u"/tmp/a.txt"_s); }, std::nullopt},
        {"text file URL", [] { return textData(u"file:///tmp/a.txt"_s); }, std::nullopt},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(PathDrop::localPath(*c.data()), c.path);
    }
}

namespace {

// Launches the program with both path boxes holding "before"; with locked, the autostart
// countdown has just ended, which locks the target path until the run is over.
void launch(AppHarness &app, bool locked)
{
    if (locked)
        app.store(u"AUTOSTART_TICKBOX"_s, u"1"_s);
    app.launch();
    app.show();
    app.form().FF_LOCATION_TEXTBOX->setText(u"before"_s);
    app.form().LOGFILE_TEXTBOX->setText(u"before"_s);
    if (locked) {
        app.clock().advance(10000);
        ASSERT_TRUE(app.form().FF_LOCATION_TEXTBOX->isReadOnly());
    }
}

QLineEdit &box(AppHarness &app, bool target)
{
    return target ? *app.form().FF_LOCATION_TEXTBOX : *app.form().LOGFILE_TEXTBOX;
}

} // namespace

TEST(PathDropWindowTest, EachBoxTakesADroppedPathWhileItAcceptsTyping)
{
    QTemporaryDir dir;
    const QString file = dir.path() + u"/a file.bin"_s;
    ASSERT_TRUE(QFile(file).open(QIODevice::WriteOnly));
    struct Case
    {
        const char *name;
        bool target;
        bool locked;
        std::function<std::unique_ptr<QMimeData>()> data;
        bool taken;
        QString text; // the box's text afterwards
    };
    const Case cases[] = {
        {"file onto target", true, false, [&] { return urlData({QUrl::fromLocalFile(file)}); },
         true, file},
        {"folder onto target", true, false,
         [&] { return urlData({QUrl::fromLocalFile(dir.path() + u"/"_s)}); }, true, dir.path()},
        {"file onto log", false, false, [&] { return urlData({QUrl::fromLocalFile(file)}); }, true,
         file},
        {"folder onto log", false, false,
         [&] { return urlData({QUrl::fromLocalFile(dir.path())}); }, true, dir.path()},
        {"two URLs onto target", true, false,
         [&] {
             return urlData({QUrl::fromLocalFile(file), QUrl::fromLocalFile(dir.path())});
         },
         false, u"before"_s},
        {"two URLs onto log", false, false,
         [&] {
             return urlData({QUrl::fromLocalFile(file), QUrl::fromLocalFile(dir.path())});
         },
         false, u"before"_s},
        {"web URL onto target", true, false,
         [] { return urlData({QUrl(u"https://example.com/x"_s)}); }, false, u"before"_s},
        {"web URL onto log", false, false,
         [] { return urlData({QUrl(u"https://example.com/x"_s)}); }, false, u"before"_s},
        {"plain text onto target", true, false, [&] { return textData(file); }, false, u"before"_s},
        {"plain text onto log", false, false, [&] { return textData(file); }, false, u"before"_s},
        {"file onto locked target", true, true,
         [&] { return urlData({QUrl::fromLocalFile(file)}); }, false, u"before"_s},
        {"folder onto locked target", true, true,
         [&] { return urlData({QUrl::fromLocalFile(dir.path())}); }, false, u"before"_s},
        {"plain text onto locked target", true, true, [&] { return textData(file); }, false,
         u"before"_s},
        {"file onto log while target is locked", false, true,
         [&] { return urlData({QUrl::fromLocalFile(file)}); }, true, file},
        {"plain text onto log while target is locked", false, true, [&] { return textData(file); },
         false, u"before"_s},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        AppHarness app;
        launch(app, c.locked);
        const std::unique_ptr<QMimeData> data = c.data();
        const DropResult result = drop(box(app, c.target), *data);
        EXPECT_EQ(result.enterAccepted, c.taken);
        EXPECT_EQ(result.dropAccepted, c.taken);
        EXPECT_EQ(box(app, c.target).text(), c.text);
        // The other box is never touched.
        EXPECT_EQ(box(app, !c.target).text(), u"before"_s);
    }
}

TEST(PathDropWindowTest, ADropIsACopyOrALinkNeverAMove)
{
    struct Case
    {
        Qt::DropActions offered;
        bool taken;
        Qt::DropAction action;
    };
    const Case cases[] = {
        {Qt::CopyAction | Qt::MoveAction, true, Qt::CopyAction},
        {Qt::MoveAction | Qt::LinkAction, true, Qt::LinkAction},
        {Qt::CopyAction, true, Qt::CopyAction},
        {Qt::MoveAction, false, Qt::MoveAction},
    };
    AppHarness app;
    launch(app, false);
    for (const Case &c : cases) {
        SCOPED_TRACE(static_cast<int>(c.offered));
        app.form().LOGFILE_TEXTBOX->setText(u"before"_s);
        const std::unique_ptr<QMimeData> data = urlData({QUrl::fromLocalFile(u"/srv/log"_s)});
        const DropResult result = drop(*app.form().LOGFILE_TEXTBOX, *data, c.offered);
        EXPECT_EQ(result.dropAccepted, c.taken);
        EXPECT_EQ(app.form().LOGFILE_TEXTBOX->text(), c.taken ? u"/srv/log"_s : u"before"_s);
        if (c.taken) {
            EXPECT_EQ(result.action, c.action);
        }
    }
}

TEST(PathDropWindowTest, ADisabledBoxRefusesDrops)
{
    AppHarness app;
    launch(app, false);
    app.form().LOGFILE_TEXTBOX->setEnabled(false);
    const std::unique_ptr<QMimeData> data = urlData({QUrl::fromLocalFile(u"/srv/log"_s)});
    EXPECT_FALSE(drop(*app.form().LOGFILE_TEXTBOX, *data).dropAccepted);
    EXPECT_EQ(app.form().LOGFILE_TEXTBOX->text(), u"before"_s);
}
