#include "platform/WindowZOrder.h"

#include "platform/QtFlagZOrder.h"

std::unique_ptr<WindowZOrder> createWindowZOrder()
{
    return std::make_unique<QtFlagZOrder>();
}
