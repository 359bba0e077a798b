#include "umbrek/texora/texora.h"

#include <cstdio>
#include <string>

namespace {

TxErrorSink errorSink = nullptr;
void* errorContext = nullptr;

} // namespace

void txSetErrorSink(TxErrorSink sink, void* context) {
    errorSink = sink;
    errorContext = context;
}

void txError(const char* message) {
    const std::string text = std::string("Texora: ") + message;
    if (errorSink)
        errorSink(text.c_str(), errorContext);
    else
        std::fputs(text.c_str(), stderr);
}
