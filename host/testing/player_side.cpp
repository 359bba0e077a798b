#include "host/testing/player_side.h"

namespace jk::testing {

int PlayerSide::openStream(int, int, int, int, int) {
    return 0;
}

int PlayerSide::writePcm(char*, int) {
    return 0;
}

int PlayerSide::setPaused(int) {
    return 0;
}

void PlayerSide::record(std::string call) {
    std::lock_guard<std::mutex> g(lock);
    calls.push_back(std::move(call));
}

int PlayerSide::count(const std::string& call) {
    std::lock_guard<std::mutex> g(lock);
    int n = 0;
    for (const std::string& c : calls) n += c == call;
    return n;
}

namespace {

PlayerSide* side = nullptr;
OutputModule output;

int JK_CDECL openStream(int rate, int ch, int bits, int a, int b) {
    return side->openStream(rate, ch, bits, a, b);
}
void JK_CDECL closeStream() {
    side->closeStream();
}
int JK_CDECL writePcm(char* p, int n) {
    return side->writePcm(p, n);
}
int JK_CDECL writableBytes() {
    return side->writableBytes();
}
int JK_CDECL stillPlaying() {
    return side->stillPlaying();
}
int JK_CDECL setPaused(int p) {
    return side->setPaused(p);
}
void JK_CDECL outputVolume(int v) {
    side->outputVolume(v);
}
void JK_CDECL outputBalance(int v) {
    side->outputBalance(v);
}
void JK_CDECL flushTo(int ms) {
    side->flushTo(ms);
}
int JK_CDECL playedTimeMs() {
    return side->playedTimeMs();
}
int JK_CDECL writtenTimeMs() {
    return side->writtenTimeMs();
}
void JK_CDECL visFeedOpen(int stream, int rate) {
    side->visFeedOpen(stream, rate);
}
void JK_CDECL visFeedClose() {
    side->visFeedClose();
}
void JK_CDECL visFeedPcm1(void* p, int ch, int bits, int ms) {
    side->visFeedPcm1(p, ch, bits, ms);
}
void JK_CDECL visFeedPcm2(void* p, int ch, int bits, int ms) {
    side->visFeedPcm2(p, ch, bits, ms);
}
void JK_CDECL visFeedFormat(int rate, int ch) {
    side->visFeedFormat(rate, ch);
}
int JK_CDECL dspActiveQuery() {
    return side->dspActiveQuery();
}
int JK_CDECL dspProcessBlock(void* p, int frames, int bits, int ch, int rate) {
    return side->dspProcessBlock(p, frames, bits, ch, rate);
}
void JK_CDECL reportStreamInfo(int kbps, int khz, int ch, int synced) {
    side->reportStreamInfo(kbps, khz, ch, synced);
}

} // namespace

void connectHostSlots(InputModule& module, PlayerSide& playerSide) {
    side = &playerSide;
    output.openStream = openStream;
    output.closeStream = closeStream;
    output.writePcm = writePcm;
    output.writableBytes = writableBytes;
    output.stillPlaying = stillPlaying;
    output.setPaused = setPaused;
    output.outputVolume = outputVolume;
    output.outputBalance = outputBalance;
    output.flushTo = flushTo;
    output.playedTimeMs = playedTimeMs;
    output.writtenTimeMs = writtenTimeMs;
    module.visFeedOpen = visFeedOpen;
    module.visFeedClose = visFeedClose;
    module.visFeedPcm1 = visFeedPcm1;
    module.visFeedPcm2 = visFeedPcm2;
    module.visFeedFormat = visFeedFormat;
    module.dspActiveQuery = dspActiveQuery;
    module.dspProcessBlock = dspProcessBlock;
    module.reportStreamInfo = reportStreamInfo;
    module.hostOutput = &output;
}

} // namespace jk::testing
