#include "stretches.hpp"
#include "vocabulary.hpp"

namespace suirei::script {

std::span<const Rule> counsel() { return {}; }

}  // namespace suirei::script
