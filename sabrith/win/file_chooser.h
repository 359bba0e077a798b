// The system's open and save dialogs behind the file dialogs' chooser.
#pragma once

#include "sabrith/file_dialog.h"

namespace sabrith {

class WinFileChooser final : public FileChooser {
public:
    bool choose(bool save, FileRequest& request) override;
};

} // namespace sabrith
