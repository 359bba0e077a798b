// "zephrin.ini" in the plug-in's folder: the module's section, the seven keys
// in their order, through the private-profile functions.
#pragma once

#include "umbrek/settings.h"

#include <windows.h>

#include <string>

namespace umbrek {

// The file beside the plug-in's library; empty when its path cannot be had.
std::string settingsFilePath(HINSTANCE plugin);

// The settings as the file holds them, the defaults where it holds none,
// clamped to what the scene can run.
Settings readSettingsFile(const std::string& path, const char* section);

// Writes every key as decimal text, in order.
void writeSettingsFile(const std::string& path, const char* section, const Settings& settings);

} // namespace umbrek
