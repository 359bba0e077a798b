// The skin's questions to the player against a player window of the test on
// a thread of its own, as the player's main window is to the visualization.
#include "sabrith/win/skin_host_link.h"

#include "host/messages.h"
#include "host/testing/player_thread.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace sabrith {
namespace {

std::vector<std::pair<WPARAM, LPARAM>> received;
const char title[] = "Second Song";

LRESULT CALLBACK playerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != ipcMessage) return DefWindowProcA(window, message, wParam, lParam);
    received.push_back({wParam, lParam});
    switch (lParam) {
    case ipcQueryPlayState: return 3;
    case ipcQueryTime: return wParam == 0 ? 65432 : 215;
    case ipcQueryListPosition: return 1;
    case ipcQueryListLength: return 4;
    case ipcQueryEntryTitle: return wParam == 1 ? LRESULT(title) : 0;
    case ipcQuerySkinFolder:
        std::strcpy(reinterpret_cast<char*>(wParam), "C:\\Player\\Skins\\Blue");
        return 0;
    default: return 0;
    }
}

struct Player : jk::testing::PlayerThread {
    Player() : PlayerThread(playerProc, "SkinTestPlayer") {}
};

TEST(SkinHostLink, AsksThePlayerAndSeeks) {
    received.clear();
    HWND gone = nullptr;
    {
        Player player;
        WinHostLink host(player.window());
        EXPECT_TRUE(host.present());
        EXPECT_EQ(host.playState(), 3);
        EXPECT_EQ(host.queryTime(0), 65432);
        EXPECT_EQ(host.queryTime(1), 215);
        EXPECT_EQ(host.listPosition(), 1);
        EXPECT_EQ(host.listLength(), 4);
        EXPECT_EQ(host.entryTitle(1), "Second Song");
        EXPECT_EQ(host.entryTitle(2), "") << "no title";
        EXPECT_EQ(host.skinFolder(), "C:\\Player\\Skins\\Blue");
        host.seekMs(100000);
        gone = player.window();
    }
    ASSERT_EQ(received.size(), 9u);
    EXPECT_EQ(received.back(), (std::pair<WPARAM, LPARAM>{100000, ipcSeekMs}));
    EXPECT_EQ(received[1].second, ipcQueryTime);

    // The player gone: every answer reads as 0, nothing waits.
    WinHostLink host(gone);
    EXPECT_FALSE(host.present());
    EXPECT_EQ(host.playState(), 0);
    EXPECT_EQ(host.listLength(), 0);
    EXPECT_EQ(host.entryTitle(0), "");
    EXPECT_EQ(host.skinFolder(), "");
}

} // namespace
} // namespace sabrith
