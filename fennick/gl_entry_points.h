// The OpenGL, GLU and WGL functions the plug-in calls, as one table of
// pointers. Everything draws through this table: the shell fills it from the
// system libraries by name at run time, tests fill it with recorders.
#pragma once

#include <cstdint>

namespace fennick {

// The system's GL libraries use the Windows API calling convention; a pointer
// of any other convention would unbalance the stack on every call in the
// 32-bit plug-in.
#if defined(_WIN32) && !defined(_WIN64)
#define FENNICK_GLAPI __attribute__((stdcall))
#else
#define FENNICK_GLAPI
#endif

using GLenum = unsigned int;
using GLbitfield = unsigned int;
using GLuint = unsigned int;
using GLint = int;
using GLsizei = int;
using GLfloat = float;
using GLclampf = float;
using GLdouble = double;
using GLclampd = double;
using GLubyte = unsigned char;
using GlDeviceContext = void*; // a window's device context
using GlContext = void*;       // a rendering context
using GlBool = int;

enum GlConstant : GLenum {
    glTriangles = 0x0004,
    glQuadStrip = 0x0008,
    glLess = 0x0201,
    glOne = 1,
    glFront = 0x0404,
    glBack = 0x0405,
    glCcw = 0x0901,
    glCullFace = 0x0B44,
    glDepthTest = 0x0B71,
    glBlend = 0x0BE2,
    glPerspectiveCorrectionHint = 0x0C50,
    glPolygonSmoothHint = 0x0C53,
    glUnpackRowLength = 0x0CF2,
    glUnpackSkipRows = 0x0CF3,
    glUnpackSkipPixels = 0x0CF4,
    glUnpackAlignment = 0x0CF5,
    glTexture1D = 0x0DE0,
    glTexture2D = 0x0DE1,
    glFastest = 0x1101,
    glUnsignedByte = 0x1401,
    glModelView = 0x1700,
    glProjection = 0x1701,
    glRgb = 0x1907,
    glFlat = 0x1D00,
    glSmooth = 0x1D01,
    glModulate = 0x2100,
    glTextureEnvMode = 0x2200,
    glTextureEnv = 0x2300,
    glNearest = 0x2600,
    glLinear = 0x2601,
    glTextureMagFilter = 0x2800,
    glTextureMinFilter = 0x2801,
    glTextureWrapS = 0x2802,
    glTextureWrapT = 0x2803,
    glRepeat = 0x2901,
    glColorBufferBit = 0x4000,
    glDepthBufferBit = 0x0100,
};
constexpr GLenum glBlendEnv = glBlend; // GL_BLEND as a texture environment mode

struct GlEntryPoints {
    // From "OpenGL32.dll", in binding order.
    void(FENNICK_GLAPI* glBegin)(GLenum mode);
    void(FENNICK_GLAPI* glClear)(GLbitfield mask);
    void(FENNICK_GLAPI* glClearColor)(GLclampf r, GLclampf g, GLclampf b, GLclampf a);
    void(FENNICK_GLAPI* glColor3f)(GLfloat r, GLfloat g, GLfloat b);
    void(FENNICK_GLAPI* glEnd)();
    void(FENNICK_GLAPI* glFlush)();
    const GLubyte*(FENNICK_GLAPI* glGetString)(GLenum name);
    void(FENNICK_GLAPI* glLoadIdentity)();
    void(FENNICK_GLAPI* glMatrixMode)(GLenum mode);
    void(FENNICK_GLAPI* glOrtho)(GLdouble l, GLdouble r, GLdouble b, GLdouble t, GLdouble n,
                                 GLdouble f);
    void(FENNICK_GLAPI* glShadeModel)(GLenum mode);
    void(FENNICK_GLAPI* glVertex2f)(GLfloat x, GLfloat y);
    void(FENNICK_GLAPI* glViewport)(GLint x, GLint y, GLsizei w, GLsizei h);
    void(FENNICK_GLAPI* glTexCoord2f)(GLfloat s, GLfloat t);
    void(FENNICK_GLAPI* glBlendFunc)(GLenum source, GLenum destination);
    void(FENNICK_GLAPI* glVertex3f)(GLfloat x, GLfloat y, GLfloat z);
    void(FENNICK_GLAPI* glBindTexture)(GLenum target, GLuint texture);
    void(FENNICK_GLAPI* glTranslatef)(GLfloat x, GLfloat y, GLfloat z);
    void(FENNICK_GLAPI* glDisable)(GLenum cap);
    void(FENNICK_GLAPI* glTexEnvi)(GLenum target, GLenum name, GLint value);
    void(FENNICK_GLAPI* glTexParameteri)(GLenum target, GLenum name, GLint value);
    void(FENNICK_GLAPI* glHint)(GLenum target, GLenum mode);
    void(FENNICK_GLAPI* glPixelStorei)(GLenum name, GLint value);
    void(FENNICK_GLAPI* glEnable)(GLenum cap);
    void(FENNICK_GLAPI* glPushMatrix)();
    void(FENNICK_GLAPI* glDepthFunc)(GLenum func);
    void(FENNICK_GLAPI* glClearDepth)(GLclampd depth);
    void(FENNICK_GLAPI* glRotatef)(GLfloat angle, GLfloat x, GLfloat y, GLfloat z);
    void(FENNICK_GLAPI* glPopMatrix)();
    void(FENNICK_GLAPI* glFrontFace)(GLenum mode);
    void(FENNICK_GLAPI* glCullFace)(GLenum mode);
    GLenum(FENNICK_GLAPI* glGetError)();
    void(FENNICK_GLAPI* glGenTextures)(GLsizei n, GLuint* textures);
    void(FENNICK_GLAPI* glDeleteTextures)(GLsizei n, const GLuint* textures);
    GlContext(FENNICK_GLAPI* wglCreateContext)(GlDeviceContext dc);
    GlBool(FENNICK_GLAPI* wglDeleteContext)(GlContext context);
    GlDeviceContext(FENNICK_GLAPI* wglGetCurrentDC)();
    GlBool(FENNICK_GLAPI* wglMakeCurrent)(GlDeviceContext dc, GlContext context);
    // From "Glu32.dll".
    void(FENNICK_GLAPI* gluLookAt)(GLdouble eyeX, GLdouble eyeY, GLdouble eyeZ, GLdouble centreX,
                                   GLdouble centreY, GLdouble centreZ, GLdouble upX, GLdouble upY,
                                   GLdouble upZ);
    void(FENNICK_GLAPI* gluPerspective)(GLdouble fovY, GLdouble aspect, GLdouble zNear,
                                        GLdouble zFar);
    GLint(FENNICK_GLAPI* gluBuild2DMipmaps)(GLenum target, GLint components, GLint width,
                                            GLint height, GLenum format, GLenum type,
                                            const void* data);
    GLint(FENNICK_GLAPI* gluBuild1DMipmaps)(GLenum target, GLint components, GLint width,
                                            GLenum format, GLenum type, const void* data);
};

// One row of the binding table: which slot gets which exported name.
struct GlBindingRow {
    const char* name;
    std::size_t offset; // of the slot within GlEntryPoints
};

constexpr const char glLibraryName[] = "OpenGL32.dll";
constexpr const char gluLibraryName[] = "Glu32.dll";
constexpr int glNameCount = 38;
constexpr int gluNameCount = 4;

// The 38 OpenGL32 rows, then the 4 Glu32 rows, in binding order.
extern const GlBindingRow glBindingTable[glNameCount + gluNameCount];

// The slot a row fills, as an untyped pointer-sized cell.
void*& glSlot(GlEntryPoints& table, const GlBindingRow& row);

} // namespace fennick
