#include "stretches.hpp"
#include "vocabulary.hpp"

namespace suirei::script {

std::span<const Rule> banquet() { return {}; }

}  // namespace suirei::script
