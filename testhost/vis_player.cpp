#include "testhost/vis_player.h"

#include "host/host_window.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <sstream>

namespace testhost {

namespace {

struct Answers {
    bool given = false;
    int play = 0, positionMs = 0, lengthS = 0, index = 0, count = 0;
    // Fixed places: a title handed out stays readable, and changes in place.
    char title[512] = "";
    std::string skins;
};

// The window script changes the answers from its own thread.
std::mutex lock;
Answers answers;

bool toInt(const std::string& text, int& out) {
    char* end = nullptr;
    long v = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end) return false;
    out = int(v);
    return true;
}

LRESULT CALLBACK stillProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    return DefWindowProcA(w, msg, wp, lp);
}

} // namespace

bool setPlayerAnswers(const std::string& settings) {
    std::lock_guard<std::mutex> g(lock);
    Answers next = answers;
    std::istringstream in(settings);
    std::string item;
    while (std::getline(in, item, ',')) {
        size_t eq = item.find('=');
        if (eq == std::string::npos) return false;
        std::string key = item.substr(0, eq), value = item.substr(eq + 1);
        bool ok = true;
        if (key == "play")
            ok = toInt(value, next.play);
        else if (key == "pos")
            ok = toInt(value, next.positionMs);
        else if (key == "len")
            ok = toInt(value, next.lengthS);
        else if (key == "index")
            ok = toInt(value, next.index);
        else if (key == "count")
            ok = toInt(value, next.count);
        else if (key == "title")
            ok = value.size() < sizeof next.title;
        else if (key == "skins")
            next.skins = value;
        else
            ok = false;
        if (!ok) return false;
        if (key == "title") std::memcpy(next.title, value.c_str(), value.size() + 1);
    }
    next.given = true;
    answers = next; // the title's array is copied into its place
    return true;
}

LRESULT answerPlayerQuestion(WPARAM argument, LPARAM code) {
    std::lock_guard<std::mutex> g(lock);
    if (!answers.given) return 0;
    switch (code) {
    case ipcQueryPlayState: return answers.play;
    case ipcQueryTime:
        return argument == 0 ? answers.positionMs : argument == 1 ? answers.lengthS : -1;
    case ipcSeekMs: answers.positionMs = int(argument); return 0;
    case ipcQueryListPosition: return answers.index;
    case ipcQueryListLength: return answers.count;
    case ipcQueryEntryTitle: return reinterpret_cast<LRESULT>(answers.title);
    case ipcQuerySkinFolder: {
        // The asker's buffer holds MAX_PATH characters.
        char* buffer = reinterpret_cast<char*>(argument);
        if (!buffer) return 0;
        size_t n = std::min(answers.skins.size(), size_t(MAX_PATH - 1));
        std::memcpy(buffer, answers.skins.data(), n);
        buffer[n] = '\0';
        return LRESULT(argument);
    }
    }
    return 0;
}

bool PlayerWindows::open() {
    HINSTANCE self = GetModuleHandleA(nullptr);
    for (const char* cls : {jukoraPlaylistEditorClass, jukoraEqualizerClass}) {
        WNDCLASSA wc{};
        wc.lpfnWndProc = stillProc;
        wc.hInstance = self;
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNSHADOW + 1);
        wc.lpszClassName = cls;
        RegisterClassA(&wc);
    }
    // Left of the host window and above it, which stands at (744, 628).
    DWORD style = WS_POPUP | WS_BORDER | WS_VISIBLE;
    editor_ = CreateWindowExA(0, jukoraPlaylistEditorClass, jukoraPlaylistEditorTitle, style, 464,
                              628, 275, 116, nullptr, nullptr, self, nullptr);
    equalizer_ = CreateWindowExA(0, jukoraEqualizerClass, jukoraEqualizerTitle, style, 744, 508,
                                 275, 116, nullptr, nullptr, self, nullptr);
    return editor_ && equalizer_;
}

PlayerWindows::~PlayerWindows() {
    if (editor_) DestroyWindow(editor_);
    if (equalizer_) DestroyWindow(equalizer_);
}

} // namespace testhost
