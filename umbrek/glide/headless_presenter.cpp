// The native board shows nothing.
#include "umbrek/glide/presenter.h"

namespace umbrek::glide {

bool presenterOpen(FxWindow, const Picture&) {
    return true;
}
void presenterShow() {}
void presenterClose() {}

} // namespace umbrek::glide
