// testhost's side of a visualization plug-in: what its records say, and the
// host window and window bookkeeping that testhost vis drives a module with.
#pragma once

#include "host/vis_module.h"
#include "testhost/json_writer.h"

#include <cstdint>
#include <string>
#include <vector>

namespace testhost {

// The header, its modules from index 0 up and each module's own values, with
// the answers to the questions every host relies on: null for a negative
// index, and the same record for an index at every call.
void describeVis(JsonWriter& j, VisHeader* header);

// A window handle as the number the probes and the JSON output use.
inline int64_t windowNumber(HWND w) {
    return int64_t(reinterpret_cast<intptr_t>(w));
}

// The player's main window as far as a visualization sees it: visible, owned
// by the calling thread, and the receiver of forwarded keys, requests and
// commands, which it logs.
class VisHostWindow {
public:
    bool create(const std::string& title);
    ~VisHostWindow();
    HWND handle() const { return window_; }
    struct Message {
        UINT message;
        int64_t wParam, lParam;
    };
    static std::vector<Message> messages;

private:
    static LRESULT CALLBACK proc(HWND w, UINT msg, WPARAM wp, LPARAM lp);
    HWND window_ = nullptr;
};

// The top-level windows that appear on this thread while a module runs.
class ModuleWindows {
public:
    explicit ModuleWindows(HWND host) : host_(host) {}
    void ignoreExisting(); // windows that exist now are not the module's
    void update();         // notes windows that appeared since
    // The screen area of the module's visible windows, or the whole screen.
    RECT area() const;
    // The first of the module's windows, in the order they appeared, that is
    // still open and owned by the host window; null when there is none.
    HWND firstOpenOwnedByHost() const;
    // Names the windows that still exist (for a check after stopModule).
    std::vector<std::string> stillOpen() const;
    void describe(JsonWriter& j) const;

private:
    struct Seen {
        HWND window;
        std::string title, className;
        bool ownedByHost;
        RECT rect, client; // screen coordinates
    };
    static BOOL CALLBACK collect(HWND w, LPARAM self);
    HWND host_;
    std::vector<HWND> ignored_;
    std::vector<Seen> seen_;
};

} // namespace testhost
