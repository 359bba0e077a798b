// The data library on any bytes: select it, open every member of its
// directory and a few absent names, and read each member to its end.
#include "umbrek/vastrel/data_library.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    KX_SetDataLibraryBytes(data, size);
    std::vector<std::string> names = {"absent.pcx", "", "ZEPHRINSPIN.KXO"};
    for (size_t i = 0; i < KX_LibraryMemberCount(); ++i) names.push_back(KX_LibraryMember(i)->name);
    uint8_t chunk[256];
    for (const std::string& name : names) {
        std::unique_ptr<DataStream> member = LKXO_File_Open(name.c_str());
        while (member && member->read(chunk, sizeof chunk) > 0) {
        }
    }
    KX_SetDataLibrary(nullptr);
    return 0;
}
