#include "fennick/win/dialogs.h"

#include "fennick/format_text.h"
#include "fennick/presets.h"
#include "fennick/resolution.h"
#include "fennick/win/plugin_state.h"
#include "fennick/win/profile_file.h"
#include "fennick/win/resource.h"

#include <commctrl.h>
#include <commdlg.h>

#include <iterator>

namespace fennick {

namespace {

using S = Settings;

struct Slider {
    int id;
    std::int32_t S::*field;
    int low, high;
};

struct Check {
    int id;
    std::int32_t S::*field;
};

struct Choice {
    int id;
    std::int32_t S::*field;
    std::span<const char* const> items;
};

struct DialogLayout {
    int resource;
    std::span<const Slider> sliders;
    std::span<const Check> checks;
    std::span<const Choice> choices;
};

constexpr const char* modeNames[] = {"Rotating", "Classic"};
constexpr const char* directionNames[] = {"Left", "Right"};
constexpr const char* styleNames[] = {"Oscilloscope", "Spectrum"};
constexpr const char* textureNames[] = {"Off", "Low (no perspective)", "Med (perspective)",
                                        "High (Bilinear)"};
constexpr const char* shadeNames[] = {"Flat", "Smooth"};

constexpr Slider waveSliders[] = {{IDC_WAVE_ROTSPEED, &S::RotSpeed, 1, 200},
                                  {IDC_WAVE_SENSITIVITY, &S::Sensitivity, 1, 400}};
constexpr Check waveChecks[] = {{IDC_WAVE_DYNAMIC, &S::Dynamic}};
constexpr Choice waveChoices[] = {{IDC_WAVE_MODE, &S::Mode, modeNames},
                                  {IDC_WAVE_ROTDIR, &S::RotDir, directionNames},
                                  {IDC_WAVE_STYLE, &S::Style, styleNames}};

constexpr Slider blockSliders[] = {{IDC_BLOCK_GRIDRES, &S::GridRes, 4, 20},
                                   {IDC_BLOCK_SENSITIVITY, &S::Sensitivity, 1, 400},
                                   {IDC_BLOCK_ROTSPEED, &S::RotSpeed, 1, 200}};
constexpr Check blockChecks[] = {{IDC_BLOCK_DYNAMIC, &S::Dynamic}};

constexpr Slider tunnelSliders[] = {
    {IDC_TUNNEL_BASS_FLARE, &S::BassFlareSensitivity, 1, 255},
    {IDC_TUNNEL_MIDDLE_FLARE, &S::MiddleFlareSensitivity, 1, 255},
    {IDC_TUNNEL_TREBLE_FLARE, &S::TrebleFlareSensitivity, 1, 255},
    {IDC_TUNNEL_BASS, &S::BassSensitivity, 1, 255},
    {IDC_TUNNEL_MIDDLE, &S::MiddleSensitivity, 1, 255},
    {IDC_TUNNEL_TREBLE, &S::TrebleSensitivity, 1, 255},
    {IDC_TUNNEL_BRIGHT, &S::Bright, 1, 255},
    {IDC_TUNNEL_ROTSPEED, &S::RotSpeed, 1, 90},
    {IDC_TUNNEL_FLARESPEED, &S::FlareSpeed, 1, 400},
};
constexpr Check tunnelChecks[] = {{IDC_TUNNEL_RANDOMIZE, &S::Randomize},
                                  {IDC_TUNNEL_FLARES, &S::Flares}};

constexpr Check graphicsChecks[] = {{IDC_GFX_FULLSCREEN, &S::FullScreen}};

const char* const* resolutionNames() {
    static const char* names[resolutionCount];
    for (int i = 0; i < resolutionCount; ++i) names[i] = resolutionTable[i].label;
    return names;
}

const Choice graphicsChoices[] = {
    {IDC_GFX_RESOLUTION, &S::FullScreenRes,
     std::span<const char* const>(resolutionNames(), resolutionCount)},
    {IDC_GFX_TEXTURE, &S::TextureMode, textureNames},
    {IDC_GFX_SHADE, &S::ShadeMode, shadeNames},
};

const DialogLayout waveLayout = {IDD_WAVE_SETTINGS, waveSliders, waveChecks, waveChoices};
const DialogLayout blockLayout = {IDD_BLOCK_SETTINGS, blockSliders, blockChecks, {}};
const DialogLayout tunnelLayout = {IDD_TUNNEL_SETTINGS, tunnelSliders, tunnelChecks, {}};
const DialogLayout graphicsLayout = {IDD_GRAPHICS_OPTIONS, {}, graphicsChecks, graphicsChoices};

const DialogLayout& layoutOf(ModuleKind kind) {
    switch (kind) {
    case ModuleKind::Block: return blockLayout;
    case ModuleKind::Tunnel: return tunnelLayout;
    default: return waveLayout;
    }
}

void fillControls(HWND dialog, const DialogLayout& layout) {
    for (const Slider& s : layout.sliders)
        SendDlgItemMessageA(dialog, s.id, TBM_SETRANGE, TRUE, MAKELPARAM(s.low, s.high));
    for (const Choice& c : layout.choices) {
        SendDlgItemMessageA(dialog, c.id, CB_RESETCONTENT, 0, 0);
        for (const char* item : c.items)
            SendDlgItemMessageA(dialog, c.id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    }
}

// The sliders clamp what they show; a list shows no row for a value outside
// its entries.
void showValues(HWND dialog, const DialogLayout& layout) {
    const Settings& v = plugin.settings;
    for (const Slider& s : layout.sliders)
        SendDlgItemMessageA(dialog, s.id, TBM_SETPOS, TRUE, v.*s.field);
    for (const Check& c : layout.checks)
        CheckDlgButton(dialog, c.id, v.*c.field == 1 ? BST_CHECKED : BST_UNCHECKED);
    for (const Choice& c : layout.choices)
        SendDlgItemMessageA(dialog, c.id, CB_SETCURSEL, WPARAM(v.*c.field), 0);
}

// A list without a selected row keeps the value it could not show.
void readValues(HWND dialog, const DialogLayout& layout) {
    Settings& v = plugin.settings;
    for (const Slider& s : layout.sliders)
        v.*s.field = std::int32_t(SendDlgItemMessageA(dialog, s.id, TBM_GETPOS, 0, 0));
    for (const Check& c : layout.checks)
        v.*c.field = IsDlgButtonChecked(dialog, c.id) == BST_CHECKED ? 1 : 0;
    for (const Choice& c : layout.choices) {
        LRESULT row = SendDlgItemMessageA(dialog, c.id, CB_GETCURSEL, 0, 0);
        if (row != CB_ERR) v.*c.field = std::int32_t(row);
    }
    if (&layout == &tunnelLayout) v.Filter = 0; // it has no control
}

// The system colour chooser, opened in full; a cancel keeps the colour.
void chooseLightColour(HWND owner, std::int32_t& colour) {
    static COLORREF custom[16] = {0x0000FF, 0x00FF00, 0xFF0000};
    CHOOSECOLORA cc{};
    cc.lStructSize = sizeof cc;
    cc.hwndOwner = owner;
    cc.rgbResult = COLORREF(colour);
    cc.lpCustColors = custom;
    cc.Flags = CC_RGBINIT | CC_FULLOPEN;
    if (ChooseColorA(&cc)) colour = std::int32_t(cc.rgbResult);
}

void applyLights() {
    const std::int32_t colours[3] = {plugin.settings.Light0, plugin.settings.Light1,
                                     plugin.settings.Light2};
    applyLightColours(scene, colours);
}

HINSTANCE dialogInstance() {
    return plugin.moduleCopy.pluginInstance;
}

INT_PTR CALLBACK graphicsProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        fillControls(dialog, graphicsLayout);
        showValues(dialog, graphicsLayout);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_OK:
        case IDCANCEL: // Escape, and the close box through the dialog manager
            readValues(dialog, graphicsLayout);
            EndDialog(dialog, 0);
            break;
        case IDC_RESET:
            resetSettings(plugin.settings);
            showValues(dialog, graphicsLayout);
            break;
        default: readValues(dialog, graphicsLayout);
        }
        return TRUE;
    }
    return FALSE;
}

void openGraphicsDialog(HWND owner) {
    PrivateProfile ini(settingsPath(dialogInstance()));
    readGraphicsOptions(ini, plugin.currentKind, plugin.settings);
    DialogBoxParamA(dialogInstance(), MAKEINTRESOURCEA(IDD_GRAPHICS_OPTIONS), owner,
                    graphicsProcedure, 0);
    writeGraphicsOptions(ini, plugin.currentKind, plugin.settings);
    plugin.settingsChanged = 1;
}

std::string itemText(HWND dialog, int id) {
    char text[presetNameLimit + 1] = {};
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

void fillPresetList(HWND dialog, ProfileStore& store) {
    HWND list = GetDlgItem(dialog, IDC_PRESET_LIST);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    for (int slot = 0; slot < presetSlotCount; ++slot) {
        std::string row = presetRowText(store, slot);
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row.c_str()));
    }
}

int selectedPreset(HWND dialog) {
    return int(SendDlgItemMessageA(dialog, IDC_PRESET_LIST, LB_GETCURSEL, 0, 0));
}

INT_PTR CALLBACK presetProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    PrivateProfile store(presetPath(dialogInstance()));
    switch (message) {
    case WM_INITDIALOG:
        SendDlgItemMessageA(dialog, IDC_PRESET_NAME, EM_LIMITTEXT, presetNameLimit, 0);
        fillPresetList(dialog, store);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_PRESET_LIST:
            if (HIWORD(wParam) == LBN_SELCHANGE) {
                int row = selectedPreset(dialog);
                char text[presetNameLimit + 1] = {};
                if (row >= 0 && SendDlgItemMessageA(dialog, IDC_PRESET_LIST, LB_GETTEXTLEN, row,
                                                    0) < LRESULT(sizeof text))
                    SendDlgItemMessageA(dialog, IDC_PRESET_LIST, LB_GETTEXT, row,
                                        reinterpret_cast<LPARAM>(text));
                SetDlgItemTextA(dialog, IDC_PRESET_NAME, text);
            }
            break;
        case IDC_PRESET_LOAD:
            if (!loadPreset(store, selectedPreset(dialog), plugin.settings)) {
                MessageBoxA(dialog, "Invalid Preset", "Error", MB_OK);
            } else {
                std::string name = itemText(dialog, IDC_PRESET_NAME);
                MessageBoxA(dialog, formatText("%s preset loaded", name.c_str()), "", MB_OK);
            }
            break;
        case IDC_PRESET_SAVE: {
            int slot = selectedPreset(dialog);
            savePresetName(store, slot, itemText(dialog, IDC_PRESET_NAME));
            fillPresetList(dialog, store);
            SendDlgItemMessageA(dialog, IDC_PRESET_LIST, LB_SETCURSEL, WPARAM(slot), 0);
            savePresetValues(store, slot, plugin.settings);
            break;
        }
        case IDC_OK:
        case IDCANCEL: EndDialog(dialog, 0); break; // Escape, the close box
        }
        return TRUE;
    }
    return FALSE;
}

void openPresetDialog(HWND owner) {
    DialogBoxParamA(dialogInstance(), MAKEINTRESOURCEA(IDD_PRESETS), owner, presetProcedure, 0);
    plugin.settingsChanged = 1;
}

// The layout being edited; modal dialogs of one module at a time.
const DialogLayout* activeLayout = nullptr;
bool controlsShown = false;

INT_PTR CALLBACK moduleProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    const DialogLayout& layout = *activeLayout;
    switch (message) {
    case WM_INITDIALOG:
        fillControls(dialog, layout);
        showValues(dialog, layout);
        controlsShown = true;
        return TRUE;
    case WM_COMMAND: {
        int id = LOWORD(wParam);
        switch (id) {
        case IDC_OK:
        case IDCANCEL: // Escape, and the close box through the dialog manager
            readValues(dialog, layout);
            plugin.settingsChanged = 1;
            EndDialog(dialog, 0);
            break;
        case IDC_RESET:
            resetSettings(plugin.settings);
            showValues(dialog, layout);
            break;
        case IDC_COLOUR1:
        case IDC_COLOUR2:
        case IDC_COLOUR3: {
            std::int32_t Settings::*lights[] = {&S::Light0, &S::Light1, &S::Light2};
            chooseLightColour(dialog, plugin.settings.*lights[id - IDC_COLOUR1]);
            applyLights();
            break;
        }
        case IDC_GRAPHICS: openGraphicsDialog(dialog); break;
        case IDC_PRESETS:
            openPresetDialog(dialog);
            showValues(dialog, layout);
            break;
        default:
            // Apply, list and check changes: a running module follows at once.
            if (controlsShown) {
                readValues(dialog, layout);
                plugin.settingsChanged = 1;
            }
        }
        return TRUE;
    }
    }
    return FALSE;
}

} // namespace

void openModuleDialog(VisModule* module) {
    selectModule(module);
    readModuleSettings(module);
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    activeLayout = &layoutOf(plugin.currentKind);
    controlsShown = false;
    DialogBoxParamA(module->pluginInstance, MAKEINTRESOURCEA(activeLayout->resource),
                    module->hostWindow, moduleProcedure, 0);
    controlsShown = false;
    writeModuleSettings(module);
    plugin.settingsChanged = 1;
}

} // namespace fennick
