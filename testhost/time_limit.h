// The time limit of a run whose plug-in calls may not come back: a message
// box that nobody clicks holds the call that showed it. Once the limit is
// reached a watcher thread notes the message boxes open in the process and
// presses their first button, so that the run can end and report them; a run
// still going some time later ends the process.
#pragma once

#include "testhost/message_boxes.h"

#include <windows.h>

#include <atomic>
#include <mutex>
#include <vector>

namespace testhost {

class TimeLimit {
public:
    ~TimeLimit() { finish(); }
    void start(double seconds);
    bool reached() const { return reached_; }
    // Ends the watch; the run is over.
    void finish();
    // The boxes that were open at the limit or later, each once.
    std::vector<MessageBoxSeen> boxesClosed();

private:
    static DWORD WINAPI watch(LPVOID self);
    void closeBoxes();
    DWORD limitMs_ = 0;
    HANDLE done_ = nullptr, thread_ = nullptr;
    std::atomic<bool> reached_{false};
    std::mutex lock_;
    std::vector<MessageBoxSeen> closed_;
};

} // namespace testhost
