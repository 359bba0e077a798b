/* Pelmit's dialog templates and the ids of their controls; shared by the
   resource script and the dialog code. */
#ifndef PELMIT_DIALOG_RESOURCES_H
#define PELMIT_DIALOG_RESOURCES_H

/* Templates. */
#define IDD_CONFIG 101
#define IDD_MOD_INFO 102
#define IDD_ABOUT 104
#define IDD_FC_INFO 106
#define IDD_BP_INFO 107
#define IDD_SFX_INFO 108
#define IDD_EMULATED_INFO 109

/* Configuration dialog. */
#define IDC_SEPARATION 1000
#define IDC_REVERSE_STEREO 1008
#define IDC_INTERPOLATION 1009
#define IDC_DETECT_END 1010
#define IDC_IGNORE_F00 1011
#define IDC_STRIP_PAUSE 1036
#define IDC_REMEMBER_POSITIONS 1037
#define IDC_EMULATE_FILTER 1038
#define IDC_RATE_31500 1045
#define IDC_RATE_44100 1046
#define IDC_RATE_48000 1047
#define IDC_RATE_96000 1048

/* About dialog. */
#define IDC_ABOUT_TEXT 1014

/* MOD information. */
#define IDC_MOD_INSTRUMENTS 1005
#define IDC_MOD_PATTERNS 1006
#define IDC_MOD_LENGTH 1007
#define IDC_MOD_BPM 1008
#define IDC_MOD_SPEED 1010
#define IDC_MOD_CHANNELS 1011
#define IDC_MOD_TRACKER 1017
#define IDC_MOD_CONFIG 1027
#define IDC_MOD_EFFECTS 1029

/* Future Composer information. */
#define IDC_FC_PATTERNS 1022
#define IDC_FC_LENGTH 1023
#define IDC_FC_VERSION 1024
#define IDC_FC_SPEED 1025
#define IDC_FC_CONFIG 1026

/* SoundMon information. */
#define IDC_BP_VERSION 1008
#define IDC_BP_INSTRUMENTS 1030
#define IDC_BP_EFFECTS 1031
#define IDC_BP_CONFIG 1032
#define IDC_BP_PATTERNS 1033
#define IDC_BP_LENGTH 1034
#define IDC_BP_SPEED 1035

/* SoundFX information. */
#define IDC_SFX_CONFIG 1039
#define IDC_SFX_INSTRUMENTS 1040
#define IDC_SFX_EFFECTS 1041
#define IDC_SFX_PATTERNS 1042
#define IDC_SFX_LENGTH 1043
#define IDC_SFX_BPM 1044

/* Emulated-format information. */
#define IDC_EMU_SUBSONG 1000
#define IDC_EMU_CONFIG 1049
#define IDC_EMU_TOTAL 1050
#define IDC_EMU_CURRENT 1051
#define IDC_EMU_TYPE 1052

#endif
