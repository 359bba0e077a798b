#include "sabrith/win/skin_host_link.h"

#include "host/host_window.h"

namespace sabrith {

namespace {

constexpr std::size_t textCapacity = 260; // the player's own buffers

} // namespace

bool WinHostLink::present() {
    return host_ && IsWindow(host_);
}

int32_t WinHostLink::playState() {
    return int32_t(jkQueryHost(host_, ipcQueryPlayState, 0));
}

int32_t WinHostLink::queryTime(int which) {
    return int32_t(jkQueryHost(host_, ipcQueryTime, WPARAM(which)));
}

int32_t WinHostLink::listPosition() {
    return int32_t(jkQueryHost(host_, ipcQueryListPosition, 0));
}

int32_t WinHostLink::listLength() {
    return int32_t(jkQueryHost(host_, ipcQueryListLength, 0));
}

std::string WinHostLink::entryTitle(int32_t position) {
    const auto* title = reinterpret_cast<const char*>(
        jkQueryHost(host_, ipcQueryEntryTitle, WPARAM(INT_PTR(position))));
    if (!title) return {};
    std::size_t length = 0;
    while (length < textCapacity - 1 && title[length]) ++length;
    return std::string(title, length);
}

std::string WinHostLink::skinFolder() {
    char folder[textCapacity] = {};
    jkQueryHost(host_, ipcQuerySkinFolder, WPARAM(folder));
    folder[textCapacity - 1] = '\0';
    return folder;
}

void WinHostLink::seekMs(int32_t ms) {
    jkQueryHost(host_, ipcSeekMs, WPARAM(INT_PTR(ms)));
}

uint32_t WinClock::now() {
    return uint32_t(GetTickCount());
}

void WinUi::message(const std::string& caption, const std::string& text) {
    MessageBoxA(nullptr, text.c_str(), caption.c_str(), MB_OK | MB_ICONEXCLAMATION);
}

} // namespace sabrith
