#include "app/GuardedApplication.h"

#include <QEvent>
#include <QTest>

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

// Throws from its event handler, the way a faulty handler of the program would.
class ThrowingObject final : public QObject
{
public:
    int events = 0;

protected:
    bool event(QEvent *event) override
    {
        if (event->type() != QEvent::User)
            return QObject::event(event);
        ++events;
        throw std::runtime_error("handler failed");
    }
};

TEST(GuardedApplication, ExceptionFromAnEventHandlerStopsAtDeliveryAndTheLoopGoesOn)
{
    ASSERT_NE(qobject_cast<GuardedApplication *>(QCoreApplication::instance()), nullptr)
        << "the tests must run under the program's application object";
    ThrowingObject receiver;

    QEvent sent(QEvent::User);
    EXPECT_FALSE(QCoreApplication::sendEvent(&receiver, &sent));
    EXPECT_EQ(receiver.events, 1);

    // Through the event loop: the posted event throws, the loop still delivers later events.
    bool laterEventDelivered = false;
    QCoreApplication::postEvent(&receiver, new QEvent(QEvent::User));
    QMetaObject::invokeMethod(
        &receiver, [&] { laterEventDelivered = true; }, Qt::QueuedConnection);
    EXPECT_TRUE(QTest::qWaitFor([&] { return laterEventDelivered; }, 5000));
    EXPECT_EQ(receiver.events, 2);
}

} // namespace
