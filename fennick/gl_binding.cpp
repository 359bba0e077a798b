#include "fennick/gl_binding.h"

#include "fennick/format_text.h"

namespace fennick {

namespace {

bool loadLibrary(GlLoader& loader, const char* name, void*& library) {
    library = loader.load(name);
    if (library) return true;
    loader.report(formatText("Unable to load \"%s\", please consult READMEGL.TXT", name),
                  bindErrorCaption);
    return false;
}

bool resolveRows(GlBinding& binding, GlLoader& loader, void* library, int first, int count) {
    for (int i = first; i < first + count; ++i) {
        const GlBindingRow& row = glBindingTable[i];
        void* address = loader.resolve(library, row.name);
        if (!address) {
            loader.report(
                formatText("Unable to resolve \"%s\", please consult READMEGL.TXT", row.name),
                bindErrorCaption);
            return false;
        }
        glSlot(binding.gl, row) = address;
    }
    return true;
}

void releaseLibrary(GlLoader& loader, void*& library) {
    if (!library) return;
    unsigned error = 0;
    if (!loader.release(library, error))
        loader.report("FreeLibrary() failed", formatText("%u", error));
    library = nullptr;
}

} // namespace

int bindGl(GlBinding& binding, GlLoader& loader) {
    if (binding.glLibrary || binding.gluLibrary) unbindGl(binding, loader);
    if (!loadLibrary(loader, glLibraryName, binding.glLibrary)) return 0;
    if (!resolveRows(binding, loader, binding.glLibrary, 0, glNameCount)) return 0;
    if (!loadLibrary(loader, gluLibraryName, binding.gluLibrary)) return 0;
    if (!resolveRows(binding, loader, binding.gluLibrary, glNameCount, gluNameCount)) return 0;
    return 1;
}

void unbindGl(GlBinding& binding, GlLoader& loader) {
    binding.gl = GlEntryPoints{};
    releaseLibrary(loader, binding.gluLibrary);
    releaseLibrary(loader, binding.glLibrary);
}

} // namespace fennick
