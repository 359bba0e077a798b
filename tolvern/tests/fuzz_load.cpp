// Fuzz entry over everything that reads a user's file: the LHA header and
// depacker, the YM loaders and the conversion of what they load.
// Built by the fuzz preset (tolvern_fuzz); the native tests replay it on
// mutated songs (tolvern_fuzz_replay).
#include "tolvern/tests/fuzz_load.h"

#include "tolvern/lha.h"
#include "tolvern/xm_channel.h"
#include "tolvern/xm_module.h"
#include "tolvern/ym.h"

#include <memory>
#include <vector>

namespace tolvern::test {

namespace {

void loadAndConvert(const uint8_t* data, size_t size, const ConvertedCheck& check) {
    _corvel_YM ym;
    if (!ym.ymLoadImage(data, size) || ym.GetLines() == 0 || ym.GetLines() > 5000) return;
    auto module = std::make_unique<XmModule>();
    auto channels = std::make_unique<XmChannel[]>(kXmChannels);
    ym.Convert("fuzz.xm", *module, channels.get());
    if (check) check(ym, *module);
}

} // namespace

void fuzzLoad(const uint8_t* data, size_t size, const ConvertedCheck& check) {
    std::vector<uint8_t> image;
    if (depackLha(data, size, image) == LhaStatus::ok)
        loadAndConvert(image.data(), image.size(), check);
    loadAndConvert(data, size, check);
}

} // namespace tolvern::test

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    tolvern::test::fuzzLoad(data, size, {});
    return 0;
}
