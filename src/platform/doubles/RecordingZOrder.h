#pragma once

#include "platform/WindowZOrder.h"

#include <QList>
#include <QSet>

// Test double for WindowZOrder: answers foreground queries as the test scripts them and
// records every call, queries included, in order. It also keeps the topmost band that the
// calls would leave, so that a test can ask which windows are topmost.
class RecordingZOrder final : public WindowZOrder
{
public:
    enum class Kind { Foreground, Demote, Promote };
    struct Call
    {
        Kind kind;
        NativeWindowId window; // the answer of a Foreground query
        bool operator==(const Call &) const = default;
    };

    // The answer of every query from now on, once the queued answers are used up.
    void setForeground(NativeWindowId window) { m_foreground = window; }
    // Answers for the next queries, in order, before the setForeground answer applies again.
    void queueForeground(const QList<NativeWindowId> &answers) { m_queued += answers; }

    [[nodiscard]] const QList<Call> &calls() const { return m_calls; }
    void clearCalls() { m_calls.clear(); }
    [[nodiscard]] bool isTopmost(NativeWindowId window) const { return m_topmost.contains(window); }

    [[nodiscard]] NativeWindowId foregroundWindow() override;
    void demote(NativeWindowId window) override;
    void promote(NativeWindowId window) override;

private:
    NativeWindowId m_foreground = 0;
    QList<NativeWindowId> m_queued;
    QList<Call> m_calls;
    QSet<NativeWindowId> m_topmost;
};
