// The formats Pelmit plays, as data: how to detect a file, how to read the
// title of a file that is not playing, and how to make its player. The shell
// asks them in three fixed orders (see playback.cpp).
#pragma once

#include "pelmit/format_player.h"

#include <cstdio>
#include <span>

namespace pelmit {

enum class FormatKind { Mod, SoundMon, FutureComposer, SoundFx, Emulated };
constexpr int formatKindCount = 5;

struct FormatEntry {
    FormatKind kind;
    FormatPlayer* (*create)();
    // Nonzero when the open file is this format's (MOD: its channel count). Each
    // detector positions the stream itself.
    int (*identify)(std::FILE* stream, const char* path);
    // The title of a file that is not playing; null: the name after its last
    // backslash.
    void (*readTitle)(const char* path, char* title, size_t size);
};

// The formats built into the plug-in.
std::span<const FormatEntry> builtInFormats();

} // namespace pelmit
