// Pelmit's playback shell: the InputModule operations that detect, start,
// pause, position, stop and describe a song, and the decode thread that pulls
// 576-frame blocks out of the Mixer and hands them to the player's output.
#pragma once

#include "host/input_module.h"
#include "pelmit/format_registry.h"
#include "pelmit/subsong_selection.h"

#include <atomic>
#include <span>
#include <string>
#include <thread>

namespace pelmit {

constexpr int blockFrames = 576;
constexpr int blockBytes = blockFrames * 4; // 16-bit stereo

struct PlaybackState {
    FormatPlayer* currentPlayer = nullptr;
    // The current song's player under its own format, for the information dialogs.
    FormatPlayer* players[formatKindCount] = {};
    FormatKind currentKind = FormatKind::Mod;
    std::string currentPath;
    // 576 frames of 16-bit stereo, and as much again for the host's sample processor.
    int16_t pcmBlock[blockFrames * 2 * 2] = {};
    std::atomic<int> paused{0};
    std::atomic<int> stopRequested{0};
    std::atomic<int> threadDone{0};
    std::atomic<int> pendingSeekMs{noPendingSeek};
    // A subsong chosen in the information dialog, from 1; 0 for none.
    std::atomic<int> pendingSubsong{0};
    std::thread decodeThread;
    int rate = 0;
};

extern PlaybackState playback;

// The record whose host slots the operations use.
void bindPlayback(InputModule* module);
// Replaces the formats the shell knows (tests inject their own players).
void setFormats(std::span<const FormatEntry> formats);
// Whether the Mixer opened its device in startUp; startPlayback refuses without it.
void setMixerReady(bool ready);
// Hands the stored separation to the Mixer and copies the settings switches
// into the replayers: at startUp, and whenever the configuration dialog closes.
void applyStoredSettings();

// The subsong operations of a player that has them; null for the others.
SubsongSelection* subsongsOf(FormatPlayer* player);
// Has the decode thread put the current song at the start of subsong `index`
// (from 1), so that the choice never runs the player beside a tick; waits
// until it has. Chosen directly once the thread has ended. False when the song
// has no subsongs or the thread did not get to it.
bool selectSubsong(int index);

int JK_CDECL claimsFile(const char* path);
int JK_CDECL startPlayback(const char* path);
void JK_CDECL pausePlayback();
void JK_CDECL resumePlayback();
int JK_CDECL queryPaused();
void JK_CDECL stopPlayback();
int JK_CDECL queryLengthMs();
int JK_CDECL queryPositionMs();
void JK_CDECL requestSeekMs(int ms);
void JK_CDECL applyVolume(int volume);
void JK_CDECL applyBalance(int pan);
void JK_CDECL describeFile(const char* path, char* title, int* lengthMs);
void JK_CDECL applyEqualizer(int on, char* bands, int preamp);

} // namespace pelmit
