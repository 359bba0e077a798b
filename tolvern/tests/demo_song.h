// The bundled demo song: a short YM5 tune written by the project, with a
// melody, an envelope bass, noise hats and a digidrum kick.
#ifndef TOLVERN_TESTS_DEMO_SONG_H
#define TOLVERN_TESTS_DEMO_SONG_H

#include "tolvern/tests/ym_writer.h"

namespace tolvern::test {

YmSong demoSong();

} // namespace tolvern::test

#endif
