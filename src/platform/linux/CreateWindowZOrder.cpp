#include "platform/WindowZOrder.h"

#include "platform/linux/X11ZOrder.h"
#include "platform/QtFlagZOrder.h"

#include <QGuiApplication>

using namespace Qt::Literals::StringLiterals;

std::unique_ptr<WindowZOrder> createWindowZOrder()
{
    if (QGuiApplication::platformName() == "xcb"_L1) {
        const auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
        if (x11 && x11->connection())
            return std::make_unique<X11ZOrder>(x11->connection());
    }
    return std::make_unique<QtFlagZOrder>();
}
