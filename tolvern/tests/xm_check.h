// Test tooling: converts a generated song and reads the XM back through
// libopenmpt, the reference player, cell by cell or as rendered sound.
#ifndef TOLVERN_TESTS_XM_CHECK_H
#define TOLVERN_TESTS_XM_CHECK_H

#include "tolvern/tests/recording_sink.h"
#include "tolvern/tests/ym_writer.h"

#include <libopenmpt/libopenmpt.h>
#include <libopenmpt/libopenmpt.hpp>
#include <libopenmpt/libopenmpt_ext.hpp>

#include <memory>
#include <string>
#include <vector>

namespace tolvern::test {

// One pattern cell as libopenmpt reads it. Its notes are the XM note + 12
// (XM note 37 reads 49); its volume is the volume column less 0x10, -1 when
// the cell has none; its effects are its own numbers (see effectPortaUp).
struct Cell {
    int note, instrument, volume, effect, parameter;
    bool operator==(const Cell&) const = default;
};
std::ostream& operator<<(std::ostream& os, const Cell& c);

constexpr int kNoNote = 0;
constexpr int kNoVolume = -1;
constexpr int kNoteOffset = 12;
extern const int effectPortaUp;
extern const int effectPortaDown;

// A cell with a note (XM numbering), instrument, volume column and effect.
Cell noteCell(int xmNote, int instrument, int volume, int effect = 0, int parameter = 0);
Cell volumeCell(int volume, int effect = 0, int parameter = 0);
Cell effectCell(int effect, int parameter);
Cell emptyCell();

class ConvertedSong {
public:
    // Converts the song's image (depacked) into dir/name.xm; fails the test
    // when the conversion fails.
    ConvertedSong(const YmSong& song, const TempDir& dir, const std::string& name = "song");

    openmpt::module& module() { return *module_; }
    Cell cell(int row, int channel); // row counted over the whole song
    // Renders the whole song in mono with only the given channel sounding: the
    // two channels of a tone pair are a hair apart in pitch and may cancel.
    std::vector<int16_t> render(int rate, int soloChannel);
    const std::string& path() const { return path_; }
    RecordingSink sink;

private:
    std::string path_;
    std::unique_ptr<openmpt::module_ext> module_;
};

} // namespace tolvern::test

#endif
