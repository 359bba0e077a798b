// Skin files on Windows: read like anywhere else, searched with the
// system's own file search.
#pragma once

#include "sabrith/skin/skin_services.h"

namespace sabrith {

class WinSkinFiles final : public DiskFiles {
public:
    // Files (not folders) of `folder` matching "*" + extension. The pattern
    // also finds names whose short form matches ("x.lbsold" as "X~1.LBS"),
    // so every name is checked again.
    std::vector<std::string> findFiles(const std::string& folder,
                                       const std::string& extension) override;
};

} // namespace sabrith
