#include "state/LinkState.h"

namespace linkpanel {

SharedLinkState& Link() {
    static SharedLinkState record;
    return record;
}

}  // namespace linkpanel
