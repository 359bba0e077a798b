/* The input plug-in's record (InputModule) and the host's output record
   (OutputModule), as the player lays them out: 32-bit slots, cdecl operations. */
#ifndef JUKORA_HOST_INPUT_MODULE_H
#define JUKORA_HOST_INPUT_MODULE_H

#include "host/abi.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Value conventions shared by the input plug-ins. */
enum {
    inputAbiVersion = 0x100,
    lengthUnknownMs = -1000,  /* describeFile length out, queryLengthMs */
    streamInfoUnchanged = -1, /* first three arguments of reportStreamInfo */
    noPendingSeek = -1,       /* a plug-in's pending-seek word */
    playbackStarted = 0,      /* startPlayback results */
    playbackNotPlayable = -1,
    playbackOutputFailed = 1,
    outputVolumeUnchanged = -666 /* outputVolume, once after openStream */
};

/* Posted to hostWindow by the decode thread once a song has played out. */
#define hostMsgEndOfStream (0x0400 + 2)

typedef struct OutputModule OutputModule;

/* Slots 0-8 and everything after slot 19 belong to the player alone. */
struct OutputModule {
    int hostSlots0to8[9];
    int(JK_CDECL* openStream)(int rateHz, int channels, int bitsPerSample, int bufferLenMs,
                              int prebufferMs);
    void(JK_CDECL* closeStream)(void);
    int(JK_CDECL* writePcm)(char* buffer, int byteCount);
    int(JK_CDECL* writableBytes)(void);
    int(JK_CDECL* stillPlaying)(void);
    int(JK_CDECL* setPaused)(int pause);
    void(JK_CDECL* outputVolume)(int volume);
    void(JK_CDECL* outputBalance)(int pan);
    void(JK_CDECL* flushTo)(int timeMs);
    int(JK_CDECL* playedTimeMs)(void);
    int(JK_CDECL* writtenTimeMs)(void);
};

typedef struct InputModule InputModule;

struct InputModule {
    int abiVersion;                                                                 /* 0  */
    const char* displayName;                                                        /* 1  */
    JkWindow hostWindow;                                                            /* 2  host */
    JkInstance pluginInstance;                                                      /* 3  host */
    const char* fileTypeList;                                                       /* 4  */
    int canSeek;                                                                    /* 5  */
    int usesHostOutput;                                                             /* 6  */
    void(JK_CDECL* showSettings)(JkWindow owner);                                   /* 7  */
    void(JK_CDECL* showAboutBox)(JkWindow owner);                                   /* 8  */
    void(JK_CDECL* startUp)(void);                                                  /* 9  */
    void(JK_CDECL* shutDown)(void);                                                 /* 10 */
    void(JK_CDECL* describeFile)(const char* fileName, char* title, int* lengthMs); /* 11 */
    int(JK_CDECL* showFileDetails)(const char* fileName, JkWindow owner);           /* 12 */
    int(JK_CDECL* claimsFile)(const char* fileName);                                /* 13 */
    int(JK_CDECL* startPlayback)(const char* fileName);                             /* 14 */
    void(JK_CDECL* pausePlayback)(void);                                            /* 15 */
    void(JK_CDECL* resumePlayback)(void);                                           /* 16 */
    int(JK_CDECL* queryPaused)(void);                                               /* 17 */
    void(JK_CDECL* stopPlayback)(void);                                             /* 18 */
    int(JK_CDECL* queryLengthMs)(void);                                             /* 19 */
    int(JK_CDECL* queryPositionMs)(void);                                           /* 20 */
    void(JK_CDECL* requestSeekMs)(int ms);                                          /* 21 */
    void(JK_CDECL* applyVolume)(int volume);                                        /* 22 */
    void(JK_CDECL* applyBalance)(int pan);                                          /* 23 */
    void(JK_CDECL* visFeedOpen)(int streamHandle, int rateHz);                      /* 24 host */
    void(JK_CDECL* visFeedClose)(void);                                             /* 25 host */
    void(JK_CDECL* visFeedPcm1)(void* pcm, int channels, int bitsPerSample, int timeMs); /* 26 */
    void* hostSlot27; /* 27 host */
    void* hostSlot28; /* 28 host */
    void(JK_CDECL* visFeedPcm2)(void* pcm, int channels, int bitsPerSample, int timeMs); /* 29 */
    void* hostSlot30;                                        /* 30 host */
    void* hostSlot31;                                        /* 31 host */
    void(JK_CDECL* visFeedFormat)(int rateHz, int channels); /* 32 host */
    int(JK_CDECL* dspActiveQuery)(void);                     /* 33 host */
    int(JK_CDECL* dspProcessBlock)(void* pcm, int frames, int bitsPerSample, int channels,
                                   int rateHz);                      /* 34 host */
    void(JK_CDECL* applyEqualizer)(int on, char* bands, int preamp); /* 35 */
    void(JK_CDECL* reportStreamInfo)(int bitRateKbps, int rateKhz, int channels,
                                     int synchronised); /* 36 host */
    OutputModule* hostOutput;                           /* 37 host */
};

typedef InputModule*(JK_CDECL* JukoraGetInModule2)(void);

/* The layout is the contract with the player: check it on the 32-bit build. */
#if JK_CHECK_LAYOUT
#define JK_SLOT(field, n) JK_STATIC_ASSERT(offsetof(InputModule, field) == 4 * (n), #field)
JK_SLOT(hostWindow, 2);
JK_SLOT(fileTypeList, 4);
JK_SLOT(showSettings, 7);
JK_SLOT(startUp, 9);
JK_SLOT(describeFile, 11);
JK_SLOT(startPlayback, 14);
JK_SLOT(stopPlayback, 18);
JK_SLOT(applyBalance, 23);
JK_SLOT(visFeedOpen, 24);
JK_SLOT(visFeedPcm1, 26);
JK_SLOT(visFeedPcm2, 29);
JK_SLOT(visFeedFormat, 32);
JK_SLOT(dspActiveQuery, 33);
JK_SLOT(dspProcessBlock, 34);
JK_SLOT(applyEqualizer, 35);
JK_SLOT(reportStreamInfo, 36);
JK_SLOT(hostOutput, 37);
#undef JK_SLOT
JK_STATIC_ASSERT(sizeof(InputModule) == 38 * 4, "InputModule has 38 slots");
JK_STATIC_ASSERT(offsetof(OutputModule, openStream) == 9 * 4, "openStream is slot 9");
JK_STATIC_ASSERT(offsetof(OutputModule, writtenTimeMs) == 19 * 4, "writtenTimeMs is slot 19");
#endif

#ifdef __cplusplus
}
#endif

#endif
