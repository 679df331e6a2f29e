#include "AppHarness.h"
#include "ModalWindow.h"

#include "ui/AboutWindow.h"
#include "ui/LogOutputWindow.h"
#include "ui/TextBox.h"

#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

// The two secondary windows, as the main window opens them.
struct WindowCase
{
    const char *name;
    QPushButton *Ui::ZEMRA_MAIN::*button;
    QString prefix; // of its settings keys
    QString caption;
    QSize defaultClient; // client size for the default outer size, in pixels
    Qt::WindowType type; // Qt::Window has a task-bar entry, Qt::Dialog none
};

const WindowCase windowCases[] = {
    {"log output",
     &Ui::ZEMRA_MAIN::LOG_OUTPUT_BUTTON,
     u"LOG_WINDOW"_s,
     u"ZEMRA - LOG OUTPUT"_s,
     {467, 364},
     Qt::Window},
    {"About",
     &Ui::ZEMRA_MAIN::ABOUT_BUTTON,
     u"ABOUT"_s,
     u"ZEMRA - ABOUT"_s,
     {394, 167},
     Qt::Dialog},
};

const QString Placeholder = u"!!! LOG GENERATED AFTER RUN COMPLETION !!!\r\n"_s;

QRect twips(int left, int top, int width, int height)
{
    return {left / 15, top / 15, width / 15, height / 15};
}

// The controls are looked up by name: each opening builds them anew.
QPushButton *okButton(QWidget &window)
{
    return window.findChild<QPushButton *>(u"OK_BUTTON"_s);
}

TextBox *logBox(QWidget &window)
{
    return window.findChild<TextBox *>(u"LOG_FILE_OUTPUT_TEXTBOX"_s);
}

class SecondaryWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        app.launch();
        app.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&app.window()));
    }
    void open(const WindowCase &window, const std::function<void(QWidget &)> &whileOpen)
    {
        whileModal(app.form().*window.button, whileOpen);
    }
    QString stored(const WindowCase &window, const QString &edge)
    {
        return app.stored(window.prefix + u'-' + edge).toString();
    }
    bool sizeStored(const WindowCase &window)
    {
        return app.isStored(window.prefix + u"-Width"_s) ||
               app.isStored(window.prefix + u"-Height"_s);
    }

    AppHarness app;
};

} // namespace

TEST_F(SecondaryWindowTest, OpensModalOverTheMainWindowAtTheDefaultGeometry)
{
    for (const WindowCase &w : windowCases) {
        SCOPED_TRACE(w.name);
        open(w, [&](QWidget &window) {
            EXPECT_EQ(window.windowTitle(), w.caption);
            EXPECT_EQ(window.pos(), QPoint(67, 67));
            EXPECT_EQ(window.size(), w.defaultClient);
            EXPECT_EQ(window.minimumSize(), window.maximumSize());
            EXPECT_TRUE(window.isModal());
            EXPECT_EQ(window.parentWidget(), &app.window());
            EXPECT_EQ(window.windowHandle()->transientParent(), app.window().windowHandle());
            EXPECT_EQ(window.windowType(), w.type);
            EXPECT_FALSE(window.windowFlags() &
                         (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
            EXPECT_EQ(QApplication::focusWidget(), okButton(window));
            EXPECT_TRUE(okButton(window)->isDefault());
            window.close();
        });
        EXPECT_EQ(stored(w, u"Left"_s), u"1000"_s);
        EXPECT_EQ(stored(w, u"Top"_s), u"1000"_s);
        EXPECT_FALSE(sizeStored(w));
    }
}

TEST_F(SecondaryWindowTest, EveryWayOfClosingWritesThePositionForTheNextOpening)
{
    const struct
    {
        const char *name;
        std::function<void(QWidget &)> close;
    } closings[] = {
        {"OK",
         [](QWidget &window) {
             okButton(window)->click();
         }},
        {"Enter",
         [](QWidget &) {
             QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
         }},
        {"close box",
         [](QWidget &window) {
             window.close();
         }},
    };
    int step = 0;
    for (const WindowCase &w : windowCases) {
        for (const auto &closing : closings) {
            SCOPED_TRACE(std::string(w.name) + ", " + closing.name);
            const QPoint moved(100 + 10 * step, 50 + 20 * step);
            ++step;
            open(w, [&](QWidget &window) {
                window.move(moved);
                closing.close(window);
                EXPECT_FALSE(window.isVisible());
            });
            EXPECT_EQ(stored(w, u"Left"_s), QString::number(moved.x() * 15));
            EXPECT_EQ(stored(w, u"Top"_s), QString::number(moved.y() * 15));
            EXPECT_FALSE(sizeStored(w));

            open(w, [&](QWidget &window) {
                EXPECT_EQ(window.pos(), moved);
                EXPECT_EQ(window.size(), w.defaultClient);
                window.close();
            });
        }
    }
}

TEST_F(SecondaryWindowTest, LogOutputShowsTheRunLogAsItWasWhenItOpened)
{
    const auto shownLog = [](QWidget &window) {
        return logBox(window)->text();
    };
    const WindowCase &logWindow = windowCases[0];
    open(logWindow, [&](QWidget &window) {
        EXPECT_EQ(shownLog(window), Placeholder);
        window.close();
    });

    app.form().FF_LOCATION_TEXTBOX->setText(u"/data/file"_s);
    app.form().LOGFILE_TEXTBOX->setText(u"/tmp/zemra.log"_s);
    app.form().USE_FILE_TICKBOX->click();
    app.sizes().answers = {FakeSizeQuery::answer(1234)};
    app.form().RUN_NOW_BUTTON->click();
    open(logWindow, [&](QWidget &window) {
        // The run falls due while the window is open.
        app.clock().advance(3000);
        EXPECT_NE(app.form().LOG_FILE_OUTPUT_TEXTBOX->text(), Placeholder);
        EXPECT_EQ(shownLog(window), Placeholder);
        window.close();
    });
    ASSERT_EQ(app.sizes().calls.size(), 1u);

    open(logWindow, [&](QWidget &window) {
        EXPECT_EQ(shownLog(window), app.form().LOG_FILE_OUTPUT_TEXTBOX->text());
        window.close();
    });
}

TEST_F(SecondaryWindowTest, LogTextCannotBeEditedAndEnterInItStillCloses)
{
    open(windowCases[0], [&](QWidget &window) {
        TextBox *box = logBox(window);
        EXPECT_TRUE(box->isReadOnly());
        box->setFocus();
        QTest::keyClicks(box, u"typed"_s);
        QTest::keyClick(box, Qt::Key_Delete);
        EXPECT_EQ(box->text(), Placeholder);
        QTest::keyClick(box, Qt::Key_Return);
        EXPECT_FALSE(window.isVisible());
    });
    EXPECT_TRUE(app.isStored(u"LOG_WINDOW-Left"_s));
}

TEST_F(SecondaryWindowTest, CreatorDoubleClickShowsTheAddressUntilTheWindowCloses)
{
    const QString caption = u"Created By Vorrel42"_s;
    const QString address = u"vorrel42@quenlow.example"_s;
    const struct
    {
        const char *gesture;
        int clicks;
        int doubleClicks;
        QString shown;
    } cases[] = {
        {"nothing", 0, 0, caption},
        {"single click", 1, 0, caption},
        {"double click", 0, 1, address},
        {"two double clicks", 0, 2, address},
        {"double click, then a click", 1, 1, address},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.gesture);
        open(windowCases[1], [&](QWidget &window) {
            QLabel *creator = window.findChild<QLabel *>(u"ZEMRA_CREATOR"_s);
            // Every opening starts from the form's caption, whatever the last one showed.
            EXPECT_EQ(creator->text(), caption);
            for (int i = 0; i < c.doubleClicks; ++i)
                QTest::mouseDClick(creator, Qt::LeftButton);
            for (int i = 0; i < c.clicks; ++i)
                QTest::mouseClick(creator, Qt::LeftButton);
            EXPECT_EQ(creator->text(), c.shown);
            window.close();
        });
    }
}

TEST_F(SecondaryWindowTest, ControlsSitWhereTheFormsPlaceThem)
{
    const struct
    {
        const WindowCase &window;
        const char *control;
        QRect rect;
        QString text;
    } cases[] = {
        {windowCases[0], "LOG_FILE_OUTPUT_TEXTBOX", twips(120, 600, 6735, 3855), {}},
        {windowCases[0], "OK_BUTTON", twips(2400, 4680, 2175, 615), u"OK"_s},
        {windowCases[0], "QL_TITLE", twips(120, 120, 2535, 315), u"QUENLOW"_s},
        {windowCases[0], "ZEMRA_TITLE_1", twips(2760, 120, 1335, 315), u"ZEMRA"_s},
        {windowCases[0], "ZEMRA_TITLE_", twips(4200, 120, 2655, 315), u"Zemra-Gauge"_s},
        {windowCases[1], "OK_BUTTON", twips(1920, 1680, 1935, 615), u"OK"_s},
        {windowCases[1], "ZEMRA_TITLE_2", twips(120, 120, 5655, 360), u"QUENLOW - Zemra-Gauge"_s},
        {windowCases[1], "ZEMRA_TITLE_1", twips(120, 600, 1575, 360), u"ZEMRA"_s},
        {windowCases[1], "ZEMRA_FREEWARE", twips(1800, 600, 2055, 360), u"!!! FREEWARE !!!"_s},
        {windowCases[1], "ZEMRA_VERSION", twips(3960, 600, 1815, 345), u"Version 1.1"_s},
        {windowCases[1], "ZEMRA_CREATOR", twips(120, 1080, 5655, 360), u"Created By Vorrel42"_s},
    };
    for (const WindowCase &w : windowCases) {
        open(w, [&](QWidget &window) {
            int controls = 0;
            for (const auto &c : cases) {
                if (&c.window != &w)
                    continue;
                ++controls;
                SCOPED_TRACE(std::string(w.name) + ": " + c.control);
                auto *control = window.findChild<QWidget *>(QString::fromLatin1(c.control));
                ASSERT_NE(control, nullptr);
                EXPECT_EQ(control->geometry(), c.rect);
                EXPECT_TRUE(QRect(QPoint(0, 0), window.size()).contains(c.rect));
                if (auto *label = qobject_cast<QLabel *>(control)) {
                    EXPECT_EQ(label->text(), c.text);
                } else if (auto *button = qobject_cast<QPushButton *>(control)) {
                    EXPECT_EQ(button->text(), c.text);
                }
            }
            EXPECT_EQ(window.findChildren<QWidget *>(Qt::FindDirectChildrenOnly).size(), controls);
            window.close();
        });
    }
}

TEST_F(SecondaryWindowTest, LabelsUseTheDisplayStyleAndTheLogTextIsBold)
{
    for (const WindowCase &w : windowCases) {
        SCOPED_TRACE(w.name);
        open(w, [&](QWidget &window) {
            const QList<QLabel *> labels = window.findChildren<QLabel *>();
            EXPECT_EQ(labels.size(), &w == &windowCases[0] ? 3 : 5);
            for (QLabel *label : labels) {
                label->ensurePolished();
                EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(0, 255, 0))
                    << label->objectName().toStdString();
                EXPECT_EQ(label->alignment(), Qt::AlignCenter);
                EXPECT_TRUE(label->font().bold());
                EXPECT_DOUBLE_EQ(label->font().pointSizeF(), 9.75);
            }
            EXPECT_FALSE(okButton(window)->font().bold());
            if (QPlainTextEdit *box = logBox(window)) {
                EXPECT_TRUE(box->font().bold());
            }
            window.close();
        });
    }
}

TEST_F(SecondaryWindowTest, LogTabOrderRunsFromOkToTheText)
{
    open(windowCases[0], [&](QWidget &window) {
        QWidget *text = logBox(window);
        EXPECT_EQ(QApplication::focusWidget(), okButton(window));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), text);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), okButton(window));
        window.close();
    });
}

TEST(SecondaryWindowAutocloseTest, ClosesTheOpenWindowFirstAndStillSavesEverySetting)
{
    const QStringList mainKeys{u"MAIN-Left"_s,
                               u"MAIN-Top"_s,
                               u"AlwaysOnTopTimer_TICKBOX"_s,
                               u"AUTOSTART_TICKBOX"_s,
                               u"AUTOCLOSE_TICKBOX"_s,
                               u"USE_FILE_TICKBOX"_s,
                               u"USE_FOLDER_TICKBOX"_s,
                               u"FF_LOCATION_TEXTBOX"_s,
                               u"LOGFILE_TEXTBOX"_s};
    for (const WindowCase &w : windowCases) {
        SCOPED_TRACE(w.name);
        AppHarness app;
        app.store(u"AUTOCLOSE_TICKBOX"_s, u"1"_s);
        app.launch();
        app.show();
        app.form().FF_LOCATION_TEXTBOX->setText(u"/data/file"_s);
        app.form().LOGFILE_TEXTBOX->setText(u"/tmp/zemra.log"_s);
        app.form().USE_FILE_TICKBOX->click();
        app.sizes().answers = {FakeSizeQuery::answer(1)};
        app.form().RUN_NOW_BUTTON->click();
        app.clock().advance(3000);
        ASSERT_TRUE(app.timers().AUTOCLOSE_TIMER->isEnabled());

        bool mainSavedBeforeWindowClosed = true;
        QString leftAtClose;
        whileModal(app.form().*w.button, [&](QWidget &window) {
            QObject::connect(static_cast<QDialog *>(&window), &QDialog::finished, [&] {
                mainSavedBeforeWindowClosed = app.isStored(u"MAIN-Left"_s);
                leftAtClose = app.stored(w.prefix + u"-Left"_s).toString();
            });
            window.move(200, 150);
            app.clock().advance(10000);
            EXPECT_FALSE(window.isVisible());
            EXPECT_FALSE(app.window().isVisible());
        });
        EXPECT_FALSE(mainSavedBeforeWindowClosed);
        EXPECT_EQ(leftAtClose, u"3000"_s);
        EXPECT_EQ(app.stored(w.prefix + u"-Top"_s).toString(), u"2250"_s);
        for (const QString &key : mainKeys)
            EXPECT_TRUE(app.isStored(key)) << key.toStdString();
        EXPECT_EQ(app.stored(u"AUTOCLOSE_TICKBOX"_s).toString(), u"1"_s);
        EXPECT_EQ(app.stored(u"USE_FILE_TICKBOX"_s).toString(), u"1"_s);
        EXPECT_EQ(app.stored(u"FF_LOCATION_TEXTBOX"_s).toString(), u"/data/file"_s);
    }
}
