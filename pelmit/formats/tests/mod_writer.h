// A small MOD writer for fixtures, the fuzzer's seeds and the demo module:
// samples, an order list and patterns of cells in, the file's bytes out. Every
// field can be set to what a broken or unusual file would hold.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace pelmit::test {

struct WriterSample {
    std::string name;
    std::vector<int8_t> data;
    int lengthWords = -1; // -1: the data's length
    uint8_t finetune = 0;
    uint8_t volume = 64;
    uint16_t loopStart = 0;  // words (bytes in old trackers' files)
    uint16_t loopLength = 1; // words; 1 = no loop
};

struct WriterCell {
    uint16_t period = 0; // 0 = no note
    uint8_t sample = 0;
    uint8_t effect = 0;
    uint8_t parameter = 0;
};

class ModWriter {
public:
    // tag "" writes a 15-sample module (no tag, 15 sample records).
    explicit ModWriter(int channels = 4, std::string tag = "M.K.");

    std::string title;
    std::vector<WriterSample> samples; // at most 31 (15 without a tag)
    std::vector<uint8_t> order{0};     // the song; the rest of the 128 entries are 0
    std::vector<uint8_t> unusedOrder;  // entries written after the song's
    uint8_t restart = 127;
    int songLengthOverride = -1; // the song-length byte, when it should lie

    // The cell of a pattern, which is created (empty) on first use.
    WriterCell& cell(int pattern, int row, int channel);
    // Sets several cells of a channel at once, one per row from `row` on.
    void note(int pattern, int row, int channel, uint16_t period, uint8_t sample,
              uint8_t effect = 0, uint8_t parameter = 0);

    std::vector<uint8_t> bytes() const;
    // Writes the module; a file that cannot be written throws with its path.
    void save(const std::string& path) const;

    int channels() const { return channelCount; }

private:
    int channelCount;
    std::string tag;
    std::vector<std::vector<WriterCell>> patterns;
};

// The standard period of a note index (0 = the lowest C of the tables).
uint16_t periodOf(int note);

// A looped wave of one cycle: a sine (shape 0), square (1) or saw (2).
std::vector<int8_t> waveCycle(int length, int shape, int amplitude = 100);

} // namespace pelmit::test
