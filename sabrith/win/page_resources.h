// Template and control numbers of the effects' property pages, shared by the
// resource script and the page procedures.
#pragma once

#define IDD_FLAME_GENERAL 179
#define IDC_FLAME_COLOR 1168
#define IDC_FLAME_BAND 1169
#define IDC_FLAME_MIN_TEXT 1170
#define IDC_FLAME_MAX_TEXT 1171

#define IDC_LOAD_SETTINGS 40016
#define IDC_SAVE_SETTINGS 40017
