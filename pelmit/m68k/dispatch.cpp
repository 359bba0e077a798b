// The dispatch table, expanded from the sixteen run-length lists.
#include "pelmit/m68k/dispatch.h"

namespace pelmit::m68k {

Handler dispatchTable[65536];

const LineTable* const lineTables[16] = {
    &line0Table, &line1Table, &line2Table, &line3Table, &line4Table, &line5Table,
    &line6Table, &line7Table, &line8Table, &line9Table, &lineATable, &lineBTable,
    &lineCTable, &lineDTable, &lineETable, &lineFTable,
};

namespace {

bool tableBuilt = false;

void buildDispatchTable() {
    uint32_t op = 0;
    for (const LineTable* line : lineTables)
        for (uint32_t k = 0; k < line->runCount; ++k) {
            uint32_t run = line->runs[k];
            Handler h = line->handlers[runHandler(run)];
            for (uint32_t n = runLength(run); n > 0; --n) dispatchTable[op++] = h;
        }
    tableBuilt = true;
}

} // namespace

void ensureDispatchTable() {
    if (!tableBuilt) buildDispatchTable();
}

uint32_t cpuInitialize() {
    if (!(runState.runFlags & runInProgress)) buildDispatchTable();
    return 0;
}

} // namespace pelmit::m68k
