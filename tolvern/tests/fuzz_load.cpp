// Fuzz entry over everything that reads a user's file: the LHA header and
// depacker, the YM loaders and the conversion of what they load.
// libFuzzer build, from the repository root (run it in an empty folder):
//   clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -I. -o fuzz_tolvern
//     tolvern/tests/fuzz_load.cpp tolvern/{lh5,lha,ym_load,notes,xm_channel,convert,
//     xm_module,instruments}.cpp
//   ./fuzz_tolvern -max_total_time=600 CORPUS
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
