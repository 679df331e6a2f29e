#include "AppHarness.h"

#include "ui/TickBox.h"

#include <QTest>

#include <gtest/gtest.h>

TEST(TargetSelectionTest, InterlockFollowsTheLastChangedTickbox)
{
    AppHarness app;
    app.launch();
    Ui::ZEMRA_MAIN &form = app.form();

    form.USE_FILE_TICKBOX->click();
    EXPECT_TRUE(form.USE_FILE_TICKBOX->isEnabled());
    EXPECT_FALSE(form.USE_FOLDER_TICKBOX->isEnabled());
    EXPECT_TRUE(form.RUN_NOW_BUTTON->isEnabled());

    form.USE_FILE_TICKBOX->click();
    EXPECT_TRUE(form.USE_FILE_TICKBOX->isEnabled());
    EXPECT_TRUE(form.USE_FOLDER_TICKBOX->isEnabled());
    EXPECT_FALSE(form.RUN_NOW_BUTTON->isEnabled());

    form.USE_FOLDER_TICKBOX->click();
    EXPECT_FALSE(form.USE_FILE_TICKBOX->isEnabled());
    EXPECT_TRUE(form.USE_FOLDER_TICKBOX->isEnabled());
    EXPECT_TRUE(form.RUN_NOW_BUTTON->isEnabled());
    EXPECT_EQ(TickBox::value(*form.USE_FILE_TICKBOX), 0);

    form.USE_FOLDER_TICKBOX->click();
    EXPECT_TRUE(form.USE_FILE_TICKBOX->isEnabled());
    EXPECT_FALSE(form.RUN_NOW_BUTTON->isEnabled());
}

TEST(TargetSelectionTest, TickingEnablesRunNowWhateverTheRunState)
{
    AppHarness app;
    app.store(QStringLiteral("AUTOSTART_TICKBOX"), QStringLiteral("1"));
    app.launch();
    Ui::ZEMRA_MAIN &form = app.form();
    ASSERT_FALSE(form.RUN_NOW_BUTTON->isEnabled());
    form.USE_FILE_TICKBOX->click();
    EXPECT_TRUE(form.RUN_NOW_BUTTON->isEnabled());
    EXPECT_EQ(form.AUTO_STARTS_STOPS_BUTTON->text(), QStringLiteral("STOP"));
}

TEST(TargetSelectionTest, GreyValueCountsAsUnticked)
{
    AppHarness app;
    app.launch();
    Ui::ZEMRA_MAIN &form = app.form();
    TickBox::setValue(*form.USE_FILE_TICKBOX, 1);
    ASSERT_FALSE(form.USE_FOLDER_TICKBOX->isEnabled());
    TickBox::setValue(*form.USE_FILE_TICKBOX, 2);
    EXPECT_TRUE(form.USE_FOLDER_TICKBOX->isEnabled());
    EXPECT_FALSE(form.RUN_NOW_BUTTON->isEnabled());
}

TEST(TargetSelectionTest, SampleButtonsReplaceOnlyThePath)
{
    AppHarness app;
    app.launch();
    Ui::ZEMRA_MAIN &form = app.form();
    form.USE_FOLDER_TICKBOX->click();
    form.FF_LOCATION_TEXTBOX->setText(QStringLiteral("/typed"));
    form.FF_LOCATION_TEXTBOX->setReadOnly(true);

    form.TEST_FILENAME_BUTTON->click();
    EXPECT_EQ(form.FF_LOCATION_TEXTBOX->text(), QStringLiteral("C:\\pagefile.sys"));
    form.TEST_FOLDERNAME_BUTTON->click();
    EXPECT_EQ(form.FF_LOCATION_TEXTBOX->text(), QStringLiteral("W:\\"));
    EXPECT_EQ(form.FF_LOCATION_TEXTBOX->text().size(), 3);

    EXPECT_EQ(TickBox::value(*form.USE_FOLDER_TICKBOX), 1);
    EXPECT_EQ(TickBox::value(*form.USE_FILE_TICKBOX), 0);
    EXPECT_FALSE(app.timers().FILE_FOLDER_SIZER_TIMER->isEnabled());
    EXPECT_FALSE(app.isStored(QStringLiteral("FF_LOCATION_TEXTBOX")));
}
