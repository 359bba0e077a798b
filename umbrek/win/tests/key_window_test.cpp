// The key window on its own: its place and size, the keys it passes to the
// player's window, and which closes end the host's loop. A quit posted while
// the module is stopped would end the player's loop (under Morsk, every
// child's), and the stand-in player swallows such a quit after a stop, so it
// is checked here.
#include "umbrek/win/key_window.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

using namespace umbrek;

namespace {

std::vector<std::pair<UINT, WPARAM>> hostKeys;

LRESULT CALLBACK hostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_KEYDOWN || message == WM_KEYUP) {
        hostKeys.emplace_back(message, wParam);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// Serves the thread's messages; true when a quit message was among them.
// Every message here is posted by this thread (the test, the key window and
// its forwarding to the host), so one drain of the queue serves them all,
// those posted while it runs included: there is nothing to wait for.
bool pumpSawQuit() {
    bool quit = false;
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
        if (m.message == WM_QUIT) quit = true;
        DispatchMessageA(&m);
    }
    return quit;
}

class KeyWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        hostKeys.clear();
        WNDCLASSA wc{};
        wc.lpfnWndProc = hostProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "UmbrekKeyTestHost";
        RegisterClassA(&wc);
        host = CreateWindowExA(0, wc.lpszClassName, "host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 300,
                               300, 200, 100, nullptr, nullptr, wc.hInstance, nullptr);
        ASSERT_NE(host, nullptr);
        window = openKeyWindow(GetModuleHandleA(nullptr), host, "Zephrin test");
        ASSERT_NE(window, nullptr);
        pumpSawQuit();
    }
    void TearDown() override {
        closeKeyWindow();
        DestroyWindow(host);
        pumpSawQuit();
    }
    HWND host = nullptr, window = nullptr;
};

TEST_F(KeyWindowTest, SitsAtTheCornerWithItsClientSizeAndOwner) {
    RECT outer, client;
    GetWindowRect(window, &outer);
    GetClientRect(window, &client);
    EXPECT_EQ(outer.left, 0);
    EXPECT_EQ(outer.top, 0);
    EXPECT_EQ(client.right, 288);
    EXPECT_EQ(client.bottom, 256);
    EXPECT_EQ(GetWindow(window, GW_OWNER), host);
    char name[32] = "";
    GetClassNameA(window, name, sizeof name);
    EXPECT_STREQ(name, "ZephrinLite");
}

TEST_F(KeyWindowTest, PassesKeysOnAndEscapeClosesItWithAQuit) {
    PostMessageA(window, WM_KEYDOWN, 'F', 1);
    PostMessageA(window, WM_KEYUP, 'F', 0xC0000001);
    EXPECT_FALSE(pumpSawQuit());
    EXPECT_TRUE(keyWindowOpen());
    PostMessageA(window, WM_KEYDOWN, VK_ESCAPE, 1);
    EXPECT_TRUE(pumpSawQuit());
    EXPECT_FALSE(keyWindowOpen());
    EXPECT_FALSE(IsWindow(window));
    const std::vector<std::pair<UINT, WPARAM>> expected = {
        {WM_KEYDOWN, 'F'}, {WM_KEYUP, 'F'}, {WM_KEYDOWN, VK_ESCAPE}};
    EXPECT_EQ(hostKeys, expected);
    closeKeyWindow(); // after the user's close: only the class is left to go
    WNDCLASSA wc;
    EXPECT_FALSE(GetClassInfoA(GetModuleHandleA(nullptr), "ZephrinLite", &wc));
}

TEST_F(KeyWindowTest, ClosedByTheModulesStopWithoutAQuit) {
    closeKeyWindow();
    EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(pumpSawQuit());
    // The class is gone too, so that the next start can register it.
    window = openKeyWindow(GetModuleHandleA(nullptr), host, "Zephrin test");
    EXPECT_NE(window, nullptr);
}

} // namespace
