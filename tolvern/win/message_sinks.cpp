#include "tolvern/win/message_sinks.h"

#include <string>

namespace tolvern {

void BoxSink::show(const char* text, const char* caption) {
    MessageBoxA(owner_, text, caption, MB_OK | MB_ICONEXCLAMATION);
}

ConsoleSink::ConsoleSink() {
    HANDLE err = GetStdHandle(STD_ERROR_HANDLE);
    if (err && err != INVALID_HANDLE_VALUE && GetFileType(err) != FILE_TYPE_UNKNOWN) {
        out_ = err;
    } else if (AttachConsole(ATTACH_PARENT_PROCESS)) {
        out_ = CreateFileA("CONOUT$", GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                           nullptr);
    }
}

void ConsoleSink::show(const char* text, const char* caption) {
    if (out_ == INVALID_HANDLE_VALUE) {
        BoxSink(nullptr).show(text, caption);
        return;
    }
    const std::string line = std::string(caption) + " " + text + "\r\n";
    DWORD written = 0;
    WriteFile(out_, line.data(), DWORD(line.size()), &written, nullptr);
}

} // namespace tolvern
