// Test tooling: keeps every message the converter shows.
#ifndef TOLVERN_TESTS_RECORDING_SINK_H
#define TOLVERN_TESTS_RECORDING_SINK_H

#include "tolvern/message_sink.h"

#include <string>
#include <vector>

namespace tolvern::test {

class RecordingSink : public MessageSink {
public:
    void show(const char* text, const char* caption) override {
        messages.push_back(std::string(caption) + " " + text);
    }
    std::vector<std::string> messages;
};

} // namespace tolvern::test

#endif
