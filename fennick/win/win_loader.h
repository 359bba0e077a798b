// The system's library services for the GL binding, with its boxes owned by
// the running module's host window.
#pragma once

#include "fennick/gl_binding.h"
#include "fennick/texture.h"

#include <windows.h>

#include <string>

namespace fennick {

class WinGlLoader : public GlLoader {
public:
    void* load(const char* library) override;
    void* resolve(void* library, const char* name) override;
    bool release(void* library, unsigned& error) override;
    void report(const char* text, const char* caption) override;
};

// "G3D_*.bmp" beside the plug-in, in the folder's own order.
class WinFileSearch : public FileSearch {
public:
    explicit WinFileSearch(std::string folder) : folder_(std::move(folder)) {}
    ~WinFileSearch() override { close(); }
    bool start(const std::string& pattern, std::string& first) override;
    bool next(std::string& name) override;
    void close() override;
    void setFolder(const std::string& folder) { folder_ = folder; }

private:
    std::string folder_;
    HANDLE search_ = INVALID_HANDLE_VALUE;
};

} // namespace fennick
