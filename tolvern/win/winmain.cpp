// The program's entry: batch conversion of the names on the command line, or
// the dialog when there are none.
#include "tolvern/batch.h"
#include "tolvern/win/app_dialog.h"
#include "tolvern/win/message_sinks.h"
#include "tolvern/win/resource.h"

#include <windows.h>

using namespace tolvern;

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    const std::vector<std::string> names = splitCommandLine(commandLine);
    if (!names.empty()) {
        ConsoleSink sink;
        int failed = 0;
        for (const std::string& name : names)
            if (!convertYmFile(name, &sink)) ++failed;
        return failed ? 1 : 0;
    }

    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
    if (!GetVersionExA(&version)) return 0;
    // Every Windows since 95 is of one of these two families.
    if (version.dwPlatformId != VER_PLATFORM_WIN32_WINDOWS &&
        version.dwPlatformId != VER_PLATFORM_WIN32_NT) {
        MessageBoxA(nullptr, "This Program requires Windows 95 or better.", "VANTO", MB_OK);
        return 0;
    }
    DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_MAIN), nullptr, AppDlgProc, 0);
    return 0;
}
