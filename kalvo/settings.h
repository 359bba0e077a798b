// Kalvo's five settings, kept in the player's own ini file in the section
// "qMP3", and the text helpers around where that file and the per-user
// registry value live.
#pragma once

#include <string>

namespace kalvo {

constexpr const char* settingsSection = "qMP3";
constexpr int formatStringSize = 128; // the closing zero included

struct Settings {
    int downmix = 0;    // 1 = mono output
    int eightBit = 0;   // 1 = 8-bit output
    int downsample = 0; // 0 full, 1 half, 2 quarter rate
    char id3FormatString[formatStringSize] = "%1 - %2";
    int priority = 1; // decode thread: 0 normal, 1 above normal, 2 highest
};

// The player's ini file: its program path with the text after the last "."
// of the file name replaced by "ini" (".ini" appended when the name has none).
std::string iniPathForProgram(const std::string& programPath);

enum class RegistryRoot { none, classesRoot, localMachine, currentUser, users };

struct RegistryPath {
    RegistryRoot root = RegistryRoot::none;
    std::string subkey;
};

// Splits "HKEY_CURRENT_USER\Software\..." into its root and subkey; an
// unknown root gives RegistryRoot::none.
RegistryPath parseRegistryPath(const std::string& path);

// Where the profile name is kept, and the key under which HideMinibrowser is.
constexpr const char* profilesKeyPath = "HKEY_CURRENT_USER\\Software\\Veltmark\\Orvane\\Profiles";
std::string profileKeyPath(const std::string& profileName);

} // namespace kalvo
