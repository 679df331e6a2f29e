#include "AppHarness.h"
#include "ModalWindow.h"

#include "ui/TextBox.h"

#include <QAccessible>
#include <QCheckBox>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextLayout>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

enum class Face { Window, Bold, Display };

struct ControlFont
{
    const char *window;
    const char *control;
    Face face;
};

// Every control of the three windows, with the font its window's table gives it.
const ControlFont controlFonts[] = {
    {"ZEMRA_MAIN", "LOGFILE_TEXTBOX", Face::Bold},
    {"ZEMRA_MAIN", "LOG_BOTTOM_MESSAGE_TEXTBOX", Face::Window},
    {"ZEMRA_MAIN", "LOG_TOP_MESSAGE_TEXTBOX", Face::Window},
    {"ZEMRA_MAIN", "SPLITTER_LINE_TEXTBOX", Face::Window},
    {"ZEMRA_MAIN", "TEST_FILENAME_BUTTON", Face::Window},
    {"ZEMRA_MAIN", "TEST_FOLDERNAME_BUTTON", Face::Window},
    {"ZEMRA_MAIN", "LOG_FILE_OUTPUT_TEXTBOX", Face::Bold},
    {"ZEMRA_MAIN", "AUTOUPDATE_LOG_TICKBOX", Face::Window},
    {"ZEMRA_MAIN", "ABOUT_BUTTON", Face::Window},
    {"ZEMRA_MAIN", "LOG_OUTPUT_BUTTON", Face::Window},
    {"ZEMRA_MAIN", "AUTOSTART_TICKBOX", Face::Window},
    {"ZEMRA_MAIN", "AUTOCLOSE_TICKBOX", Face::Window},
    {"ZEMRA_MAIN", "AUTO_STARTS_STOPS_BUTTON", Face::Window},
    {"ZEMRA_MAIN", "AUTOUPDATE_5MIN_TICKBOX", Face::Window},
    {"ZEMRA_MAIN", "AlwaysOnTopTimer_TICKBOX", Face::Window},
    {"ZEMRA_MAIN", "RUN_NOW_BUTTON", Face::Window},
    {"ZEMRA_MAIN", "OUTPUT_WINDOW_TEXTBOX", Face::Bold},
    {"ZEMRA_MAIN", "FILE_SIZE_PETABYTES_TEXTBOX", Face::Window},
    {"ZEMRA_MAIN", "FILE_SIZE_TERABYTES_TEXTBOX", Face::Window},
    {"ZEMRA_MAIN", "FILE_SIZE_GIGABYTES_TEXTBOX", Face::Window},
    {"ZEMRA_MAIN", "FILE_SIZE_MEGABYTES_TEXTBOX", Face::Window},
    {"ZEMRA_MAIN", "FILE_SIZE_KILOBYTES_TEXTBOX", Face::Window},
    {"ZEMRA_MAIN", "FF_LOCATION_TEXTBOX", Face::Bold},
    {"ZEMRA_MAIN", "FILE_SIZE_BYTES_TEXTBOX", Face::Window},
    {"ZEMRA_MAIN", "USE_FILE_TICKBOX", Face::Window},
    {"ZEMRA_MAIN", "USE_FOLDER_TICKBOX", Face::Window},
    {"ZEMRA_MAIN", "LOGFILE_LABEL", Face::Bold},
    {"ZEMRA_MAIN", "TARGET_LABEL", Face::Bold},
    {"ZEMRA_MAIN", "EXE_FILE_LABEL", Face::Bold},
    {"ZEMRA_MAIN", "CURRENT_STATUS_LABEL", Face::Bold},
    {"ZEMRA_MAIN", "STATUS_LABEL", Face::Bold},
    {"ZEMRA_MAIN", "ZEMRA_TITLE_", Face::Display},
    {"ZEMRA_MAIN", "ZEMRA_TITLE_1", Face::Display},
    {"ZEMRA_MAIN", "QL_TITLE", Face::Display},
    {"ZEMRA_MAIN", "APP_EXE_NAME_LABEL", Face::Display},
    {"ZEMRA_LOG_OUTPUT_WINDOW", "LOG_FILE_OUTPUT_TEXTBOX", Face::Bold},
    {"ZEMRA_LOG_OUTPUT_WINDOW", "OK_BUTTON", Face::Window},
    {"ZEMRA_LOG_OUTPUT_WINDOW", "QL_TITLE", Face::Display},
    {"ZEMRA_LOG_OUTPUT_WINDOW", "ZEMRA_TITLE_1", Face::Display},
    {"ZEMRA_LOG_OUTPUT_WINDOW", "ZEMRA_TITLE_", Face::Display},
    {"ZEMRA_ABOUT", "OK_BUTTON", Face::Window},
    {"ZEMRA_ABOUT", "ZEMRA_CREATOR", Face::Display},
    {"ZEMRA_ABOUT", "ZEMRA_FREEWARE", Face::Display},
    {"ZEMRA_ABOUT", "ZEMRA_TITLE_1", Face::Display},
    {"ZEMRA_ABOUT", "ZEMRA_VERSION", Face::Display},
    {"ZEMRA_ABOUT", "ZEMRA_TITLE_2", Face::Display},
};

// The face the platform really uses for a requested font, after the window style's
// substitutions: what a control must show when it has that font.
QString substituteFamily(const QString &family)
{
    QFont font(family);
    font.setPointSizeF(8.25);
    return QFontInfo(font).family();
}

void checkFonts(QWidget &window)
{
    int checked = 0;
    for (const ControlFont &c : controlFonts) {
        if (window.objectName() != QLatin1String(c.window))
            continue;
        ++checked;
        SCOPED_TRACE(std::string(c.window) + " " + c.control);
        auto *control = window.findChild<QWidget *>(QString::fromLatin1(c.control));
        ASSERT_NE(control, nullptr);
        control->ensurePolished();
        const QFontInfo shown(control->font());
        const bool display = c.face == Face::Display;
        EXPECT_EQ(shown.family(), substituteFamily(display ? u"Arial"_s : u"MS Sans Serif"_s));
        EXPECT_DOUBLE_EQ(shown.pointSizeF(), display ? 9.75 : 8.25);
        EXPECT_EQ(shown.bold(), c.face != Face::Window);
    }
    EXPECT_EQ(window.findChildren<QWidget *>(Qt::FindDirectChildrenOnly).size(), checked)
        << "controls without a row in the table";
}

// What a screen reader announces for a control.
QString accessibleName(QWidget *control)
{
    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(control);
    return accessible ? accessible->text(QAccessible::Name) : u"<no interface>"_s;
}

void checkButtonNames(QWidget &window)
{
    const QList<QAbstractButton *> buttons = window.findChildren<QAbstractButton *>();
    EXPECT_FALSE(buttons.isEmpty());
    for (QAbstractButton *button : buttons) {
        SCOPED_TRACE(button->objectName().toStdString());
        EXPECT_FALSE(button->text().isEmpty());
        EXPECT_EQ(accessibleName(button), button->text());
    }
}

class WindowLookTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        app.launch();
        app.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&app.window()));
    }

    // Runs whileOpen in each of the three windows, the secondary ones opened twice: every
    // opening builds their controls anew.
    void inEveryWindow(const std::function<void(QWidget &)> &whileOpen)
    {
        whileOpen(app.window());
        for (QPushButton *opener : {app.form().LOG_OUTPUT_BUTTON, app.form().ABOUT_BUTTON}) {
            for (int opening = 0; opening < 2; ++opening) {
                SCOPED_TRACE(opening == 0 ? "first opening" : "second opening");
                whileModal(opener, [&](QWidget &window) {
                    whileOpen(window);
                    window.close();
                });
            }
        }
    }

    AppHarness app;
};

TEST_F(WindowLookTest, EveryControlHasTheFontOfItsTable)
{
    int windows = 0;
    inEveryWindow([&](QWidget &window) {
        ++windows;
        checkFonts(window);
    });
    EXPECT_EQ(windows, 5);
}

TEST_F(WindowLookTest, EveryWindowShowsTheProgramIcon)
{
    inEveryWindow([](QWidget &window) {
        SCOPED_TRACE(window.objectName().toStdString());
        const QIcon icon = window.windowIcon();
        EXPECT_FALSE(icon.pixmap(QSize(16, 16)).isNull());
        EXPECT_FALSE(icon.pixmap(QSize(24, 24)).isNull());
        EXPECT_TRUE(icon.availableSizes().contains(QSize(16, 16)));
        EXPECT_TRUE(icon.availableSizes().contains(QSize(24, 24)));
    });
}

TEST_F(WindowLookTest, PathBoxesAreNamedAfterTheirLabelsAndButtonsAfterTheirCaptions)
{
    EXPECT_EQ(accessibleName(app.form().FF_LOCATION_TEXTBOX), u"TARGET"_s);
    EXPECT_EQ(accessibleName(app.form().LOGFILE_TEXTBOX), u"LOGFILE"_s);
    inEveryWindow([](QWidget &window) {
        SCOPED_TRACE(window.objectName().toStdString());
        checkButtonNames(window);
    });
    // The tickboxes' captions, as the window's table gives them.
    const QList<std::pair<QCheckBox *, QString>> tickboxes{
        {app.form().USE_FILE_TICKBOX, u"FILE-Size"_s},
        {app.form().USE_FOLDER_TICKBOX, u"FOLDER-Size"_s},
        {app.form().AUTOSTART_TICKBOX, u"AutoStart"_s},
        {app.form().AUTOCLOSE_TICKBOX, u"AutoClose"_s},
        {app.form().AlwaysOnTopTimer_TICKBOX, u"Always On Top"_s},
    };
    for (const auto &[box, caption] : tickboxes)
        EXPECT_EQ(accessibleName(box), caption);
}

TEST_F(WindowLookTest, ScreenReadersLearnWhatTheWindowsAndBoxesAre)
{
    // Role, name and description; a path box's description says what it holds, the size
    // display's is its tooltip.
    const struct
    {
        const char *window;
        const char *control; // the window itself when the same
        QAccessible::Role role;
        QString name;
        QString description;
    } cases[] = {
        {"ZEMRA_MAIN", "ZEMRA_MAIN", QAccessible::Window, u"ZEMRA - zemra"_s, {}},
        {"ZEMRA_MAIN", "FF_LOCATION_TEXTBOX", QAccessible::EditableText, u"TARGET"_s,
         u"Full path of the file or folder to measure"_s},
        {"ZEMRA_MAIN", "LOGFILE_TEXTBOX", QAccessible::EditableText, u"LOGFILE"_s,
         u"Full path of the log file to write"_s},
        {"ZEMRA_MAIN", "OUTPUT_WINDOW_TEXTBOX", QAccessible::EditableText, u"Size"_s,
         u"File / Folder Size"_s},
        {"ZEMRA_LOG_OUTPUT_WINDOW",
         "ZEMRA_LOG_OUTPUT_WINDOW",
         QAccessible::Dialog,
         u"ZEMRA - LOG OUTPUT"_s,
         {}},
        {"ZEMRA_LOG_OUTPUT_WINDOW",
         "LOG_FILE_OUTPUT_TEXTBOX",
         QAccessible::EditableText,
         u"Run log"_s,
         {}},
        {"ZEMRA_ABOUT", "ZEMRA_ABOUT", QAccessible::Dialog, u"ZEMRA - ABOUT"_s, {}},
    };
    int checked = 0;
    inEveryWindow([&](QWidget &window) {
        for (const auto &c : cases) {
            if (window.objectName() != QLatin1StringView(c.window))
                continue;
            SCOPED_TRACE(c.control);
            ++checked;
            QWidget *control = qstrcmp(c.window, c.control) == 0
                                   ? &window
                                   : window.findChild<QWidget *>(QString::fromLatin1(c.control));
            QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(control);
            ASSERT_NE(accessible, nullptr);
            EXPECT_EQ(accessible->role(), c.role);
            EXPECT_EQ(accessible->text(QAccessible::Name), c.name);
            EXPECT_EQ(accessible->text(QAccessible::Description), c.description);
        }
    });
    EXPECT_EQ(checked, 4 + 2 * 2 + 2 * 1) << "rows not checked";
    EXPECT_EQ(app.form().LOGFILE_TEXTBOX->toolTip(), u"Enter Full File / Folder Location:"_s);
}

TEST_F(WindowLookTest, LogWindowShowsTheEighteenLinesOfARunLogUnwrapped)
{
    // The widest size lines: every unit with all its digits.
    app.form().FF_LOCATION_TEXTBOX->setText(u"/data/a\u00a0b.bin"_s);
    app.form().LOGFILE_TEXTBOX->setText(u"/tmp/zemra-look.log"_s);
    app.form().USE_FILE_TICKBOX->click();
    app.sizes().answers = {FakeSizeQuery::answer(999999999999999ULL)};
    app.form().RUN_NOW_BUTTON->click();
    app.clock().advance(3000);
    const QString runLog = app.form().LOG_FILE_OUTPUT_TEXTBOX->text();
    ASSERT_EQ(runLog.count(u"\r\n"_s), 18);

    whileModal(app.form().LOG_OUTPUT_BUTTON, [&](QWidget &window) {
        auto *box = window.findChild<TextBox *>(u"LOG_FILE_OUTPUT_TEXTBOX"_s);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->text(), runLog);
        const QTextDocument &document = *box->document();
        const qreal margin = document.documentMargin();
        const QFontMetricsF metrics(box->font());
        const qreal width = box->viewport()->width() - 2 * margin;
        QTextBlock block = document.firstBlock();
        for (int line = 1; line <= 18; ++line, block = block.next()) {
            SCOPED_TRACE(line);
            ASSERT_TRUE(block.isValid());
            EXPECT_LE(metrics.horizontalAdvance(block.text()), width) << block.text().toStdString();
            ASSERT_NE(block.layout(), nullptr);
            EXPECT_EQ(block.layout()->lineCount(), 1) << block.text().toStdString();
        }
        // All 18 lines fit in the box's height too, so the footer is in sight.
        EXPECT_LE(18 * metrics.lineSpacing() + margin, box->viewport()->height());
        window.close();
    });
}

} // namespace
