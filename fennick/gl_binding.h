// Binding the GL table by name: "OpenGL32.dll" first, then "Glu32.dll". The
// platform's library services come in through GlLoader, so that the order,
// the messages and what a failure leaves behind are the same everywhere.
#pragma once

#include "fennick/gl_entry_points.h"

namespace fennick {

class GlLoader {
public:
    virtual ~GlLoader() = default;
    // A loaded library, or null.
    virtual void* load(const char* library) = 0;
    // The address of an export, or null.
    virtual void* resolve(void* library, const char* name) = 0;
    // False, with the system's error number, when the library could not be freed.
    virtual bool release(void* library, unsigned& error) = 0;
    // An error box owned by the running module's host window.
    virtual void report(const char* text, const char* caption) = 0;
};

struct GlBinding {
    GlEntryPoints gl{};
    void* glLibrary = nullptr;
    void* gluLibrary = nullptr;
};

constexpr const char bindErrorCaption[] = "Gorwen's 3D Plugin Error";

// 1 when all 42 names are bound, else 0 after one box naming the library or
// function that failed; the slots resolved before the failure keep their
// values and the libraries stay loaded behind them until the next bindGl or
// unbindGl. A binding still held from an earlier start is released first, so
// that the libraries' load counts do not grow from start to start.
int bindGl(GlBinding& binding, GlLoader& loader);

// Every slot null, then the GLU library and the GL library freed.
void unbindGl(GlBinding& binding, GlLoader& loader);

} // namespace fennick
