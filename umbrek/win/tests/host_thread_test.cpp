// The plug-in loaded as the player loads it: what its start changes in the
// host's thread (the current folder becomes the plug-in's, where its data
// and screenshots lie; the engine sets its floating-point precision) is given
// back at stop, after a good start and after a failed one.
#include "host/vis_module.h"
#include "tests/test_files.h"
#include "umbrek/fixtures/scene_archive.h"

#include <windows.h>

#include <float.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;
using jk::test::tempFolder;
using jk::test::tempPath;
using jk::test::writeFile;

// Rounding and precision a host might have chosen, unlike the engine's.
#if defined(__i386__)
constexpr unsigned hostControl = _RC_UP | _PC_53, controlMask = _MCW_RC | _MCW_PC;
#else
constexpr unsigned hostControl = _RC_UP, controlMask = _MCW_RC;
#endif

std::string currentFolder() {
    return fs::current_path().string();
}

// Closes the start failure's box ("cannot open zephrin file", caption "logo").
DWORD WINAPI closeLogoBox(void*) {
    for (int tries = 0; tries < 500; ++tries) {
        if (HWND box = FindWindowA(nullptr, "logo")) {
            PostMessageA(box, WM_COMMAND, IDOK, 0);
            return 0;
        }
        Sleep(10);
    }
    return 1;
}

class HostThread : public ::testing::Test {
protected:
    void SetUp() override {
        // A folder of each test's own: the archive of one must not serve another.
        const std::string test = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        pluginFolder = tempPath(test + "-plugin");
        hostFolder = tempPath(test + "-host");
        fs::create_directories(pluginFolder);
        fs::create_directories(hostFolder);
        const char* dist = std::getenv("JK_DIST_DIR");
        ASSERT_NE(dist, nullptr);
        const std::string copy = (fs::path(pluginFolder) / "umbrek.dll").string();
        ASSERT_TRUE(
            CopyFileA((fs::path(dist) / "umbrek.dll").string().c_str(), copy.c_str(), FALSE))
            << copy;
        library = LoadLibraryA(copy.c_str());
        ASSERT_NE(library, nullptr);
        auto getHeader = reinterpret_cast<JukoraVisGetHeader>(
            reinterpret_cast<void*>(GetProcAddress(library, "jukoraVisGetHeader")));
        ASSERT_NE(getHeader, nullptr);
        module = getHeader()->moduleByIndex(0);
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "UmbrekHostThreadTest";
        RegisterClassA(&wc);
        host = CreateWindowExA(0, wc.lpszClassName, "host", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                               nullptr, nullptr, wc.hInstance, nullptr);
        ASSERT_NE(host, nullptr);
        module->hostWindow = host;
        module->pluginInstance = library;
        fs::current_path(hostFolder);
        _controlfp(hostControl, controlMask);
    }
    void TearDown() override {
        _controlfp(_CW_DEFAULT, controlMask);
        fs::current_path(tempFolder());
        if (host) DestroyWindow(host);
        if (library) FreeLibrary(library);
    }
    void expectHostThread() {
        EXPECT_EQ(fs::equivalent(currentFolder(), hostFolder), true) << currentFolder();
        EXPECT_EQ(_controlfp(0, 0) & controlMask, hostControl);
    }
    std::string pluginFolder, hostFolder;
    HMODULE library = nullptr;
    HWND host = nullptr;
    VisModule* module = nullptr;
};

TEST_F(HostThread, RunningInThePluginsFolderAndGivenBackAtStop) {
    const auto archive = umbrek::fixtures::writeArchive(umbrek::fixtures::ArchiveVariant::complete);
    writeFile(pluginFolder + "/zephrin.dat", archive.data(), archive.size());
    ASSERT_EQ(module->startModule(module), 0);
    EXPECT_EQ(fs::equivalent(currentFolder(), pluginFolder), true) << currentFolder();
    EXPECT_EQ(module->renderFrame(module), 0);
    module->stopModule(module);
    expectHostThread();
}

TEST_F(HostThread, GivenBackAfterAFailedStart) {
    // No archive: the start fails after the folder changed. Its message box
    // is closed by the thread below.
    HANDLE closer = CreateThread(nullptr, 0, closeLogoBox, nullptr, 0, nullptr);
    EXPECT_EQ(module->startModule(module), 1);
    WaitForSingleObject(closer, 10000);
    CloseHandle(closer);
    expectHostThread();
}

} // namespace
