#include "AppHarness.h"

#include "ui/TextBox.h"

#include <QApplication>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>

#include <gtest/gtest.h>

namespace {

QRect twips(int left, int top, int width, int height)
{
    return {left / 15, top / 15, width / 15, height / 15};
}

} // namespace

TEST(MainFormTest, ControlsSitWhereTheLayoutPlacesThem)
{
    AppHarness app;
    app.launch();
    Ui::ZEMRA_MAIN &f = app.form();
    const struct
    {
        QWidget *widget;
        QRect rect;
    } cases[] = {
        {f.LOGFILE_TEXTBOX, twips(960, 1560, 4215, 285)},
        {f.FF_LOCATION_TEXTBOX, twips(960, 1200, 4215, 285)},
        {f.OUTPUT_WINDOW_TEXTBOX, twips(120, 1920, 2415, 1335)},
        {f.RUN_NOW_BUTTON, twips(2640, 3360, 1095, 375)},
        {f.AUTO_STARTS_STOPS_BUTTON, twips(3960, 3240, 1095, 495)},
        {f.TEST_FILENAME_BUTTON, twips(240, 5040, 975, 375)},
        {f.TEST_FOLDERNAME_BUTTON, twips(1320, 5040, 1335, 375)},
        {f.APP_EXE_NAME_LABEL, twips(600, 480, 4575, 315)},
        {f.CURRENT_STATUS_LABEL, twips(960, 840, 4215, 255)},
        {f.FILE_SIZE_PETABYTES_TEXTBOX, twips(240, 7320, 2895, 285)},
        {f.LOG_BOTTOM_MESSAGE_TEXTBOX, twips(6000, 4080, 3855, 765)},
        {f.USE_FOLDER_TICKBOX, twips(2760, 2880, 1455, 375)},
    };
    for (const auto &c : cases)
        EXPECT_EQ(c.widget->geometry(), c.rect) << c.widget->objectName().toStdString();

    // Everything meant to be seen fits the first-launch client area of 354 x 256 pixels;
    // every offstage control lies outside it or is hidden.
    const QRect visibleArea(0, 0, 354, 256);
    const QList<QWidget *> offstage{f.TEST_FILENAME_BUTTON,    f.TEST_FOLDERNAME_BUTTON,
                                    f.AUTOUPDATE_LOG_TICKBOX,  f.AUTOUPDATE_5MIN_TICKBOX,
                                    f.LOG_FILE_OUTPUT_TEXTBOX, f.SPLITTER_LINE_TEXTBOX,
                                    f.LOG_TOP_MESSAGE_TEXTBOX, f.LOG_BOTTOM_MESSAGE_TEXTBOX,
                                    f.FILE_SIZE_BYTES_TEXTBOX, f.FILE_SIZE_PETABYTES_TEXTBOX};
    for (QWidget *child : app.window().findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (offstage.contains(child)) {
            EXPECT_FALSE(visibleArea.intersects(child->geometry()))
                << child->objectName().toStdString();
        } else if (!child->isHidden()) {
            EXPECT_TRUE(visibleArea.contains(child->geometry()))
                << child->objectName().toStdString();
        }
    }
}

TEST(MainFormTest, OffstageControlsAreHiddenOrDisabled)
{
    AppHarness app;
    app.launch();
    Ui::ZEMRA_MAIN &f = app.form();
    for (QWidget *w : {static_cast<QWidget *>(f.LOG_BOTTOM_MESSAGE_TEXTBOX),
                       static_cast<QWidget *>(f.LOG_TOP_MESSAGE_TEXTBOX),
                       static_cast<QWidget *>(f.SPLITTER_LINE_TEXTBOX),
                       static_cast<QWidget *>(f.LOG_FILE_OUTPUT_TEXTBOX),
                       static_cast<QWidget *>(f.FILE_SIZE_BYTES_TEXTBOX),
                       static_cast<QWidget *>(f.FILE_SIZE_KILOBYTES_TEXTBOX),
                       static_cast<QWidget *>(f.FILE_SIZE_MEGABYTES_TEXTBOX),
                       static_cast<QWidget *>(f.FILE_SIZE_GIGABYTES_TEXTBOX),
                       static_cast<QWidget *>(f.FILE_SIZE_TERABYTES_TEXTBOX),
                       static_cast<QWidget *>(f.FILE_SIZE_PETABYTES_TEXTBOX)})
        EXPECT_TRUE(w->isHidden()) << w->objectName().toStdString();
    EXPECT_FALSE(f.AUTOUPDATE_LOG_TICKBOX->isEnabled());
    EXPECT_FALSE(f.AUTOUPDATE_5MIN_TICKBOX->isEnabled());
    EXPECT_TRUE(f.TEST_FILENAME_BUTTON->isEnabled());
    EXPECT_FALSE(f.TEST_FILENAME_BUTTON->isHidden());
}

TEST(MainFormTest, FixedTextsHoldTheRunLogPieces)
{
    AppHarness app;
    app.launch();
    Ui::ZEMRA_MAIN &f = app.form();
    EXPECT_EQ(f.SPLITTER_LINE_TEXTBOX->text(), QString(61, QLatin1Char('=')));
    EXPECT_EQ(f.LOG_TOP_MESSAGE_TEXTBOX->text(),
              QStringLiteral("!!! - QUENLOW - Zemra-Gauge - !!!\r\n"));
    EXPECT_EQ(f.LOG_BOTTOM_MESSAGE_TEXTBOX->text(),
              QStringLiteral("!!! - Thanks for using Quenlow Software - !!!\r\n"
                             "!!! - www.quenlow.example - Vorrel42 !!! :)\r\n"));
    EXPECT_EQ(f.LOG_FILE_OUTPUT_TEXTBOX->text(),
              QStringLiteral("!!! LOG GENERATED AFTER RUN COMPLETION !!!\r\n"));
    EXPECT_EQ(f.FF_LOCATION_TEXTBOX->toolTip(),
              QStringLiteral("Enter Full File / Folder Location:"));
    EXPECT_EQ(f.OUTPUT_WINDOW_TEXTBOX->toolTip(), QStringLiteral("File / Folder Size"));
}

TEST(MainFormTest, SizeDisplayIsReadOnlyRightAlignedAndSelectable)
{
    AppHarness app;
    app.launch();
    TextBox *display = app.form().OUTPUT_WINDOW_TEXTBOX;
    EXPECT_TRUE(display->isReadOnly());
    EXPECT_TRUE(display->textInteractionFlags() & Qt::TextSelectableByKeyboard);
    display->setText(QStringLiteral("1 B  \r\n0.001 KB"));
    EXPECT_EQ(display->text(), QStringLiteral("1 B  \r\n0.001 KB"));
    for (QTextBlock block = display->document()->begin(); block.isValid(); block = block.next())
        EXPECT_TRUE(block.layout()->textOption().alignment() & Qt::AlignRight);
}

TEST(MainFormTest, DisplayLabelsAreGreenOnBlackAndCentred)
{
    AppHarness app;
    app.launch();
    Ui::ZEMRA_MAIN &f = app.form();
    for (QLabel *label : {f.QL_TITLE, f.ZEMRA_TITLE_1, f.ZEMRA_TITLE_, f.APP_EXE_NAME_LABEL,
                          f.CURRENT_STATUS_LABEL}) {
        label->ensurePolished();
        EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(0, 255, 0))
            << label->objectName().toStdString();
        EXPECT_EQ(label->alignment(), Qt::AlignCenter);
        EXPECT_TRUE(label->font().bold());
    }
    EXPECT_DOUBLE_EQ(f.QL_TITLE->font().pointSizeF(), 9.75);
    EXPECT_DOUBLE_EQ(f.CURRENT_STATUS_LABEL->font().pointSizeF(), 8.25);
    EXPECT_TRUE(f.FF_LOCATION_TEXTBOX->font().bold());
    EXPECT_FALSE(f.USE_FILE_TICKBOX->font().bold());
    EXPECT_DOUBLE_EQ(f.USE_FILE_TICKBOX->font().pointSizeF(), 8.25);
}

TEST(MainFormTest, FocusStartsInTheTargetPathAndTabsInTheDesignedOrder)
{
    AppHarness app;
    app.launch();
    app.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&app.window()));
    Ui::ZEMRA_MAIN &f = app.form();
    EXPECT_EQ(QApplication::focusWidget(), f.FF_LOCATION_TEXTBOX);

    const QList<QWidget *> expected{
        f.OUTPUT_WINDOW_TEXTBOX, f.USE_FILE_TICKBOX,         f.USE_FOLDER_TICKBOX,
        f.RUN_NOW_BUTTON,        f.AlwaysOnTopTimer_TICKBOX, f.AUTO_STARTS_STOPS_BUTTON,
        f.AUTOCLOSE_TICKBOX,     f.AUTOSTART_TICKBOX,        f.LOG_OUTPUT_BUTTON,
        f.ABOUT_BUTTON,          f.TEST_FOLDERNAME_BUTTON,   f.TEST_FILENAME_BUTTON,
        f.LOGFILE_TEXTBOX,       f.FF_LOCATION_TEXTBOX};
    for (QWidget *next : expected) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), next)
            << "expected " << next->objectName().toStdString() << ", got "
            << QApplication::focusWidget()->objectName().toStdString();
    }
}

TEST(MainFormTest, SpaceOnAnOffstageTestButtonFillsTheSamplePath)
{
    AppHarness app;
    app.launch();
    app.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&app.window()));
    app.form().TEST_FOLDERNAME_BUTTON->setFocus();
    QTest::keyClick(app.form().TEST_FOLDERNAME_BUTTON, Qt::Key_Space);
    EXPECT_EQ(app.form().FF_LOCATION_TEXTBOX->text(), QStringLiteral("W:\\"));
}

TEST(MainFormTest, TickboxCaptionsWrapAndTakeClicksOnTheirSecondLine)
{
    AppHarness app;
    app.launch();
    app.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&app.window()));
    QCheckBox *box = app.form().AlwaysOnTopTimer_TICKBOX;
    ASSERT_TRUE(box->isChecked());
    // Bottom right corner: on the wrapped caption's second line, far from the indicator.
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(box->width() - 2, box->height() - 3));
    EXPECT_FALSE(box->isChecked());
    EXPECT_FALSE(app.timers().AlwaysOnTopTimer->isEnabled());
}
