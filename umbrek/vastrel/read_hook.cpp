#include "umbrek/vastrel/read_hook.h"

void KX_ReadHook() {}
