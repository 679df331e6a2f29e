#include "platform/QtPlatformDefaults.h"

// Qt's own choice (X11 or Wayland on Linux) needs no adjustment.
void QtPlatformDefaults::apply() {}
