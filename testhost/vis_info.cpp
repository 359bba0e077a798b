// testhost info VIS.dll: a visualization plug-in's header and modules.
#include "testhost/vis_host.h"

#include "testhost/stack_check.h"

namespace testhost {

namespace {

// A plug-in that never returns null would list forever.
constexpr int moduleListLimit = 1000;

} // namespace

void describeVis(JsonWriter& j, VisHeader* h) {
    j.key("kind").value("vis");
    j.key("abiVersion").value(h->abiVersion);
    j.key("displayName").value(h->displayName ? h->displayName : "");
    j.key("modules").beginArray();
    int count = 0;
    for (; h->moduleByIndex && count < moduleListLimit; ++count) {
        VisModule* m = callPlugin("moduleByIndex", h->moduleByIndex, count);
        if (!m) break;
        j.value(m->displayName ? m->displayName : "");
    }
    j.endArray();
    bool stable = true;
    j.key("moduleValues").beginArray();
    for (int i = 0; i < count; ++i) {
        VisModule* m = callPlugin("moduleByIndex", h->moduleByIndex, i);
        stable = stable && m == callPlugin("moduleByIndex", h->moduleByIndex, i);
        j.beginObject();
        j.key("frameLatencyMs").value(m->frameLatencyMs);
        j.key("frameDelayMs").value(m->frameDelayMs);
        j.key("spectrumChannels").value(m->spectrumChannels);
        j.key("waveformChannels").value(m->waveformChannels);
        j.key("ownerData").value(int64_t(m->ownerData));
        j.endObject();
    }
    j.endArray();
    j.key("negativeIndexGivesNull")
        .value(!h->moduleByIndex || !callPlugin("moduleByIndex", h->moduleByIndex, -1));
    j.key("sameRecordEachCall").value(stable);
}

} // namespace testhost
