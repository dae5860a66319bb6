#include "stretches.hpp"

namespace suirei {

const Script& story() {
    static const Script assembled(
        {
            script::prologue(),
            script::counsel(),
            script::karu_iruka(),
            script::shoan_pact(),
            script::coup(),
            script::banquet(),
            script::refusal(),
        },
        script::kOpening);
    return assembled;
}

}  // namespace suirei
