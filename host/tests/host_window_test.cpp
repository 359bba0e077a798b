// The host-window helpers against a fake player window that lives on its own
// thread, as the player's main window does towards a visualization thread.
#include "host/host_window.h"

#include "host/testing/player_thread.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Logged {
    UINT message;
    INT_PTR wParam;
    INT_PTR lParam;
};

std::vector<Logged> logged;

LRESULT CALLBACK fakePlayerProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == ipcMessage || msg == hostCommandMessage || msg == hostKeyDownMessage ||
        msg == hostKeyUpMessage) {
        logged.push_back({msg, INT_PTR(wp), INT_PTR(lp)});
        if (msg == ipcMessage && lp == ipcQueryListLength) return 7;
        return 0;
    }
    return DefWindowProcA(w, msg, wp, lp);
}

// The fake player starts pumping only when told to, so that everything sent
// or posted before then queues up exactly as it would behind a busy player.
struct FakePlayer : jk::testing::PlayerThread {
    FakePlayer() : PlayerThread(fakePlayerProc, "JkFakePlayer", false) {}
};

TEST(HostWindow, DroppedFileArrivesClearCharactersStopPlayInOrder) {
    logged.clear();
    FakePlayer player;
    const char path[] = "C:\\M\xE9.mp3";
    jkFeedDroppedFile(player.window(), path);
    player.quit();

    const size_t n = sizeof path - 1;
    ASSERT_EQ(logged.size(), n + 2 + 2);
    EXPECT_EQ(logged[0].message, UINT(ipcMessage));
    EXPECT_EQ(logged[0].lParam, ipcClearPlaylist);
    for (size_t i = 0; i <= n; ++i) {
        const Logged& c = logged[1 + i];
        EXPECT_EQ(c.message, UINT(ipcMessage));
        EXPECT_EQ(c.lParam, ipcAddFileChar);
        EXPECT_EQ(int(c.wParam), int(static_cast<signed char>(path[i]))) << "byte " << i;
    }
    EXPECT_EQ(int(logged[1 + 4].wParam), -23); // the byte 0xE9
    EXPECT_EQ(logged[n + 1].wParam, 0);
    EXPECT_EQ(logged[n + 2].message, UINT(hostCommandMessage));
    EXPECT_EQ(logged[n + 2].wParam, cmdStop);
    EXPECT_EQ(logged[n + 3].wParam, cmdPlay);
    EXPECT_EQ(logged[n + 3].lParam, 0);
}

TEST(HostWindow, KeysArePostedUnchanged) {
    logged.clear();
    FakePlayer player;
    EXPECT_EQ(jkForwardKey(player.window(), WM_KEYDOWN, VK_F5, 0x003F0001), 0);
    EXPECT_EQ(jkForwardKey(player.window(), WM_KEYUP, VK_F5, LPARAM(0xC03F0001u)), 0);
    player.quit();
    ASSERT_EQ(logged.size(), 2u);
    EXPECT_EQ(logged[0].message, UINT(WM_KEYDOWN));
    EXPECT_EQ(logged[0].wParam, VK_F5);
    EXPECT_EQ(logged[0].lParam, 0x003F0001);
    EXPECT_EQ(logged[1].message, UINT(WM_KEYUP));
    EXPECT_EQ(DWORD(logged[1].lParam), 0xC03F0001u);
}

TEST(HostWindow, QueriesAnswerAndNeverHang) {
    logged.clear();
    FakePlayer player;
    // A player busy with something else: the question times out and reads as 0.
    DWORD before = GetTickCount();
    EXPECT_EQ(jkQueryHost(player.window(), ipcQueryListLength, 0), 0);
    EXPECT_GE(GetTickCount() - before, DWORD(hostQueryTimeoutMs) / 2);
    player.startPumping();
    EXPECT_EQ(jkQueryHost(player.window(), ipcQueryListLength, 0), 7);
    jkSendHostCommand(player.window(), cmdNextSong);
    HWND gone = player.window();
    player.quit();
    EXPECT_EQ(jkQueryHost(gone, ipcQueryListLength, 0), 0);
    ASSERT_GE(logged.size(), 2u);
    EXPECT_EQ(logged.back().message, UINT(hostCommandMessage));
    EXPECT_EQ(logged.back().wParam, cmdNextSong);
}

TEST(HostWindow, SecondaryWindowsAreFoundByClassAndTitle) {
    EXPECT_EQ(jkFindPlaylistEditor(), nullptr);
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = jukoraEqualizerClass;
    RegisterClassA(&wc);
    HWND wrongTitle = CreateWindowExA(0, jukoraEqualizerClass, "Equalizer", WS_POPUP, 0, 0, 1, 1,
                                      nullptr, nullptr, wc.hInstance, nullptr);
    EXPECT_EQ(jkFindEqualizer(), nullptr);
    HWND eq = CreateWindowExA(0, jukoraEqualizerClass, jukoraEqualizerTitle, WS_POPUP, 0, 0, 1, 1,
                              nullptr, nullptr, wc.hInstance, nullptr);
    EXPECT_EQ(jkFindEqualizer(), eq);
    DestroyWindow(eq);
    DestroyWindow(wrongTitle);
}

} // namespace
