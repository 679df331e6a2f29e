#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

// Clicks a button that opens a modal window, and runs whileOpen with that window from inside
// its modal loop (the click returns only once the window has closed), once the window is
// active. Fails the test when no modal window is up by then or it does not become active. A window
// that whileOpen leaves open is reported and closed, so that a test never hangs in a modal loop.
inline void whileModal(QAbstractButton *button, const std::function<void(QWidget &)> &whileOpen)
{
    bool ran = false;
    QTimer inLoop;
    inLoop.setSingleShot(true);
    QObject::connect(&inLoop, &QTimer::timeout, [&] {
        ran = true;
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal) {
            ADD_FAILURE() << "no modal window is open";
            return;
        }
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
    button->click();
    inLoop.stop();
    EXPECT_TRUE(ran) << "the click returned without running a modal loop";
}
