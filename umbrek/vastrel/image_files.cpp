// The readers by file name: each opens through the data library (or disk).
#include "umbrek/vastrel/data_library.h"
#include "umbrek/vastrel/image_readers.h"

namespace {

template <class Read>
KX_Bitmap* loadWith(const char* fileName, Read read) {
    std::unique_ptr<DataStream> stream = LKXO_File_Open(fileName);
    return stream ? read(*stream) : nullptr;
}

} // namespace

KX_Bitmap* newImageBitmap(int64_t width, int64_t height) {
    if (width <= 0 || height <= 0 || width > kMaxImageSide || height > kMaxImageSide)
        return nullptr;
    return KX_NewBitmap(int(width), int(height));
}

KX_Bitmap* KX_LoadPCX(const char* fileName, uint8_t* palette) {
    return loadWith(fileName, [&](DataStream& s) { return KX_ReadPCX(s, palette); });
}

KX_Bitmap* KX_LoadIFF(const char* fileName, uint8_t* palette) {
    return loadWith(fileName, [&](DataStream& s) { return KX_ReadIFF(s, palette); });
}

KX_Bitmap* KX_LoadBMP(const char* fileName, uint8_t* palette) {
    return loadWith(fileName, [&](DataStream& s) { return KX_ReadBMP(s, palette); });
}

KX_Bitmap* KX_LoadBLK(const char* fileName) {
    return loadWith(fileName, [](DataStream& s) { return KX_ReadBLK(s); });
}

KX_Bitmap* KX_LoadPAK(const char* fileName) {
    return loadWith(fileName, [](DataStream& s) { return KX_ReadPAK(s); });
}
