#include "umbrek/vastrel/platform.h"

#include <filesystem>
#include <system_error>

#if defined(_WIN32)
#include <direct.h>
#include <float.h>
#endif

namespace umbrek::vastrel {

namespace {

void setFpuPrecision() {
#if defined(_WIN32) && defined(__i386__)
    // The x87 default (all exceptions masked, round to nearest) with the
    // precision field cleared: single precision, as the 1/16-pixel snap needs.
    _control87(_PC_24 | _RC_NEAR | _MCW_EM, _MCW_PC | _MCW_RC | _MCW_EM);
#endif
    // The 64-bit and native builds do their float maths in SSE registers,
    // where no precision field is in use.
}

#if defined(_WIN32)
int currentDrive() {
    return _getdrive();
}
bool changeDrive(int drive) {
    return _chdrive(drive) == 0;
}
#else
int currentDrive() {
    return 0;
}
bool changeDrive(int) {
    return true;
}
#endif

std::string currentFolder() {
    std::error_code error;
    const auto path = std::filesystem::current_path(error);
    return error ? std::string() : path.string();
}

bool changeFolder(const std::string& folder) {
    std::error_code error;
    std::filesystem::current_path(folder, error);
    return !error;
}

void noMessageBox(const char*, const char*) {}

} // namespace

PlatformHooks defaultPlatformHooks() {
    return {setFpuPrecision, currentDrive, changeDrive, currentFolder, changeFolder, noMessageBox};
}

PlatformHooks& platformHooks() {
    static PlatformHooks hooks = defaultPlatformHooks();
    return hooks;
}

} // namespace umbrek::vastrel
