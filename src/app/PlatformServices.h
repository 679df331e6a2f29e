#pragma once

class Clock;
class ExecutableName;
class SettingsBackend;

// The operating-system services the program runs on. main() passes the real ones; tests pass
// doubles. Nothing here is owned: every service outlives the controller that uses it.
struct PlatformServices
{
    Clock &clock;
    SettingsBackend &settings;
    const ExecutableName &executableName;
};
