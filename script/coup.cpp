#include "stretches.hpp"
#include "vocabulary.hpp"

namespace suirei::script {

std::span<const Rule> coup() { return {}; }

}  // namespace suirei::script
