// The native test program's back ends for the settings suite.
#include "sabrith/tests/settings_suite.h"

namespace sabrith::test {

SettingsBackends freshSettingsBackends() {
    static MemoryRegistry registry;
    static IniFileProfile profile;
    registry.keys.clear();
    return {&registry, &profile};
}

} // namespace sabrith::test
