// The image readers on any bytes: the first byte picks the reader, the rest
// is the file; a bitmap that comes out is blitted into a small surface,
// transparent or not, at a size and place from the first byte too.
#include "umbrek/vastrel/drawing_surface.h"
#include "umbrek/vastrel/image_readers.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    std::unique_ptr<DataStream> stream = openMemoryStream(data + 1, size - 1);
    uint8_t palette[kPaletteSize];
    OwnedBitmap bitmap;
    switch (data[0] % 5) {
    case 0: bitmap.reset(KX_ReadPCX(*stream, palette)); break;
    case 1: bitmap.reset(KX_ReadIFF(*stream, palette)); break;
    case 2: bitmap.reset(KX_ReadBMP(*stream, palette)); break;
    case 3: bitmap.reset(KX_ReadBLK(*stream)); break;
    default: bitmap.reset(KX_ReadPAK(*stream)); break;
    }
    if (!bitmap) return 0;
    uint8_t pixels[40 * 30] = {};
    KX_DrawingSurface surface{pixels, 40, 30, 2, 3, 37, 26};
    const int shift = data[0] >> 5;
    scaleBlitInto(surface, -5 * shift, -3, 10 + 9 * shift, 8 + 7 * shift, bitmap.get(),
                  (data[0] & 0x10) != 0);
    return 0;
}
