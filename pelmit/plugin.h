// Pelmit's record and the static data that its operations share.
#pragma once

#include "host/input_module.h"

namespace pelmit {

extern InputModule inputModule;
extern char iniPath[];

} // namespace pelmit
