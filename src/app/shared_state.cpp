#include "app/shared_state.h"

namespace tavir::app {

SharedState& sharedState() {
    static SharedState state;
    return state;
}

}  // namespace tavir::app
