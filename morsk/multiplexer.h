// The multiplexer's module operations: it loads the child libraries named in
// its settings, starts one module of each with its own host fields, hands on
// the rows each frame and stops and frees them all at the end. Portable: the
// libraries and the settings file come through the two interfaces below.
#pragma once

#include "host/vis_module.h"
#include "morsk/slot_table.h"

#include <string>

namespace morsk {

// Loading child libraries.
class ChildLoader {
public:
    virtual ~ChildLoader() = default;
    virtual void* LoadLib(const std::string& path) = 0; // null when it does not load
    virtual JukoraVisGetHeader FindGetHeader(void* lib) = 0;
    virtual void FreeLib(void* lib) = 0;
    // True for the multiplexer's own library (a slot naming the mux itself).
    virtual bool IsSelf(void* lib) = 0;
};

class Multiplexer {
public:
    // ownHeaderName: the multiplexer's header name, by which it also knows a
    // copy of itself under another file name.
    explicit Multiplexer(const char* ownHeaderName) : ownHeaderName_(ownHeaderName) {}

    // 0 once some child's startModule was called, whatever it answered; 1
    // when none got that far (every library loaded on the way is freed then).
    int Start(VisModule& mux, SettingsStore& settings, ChildLoader& loader);
    // 0 while some child rendered and asked to go on; 1 once none is left.
    int Render(VisModule& mux);
    // Stops the children still running and frees every child library.
    void Stop(ChildLoader& loader);

    const SlotTable& Table() const { return table_; }

private:
    void TakeSlot(VisModule& mux, int n, ChildLoader& loader);
    bool StartedEarlier(int n) const;
    VisModule* ChildModule(const ChildSlot& slot) const;
    void StopChildren(ChildLoader& loader);

    const char* ownHeaderName_;
    SlotTable table_;
    // A child that is the multiplexer itself would call back into it.
    bool busy_ = false;
};

} // namespace morsk
