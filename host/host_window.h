/* What a plug-in's windows do with the player's main window: pass on the keys
   they do not use, hand it a dropped music file, ask it questions, send it
   commands, and find its playlist editor and equalizer. Windows only; C and
   C++ alike. */
#ifndef JUKORA_HOST_HOST_WINDOW_H
#define JUKORA_HOST_HOST_WINDOW_H

#ifdef _WIN32

#include "host/abi.h"
#include "host/messages.h"

/* The player's secondary windows: class and title must both match. */
#define jukoraPlaylistEditorClass "Jukora PE"
#define jukoraPlaylistEditorTitle "Jukora Playlist Editor"
#define jukoraEqualizerClass "Jukora EQ"
#define jukoraEqualizerTitle "Jukora Equalizer"

/* How long a question to the player may take. The asking window belongs to
   the visualization thread; should the player's thread be waiting for that
   thread, an unbounded send would never return. A timeout reads as 0, which
   is already the answer of a player whose window is gone. */
enum { hostQueryTimeoutMs = 500 };

/* Key messages a visualization window does not use go on to the player,
   posted with both parameters unchanged (never sent). The window procedure
   returns the result. */
static inline LRESULT jkForwardKey(HWND host, UINT message, WPARAM wParam, LPARAM lParam) {
    PostMessageA(host, message, wParam, lParam);
    return 0;
}

/* Sends an ipcMessage request and returns the answer, or 0 when the player's
   window is gone, hung or too slow. */
static inline LRESULT jkQueryHost(HWND host, int code, WPARAM argument) {
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutA(host, ipcMessage, argument, (LPARAM)code, SMTO_ABORTIFHUNG,
                             hostQueryTimeoutMs, &answer))
        return 0;
    return (LRESULT)answer;
}

/* A player command whose result nobody uses (play, stop, next song...), sent
   with the same bound as a question. */
static inline void jkSendHostCommand(HWND host, int command) {
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(host, hostCommandMessage, (WPARAM)command, 0, SMTO_ABORTIFHUNG,
                        hostQueryTimeoutMs, &ignored);
}

/* Hands the player a dropped music file: clear the playlist, the path one
   byte at a time (each as a signed 8-bit value, then the closing zero), stop,
   play. Everything is posted so that the player's thread takes the messages
   in this order: sent commands would overtake the posted characters. */
static inline void jkFeedDroppedFile(HWND host, const char* path) {
    const char* p = path;
    PostMessageA(host, ipcMessage, 0, ipcClearPlaylist);
    for (;; ++p) {
        PostMessageA(host, ipcMessage, (WPARAM)(INT_PTR)(signed char)*p, ipcAddFileChar);
        if (*p == '\0') break;
    }
    PostMessageA(host, hostCommandMessage, cmdStop, 0);
    PostMessageA(host, hostCommandMessage, cmdPlay, 0);
}

/* The player's playlist editor and equalizer windows, or null. */
static inline HWND jkFindPlaylistEditor(void) {
    return FindWindowA(jukoraPlaylistEditorClass, jukoraPlaylistEditorTitle);
}

static inline HWND jkFindEqualizer(void) {
    return FindWindowA(jukoraEqualizerClass, jukoraEqualizerTitle);
}

#endif

#endif
