#include "yarnot/settings.h"

#include <algorithm>

namespace yarnot {

namespace {

void writeInt(Profile& profile, const char* key, int value) {
    profile.WriteString(key, std::to_string(value));
}

} // namespace

Settings ReadSettings(Profile& profile) {
    Settings s;
    s.screenX = profile.ReadInt("Screen_x", s.screenX);
    s.screenY = profile.ReadInt("Screen_y", s.screenY);
    s.width = profile.ReadInt("Width", s.width);
    s.height = profile.ReadInt("Height", s.height);
    s.flags = profile.ReadInt("Flags", s.flags);
    s.refresh = uint16_t(std::clamp(profile.ReadInt("Refresh", s.refresh), 10, 60));
    s.blur = uint16_t(std::clamp(profile.ReadInt("Blur", s.blur), 0, 3));
    s.filename = profile.ReadString("Filename", s.filename.c_str());
    if (s.filename.size() >= filenameCapacity) s.filename.resize(filenameCapacity - 1);
    return s;
}

void FitPictureSize(Settings& settings, bool quorl) {
    for (int* size : {&settings.width, &settings.height}) {
        if (quorl) *size = std::min(*size, int(quorlMaxSize));
        *size = std::clamp(*size & ~3, int(minSize), int(maxSize));
    }
}

int FrameDelayMs(const Settings& settings) {
    return 1000 / std::max<int>(settings.refresh, 1);
}

int MergeDialogFlags(int previous, int dialog) {
    return (previous & ~dialogFlags) | (dialog & dialogFlags);
}

void WriteDialogSettings(Profile& profile, const Settings& settings) {
    writeInt(profile, "Width", settings.width);
    writeInt(profile, "Height", settings.height);
    writeInt(profile, "Flags", settings.flags);
    writeInt(profile, "Refresh", settings.refresh);
    writeInt(profile, "Blur", settings.blur);
    profile.WriteString("Filename", settings.filename);
}

void WritePosition(Profile& profile, const Settings& settings) {
    writeInt(profile, "Screen_x", settings.screenX);
    writeInt(profile, "Screen_y", settings.screenY);
}

} // namespace yarnot
