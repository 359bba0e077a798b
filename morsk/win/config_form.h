// TConfigForm: the multiplexer's configuration form. It edits the child list
// in "plugin.ini" (which libraries, which module of each, compatibility mode)
// and opens each child's own settings. openModuleSettings shows it and runs a
// message loop on the calling thread until Close; every change is written at
// once and reaches the running multiplexer at its next start.
#pragma once

#include "host/vis_module.h"
#include "morsk/config_slots.h"
#include "morsk/win/platform.h"

#include <windows.h>

#include <string>

namespace morsk {

// Control identifiers, for the tests that drive the form.
enum ConfigControl {
    idButton1 = 101, // Add DLL
    idButton2 = 102, // Remove DLL
    idButton4 = 104, // Close
    idListBox1 = 110,
    idBbPrev = 111,
    idBbNext = 112,
    idCheckBox1 = 113,
    idMemo1 = 114,
    idLabel1 = 115,
    idGroupBox1 = 116,
    idGroupBox2 = 117,
    idMenu1 = 201, // Configure
    idMenu2 = 202, // Select Next
    idMenu4 = 204, // Add DLL
    idMenu5 = 205  // Remove DLL
};

class TConfigForm {
public:
    static TConfigForm& Instance();

    // Shows the form for the multiplexer's record and serves the thread's
    // messages until the form is closed; a call while the form is open shows
    // it again and also returns at that one Close.
    void ShowAndRun(VisModule* module);
    // Destroys the window when the library is unloaded.
    void Release();

    // Event handlers.
    void CreateConfig();
    void AddDLL();
    void RemoveDLL();
    void CloseCfg();
    void BackPlugin();
    void NextPlugin();
    void ConfigPlugin();
    void mbHTP();
    void isValid();
    void SelectItem(int x, int y);
    void CheckBox1Click();
    bool LBEnter(WPARAM key, bool alt);

private:
    struct LoadedChild {
        HMODULE Lib = nullptr;
        VisHeader* Header = nullptr;
        VisModule* Module = nullptr;
    };
    LoadedChild LoadChild(const std::string& path);
    LoadedChild LoadSlotModule(int n);
    void FreeChild(const LoadedChild& child);
    int SelectedSlot() const;
    IniSettingsStore Settings() const;
    void ReadSettings();
    void WriteSettings();
    void StepPlugin(bool forward);
    void Error(const char* text);

    bool Create(HWND owner);
    void CreateControls();
    HWND AddControl(const char* cls, const char* text, DWORD style, DWORD exStyle, int id, int left,
                    int top, int width, int height);
    void AddHint(HWND control, const char* hint);
    int Scale(int v) const;
    void ShowPopup(int x, int y);
    void DrawArrowButton(const DRAWITEMSTRUCT& item);
    LRESULT Command(WORD id, WORD code);
    LRESULT FormMessage(HWND w, UINT msg, WPARAM wp, LPARAM lp);
    static LRESULT CALLBACK FormProc(HWND w, UINT msg, WPARAM wp, LPARAM lp);
    static LRESULT CALLBACK ListProc(HWND w, UINT msg, WPARAM wp, LPARAM lp);
    static LRESULT CALLBACK MemoProc(HWND w, UINT msg, WPARAM wp, LPARAM lp);

    ConfigSlots slots_;
    VisModule* module_ = nullptr;
    unsigned closeCount_ = 0; // every Close ends every loop running then
    int textHeight_ = 13;
    HWND handle_ = nullptr, listBox1_ = nullptr, checkBox1_ = nullptr, groupBox2_ = nullptr,
         memo1_ = nullptr, hints_ = nullptr;
    HFONT font_ = nullptr, symbolFont_ = nullptr;
    HMENU popupMenu1_ = nullptr;
    WNDPROC listDefault_ = nullptr, memoDefault_ = nullptr;
    HBRUSH faceBrush_ = nullptr;
};

} // namespace morsk
