#include "fennick/tests/recording_gl.h"

#include <sstream>

namespace fennick::testing {

namespace {

template <typename... Args>
void record(const char* name, Args... args) {
    std::ostringstream line;
    line << name;
    ((line << ' ' << args), ...);
    glLog().push_back(line.str());
}

} // namespace

std::vector<std::string>& glLog() {
    static std::vector<std::string> log;
    return log;
}

std::vector<std::string> callsOf(const std::string& prefix) {
    std::vector<std::string> out;
    for (const std::string& l : glLog())
        if (l.compare(0, prefix.size(), prefix) == 0) out.push_back(l);
    return out;
}

GlEntryPoints recordingGl() {
    GlEntryPoints gl{};
    gl.glBegin = [](GLenum m) { record("glBegin", m); };
    gl.glClear = [](GLbitfield m) { record("glClear", m); };
    gl.glClearColor = [](GLclampf r, GLclampf g, GLclampf b, GLclampf a) {
        record("glClearColor", r, g, b, a);
    };
    gl.glColor3f = [](GLfloat r, GLfloat g, GLfloat b) { record("glColor3f", r, g, b); };
    gl.glEnd = [] { record("glEnd"); };
    gl.glFlush = [] { record("glFlush"); };
    gl.glGetString = [](GLenum) -> const GLubyte* { return nullptr; };
    gl.glLoadIdentity = [] { record("glLoadIdentity"); };
    gl.glMatrixMode = [](GLenum m) { record("glMatrixMode", m); };
    gl.glOrtho = [](GLdouble, GLdouble, GLdouble, GLdouble, GLdouble, GLdouble) {};
    gl.glShadeModel = [](GLenum m) { record("glShadeModel", m); };
    gl.glVertex2f = [](GLfloat, GLfloat) {};
    gl.glViewport = [](GLint x, GLint y, GLsizei w, GLsizei h) {
        record("glViewport", x, y, w, h);
    };
    gl.glTexCoord2f = [](GLfloat s, GLfloat t) { record("glTexCoord2f", s, t); };
    gl.glBlendFunc = [](GLenum s, GLenum d) { record("glBlendFunc", s, d); };
    gl.glVertex3f = [](GLfloat x, GLfloat y, GLfloat z) { record("glVertex3f", x, y, z); };
    gl.glBindTexture = [](GLenum t, GLuint n) { record("glBindTexture", t, n); };
    gl.glTranslatef = [](GLfloat x, GLfloat y, GLfloat z) { record("glTranslatef", x, y, z); };
    gl.glDisable = [](GLenum c) { record("glDisable", c); };
    gl.glTexEnvi = [](GLenum t, GLenum n, GLint v) { record("glTexEnvi", t, n, v); };
    gl.glTexParameteri = [](GLenum t, GLenum n, GLint v) { record("glTexParameteri", t, n, v); };
    gl.glHint = [](GLenum t, GLenum m) { record("glHint", t, m); };
    gl.glPixelStorei = [](GLenum n, GLint v) { record("glPixelStorei", n, v); };
    gl.glEnable = [](GLenum c) { record("glEnable", c); };
    gl.glPushMatrix = [] { record("glPushMatrix"); };
    gl.glDepthFunc = [](GLenum f) { record("glDepthFunc", f); };
    gl.glClearDepth = [](GLclampd d) { record("glClearDepth", d); };
    gl.glRotatef = [](GLfloat a, GLfloat x, GLfloat y, GLfloat z) {
        record("glRotatef", a, x, y, z);
    };
    gl.glPopMatrix = [] { record("glPopMatrix"); };
    gl.glFrontFace = [](GLenum m) { record("glFrontFace", m); };
    gl.glCullFace = [](GLenum m) { record("glCullFace", m); };
    gl.glGetError = []() -> GLenum { return 0; };
    gl.glGenTextures = [](GLsizei n, GLuint* t) {
        for (GLsizei i = 0; i < n; ++i) t[i] = GLuint(i + 1);
        record("glGenTextures", n);
    };
    gl.glDeleteTextures = [](GLsizei n, const GLuint*) { record("glDeleteTextures", n); };
    gl.wglCreateContext = [](GlDeviceContext) -> GlContext { return nullptr; };
    gl.wglDeleteContext = [](GlContext) -> GlBool { return 1; };
    gl.wglGetCurrentDC = []() -> GlDeviceContext { return nullptr; };
    gl.wglMakeCurrent = [](GlDeviceContext, GlContext) -> GlBool { return 1; };
    gl.gluLookAt = [](GLdouble ex, GLdouble ey, GLdouble ez, GLdouble cx, GLdouble cy, GLdouble cz,
                      GLdouble ux, GLdouble uy,
                      GLdouble uz) { record("gluLookAt", ex, ey, ez, cx, cy, cz, ux, uy, uz); };
    gl.gluPerspective = [](GLdouble f, GLdouble a, GLdouble n, GLdouble z) {
        record("gluPerspective", f, a, n, z);
    };
    gl.gluBuild2DMipmaps = [](GLenum t, GLint c, GLint w, GLint h, GLenum f, GLenum ty,
                              const void* data) -> GLint {
        const auto* p = static_cast<const unsigned char*>(data);
        record("gluBuild2DMipmaps", t, c, w, h, f, ty, int(p[0]), int(p[1]), int(p[2]));
        return 0;
    };
    gl.gluBuild1DMipmaps = [](GLenum t, GLint c, GLint w, GLenum f, GLenum ty,
                              const void* data) -> GLint {
        const auto* p = static_cast<const unsigned char*>(data);
        record("gluBuild1DMipmaps", t, c, w, f, ty, int(p[0]), int(p[1]), int(p[2]));
        return 0;
    };
    return gl;
}

} // namespace fennick::testing
