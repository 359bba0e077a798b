// Fuzz entry over everything that reads a user's file: the LHA header and
// depacker, the YM loaders and the conversion of what they load.
// Built by the fuzz preset (tolvern_fuzz); the native tests replay it on
// mutated songs (tolvern_fuzz_replay).
#include "tolvern/lha.h"
#include "tolvern/xm_channel.h"
#include "tolvern/xm_module.h"
#include "tolvern/ym.h"

#include <memory>
#include <vector>

namespace {

void loadAndConvert(const uint8_t* data, size_t size) {
    tolvern::_corvel_YM ym;
    if (!ym.ymLoadImage(data, size) || ym.GetLines() == 0 || ym.GetLines() > 5000) return;
    auto module = std::make_unique<tolvern::XmModule>();
    auto channels = std::make_unique<tolvern::XmChannel[]>(tolvern::kXmChannels);
    ym.Convert("fuzz.xm", *module, channels.get());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<uint8_t> image;
    if (tolvern::depackLha(data, size, image) == tolvern::LhaStatus::ok)
        loadAndConvert(image.data(), image.size());
    loadAndConvert(data, size);
    return 0;
}
