// What a player of several subsongs offers the information dialog: how many
// there are, which one plays, choosing another and the name of its format.
// The emulated-format player has them; the playback shell finds them on the
// current song's player.
#pragma once

namespace pelmit {

class SubsongSelection {
public:
    // The subsongs as the dialog counts them, from 1. A tune may report 0 or
    // fewer; the dialog still offers one.
    virtual int subsongCount() const = 0;
    virtual int currentSubsongIndex() const = 0;
    // Puts the tune at the start of subsong `index` (from 1). Drives the CPU
    // the ticks run on, so the shell calls it on the decode thread.
    virtual void selectSubsong(int index) = 0;
    virtual const char* subFormatName() const = 0;

protected:
    ~SubsongSelection() = default;
};

} // namespace pelmit
