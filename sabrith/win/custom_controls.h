// The property pages' own controls: "ColorBox" (one or four colours shown as
// a blended swatch, changed with the colour chooser), "MinMaxSlider" (two
// thumbs over a band of spectrum bins) and "ScaleBox" (a plot of values).
// They talk to their parent through private messages.
#pragma once

#include <windows.h>

#include <cstdint>

namespace sabrith {

enum ControlMessage : UINT {
    colorBoxSetCount = 1025,  // wParam 4: four swatches, else one
    colorBoxSetColor = 1026,  // ..1029: wParam the colour of swatch 1..4
    colorBoxGetColor = 1030,  // ..1033: returns the colour of swatch 1..4
    colorBoxChanged = 1124,   // to the parent: wParam swatch 1..4, lParam the control
    sliderChanged = 1224,     // to the parent: wParam 1 minimum, 2 maximum; lParam the bin
    sliderSetMinimum = 1225,  // wParam the bin
    sliderSetMaximum = 1226,  // wParam the bin
    scaleBoxSetValues = 1025, // lParam a ScaleValues record
};

// What ScaleBox's message carries; the control keeps its own copy.
struct ScaleValues {
    int32_t count;
    int32_t scale;
    const int32_t* values;
};
#if !defined(_WIN64)
static_assert(sizeof(ScaleValues) == 12, "the record pages pass on the 32-bit build");
#endif

enum class ControlKind { colorBox = 0, minMaxSlider = 1, scaleBox = 2 };

// One registration of a control's window class: the first object of a kind
// registers the class with its instance, the last one destroyed
// unregisters it.
class ControlClass {
public:
    ControlClass(ControlKind kind, HINSTANCE instance);
    ~ControlClass();
    ControlClass(const ControlClass&) = delete;
    ControlClass& operator=(const ControlClass&) = delete;

    static const char* className(ControlKind kind);
    static int liveObjects(ControlKind kind);

private:
    ControlKind kind_;
};

} // namespace sabrith
