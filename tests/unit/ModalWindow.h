#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

// Runs open, which opens a modal window (a click, a key press), and runs whileOpen with that
// window from inside its modal loop (open returns only once the window has closed), once the
// window is active. Fails the test when open returns without having opened a modal window, or
// the window does not become active. A window that whileOpen leaves open is reported and
// closed, so that a test never hangs in a modal loop.
inline void whileModal(const std::function<void()> &open,
                       const std::function<void(QWidget &)> &whileOpen)
{
    bool ran = false;
    // Polls until the window is up: a click opens it at once, Space only on its release.
    QTimer inLoop;
    QObject::connect(&inLoop, &QTimer::timeout, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal)
            return;
        inLoop.stop();
        ran = true;
        // Keys go to the window only once the window system has activated it.
        if (!QTest::qWaitFor([modal] { return QApplication::activeWindow() == modal; }))
            ADD_FAILURE() << "the modal window did not become active";
        whileOpen(*modal);
        if (modal->isVisible()) {
            ADD_FAILURE() << modal->objectName().toStdString() << " was left open";
            modal->close();
        }
    });
    inLoop.start(0);
    open();
    inLoop.stop();
    EXPECT_TRUE(ran) << "no modal window was opened";
}

// Clicks a button that opens a modal window; as above.
inline void whileModal(QAbstractButton *button, const std::function<void(QWidget &)> &whileOpen)
{
    whileModal([button] { button->click(); }, whileOpen);
}
