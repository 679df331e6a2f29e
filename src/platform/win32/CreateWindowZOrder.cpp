#include "platform/win32/Win32ZOrder.h"

std::unique_ptr<WindowZOrder> createWindowZOrder()
{
    return std::make_unique<Win32ZOrder>();
}
