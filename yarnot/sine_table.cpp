#include "yarnot/sine_table.h"

#include <cmath>

namespace yarnot {

namespace {

SineTable build() {
    SineTable t{};
    const double pi = std::acos(-1.0);
    for (int i = 0; i < sineSteps; ++i)
        t.value[i] = int16_t(std::sin(i * 2 * pi / sineSteps) * sineAmplitude);
    return t;
}

} // namespace

const SineTable& Sines() {
    static const SineTable table = build();
    return table;
}

} // namespace yarnot
