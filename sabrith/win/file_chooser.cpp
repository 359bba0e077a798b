#include "sabrith/win/file_chooser.h"

#include <windows.h>

#include <commdlg.h>

namespace sabrith {

uint32_t fileDialogFlags(bool save) {
    const uint32_t flags = OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
    return save ? flags : flags | OFN_FILEMUSTEXIST;
}

bool WinFileChooser::choose(bool save, FileRequest& request) {
    const FileKind& kind = *request.kind;
    // Pairs of description and pattern, each ending in a zero, and one more
    // zero at the end.
    std::string filters;
    for (const auto& [description, pattern] : kind.filters) {
        filters.append(description).append(1, '\0');
        filters.append(pattern).append(1, '\0');
    }
    filters.append(1, '\0');
    char path[FileDialog::bufferSize] = {};
    char title[FileDialog::bufferSize] = {};
    request.path.copy(path, sizeof path - 1);
    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = HWND(request.owner);
    dialog.lpstrFilter = filters.c_str();
    dialog.nFilterIndex = DWORD(kind.firstFilter);
    dialog.lpstrFile = path;
    dialog.nMaxFile = sizeof path;
    dialog.lpstrFileTitle = title;
    dialog.nMaxFileTitle = sizeof title;
    dialog.lpstrInitialDir = request.startFolder.c_str();
    dialog.lpstrDefExt = kind.defaultExtension;
    dialog.Flags = fileDialogFlags(save);
    const BOOL chosen = save ? GetSaveFileNameA(&dialog) : GetOpenFileNameA(&dialog);
    if (!chosen) return false;
    request.path = path;
    request.title = title;
    return true;
}

} // namespace sabrith
