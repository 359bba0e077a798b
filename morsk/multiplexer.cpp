#include "morsk/multiplexer.h"

#include <cstring>

namespace morsk {

namespace {

class BusyGuard {
public:
    explicit BusyGuard(bool& flag) : flag_(flag) { flag_ = true; }
    ~BusyGuard() { flag_ = false; }

private:
    bool& flag_;
};

void copyRows(const VisModule& from, VisModule& to, bool spectrum, bool waveform) {
    if (spectrum) std::memcpy(to.spectrumRows, from.spectrumRows, sizeof to.spectrumRows);
    if (waveform) std::memcpy(to.waveformRows, from.waveformRows, sizeof to.waveformRows);
}

bool asksRows(int channels) {
    return channels == 1 || channels == 2;
}

} // namespace

VisModule* Multiplexer::ChildModule(const ChildSlot& slot) const {
    VisHeader* header = slot.GetHeader ? slot.GetHeader() : nullptr;
    return header && header->moduleByIndex ? header->moduleByIndex(slot.Module) : nullptr;
}

bool Multiplexer::StartedEarlier(int n) const {
    for (int k = 1; k < n; ++k)
        if (table_[k].Started && table_[k].Lib == table_[n].Lib) return true;
    return false;
}

// Loads slot n's library, finds its module and starts it. A library that
// loads but fails a later test stays loaded until Stop.
void Multiplexer::TakeSlot(VisModule& mux, int n, ChildLoader& loader) {
    ChildSlot& slot = table_[n];
    slot.Lib = loader.LoadLib(slot.Name);
    if (!slot.Lib) return;
    // The mux itself, or a library already started in an earlier slot (its
    // module keeps process-wide state and must not start twice).
    if (loader.IsSelf(slot.Lib) || StartedEarlier(n)) return;
    slot.GetHeader = loader.FindGetHeader(slot.Lib);
    VisHeader* header = slot.GetHeader ? slot.GetHeader() : nullptr;
    if (!header || !header->moduleByIndex) return;
    if (header->displayName && std::strcmp(header->displayName, ownHeaderName_) == 0) return;
    if (!header->moduleByIndex(slot.Module)) {
        slot.Module = 0;
        while (slot.Module <= lastModuleIndex && !header->moduleByIndex(slot.Module)) ++slot.Module;
        if (slot.Module > lastModuleIndex) {
            slot.Module = -1;
            return;
        }
        if (table_.CompatibilityMode) {
            const VisModule* found = header->moduleByIndex(slot.Module);
            if (found->frameDelayMs < mux.frameDelayMs) mux.frameDelayMs = found->frameDelayMs;
            if (found->frameLatencyMs < mux.frameLatencyMs)
                mux.frameLatencyMs = found->frameLatencyMs;
        }
    }
    VisModule* m = header->moduleByIndex(slot.Module);
    if (!m) return;
    m->pluginInstance = static_cast<JkInstance>(slot.Lib);
    m->hostWindow = mux.hostWindow;
    m->rateHz = mux.rateHz;
    m->channelCount = mux.channelCount;
    if (table_.CompatibilityMode) {
        m->frameLatencyMs = mux.frameLatencyMs;
        m->frameDelayMs = mux.frameDelayMs;
    }
    copyRows(mux, *m, true, true);
    slot.Started = true;
    slot.Active = m->startModule(m) == 0;
}

int Multiplexer::Start(VisModule& mux, SettingsStore& settings, ChildLoader& loader) {
    if (busy_) return 1;
    BusyGuard guard(busy_);
    // A start without a stop before it would otherwise lose the running children.
    StopChildren(loader);
    ReadSlots(settings, table_, false);
    int result = 1;
    for (int n = 1; n <= table_.Used(); ++n) {
        if (table_[n].Name.empty()) continue;
        TakeSlot(mux, n, loader);
        if (table_[n].Started) result = 0;
    }
    WriteSlots(settings, table_, true);
    if (result != 0) StopChildren(loader); // frees what this start loaded
    return result;
}

int Multiplexer::Render(VisModule& mux) {
    if (busy_) return 1;
    BusyGuard guard(busy_);
    int result = 1;
    for (int n = 1; n <= table_.Used(); ++n) {
        ChildSlot& slot = table_[n];
        if (!slot.Active) continue;
        VisModule* m = ChildModule(slot);
        if (!m) {
            slot.Active = false;
            continue;
        }
        copyRows(mux, *m, asksRows(m->spectrumChannels), asksRows(m->waveformChannels));
        int r = m->renderFrame(m);
        slot.Active = r == 0;
        if (r != 0)
            m->stopModule(m);
        else
            result = 0;
    }
    return result;
}

void Multiplexer::Stop(ChildLoader& loader) {
    if (busy_) return;
    BusyGuard guard(busy_);
    StopChildren(loader);
}

// Stops each running child and frees its library, slot by slot, and clears
// the slot as it goes, so that a second stop frees nothing twice.
void Multiplexer::StopChildren(ChildLoader& loader) {
    for (int n = 1; n <= maxSlots; ++n) {
        ChildSlot& slot = table_[n];
        if (slot.Active) {
            if (VisModule* m = ChildModule(slot)) m->stopModule(m);
        }
        if (slot.Lib) loader.FreeLib(slot.Lib);
        slot.Lib = nullptr;
        slot.GetHeader = nullptr;
        slot.Active = false;
        slot.Started = false;
    }
}

} // namespace morsk
