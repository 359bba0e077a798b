#include "zavudev/picture.h"

namespace zavudev {

void fillGreyRamp(ColourTable& table) {
    for (int i = 0; i < 256; ++i) {
        uint8_t v = uint8_t(i);
        table[i] = {v, v, v, 0};
    }
}

} // namespace zavudev
