#include "fennick/gl_entry_points.h"

#include <cstddef>
#include <cstring>

namespace fennick {

static_assert(sizeof(GlEntryPoints) == (glNameCount + gluNameCount) * sizeof(void*),
              "one pointer per bound name, nothing else");

#define FENNICK_ROW(name)                                                                          \
    { #name, offsetof(GlEntryPoints, name) }

const GlBindingRow glBindingTable[glNameCount + gluNameCount] = {
    FENNICK_ROW(glBegin),
    FENNICK_ROW(glClear),
    FENNICK_ROW(glClearColor),
    FENNICK_ROW(glColor3f),
    FENNICK_ROW(glEnd),
    FENNICK_ROW(glFlush),
    FENNICK_ROW(glGetString),
    FENNICK_ROW(glLoadIdentity),
    FENNICK_ROW(glMatrixMode),
    FENNICK_ROW(glOrtho),
    FENNICK_ROW(glShadeModel),
    FENNICK_ROW(glVertex2f),
    FENNICK_ROW(glViewport),
    FENNICK_ROW(glTexCoord2f),
    FENNICK_ROW(glBlendFunc),
    FENNICK_ROW(glVertex3f),
    FENNICK_ROW(glBindTexture),
    FENNICK_ROW(glTranslatef),
    FENNICK_ROW(glDisable),
    FENNICK_ROW(glTexEnvi),
    FENNICK_ROW(glTexParameteri),
    FENNICK_ROW(glHint),
    FENNICK_ROW(glPixelStorei),
    FENNICK_ROW(glEnable),
    FENNICK_ROW(glPushMatrix),
    FENNICK_ROW(glDepthFunc),
    FENNICK_ROW(glClearDepth),
    FENNICK_ROW(glRotatef),
    FENNICK_ROW(glPopMatrix),
    FENNICK_ROW(glFrontFace),
    FENNICK_ROW(glCullFace),
    FENNICK_ROW(glGetError),
    FENNICK_ROW(glGenTextures),
    FENNICK_ROW(glDeleteTextures),
    FENNICK_ROW(wglCreateContext),
    FENNICK_ROW(wglDeleteContext),
    FENNICK_ROW(wglGetCurrentDC),
    FENNICK_ROW(wglMakeCurrent),
    FENNICK_ROW(gluLookAt),
    FENNICK_ROW(gluPerspective),
    FENNICK_ROW(gluBuild2DMipmaps),
    FENNICK_ROW(gluBuild1DMipmaps),
};

#undef FENNICK_ROW

void*& glSlot(GlEntryPoints& table, const GlBindingRow& row) {
    return *reinterpret_cast<void**>(reinterpret_cast<char*>(&table) + row.offset);
}

} // namespace fennick
