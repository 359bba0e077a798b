// The song-details page on Windows: three temporary files made at startUp
// (page, picture, logo), the page and cover written when a song is opened,
// and the page announced to the player's browser panel.
#include "host/messages.h"
#include "kalvo/win/resource.h"
#include "kalvo/win/shell.h"
#include "kalvo/song_page.h"

#include <cstdio>

namespace kalvo {

namespace {

struct SongFiles {
    std::string page, picture, logo;
};
SongFiles files;

std::string newTempFile(const char* folder) {
    char path[MAX_PATH];
    if (!GetTempFileNameA(folder, "~AX", 0, path)) return std::string();
    return path;
}

bool writeFile(const std::string& path, const void* data, size_t size) {
    if (path.empty()) return false;
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(data, 1, size, f) == size;
    return std::fclose(f) == 0 && ok;
}

void writeLogo() {
    HMODULE self = static_cast<HMODULE>(inputModule.pluginInstance);
    HRSRC found = FindResourceA(self, MAKEINTRESOURCEA(IDR_LOGO_GIF), "GIF");
    HGLOBAL loaded = found ? LoadResource(self, found) : nullptr;
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (data) writeFile(files.logo, data, SizeofResource(self, found));
}

std::string wideToAnsi(const std::u16string& text) {
    if (text.empty()) return std::string();
    const wchar_t* wide = reinterpret_cast<const wchar_t*>(text.c_str());
    int n = WideCharToMultiByte(CP_ACP, 0, wide, int(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(size_t(n > 0 ? n : 0), '\0');
    if (n > 0)
        WideCharToMultiByte(CP_ACP, 0, wide, int(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

} // namespace

void readSongTags(const char* fileName, SongTags& tags, std::vector<uint8_t>* cover) {
    static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 texts are Windows wide texts");
    readTags(fileName ? fileName : "", tags, cover, wideToAnsi);
}

void createSongFiles() {
    char folder[MAX_PATH];
    DWORD n = GetTempPathA(sizeof folder, folder);
    if (n == 0 || n >= sizeof folder) return;
    files.page = newTempFile(folder);
    files.picture = newTempFile(folder);
    files.logo = newTempFile(folder);
    writeLogo();
}

void deleteSongFiles() {
    for (std::string* path : {&files.page, &files.picture, &files.logo}) {
        if (!path->empty()) DeleteFileA(path->c_str());
        path->clear();
    }
}

void showSongPage(const SongTags& tags, const std::vector<uint8_t>& cover) {
    if (!cover.empty()) writeFile(files.picture, cover.data(), cover.size());
    std::string html = songPageHtml(tags, files.picture, files.logo);
    if (!writeFile(files.page, html.data(), html.size())) return;
    HWND host = inputModule.hostWindow;
    if (!minibrowser.hide) SendMessageA(host, ipcMessage, 0, ipcShowUrl);
    std::string url = "file://" + files.page;
    SendMessageA(host, ipcMessage, reinterpret_cast<WPARAM>(url.c_str()), ipcShowUrl);
}

} // namespace kalvo
