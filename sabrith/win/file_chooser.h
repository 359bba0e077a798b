// The system's open and save dialogs behind the file dialogs' chooser.
#pragma once

#include "sabrith/file_dialog.h"

#include <cstdint>

namespace sabrith {

// The open dialog insists on an existing file; the save dialog must not, or
// no preset could ever be saved under a new name.
uint32_t fileDialogFlags(bool save);

class WinFileChooser final : public FileChooser {
public:
    bool choose(bool save, FileRequest& request) override;
};

} // namespace sabrith
