// The form's window: its controls laid out as designed at 96 pixels per inch
// and scaled with the system's text height, its pop-up menu and hints, and
// the local message loop that openModuleSettings runs.
#include "morsk/win/config_form.h"

#include <commctrl.h>

namespace morsk {

namespace {

const char formClass[] = "TConfigForm";
const char formCaption[] = "Configuration: Visualization Mux";
constexpr int designTextHeight = 13; // text height the layout was made for
constexpr int formLeft = 197, formTop = 108, formWidth = 444, formHeight = 213;
constexpr int groupBox1Left = 8, groupBox1Top = 8;
constexpr int groupBox2Left = 256, groupBox2Top = 8;
constexpr int listLeft = 8, listTop = 16, listWidth = 233, listHeight = 113;

const char memoText[] =
    "Morsk v1.12\r\n"
    "The visualization mux\r\n"
    "\r\n"
    "This plug-in was made with windowed visualization plug-ins in mind.\r\n"
    "\r\n"
    "Instructions:\r\n"
    "\r\n"
    "Plug-ins-\r\n"
    "Windowed plug-ins and plug-ins that dock to or in Jukora's window work best. "
    "OpenGL, 3dfx and full-screen plug-ins are not recommended. "
    "Only four plug-ins may be used at present.\r\n"
    "\r\n"
    "Visualization Plugins list box-\r\n"
    "Right-click the list or press Alt+Enter for its pop-up menu.\r\n"
    "Configure: double-click, the \"Configure\" item or Enter.\r\n"
    "Select next: the right arrow button, the \"Select Next\" item or keypad +.\r\n"
    "Select previous: the left arrow button or keypad -.\r\n"
    "Add DLL: the \"Add DLL\" button or item, or Insert.\r\n"
    "Remove DLL: the \"Remove DLL\" button or item, or Delete.\r\n"
    "\r\n"
    "Compatibility mode-\r\n"
    "Lets plug-ins that need more processing power run more reliably; "
    "on slower machines it may have unwanted effects.\r\n"
    "\r\n"
    "Thanks to everyone who tried the mux and told us what broke.";

} // namespace

TConfigForm& TConfigForm::Instance() {
    static TConfigForm form;
    return form;
}

int TConfigForm::Scale(int v) const {
    return MulDiv(v, textHeight_, designTextHeight);
}

HWND TConfigForm::AddControl(const char* cls, const char* text, DWORD style, DWORD exStyle, int id,
                             int left, int top, int width, int height) {
    HWND c = CreateWindowExA(exStyle, cls, text, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | style,
                             Scale(left), Scale(top), Scale(width), Scale(height), handle_,
                             reinterpret_cast<HMENU>(INT_PTR(id)), muxInstance, nullptr);
    SendMessageA(c, WM_SETFONT, WPARAM(font_), FALSE);
    return c;
}

void TConfigForm::AddHint(HWND control, const char* hint) {
    TOOLINFOA tool{};
    tool.cbSize = TTTOOLINFOA_V1_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = handle_;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = const_cast<char*>(hint);
    SendMessageA(hints_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

// The controls of the two group boxes are the form's own children, placed
// inside the boxes, so that their notifications come to the form.
void TConfigForm::CreateControls() {
    const int g1x = groupBox1Left, g1y = groupBox1Top, g2x = groupBox2Left, g2y = groupBox2Top;
    listBox1_ = AddControl(
        "LISTBOX", "", LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP,
        WS_EX_CLIENTEDGE, idListBox1, g1x + listLeft, g1y + listTop, listWidth, listHeight);
    SendMessageA(listBox1_, LB_SETITEMHEIGHT, 0, Scale(13));
    HWND add = AddControl("BUTTON", "Add DLL", BS_PUSHBUTTON | WS_TABSTOP, 0, idButton1, g1x + 8,
                          g1y + 136, 75, 25);
    HWND remove = AddControl("BUTTON", "Remove DLL", BS_PUSHBUTTON | WS_TABSTOP, 0, idButton2,
                             g1x + 88, g1y + 136, 75, 25);
    HWND prev = AddControl("BUTTON", "", BS_OWNERDRAW | WS_TABSTOP, 0, idBbPrev, g1x + 168,
                           g1y + 136, 33, 25);
    HWND next = AddControl("BUTTON", "", BS_OWNERDRAW | WS_TABSTOP, 0, idBbNext, g1x + 208,
                           g1y + 136, 33, 25);
    memo1_ = AddControl("EDIT", memoText,
                        ES_MULTILINE | ES_READONLY | ES_CENTER | ES_AUTOVSCROLL | WS_VSCROLL, 0,
                        idMemo1, g2x + 8, g2y + 16, 153, 97);
    checkBox1_ = AddControl("BUTTON", "Use Compatibility mode", BS_AUTOCHECKBOX | WS_TABSTOP, 0,
                            idCheckBox1, g2x + 8, g2y + 112, 137, 17);
    HWND label = AddControl("STATIC", "p", SS_NOTIFY, 0, idLabel1, g2x + 152, g2y + 152, 6, 15);
    SendMessageA(label, WM_SETFONT, WPARAM(symbolFont_), FALSE);
    AddControl("BUTTON", "Close", BS_PUSHBUTTON | WS_TABSTOP, 0, idButton4, 304, 144, 73, 25);
    // Children go below their earlier siblings: the boxes last, under what they hold.
    AddControl("BUTTON", "Visualization Plug-ins", BS_GROUPBOX, 0, idGroupBox1, g1x, g1y, 249, 169);
    groupBox2_ =
        AddControl("BUTTON", "Information", BS_GROUPBOX, 0, idGroupBox2, g2x, g2y, 169, 169);

    listDefault_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(listBox1_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ListProc)));
    memoDefault_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(memo1_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(MemoProc)));

    hints_ = CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, handle_, nullptr,
                             muxInstance, nullptr);
    AddHint(listBox1_, "Double Click to configure a plug-in");
    AddHint(add, "Add the plug-in library.");
    AddHint(remove, "Remove the selected plug-in library.");
    AddHint(prev, "Select previous plug-in from DLL");
    AddHint(next, "Select next plug-in from DLL");
    AddHint(checkBox1_, "Forces the mux to use the shortest plugin delay.");

    popupMenu1_ = CreatePopupMenu();
    AppendMenuA(popupMenu1_, MF_STRING, idMenu1, "Configure");
    AppendMenuA(popupMenu1_, MF_STRING, idMenu2, "Select Next");
    AppendMenuA(popupMenu1_, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(popupMenu1_, MF_STRING, idMenu4, "Add DLL");
    AppendMenuA(popupMenu1_, MF_STRING, idMenu5, "Remove DLL");
    SetMenuDefaultItem(popupMenu1_, idMenu1, FALSE);
}

bool TConfigForm::Create(HWND owner) {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    textHeight_ = MulDiv(designTextHeight, dpi, 96);
    // "MS Sans Serif" at 8 points (height -11 at 96 pixels per inch), the
    // label's "Symbol" at 9.
    if (font_) DeleteObject(font_);
    if (symbolFont_) DeleteObject(symbolFont_);
    if (popupMenu1_) DestroyMenu(popupMenu1_);
    font_ = CreateFontA(-MulDiv(8, dpi, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                        DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                        DEFAULT_PITCH | FF_DONTCARE, "MS Sans Serif");
    symbolFont_ = CreateFontA(-MulDiv(9, dpi, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                              SYMBOL_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                              DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "Symbol");
    faceBrush_ = GetSysColorBrush(COLOR_BTNFACE);

    WNDCLASSA wc{};
    wc.lpfnWndProc = FormProc;
    wc.hInstance = muxInstance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = formClass;
    RegisterClassA(&wc);
    handle_ = CreateWindowExA(WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT, formClass, formCaption,
                              WS_POPUP | WS_CAPTION, formLeft, formTop, Scale(formWidth),
                              Scale(formHeight), owner, nullptr, muxInstance, nullptr);
    if (!handle_) return false;
    SetWindowLongPtrA(handle_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    CreateControls();
    return true;
}

void TConfigForm::Release() {
    if (!handle_) return;
    DWORD thread = GetWindowThreadProcessId(handle_, nullptr);
    if (thread == GetCurrentThreadId()) {
        DestroyWindow(handle_);
    } else {
        // Another thread's window cannot be destroyed from here: at least keep
        // its messages out of code that is about to go.
        SetWindowLongPtrA(listBox1_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(listDefault_));
        SetWindowLongPtrA(memo1_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(memoDefault_));
        SetWindowLongPtrA(handle_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(DefWindowProcA));
        handle_ = nullptr;
    }
    if (popupMenu1_) DestroyMenu(popupMenu1_);
    if (font_) DeleteObject(font_);
    if (symbolFont_) DeleteObject(symbolFont_);
    popupMenu1_ = nullptr;
    font_ = symbolFont_ = nullptr;
    UnregisterClassA(formClass, muxInstance);
}

void TConfigForm::ShowAndRun(VisModule* module) {
    module_ = module;
    HWND owner = module->hostWindow && IsWindow(module->hostWindow) ? module->hostWindow : nullptr;
    if (!handle_ && !Create(owner)) return;
    if (GetWindow(handle_, GW_OWNER) != owner)
        SetWindowLongPtrA(handle_, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
    unsigned closes = closeCount_;
    if (IsWindowVisible(handle_)) {
        SetForegroundWindow(handle_);
        CreateConfig();
    } else {
        ShowWindow(handle_, SW_SHOW); // its activation reads the settings
    }
    // A loop of its own, ended by the form's Close alone: a quit message
    // would end the host's loop as well, and is handed back to it.
    MSG msg;
    while (closeCount_ == closes) {
        BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(int(msg.wParam));
            CloseCfg();
            break;
        }
        if (got < 0) break;
        if (!handle_ || !IsDialogMessageA(handle_, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
}

void TConfigForm::ShowPopup(int x, int y) {
    isValid();
    TrackPopupMenu(popupMenu1_, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, x, y, 0, handle_,
                   nullptr);
}

void TConfigForm::DrawArrowButton(const DRAWITEMSTRUCT& item) {
    RECT r = item.rcItem;
    bool pushed = item.itemState & ODS_SELECTED;
    DrawFrameControl(item.hDC, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (pushed ? DFCS_PUSHED : 0));
    int cx = (r.left + r.right) / 2 + (pushed ? 1 : 0),
        cy = (r.top + r.bottom) / 2 + (pushed ? 1 : 0);
    int s = Scale(4);
    POINT arrow[3];
    if (item.CtlID == idBbPrev) {
        arrow[0] = {cx - s, cy};
        arrow[1] = {cx + s / 2, cy - s};
        arrow[2] = {cx + s / 2, cy + s};
    } else {
        arrow[0] = {cx + s, cy};
        arrow[1] = {cx - s / 2, cy - s};
        arrow[2] = {cx - s / 2, cy + s};
    }
    int colour = (item.itemState & ODS_DISABLED) ? COLOR_GRAYTEXT : COLOR_BTNTEXT;
    HGDIOBJ oldBrush = SelectObject(item.hDC, GetSysColorBrush(colour));
    HGDIOBJ oldPen = SelectObject(item.hDC, GetStockObject(NULL_PEN));
    Polygon(item.hDC, arrow, 3);
    SelectObject(item.hDC, oldPen);
    SelectObject(item.hDC, oldBrush);
    if (item.itemState & ODS_FOCUS) {
        InflateRect(&r, -3, -3);
        DrawFocusRect(item.hDC, &r);
    }
}

bool TConfigForm::LBEnter(WPARAM key, bool alt) {
    if (alt) {
        if (key != VK_RETURN) return false;
        // The Enter character of this key press would choose from the menu
        // as soon as it opens.
        MSG pending;
        while (PeekMessageA(&pending, listBox1_, WM_SYSCHAR, WM_SYSCHAR, PM_REMOVE)) {
        }
        // Beside the list's right edge, a little below its top.
        RECT form;
        GetWindowRect(handle_, &form);
        ShowPopup(form.left + Scale(listLeft) + Scale(listWidth), form.top + Scale(listTop) + 30);
        return true;
    }
    switch (key) {
    case VK_RETURN: ConfigPlugin(); return true;
    case VK_INSERT: AddDLL(); return true;
    case VK_DELETE: RemoveDLL(); return true;
    case VK_ADD: NextPlugin(); return true;
    case VK_SUBTRACT: BackPlugin(); return true;
    }
    return false;
}

LRESULT TConfigForm::Command(WORD id, WORD code) {
    switch (id) {
    case idButton1:
    case idMenu4: AddDLL(); break;
    case idButton2:
    case idMenu5: RemoveDLL(); break;
    case idButton4: CloseCfg(); break;
    case idBbPrev: BackPlugin(); break;
    case idBbNext:
    case idMenu2: NextPlugin(); break;
    case idMenu1: ConfigPlugin(); break;
    case idCheckBox1: CheckBox1Click(); break;
    case idListBox1:
        if (code == LBN_DBLCLK) ConfigPlugin();
        break;
    case idLabel1:
        if (code == STN_DBLCLK) mbHTP();
        break;
    }
    return 0;
}

LRESULT TConfigForm::FormMessage(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_ACTIVATE:
        if (LOWORD(wp) != WA_INACTIVE && IsWindowVisible(handle_)) CreateConfig();
        break;
    case WM_COMMAND: return Command(LOWORD(wp), HIWORD(wp));
    case WM_CONTEXTMENU:
        if (reinterpret_cast<HWND>(wp) == listBox1_) {
            int x = short(LOWORD(lp)), y = short(HIWORD(lp));
            if (x == -1 && y == -1) {
                LBEnter(VK_RETURN, true);
            } else {
                ShowPopup(x, y);
            }
            return 0;
        }
        break;
    case WM_DRAWITEM: DrawArrowButton(*reinterpret_cast<DRAWITEMSTRUCT*>(lp)); return TRUE;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        // The memo, the label, the group boxes and the check box all show the
        // button face's colour, as the form does.
        SetBkColor(reinterpret_cast<HDC>(wp), GetSysColor(COLOR_BTNFACE));
        SetTextColor(reinterpret_cast<HDC>(wp), GetSysColor(COLOR_BTNTEXT));
        return reinterpret_cast<LRESULT>(faceBrush_);
    case WM_CLOSE: CloseCfg(); return 0;
    case WM_DESTROY:
        handle_ = nullptr;
        ++closeCount_;
        break;
    }
    return DefWindowProcA(w, msg, wp, lp);
}

LRESULT CALLBACK TConfigForm::FormProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    auto* form = reinterpret_cast<TConfigForm*>(GetWindowLongPtrA(w, GWLP_USERDATA));
    if (!form || form->handle_ != w) return DefWindowProcA(w, msg, wp, lp);
    return form->FormMessage(w, msg, wp, lp);
}

LRESULT CALLBACK TConfigForm::ListProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    TConfigForm& form = Instance();
    switch (msg) {
    case WM_GETDLGCODE: {
        // Enter belongs to the list (Configure), not to the dialog navigation.
        LRESULT code = CallWindowProcA(form.listDefault_, w, msg, wp, lp);
        auto* m = reinterpret_cast<MSG*>(lp);
        if (m && (m->message == WM_KEYDOWN || m->message == WM_SYSKEYDOWN) &&
            m->wParam == VK_RETURN)
            code |= DLGC_WANTMESSAGE;
        return code;
    }
    case WM_KEYDOWN:
        if (form.LBEnter(wp, false)) return 0;
        break;
    case WM_SYSKEYDOWN:
        if ((lp & (LPARAM(1) << 29)) && form.LBEnter(wp, true)) return 0;
        break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: form.SelectItem(short(LOWORD(lp)), short(HIWORD(lp))); break;
    }
    return CallWindowProcA(form.listDefault_, w, msg, wp, lp);
}

LRESULT CALLBACK TConfigForm::MemoProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    TConfigForm& form = Instance();
    if (msg == WM_SETCURSOR) {
        SetCursor(LoadCursor(nullptr, IDC_ARROW));
        return TRUE;
    }
    return CallWindowProcA(form.memoDefault_, w, msg, wp, lp);
}

} // namespace morsk
