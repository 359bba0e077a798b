// The settings of one module's section in "plugin.ini", read through a
// small profile interface, and the limits that make them safe to draw with.
#pragma once

#include <cstdint>
#include <string>

namespace yarnot {

enum SettingsFlags : int {
    flagFullScreen = 0x02,
    flagTitles = 0x04,
    flagSystemMemory = 0x08,
    flagScrollTitles = 0x10,
    flagFourByThree = 0x20,
    dialogFlags = 0x3E, // the bits the configuration dialog owns
};

enum { filenameCapacity = 256, minSize = 4, maxSize = 4096, quorlMaxSize = 576 };

// One section of the ini file, as the profile functions see it.
class Profile {
public:
    virtual ~Profile() = default;
    virtual int ReadInt(const char* key, int fallback) = 0;
    virtual std::string ReadString(const char* key, const char* fallback) = 0;
    virtual void WriteString(const char* key, const std::string& value) = 0;
};

struct Settings {
    int screenX = 50, screenY = 50;
    int width = 320, height = 240;
    int flags = flagTitles | flagSystemMemory | flagScrollTitles;
    uint16_t refresh = 40;
    uint16_t blur = 1;
    std::string filename = "bump.BMP"; // at most filenameCapacity - 1 characters
};

// The section as written, with defaults for absent keys; Refresh and Blur
// are brought into their ranges (a Refresh of 0 would divide by zero, a
// Blur above 3 would leave the blur table).
Settings ReadSettings(Profile& profile);

// What a start draws with: Quorl pictures no larger than the waveform,
// sizes in multiples of 4, and between 4 and 4096 so that the divisions
// and the fixed-point steps of the effects stay sound.
void FitPictureSize(Settings& settings, bool quorl);

int FrameDelayMs(const Settings& settings);

// The dialog's OK: its flag bits over the others as they were.
int MergeDialogFlags(int previous, int dialog);

// The dialog's OK writes the picture settings; a stop writes the position.
void WriteDialogSettings(Profile& profile, const Settings& settings);
void WritePosition(Profile& profile, const Settings& settings);

} // namespace yarnot
