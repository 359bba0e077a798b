// The settings dialog and its controls. The numbers are fixed: scripts and
// users' habits rely on them; the layout is the plug-in's own.
#pragma once

#define IDD_SETTINGS 101

#define IDC_EFFECT_TIME 1006
#define IDC_DEFAULTS 1012
#define IDC_NUM_EFFECTS_SPIN 1037
#define IDC_EFFECT_FADE 1038
#define IDC_MOTION_BLUR 1040
#define IDC_DEVICES 1043
#define IDC_RUN_IN_WINDOW 1045
// The spin's buddy, which shows the number of effects.
#define IDC_NUM_EFFECTS 1036
