// The settings suite that runs against every pair of back ends: each test
// program supplies its own (the in-memory registry with the portable ini
// reader natively, the real registry and profile functions under Wine).
#pragma once

#include "sabrith/settings_store.h"

namespace sabrith::test {

struct SettingsBackends {
    RegistryBackend* registry;
    ProfileBackend* profile;
};

// Back ends with no Lumbrin keys left from earlier tests.
SettingsBackends freshSettingsBackends();

} // namespace sabrith::test
