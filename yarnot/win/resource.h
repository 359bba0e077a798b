// Dialog 101 and its controls, and the logo painted into it.
#pragma once

#define IDD_CONFIG 101
#define IDB_LOGO 125
#define IDC_BROWSE 4
#define IDC_BLUR 1001
#define IDC_FULLSCREEN 1002
#define IDC_REFRESH 1003
#define IDC_FILENAME 1004
#define IDC_WIDTH 1005
#define IDC_HEIGHT 1006
#define IDC_OK 1008
#define IDC_TITLES 1009
#define IDC_SYSTEM_MEMORY 1010
#define IDC_SCROLL_TITLES 1011
#define IDC_FOUR_BY_THREE 1012
