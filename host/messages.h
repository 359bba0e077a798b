/* Messages to the player's main window: the end-of-song notice, requests and
   notifications (ipcMessage, code in lParam, argument in wParam) and player
   commands (the window command message, identifier in wParam). */
#ifndef JUKORA_HOST_MESSAGES_H
#define JUKORA_HOST_MESSAGES_H

#define ipcMessage 0x0400 /* the first user message */

enum IpcCode {
    ipcAddFileChar = 100,
    ipcClearPlaylist = 101,
    ipcQueryPlayState = 104,
    ipcQueryTime = 105,
    ipcSeekMs = 106,
    ipcQueryListPosition = 120,
    ipcQueryListLength = 124,
    ipcQuerySkinFolder = 201,
    ipcQueryEntryTitle = 212,
    ipcShowUrl = 241
};

enum PlayerCommand {
    cmdOpenFile = 40029,
    cmdPlay = 40045,
    cmdPause = 40046,
    cmdStop = 40047,
    cmdNextSong = 40048,
    cmdFastForward = 40060,
    cmdRewind = 40061,
    cmdPreviousSong = 40198
};

#define hostCommandMessage 273 /* the window command message */
#define hostKeyDownMessage 256
#define hostKeyUpMessage 257

#endif
