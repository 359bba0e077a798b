// Kalvo's Windows shell: the record, the settings in memory, the song files
// (temporary page, picture and logo, HideMinibrowser) and the operations that
// the record's slots and the dialogs share. One song plays at a time.
#pragma once

#include "host/input_module.h"
#include "kalvo/equalizer_hook.h"
#include "kalvo/settings.h"
#include "kalvo/song_tags.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kalvo {

extern InputModule inputModule;
extern Settings settings;
extern EqualizerSettings equalizer;
// The tags read last (claimsFile, describeFile, the information dialog).
extern SongTags lastTags;

// Settings in the player's ini file, section "qMP3".
void readSettings();
void writeSettings();

// The per-user HideMinibrowser value under the current profile's key.
struct Minibrowser {
    std::string profileName;
    int hide = 1;
};
extern Minibrowser minibrowser;
void readMinibrowser();
void storeMinibrowser();

// The song-details page's temporary files, from startUp to shutDown.
void createSongFiles();
void deleteSongFiles();
// Writes the cover of the song being opened (when it has a JPEG one) and its
// page, and announces the page to the player.
void showSongPage(const SongTags& tags, const std::vector<uint8_t>& cover);

// Tags as the shell reads them: UTF-16 texts in the player's code page.
void readSongTags(const char* fileName, SongTags& tags, std::vector<uint8_t>* cover = nullptr);

int showConfigDialog(HWND owner);
int showSongInfoDialog(HWND owner, const SongTags& tags);
void showAboutDialog(HWND owner);

// Playback (playback.cpp).
int startPlayback(const char* fileName);
void stopPlayback();
void pausePlayback();
void resumePlayback();
int queryPaused();
int queryLengthMs();
int queryPositionMs();
void requestSeekMs(int ms);
// The tags of the playing song, read when it was opened.
const SongTags* playingTags();

} // namespace kalvo
