#include "tolvern/tests/xm_check.h"

#include "tolvern/xm_channel.h"
#include "tolvern/xm_module.h"
#include "tolvern/ym.h"

#include <gtest/gtest.h>

#include <ostream>

namespace tolvern::test {

// libopenmpt's own command numbers for XM effects 1 and 2, and for a volume
// column that sets the volume.
const int effectPortaUp = 2;
const int effectPortaDown = 3;
constexpr int kVolumeCommand = 1;

std::ostream& operator<<(std::ostream& os, const Cell& c) {
    return os << "{note " << c.note << " inst " << c.instrument << " vol " << c.volume << " fx "
              << c.effect << " " << c.parameter << "}";
}

Cell noteCell(int xmNote, int instrument, int volume, int effect, int parameter) {
    return {xmNote + kNoteOffset, instrument, volume, effect, parameter};
}
Cell volumeCell(int volume, int effect, int parameter) {
    return {kNoNote, 0, volume, effect, parameter};
}
Cell effectCell(int effect, int parameter) {
    return {kNoNote, 0, kNoVolume, effect, parameter};
}
Cell emptyCell() {
    return {kNoNote, 0, kNoVolume, 0, 0};
}

ConvertedSong::ConvertedSong(const YmSong& song, const TempDir& dir, const std::string& name)
    : path_(dir / (name + ".xm")) {
    const std::vector<uint8_t> image = buildYm(song);
    _corvel_YM ym(&sink);
    EXPECT_EQ(ym.ymLoadImage(image.data(), image.size()), 1);
    auto xm = std::make_unique<XmModule>();
    auto channels = std::make_unique<XmChannel[]>(kXmChannels);
    EXPECT_EQ(ym.Convert(path_.c_str(), *xm, channels.get()), 1);
    const std::vector<uint8_t> file = readFile(path_);
    module_ = std::make_unique<openmpt::module_ext>(file);
}

Cell ConvertedSong::cell(int row, int channel) {
    const int p = module_->get_order_pattern(row / 256);
    const int r = row % 256;
    auto get = [&](int command) {
        return int(module_->get_pattern_row_channel_command(p, r, channel, command));
    };
    const bool hasVolume = get(OPENMPT_MODULE_COMMAND_VOLUMEEFFECT) == kVolumeCommand;
    return {get(OPENMPT_MODULE_COMMAND_NOTE), get(OPENMPT_MODULE_COMMAND_INSTRUMENT),
            hasVolume ? get(OPENMPT_MODULE_COMMAND_VOLUME) : kNoVolume,
            get(OPENMPT_MODULE_COMMAND_EFFECT), get(OPENMPT_MODULE_COMMAND_PARAMETER)};
}

std::vector<int16_t> ConvertedSong::render(int rate, int soloChannel) {
    auto* interactive = static_cast<openmpt::ext::interactive*>(
        module_->get_interface(openmpt::ext::interactive_id));
    for (int c = 0; c < module_->get_num_channels(); ++c)
        interactive->set_channel_mute_status(c, c != soloChannel);
    std::vector<int16_t> all;
    std::vector<int16_t> block(4096);
    module_->set_position_seconds(0);
    for (size_t n; (n = module_->read(rate, block.size(), block.data())) > 0;)
        all.insert(all.end(), block.begin(), block.begin() + long(n));
    return all;
}

} // namespace tolvern::test
