#include "stretches.hpp"
#include "vocabulary.hpp"

namespace suirei::script {

std::span<const Rule> refusal() { return {}; }

}  // namespace suirei::script
