// The one settings record. It lives in a portable library of its own because
// the mixer reads Interpolation live and is built and tested without the shell.
#include "pelmit/settings.h"

namespace pelmit {

Settings settings;

} // namespace pelmit

namespace pelmit {

void sanitizeSettings(Settings& s) {
    if (s.SampleRate < lowestSampleRate || s.SampleRate > highestSampleRate) s.SampleRate = 44100;
}

} // namespace pelmit
