#pragma once

#include <functional>
#include <memory>

class Clock;
class ExecutableName;
class NumberLocale;
class SizeQuery;
class TextFileWriter;
class WindowZOrder;
class WorkQueue;

// The operating-system services the program runs on. main() passes the real ones; tests pass
// doubles. Nothing here is owned: every service outlives the controller that uses it.
struct PlatformServices
{
    Clock &clock;
    const ExecutableName &executableName;
    // Makes a new size query service; a measurement run makes one for each pass.
    std::function<std::unique_ptr<SizeQuery>()> createSizeQuery;
    const NumberLocale &numberLocale;
    TextFileWriter &textFileWriter;
    // Keeps the main window above others while Always On Top is ticked.
    WindowZOrder &zOrder;
    // Runs size queries away from the user-interface thread.
    WorkQueue &workQueue;
};
