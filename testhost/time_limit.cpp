#include "testhost/time_limit.h"

#include <cstdio>

namespace testhost {

namespace {

// After the limit, the time that the run has to end once its boxes are gone.
constexpr DWORD graceMs = 30000;
constexpr DWORD pollMs = 100;

} // namespace

void TimeLimit::start(double seconds) {
    limitMs_ = seconds <= 0 ? 0 : seconds > 4e6 ? INFINITE - 1 : DWORD(seconds * 1000);
    done_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    thread_ = CreateThread(nullptr, 0, watch, this, 0, nullptr);
}

void TimeLimit::finish() {
    if (!thread_) return;
    SetEvent(done_);
    WaitForSingleObject(thread_, INFINITE);
    CloseHandle(thread_);
    CloseHandle(done_);
    thread_ = done_ = nullptr;
}

std::vector<MessageBoxSeen> TimeLimit::boxesClosed() {
    std::lock_guard<std::mutex> g(lock_);
    return closed_;
}

void TimeLimit::closeBoxes() {
    for (const MessageBoxSeen& box : openMessageBoxes()) {
        {
            std::lock_guard<std::mutex> g(lock_);
            bool known = false;
            for (const MessageBoxSeen& c : closed_) known = known || c.window == box.window;
            if (!known) closed_.push_back(box);
        }
        closeMessageBox(box.window);
    }
}

DWORD WINAPI TimeLimit::watch(LPVOID self) {
    auto* t = static_cast<TimeLimit*>(self);
    if (WaitForSingleObject(t->done_, t->limitMs_) == WAIT_OBJECT_0) return 0;
    t->reached_ = true;
    for (DWORD waited = 0; waited < graceMs; waited += pollMs) {
        t->closeBoxes();
        if (WaitForSingleObject(t->done_, pollMs) == WAIT_OBJECT_0) return 0;
    }
    std::fputs("testhost: the run did not end within its time limit\n", stderr);
    for (const MessageBoxSeen& box : t->boxesClosed())
        std::fprintf(stderr, "%s was open\n", describeMessageBox(box).c_str());
    std::fflush(stderr);
    ExitProcess(3);
}

} // namespace testhost
