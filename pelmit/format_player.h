// The interface of Pelmit's five format players. The playback shell owns the
// player of the current song and deletes it only through this base.
#pragma once

#include <cstddef>
#include <cstdint>

namespace pelmit {

// Room the shell gives songTitle; titles are cut to fit.
constexpr size_t titleBufferSize = 512;

class FormatPlayer {
public:
    virtual ~FormatPlayer() = default;
    // Loads the file; nonzero when it is this player's and ready to start.
    virtual int loadSong(const char* path) = 0;
    // Starts the loaded song from its beginning; the tick timer runs from here.
    virtual void startSong() = 0;
    virtual void stopSong() = 0;
    // Frees what loadSong took.
    virtual void releaseSong() = 0;
    virtual uint16_t songPosition() { return 0; }
    virtual void setSongPosition(uint16_t) {}
    virtual int patternRow() { return 0; }
    virtual int songFinished() = 0;
    // Writes the title, NUL-terminated and cut to size bytes.
    virtual void songTitle(char* buffer, size_t size) = 0;
    virtual int channelCount() { return 4; }
    virtual int songLengthMs() = 0;
    // Moves the song to the target and returns the position reached, in ms.
    virtual int seekToMs(int targetMs) = 0;
};

} // namespace pelmit
