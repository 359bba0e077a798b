#include "pelmit/win/info_dialog.h"

#include "pelmit/win/dialog_support.h"
#include "pelmit/playback.h"
#include "pelmit/win/plugin.h"

#include <commctrl.h>

#include <cstdio>
#include <cwchar>

namespace pelmit {

namespace {

constexpr int effectColumnWidth = 36;
constexpr int descriptionColumnWidth = 200;

template <typename DisplayInfo>
void supplyText(const InfoDialogContext& c, DisplayInfo* info) {
    auto& item = info->item;
    size_t row = size_t(item.lParam);
    if (!(item.mask & LVIF_TEXT) || row >= c.effects.size()) return;
    const EffectText& e = c.effects[row];
    copyBounded(item.pszText, item.cchTextMax, item.iSubItem == 0 ? e.code : e.description);
}

void finish(InfoDialogContext& c, INT_PTR result) {
    int32_t& x = settings.*c.type->x;
    int32_t& y = settings.*c.type->y;
    storeDialogPosition(c.dialog, settings.RememberWindowPositions, x, y);
    EndDialog(c.dialog, result);
}

INT_PTR CALLBACK infoDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* c = dialogData<InfoDialogContext>(dialog, message, lParam);
    switch (message) {
    case WM_INITDIALOG:
        c->dialog = dialog;
        placeDialog(dialog, settings.RememberWindowPositions, settings.*c->type->x,
                    settings.*c->type->y);
        c->type->open(*c);
        return TRUE;
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (!c || !header) return FALSE;
        if (header->code == LVN_GETDISPINFOA)
            supplyText(*c, reinterpret_cast<NMLVDISPINFOA*>(lParam));
        else if (header->code == LVN_GETDISPINFOW)
            supplyText(*c, reinterpret_cast<NMLVDISPINFOW*>(lParam));
        return FALSE;
    }
    case WM_HSCROLL:
        if (!c || !lParam || !c->type->scroll) return FALSE;
        c->type->scroll(*c, reinterpret_cast<HWND>(lParam));
        return TRUE;
    case WM_COMMAND: {
        if (!c) return FALSE;
        int id = LOWORD(wParam);
        if (id == IDOK || id == IDCANCEL)
            finish(*c, 0);
        else if (id == c->type->configButton)
            finish(*c, 1);
        else if (c->type->command)
            c->type->command(*c, id, HIWORD(wParam));
        return TRUE;
    }
    }
    return FALSE;
}

} // namespace

bool InfoDialogContext::songStillLoaded() const {
    return playback.players[int(type->kind)] == player;
}

INT_PTR runInfoDialog(const InfoDialog& type, FormatPlayer* player, HWND owner) {
    InfoDialogContext context{&type, player, nullptr, {}};
    initDialogControls();
    return DialogBoxParamA(inputModule.pluginInstance, MAKEINTRESOURCEA(type.templateId), owner,
                           infoDialogProc, LPARAM(&context));
}

void setNumber(HWND dialog, int id, long long value) {
    char text[32];
    std::snprintf(text, sizeof text, "%lld", value);
    SetDlgItemTextA(dialog, id, text);
}

void addInstrument(HWND dialog, int listId, int number, const char* name, size_t nameSize) {
    std::string line = instrumentLine(number, name, nameSize);
    SendDlgItemMessageA(dialog, listId, LB_ADDSTRING, 0, LPARAM(line.c_str()));
}

void fillEffectList(InfoDialogContext& c, int listId, std::vector<EffectText> rows) {
    HWND list = GetDlgItem(c.dialog, listId);
    struct Column {
        const char* title;
        int width;
    };
    const Column columns[] = {{"Effect", effectColumnWidth},
                              {"Description", descriptionColumnWidth}};
    for (int i = 0; i < 2; ++i) {
        LVCOLUMNA column{};
        column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        column.fmt = LVCFMT_LEFT;
        column.cx = columns[i].width;
        column.pszText = const_cast<char*>(columns[i].title);
        column.iSubItem = i;
        SendMessageA(list, LVM_INSERTCOLUMNA, WPARAM(i), LPARAM(&column));
    }
    c.effects = std::move(rows);
    for (size_t i = 0; i < c.effects.size(); ++i) {
        LVITEMA item{};
        item.mask = LVIF_TEXT | LVIF_PARAM;
        item.iItem = int(i);
        item.pszText = LPSTR_TEXTCALLBACKA;
        item.lParam = LPARAM(i);
        int index = int(SendMessageA(list, LVM_INSERTITEMA, 0, LPARAM(&item)));
        // The description is asked for on demand too.
        LVITEMA description{};
        description.iSubItem = 1;
        description.pszText = LPSTR_TEXTCALLBACKA;
        SendMessageA(list, LVM_SETITEMTEXTA, WPARAM(index), LPARAM(&description));
    }
}

} // namespace pelmit
