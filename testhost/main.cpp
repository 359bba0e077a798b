// testhost: a stand-in for the player. It loads a plug-in and drives it the
// way the player does, writes what it gets, and reports one JSON line.
#include "testhost/commands.h"

#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <cstring>

static void usage() {
    std::fputs("usage:\n"
               "  testhost info PLUGIN.dll\n"
               "  testhost play PLUGIN.dll FILE [--wav OUT.wav] [--max-seconds S]\n"
               "                [--seek MS@AT_MS]... [--pause AT_MS:FOR_MS]... [--dsp]\n"
               "                [--realtime] [--timeout S] [--restarts N]\n"
               "                [--dialog config|about|details@AT_MS [--do SCRIPT]]...\n"
               "  testhost config|about PLUGIN.dll [--do SCRIPT]\n"
               "  testhost details PLUGIN.dll FILE [--do SCRIPT]\n"
               "  testhost vis VIS.dll [--module N] [--frames F] [--signal SIGNAL] [--rate HZ]\n"
               "               [--channels C] [--shot OUT] [--shot-every K] [--config]\n"
               "               [--realtime] [--stop-twice] [--do SCRIPT] [--restarts N]\n"
               "               [--refuse-window CLASS] [--hold-class CLASS] [--host-title TEXT]\n"
               "               [--key-at FRAME:VK]... [--pause FRAME:MS]...\n"
               "               [--player KEY=VALUE,...] [--player-windows] [--timeout S]\n"
               "  testhost idle\n"
               "SCRIPT drives the windows the plug-in opens; see window_driver.h.\n",
               stderr);
}

int main(int argc, char** argv) {
    if (argc < 2) {
        usage();
        return 2;
    }
    // As the player does: plug-in dialogs may hold trackbars and list views.
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    const char* command = argv[1];
    if (std::strcmp(command, "info") == 0) return testhost::runInfo(argc - 2, argv + 2);
    if (std::strcmp(command, "play") == 0) return testhost::runPlay(argc - 2, argv + 2);
    if (std::strcmp(command, "idle") == 0) return testhost::runIdle(argc - 2, argv + 2);
    if (std::strcmp(command, "vis") == 0) return testhost::runVis(argc - 2, argv + 2);
    if (std::strcmp(command, "config") == 0 || std::strcmp(command, "about") == 0 ||
        std::strcmp(command, "details") == 0)
        return testhost::runDialog(command, argc - 2, argv + 2);
    usage();
    return 2;
}
