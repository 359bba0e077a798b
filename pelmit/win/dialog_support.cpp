#include "pelmit/win/dialog_support.h"

#include "pelmit/settings.h"

#include <commctrl.h>

namespace pelmit {

void placeDialog(HWND dialog, int32_t remember, int32_t x, int32_t y) {
    if (remember == 1 && x != positionUnset && y != positionUnset)
        SetWindowPos(dialog, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

void storeDialogPosition(HWND dialog, int32_t remember, int32_t& x, int32_t& y) {
    RECT r;
    if (remember != 1 || !GetWindowRect(dialog, &r)) return;
    storeSetting(x, int32_t(r.left));
    storeSetting(y, int32_t(r.top));
}

void initDialogControls() {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
}

} // namespace pelmit
