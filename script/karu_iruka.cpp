#include "stretches.hpp"
#include "vocabulary.hpp"

namespace suirei::script {

std::span<const Rule> karu_iruka() { return {}; }

}  // namespace suirei::script
