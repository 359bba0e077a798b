// A player that answers a visualization's questions: what plays, where, how
// long, which entry of how many, its title and the skin folder; and the
// player's other windows, which visualizations dock to.
#pragma once

#include <windows.h>

#include <string>

namespace testhost {

// "play=1,pos=MS,len=S,index=I,count=N,title=TEXT,skins=FOLDER" (any of
// them, in any order; the title and the folder run to the next comma).
// Before the first call every question is answered 0. False for a key or a
// number it does not know; nothing is changed then.
bool setPlayerAnswers(const std::string& settings);

// The answer to an ipcMessage request (code in lParam, argument in wParam);
// a seek sets the position.
LRESULT answerPlayerQuestion(WPARAM argument, LPARAM code);

// The playlist editor and equalizer stand-ins, beside the host window.
class PlayerWindows {
public:
    bool open();
    ~PlayerWindows();

private:
    HWND editor_ = nullptr, equalizer_ = nullptr;
};

} // namespace testhost
