// The form's commands: each works on the form's own copy of the child list,
// loads a child library only for as long as it needs it, and writes every
// change to "plugin.ini" at once.
#include "morsk/win/config_form.h"
#include "morsk/path_names.h"

#include <commdlg.h>

#include <string>
#include <vector>

namespace morsk {

namespace {

const char htpWebAddress[] = "http://morsk.example.org/";

} // namespace

IniSettingsStore TConfigForm::Settings() const {
    return IniSettingsStore(jkPluginIniPath(module_->pluginInstance), module_->displayName);
}

void TConfigForm::ReadSettings() {
    IniSettingsStore store = Settings();
    slots_.ReadSettings(store);
}

void TConfigForm::WriteSettings() {
    IniSettingsStore store = Settings();
    slots_.WriteSettings(store);
}

void TConfigForm::Error(const char* text) {
    MessageBoxA(handle_, text, "Error", MB_OK);
}

TConfigForm::LoadedChild TConfigForm::LoadChild(const std::string& path) {
    WinChildLoader loader;
    LoadedChild child;
    child.Lib = static_cast<HMODULE>(loader.LoadLib(path));
    if (!child.Lib) return child;
    if (JukoraVisGetHeader get = loader.FindGetHeader(child.Lib)) child.Header = get();
    return child;
}

TConfigForm::LoadedChild TConfigForm::LoadSlotModule(int n) {
    if (!slots_.IsSlot(n) || slots_.Table[n].Name.empty()) return {};
    LoadedChild child = LoadChild(slots_.Table[n].Name);
    if (child.Header && child.Header->moduleByIndex)
        child.Module = child.Header->moduleByIndex(slots_.Table[n].Module);
    return child;
}

void TConfigForm::FreeChild(const LoadedChild& child) {
    if (child.Lib) FreeLibrary(child.Lib);
}

// Each line of the list keeps the number of its slot: the list leaves out
// slots whose library does not load, so positions and slots may differ.
int TConfigForm::SelectedSlot() const {
    LRESULT line = SendMessageA(listBox1_, LB_GETCURSEL, 0, 0);
    if (line == LB_ERR) return 0;
    return int(SendMessageA(listBox1_, LB_GETITEMDATA, WPARAM(line), 0));
}

void TConfigForm::CreateConfig() {
    if (!handle_ || !module_) return;
    RECT box;
    GetWindowRect(groupBox2_, &box);
    if (box.bottom - box.top == 208) // laid out for large system fonts
        SetWindowPos(handle_, nullptr, 0, 0, 545, 260, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    LRESULT selected = SendMessageA(listBox1_, LB_GETCURSEL, 0, 0);
    SendMessageA(listBox1_, LB_RESETCONTENT, 0, 0);
    ReadSettings();
    SendMessageA(checkBox1_, BM_SETCHECK,
                 slots_.Table.CompatibilityMode ? BST_CHECKED : BST_UNCHECKED, 0);
    for (int n = 1; n <= slots_.Table.SlotCount; ++n) {
        LoadedChild child = LoadSlotModule(n);
        if (child.Module) {
            const ChildSlot& slot = slots_.Table[n];
            std::string line =
                std::string(child.Module->displayName ? child.Module->displayName : "") + " [" +
                ExtractName(slot.Name) + ", " + std::to_string(slot.Module) + "]";
            LRESULT at =
                SendMessageA(listBox1_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
            SendMessageA(listBox1_, LB_SETITEMDATA, WPARAM(at), n);
        }
        FreeChild(child);
    }
    SendMessageA(listBox1_, LB_SETCURSEL, WPARAM(selected), 0);
}

void TConfigForm::AddDLL() {
    int free = slots_.FirstFreeSlot();
    std::string ownPath = jkLibraryPath(muxInstance);
    std::string folder = ExtractDir(ownPath);
    if (free == -1) {
        Error("You may not add any more visualization plug-ins");
        return;
    }
    // A chosen path is kept and written as it is: no longer than the
    // settings can carry.
    std::vector<char> file(maxSystemText + 1, '\0');
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = handle_;
    ofn.lpstrFilter = "Jukora Plugin (*.dll)\0*.dll\0";
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = DWORD(file.size());
    ofn.lpstrInitialDir = folder.c_str();
    ofn.lpstrTitle = "Open Visualization DLL";
    ofn.lpstrDefExt = "dll";
    // The player's working folder stays as it was.
    ofn.Flags =
        OFN_EXPLORER | OFN_ENABLESIZING | OFN_HIDEREADONLY | OFN_NOREADONLYRETURN | OFN_NOCHANGEDIR;
    if (!GetOpenFileNameA(&ofn) || !file[0]) return;
    std::string path = file.data();
    if (slots_.IsListed(path)) {
        Error("You may not add the same library more than once!");
        return;
    }
    if (ExtractName(path) == ExtractName(ownPath)) {
        Error("Sorry, you cannot select the visualization mux!");
        return;
    }
    LoadedChild child = LoadChild(path);
    if (!child.Lib) return;
    if (!child.Header || !child.Header->moduleByIndex) {
        Error("Not a valid Visualization Plug-in DLL!");
        FreeChild(child);
        return;
    }
    // The mux under another file name would be refused when it starts.
    if (child.Lib == muxInstance ||
        (child.Header->displayName && std::string(child.Header->displayName) == muxHeaderName)) {
        Error("Sorry, you cannot select the visualization mux!");
        FreeChild(child);
        return;
    }
    int index = 0;
    while (index <= lastModuleIndex && !child.Header->moduleByIndex(index)) ++index;
    if (index > lastModuleIndex) {
        Error("This DLL contains no visualizations!");
        FreeChild(child);
        return;
    }
    slots_.Table[free].Name = path;
    slots_.Table[free].Module = index;
    FreeChild(child);
    WriteSettings();
    CreateConfig();
}

void TConfigForm::RemoveDLL() {
    int n = SelectedSlot();
    if (!slots_.IsSlot(n)) return;
    slots_.RemoveSlot(n);
    WriteSettings();
    CreateConfig();
}

void TConfigForm::StepPlugin(bool forward) {
    int n = SelectedSlot();
    if (!slots_.IsSlot(n)) return;
    ChildSlot& slot = slots_.Table[n];
    LoadedChild child = LoadChild(slot.Name);
    if (!child.Header || !child.Header->moduleByIndex) {
        slot.Name.clear();
    } else {
        VisHeader* header = child.Header;
        if (!slots_.StepModule(n, forward,
                               [header](int i) { return header->moduleByIndex(i) != nullptr; }))
            slot.Name.clear();
    }
    FreeChild(child);
    WriteSettings();
    CreateConfig();
}

void TConfigForm::NextPlugin() {
    StepPlugin(true);
}

void TConfigForm::BackPlugin() {
    StepPlugin(false);
}

void TConfigForm::ConfigPlugin() {
    int n = SelectedSlot();
    if (!slots_.IsSlot(n)) return;
    LoadedChild child = LoadSlotModule(n);
    if (!child.Lib) return;
    if (VisModule* m = child.Module) {
        // The child's record may be the very one a running mux drives: its
        // host fields come back as they were once the settings are closed.
        VisModule saved = *m;
        m->pluginInstance = child.Lib;
        m->hostWindow = handle_;
        m->rateHz = module_->rateHz;
        m->channelCount = module_->channelCount;
        if (m->openModuleSettings) m->openModuleSettings(m);
        m->pluginInstance = saved.pluginInstance;
        m->hostWindow = saved.hostWindow;
        m->rateHz = saved.rateHz;
        m->channelCount = saved.channelCount;
        FreeChild(child);
        return;
    }
    slots_.Table[n].Name.clear();
    FreeChild(child);
    WriteSettings();
    CreateConfig();
}

void TConfigForm::mbHTP() {
    std::string text = std::string("Sorry, this function is not yet available.\r"
                                   "For more information visit\r") +
                       htpWebAddress;
    MessageBoxA(handle_, text.c_str(), "\"Zazu Dad Izedod\" back door", MB_OK);
}

void TConfigForm::isValid() {
    bool selected = slots_.IsSlot(SelectedSlot());
    UINT onSelection = MF_BYCOMMAND | (selected ? MF_ENABLED : MF_GRAYED);
    EnableMenuItem(popupMenu1_, idMenu1, onSelection);
    EnableMenuItem(popupMenu1_, idMenu2, onSelection);
    EnableMenuItem(popupMenu1_, idMenu5, onSelection);
    EnableMenuItem(popupMenu1_, idMenu4,
                   MF_BYCOMMAND | (slots_.FirstFreeSlot() != -1 ? MF_ENABLED : MF_GRAYED));
}

void TConfigForm::SelectItem(int x, int y) {
    LRESULT hit = SendMessageA(listBox1_, LB_ITEMFROMPOINT, 0, MAKELPARAM(x, y));
    bool outside = HIWORD(hit) != 0;
    SendMessageA(listBox1_, LB_SETCURSEL, outside ? WPARAM(-1) : WPARAM(LOWORD(hit)), 0);
}

void TConfigForm::CheckBox1Click() {
    bool checked = SendMessageA(checkBox1_, BM_GETCHECK, 0, 0) == BST_CHECKED;
    if (checked == slots_.Table.CompatibilityMode) return;
    slots_.Table.CompatibilityMode = checked;
    WriteSettings();
}

void TConfigForm::CloseCfg() {
    if (handle_) ShowWindow(handle_, SW_HIDE);
    ++closeCount_;
}

} // namespace morsk
