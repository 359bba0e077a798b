/* The visualization plug-in's records: the static VisHeader that
   jukoraVisGetHeader returns and one 2,360-byte VisModule per visualization. */
#ifndef JUKORA_HOST_VIS_MODULE_H
#define JUKORA_HOST_VIS_MODULE_H

#include "host/abi.h"

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

enum { visRowLength = 576, visAbiVersion = 0x101, visAbiVersionOld = 0x100 };

typedef struct VisModule VisModule;

struct VisModule {
    const char* displayName;
    JkWindow hostWindow;       /* host */
    JkInstance pluginInstance; /* host */
    int rateHz;                /* host */
    int channelCount;          /* host */
    int frameLatencyMs;
    int frameDelayMs;
    int spectrumChannels;                        /* 0 to 2 */
    int waveformChannels;                        /* 0 to 2 */
    unsigned char spectrumRows[2][visRowLength]; /* host */
    signed char waveformRows[2][visRowLength];   /* host */
    void(JK_CDECL* openModuleSettings)(VisModule* module);
    int(JK_CDECL* startModule)(VisModule* module);
    int(JK_CDECL* renderFrame)(VisModule* module);
    void(JK_CDECL* stopModule)(VisModule* module);
    intptr_t ownerData; /* 32 bits in the 32-bit player; wide enough for a pointer everywhere */
};

typedef struct VisHeader {
    unsigned abiVersion;
    const char* displayName;
    VisModule*(JK_CDECL* moduleByIndex)(int index);
} VisHeader;

typedef VisHeader*(JK_CDECL* JukoraVisGetHeader)(void);

#if JK_CHECK_LAYOUT
JK_STATIC_ASSERT(sizeof(VisHeader) == 12, "VisHeader is 12 bytes");
JK_STATIC_ASSERT(sizeof(VisModule) == 2360, "VisModule is 2,360 bytes");
JK_STATIC_ASSERT(offsetof(VisModule, hostWindow) == 4, "hostWindow");
JK_STATIC_ASSERT(offsetof(VisModule, pluginInstance) == 8, "pluginInstance");
JK_STATIC_ASSERT(offsetof(VisModule, rateHz) == 12, "rateHz");
JK_STATIC_ASSERT(offsetof(VisModule, channelCount) == 16, "channelCount");
JK_STATIC_ASSERT(offsetof(VisModule, frameLatencyMs) == 20, "frameLatencyMs");
JK_STATIC_ASSERT(offsetof(VisModule, frameDelayMs) == 24, "frameDelayMs");
JK_STATIC_ASSERT(offsetof(VisModule, spectrumChannels) == 28, "spectrumChannels");
JK_STATIC_ASSERT(offsetof(VisModule, waveformChannels) == 32, "waveformChannels");
JK_STATIC_ASSERT(offsetof(VisModule, spectrumRows) == 36, "spectrumRows");
JK_STATIC_ASSERT(offsetof(VisModule, spectrumRows[1]) == 612, "spectrumRows[1]");
JK_STATIC_ASSERT(offsetof(VisModule, waveformRows) == 1188, "waveformRows");
JK_STATIC_ASSERT(offsetof(VisModule, waveformRows[1]) == 1764, "waveformRows[1]");
JK_STATIC_ASSERT(offsetof(VisModule, openModuleSettings) == 2340, "openModuleSettings");
JK_STATIC_ASSERT(offsetof(VisModule, startModule) == 2344, "startModule");
JK_STATIC_ASSERT(offsetof(VisModule, renderFrame) == 2348, "renderFrame");
JK_STATIC_ASSERT(offsetof(VisModule, stopModule) == 2352, "stopModule");
JK_STATIC_ASSERT(offsetof(VisModule, ownerData) == 2356, "ownerData");
#endif

#ifdef __cplusplus
}
#endif

#endif
