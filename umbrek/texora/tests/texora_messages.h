// Captures Texora's error messages for the length of a test.
#pragma once

#include "umbrek/texora/texora.h"

#include <string>
#include <vector>

struct TexoraMessages {
    TexoraMessages() {
        txSetErrorSink(
            [](const char* text, void* self) {
                static_cast<TexoraMessages*>(self)->texts.push_back(text);
            },
            this);
    }
    ~TexoraMessages() { txSetErrorSink(nullptr, nullptr); }
    TexoraMessages(const TexoraMessages&) = delete;
    TexoraMessages& operator=(const TexoraMessages&) = delete;
    std::vector<std::string> texts;
};
