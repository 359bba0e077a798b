// Where the converter's messages go: a message box in the dialog, the console
// in batch mode, a recorder in the tests.
#ifndef TOLVERN_MESSAGE_SINK_H
#define TOLVERN_MESSAGE_SINK_H

namespace tolvern {

class MessageSink {
public:
    virtual ~MessageSink() = default;
    virtual void show(const char* text, const char* caption) = 0;
};

} // namespace tolvern

#endif
