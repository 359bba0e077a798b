// The converter's messages on Windows: message boxes in the dialog, the
// console in batch mode.
#ifndef TOLVERN_WIN_MESSAGE_SINKS_H
#define TOLVERN_WIN_MESSAGE_SINKS_H

#include "tolvern/message_sink.h"

#include <windows.h>

namespace tolvern {

class BoxSink : public MessageSink {
public:
    explicit BoxSink(HWND owner) : owner_(owner) {}
    void show(const char* text, const char* caption) override;

private:
    HWND owner_;
};

// Writes "caption text" lines to the standard error of the caller, or of the
// console that started the program; with neither (a file dropped on the
// program) the message still reaches the user in a box.
class ConsoleSink : public MessageSink {
public:
    ConsoleSink();
    void show(const char* text, const char* caption) override;

private:
    HANDLE out_ = INVALID_HANDLE_VALUE;
};

} // namespace tolvern

#endif
