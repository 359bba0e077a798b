#include "tolvern/batch.h"

#include "tolvern/xm_channel.h"
#include "tolvern/xm_module.h"
#include "tolvern/ym.h"

#include <memory>

namespace tolvern {

std::vector<std::string> splitCommandLine(const char* commandLine) {
    std::vector<std::string> names;
    if (!*commandLine) return names;
    std::string name;
    bool quoted = false;
    for (const char* c = commandLine; *c; ++c) {
        if (*c == '"') {
            quoted = !quoted;
        } else if (*c == ' ' && !quoted) {
            names.push_back(name);
            name.clear();
        } else {
            name += *c;
        }
    }
    // The line ends as if with one more blank, which also closes an open quote.
    names.push_back(name);
    return names;
}

std::string xmNameFor(const std::string& ymName) {
    const size_t slash = ymName.find_last_of("\\/:");
    const size_t dot = ymName.find_last_of('.');
    const bool inLastComponent =
        dot != std::string::npos && (slash == std::string::npos || dot > slash);
    return (inLastComponent ? ymName.substr(0, dot) : ymName) + ".xm";
}

bool convertYmFile(const std::string& ymName, MessageSink* sink) {
    auto song = std::make_unique<_corvel_YM>(sink);
    // A failed load has told why; its XM file is not touched.
    if (!song->LoadFile(ymName.c_str())) return false;
    auto module = std::make_unique<XmModule>();
    auto channels = std::make_unique<XmChannel[]>(kXmChannels);
    return song->Convert(xmNameFor(ymName).c_str(), *module, channels.get()) == 1;
}

} // namespace tolvern
