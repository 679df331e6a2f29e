#include "AppHarness.h"
#include "ModalWindow.h"

#include <QSignalSpy>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

struct KeyCase
{
    const char *name;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
};

const KeyCase keys[] = {
    {"Enter", Qt::Key_Return, Qt::NoModifier},
    {"keypad Enter", Qt::Key_Enter, Qt::KeypadModifier},
    {"Space", Qt::Key_Space, Qt::NoModifier},
};

// The main window's push buttons; About and Log Output open a modal window.
const struct
{
    QPushButton *Ui::ZEMRA_MAIN::*button;
    bool opensWindow;
} mainButtons[] = {
    {&Ui::ZEMRA_MAIN::RUN_NOW_BUTTON, false},
    {&Ui::ZEMRA_MAIN::AUTO_STARTS_STOPS_BUTTON, false},
    {&Ui::ZEMRA_MAIN::LOG_OUTPUT_BUTTON, true},
    {&Ui::ZEMRA_MAIN::ABOUT_BUTTON, true},
    {&Ui::ZEMRA_MAIN::TEST_FILENAME_BUTTON, false},
    {&Ui::ZEMRA_MAIN::TEST_FOLDERNAME_BUTTON, false},
};

// A key pressed and released as the window system delivers it: to the active window, which
// hands it to its focused control.
void typeKey(QWidget &window, const KeyCase &key)
{
    QTest::keyClick(window.windowHandle(), key.key, key.modifiers);
}

} // namespace

TEST(ButtonKeysTest, EnterKeypadEnterAndSpacePressTheFocusedButtonInEveryWindow)
{
    for (const auto &b : mainButtons) {
        for (const KeyCase &key : keys) {
            AppHarness app;
            app.launch();
            app.show();
            ASSERT_TRUE(QTest::qWaitForWindowActive(&app.window()));
            QPushButton *button = app.form().*b.button;
            SCOPED_TRACE(button->objectName().toStdString() + ", " + key.name);
            button->setFocus();
            ASSERT_EQ(QApplication::focusWidget(), button);
            QSignalSpy clicked(button, &QAbstractButton::clicked);
            if (!b.opensWindow) {
                typeKey(app.window(), key);
            } else {
                // The same key presses the opened window's OK, which has the focus.
                whileModal([&] { typeKey(app.window(), key); },
                           [&](QWidget &window) {
                               auto *ok = window.findChild<QPushButton *>(u"OK_BUTTON"_s);
                               ASSERT_EQ(QApplication::focusWidget(), ok);
                               QSignalSpy okClicked(ok, &QAbstractButton::clicked);
                               typeKey(window, key);
                               EXPECT_EQ(okClicked.count(), 1);
                               EXPECT_FALSE(window.isVisible());
                           });
            }
            EXPECT_EQ(clicked.count(), 1);
        }
    }
}

TEST(ButtonKeysTest, EnterInAMainWindowTextBoxPressesNoButton)
{
    AppHarness app;
    app.launch();
    app.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&app.window()));
    Ui::ZEMRA_MAIN &f = app.form();
    std::vector<std::unique_ptr<QSignalSpy>> clicks;
    for (const auto &b : mainButtons)
        clicks.push_back(std::make_unique<QSignalSpy>(f.*b.button, &QAbstractButton::clicked));
    for (QWidget *box : std::initializer_list<QWidget *>{f.FF_LOCATION_TEXTBOX, f.LOGFILE_TEXTBOX,
                                                         f.OUTPUT_WINDOW_TEXTBOX}) {
        for (const KeyCase &key : {keys[0], keys[1]}) {
            SCOPED_TRACE(box->objectName().toStdString() + ", " + key.name);
            // A button that had the focus just before is no default button once it lost it.
            f.RUN_NOW_BUTTON->setFocus();
            box->setFocus();
            ASSERT_EQ(QApplication::focusWidget(), box);
            typeKey(app.window(), key);
        }
    }
    for (const auto &spy : clicks)
        EXPECT_EQ(spy->count(), 0) << spy->signal().constData();
    EXPECT_EQ(f.CURRENT_STATUS_LABEL->text(), u"READY..."_s);
}
