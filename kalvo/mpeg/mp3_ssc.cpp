#include "kalvo/mpeg/mp3_ssc.h"

namespace kalvo {

namespace {

struct SscText {
    uint32_t code;
    const char* text;
};

const SscText sscTexts[] = {
    {sscOk, "(Mp3Ssc) success: no error"},
    {sscInvalidParameter, "(Mp3Ssc) error: at least one parameter is wrong"},
    {sscOutOfMemory, "(Mp3Ssc) error: not enough memory"},
    {sscInvalidHandle, "(Mp3Ssc) error: invalid handle"},
    {sscIoGeneric, "(Mp3Ssc) error: I/O - generic error"},
    {sscIoOpenFailed, "(Mp3Ssc) error: I/O - open failed"},
    {sscIoCloseFailed, "(Mp3Ssc) error: I/O - close failed"},
    {sscIoReadError, "(Mp3Ssc) error: I/O - read error"},
    {sscCrcError, "(Mp3Ssc) info: Decoder - CRC error"},
    {sscMainDataMissing, "(Mp3Ssc) info: Decoder - not enough main data present"},
    {sscDecoderGeneric, "(Mp3Ssc) error: Decoder - generic error"},
    {sscWrongLayer, "(Mp3Ssc) error: Decoder - wrong MPEG layer"},
    {sscBufferTooSmall, "(Mp3Ssc) error: Decoder - buffer is too small"},
    {sscSyncSearched, "(Mp3Ssc) warning: Decoder - sync searched"},
    {sscSyncLost, "(Mp3Ssc) warning: Decoder - sync lost"},
    {sscSyncNeedData, "(Mp3Ssc) warning: Decoder - sync need data"},
    {sscSyncEof, "(Mp3Ssc) warning: Decoder - sync eof"},
};

} // namespace

const char* mp3SscText(uint32_t ssc) {
    for (const SscText& t : sscTexts)
        if (t.code == ssc) return t.text;
    return "(Mp3Ssc) unknown SSC";
}

} // namespace kalvo
