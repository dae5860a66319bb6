#include "stretches.hpp"
#include "vocabulary.hpp"

namespace suirei::script {

std::span<const Rule> shoan_pact() { return {}; }

}  // namespace suirei::script
