// The engine's image readers. Each KX_Load* opens its file through
// LKXO_File_Open, closes it before returning and frees what it allocated when
// it fails; the KX_Read* forms read from a stream the caller owns. A reader
// gives none for a wrong signature or header value, a width or height of 0,
// below 0 or above 4096, memory that runs out, or a short read; it reports
// nothing. Readers with colours write a 768-byte palette of 6-bit components.
#pragma once

#include "umbrek/vastrel/bitmap.h"
#include "umbrek/vastrel/data_stream.h"

// Larger images are refused: nothing the engine draws comes near this, and
// a header cannot make it allocate more.
constexpr int kMaxImageSide = 4096;

KX_Bitmap* KX_ReadPCX(DataStream& stream, uint8_t* palette);
KX_Bitmap* KX_ReadIFF(DataStream& stream, uint8_t* palette);
KX_Bitmap* KX_ReadBMP(DataStream& stream, uint8_t* palette);
KX_Bitmap* KX_ReadBLK(DataStream& stream);
KX_Bitmap* KX_ReadPAK(DataStream& stream);

KX_Bitmap* KX_LoadPCX(const char* fileName, uint8_t* palette);
KX_Bitmap* KX_LoadIFF(const char* fileName, uint8_t* palette);
KX_Bitmap* KX_LoadBMP(const char* fileName, uint8_t* palette);
KX_Bitmap* KX_LoadBLK(const char* fileName);
KX_Bitmap* KX_LoadPAK(const char* fileName);

// For the readers: a bitmap of a size read from a header, or none when the
// size is out of range or memory runs out.
KX_Bitmap* newImageBitmap(int64_t width, int64_t height);
