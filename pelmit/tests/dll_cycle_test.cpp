// The plug-in as the player loads it, started and stopped a hundred times on
// a MOD: no handle, thread or memory is left behind.
#include "fake_host.h"
#include "pelmit/formats/tests/mod_writer.h"

#include <windows.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// Handle values are handed out lowest free first, so the value of a fresh
// handle grows when handles are left open (Wine has no handle count).
uintptr_t nextHandleValue() {
    HANDLE e = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    const uintptr_t value = reinterpret_cast<uintptr_t>(e);
    CloseHandle(e);
    return value;
}

int threadCount() {
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 e{};
    e.dwSize = sizeof e;
    int n = 0;
    for (BOOL ok = Thread32First(snap, &e); ok; ok = Thread32Next(snap, &e))
        n += e.th32OwnerProcessID == GetCurrentProcessId();
    CloseHandle(snap);
    return n;
}

// Committed private memory of the process, from its address space (Wine
// reports no process memory counters).
size_t privateBytes() {
    size_t total = 0;
    MEMORY_BASIC_INFORMATION info;
    for (const char* p = nullptr; VirtualQuery(p, &info, sizeof info) == sizeof info;
         p = static_cast<const char*>(info.BaseAddress) + info.RegionSize) {
        if (info.State == MEM_COMMIT && info.Type == MEM_PRIVATE) total += info.RegionSize;
    }
    return total;
}

} // namespace

TEST(PelmitDll, HundredStartsAndStopsLeaveNothingBehind) {
    const char* dist = std::getenv("JK_DIST_DIR");
    ASSERT_NE(dist, nullptr);
    HMODULE lib = LoadLibraryA((std::string(dist) + "\\pelmit.dll").c_str());
    ASSERT_NE(lib, nullptr);
    auto get = reinterpret_cast<JukoraGetInModule2>(
        reinterpret_cast<void*>(GetProcAddress(lib, "jukoraGetInModule2")));
    ASSERT_NE(get, nullptr);
    InputModule* m = get();
    const InputModule* host = pelmit::test::fakeHost.module();
    m->visFeedOpen = host->visFeedOpen;
    m->visFeedClose = host->visFeedClose;
    m->visFeedPcm1 = host->visFeedPcm1;
    m->visFeedPcm2 = host->visFeedPcm2;
    m->visFeedFormat = host->visFeedFormat;
    m->dspActiveQuery = host->dspActiveQuery;
    m->dspProcessBlock = host->dspProcessBlock;
    m->reportStreamInfo = host->reportStreamInfo;
    m->hostOutput = host->hostOutput;
    // shutDown is left out: it would write the settings file beside this
    // program, where other tests' programs read theirs.
    m->startUp();

    pelmit::test::ModWriter w;
    w.samples.push_back({});
    w.samples[0].data = pelmit::test::waveCycle(64, 0);
    w.samples[0].loopLength = 32;
    w.order = {0, 1, 2, 3};
    for (int p = 0; p < 4; ++p)
        for (int r = 0; r < 64; r += 2) w.note(p, r, r % 4, pelmit::test::periodOf(30 + r % 12), 1);
    const std::string path = ::testing::TempDir() + "pelmit-cycle.mod";
    w.save(path);

    const auto cycle = [&](int i) {
        ASSERT_EQ(m->startPlayback(path.c_str()), 0);
        if (i % 3 == 0) m->requestSeekMs(i * 100);
        if (i % 2) m->pausePlayback();
        Sleep(i % 4);
        m->stopPlayback();
        pelmit::test::fakeHost.reset(); // its logs would grow
    };
    for (int i = 0; i < 5; ++i) cycle(i); // the first songs settle the heap
    const uintptr_t handles = nextHandleValue();
    const int threads = threadCount();
    const size_t memory = privateBytes();
    for (int i = 0; i < 100; ++i) cycle(i);
    // Wine may start a thread of its own in the process at any time (with
    // its handles and stack) and end it again later; an idle worker of its
    // pool lingers five seconds. Every song's thread is joined by the time
    // stopPlayback returns. So the counts get ten seconds to come back; what
    // the songs left behind never does.
    uintptr_t handlesAfter = 0;
    int threadsAfter = 0;
    size_t memoryAfter = 0;
    for (int wait = 0; wait < 200; ++wait) {
        handlesAfter = nextHandleValue();
        threadsAfter = threadCount();
        memoryAfter = privateBytes();
        if (handlesAfter <= handles && threadsAfter == threads && memoryAfter < memory + 256 * 1024)
            break;
        Sleep(50);
    }
    std::printf("next handle %zu -> %zu, threads %d -> %d, private memory %zu -> %zu\n",
                size_t(handles), size_t(handlesAfter), threads, threadsAfter, memory, memoryAfter);
    EXPECT_LE(handlesAfter, handles);
    EXPECT_EQ(threadsAfter, threads);
    EXPECT_LT(memoryAfter, memory + 256 * 1024);
    FreeLibrary(lib);
    DeleteFileA(path.c_str());
}
