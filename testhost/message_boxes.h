// The message boxes that are open in this process: a box that nobody clicks
// holds the call that showed it for ever, so a run reports the boxes it
// leaves open, and its time limit closes them.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace testhost {

struct MessageBoxSeen {
    HWND window;
    std::string title, text;
};

// The visible message boxes of this process, on any of its threads.
std::vector<MessageBoxSeen> openMessageBoxes();

// Presses the box's first button, from any thread.
void closeMessageBox(HWND box);

// "the message box "TITLE": "TEXT"" for a report.
std::string describeMessageBox(const MessageBoxSeen& box);

} // namespace testhost
