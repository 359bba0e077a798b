// Dialog 1 of the converter and its controls.
#ifndef TOLVERN_WIN_RESOURCE_H
#define TOLVERN_WIN_RESOURCE_H

#define IDD_MAIN 1
#define IDC_YMFILE 101
#define IDC_XMFILE 102
#define IDC_PROGRAM_GROUP 103
#define IDC_YMINFO_GROUP 104
#define IDC_XIT 105
#define IDC_CONVERT 106
#define IDC_MOREINFO 107
#define IDC_FILE_GROUP 108
#define IDC_YMTITLE 300
#define IDC_XMTITLE 301
#define IDC_TYPE 400
#define IDC_TITLE 401
#define IDC_AUTHOR 402
#define IDC_PLAYTIME 403
#define IDC_COMMENT 404
#define IDC_SAMPLES 405

#endif
