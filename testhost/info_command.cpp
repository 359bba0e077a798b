// testhost info PLUGIN.dll: what the plug-in's record says about itself.
#include "host/input_module.h"
#include "host/vis_module.h"
#include "testhost/commands.h"
#include "testhost/json_writer.h"
#include "testhost/stack_check.h"
#include "testhost/vis_host.h"

#include <cstdio>
#include <cstring>

namespace testhost {

void* loadPlugin(const char* path) {
    HMODULE lib = LoadLibraryA(path);
    if (!lib) std::fprintf(stderr, "cannot load %s (error %lu)\n", path, GetLastError());
    return lib;
}

static void describeInput(JsonWriter& j, InputModule* m) {
    j.key("kind").value("input");
    j.key("abiVersion").value(m->abiVersion);
    j.key("displayName").value(m->displayName ? m->displayName : "");
    j.key("fileTypes").beginArray();
    // Pairs of NUL-ended texts; an empty first text ends the list.
    for (const char* p = m->fileTypeList; p && *p;) {
        const char* ext = p;
        const char* desc = ext + std::strlen(ext) + 1;
        j.beginArray().value(ext).value(desc).endArray();
        p = desc + std::strlen(desc) + 1;
    }
    j.endArray();
    j.key("canSeek").value(m->canSeek);
    j.key("usesHostOutput").value(m->usesHostOutput);
}

int runInfo(int argc, char** argv) {
    if (argc != 1) {
        std::fputs("usage: testhost info PLUGIN.dll\n", stderr);
        return 2;
    }
    HMODULE lib = static_cast<HMODULE>(loadPlugin(argv[0]));
    if (!lib) return 1;
    JsonWriter j;
    j.beginObject();
    auto getIn = reinterpret_cast<JukoraGetInModule2>(
        reinterpret_cast<void*>(GetProcAddress(lib, "jukoraGetInModule2")));
    auto getVis = reinterpret_cast<JukoraVisGetHeader>(
        reinterpret_cast<void*>(GetProcAddress(lib, "jukoraVisGetHeader")));
    InputModule* in = getIn ? callPlugin("jukoraGetInModule2", getIn) : nullptr;
    VisHeader* vis = !in && getVis ? callPlugin("jukoraVisGetHeader", getVis) : nullptr;
    int rc = 0;
    if (in) {
        describeInput(j, in);
    } else if (vis) {
        describeVis(j, vis);
    } else {
        std::fprintf(stderr, "%s exports no plug-in record\n", argv[0]);
        rc = 1;
    }
    if (!stackFaults().empty()) rc = 1; // each printed when found
    j.endObject();
    if (rc == 0) std::printf("%s\n", j.text().c_str());
    FreeLibrary(lib);
    return rc;
}

} // namespace testhost
