// The bundled demo module, composed here: four channels of synthesized
// drums, bass, arpeggio chords and a lead over A minor, F, C and G.
#pragma once

#include <cstdint>
#include <vector>

namespace pelmit::demo {

// The module's file bytes.
std::vector<uint8_t> composeDemoSong();

} // namespace pelmit::demo
