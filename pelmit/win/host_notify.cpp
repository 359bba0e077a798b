#include "pelmit/host_notify.h"

#include "host/input_module.h"

namespace pelmit {

void postEndOfStream(JkWindow hostWindow) {
    PostMessageA(hostWindow, hostMsgEndOfStream, 0, 0);
}

} // namespace pelmit
