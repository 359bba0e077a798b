// Hostile hunk files through the loader and a tag walk over what it placed,
// the way a detector looks for a replay program's tags.
#include "pelmit/amiga/amiga_machine.h"

#include <cstdio>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    std::FILE* file = fmemopen(const_cast<uint8_t*>(data), size, "rb");
    if (!file) return 0;
    // One machine, cleared for each input: a fresh 512 KB allocation costs
    // far more than the load under the sanitizers.
    static pelmit::AmigaMachine machine;
    static const std::vector<uint16_t> zeros(pelmit::chipRamBytes / 2);
    machine.pokeWords(0, zeros.data(), uint32_t(zeros.size()));
    const uint32_t program = machine.loadHunkProgram(file);
    std::fclose(file);
    // A failed load leaves what it wrote: walk that too.
    const uint32_t list = program ? machine.peekLong(program + 12) : pelmit::tuneAddress;
    uint32_t value = 0;
    machine.findTag(list, value, 0x80004455);
    machine.findTag(pelmit::tuneAddress + (size & 0xFFFC), value, 0x8000445E);
    return 0;
}
