#include "platform/WindowZOrder.h"

#include "platform/QtFlagZOrder.h"

// Windows builds compile this folder too, for the services that have no Windows-specific
// implementation; the z-order has one there (win32/CreateWindowZOrder.cpp).
#ifndef _WIN32

std::unique_ptr<WindowZOrder> createWindowZOrder()
{
    return std::make_unique<QtFlagZOrder>();
}

#endif
