// The dialog program under Wine, driven like a user: choose the files, read
// the song's details, convert, meet a refused file, leave. A screenshot of the
// dialog goes to the build tree (tolvern_dialog.png).
#include "testhost/image_file.h"
#include "tests/test_files.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <stdexcept>
#include <set>
#include <string>

namespace {

constexpr DWORD kTimeoutMs = 15000;
constexpr int kFileNameCombo = 0x47C; // the file name box of the common dialogs
constexpr int kFileNameEdit = 0x480;
constexpr int kMessageText = 0xFFFF; // the text of a message box

std::string env(const char* name) {
    const char* v = std::getenv(name);
    return v ? v : "";
}

std::string fullPath(const std::string& path) {
    char out[MAX_PATH];
    GetFullPathNameA(path.c_str(), MAX_PATH, out, nullptr);
    return out;
}

bool waitFor(const std::function<bool()>& done, DWORD timeoutMs = kTimeoutMs) {
    for (DWORD start = GetTickCount(); GetTickCount() - start < timeoutMs; Sleep(50))
        if (done()) return true;
    return done();
}

struct Search {
    DWORD pid;
    std::string title;
    HWND exclude;
    HWND found;
};

BOOL CALLBACK matchWindow(HWND w, LPARAM param) {
    Search& s = *reinterpret_cast<Search*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    char title[256] = {};
    GetWindowTextA(w, title, sizeof title);
    if (pid == s.pid && w != s.exclude && IsWindowVisible(w) &&
        (s.title.empty() || s.title == title)) {
        s.found = w;
        return FALSE;
    }
    return TRUE;
}

// A visible top-level window of the process (any title when title is empty).
HWND findWindow(DWORD pid, const std::string& title, HWND exclude = nullptr,
                DWORD timeoutMs = kTimeoutMs) {
    Search s{pid, title, exclude, nullptr};
    waitFor(
        [&] {
            EnumWindows(matchWindow, reinterpret_cast<LPARAM>(&s));
            return s.found != nullptr;
        },
        timeoutMs);
    return s.found;
}

std::string text(HWND dialog, int id) {
    char buffer[1024] = {};
    GetDlgItemTextA(dialog, id, buffer, sizeof buffer);
    return buffer;
}

void click(HWND dialog, int id) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

// Answers the open or save dialog that the click on `button` brings up.
void chooseFile(DWORD pid, HWND main, int button, const std::string& path) {
    click(main, button);
    HWND files = findWindow(pid, "", main);
    ASSERT_NE(files, nullptr) << "no file dialog";
    HWND box = GetDlgItem(files, kFileNameCombo);
    if (!box) box = GetDlgItem(files, kFileNameEdit);
    ASSERT_NE(box, nullptr);
    SendMessageA(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    click(files, IDOK);
    ASSERT_TRUE(waitFor([&] { return !IsWindow(files) || !IsWindowVisible(files); }));
}

std::string readAll(const std::string& path) {
    const std::vector<uint8_t> bytes = jk::test::readFile(path);
    return std::string(bytes.begin(), bytes.end());
}

// The size of a file that may not be there yet; -1 while it is not.
long long sizeOf(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return -1;
    return (long long)data.nFileSizeHigh << 32 | data.nFileSizeLow;
}

// The dialog as it shows on the screen, saved as a PNG; false when the
// picture is blank.
bool screenshot(HWND window, const std::string& path) {
    RECT r;
    GetWindowRect(window, &r);
    const int w = r.right - r.left, h = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    SelectObject(memory, old);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    std::vector<uint8_t> bgra(size_t(w) * size_t(h) * 4);
    GetDIBits(memory, bitmap, 0, UINT(h), bgra.data(), &info, DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    std::vector<uint8_t> rgb;
    std::set<uint32_t> colours;
    for (size_t i = 0; i < bgra.size(); i += 4) {
        rgb.insert(rgb.end(), {bgra[i + 2], bgra[i + 1], bgra[i]});
        colours.insert(uint32_t(bgra[i] | bgra[i + 1] << 8 | bgra[i + 2] << 16));
    }
    return testhost::writeImage(path, w, h, rgb) && colours.size() > 4;
}

// The dialog's files and the program's working folder. It lives on the
// prefix's own drive, where the common file dialogs work (on the drive that
// maps the Unix root they cannot read the volume and never close), named
// after this process so that no other run shares it.
class Folder {
public:
    Folder() {
        char temp[MAX_PATH];
        if (!GetTempPathA(MAX_PATH, temp))
            throw std::runtime_error("no temporary folder: error " +
                                     std::to_string(GetLastError()));
        path_ = std::string(temp) + "tolvern-dialog-" + std::to_string(GetCurrentProcessId());
        if (!CreateDirectoryA(path_.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
            throw std::runtime_error("cannot make the folder " + path_ + ": error " +
                                     std::to_string(GetLastError()));
    }
    ~Folder() {
        for (const char* name : {"song.ym", "bad.ym", "out.xm", "sample16.smp"})
            DeleteFileA((*this / name).c_str());
        RemoveDirectoryA(path_.c_str());
    }
    std::string operator/(const char* name) const { return path_ + "\\" + name; }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

} // namespace

TEST(Dialog, ChooseConvertRefuseAndLeave) {
    Folder folder;
    ASSERT_TRUE(CopyFileA(fullPath(env("JK_SOURCE_DIR") + "/tolvern/demo/demo.ym").c_str(),
                          (folder / "song.ym").c_str(), FALSE));
    jk::test::writeFile(folder / "bad.ym", std::string("not an archive at all"));
    std::string command = fullPath(env("JK_DIST_DIR") + "/tolvern.exe");
    command.insert(command.begin(), '"');
    command.push_back('"');
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    ASSERT_TRUE(CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               folder.path().c_str(), &si, &pi))
        << command << ": error " << GetLastError();
    const DWORD pid = pi.dwProcessId;
    // A test that stops early leaves no program behind to hold its folder.
    const std::unique_ptr<void, void (*)(HANDLE)> program(pi.hProcess, [](HANDLE process) {
        if (WaitForSingleObject(process, 0) == WAIT_TIMEOUT) TerminateProcess(process, 1);
        CloseHandle(process);
    });
    HWND main = findWindow(pid, "VANTO v1.03");
    ASSERT_NE(main, nullptr) << "the dialog did not open";

    for (int id : {300, 301}) EXPECT_EQ(text(main, id), "-none-");
    for (int id = 400; id <= 405; ++id) EXPECT_EQ(text(main, id), "-no file selected-");
    EXPECT_EQ(text(main, 106), "Convert it");
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(main, 106)));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(main, 107)));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(main, 105)));

    chooseFile(pid, main, 101, folder / "song.ym");
    ASSERT_TRUE(waitFor([&] { return text(main, 400) == "YM5!"; })) << text(main, 400);
    EXPECT_EQ(text(main, 300), "song.ym");
    EXPECT_EQ(text(main, 401), "Tolvern demo");
    EXPECT_EQ(text(main, 402), "the Tolvern developers");
    EXPECT_EQ(text(main, 404), "made with the project's own YM writer");
    EXPECT_EQ(text(main, 403), "0 min. 40 sec.");
    EXPECT_EQ(text(main, 405), "1 samples");
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(main, 106))) << "no XM file chosen yet";

    chooseFile(pid, main, 102, folder / "out.xm");
    EXPECT_TRUE(waitFor([&] { return text(main, 301) == "out.xm"; })) << text(main, 301);
    EXPECT_TRUE(waitFor([&] { return IsWindowEnabled(GetDlgItem(main, 106)) != FALSE; }));
    Sleep(300);
    EXPECT_TRUE(screenshot(main, "tolvern_dialog.png"));

    click(main, 106);
    ASSERT_TRUE(waitFor([&] { return sizeOf(folder / "out.xm") > 7063; }));
    EXPECT_EQ(readAll(folder / "out.xm").substr(0, 17), "Extended Module: ");
    EXPECT_EQ(readAll(folder / "sample16.smp").size(), 900u);
    const std::string converted = readAll(folder / "out.xm");

    // A refused file: its box, texts of an empty song, and no conversion.
    chooseFile(pid, main, 101, folder / "bad.ym");
    HWND box = findWindow(pid, "Not an lha file :", main);
    ASSERT_NE(box, nullptr) << "no message box";
    const std::string message = text(box, kMessageText);
    EXPECT_TRUE(message.size() > 6 && message.compare(message.size() - 6, 6, "bad.ym") == 0)
        << message;
    click(box, IDOK);
    ASSERT_TRUE(waitFor([&] { return text(main, 403) == "0 min. 0 sec."; }));
    EXPECT_EQ(text(main, 400), "YM5!") << "a failed load leaves the type shown";
    EXPECT_EQ(text(main, 401), "");
    EXPECT_EQ(text(main, 405), "none used");
    click(main, 106);
    EXPECT_EQ(findWindow(pid, "", main, 1000), nullptr) << "the button does nothing";
    EXPECT_EQ(readAll(folder / "out.xm"), converted);

    click(main, 105);
    ASSERT_EQ(WaitForSingleObject(pi.hProcess, kTimeoutMs), WAIT_OBJECT_0);
    DWORD code = 1;
    GetExitCodeProcess(pi.hProcess, &code);
    EXPECT_EQ(code, 0u);
    CloseHandle(pi.hThread);
}
