#include "fennick/tests/counting_gl.h"

namespace fennick::testing {

std::uint64_t glCalls = 0;

namespace {

template <typename Entry>
struct Counter;

template <typename R, typename... Args>
struct Counter<R(FENNICK_GLAPI*)(Args...)> {
    static R FENNICK_GLAPI call(Args...) {
        ++glCalls;
        return R();
    }
};

} // namespace

GlEntryPoints countingGl() {
    GlEntryPoints gl{};
#define FENNICK_COUNT(name) gl.name = &Counter<decltype(gl.name)>::call;
    FENNICK_COUNT(glBegin)
    FENNICK_COUNT(glClear)
    FENNICK_COUNT(glClearColor)
    FENNICK_COUNT(glColor3f)
    FENNICK_COUNT(glEnd)
    FENNICK_COUNT(glFlush)
    FENNICK_COUNT(glGetString)
    FENNICK_COUNT(glLoadIdentity)
    FENNICK_COUNT(glMatrixMode)
    FENNICK_COUNT(glOrtho)
    FENNICK_COUNT(glShadeModel)
    FENNICK_COUNT(glVertex2f)
    FENNICK_COUNT(glViewport)
    FENNICK_COUNT(glTexCoord2f)
    FENNICK_COUNT(glBlendFunc)
    FENNICK_COUNT(glVertex3f)
    FENNICK_COUNT(glBindTexture)
    FENNICK_COUNT(glTranslatef)
    FENNICK_COUNT(glDisable)
    FENNICK_COUNT(glTexEnvi)
    FENNICK_COUNT(glTexParameteri)
    FENNICK_COUNT(glHint)
    FENNICK_COUNT(glPixelStorei)
    FENNICK_COUNT(glEnable)
    FENNICK_COUNT(glPushMatrix)
    FENNICK_COUNT(glDepthFunc)
    FENNICK_COUNT(glClearDepth)
    FENNICK_COUNT(glRotatef)
    FENNICK_COUNT(glPopMatrix)
    FENNICK_COUNT(glFrontFace)
    FENNICK_COUNT(glCullFace)
    FENNICK_COUNT(glGetError)
    FENNICK_COUNT(glGenTextures)
    FENNICK_COUNT(glDeleteTextures)
    FENNICK_COUNT(wglCreateContext)
    FENNICK_COUNT(wglDeleteContext)
    FENNICK_COUNT(wglGetCurrentDC)
    FENNICK_COUNT(wglMakeCurrent)
    FENNICK_COUNT(gluLookAt)
    FENNICK_COUNT(gluPerspective)
    FENNICK_COUNT(gluBuild2DMipmaps)
    FENNICK_COUNT(gluBuild1DMipmaps)
#undef FENNICK_COUNT
    return gl;
}

} // namespace fennick::testing
