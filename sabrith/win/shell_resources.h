// Numbers of the property sheet's own pages and their controls, shared by
// the resource script and the page procedures.
#pragma once

#define IDD_AMP_PAGE 180
#define IDC_AMP_SCALE 1173
#define IDC_AMP_MAX_TEXT 1174
#define IDC_AMP_LIN_AMP 1151
#define IDC_AMP_DROP_OFF 1149

#define IDD_RENDERING_PAGE 144
#define IDC_RENDERING_FADE 1114
#define IDC_RENDERING_BLUR 1115

#define IDD_DISPLAY_PAGE 139
#define IDC_DISPLAY_MODES 1090
#define IDC_DISPLAY_ON_TOP 1100
#define IDC_DISPLAY_LOAD_SKIN 1142
#define IDC_DISPLAY_USE_SKIN 1172
#define IDC_DISPLAY_FOLLOW_SKINS 1060
