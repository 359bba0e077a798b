// Keyframe animation (rotation keys by spherical interpolation, position and
// scale keys by tension-continuity-bias splines or linearly), quaternions and
// the bounding boxes that the segment transform culls with.
#pragma once

#include "umbrek/vastrel/records.h"

#include <vector>

namespace umbrek::vastrel {

// Hamilton product a x b.
Quaternion multiply(const Quaternion& a, const Quaternion& b);
// Not normalised again; takes the short way when the dot product is negative
// and falls back to linear weights for nearly equal quaternions.
Quaternion slerp(const Quaternion& q1, const Quaternion& q2, float t, float spin);
// This engine's convention, the transpose of the usual one.
Matrix quaternionMatrix(const Quaternion& q);

// The current and next key of a track of `count` keys for frame f.
struct KeyPair {
    int current = 0, next = 0;
};
// With one key both are key 0; a frame before the first key gives (0, 1), one
// at or after the next-to-last key (n - 2, n - 1).
template <class Key>
KeyPair findKeyPair(const std::vector<Key>& keys, int frame) {
    const int n = int(keys.size());
    if (n <= 1) return {0, 0};
    int m = 0;
    while (m < n - 1 && keys[std::size_t(m)].frame <= frame) ++m;
    const int i = m > 0 ? m - 1 : 0;
    return {i, i + 1};
}

void KX_PrepareRotationKeys(Entity* entity);
void KX_SetAnimationFrame(Entity* entity, int frame);
// A segment without vertices gets a zero box.
void KX_ComputeSegmentBox(Segment& segment);
// Segments without vertices do not widen the model's box.
void KX_ComputeModelBoxes(Model& model);

} // namespace umbrek::vastrel
