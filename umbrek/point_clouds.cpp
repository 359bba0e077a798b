#include "umbrek/point_clouds.h"

#include <cmath>
#include <numbers>

namespace umbrek {

void makeTubeCloud(TubeCloud& cloud) {
    std::size_t n = 0;
    for (int angle = 0; angle < 360; angle += 24) {
        const double a = angle * std::numbers::pi / 180;
        for (int z = -200; z < 200; z += 20)
            cloud[n++] = {float(60 * std::cos(a)), float(60 * std::sin(a)), float(z)};
    }
}

void makeStarField(StarField& stars, CrtRandom& random) {
    for (vastrel::Vec3& star : stars) {
        star.x = float(500 - random.next() % 1000);
        star.y = float(500 - random.next() % 1000);
        star.z = float(-(random.next() % 1000));
    }
}

void moveStarField(StarField& stars, std::int32_t sum) {
    const float step = float(sum / 16);
    for (vastrel::Vec3& star : stars) {
        star.z += step;
        if (star.z > 400) star.z = -1000;
    }
}

} // namespace umbrek
