// Any bytes as a BMP file: a picture inside the image or a refusal; ASan
// watches every write, and the image must keep its own size.
#include "sabrith/bmp_reader.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace sabrith;
    MemorySource source(data, size);
    DibImage image("fuzz");
    readBmp(source, image);
    if (image.valid() && (image.width() < 4 || image.height() < 4)) std::abort();
    return 0;
}
