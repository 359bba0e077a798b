#include "sabrith/win/custom_controls.h"

#include "sabrith/control_logic.h"
#include "sabrith/win/image_drawing.h"

#include <commdlg.h>

#include <array>
#include <vector>
#include <windowsx.h>

namespace sabrith {
namespace {

struct ClassRecord {
    const char* name;
    int live = 0;
    HINSTANCE instance = nullptr;
};
ClassRecord classes[3] = {{"ColorBox"}, {"MinMaxSlider"}, {"ScaleBox"}};

// The 3D pens and face brush shared by every slider while its class exists.
struct SliderPaint {
    HBRUSH face = nullptr;
    HPEN highlight = nullptr, shadow = nullptr, darkShadow = nullptr;
} sliderPaint;

template <class State>
State* stateOf(HWND window) {
    return reinterpret_cast<State*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

// The preview images follow the window's size less the one-pixel frame.
void fitPreview(HWND window, DibImage& preview) {
    RECT r;
    GetClientRect(window, &r);
    preview.resize(r.right - r.left - 2, r.bottom - r.top - 2);
}

// The state of a control with a preview lives with its window: made on
// WM_CREATE, freed on WM_DESTROY (true: the message is handled). Messages
// before the state exists find it null and go to the default procedure.
template <class State>
bool ownPreviewState(HWND window, UINT message, void (*redraw)(HWND, State&), State*& state) {
    if (message == WM_CREATE) {
        state = new State;
        state->preview.resize(64, 64);
        SetWindowLongPtrA(window, GWLP_USERDATA, LONG_PTR(state));
        redraw(window, *state);
        return true;
    }
    state = stateOf<State>(window);
    if (state && message == WM_DESTROY) {
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        delete state;
        state = nullptr;
        return true;
    }
    return false;
}

// ColorBox ---------------------------------------------------------------

struct ColorBoxState {
    std::array<int, 4> colors{};
    int swatchCount = 1;
    COLORREF custom[16]{};
    DibImage preview{"ColorBox"};
};

void redrawColors(HWND window, ColorBoxState& s) {
    fitPreview(window, s.preview);
    drawColorPreview(s.preview, s.colors, s.swatchCount);
}

LRESULT CALLBACK colorBoxProc(HWND window, UINT message, WPARAM wp, LPARAM lp) {
    ColorBoxState* s;
    if (ownPreviewState(window, message, redrawColors, s)) return 0;
    if (!s) return DefWindowProcA(window, message, wp, lp);
    switch (message) {
    case colorBoxSetCount: s->swatchCount = wp == 4 ? 4 : 1; return 1;
    case colorBoxSetColor:
    case colorBoxSetColor + 1:
    case colorBoxSetColor + 2:
    case colorBoxSetColor + 3:
        s->colors[message - colorBoxSetColor] = int(wp & 0xFFFFFF);
        redrawColors(window, *s);
        InvalidateRect(window, nullptr, FALSE);
        return 1;
    case colorBoxGetColor:
    case colorBoxGetColor + 1:
    case colorBoxGetColor + 2:
    case colorBoxGetColor + 3: return s->colors[message - colorBoxGetColor];
    case WM_LBUTTONDOWN:
    case WM_MOUSEMOVE: return 0;
    case WM_LBUTTONUP: {
        RECT r;
        GetClientRect(window, &r);
        const int swatch =
            pickSwatch(GET_X_LPARAM(lp), GET_Y_LPARAM(lp), r.right, r.bottom, s->swatchCount);
        CHOOSECOLORA choose{};
        choose.lStructSize = sizeof choose;
        choose.hwndOwner = window;
        choose.rgbResult = COLORREF(s->colors[std::size_t(swatch - 1)]);
        choose.lpCustColors = s->custom;
        choose.Flags = CC_FULLOPEN | CC_RGBINIT;
        if (ChooseColorA(&choose)) {
            s->colors[std::size_t(swatch - 1)] = int(choose.rgbResult & 0xFFFFFF);
            redrawColors(window, *s);
        }
        // Also after a cancel: the page reads the colour back either way.
        PostMessageA(GetParent(window), colorBoxChanged, WPARAM(swatch), LPARAM(window));
        InvalidateRect(window, nullptr, TRUE);
        return 0;
    }
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        RECT r;
        GetClientRect(window, &r);
        Rectangle(dc, 0, 0, r.right, r.bottom);
        drawImage(dc, s->preview, 1, 1);
        EndPaint(window, &paint);
        return 0;
    }
    }
    return DefWindowProcA(window, message, wp, lp);
}

// MinMaxSlider -----------------------------------------------------------

struct SliderState {
    int width = 0, height = 0;
    Thumb dragging = Thumb::none;
    MinMaxRange range;
    HDC memory = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ oldBitmap = nullptr;
};

void polyline(HDC dc, HPEN pen, std::initializer_list<POINT> points) {
    SelectObject(dc, pen);
    auto it = points.begin();
    MoveToEx(dc, it->x, it->y, nullptr);
    for (++it; it != points.end(); ++it) LineTo(dc, it->x, it->y);
}

void drawSlider(SliderState& s) {
    const int w = s.width, h = s.height;
    if (!s.memory || w < 24 || h < 10) return;
    HDC dc = s.memory;
    RECT all{0, 0, w, h};
    FillRect(dc, &all, sliderPaint.face);
    const int mid = (h - 4) / 2;
    polyline(dc, sliderPaint.shadow, {{7, mid + 2}, {7, mid}, {w - 8, mid}});
    polyline(dc, sliderPaint.highlight,
             {{w - 8, mid}, {w - 8, mid + 3}, {7, mid + 3}, {6, mid + 3}});
    polyline(dc, sliderPaint.darkShadow, {{8, mid + 1}, {w - 10, mid + 1}, {w - 9, mid + 1}});
    const MinMaxRange& r = s.range;
    if (r.rangeMax == r.rangeMin) return;
    // Minimum thumb above the groove, pointing down.
    int x = sliderThumbX(r, r.valueMin, w);
    int left = x - 3, top = mid - 7;
    RECT box{left, top, x + 4, mid};
    FillRect(dc, &box, sliderPaint.face);
    polyline(dc, sliderPaint.highlight,
             {{left + 6, top}, {left, top}, {left, top + 3}, {left + 3, top + 6}});
    polyline(dc, sliderPaint.darkShadow,
             {{left + 3, top + 6}, {left + 6, top + 3}, {left + 6, top}, {left + 6, top - 1}});
    polyline(dc, sliderPaint.shadow,
             {{left + 5, top + 1}, {left + 5, top + 3}, {left + 3, top + 5}, {left + 2, top + 6}});
    // Maximum thumb below it, pointing up.
    x = sliderThumbX(r, r.valueMax, w);
    left = x - 3;
    top = mid + 4;
    box = RECT{left, top, x + 4, mid + 11};
    FillRect(dc, &box, sliderPaint.face);
    polyline(dc, sliderPaint.highlight, {{left, top + 6}, {left, top + 3}, {left + 3, top}});
    polyline(dc, sliderPaint.darkShadow,
             {{left + 3, top},
              {left + 6, top + 3},
              {left + 6, top + 6},
              {left, top + 6},
              {left - 1, top + 6}});
    polyline(dc, sliderPaint.shadow,
             {{left + 5, top + 3}, {left + 5, top + 5}, {left + 1, top + 5}, {left, top + 5}});
}

void sliderFromPointer(HWND window, SliderState& s, LPARAM lp) {
    int value;
    if (!sliderValueAt(s.range, int16_t(GET_X_LPARAM(lp)), s.width, value)) return;
    if (s.dragging == Thumb::minimum)
        s.range.setMinimum(value);
    else
        s.range.setMaximum(value);
    const int bin = s.dragging == Thumb::minimum ? s.range.valueMin : s.range.valueMax;
    PostMessageA(GetParent(window), sliderChanged, WPARAM(s.dragging), LPARAM(bin));
    drawSlider(s);
    InvalidateRect(window, nullptr, TRUE);
}

LRESULT CALLBACK sliderProc(HWND window, UINT message, WPARAM wp, LPARAM lp) {
    if (message == WM_CREATE) {
        auto* s = new SliderState;
        RECT r;
        GetWindowRect(window, &r);
        s->width = r.right - r.left;
        s->height = r.bottom - r.top;
        HDC screen = GetDC(window);
        s->memory = CreateCompatibleDC(screen);
        s->bitmap = CreateCompatibleBitmap(screen, std::max(s->width, 1), std::max(s->height, 1));
        ReleaseDC(window, screen);
        s->oldBitmap = SelectObject(s->memory, s->bitmap);
        SetWindowLongPtrA(window, GWLP_USERDATA, LONG_PTR(s));
        drawSlider(*s);
        return 0;
    }
    auto* s = stateOf<SliderState>(window);
    if (!s) return DefWindowProcA(window, message, wp, lp);
    RECT r;
    GetWindowRect(window, &r);
    s->width = r.right - r.left;
    s->height = r.bottom - r.top;
    switch (message) {
    case WM_DESTROY:
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        SelectObject(s->memory, s->oldBitmap);
        DeleteObject(s->bitmap);
        DeleteDC(s->memory);
        delete s;
        return 0;
    case sliderSetMinimum:
        s->range.setMinimum(int(wp));
        drawSlider(*s);
        InvalidateRect(window, nullptr, FALSE);
        return 0;
    case sliderSetMaximum:
        s->range.setMaximum(int(wp));
        drawSlider(*s);
        InvalidateRect(window, nullptr, FALSE);
        return 0;
    case WM_LBUTTONDOWN:
        SetCapture(window);
        s->dragging = GET_Y_LPARAM(lp) < s->height / 2 ? Thumb::minimum : Thumb::maximum;
        sliderFromPointer(window, *s, lp);
        return 0;
    case WM_MOUSEMOVE:
        if (s->dragging != Thumb::none) sliderFromPointer(window, *s, lp);
        return 0;
    case WM_LBUTTONUP:
        if (s->dragging != Thumb::none) {
            ReleaseCapture();
            sliderFromPointer(window, *s, lp);
            s->dragging = Thumb::none;
        }
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        BitBlt(dc, 0, 0, s->width, s->height, s->memory, 0, 0, SRCCOPY);
        EndPaint(window, &paint);
        return 0;
    }
    }
    return DefWindowProcA(window, message, wp, lp);
}

// ScaleBox ---------------------------------------------------------------

struct ScaleBoxState {
    DibImage preview{"ScaleBox"};
    std::vector<int32_t> values;
    int32_t scale = 0;
};

void redrawScale(HWND window, ScaleBoxState& s) {
    fitPreview(window, s.preview);
    drawScalePlot(s.preview, s.values, s.scale);
}

LRESULT CALLBACK scaleBoxProc(HWND window, UINT message, WPARAM wp, LPARAM lp) {
    ScaleBoxState* s;
    if (ownPreviewState(window, message, redrawScale, s)) return 0;
    if (!s) return DefWindowProcA(window, message, wp, lp);
    switch (message) {
    case scaleBoxSetValues: {
        const auto* record = reinterpret_cast<const ScaleValues*>(lp);
        if (record && record->values && record->count > 0) {
            s->values.assign(record->values, record->values + record->count);
            s->scale = record->scale;
        } else {
            s->values.clear();
        }
        redrawScale(window, *s);
        InvalidateRect(window, nullptr, FALSE);
        return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_MOUSEMOVE: return 0;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        drawImage(dc, s->preview, 1, 1);
        EndPaint(window, &paint);
        return 0;
    }
    }
    return DefWindowProcA(window, message, wp, lp);
}

WNDPROC procedureOf(ControlKind kind) {
    switch (kind) {
    case ControlKind::colorBox: return colorBoxProc;
    case ControlKind::minMaxSlider: return sliderProc;
    default: return scaleBoxProc;
    }
}

} // namespace

ControlClass::ControlClass(ControlKind kind, HINSTANCE instance) : kind_(kind) {
    ClassRecord& record = classes[int(kind)];
    if (record.live++ > 0) return;
    record.instance = instance;
    if (kind == ControlKind::minMaxSlider) {
        sliderPaint.face = CreateSolidBrush(GetSysColor(COLOR_3DFACE));
        sliderPaint.highlight = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_3DHILIGHT));
        sliderPaint.shadow = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
        sliderPaint.darkShadow = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_3DDKSHADOW));
    }
    WNDCLASSA wc{};
    wc.lpfnWndProc = procedureOf(kind);
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground =
        kind == ControlKind::minMaxSlider ? nullptr : HBRUSH(GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = record.name;
    RegisterClassA(&wc);
}

ControlClass::~ControlClass() {
    ClassRecord& record = classes[int(kind_)];
    if (--record.live > 0) return;
    UnregisterClassA(record.name, record.instance);
    if (kind_ == ControlKind::minMaxSlider) {
        DeleteObject(sliderPaint.face);
        DeleteObject(sliderPaint.highlight);
        DeleteObject(sliderPaint.shadow);
        DeleteObject(sliderPaint.darkShadow);
        sliderPaint = SliderPaint{};
    }
}

const char* ControlClass::className(ControlKind kind) {
    return classes[int(kind)].name;
}

int ControlClass::liveObjects(ControlKind kind) {
    return classes[int(kind)].live;
}

} // namespace sabrith
