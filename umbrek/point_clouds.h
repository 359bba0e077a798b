// The two point clouds the flares are drawn at: the tube (15 angles x 20
// rings on radius 60) that the flare-tube effect flies around, and the star
// field that streams towards the camera with the music.
#pragma once

#include "umbrek/crt_random.h"
#include "umbrek/vastrel/matrix.h"

#include <array>

namespace umbrek {

using TubeCloud = std::array<vastrel::Vec3, 300>;
using StarField = std::array<vastrel::Vec3, 343>;

// For the angles 0, 24, ..., 336 degrees, each with z = -200, -180, ..., 180.
void makeTubeCloud(TubeCloud& cloud);
// x, y = 500 - random % 1000, z = -(random % 1000), drawn in that order.
void makeStarField(StarField& stars, CrtRandom& random);
// Every star comes SUM / 16 nearer; one beyond z 400 starts again at -1000.
void moveStarField(StarField& stars, std::int32_t sum);

} // namespace umbrek
