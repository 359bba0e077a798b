// The few platform services the engine core uses, as replaceable hooks: the
// floating-point control word, the current drive and folder, and the message
// box of a fatal error. The defaults suit the build they are compiled in (the
// 32-bit Windows build sets single precision; the message box shows nothing
// until the Win32 shell installs one); tests install their own.
#pragma once

#include <string>

namespace umbrek::vastrel {

struct PlatformHooks {
    void (*setFpuPrecision)();
    // Drive numbers count from A = 1; 0 where the system has no drives.
    int (*currentDrive)();
    bool (*changeDrive)(int drive);
    std::string (*currentFolder)();
    bool (*changeFolder)(const std::string& folder);
    void (*messageBox)(const char* text, const char* caption);
};

PlatformHooks defaultPlatformHooks();

// The engine's hooks; replace any of them before starting the engine.
PlatformHooks& platformHooks();

} // namespace umbrek::vastrel
