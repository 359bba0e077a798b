// The player's status for the skin gizmos, asked of its main window. Every
// question goes through jkQueryHost, so a hung or vanished player answers 0
// within half a second instead of blocking the window.
#pragma once

#include "sabrith/skin/skin_services.h"

#include <windows.h>

namespace sabrith {

class WinHostLink final : public HostLink {
public:
    explicit WinHostLink(HWND host) : host_(host) {}
    bool present() override;
    int32_t playState() override;
    int32_t queryTime(int which) override;
    int32_t listPosition() override;
    int32_t listLength() override;
    // The title is the player's own text, copied at once and cut at 259
    // characters should it lack its end.
    std::string entryTitle(int32_t position) override;
    std::string skinFolder() override;
    void seekMs(int32_t ms) override;

private:
    HWND host_;
};

// The system's tick count.
class WinClock final : public Clock {
public:
    uint32_t now() override;
};

// Message boxes without owner, exclamation icon and OK button.
class WinUi final : public Ui {
public:
    void message(const std::string& caption, const std::string& text) override;
};

} // namespace sabrith
