// Resource and control identifiers of Kalvo's dialogs and images.
#pragma once

#define IDD_ABOUT 101
#define IDD_CONFIG 103
#define IDD_SONG_INFO 105
#define IDR_LOGO_GIF 107

// Configuration dialog
#define IDC_STEREO 1046
#define IDC_16BIT 1005
#define IDC_FULL_QUALITY 1049
#define IDC_HALF_QUALITY 1050
#define IDC_QUARTER_QUALITY 1051
#define IDC_FORMAT_STRING 1127
#define IDC_PRIORITY 1076
#define IDC_SHOW_DETAILS 1108

// Song information dialog
#define IDC_FILE_NAME 1000
#define IDC_TITLE 1001
#define IDC_ARTIST 1002
#define IDC_ALBUM 1003
#define IDC_ARTIST_ADDRESS 1004
#define IDC_PUBLISHER_ADDRESS 1005
#define IDC_MPEG_INFO 1006
#define IDC_COMMENTS 1007
