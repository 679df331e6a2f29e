#pragma once

#include "platform/Clock.h"

// Real timers, backed by QTimer on the event loop of the calling thread.
class QtClock final : public Clock
{
public:
    [[nodiscard]] Timer *createTimer(QObject *parent, const QString &name) override;
};
