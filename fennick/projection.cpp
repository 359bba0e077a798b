#include "fennick/projection.h"

namespace fennick {

const Projection defaultProjection = {120.0, 1.0, 1.0, 2000.0, {0, 250, 250}, {0, 0, 0}, {0, 1, 0}};

void applyProjection(const GlEntryPoints& gl, const Projection& p) {
    gl.glMatrixMode(glProjection);
    gl.glLoadIdentity();
    gl.gluPerspective(p.fieldOfView, p.aspect, p.zNear, p.zFar);
    gl.gluLookAt(p.eye[0], p.eye[1], p.eye[2], p.centre[0], p.centre[1], p.centre[2], p.up[0],
                 p.up[1], p.up[2]);
    gl.glMatrixMode(glModelView);
    gl.glLoadIdentity();
}

} // namespace fennick
