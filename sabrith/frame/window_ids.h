// Numbers of the window's pop-up menu, tray icon and about box, shared by
// the window model, the window procedure and the resource script (which
// reads #define lines only).
#pragma once

#define IDM_POPUP 143
#define IDM_EXIT 40002
#define IDM_PROPERTIES 40003
#define IDM_ABOUT 40004
#define IDM_CLEAR 40011
#define IDM_FULL_SCREEN 40014
#define IDM_ON_TOP 40015
#define IDM_LOAD_PRESET 40016
#define IDM_SAVE_PRESET 40017
#define IDM_WINDOWED 40018
#define IDM_USE_SKIN 40019
#define IDM_BARS 40020
#define IDM_FOUNTAINS 40021
#define IDM_FLAME 40022
#define IDM_LOAD_SKIN 1142
#define IDM_RECOVER 1147

#define IDD_ABOUT 172
#define IDC_ABOUT_FPS 1144
#define IDI_TRAY 175
#define TRAY_ICON_ID 1024
#define TRAY_CALLBACK 1024
#define TRAY_LEFT_DOWN 513
#define TRAY_RIGHT_DOWN 516
