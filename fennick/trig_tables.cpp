#include "fennick/trig_tables.h"

#include <cmath>

namespace fennick {

void fillTrigTables(TrigTables& tables) {
    for (int i = 0; i < trigTableSize; ++i) {
        int d = i / 100;
        double radians = d * 3.14 / 180.0;
        tables.cosDeg[i] = float(std::cos(radians));
        tables.sinDeg[i] = float(std::sin(radians));
        tables.cosRaw[i] = float(std::cos(double(d)));
        tables.sinRaw[i] = float(std::sin(double(d)));
    }
}

} // namespace fennick
