// A plug-in that gets the calling convention wrong, for the tier's own check
// that testhost notices: its visualization module's renderFrame removes its
// argument itself (stdcall), and its input record calls visFeedPcm1, a host
// function, as if the host removed the arguments. Both run unnoticed where
// there is one convention (64-bit) and break the 32-bit player's stack.
#include "host/input_module.h"
#include "host/vis_module.h"

namespace {

// The convention that a plug-in might have written into a copy of the records.
#if defined(__i386__)
#define WRONG_CONVENTION __stdcall
#else
#define WRONG_CONVENTION
#endif

VisModule module{};

int JK_CDECL startModule(VisModule*) {
    return 0;
}
int WRONG_CONVENTION renderFrame(VisModule*) {
    return 0;
}
void JK_CDECL stopModule(VisModule*) {}

VisModule* JK_CDECL moduleByIndex(int index) {
    return index == 0 ? &module : nullptr;
}

VisHeader header{visAbiVersion, "Wrong convention", moduleByIndex};

InputModule input{};
constexpr int blockFrames = 576;
short block[blockFrames * 2];
volatile int blocks = 8; // a loop, not eight copies of its body

void JK_CDECL nothing() {}
void JK_CDECL describeFile(const char*, char* title, int* lengthMs) {
    if (title) title[0] = '\0';
    if (lengthMs) *lengthMs = lengthUnknownMs;
}
int JK_CDECL claimsFile(const char*) {
    return 0;
}
int JK_CDECL queryZero() {
    return 0;
}
void JK_CDECL requestSeekMs(int) {}

// The blocks of a short song, each announced to the feed; the song is over
// at once, with nothing written.
int JK_CDECL startPlayback(const char*) {
    OutputModule* out = input.hostOutput;
    int stream = out->openStream(44100, 2, 16, -1, -1);
    if (stream < 0) return playbackOutputFailed;
    input.visFeedOpen(stream, 44100);
    auto feed = reinterpret_cast<void(WRONG_CONVENTION*)(void*, int, int, int)>(input.visFeedPcm1);
    for (int i = 0; i < blocks; ++i) {
        feed(block, 2, 16, i * 13);
        input.visFeedPcm2(block, 2, 16, i * 13);
    }
    PostMessageA(input.hostWindow, hostMsgEndOfStream, 0, 0);
    return playbackStarted;
}

void JK_CDECL stopPlayback() {
    input.visFeedClose();
    input.hostOutput->closeStream();
}

} // namespace

JK_EXTERN_C JK_EXPORT VisHeader* JK_CDECL jukoraVisGetHeader(void) {
    module.displayName = "Wrong convention";
    module.startModule = startModule;
    module.renderFrame = reinterpret_cast<int(JK_CDECL*)(VisModule*)>(renderFrame);
    module.stopModule = stopModule;
    return &header;
}

JK_EXTERN_C JK_EXPORT InputModule* JK_CDECL jukoraGetInModule2(void) {
    input.abiVersion = inputAbiVersion;
    input.displayName = "Wrong convention";
    input.fileTypeList = "WRONG\0Wrong convention (*.WRONG)\0";
    input.usesHostOutput = 1;
    input.startUp = nothing;
    input.shutDown = nothing;
    input.describeFile = describeFile;
    input.claimsFile = claimsFile;
    input.startPlayback = startPlayback;
    input.stopPlayback = stopPlayback;
    input.pausePlayback = nothing;
    input.resumePlayback = nothing;
    input.queryPaused = queryZero;
    input.queryLengthMs = queryZero;
    input.queryPositionMs = queryZero;
    input.requestSeekMs = requestSeekMs;
    return &input;
}
