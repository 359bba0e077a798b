#include "fennick/frame.h"

namespace fennick {

void sizeViewport(const GlEntryPoints& gl, int width, int height) {
    gl.glViewport(0, 0, width, height == 0 ? 1 : height);
}

void clearFrame(const GlEntryPoints& gl) {
    gl.glClear(glColorBufferBit | glDepthBufferBit);
    gl.glClearColor(0, 0, 0, 1);
}

void cullBackFaces(const GlEntryPoints& gl) {
    gl.glCullFace(glBack);
    gl.glFrontFace(glCcw);
    gl.glEnable(glCullFace);
}

void useDepthTest(const GlEntryPoints& gl) {
    gl.glEnable(glDepthTest);
    gl.glDepthFunc(glLess);
    gl.glClearDepth(1.0);
}

} // namespace fennick
