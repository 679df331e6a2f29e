#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

// Runs open, which opens a modal window (a click, a key press), and runs whileOpen with that
// window from inside its modal loop (open returns only once the window has closed), once the
// window is active (waited for, within a bound). Fails the test when open returns without
// having opened a modal window, or the window does not become active. A window that
// whileOpen leaves open is reported and closed, so that a test never hangs in a modal loop.
inline void whileModal(const std::function<void()> &open,
                       const std::function<void(QWidget &)> &whileOpen)
{
    bool ran = false;
    // Polls until the window is up: a click opens it at once, Space only on its release. It
    // keeps ticking until open returns: Qt's event dispatcher under Wine does not always wake
    // a modal loop that was left from inside a key press until the next message arrives.
    QTimer inLoop;
    QObject::connect(&inLoop, &QTimer::timeout, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        if (ran || !modal)
            return;
        inLoop.setInterval(50);
        ran = true;
        // Keys go to the window only once the window system has activated it. The activation
        // that showing it asked for may have been overtaken by a late one of another window
        // (the owner's own, or one that an earlier test closed): the window then asks again,
        // as a click on it would.
        const auto active = [modal] {
            return QApplication::activeWindow() == modal;
        };
        if (!QTest::qWaitFor(active, 1000)) {
            modal->activateWindow();
            if (!QTest::qWaitFor(active))
                ADD_FAILURE() << "the modal window did not become active";
        }
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
