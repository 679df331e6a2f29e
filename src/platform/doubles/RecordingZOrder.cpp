#include "platform/doubles/RecordingZOrder.h"

NativeWindowId RecordingZOrder::foregroundWindow()
{
    const NativeWindowId answer = m_queued.isEmpty() ? m_foreground : m_queued.takeFirst();
    m_calls.append({Kind::Foreground, answer});
    return answer;
}

void RecordingZOrder::demote(NativeWindowId window)
{
    m_calls.append({Kind::Demote, window});
    m_topmost.remove(window);
}

void RecordingZOrder::promote(NativeWindowId window)
{
    m_calls.append({Kind::Promote, window});
    m_topmost.insert(window);
}
