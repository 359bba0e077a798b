// Pelmit's one export: fills the settings path and the file-type list, and
// hands the player the plug-in's record.
#include "host/input_module.h"
#include "pelmit/file_type_list.h"
#include "pelmit/ini_path.h"
#include "pelmit/playback.h"
#include "pelmit/win/plugin.h"
#include "pelmit/settings.h"

namespace pelmit {

char iniPath[iniPathSize];
static char fileTypeBuffer[fileTypeBufferSize];

static const char sectionName[] = "Quistor MOD Player";

static void readExtension(const char* key, const char* fallback, char* field) {
    GetPrivateProfileStringA(sectionName, key, fallback, field, extensionListSize, iniPath);
}

static void readExtensionLists() {
    readExtension("MODextension", "MOD", settings.MODextension);
    readExtension("FCextension", "FC;FC3;FC4;FC13;FC14", settings.FCextension);
    readExtension("BPextension", "BP;BP3", settings.BPextension);
    readExtension("SFXextension", "SFX", settings.SFXextension);
    readExtension("EMUextension", "HIP;MON;CUST;CUS;DM2;SID1", settings.EMUextension);
}

static void buildTypeList() {
    const FileTypeEntry entries[] = {
        {settings.MODextension, "Quistor Amiga music file"},
        {settings.BPextension, "Halbrecht's SoundMon music file"},
        {settings.SFXextension, "SoundFX music file"},
        {settings.FCextension, "Future Composer music file"},
        {settings.EMUextension, "Emulated Amiga music file"},
    };
    buildFileTypeList(fileTypeBuffer, sizeof fileTypeBuffer, entries, 5);
}

} // namespace pelmit

using namespace pelmit;

JK_EXTERN_C JK_EXPORT InputModule* JK_CDECL jukoraGetInModule2(void) {
    DWORD n = GetModuleFileNameA(nullptr, iniPath, sizeof iniPath);
    if (n == 0 || n >= sizeof iniPath) iniPath[0] = '\0';
    makeIniPath(iniPath, sizeof iniPath);
    readExtensionLists();
    buildTypeList();
    inputModule.fileTypeList = fileTypeBuffer;
    bindPlayback(&inputModule);
    return &inputModule;
}
