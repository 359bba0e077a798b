// The 3DF reader on any bytes: the header, then a load into exactly the memory
// the header asks for.
#include "umbrek/glide/three_df.h"

#include <cstddef>
#include <cstdint>
#include <memory>

using namespace umbrek::glide;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Gu3dfInfo info{};
    size_t header = 0;
    if (!read3dfInfo(data, size, info, header)) return 0;
    std::unique_ptr<uint8_t[]> texels(new uint8_t[info.mem_required]);
    info.data = texels.get();
    load3df(data, size, info);
    return 0;
}
